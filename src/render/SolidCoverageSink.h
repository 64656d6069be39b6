#pragma once

#include "blend/OverCoverSpan.h"
#include "blend/OverRun.h"
#include "blend/SourceOver.h"
#include "core/DataBuffer.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <algorithm>
#include <cstdint>

namespace lumo {

// Blends one straight colour source-over along coverage handed over row by row (a coverage
// sweep's sweepRows), straight into the pixels instead of through a scan-line and a renderer:
// the same pixels as AGG's solid scan-line renderer gives for the same spans, which blends each
// pixel once at its cover. rows() names the rows the following spans apply to: several rows
// alike at once, as a rectangle's are, take their constant-cover spans with the effective
// alpha and share worked out once, and are blended row after row when the next rows() or
// finish() comes, fetching the pixels of rows ahead (a narrow outline touches a new cache
// line in every row). Spans are clipped to the pixel buffer.
class SolidCoverageSink {
public:
    SolidCoverageSink(RowBuffer& pixels, const agg::rgba8& colour)
        : pixels_(pixels),
          colour_(colour),
          cells_(colour),
          width_(int(pixels.width())),
          height_(int(pixels.height())) {}

    void rows(int y, int count) {
        finish();
        top_ = std::max(y, 0);
        end_ = int(std::min<int64_t>(int64_t(y) + count, height_));
    }

    // Blends what the last rows() still holds.
    void finish() {
        if (pendingCount_ == 0) return;
        for (int y = top_; y < end_; ++y) {
            if (y + kAhead < end_) {
                agg::int8u* ahead = pixels_.row_ptr(y + kAhead);
                for (int i = 0; i < pendingCount_; ++i)
                    __builtin_prefetch(ahead + 4 * pending_[i].x, 1);
            }
            agg::int8u* row = pixels_.row_ptr(y);
            for (int i = 0; i < pendingCount_; ++i) {
                const Pending& p = pending_[i];
                p.run.apply(row + 4 * p.x, p.len);
            }
        }
        pendingCount_ = 0;
    }

    void add_cell(int x, unsigned cover) { add_span(x, 1, cover); }

    void add_span(int x, unsigned len, unsigned cover) {
        if (!clip(x, len, nullptr)) return;
        const over::Run<false> run(colour_, cover);
        if (run.empty()) return;
        if (end_ - top_ > 1 && pendingCount_ < kMaxPending) {
            pending_[pendingCount_++] = Pending{run, x, len};
            return;
        }
        for (int y = top_; y < end_; ++y) run.apply(at(x, y), len);
    }

    void add_cells(int x, unsigned len, const agg::int8u* covers) {
        if (!clip(x, len, &covers)) return;
        for (int y = top_; y < end_; ++y) cells_.apply(at(x, y), len, covers);
    }

private:
    // Spans held for the rows of one rows() call.
    static constexpr int kMaxPending = 32;
    // How many rows ahead the pixels are fetched.
    static constexpr int kAhead = 6;

    struct Pending {
        over::Run<false> run;
        int x;
        unsigned len;
    };

    agg::int8u* at(int x, int y) const { return pixels_.row_ptr(y) + 4 * x; }

    // Cuts [x, x + len) to the buffer's columns, moving the covers along; false when nothing
    // is left.
    bool clip(int& x, unsigned& len, const agg::int8u** covers) const {
        int64_t from = x, to = int64_t(x) + len;
        if (from < 0) {
            if (covers != nullptr) *covers += -from;
            from = 0;
        }
        to = std::min<int64_t>(to, width_);
        if (to <= from || top_ >= end_) return false;
        x = int(from);
        len = unsigned(to - from);
        return true;
    }

    RowBuffer& pixels_;
    const agg::rgba8 colour_;
    const over::CoverSpan<false> cells_;
    const int width_;
    const int height_;
    int top_ = 0;
    int end_ = 0;
    Pending pending_[kMaxPending];
    int pendingCount_ = 0;
};

}  // namespace lumo
