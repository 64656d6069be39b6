#pragma once

#include "blend/OverCoverSpan.h"
#include "blend/OverLanes.h"
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
// finish() comes, touching runs through per-pixel lanes, fetching the pixels of rows ahead (a
// narrow outline touches a new cache line in every row). Spans are clipped to the pixel buffer.
class SolidCoverageSink {
public:
    SolidCoverageSink(RowBuffer& pixels, const agg::rgba8& colour)
        : pixels_(pixels),
          colour_(colour),
          cells_(colour),
          width_(int(pixels.width())),
          height_(int(pixels.height())) {}

    void rows(int y, int count) {
        if (pendingCount_ != 0) finish();
        top_ = std::max(y, 0);
        end_ = int(std::min<int64_t>(int64_t(y) + count, height_));
    }

    // Blends what the last rows() still holds. Touching runs (a cell, the run
    // after it, the next cell) form a stretch, which takes per-pixel lanes
    // written out once (over::applyLanes) instead of one blend per run in
    // every row.
    void finish() {
        if (pendingCount_ == 0) return;
        Stretch stretches[kMaxPending];
        const int count = gatherStretches(stretches);
        for (int y = top_; y < end_; ++y) {
            if (y + kAhead < end_) {
                agg::int8u* ahead = pixels_.row_ptr(y + kAhead);
                for (int i = 0; i < count; ++i) __builtin_prefetch(ahead + 4 * stretches[i].x, 1);
            }
            agg::int8u* row = pixels_.row_ptr(y);
            for (int i = 0; i < count; ++i) {
                const Stretch& s = stretches[i];
                if (s.lane >= 0) {
                    over::applyLanes(row + 4 * s.x, s.len, keep_ + 4 * s.lane, share_ + 4 * s.lane);
                    continue;
                }
                for (int k = s.first; k < s.end; ++k) {
                    pending_[k].run.apply(row + 4 * pending_[k].x, pending_[k].len);
                }
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

    // Pixels of per-pixel lanes a block may write out.
    static constexpr int kLanePixels = 256;
    // A lone run up to this long also takes lanes, which spare it the set-up
    // of its colour lanes in every row; longer ones blend faster from lanes
    // held in registers.
    static constexpr unsigned kShortRun = 16;

    struct Pending {
        over::Run<false> run;
        int x;
        unsigned len;
    };
    // Touching pending runs [first, end), from x on; `lane` is the first
    // pixel of its lanes, or -1 when its runs blend one by one.
    struct Stretch {
        int x;
        unsigned len;
        int first, end, lane;
    };

    // Groups the pending runs (in order of x) into stretches, writing out
    // the lanes of those of more than one run, or of a short one, while room
    // is left.
    int gatherStretches(Stretch* stretches) {
        int count = 0, lanes = 0;
        for (int i = 0; i < pendingCount_;) {
            int j = i + 1;
            unsigned len = pending_[i].len;
            while (j < pendingCount_ &&
                   int64_t(pending_[j].x) == int64_t(pending_[j - 1].x) + pending_[j - 1].len) {
                len += pending_[j].len;
                ++j;
            }
            Stretch& s = stretches[count++];
            s = Stretch{pending_[i].x, len, i, j, -1};
            if ((j - i > 1 || len <= kShortRun) && lanes + int64_t(len) <= kLanePixels) {
                s.lane = lanes;
                for (int k = i; k < j; ++k) {
                    for (unsigned n = 0; n < pending_[k].len; ++n, ++lanes) {
                        over::setLanes(keep_ + 4 * lanes, share_ + 4 * lanes,
                                       pending_[k].run.word());
                    }
                }
            }
            i = j;
        }
        return count;
    }

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
    uint16_t keep_[4 * kLanePixels];
    uint16_t share_[4 * kLanePixels];
};

}  // namespace lumo
