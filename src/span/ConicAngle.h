#pragma once

#include <agg_basics.h>

#include <cmath>
#include <cstdint>

namespace lumo {

// The conic gradient's position of a point (x, y) of gradient space: the
// angle from the positive x axis, either way round, in 4096ths of pi,
// rounded to the nearest: floor(|atan2(y, x)| * 4096 / pi + 0.5).
//
// conicByAtan2 computes exactly that. conicAngle gives the same value without
// atan2: it reduces the angle to an octant and to within 1/64 of a point
// j / 32 whose arctangent is tabulated, and sums a short series; its error is
// below 1e-13 of a unit, where the rounding of the atan2 form is below 1e-11
// (4096 times a few ulps of pi). Where the unrounded value comes within
// 1e-6 of a rounding boundary, far more than both errors together, it hands
// over to conicByAtan2, so the two never round apart. ConicAngleTest compares
// them on every point of a large square and on dense random points, those
// close to the boundaries included.
inline int64_t conicByAtan2(int64_t x, int64_t y) {
    const double angle = std::fabs(std::atan2(double(y), double(x)));
    return static_cast<int64_t>(std::floor(angle * 4096.0 / agg::pi + 0.5));
}

namespace conic {

// atan(j / 32) for j = 0..32.
extern const double arctangents[33];

// atan(a / b) for 0 <= a <= b, b > 0, both whole numbers below 2^31.
inline double arctangent(double a, double b) {
    // The nearest j / 32 to a / b: single precision is enough, a j one off
    // only lengthens the series' step below.
    const int j = int(float(a) / float(b) * 32.0f + 0.5f);
    const double c = j * (1.0 / 32.0);
    // atan(a / b) = atan(c) + atan(u) with u = (a / b - c) / (1 + c a / b);
    // c a and c b are exact, so u is rounded once. |u| stays near 1/64 and
    // the series, stopped at u^7, leaves less than u^9 / 9 < 1e-14.
    const double u = (a - c * b) / (b + c * a);
    const double u2 = u * u;
    return arctangents[j] + u * (1.0 + u2 * (-1.0 / 3.0 + u2 * (1.0 / 5.0 + u2 * (-1.0 / 7.0))));
}

const double halfPi = agg::pi / 2.0;
// Distance from a rounding boundary below which conicAngle takes the atan2 form.
constexpr double boundaryMargin = 1e-6;

}  // namespace conic

inline int64_t conicAngle(int64_t x, int64_t y) {
    const double ax = std::fabs(double(x)), ay = std::fabs(double(y));
    if (ax == 0.0 && ay == 0.0) return 0;
    // The angle between 0 and pi of (x, |y|), from the octant's reduced angle.
    double angle;
    if (ay <= ax) {
        const double a = conic::arctangent(ay, ax);
        angle = x >= 0 ? a : agg::pi - a;
    } else {
        const double a = conic::arctangent(ax, ay);
        angle = x >= 0 ? conic::halfPi - a : conic::halfPi + a;
    }
    const double position = angle * (4096.0 / agg::pi) + 0.5;
    // Positive: truncation is the floor (and no call to floor).
    const int64_t whole = static_cast<int64_t>(position);
    const double fraction = position - double(whole);
    if (fraction < conic::boundaryMargin || fraction > 1.0 - conic::boundaryMargin) {
        return conicByAtan2(x, y);
    }
    return whole;
}

}  // namespace lumo
