#pragma once

#include "geometry/DistanceSequence.h"
#include "geometry/StrokeJoins.h"

#include "geometry/SmallBuffer.h"

#include <agg_basics.h>
#include <agg_math_stroke.h>

namespace lumo {

// The outline of a stroked path: for each sub-path of the source, the
// polygon that AGG's conv_stroke makes, with the same vertices (bit for bit)
// in the same order. Caps and joins come from StrokeJoins; reading the
// source, dropping coinciding points and walking the sub-path are done here,
// inline, with the points of a sub-path and of a join in contiguous buffers
// that are reused for the whole path. Each segment's offset (the half width
// across it) and each corner's turn are computed once per sub-path: the way
// back along the sub-path uses their exact negations.
template <class Source>
class StrokeGenerator {
public:
    explicit StrokeGenerator(Source& source) : source_(&source) {}

    void width(double w) { stroker_.width(w); }
    void line_cap(agg::line_cap_e cap) { stroker_.line_cap(cap); }
    void line_join(agg::line_join_e join) { stroker_.line_join(join); }
    void inner_join(agg::inner_join_e join) { stroker_.inner_join(join); }
    void miter_limit(double limit) { stroker_.miter_limit(limit); }
    void approximation_scale(double scale) { stroker_.approximation_scale(scale); }

    // The caps and joins, as configured.
    const StrokeJoins& joins() const { return stroker_; }

    void rewind(unsigned pathId) {
        source_->rewind(pathId);
        stroker_.prepare();
        status_ = READ_FIRST;
    }

    unsigned vertex(double* x, double* y) {
        // Most vertices are the points of a cap or join being handed out.
        if (step_ == STEP_EMIT && emitted_ < joinCount_ && status_ == OUTLINE) {
            *x = join_[emitted_].x;
            *y = join_[emitted_].y;
            ++emitted_;
            return agg::path_cmd_line_to;
        }
        for (;;) {
            if (status_ == READ_FIRST) {
                nextCmd_ = source_->vertex(&startX_, &startY_);
                status_ = READ_SUBPATH;
            }
            if (status_ == READ_SUBPATH) {
                if (agg::is_stop(nextCmd_)) return agg::path_cmd_stop;
                readSubPath();
            }
            const unsigned cmd = outlineVertex(x, y);
            if (!agg::is_stop(cmd)) return cmd;
            status_ = READ_SUBPATH;
        }
    }

    // Hands the whole outline, from a rewind, to `out` in one loop, with
    // the commands vertex() gives (the final stop left out): out.add(x, y,
    // cmd) for each; stops, returning false, as soon as it returns false.
    template <class Out>
    bool forEach(Out& out) {
        rewind(0);
        nextCmd_ = source_->vertex(&startX_, &startY_);
        while (!agg::is_stop(nextCmd_)) {
            readSubPath();
            if (points_.size() < 2 + unsigned(closed_ != 0)) continue;
            if (!(closed_ ? closedOutline(out) : openOutline(out))) return false;
        }
        status_ = READ_SUBPATH;
        return true;
    }

    // Hands the outline of one open line through the n points p to `out`,
    // as forEach hands that of a source giving a move-to p[0] and line-tos
    // to the others, without reading the source.
    template <class Out>
    bool forEachOfLine(const agg::point_d* p, size_t n, Out& out) {
        stroker_.prepare();
        points_.clear();
        for (size_t i = 0; i < n; ++i) points_.add(p[i].x, p[i].y);
        points_.close(false);
        closed_ = 0;
        measureCorners();
        status_ = READ_FIRST;
        if (points_.size() < 2) return true;
        return openOutline(out);
    }

private:
    // The points of the cap or join made last, the first with `cmd`.
    template <class Out>
    bool emit(Out& out, unsigned cmd) {
        for (size_t i = 0; i < join_.size(); ++i) {
            if (!out.add(join_[i].x, join_[i].y, cmd)) return false;
            cmd = agg::path_cmd_line_to;
        }
        return true;
    }

    // An open sub-path's outline: the first cap, the joins going forward,
    // the last cap and the joins going back.
    template <class Out>
    bool openOutline(Out& out) {
        const unsigned n = points_.size();
        stroker_.cap(join_, points_[0], points_[1], points_[0].dist);
        if (!emit(out, agg::path_cmd_move_to)) return false;
        for (unsigned i = 1; i < n - 1; ++i) {
            forwardJoin(i);
            if (!emit(out, agg::path_cmd_line_to)) return false;
        }
        stroker_.cap(join_, points_[n - 1], points_[n - 2], points_[n - 2].dist);
        if (!emit(out, agg::path_cmd_line_to)) return false;
        for (unsigned i = n - 2; i >= 1; --i) {
            backwardJoin(i);
            if (!emit(out, agg::path_cmd_line_to)) return false;
        }
        return out.add(0.0, 0.0,
                       agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_cw);
    }

    // A closed sub-path's outline: the joins going forward, closed, then
    // the joins going back, closed.
    template <class Out>
    bool closedOutline(Out& out) {
        const unsigned n = points_.size();
        for (unsigned i = 0; i < n; ++i) {
            forwardJoin(i);
            if (!emit(out, i == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to)) return false;
        }
        if (!out.add(0.0, 0.0,
                     agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_ccw)) {
            return false;
        }
        for (unsigned i = n; i-- > 0;) {
            backwardJoin(i);
            if (!emit(out, i == n - 1 ? agg::path_cmd_move_to : agg::path_cmd_line_to))
                return false;
        }
        return out.add(0.0, 0.0,
                       agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_cw);
    }

    // The offset across a segment, forwards and backwards, as math_stroke
    // computes it: (half width * dy / length, half width * dx / length).
    // For each point: the offset of the segment that starts there, and the
    // turn at the point (cross product of the point before, it and the one
    // after).
    struct Corner {
        double x, y, backX, backY;
        double turn;
    };

    enum Status { READ_FIRST, READ_SUBPATH, OUTLINE };
    enum Step {
        STEP_START,
        STEP_CAP1,
        STEP_CAP2,
        STEP_OUTLINE1,
        STEP_CLOSE_FIRST,
        STEP_OUTLINE2,
        STEP_EMIT,
        STEP_END_POLY1,
        STEP_END_POLY2,
        STEP_STOP
    };

    // Collects one sub-path: from the pending move-to up to the next move-to
    // (kept for the next sub-path), end of polygon or end of path.
    void readSubPath() {
        closed_ = points_.read(*source_, startX_, startY_, nextCmd_);
        if (points_.size() < 3) closed_ = 0;
        measureCorners();
        status_ = OUTLINE;
        step_ = STEP_START;
    }

    // The offset of every segment and the turn at every corner. Going back,
    // a segment's offset is the negation of its offset going forward (a
    // difference, a product and a quotient change only their sign when
    // their operands do), except where the difference is zero, whose sign
    // does not follow; a corner's turn likewise, where only its sign counts.
    void measureCorners() {
        const unsigned n = points_.size();
        // Two points (a dash, say) have caps alone.
        if (n < 3) return;
        const unsigned segments = closed_ ? n : n - 1;
        if (corners_.size() < n) corners_.resize(n);
        const double w = stroker_.halfWidth();
        for (unsigned i = 0; i < segments; ++i) {
            const agg::vertex_dist& v1 = points_[i];
            const agg::vertex_dist& v2 = points_.next(i);
            const double dy = v2.y - v1.y, dx = v2.x - v1.x;
            Corner& o = corners_[i];
            o.x = w * dy / v1.dist;
            o.y = w * dx / v1.dist;
            o.backX = dy == 0 ? w * (v1.y - v2.y) / v1.dist : -o.x;
            o.backY = dx == 0 ? w * (v1.x - v2.x) / v1.dist : -o.y;
        }
        for (unsigned i = closed_ ? 0 : 1; i < segments; ++i) {
            const agg::vertex_dist& v0 = points_.prev(i);
            const agg::vertex_dist& v1 = points_[i];
            const agg::vertex_dist& v2 = points_.next(i);
            corners_[i].turn = agg::cross_product(v0.x, v0.y, v1.x, v1.y, v2.x, v2.y);
        }
    }

    void emitJoinPoints(Step after) {
        afterEmit_ = after;
        step_ = STEP_EMIT;
        emitted_ = 0;
        joinCount_ = join_.size();
    }

    unsigned previous(unsigned i) const { return i == 0 ? points_.size() - 1 : i - 1; }

    // The next vertex of the current sub-path's outline, or stop at its end.
    unsigned outlineVertex(double* x, double* y) {
        unsigned cmd = agg::path_cmd_line_to;
        for (;;) {
            switch (step_) {
                case STEP_START:
                    if (points_.size() < 2 + unsigned(closed_ != 0)) return agg::path_cmd_stop;
                    step_ = closed_ ? STEP_OUTLINE1 : STEP_CAP1;
                    cmd = agg::path_cmd_move_to;
                    index_ = 0;
                    break;
                case STEP_CAP1:
                    stroker_.cap(join_, points_[0], points_[1], points_[0].dist);
                    index_ = 1;
                    emitJoinPoints(STEP_OUTLINE1);
                    break;
                case STEP_CAP2: {
                    const unsigned n = points_.size();
                    stroker_.cap(join_, points_[n - 1], points_[n - 2], points_[n - 2].dist);
                    emitJoinPoints(STEP_OUTLINE2);
                    break;
                }
                case STEP_OUTLINE1:
                    if (closed_ ? index_ >= points_.size() : index_ >= points_.size() - 1) {
                        if (closed_) {
                            afterEmit_ = STEP_CLOSE_FIRST;
                            step_ = STEP_END_POLY1;
                        } else {
                            step_ = STEP_CAP2;
                        }
                        break;
                    }
                    forwardJoin(index_);
                    ++index_;
                    emitJoinPoints(STEP_OUTLINE1);
                    break;
                case STEP_CLOSE_FIRST:
                    step_ = STEP_OUTLINE2;
                    cmd = agg::path_cmd_move_to;
                    [[fallthrough]];
                case STEP_OUTLINE2:
                    if (index_ <= unsigned(closed_ == 0)) {
                        step_ = STEP_END_POLY2;
                        afterEmit_ = STEP_STOP;
                        break;
                    }
                    --index_;
                    backwardJoin(index_);
                    emitJoinPoints(STEP_OUTLINE2);
                    break;
                case STEP_EMIT:
                    if (emitted_ >= joinCount_) {
                        step_ = afterEmit_;
                        break;
                    }
                    *x = join_[emitted_].x;
                    *y = join_[emitted_].y;
                    ++emitted_;
                    return cmd;
                case STEP_END_POLY1:
                    step_ = afterEmit_;
                    return agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_ccw;
                case STEP_END_POLY2:
                    step_ = afterEmit_;
                    return agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_cw;
                case STEP_STOP:
                    return agg::path_cmd_stop;
            }
        }
    }

    // The join at corner i going forward: from the segment before it to the
    // one after it. Joins are called out of line, so that the walk along the
    // outline stays small enough to be inlined into vertex().
    __attribute__((noinline)) void forwardJoin(unsigned i) {
        const Corner& in = corners_[previous(i)];
        const Corner& out = corners_[i];
        stroker_.join(join_, points_.prev(i), points_[i], points_.next(i), points_.prev(i).dist,
                      points_[i].dist, in.x, in.y, out.x, out.y, out.turn);
    }

    // The join at corner i going back.
    __attribute__((noinline)) void backwardJoin(unsigned i) {
        const Corner& in = corners_[i];
        const Corner& out = corners_[previous(i)];
        stroker_.join(join_, points_.next(i), points_[i], points_.prev(i), points_[i].dist,
                      points_.prev(i).dist, in.backX, in.backY, out.backX, out.backY, -in.turn);
    }

    Source* source_;
    StrokeJoins stroker_;
    StrokeJoins::Points join_;
    DistanceSequence points_;
    SmallBuffer<Corner, 64> corners_;
    Status status_ = READ_FIRST;
    Step step_ = STEP_START;
    Step afterEmit_ = STEP_STOP;
    unsigned nextCmd_ = agg::path_cmd_stop;
    unsigned closed_ = 0;
    unsigned index_ = 0;
    size_t emitted_ = 0;
    size_t joinCount_ = 0;
    // Where the next sub-path starts: the last move-to read. A path that
    // opens with a command that has no vertex starts at (0, 0) (AGG's
    // generators read an unset point there).
    double startX_ = 0.0, startY_ = 0.0;
};

}  // namespace lumo
