#pragma once

#include "blend/OverRun.h"
#include "blend/OverWords.h"
#include "blend/ShareWords.h"
#include "core/DataBuffer.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lumo {

// Blends one straight colour source-over along the coverage of a small shape, handed over
// as SolidCoverageSink takes it (rows(), then add_cell, add_span and add_cells in order of
// x, finish() at the end; the coverages' sweepRows) or as whole rows of accumulated values
// (columns(), values(); RectilinearCoverage::sweepColumns, SweepRasterizer::sweepValues):
// the same pixels, with less set-up for a shape a few pixels across.
// Each pixel of the rows named by rows() gets its share word (over::Run's word at its cover,
// zero where nothing is drawn) in a window of columns of the buffer, and every row of them is
// blended from those words in one pass (over::applyWords), instead of run by run. Rows given
// by columns() have their words made for the whole window at once from the values
// (over::shareWords), with no test per pixel. Pieces beyond the window, and rows beyond the
// buffer, are cut off. The rows named to prefetch() are fetched ahead, the first kAhead of
// them at once, while the coverage is still being worked out: a small shape touches a new
// cache line in every row.
class SmallSolidSink {
public:
    // The widest window: wider rows blend faster as runs (SolidCoverageSink), their long
    // stretches of one cover eight pixels at a time.
    static constexpr int kMaxWidth = 16;
    // Rows fetched ahead of the one blended.
    static constexpr int kAhead = 32;

    // Whether a shape covering the columns [x1, x2] and rows [y1, y2] of `pixels` fits a
    // window inside the buffer.
    static bool fits(const RowBuffer& pixels, int x1, int x2, int y1, int y2) {
        return x1 >= 0 && x2 >= x1 && int64_t(x2) - x1 < kMaxWidth &&
               int64_t(x2) < int64_t(pixels.width()) && y1 >= 0 && y2 >= y1 &&
               int64_t(y2) < int64_t(pixels.height());
    }

    // The window is columns [x, x + width) of the buffer, which must hold them, width at
    // most kMaxWidth.
    SmallSolidSink(RowBuffer& pixels, const agg::rgba8& colour, int x, int width)
        : pixels_(pixels), colour_(colour), x_(x), width_(width), height_(int(pixels.height())) {
        clearWords();
    }

    // The shape covers rows [y1, y2] of the window (inside the buffer, as fits() checks).
    void prefetch(int y1, int y2) {
        last_ = y2;
        const int end = int(std::min<int64_t>(int64_t(y1) + kAhead, int64_t(y2) + 1));
        for (int y = y1; y < end; ++y) prefetchRow(y);
    }

    void rows(int y, int count) {
        finish();
        top_ = std::max(y, 0);
        end_ = int(std::min<int64_t>(int64_t(y) + count, height_));
    }

    // Rows y to y + count - 1 from what each window column adds to the accumulated value the
    // rows' sweep sums from the left (RectilinearCoverage::sweepColumns, its window the
    // sink's): the values, their alphas under the fill rule and their words for the whole
    // window at once.
    void columns(int y, int count, const int32_t* deltas, bool evenOdd) {
        alignas(16) int32_t values[kMaxWidth];
        int32_t sum = 0;
        for (int i = 0; i < kMaxWidth; ++i) values[i] = sum += deltas[i];
        this->values(y, count, values, evenOdd);
    }

    // Rows y to y + count - 1 from the accumulated values of the window's columns
    // (SweepRasterizer::sweepValues), at least kMaxWidth of them.
    void values(int y, int count, const int32_t* values, bool evenOdd) {
        rows(y, count);
        if (top_ >= end_) return;
        over::shareWords(values, unsigned(width_), evenOdd, colour_, words_);
        from_ = 0;
        to_ = width_;
    }

    void add_cell(int x, unsigned cover) { add_span(x, 1, cover); }

    void add_span(int x, unsigned len, unsigned cover) {
        int from, to;
        if (!cut(x, len, from, to)) return;
        const uint32_t word = over::Run<false>(colour_, cover).word();
        for (int i = from; i < to; ++i) words_[i] = word;
    }

    void add_cells(int x, unsigned len, const agg::int8u* covers) {
        int from, to;
        if (!cut(x, len, from, to)) return;
        const agg::int8u* at = covers + (int64_t(x_) - x);
        for (int i = from; i < to; ++i) words_[i] = over::Run<false>(colour_, at[i]).word();
    }

    // Blends the rows of the last rows() from their words and clears the words.
    void finish() {
        if (to_ <= from_) return;
        const unsigned len = unsigned(to_ - from_);
        const uint32_t* words = words_ + from_;
        for (int y = top_; y < end_; ++y) {
            ahead(y);
            over::applyWords(pixels_.row_ptr(y) + 4 * (x_ + from_), len, words);
        }
        clearWords();
        from_ = kMaxWidth;
        to_ = 0;
    }

private:
    // All the words, whatever the window's width: a store of a constant size the compiler
    // makes inline, where a cleared stretch of varying length is a call to memset.
    void clearWords() { std::memset(words_, 0, sizeof words_); }

    void prefetchRow(int y) const {
        const agg::int8u* row = pixels_.row_ptr(y) + 4 * x_;
        __builtin_prefetch(row, 1);
        __builtin_prefetch(row + 4 * (width_ - 1), 1);
    }

    // Fetches the row kAhead below y, if the shape reaches it.
    void ahead(int y) const {
        if (y + kAhead <= last_) prefetchRow(y + kAhead);
    }

    // [x, x + len) as window columns [from, to), widening the stretch the rows take;
    // false when nothing of it is in the window or no row is.
    bool cut(int x, unsigned len, int& from, int& to) {
        const int64_t start = int64_t(x) - x_;
        from = int(std::max<int64_t>(start, 0));
        to = int(std::min<int64_t>(start + len, width_));
        if (to <= from || top_ >= end_) return false;
        from_ = std::min(from_, from);
        to_ = std::max(to_, to);
        return true;
    }

    RowBuffer& pixels_;
    const agg::rgba8 colour_;
    const int x_;
    const int width_;
    const int height_;
    int top_ = 0;
    int end_ = 0;
    // The stretch of the window the pending rows' pieces cover.
    int from_ = kMaxWidth;
    int to_ = 0;
    // The last row prefetch() was told of (none: no fetching ahead).
    int last_ = -1;
    uint32_t words_[kMaxWidth];
};

}  // namespace lumo
