#pragma once

#include "blend/OverCoverSpan.h"
#include "blend/OverRun.h"
#include "core/DataBuffer.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>

namespace lumo {

// Blends one straight colour source-over along a shape's coverage handed over group by group
// of 16 pixels (SweepRasterizer::sweepGroups): the same pixels as AGG's solid scan-line
// renderer gives for the same coverage. The pixels of neighbouring touched groups, around
// the drawn ones, blend at their alphas in one pass (a zero alpha leaves its pixel as it is),
// the stretches of one alpha between groups as runs. A thin outline across a wide box (a
// stroke, a dash) touches a few pixels of many groups in every row, which thus take no
// scan-line pieces and no clip tests. The shape must start inside the buffer and may end on
// its right and bottom edges, as one clipped to a clip box as large as the buffer does
// (fits); columns and rows beyond them are cut off.
class GroupSolidSink {
public:
    // Whether a shape whose cells lie in the columns [x1, x2] and rows [y1, y2] starts in
    // `pixels` and ends at most one column and row beyond them.
    static bool fits(const RowBuffer& pixels, int x1, int x2, int y1, int y2) {
        return x1 >= 0 && x2 >= x1 && int64_t(x2) <= int64_t(pixels.width()) && y1 >= 0 &&
               y2 >= y1 && int64_t(y2) <= int64_t(pixels.height());
    }

    GroupSolidSink(RowBuffer& pixels, const agg::rgba8& colour)
        : pixels_(pixels),
          colour_(colour),
          cells_(colour),
          width_(int(pixels.width())),
          height_(int(pixels.height())) {}

    void row(int y) { row_ = y < height_ ? pixels_.row_ptr(y) : nullptr; }

    // Columns [x, x + length) at their alphas (zero ones left as they are).
    void cells(int x, int length, const agg::int8u* covers) {
        if (length > width_ - x) length = width_ - x;
        if (length > 0 && row_ != nullptr) cells_.apply(row_ + 4 * x, unsigned(length), covers);
    }

    // Columns [x, x + length) at one alpha.
    void span(int x, int length, unsigned alpha) {
        if (length > width_ - x) length = width_ - x;
        if (length <= 0 || row_ == nullptr) return;
        const over::Run<false> run(colour_, alpha);
        if (!run.empty()) run.apply(row_ + 4 * x, unsigned(length));
    }

private:
    RowBuffer& pixels_;
    const agg::rgba8 colour_;
    const over::CoverSpan<false> cells_;
    const int width_;
    const int height_;
    agg::int8u* row_ = nullptr;
};

}  // namespace lumo
