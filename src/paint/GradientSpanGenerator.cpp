#include "paint/GradientSpanGenerator.h"

#include "paint/GradientFunctions.h"

#include <cmath>

namespace lumo {

namespace {

// Ends of a span mapping within this many gradient units take the fixed-point
// interpolator: in 24.8 fixed point both ends and their difference fit an int.
constexpr double interpolatedLimit = 4193280.0;  // 2^22 - 1024
// Coordinates stepped in double precision are limited to this many units.
constexpr double steppedLimit = 67108864.0;  // 2^26

bool interpolatable(double x, double y) {
    return std::fabs(x) <= interpolatedLimit && std::fabs(y) <= interpolatedLimit;
}

// A gradient coordinate in 1/16 units, rounded to 1/256 first as the
// interpolator rounds it. NaN counts as the far negative end.
int64_t stepped(double v) {
    if (!(v >= -steppedLimit)) v = -steppedLimit;
    if (v > steppedLimit) v = steppedLimit;
    return static_cast<int64_t>(std::round(v * 256.0)) >> 4;
}

}  // namespace

int colourIndex(int64_t v, GradientCycle cycle) {
    int64_t c = v >> 4;
    switch (cycle) {
        case CYCLE_REPEAT:
            if (v < 0) {
                c = 255 - (-c) % 256;
            } else if (v > 4095) {
                c %= 256;
            }
            break;
        case CYCLE_REFLECT:
            if (v < 0) c = -c;
            if (c > 511) c %= 512;
            if (c > 255) c = 511 - c;
            break;
        default:
            break;
    }
    if (c < 0) return 0;
    if (c > 255) return 255;
    return static_cast<int>(c);
}

GradientSpanGenerator::GradientSpanGenerator(const agg::trans_affine& deviceToGradient,
                                             GradientKind kind, GradientCycle cycle,
                                             const GradientFocus* focus, const ColourTable& table)
    : transform_(deviceToGradient),
      interpolator_(transform_),
      kind_(kind),
      cycle_(cycle),
      focused_(focus != nullptr),
      focal_(focus != nullptr ? FocalRadial(focus->radius, focus->x, focus->y)
                              : FocalRadial(0.0, 0.0, 0.0)),
      table_(table) {}

template <class Function>
void GradientSpanGenerator::fill(agg::rgba8* span, int x, int y, unsigned len,
                                 const Function& function) {
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    double x1 = cx, y1 = cy, x2 = cx + len, y2 = cy;
    transform_.transform(&x1, &y1);
    transform_.transform(&x2, &y2);

    if (interpolatable(x1, y1) && interpolatable(x2, y2)) {
        interpolator_.begin(cx, cy, len);
        for (unsigned i = 0; i < len; ++i) {
            int gx, gy;
            interpolator_.coordinates(&gx, &gy);
            span[i] = table_[colourIndex(function(int64_t(gx >> 4), int64_t(gy >> 4)), cycle_)];
            ++interpolator_;
        }
        return;
    }
    // One device pixel to the right moves (sx, shy) in gradient space.
    for (unsigned i = 0; i < len; ++i) {
        const int64_t gx = stepped(x1 + transform_.sx * i);
        const int64_t gy = stepped(y1 + transform_.shy * i);
        span[i] = table_[colourIndex(function(gx, gy), cycle_)];
    }
}

void GradientSpanGenerator::generate(agg::rgba8* span, int x, int y, unsigned len) {
    switch (kind_) {
        case GRADIENT_RADIAL:
            if (focused_) return fill(span, x, y, len, focal_);
            return fill(span, x, y, len, gradient::Radial());
        case GRADIENT_DIAMOND:
            return fill(span, x, y, len, gradient::Diamond());
        case GRADIENT_CONIC:
            return fill(span, x, y, len, gradient::Conic());
        case GRADIENT_XY:
            return fill(span, x, y, len, gradient::Xy());
        case GRADIENT_SQRT_XY:
            return fill(span, x, y, len, gradient::SqrtXy());
        default:
            return fill(span, x, y, len, gradient::Linear());
    }
}

}  // namespace lumo
