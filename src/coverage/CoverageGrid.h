#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumo {

// A band of cell rows as a dense grid of 32-bit sums, one per pixel of the
// shape's width plus one. A cell contribution adds (cover << 9) - area at its
// pixel and area at the next, so the running sum along a row is, at every
// pixel, the accumulated coverage a sorted sweep would compute there (modulo
// 2^32, as the sweep's own int sums wrap). Each row marks the groups of 16
// pixels it touched in a bitmap: reading a row visits only those, hands the
// constant stretches between them to the scan-line as spans, and zeroes what
// it read, so the grid is clean again without a separate clear.
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
    // Zeroes whatever rows of the band were not read; then the grid is clean.
    void clear();
    // Gives back storage beyond one band of the usual size.
    void trim();

    void add(int x, int y, int cover, int area) {
        const int r = y - top_;
        const int c = x - minX_;
        uint32_t* row = cells_.data() + size_t(r) * size_t(stride_);
        row[c] += (uint32_t(cover) << 9) - uint32_t(area);
        row[c + 1] += uint32_t(area);
        uint64_t* bits = bits_.data() + size_t(r) * size_t(words_);
        bits[c >> 10] |= uint64_t(1) << ((c >> kGroupShift) & 63);
        bits[(c + 1) >> 10] |= uint64_t(1) << (((c + 1) >> kGroupShift) & 63);
    }

    // Turns row `y` into alphas, zeroing it, and hands the scan-line the
    // pixels of non-zero alpha.
    template <class Alpha, class Scanline>
    void sweepRow(int y, const Alpha& alpha, Scanline& sl) {
        const int r = y - top_;
        uint64_t* bits = bits_.data() + size_t(r) * size_t(words_);
        uint32_t* row = cells_.data() + size_t(r) * size_t(stride_);
        uint8_t* covers = covers_.data();
        uint32_t sum = 0;
        int done = 0;
        for (int w = 0; w < words_; ++w) {
            uint64_t marks = bits[w];
            if (marks == 0) continue;
            bits[w] = 0;
            do {
                const int start = (w << 10) + (__builtin_ctzll(marks) << kGroupShift);
                marks &= marks - 1;
                if (start > done) {
                    const unsigned a = alpha.value(sum);
                    if (a != 0) sl.add_span(minX_ + done, unsigned(start - done), a);
                }
                const unsigned zeros = alpha.group(row + start, sum, covers + start);
                if (zeros == 0) {
                    sl.add_cells(minX_ + start, kGroup, covers + start);
                } else if (zeros != 0xffff) {
                    emitRuns(sl, covers, start, zeros);
                }
                done = start + kGroup;
            } while (marks != 0);
        }
    }

private:
    // The runs of non-zero alpha of a group with some zero alphas.
    template <class Scanline>
    void emitRuns(Scanline& sl, const uint8_t* covers, int start, unsigned zeros) {
        int i = 0;
        while (i < kGroup) {
            while (i < kGroup && (zeros >> i & 1)) ++i;
            if (i == kGroup) break;
            const int from = i;
            while (i < kGroup && !(zeros >> i & 1)) ++i;
            sl.add_cells(minX_ + start + from, unsigned(i - from), covers + start + from);
        }
    }

    std::vector<uint32_t> cells_;
    std::vector<uint64_t> bits_;
    std::vector<uint8_t> covers_;
    int minX_ = 0;
    int stride_ = 0;
    int words_ = 0;
    int top_ = 0;
    int rows_ = 0;
};

}  // namespace lumo
