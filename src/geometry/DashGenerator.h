#pragma once

#include "geometry/DistanceSequence.h"

#include <agg_basics.h>

#include <cmath>

namespace lumo {

// The dashes of a path: each sub-path of the source cut into open pieces
// along a pattern of (dash, gap) lengths, with the same commands and
// vertices (bit for bit) as AGG's conv_dash. A start offset of zero or more
// restarts the pattern at that offset in every sub-path; a negative one
// starts it at its magnitude once and runs it on from one sub-path into the
// next. The caller keeps the pattern usable (finite, not negative, not all
// zero): the walk to the start offset would not end otherwise.
//
// Given a box, a dash that begins and ends within one segment lying wholly
// beyond one of the box's edges is left out (its move-to and line-to), the
// pattern still measured along it with the same arithmetic, so that every
// other dash keeps its vertices bit for bit. A caller that grows its clip box
// by the stroke's reach gets the same coverage: the outline of such a dash
// lies beyond the clip box, where the rasteriser's clipping makes it cover
// nothing.
template <class Source>
class DashGenerator {
public:
    static constexpr unsigned maxDashes = 32;

    explicit DashGenerator(Source& source) : source_(&source) {}

    // Adds a (dash, gap) pair; pairs beyond maxDashes / 2 are ignored.
    void add_dash(double dash, double gap) {
        if (count_ >= maxDashes) return;
        dashes_[count_++] = dash;
        dashes_[count_++] = gap;
    }

    void clip_box(const agg::rect_d& box) {
        box_ = box;
        clipped_ = true;
    }

    void dash_start(double start) {
        start_ = start;
        seek(std::fabs(start));
    }

    void rewind(unsigned pathId) {
        source_->rewind(pathId);
        status_ = READ_FIRST;
    }

    // Inlined into its caller's loop: most calls end a dash or a gap.
    __attribute__((always_inline)) unsigned vertex(double* x, double* y) {
        for (;;) {
            if (status_ == READ_FIRST) {
                nextCmd_ = source_->vertex(&startX_, &startY_);
                status_ = READ_SUBPATH;
            }
            if (status_ == READ_SUBPATH) {
                if (agg::is_stop(nextCmd_)) return agg::path_cmd_stop;
                readSubPath();
            }
            const unsigned cmd = dashVertex(x, y);
            if (!agg::is_stop(cmd)) return cmd;
            status_ = READ_SUBPATH;
        }
    }

private:
    enum Status { READ_FIRST, READ_SUBPATH, START, WALK, DONE };

    // Moves the pattern position `offset` along from the pattern's start.
    void seek(double offset) {
        dash_ = 0;
        dashStart_ = 0.0;
        while (offset > 0.0) {
            if (offset > dashes_[dash_]) {
                offset -= dashes_[dash_];
                ++dash_;
                dashStart_ = 0.0;
                if (dash_ >= count_) dash_ = 0;
            } else {
                dashStart_ = offset;
                offset = 0.0;
            }
        }
    }

    // Collects one sub-path: from the pending move-to up to the next move-to
    // (kept for the next sub-path), end of polygon or end of path.
    __attribute__((noinline)) void readSubPath() {
        closed_ = points_.read(*source_, startX_, startY_, nextCmd_);
        status_ = START;
    }

    // The next vertex of the current sub-path's dashes, or stop at its end.
    unsigned dashVertex(double* x, double* y) {
        if (status_ == START) {
            if (count_ < 2 || points_.size() < 2) return agg::path_cmd_stop;
            status_ = WALK;
            index_ = 1;
            v1_ = &points_[0];
            v2_ = &points_[1];
            rest_ = v1_->dist;
            outside_ = beyondBox(*v1_, *v2_);
            *x = v1_->x;
            *y = v1_->y;
            if (start_ >= 0.0) seek(start_);
            return agg::path_cmd_move_to;
        }
        if (status_ != WALK) return agg::path_cmd_stop;
        return walk(x, y);
    }

    // Ends the current dash or gap within this segment, or goes on to the
    // next segment.
    unsigned walk(double* x, double* y) {
        double dashRest = dashes_[dash_] - dashStart_;
        const unsigned cmd = (dash_ & 1) ? agg::path_cmd_move_to : agg::path_cmd_line_to;
        if (rest_ > dashRest) {
            rest_ -= dashRest;
            ++dash_;
            if (dash_ >= count_) dash_ = 0;
            dashStart_ = 0.0;
            // A gap ends here: the dashes that follow and end within this
            // segment are left out while it lies beyond the box.
            while (outside_ && (dash_ & 1) == 0 &&
                   rest_ > (dashRest = dashes_[dash_] - dashStart_)) {
                skipStep(dashRest);
                if (!(rest_ > (dashRest = dashes_[dash_] - dashStart_))) {
                    // The gap after it reaches the segment's end.
                    return walk(x, y);
                }
                skipStep(dashRest);
            }
            *x = v2_->x - (v2_->x - v1_->x) * rest_ / v1_->dist;
            *y = v2_->y - (v2_->y - v1_->y) * rest_ / v1_->dist;
            return cmd;
        }
        dashStart_ += rest_;
        *x = v2_->x;
        *y = v2_->y;
        ++index_;
        v1_ = v2_;
        rest_ = v1_->dist;
        const unsigned size = points_.size();
        if (closed_ ? index_ > size : index_ >= size) {
            status_ = DONE;
        } else {
            v2_ = &points_[index_ >= size ? 0 : index_];
            outside_ = beyondBox(*v1_, *v2_);
        }
        return cmd;
    }

    // Ends the current dash or gap within the segment, as walk() does,
    // without its vertex.
    void skipStep(double dashRest) {
        rest_ -= dashRest;
        ++dash_;
        if (dash_ >= count_) dash_ = 0;
        dashStart_ = 0.0;
    }

    // Whether the segment from a to b lies wholly beyond one edge of the box.
    bool beyondBox(const DistanceSequence::Point& a, const DistanceSequence::Point& b) const {
        return clipped_ && ((a.x < box_.x1 && b.x < box_.x1) || (a.x > box_.x2 && b.x > box_.x2) ||
                            (a.y < box_.y1 && b.y < box_.y1) || (a.y > box_.y2 && b.y > box_.y2));
    }

    Source* source_;
    double dashes_[maxDashes] = {};
    unsigned count_ = 0;
    double start_ = 0.0;
    unsigned dash_ = 0;
    double dashStart_ = 0.0;
    DistanceSequence points_;
    const DistanceSequence::Point* v1_ = nullptr;
    const DistanceSequence::Point* v2_ = nullptr;
    double rest_ = 0.0;
    unsigned index_ = 0;
    Status status_ = READ_FIRST;
    agg::rect_d box_;
    bool clipped_ = false;
    bool outside_ = false;
    unsigned nextCmd_ = agg::path_cmd_stop;
    unsigned closed_ = 0;
    // Where the next sub-path starts: the last move-to read. A path that
    // opens with a command that has no vertex starts at (0, 0) (AGG's
    // generators read an unset point there).
    double startX_ = 0.0, startY_ = 0.0;
};

}  // namespace lumo
