#pragma once

#include "geometry/DashGenerator.h"
#include "geometry/SmallBuffer.h"
#include "geometry/StrokeGenerator.h"

#include <agg_basics.h>

namespace lumo {

// The outline of a dashed stroke: the vertices StrokeGenerator gives for the
// dashes of a DashGenerator (bit for bit, in the same order), handed to a
// callback in one loop. Each dash is collected from the dash generator
// first; a dash that is one straight piece (a move-to and one line-to) with
// butt or square caps, as most dashes of a long segment are, becomes its
// four corners straight from the two caps, with the stroker's formulas,
// without running the stroker's state machine. Any other dash (one that
// turns a corner, or has round caps) has its points stroked as one open line.
template <class Source>
class DashedOutline {
    // The stroker is handed each dash's points; it reads no source.
    struct NoSource {
        void rewind(unsigned) {}
        unsigned vertex(double*, double*) { return agg::path_cmd_stop; }
    };

public:
    explicit DashedOutline(DashGenerator<Source>& dashes) : dashes_(&dashes), stroke_(noSource_) {}

    // The stroker, to be configured as for the dashes themselves.
    StrokeGenerator<NoSource>& stroke() { return stroke_; }

    // Dashes made of their caps alone, so far (for tests).
    size_t straightDashes() const { return straight_; }

    // Hands every command of the outline but the final stop to `out`:
    // out.quad(p) for the four corners p of a straight dash, which stand for
    // a move-to p[0], line-tos p[1], p[2], p[3] and an end of polygon
    // (closed, clockwise), and out.polygon(p, n) for the n points of any
    // other dash's outline, which stand likewise for a move-to, line-tos and
    // an end of polygon (closed, clockwise). Stops, returning false, as soon
    // as either returns false.
    template <class Out>
    bool forEach(Out& out) {
        dashes_->rewind(0);
        dash_.clear();
        double x = 0.0, y = 0.0;
        unsigned cmd;
        // The dash generator gives move-tos and line-tos only.
        straightCount_ = 0;
        while (!agg::is_stop(cmd = dashes_->vertex(&x, &y))) {
            if (agg::is_move_to(cmd)) {
                if (!strokeDash(out)) return false;
                dash_.clear();
            }
            dash_.push_back(agg::point_d(x, y));
        }
        return strokeDash(out) && flushStraight(out);
    }

private:
    // Straight dashes are outlined kStraightBatch at a time, in a loop whose
    // steps do not depend on each other: the square roots and divisions of
    // several dashes overlap.
    static constexpr unsigned kStraightBatch = 8;

    // The outline of the dash collected: a straight one joins the batch,
    // any other goes after the batch.
    template <class Out>
    bool strokeDash(Out& out) {
        if (dash_.size() < 2) return true;
        if (dash_.size() == 2 && stroke_.joins().flatCaps()) {
            straightEnds_[straightCount_][0] = dash_[0];
            straightEnds_[straightCount_][1] = dash_[1];
            if (++straightCount_ < kStraightBatch) return true;
            return flushStraight(out);
        }
        return flushStraight(out) && strokeLine(out);
    }

    // A dash that turns corners or has round caps, through the stroker,
    // gathered into one polygon; out of line, so that the loop over the
    // dashes stays small.
    template <class Out>
    __attribute__((noinline)) bool strokeLine(Out& out) {
        Gather<Out> gather{out, outline_};
        outline_.clear();
        return stroke_.forEachOfLine(&dash_[0], dash_.size(), gather);
    }

    // The outline of an open line, as the stroker gives it (a move-to,
    // line-tos and a clockwise close), handed on as one polygon.
    template <class Out>
    struct Gather {
        Out& out;
        SmallBuffer<agg::point_d, 32>& points;
        bool add(double x, double y, unsigned cmd) {
            if (agg::is_vertex(cmd)) {
                points.push_back(agg::point_d(x, y));
                return true;
            }
            return out.polygon(&points[0], points.size());
        }
    };

    // The batch of straight dashes, in order. A dash from one point to
    // another gives nothing when they coincide (the stroker drops the second
    // point), otherwise the cap at the start and the cap at the end, closed.
    template <class Out>
    bool flushStraight(Out& out) {
        const unsigned n = straightCount_;
        straightCount_ = 0;
        agg::point_d p[kStraightBatch][4];
        bool kept[kStraightBatch];
        for (unsigned i = 0; i < n; ++i) {
            const agg::vertex_dist v0(straightEnds_[i][0].x, straightEnds_[i][0].y);
            const agg::vertex_dist v1(straightEnds_[i][1].x, straightEnds_[i][1].y);
            const double len = agg::calc_distance(v0.x, v0.y, v1.x, v1.y);
            kept[i] = len > agg::vertex_dist_epsilon;
            stroke_.joins().straightCaps(v0, v1, len, p[i][0], p[i][1], p[i][2], p[i][3]);
        }
        for (unsigned i = 0; i < n; ++i) {
            if (!kept[i]) continue;
            ++straight_;
            if (!out.quad(p[i])) return false;
        }
        return true;
    }

    DashGenerator<Source>* dashes_;
    SmallBuffer<agg::point_d, 16> dash_;
    SmallBuffer<agg::point_d, 32> outline_;
    agg::point_d straightEnds_[kStraightBatch][2];
    unsigned straightCount_ = 0;
    NoSource noSource_;
    StrokeGenerator<NoSource> stroke_;
    size_t straight_ = 0;
};

}  // namespace lumo
