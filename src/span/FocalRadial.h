#pragma once

#include <cmath>
#include <cstdint>

namespace lumo {

// A radial gradient seen from a focal point: the focus takes the first table
// colour, the circle of radius r about the origin the last, and along every
// ray from the focus the position grows in proportion to the distance. In
// 1/16 units like the other gradient functions.
class FocalRadial {
public:
    // Radius and focus in gradient units, each scaled to 1/16 units and
    // rounded. A focus farther than 0.99 r from the centre is pulled in along
    // its direction onto that circle (and rounded towards the centre), so
    // the circle always surrounds it. A circle of no size, or a radius or
    // focus that is not finite, makes every position 0. Radii beyond 2^28
    // units of 1/16 are taken as 2^28.
    FocalRadial(double radius, double focusX, double focusY);

    // Inline: it runs for every pixel of a focal gradient.
    int64_t operator()(int64_t x, int64_t y) const;

    double radius() const { return r_; }
    double focusX() const { return fx_; }
    double focusY() const { return fy_; }
    // r^2 - |F|^2 in 1/16 units squared.
    double gap() const { return gap_; }

private:
    static constexpr double maxPosition = 4611686018427387904.0;  // 2^62

    double r_ = 0.0;   // radius, 1/16 units
    double fx_ = 0.0;  // focus, 1/16 units
    double fy_ = 0.0;
    double gap_ = 0.0;  // r^2 - |F|^2, positive whenever r is
};

// For a point P, with d = P - F and u = d / |d|, the ray F + t u meets the
// circle where t^2 + 2 t (F.u) + |F|^2 - r^2 = 0, whose positive root is
// t = (sqrt((F.d)^2 + (r^2 - |F|^2) |d|^2) - F.d) / |d|. The position
// r |d| / t, multiplied through by the conjugate of the root, is
// r (F.d + sqrt((F.d)^2 + (r^2 - |F|^2) |d|^2)) / (r^2 - |F|^2): no division
// by |d|, and 0 at the focus itself.
inline int64_t FocalRadial::operator()(int64_t x, int64_t y) const {
    if (r_ == 0.0) return 0;
    const double dx = double(x) - fx_;
    const double dy = double(y) - fy_;
    const double dot = fx_ * dx + fy_ * dy;
    const double root = std::sqrt(dot * dot + gap_ * (dx * dx + dy * dy));
    const double position = r_ * (dot + root) / gap_;
    return static_cast<int64_t>(std::floor(std::fmin(position, maxPosition) + 0.5));
}

}  // namespace lumo
