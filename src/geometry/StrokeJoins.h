#pragma once

#include "geometry/SmallBuffer.h"

#include <agg_basics.h>
#include <agg_math.h>
#include <agg_math_stroke.h>

#include <climits>
#include <cmath>
#include <cstring>

namespace lumo {

// The caps and joins of a stroked outline: the points AGG's math_stroke
// gives, bit for bit, with the same floating-point operations in the same
// order, but with what does not change from join to join computed once:
// - the angle step of round joins and caps (an acos) and a round cap's
//   number of points, once per stroke;
// - the offsets of a join's two segments (two divisions each), passed in by
//   the caller, who computes them once per segment for both sides;
// - the angles of a round join's ends (atan2): a round join whose turn lies
//   certainly inside one angle step has no point between its ends, and is
//   given without any; otherwise the angle of the end shared with the join
//   before is taken from there.
class StrokeJoins {
public:
    // Room for a round join or cap of a usual width without the heap.
    using Points = SmallBuffer<agg::point_d, 32>;

    void width(double w) {
        width_ = w * 0.5;
        widthAbs_ = width_ < 0 ? -width_ : width_;
        widthSign_ = width_ < 0 ? -1.0 : 1.0;
        widthEps_ = width_ / 1024.0;
        prepared_ = false;
    }
    void line_cap(agg::line_cap_e cap) {
        cap_ = cap;
        prepared_ = false;
    }
    void line_join(agg::line_join_e join) {
        join_ = join;
        prepared_ = false;
    }
    void inner_join(agg::inner_join_e join) {
        innerJoin_ = join;
        prepared_ = false;
    }
    void miter_limit(double limit) { miterLimit_ = limit; }
    void approximation_scale(double scale) {
        scale_ = scale;
        prepared_ = false;
    }

    double halfWidth() const { return width_; }

    // Computes what depends on the width and approximation scale alone, for
    // the caps and joins that have arcs.
    void prepare() {
        if (prepared_) return;
        prepared_ = true;
        if (cap_ != agg::round_cap && join_ != agg::round_join && join_ != agg::miter_join_round &&
            innerJoin_ != agg::inner_round) {
            return;
        }
        arcStep_ = std::acos(widthAbs_ / (widthAbs_ + 0.125 / scale_)) * 2;
        capCount_ = truncate(agg::pi / arcStep_);
        capStep_ = agg::pi / (capCount_ + 1);
        // A turn whose cosine exceeds this, by far more than rounding can
        // account for, is certainly less than one angle step.
        turnCosine_ = std::cos(arcStep_) + kTurnMargin;
        memoValid_ = false;
    }

    // Whether caps are two points each: butt and square caps.
    bool flatCaps() const { return cap_ != agg::round_cap; }

    // The two points, a then b, of a butt or square cap at v0 of a segment
    // from v0 to v1 of length len.
    __attribute__((always_inline)) void flatCap(const agg::vertex_dist& v0,
                                                const agg::vertex_dist& v1, double len,
                                                agg::point_d& a, agg::point_d& b) const {
        double dx1 = (v1.y - v0.y) / len;
        double dy1 = (v1.x - v0.x) / len;
        dx1 *= width_;
        dy1 *= width_;
        flatCapAt(v0, dx1, dy1, a, b);
    }

    // Both caps of a straight line from v0 to v1 of length len: a then b at
    // v0, c then d at v1, as flatCap gives them. The offset at v1 is the
    // one at v0 negated (a difference, a quotient and a product change only
    // their sign when an operand does), except where the difference is zero,
    // whose sign does not follow (+0 both ways, unless the ends are zeros of
    // opposite signs): that offset is computed again.
    __attribute__((always_inline)) void straightCaps(const agg::vertex_dist& v0,
                                                     const agg::vertex_dist& v1, double len,
                                                     agg::point_d& a, agg::point_d& b,
                                                     agg::point_d& c, agg::point_d& d) const {
        const double ey = v1.y - v0.y, ex = v1.x - v0.x;
        double dx1 = ey / len;
        double dy1 = ex / len;
        dx1 *= width_;
        dy1 *= width_;
        flatCapAt(v0, dx1, dy1, a, b);
        flatCapAt(v1, ey == 0 ? (v0.y - v1.y) / len * width_ : -dx1,
                  ex == 0 ? (v0.x - v1.x) / len * width_ : -dy1, c, d);
    }

    // The two points of a butt or square cap at v0 whose offset across the
    // line is (dx1, dy1).
    __attribute__((always_inline)) void flatCapAt(const agg::vertex_dist& v0, double dx1,
                                                  double dy1, agg::point_d& a,
                                                  agg::point_d& b) const {
        double dx2 = 0;
        double dy2 = 0;
        if (cap_ == agg::square_cap) {
            dx2 = dy1 * widthSign_;
            dy2 = dx1 * widthSign_;
        }
        a.x = v0.x - dx1 - dx2;
        a.y = v0.y + dy1 - dy2;
        b.x = v0.x + dx1 - dx2;
        b.y = v0.y - dy1 - dy2;
    }

    // The cap at v0 of a segment from v0 to v1 of length len.
    void cap(Points& out, const agg::vertex_dist& v0, const agg::vertex_dist& v1, double len) {
        out.clear();
        if (flatCaps()) {
            agg::point_d a, b;
            flatCap(v0, v1, len, a, b);
            out.push_back(a);
            out.push_back(b);
            return;
        }
        double dx1 = (v1.y - v0.y) / len;
        double dy1 = (v1.x - v0.x) / len;
        dx1 *= width_;
        dy1 *= width_;
        add(out, v0.x - dx1, v0.y + dy1);
        if (widthSign_ > 0) {
            double a1 = std::atan2(dy1, -dx1);
            a1 += capStep_;
            for (int i = 0; i < capCount_; i++) {
                add(out, v0.x + std::cos(a1) * width_, v0.y + std::sin(a1) * width_);
                a1 += capStep_;
            }
        } else {
            double a1 = std::atan2(-dy1, dx1);
            a1 -= capStep_;
            for (int i = 0; i < capCount_; i++) {
                add(out, v0.x + std::cos(a1) * width_, v0.y + std::sin(a1) * width_);
                a1 -= capStep_;
            }
        }
        add(out, v0.x + dx1, v0.y - dy1);
    }

    // The join at v1 of the segments v0-v1 (length len1, offset dx1, dy1:
    // the half width times (v1.y - v0.y, v1.x - v0.x) / len1) and v1-v2
    // (len2, dx2, dy2); turn is the cross product of v0, v1, v2.
    void join(Points& out, const agg::vertex_dist& v0, const agg::vertex_dist& v1,
              const agg::vertex_dist& v2, double len1, double len2, double dx1, double dy1,
              double dx2, double dy2, double turn) {
        out.clear();
        if (turn != 0 && (turn > 0) == (width_ > 0)) {
            innerJoin(out, v0, v1, v2, len1, len2, dx1, dy1, dx2, dy2);
        } else {
            outerJoin(out, v0, v1, v2, dx1, dy1, dx2, dy2);
        }
    }

private:
    static constexpr double kInnerMiterLimit = 1.01;
    static constexpr double kTurnMargin = 1e-9;
    // 1 - 2^-50: a product rounded up by half an ulp, times this, is below
    // the exact product.
    static constexpr double kBelowOne = 1.0 - 0x1p-50;
    // 1 + 2^-48: a product rounded down by half an ulp, times this, is above
    // the exact product by far more than the rounding of a square root.
    static constexpr double kAboveOne = 1.0 + 0x1p-48;

    // x86's conversion: out of range (or NaN) gives INT_MIN.
    static int truncate(double v) {
        return v > -2147483649.0 && v < 2147483648.0 ? int(v) : INT_MIN;
    }

    static void add(Points& out, double x, double y) { out.push_back(agg::point_d(x, y)); }

    void innerJoin(Points& out, const agg::vertex_dist& v0, const agg::vertex_dist& v1,
                   const agg::vertex_dist& v2, double len1, double len2, double dx1, double dy1,
                   double dx2, double dy2) {
        double limit = ((len1 < len2) ? len1 : len2) / widthAbs_;
        if (limit < kInnerMiterLimit) limit = kInnerMiterLimit;
        switch (innerJoin_) {
            default:  // inner_bevel
                add(out, v1.x + dx1, v1.y - dy1);
                add(out, v1.x + dx2, v1.y - dy2);
                break;
            case agg::inner_miter:
                miter(out, v0, v1, v2, dx1, dy1, dx2, dy2, agg::miter_join_revert, limit, 0);
                break;
            case agg::inner_jag:
            case agg::inner_round: {
                const double d = (dx1 - dx2) * (dx1 - dx2) + (dy1 - dy2) * (dy1 - dy2);
                if (d < len1 * len1 && d < len2 * len2) {
                    miter(out, v0, v1, v2, dx1, dy1, dx2, dy2, agg::miter_join_revert, limit, 0);
                } else if (innerJoin_ == agg::inner_jag) {
                    add(out, v1.x + dx1, v1.y - dy1);
                    add(out, v1.x, v1.y);
                    add(out, v1.x + dx2, v1.y - dy2);
                } else {
                    add(out, v1.x + dx1, v1.y - dy1);
                    add(out, v1.x, v1.y);
                    arc(out, v1.x, v1.y, dx2, -dy2, dx1, -dy1);
                    add(out, v1.x, v1.y);
                    add(out, v1.x + dx2, v1.y - dy2);
                }
                break;
            }
        }
    }

    void outerJoin(Points& out, const agg::vertex_dist& v0, const agg::vertex_dist& v1,
                   const agg::vertex_dist& v2, double dx1, double dy1, double dx2, double dy2) {
        // The distance from v1 to the middle of the bevel line.
        double dx = (dx1 + dx2) / 2;
        double dy = (dy1 + dy2) / 2;
        const double dbevel = std::sqrt(dx * dx + dy * dy);
        if (join_ == agg::round_join || join_ == agg::bevel_join) {
            // No visible bevel: the one point where the offset lines meet.
            if (scale_ * (widthAbs_ - dbevel) < widthEps_) {
                if (agg::calc_intersection(v0.x + dx1, v0.y - dy1, v1.x + dx1, v1.y - dy1,
                                           v1.x + dx2, v1.y - dy2, v2.x + dx2, v2.y - dy2, &dx,
                                           &dy)) {
                    add(out, dx, dy);
                } else {
                    add(out, v1.x + dx1, v1.y - dy1);
                }
                return;
            }
        }
        switch (join_) {
            case agg::miter_join:
            case agg::miter_join_revert:
            case agg::miter_join_round:
                miter(out, v0, v1, v2, dx1, dy1, dx2, dy2, join_, miterLimit_, dbevel);
                break;
            case agg::round_join:
                arc(out, v1.x, v1.y, dx1, -dy1, dx2, -dy2);
                break;
            default:  // bevel_join
                add(out, v1.x + dx1, v1.y - dy1);
                add(out, v1.x + dx2, v1.y - dy2);
                break;
        }
    }

    void miter(Points& out, const agg::vertex_dist& v0, const agg::vertex_dist& v1,
               const agg::vertex_dist& v2, double dx1, double dy1, double dx2, double dy2,
               agg::line_join_e lj, double mlimit, double dbevel) {
        double xi = v1.x;
        double yi = v1.y;
        double di = 1;
        const double lim = widthAbs_ * mlimit;
        bool limitExceeded = true;
        bool intersectionFailed = true;
        if (agg::calc_intersection(v0.x + dx1, v0.y - dy1, v1.x + dx1, v1.y - dy1, v1.x + dx2,
                                   v1.y - dy2, v2.x + dx2, v2.y - dy2, &xi, &yi)) {
            intersectionFailed = false;
            // Within the limit when the squared distance is certainly below
            // its square (the square root, rounded, then stays within it);
            // beyond it when certainly above; otherwise the distance decides,
            // and is needed below. (Squares of limits beyond these bounds
            // would lose their precision.)
            const double ex = xi - v1.x, ey = yi - v1.y;
            const double squared = ex * ex + ey * ey;
            if (lim > 1e-150 && lim < 1e150) {
                if (squared <= lim * lim * kBelowOne) {
                    add(out, xi, yi);
                    return;
                }
                // Certainly beyond the limit (the rounded square root too):
                // a reverting miter needs no distance.
                if (lj == agg::miter_join_revert && squared >= lim * lim * kAboveOne) {
                    add(out, v1.x + dx1, v1.y - dy1);
                    add(out, v1.x + dx2, v1.y - dy2);
                    return;
                }
            }
            di = std::sqrt(squared);
            if (di <= lim) {
                add(out, xi, yi);
                limitExceeded = false;
            }
        } else {
            // Parallel offset lines: the segment goes straight on (one
            // point) or turns back.
            const double x2 = v1.x + dx1;
            const double y2 = v1.y - dy1;
            if ((agg::cross_product(v0.x, v0.y, v1.x, v1.y, x2, y2) < 0.0) ==
                (agg::cross_product(v1.x, v1.y, v2.x, v2.y, x2, y2) < 0.0)) {
                add(out, v1.x + dx1, v1.y - dy1);
                limitExceeded = false;
            }
        }
        if (!limitExceeded) return;
        switch (lj) {
            case agg::miter_join_revert:
                add(out, v1.x + dx1, v1.y - dy1);
                add(out, v1.x + dx2, v1.y - dy2);
                break;
            case agg::miter_join_round:
                arc(out, v1.x, v1.y, dx1, -dy1, dx2, -dy2);
                break;
            default:
                if (intersectionFailed) {
                    mlimit *= widthSign_;
                    add(out, v1.x + dx1 + dy1 * mlimit, v1.y - dy1 + dx1 * mlimit);
                    add(out, v1.x + dx2 - dy2 * mlimit, v1.y - dy2 - dx2 * mlimit);
                } else {
                    const double x1 = v1.x + dx1;
                    const double y1 = v1.y - dy1;
                    const double x2 = v1.x + dx2;
                    const double y2 = v1.y - dy2;
                    di = (lim - dbevel) / (di - dbevel);
                    add(out, x1 + (xi - x1) * di, y1 + (yi - y1) * di);
                    add(out, x2 + (xi - x2) * di, y2 + (yi - y2) * di);
                }
                break;
        }
    }

    // A round join about (x, y) from offset (dx1, dy1) to (dx2, dy2).
    void arc(Points& out, double x, double y, double dx1, double dy1, double dx2, double dy2) {
        add(out, x + dx1, y + dy1);
        if (!withinOneStep(dx1 * widthSign_, dy1 * widthSign_, dx2 * widthSign_,
                           dy2 * widthSign_)) {
            arcPoints(out, x, y, dx1, dy1, dx2, dy2);
        }
        add(out, x + dx2, y + dy2);
    }

    // True when the turn from (x1, y1) to (x2, y2), counter-clockwise for a
    // positive width and clockwise for a negative one, is certainly more than
    // nothing and less than one angle step, with margins far beyond the
    // rounding of the cross and dot products here and of atan2: the arc then
    // has no point between its ends.
    // Compared as squares (both sides positive) where the step is under a
    // right angle, without the square root of the lengths' product.
    bool withinOneStep(double x1, double y1, double x2, double y2) const {
        const double squares = (x1 * x1 + y1 * y1) * (x2 * x2 + y2 * y2);
        const double cross = (x1 * y2 - y1 * x2) * widthSign_;
        const double dot = x1 * x2 + y1 * y2;
        if (turnCosine_ > 0) {
            if (!(squares > 1e-280 && squares < 1e280)) return false;
            return cross > 0 && dot > 0 && cross * cross > kTurnMargin * kTurnMargin * squares &&
                   dot * dot > turnCosine_ * turnCosine_ * squares;
        }
        const double lengths = std::sqrt(squares);
        if (!(lengths > 1e-200 && lengths < 1e200)) return false;
        return cross > kTurnMargin * lengths && dot > turnCosine_ * lengths;
    }

    // The points of a round join between its ends, from the angles of the
    // ends.
    void arcPoints(Points& out, double x, double y, double dx1, double dy1, double dx2,
                   double dy2) {
        double a1 = angle(dy1 * widthSign_, dx1 * widthSign_);
        double a2 = angle(dy2 * widthSign_, dx2 * widthSign_);
        double da = arcStep_;
        if (widthSign_ > 0) {
            if (a1 > a2) a2 += 2 * agg::pi;
            const int n = truncate((a2 - a1) / da);
            da = (a2 - a1) / (n + 1);
            a1 += da;
            for (int i = 0; i < n; i++) {
                add(out, x + std::cos(a1) * width_, y + std::sin(a1) * width_);
                a1 += da;
            }
        } else {
            if (a1 < a2) a2 -= 2 * agg::pi;
            const int n = truncate((a1 - a2) / da);
            da = (a1 - a2) / (n + 1);
            a1 -= da;
            for (int i = 0; i < n; i++) {
                add(out, x + std::cos(a1) * width_, y + std::sin(a1) * width_);
                a1 -= da;
            }
        }
    }

    // atan2(y, x), remembering the last one: consecutive round joins share
    // an end.
    double angle(double y, double x) {
        if (memoValid_ && std::memcmp(&y, &memoY_, sizeof y) == 0 &&
            std::memcmp(&x, &memoX_, sizeof x) == 0) {
            return memoAngle_;
        }
        memoValid_ = true;
        memoX_ = x;
        memoY_ = y;
        return memoAngle_ = std::atan2(y, x);
    }

    double width_ = 0.5;
    double widthAbs_ = 0.5;
    double widthEps_ = 0.5 / 1024.0;
    double widthSign_ = 1.0;
    double miterLimit_ = 4.0;
    double scale_ = 1.0;
    agg::line_cap_e cap_ = agg::butt_cap;
    agg::line_join_e join_ = agg::miter_join;
    agg::inner_join_e innerJoin_ = agg::inner_miter;

    bool prepared_ = false;
    double arcStep_ = 0.0;
    int capCount_ = 0;
    double capStep_ = 0.0;
    double turnCosine_ = 1.0;

    bool memoValid_ = false;
    double memoX_ = 0.0, memoY_ = 0.0, memoAngle_ = 0.0;
};

}  // namespace lumo
