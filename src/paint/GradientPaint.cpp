#include "paint/GradientPaint.h"

#include "geometry/TransformKind.h"
#include "geometry/TransformedSource.h"

#include <cmath>
#include <new>

namespace lumo {

GradientKind gradientKindFromCode(int32_t code) {
    const int8_t low = static_cast<int8_t>(static_cast<uint32_t>(code) & 0xFF);
    if (low >= GRADIENT_RADIAL && low <= GRADIENT_SQRT_XY) return static_cast<GradientKind>(low);
    return GRADIENT_LINEAR;
}

GradientCycle gradientCycleFromCode(int32_t code) {
    switch (static_cast<uint32_t>(code) & 0xFF) {
        case CYCLE_REPEAT:
            return CYCLE_REPEAT;
        case CYCLE_REFLECT:
            return CYCLE_REFLECT;
        default:
            return CYCLE_PAD;
    }
}

namespace {

// Gradient space to the space of the points, before the user matrix.
agg::trans_affine placement(double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double length = std::sqrt(dx * dx + dy * dy);
    agg::trans_affine m = agg::trans_affine_scaling(length / 256.0);
    m *= agg::trans_affine_rotation(std::atan2(dy, dx));
    m *= agg::trans_affine_translation(x1, y1);
    return m;
}

}  // namespace

agg::trans_affine gradientMatrix(double x1, double y1, double x2, double y2,
                                 const agg::trans_affine& user) {
    agg::trans_affine m = placement(x1, y1, x2, y2);
    m *= user;
    return m;
}

GradientPaint* GradientPaint::create(GradientKind kind, GradientCycle cycle, const double* points,
                                     const agg::trans_affine& user, const int32_t* positions,
                                     const int32_t* argbColours, uint32_t count,
                                     const GradientPaint* previous) {
    if (count == 0 || !finiteTransform(user)) return nullptr;
    for (int i = 0; i < 6; ++i) {
        if (!std::isfinite(points[i])) return nullptr;
    }
    if (kind == GRADIENT_CONIC) cycle = CYCLE_PAD;

    const double x1 = points[0], y1 = points[1], x2 = points[2], y2 = points[3];
    const double fx = points[4], fy = points[5];

    GradientFocus focus{0.0, fx, fy};
    const bool focused = kind == GRADIENT_RADIAL && (x1 != fx || y1 != fy);
    if (focused) {
        const double dx = x2 - x1;
        const double dy = y2 - y1;
        // The circle's radius follows the x extent of the axis alone.
        focus.radius = std::fabs(dx) * 256.0 / std::sqrt(dx * dx + dy * dy);
        // The focus is given in the space of the points; a placement that is
        // the identity but for rounding leaves it exactly as given.
        const agg::trans_affine fromGradient = placement(x1, y1, x2, y2);
        if (!nearIdentity(fromGradient)) (~fromGradient).transform(&focus.x, &focus.y);
    }

    Ref<GradientStops> stops;
    if (previous != nullptr && previous->stops().sameAs(positions, argbColours, count)) {
        stops = previous->stops_;
    } else {
        stops = Ref<GradientStops>(GradientStops::create(positions, argbColours, count));
        if (!stops) return nullptr;
    }
    return new (std::nothrow) GradientPaint(kind, cycle, gradientMatrix(x1, y1, x2, y2, user),
                                            focused ? &focus : nullptr, std::move(stops));
}

}  // namespace lumo
