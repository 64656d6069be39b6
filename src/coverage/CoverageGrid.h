#pragma once

#include "coverage/RunningSums.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lumo {

// A band of cell rows as a dense grid of 32-bit sums, one per pixel of the
// shape's width plus one. A cell contribution adds (cover << 9) - area at its
// pixel and area at the next, so the running sum along a row is, at every
// pixel, the accumulated coverage a sorted sweep would compute there (modulo
// 2^32, as the sweep's own int sums wrap). Each row marks the groups of 16
// pixels it touched, a byte per group: reading a row visits only those, hands
// the constant stretches between them to the scan-line as spans, and zeroes
// what it read, so the grid is clean again without a separate clear. Marks
// are plain byte stores: a bitmap's read-modify-write of one word, twice per
// contribution, chains every contribution of a row through memory.
class CoverageGrid {
public:
    static constexpr int kGroupShift = 4;
    static constexpr int kGroup = 1 << kGroupShift;
    // The widest grid row (4 MiB); wider shapes take the sorted path.
    static constexpr int kMaxWidth = 1 << 20;
    // Cells per band, sized for the cache (512 KiB).
    static constexpr int kBandCells = 1 << 17;

    // The rows a band of the given width holds.
    static int bandRows(int width) {
        const int stride = (width + kGroup - 1) & ~(kGroup - 1);
        return stride >= kBandCells ? 1 : kBandCells / stride;
    }

    // Starts a band of `rows` rows from cell row `top`, columns from cell x
    // `minX`, `width` columns wide (the shape's width plus one).
    void begin(int minX, int width, int top, int rows);
    // Zeroes whatever rows of the band were not read (rows are usually read
    // in order from the top, and those need nothing); then the grid is clean.
    void clear();
    // Gives back storage beyond one band of the usual size.
    void trim();

    // One row of the band, taking cell contributions.
    class Row {
    public:
        Row(uint32_t* cells, uint8_t* marks, int minX, int stride, int markStride)
            : cells_(cells), marks_(marks), minX_(minX), stride_(stride), markStride_(markStride) {}
        void step(int incr) {
            cells_ += incr * stride_;
            marks_ += incr * markStride_;
        }
        void add(int x, int cover, int area) {
            const int c = x - minX_;
            cells_[c] += (uint32_t(cover) << 9) - uint32_t(area);
            cells_[c + 1] += uint32_t(area);
            marks_[c >> kGroupShift] = 1;
            marks_[(c + 1) >> kGroupShift] = 1;
        }

        // Neighbouring cells from x on, by kIncr: each cell's area is also the next
        // cell's to the right, so a run of n cells adds to n + 1 sums, each once.
        template <int kIncr>
        class Run {
        public:
            Run(uint32_t* cells, uint8_t* marks, int c) : cells_(cells), marks_(marks), c_(c) {}
            void add(int cover, int area) {
                const uint32_t here = (uint32_t(cover) << 9) - uint32_t(area);
                // Rightwards the cell's own sum comes first, leftwards its neighbour's.
                put(kIncr > 0 ? here : uint32_t(area));
                pending_ = kIncr > 0 ? uint32_t(area) : here;
                c_ += kIncr;
            }
            void end() { put(0); }

        private:
            void put(uint32_t value) {
                cells_[c_] += pending_ + value;
                marks_[c_ >> kGroupShift] = 1;
            }
            uint32_t* cells_;
            uint8_t* marks_;
            int c_;
            uint32_t pending_ = 0;
        };

        // Starts at x's own sum rightwards, at the sum past it leftwards.
        template <int kIncr>
        Run<kIncr> run(int x) const {
            return Run<kIncr>(cells_, marks_, x - minX_ + (kIncr < 0));
        }

    private:
        uint32_t* cells_;
        uint8_t* marks_;
        int minX_;
        int stride_;
        int markStride_;
    };

    Row row(int y) {
        const size_t r = size_t(y - top_);
        return Row(cells_.data() + r * size_t(stride_), marks_.data() + r * size_t(markStride_),
                   minX_, stride_, markStride_);
    }

    // The band's rows, for many calls of row(y) in a loop: the grid's layout
    // copied once, where the marks' byte stores cannot change it.
    class Rows {
    public:
        explicit Rows(CoverageGrid& grid)
            : cells_(grid.cells_.data()),
              marks_(grid.marks_.data()),
              minX_(grid.minX_),
              top_(grid.top_),
              stride_(grid.stride_),
              markStride_(grid.markStride_) {}
        Row row(int y) const {
            const size_t r = size_t(y - top_);
            return Row(cells_ + r * size_t(stride_), marks_ + r * size_t(markStride_), minX_,
                       stride_, markStride_);
        }

    private:
        uint32_t* cells_;
        uint8_t* marks_;
        int minX_, top_, stride_, markStride_;
    };
    Rows rows() { return Rows(*this); }

    // Turns row `y` into alphas, zeroing it, and hands the scan-line the
    // pixels of non-zero alpha.
    template <class Alpha, class Scanline>
    void sweepRow(int y, const Alpha& alpha, Scanline& sl) {
        uint8_t* marked = openRow(y);
        uint32_t* sums = rowSums(y);
        uint8_t* covers = covers_.data();
        uint32_t sum = 0;
        int done = 0;
        // Cells not yet handed over, [runStart, runEnd): runs of neighbouring
        // groups go over at once.
        int runStart = 0;
        int runEnd = 0;
        takeMarkedGroups(marked, [&](int start) {
            if (start > done) {
                const unsigned a = alpha.value(sum);
                if (a != 0) {
                    flush(sl, covers, runStart, runEnd);
                    sl.add_span(minX_ + done, unsigned(start - done), a);
                }
            }
            unsigned filled = ~alpha.group(sums + start, sum, covers + start) & 0xffffu;
            // A row whose cover does not return to zero after its last cell (a shape
            // cut short by the edge store) leaves its group's columns beyond the band
            // non-zero: they are not the shape's, and a scan-line made for the shape's
            // columns has no room for them.
            if (start + kGroup > width_) filled &= (1u << (width_ - start)) - 1u;
            while (filled != 0) {
                const int from = __builtin_ctz(filled);
                const int length = __builtin_ctz(~(filled >> from));
                const int at = start + from;
                if (at == runEnd && runEnd > runStart) {
                    runEnd += length;
                } else {
                    flush(sl, covers, runStart, runEnd);
                    runStart = at;
                    runEnd = at + length;
                }
                filled &= ~(((1u << length) - 1u) << from);
            }
            done = start + kGroup;
        });
        flush(sl, covers, runStart, runEnd);
    }

    // The widest band takeRow reads: one word of marks.
    static constexpr int kTakeWidth = 128;

    // Turns the first 16 columns of row `y` into the values its sweep accumulates there
    // (running sums from the left) and zeroes the row, for a band at most kTakeWidth wide
    // (begin's width); false, writing nothing, when no cell touched the row (then it is
    // all zero).
    bool takeRow(int y, int32_t* values) {
        uint8_t* marked = openRow(y);
        if (markWord(marked) == 0) return false;
        std::memset(marked, 0, kMarkWord);
        uint32_t* sums = rowSums(y);
        runningSums(sums, values);
        std::memset(sums, 0, sizeof(uint32_t) * size_t(stride_));
        return true;
    }

    // Turns row `y` into alphas group by marked group, zeroing it, and hands them to `sink`
    // without a scan-line, in order of x: sink.cells(x, length, covers) for the columns of
    // touched groups around their pixels of non-zero alpha (the alphas in between and around
    // them may be zero), neighbouring groups' as one stretch; sink.span(x, length, alpha) for
    // the untouched columns between groups where the alpha is not zero. No column lies
    // beyond the band's width.
    template <class Alpha, class Sink>
    void sweepGroups(int y, const Alpha& alpha, Sink& sink) {
        uint8_t* marked = openRow(y);
        uint32_t* sums = rowSums(y);
        uint8_t* covers = covers_.data();
        uint32_t sum = 0;
        int done = 0;
        // Columns not yet handed over, [runStart, runEnd), within the touched groups that
        // end at `done`.
        int runStart = 0, runEnd = 0;
        takeMarkedGroups(marked, [&](int start) {
            // Untouched columns hold no alphas: a stretch stops before them.
            if (start > done) {
                cellsOut(sink, covers, runStart, runEnd);
                if (sum != 0) {
                    const unsigned a = alpha.value(sum);
                    if (a != 0) sink.span(minX_ + done, start - done, a);
                }
            }
            unsigned drawn = ~alpha.group(sums + start, sum, covers + start) & 0xffffu;
            // Columns past the band (see sweepRow) are not the shape's.
            if (start + kGroup > width_) drawn &= (1u << (width_ - start)) - 1u;
            if (drawn != 0) {
                // Widened to whole blocks of four columns within the group and the band (the
                // alphas it takes in are zero), which blend four pixels at a time.
                if (runEnd <= runStart) runStart = start + (__builtin_ctz(drawn) & ~3);
                runEnd = std::min(start + ((35 - __builtin_clz(drawn)) & ~3), width_);
            }
            done = start + kGroup;
        });
        cellsOut(sink, covers, runStart, runEnd);
    }

    // Turns row `y` into alphas group by marked group, zeroing it, and hands `sink` the row's
    // spans as sink.span(x, length, covers): the maximal runs of columns of non-zero alpha
    // that sweepRow hands a scan-line, whose touching pieces a scan-line joins into one span.
    // They are found with bit scans on each group's mask of drawn columns and joined across
    // group edges and the constant stretches between groups, whose alphas are laid into the
    // covers between the groups' own, so each span's covers lie in one piece.
    template <class Alpha, class Sink>
    void sweepSpans(int y, const Alpha alpha, Sink& sink) {
        uint8_t* marked = openRow(y);
        uint32_t* sums = rowSums(y);
        // In locals (`alpha` too, taken by value): the sink's calls could change any member,
        // which would be read again after each of them.
        uint8_t* const covers = covers_.data();
        const int minX = minX_, width = width_;
        uint32_t sum = 0;
        int done = 0;
        // The span being gathered, [spanStart, spanEnd).
        int spanStart = 0, spanEnd = 0;
        // Hands over the span gathered so far, if any, and starts the next at `next`.
        auto spanOut = [&](int next) {
            if (spanEnd > spanStart)
                sink.span(minX + spanStart, spanEnd - spanStart, covers + spanStart);
            spanStart = spanEnd = next;
        };
        takeMarkedGroups(marked, [&](int start) {
            if (start > done && sum != 0) {
                const unsigned a = alpha.value(sum);
                if (a != 0) {
                    std::memset(covers + done, int(a), size_t(start - done));
                    if (done != spanEnd) spanOut(done);
                    spanEnd = start;
                }
            }
            unsigned drawn = ~alpha.group(sums + start, sum, covers + start) & 0xffffu;
            // Columns past the band (see sweepRow) are not the shape's.
            if (start + kGroup > width) drawn &= (1u << (width - start)) - 1u;
            // Run by run from the left: adding a run's lowest bit carries through the run,
            // clearing it and setting the bit past its end (bit 16 at most).
            while (drawn != 0) {
                const unsigned past = drawn + (drawn & (0u - drawn));
                const int at = start + __builtin_ctz(drawn);
                if (at != spanEnd) spanOut(at);
                spanEnd = start + __builtin_ctz(past);
                drawn &= past;
            }
            done = start + kGroup;
        });
        spanOut(spanEnd);
    }

private:
    // Marks are read eight groups (128 pixels) at a time; a mark is the byte
    // 1, so clearing the lowest set bit clears its group.
    static constexpr int kMarkWord = 8;
#if defined(__BYTE_ORDER__)
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "marks are read little-endian");
#endif
    static uint64_t markWord(const uint8_t* marks) {
        uint64_t word;
        std::memcpy(&word, marks, sizeof word);
        return word;
    }

    // Row y's marks, the row counted as read (so clear() skips it).
    uint8_t* openRow(int y) {
        const int r = y - top_;
        if (r == read_) ++read_;
        return marks_.data() + size_t(r) * size_t(markStride_);
    }

    // Row y's sums.
    uint32_t* rowSums(int y) {
        return cells_.data() + size_t(y - top_) * size_t(stride_);
    }

    // Calls f(first column) for each group the row's marks name, left to right, clearing the
    // marks as it goes.
    template <class F>
    void takeMarkedGroups(uint8_t* marked, F&& f) const {
        const int stride = markStride_;  // read once, whatever f calls
        for (int w = 0; w < stride; w += kMarkWord) {
            uint64_t marks = markWord(marked + w);
            if (marks == 0) continue;
            std::memset(marked + w, 0, kMarkWord);
            do {
                f((w + (__builtin_ctzll(marks) >> 3)) << kGroupShift);
                marks &= marks - 1;
            } while (marks != 0);
        }
    }

    template <class Sink>
    void cellsOut(Sink& sink, const uint8_t* covers, int& runStart, int& runEnd) {
        if (runEnd > runStart) sink.cells(minX_ + runStart, runEnd - runStart, covers + runStart);
        runStart = runEnd = 0;
    }

    template <class Scanline>
    void flush(Scanline& sl, const uint8_t* covers, int& runStart, int& runEnd) {
        if (runEnd > runStart) {
            sl.add_cells(minX_ + runStart, unsigned(runEnd - runStart), covers + runStart);
        }
        runStart = runEnd = 0;
    }

    std::vector<uint32_t> cells_;
    std::vector<uint8_t> marks_;
    std::vector<uint8_t> covers_;
    int minX_ = 0;
    // Columns of the band (begin's width); the stride rounds them up to whole groups.
    int width_ = 0;
    int stride_ = 0;
    int markStride_ = 0;
    int top_ = 0;
    int rows_ = 0;
    // Rows [0, read_) of the band were read, and are clean.
    int read_ = 0;
};

}  // namespace lumo
