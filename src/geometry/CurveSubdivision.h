#pragma once

#include "geometry/SmallBuffer.h"

#include <agg_basics.h>
#include <agg_math.h>

#include <cmath>

namespace lumo {

// The points AGG's curve subdivision (conv_curve's default settings: no angle
// tolerance, no cusp limit) makes of one quadratic or cubic curve, bit for
// bit and in order: the points after the start, the end point last, each a
// line from the one before. The buffer is reused from curve to curve.
class CurveSubdivision {
public:
    using Points = SmallBuffer<agg::point_d, 64>;

    // Finer flattening for a larger scale: a curve is split until its
    // control points lie within 0.5 / scale of the chord.
    void approximation_scale(double scale) {
        tolerance_ = 0.5 / scale;
        tolerance_ *= tolerance_;
    }

    const Points& quadratic(double x1, double y1, double x2, double y2, double x3, double y3) {
        points_.clear();
        subdivideQuadratic(x1, y1, x2, y2, x3, y3, 0);
        points_.push_back(agg::point_d(x3, y3));
        return points_;
    }

    const Points& cubic(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                        double y4) {
        points_.clear();
        subdivideCubic(x1, y1, x2, y2, x3, y3, x4, y4, 0);
        points_.push_back(agg::point_d(x4, y4));
        return points_;
    }

    const Points& points() const { return points_; }
    void clear() { points_.clear(); }

private:
    static constexpr unsigned recursionLimit = 32;
    static constexpr double collinearityEpsilon = 1e-30;

    __attribute__((always_inline)) void add(double x, double y) {
        points_.push_back(agg::point_d(x, y));
    }

    void subdivideQuadratic(double x1, double y1, double x2, double y2, double x3, double y3,
                            unsigned level) {
        if (level > recursionLimit) return;
        const double x12 = (x1 + x2) / 2, y12 = (y1 + y2) / 2;
        const double x23 = (x2 + x3) / 2, y23 = (y2 + y3) / 2;
        const double x123 = (x12 + x23) / 2, y123 = (y12 + y23) / 2;
        const double dx = x3 - x1, dy = y3 - y1;
        double d = std::fabs((x2 - x3) * dy - (y2 - y3) * dx);
        if (d > collinearityEpsilon) {
            if (d * d <= tolerance_ * (dx * dx + dy * dy)) return add(x123, y123);
        } else {
            const double da = dx * dx + dy * dy;
            if (da == 0) {
                d = agg::calc_sq_distance(x1, y1, x2, y2);
            } else {
                d = ((x2 - x1) * dx + (y2 - y1) * dy) / da;
                // Control point between the ends: the chord is the curve.
                if (d > 0 && d < 1) return;
                d = squaredDistanceToChord(x2, y2, d, x1, y1, x3, y3, dx, dy);
            }
            if (d < tolerance_) return add(x2, y2);
        }
        subdivideQuadratic(x1, y1, x12, y12, x123, y123, level + 1);
        subdivideQuadratic(x123, y123, x23, y23, x3, y3, level + 1);
    }

    // A cubic and how many halvings made it.
    struct CubicPiece {
        double x1, y1, x2, y2, x3, y3, x4, y4;
        unsigned level;
    };

    // Adds the points of a cubic: each piece that is flat enough gives one
    // point, the others are halved, the first half first. Pieces wait on a
    // stack of their own instead of in recursive calls.
    void subdivideCubic(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                        double y4, unsigned level) {
        CubicPiece waiting[recursionLimit + 2];
        unsigned count = 0;
        CubicPiece c = {x1, y1, x2, y2, x3, y3, x4, y4, level};
        for (;;) {
            if (c.level > recursionLimit || flatCubic(c)) {
                if (count == 0) return;
                c = waiting[--count];
                continue;
            }
            const double x12 = (c.x1 + c.x2) / 2, y12 = (c.y1 + c.y2) / 2;
            const double x23 = (c.x2 + c.x3) / 2, y23 = (c.y2 + c.y3) / 2;
            const double x34 = (c.x3 + c.x4) / 2, y34 = (c.y3 + c.y4) / 2;
            const double x123 = (x12 + x23) / 2, y123 = (y12 + y23) / 2;
            const double x234 = (x23 + x34) / 2, y234 = (y23 + y34) / 2;
            const double x1234 = (x123 + x234) / 2, y1234 = (y123 + y234) / 2;
            waiting[count++] = {x1234, y1234, x234, y234, x34, y34, c.x4, c.y4, c.level + 1};
            c = {c.x1, c.y1, x12, y12, x123, y123, x1234, y1234, c.level + 1};
        }
    }

    // True when the piece is done: flat enough to be one point (added) or
    // covered by its chord.
    bool flatCubic(const CubicPiece& c) {
        const double dx = c.x4 - c.x1, dy = c.y4 - c.y1;
        const double d2 = std::fabs((c.x2 - c.x4) * dy - (c.y2 - c.y4) * dx);
        const double d3 = std::fabs((c.x3 - c.x4) * dy - (c.y3 - c.y4) * dx);
        const bool far2 = d2 > collinearityEpsilon, far3 = d3 > collinearityEpsilon;
        if (far2 || far3) {
            // One or both control points off the chord: flat enough when
            // their distance from it is within the tolerance.
            const double d = far2 && far3 ? d2 + d3 : far2 ? d2 : d3;
            if (d * d > tolerance_ * (dx * dx + dy * dy)) return false;
            add((c.x2 + c.x3) / 2, (c.y2 + c.y3) / 2);
            return true;
        }
        return collinearCubic(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4, dx, dy);
    }

    // A cubic whose points all lie on one line: true when it is done (its
    // chord covers it, or the control point farthest from it is added).
    bool collinearCubic(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                        double y4, double dx, double dy) {
        double k = dx * dx + dy * dy;
        double d2, d3;
        if (k == 0) {
            d2 = agg::calc_sq_distance(x1, y1, x2, y2);
            d3 = agg::calc_sq_distance(x4, y4, x3, y3);
        } else {
            k = 1 / k;
            d2 = k * ((x2 - x1) * dx + (y2 - y1) * dy);
            d3 = k * ((x3 - x1) * dx + (y3 - y1) * dy);
            // Control points between the ends, in order: the chord is the curve.
            if (d2 > 0 && d2 < 1 && d3 > 0 && d3 < 1) return true;
            d2 = squaredDistanceToChord(x2, y2, d2, x1, y1, x4, y4, dx, dy);
            d3 = squaredDistanceToChord(x3, y3, d3, x1, y1, x4, y4, dx, dy);
        }
        if (d2 > d3) {
            if (d2 < tolerance_) return add(x2, y2), true;
        } else if (d3 < tolerance_) {
            return add(x3, y3), true;
        }
        return false;
    }

    // Squared distance from (x, y) to the chord from (x1, y1) to (xe, ye),
    // given the point's position t along it.
    static double squaredDistanceToChord(double x, double y, double t, double x1, double y1,
                                         double xe, double ye, double dx, double dy) {
        if (t <= 0) return agg::calc_sq_distance(x, y, x1, y1);
        if (t >= 1) return agg::calc_sq_distance(x, y, xe, ye);
        return agg::calc_sq_distance(x, y, x1 + t * dx, y1 + t * dy);
    }

    // The squared distance within which a control point counts as on the
    // chord, worked out once for the scale.
    double tolerance_ = 0.25;
    Points points_;
};

}  // namespace lumo
