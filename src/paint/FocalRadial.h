#pragma once

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

    int64_t operator()(int64_t x, int64_t y) const;

    double radius() const { return r_; }
    double focusX() const { return fx_; }
    double focusY() const { return fy_; }

private:
    double r_ = 0.0;   // radius, 1/16 units
    double fx_ = 0.0;  // focus, 1/16 units
    double fy_ = 0.0;
    double gap_ = 0.0;  // r^2 - |F|^2, positive whenever r is
};

}  // namespace lumo
