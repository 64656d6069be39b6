#include "span/FocalRadial.h"

#include <cmath>

namespace lumo {

namespace {

constexpr double maxRadius = 268435456.0;  // 2^28

double round16(double v) {
    return std::round(v * 16.0);  // halves away from zero
}

}  // namespace

FocalRadial::FocalRadial(double radius, double focusX, double focusY) {
    if (!(std::isfinite(radius) && std::isfinite(focusX) && std::isfinite(focusY))) return;
    const double r = std::fmin(round16(std::fabs(radius)), maxRadius);
    if (r <= 0.0) return;
    double fx = round16(focusX);
    double fy = round16(focusY);
    const double distance = std::hypot(fx, fy);
    const double limit = 0.99 * r;
    if (distance > limit) {
        fx = std::trunc(fx * (limit / distance));
        fy = std::trunc(fy * (limit / distance));
    }
    r_ = r;
    fx_ = fx;
    fy_ = fy;
    // Whole numbers with |F| < r: the gap is at least 1.
    gap_ = r * r - (fx * fx + fy * fy);
}

}  // namespace lumo
