#include "span/GradientSpanGenerator.h"

#include "core/Assert.h"
#include "core/Simd.h"
#include "span/DdaLanes.h"
#include "span/DdaSteps.h"
#include "span/GradientFunctions.h"
#include "span/GradientLanes.h"

#include <agg_basics.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace lumo {

namespace {

// Ends of a span mapping within this many gradient units take the fixed-point
// steps: in 24.8 fixed point both ends and their difference fit an int.
constexpr double interpolatedLimit = 4193280.0;  // 2^22 - 1024
// Coordinates stepped in double precision are limited to this many units.
constexpr double steppedLimit = 67108864.0;  // 2^26

bool interpolatable(double x, double y) {
    return std::fabs(x) <= interpolatedLimit && std::fabs(y) <= interpolatedLimit;
}

// A gradient coordinate in 1/16 units, rounded to 1/256 first as the
// fixed-point steps round it. NaN counts as the far negative end.
int64_t stepped(double v) {
    if (!(v >= -steppedLimit)) v = -steppedLimit;
    if (v > steppedLimit) v = steppedLimit;
    return static_cast<int64_t>(std::round(v * 256.0)) >> 4;
}

// The gradient function as the span loop uses it: the stateless ones made
// on the spot, the focal one copied from the generator.
template <class Function>
Function functionOf(const FocalRadial&) {
    return Function();
}
template <>
FocalRadial functionOf<FocalRadial>(const FocalRadial& focal) {
    return focal;
}

// One colour from the table, copied as a 32-bit word.
void put(agg::rgba8* to, const agg::rgba8* table, int index) {
    static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes");
    std::memcpy(to, table + index, 4);
}

#if LUMO_SSE2

// Functions without a lanes form step their coordinates in lanes and take the
// scalar function for each pixel.
struct NoLanes {
    static constexpr bool readsY = true;
    bool position(__m128i, __m128i, __m128i*) const { return false; }
};

// The lanes form of a gradient function.
template <class Function>
struct LanesFor {
    using type = NoLanes;
};
template <>
struct LanesFor<gradient::Linear> {
    using type = lanes::Lanes<gradient::Linear>;
};
template <>
struct LanesFor<gradient::Radial> {
    using type = lanes::Lanes<gradient::Radial>;
};
template <>
struct LanesFor<gradient::Diamond> {
    using type = lanes::Lanes<gradient::Diamond>;
};
template <>
struct LanesFor<FocalRadial> {
    using type = lanes::FocalLanes;
};

template <class L>
L lanesOf(const FocalRadial&) {
    return L();
}
template <>
lanes::FocalLanes lanesOf<lanes::FocalLanes>(const FocalRadial& focal) {
    return lanes::FocalLanes(focal);
}

// The indices of four pixels from the scalar function and cycle, as the
// bytes of a word.
template <class Function, class Cycle>
uint32_t scalarIndices(const Function& function, __m128i gx, __m128i gy) {
    alignas(16) int x[4], y[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(x), gx);
    _mm_store_si128(reinterpret_cast<__m128i*>(y), gy);
    uint32_t indices = 0;
    for (int k = 0; k < 4; ++k) {
        const int index = Cycle::index(function(int64_t(x[k] >> 4), int64_t(y[k] >> 4)));
        indices |= uint32_t(index) << (8 * k);
    }
    return indices;
}

void putFour(agg::rgba8* to, const agg::rgba8* table, uint32_t indices) {
    put(to, table, int(indices & 255));
    put(to + 1, table, int((indices >> 8) & 255));
    put(to + 2, table, int((indices >> 16) & 255));
    put(to + 3, table, int(indices >> 24));
}

// The fixed-point steps four pixels at a time, for as many whole blocks of
// four as the span holds (at least one); gx and gy move on past them.
// Returns the pixels done.
template <class Function, class Cycle>
unsigned fillFours(const Function& function, const FocalRadial& focal, agg::rgba8* span,
                   const agg::rgba8* table, DdaSteps& gx, DdaSteps& gy, unsigned len) {
    using L = typename LanesFor<Function>::type;
    constexpr bool readsY = L::readsY;
    const L positions = lanesOf<L>(focal);
    DdaLanes x(gx);
    DdaLanes y(readsY ? gy : DdaSteps(0, 0, 1));
    unsigned i = 0;
    for (; i + 4 <= len; i += 4) {
        __m128i v;
        const uint32_t indices =
            positions.position(x.values(), y.values(), &v)
                ? lanes::packIndices(lanes::CycleLanes<Cycle>::index(v))
                : scalarIndices<Function, Cycle>(function, x.values(), y.values());
        putFour(span + i, table, indices);
        x.next();
        if (readsY) y.next();
    }
    gx = x.first(gx);
    if (readsY) gy = y.first(gy);
    return i;
}

#endif

}  // namespace

GradientSpanGenerator::GradientSpanGenerator(const agg::trans_affine& deviceToGradient,
                                             GradientKind kind, GradientCycle cycle,
                                             const GradientFocus* focus, const ColourTable& table)
    : transform_(deviceToGradient),
      focal_(focus != nullptr ? FocalRadial(focus->radius, focus->x, focus->y)
                              : FocalRadial(0.0, 0.0, 0.0)),
      table_(table) {
    LUMO_ASSERT(std::isfinite(deviceToGradient.sx) && std::isfinite(deviceToGradient.shy) &&
                std::isfinite(deviceToGradient.shx) && std::isfinite(deviceToGradient.sy) &&
                std::isfinite(deviceToGradient.tx) && std::isfinite(deviceToGradient.ty));
    switch (kind) {
        case GRADIENT_RADIAL:
            if (focus != nullptr) {
                chooseFill<FocalRadial>(cycle);
            } else {
                chooseFill<gradient::Radial>(cycle);
            }
            break;
        case GRADIENT_DIAMOND:
            chooseFill<gradient::Diamond>(cycle);
            break;
        case GRADIENT_CONIC:
            chooseFill<gradient::Conic>(cycle);
            break;
        case GRADIENT_XY:
            chooseFill<gradient::Xy>(cycle);
            break;
        case GRADIENT_SQRT_XY:
            chooseFill<gradient::SqrtXy>(cycle);
            break;
        default:
            chooseFill<gradient::Linear>(cycle);
            break;
    }
}

template <class Function>
void GradientSpanGenerator::chooseFill(GradientCycle cycle) {
    switch (cycle) {
        case CYCLE_REPEAT:
            fill_ = &fill<Function, cycle::Repeat, LUMO_SSE2 != 0>;
            fillPortable_ = &fill<Function, cycle::Repeat, false>;
            break;
        case CYCLE_REFLECT:
            fill_ = &fill<Function, cycle::Reflect, LUMO_SSE2 != 0>;
            fillPortable_ = &fill<Function, cycle::Reflect, false>;
            break;
        default:
            fill_ = &fill<Function, cycle::Pad, LUMO_SSE2 != 0>;
            fillPortable_ = &fill<Function, cycle::Pad, false>;
            break;
    }
}

template <class Function, class Cycle, bool Lanes>
void GradientSpanGenerator::fill(const GradientSpanGenerator& self, agg::rgba8* span, int x, int y,
                                 unsigned len) {
    if (len == 0) return;
    const agg::trans_affine& m = self.transform_;
    const Function function = functionOf<Function>(self.focal_);
    const agg::rgba8* table = &self.table_[0];

    const double cx = x + 0.5;
    const double cy = y + 0.5;
    double x1 = cx, y1 = cy, x2 = cx + len, y2 = cy;
    m.transform(&x1, &y1);
    m.transform(&x2, &y2);

    if (interpolatable(x1, y1) && interpolatable(x2, y2)) {
        // Linear gradients read x alone; the y steps are then dropped.
        DdaSteps gx(agg::iround(x1 * 256.0), agg::iround(x2 * 256.0), int(len));
        DdaSteps gy(agg::iround(y1 * 256.0), agg::iround(y2 * 256.0), int(len));
        unsigned i = 0;
#if LUMO_SSE2
        if (Lanes && len >= 4)
            i = fillFours<Function, Cycle>(function, self.focal_, span, table, gx, gy, len);
#endif
        for (; i < len; ++i) {
            put(span + i, table, Cycle::index(function(int64_t(gx.y >> 4), int64_t(gy.y >> 4))));
            gx.next();
            gy.next();
        }
        return;
    }
    // One device pixel to the right moves (sx, shy) in gradient space.
    for (unsigned i = 0; i < len; ++i) {
        const int64_t gx = stepped(x1 + m.sx * i);
        const int64_t gy = stepped(y1 + m.shy * i);
        put(span + i, table, Cycle::index(function(gx, gy)));
    }
}

void GradientSpanGenerator::generate(agg::rgba8* span, int x, int y, unsigned len) {
    fill_(*this, span, x, y, len);
}

void GradientSpanGenerator::generatePortable(agg::rgba8* span, int x, int y, unsigned len) {
    fillPortable_(*this, span, x, y, len);
}

}  // namespace lumo
