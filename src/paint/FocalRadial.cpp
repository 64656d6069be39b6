#include "paint/FocalRadial.h"

#include <cmath>

namespace lumo {

namespace {

constexpr double maxRadius = 268435456.0;              // 2^28
constexpr double maxPosition = 4611686018427387904.0;  // 2^62

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

// For a point P, with d = P - F and u = d / |d|, the ray F + t u meets the
// circle where t^2 + 2 t (F.u) + |F|^2 - r^2 = 0, whose positive root is
// t = (sqrt((F.d)^2 + (r^2 - |F|^2) |d|^2) - F.d) / |d|. The position
// r |d| / t, multiplied through by the conjugate of the root, is
// r (F.d + sqrt((F.d)^2 + (r^2 - |F|^2) |d|^2)) / (r^2 - |F|^2): no division
// by |d|, and 0 at the focus itself.
int64_t FocalRadial::operator()(int64_t x, int64_t y) const {
    if (r_ == 0.0) return 0;
    const double dx = double(x) - fx_;
    const double dy = double(y) - fy_;
    const double dot = fx_ * dx + fy_ * dy;
    const double root = std::sqrt(dot * dot + gap_ * (dx * dx + dy * dy));
    const double position = r_ * (dot + root) / gap_;
    return static_cast<int64_t>(std::floor(std::fmin(position, maxPosition) + 0.5));
}

}  // namespace lumo
