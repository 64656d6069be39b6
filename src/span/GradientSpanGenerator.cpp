#include "span/GradientSpanGenerator.h"

#include "core/Assert.h"
#include "core/Simd.h"
#include "span/DdaSteps.h"
#include "span/FixedSpanEnds.h"
#include "span/GradientBlocks.h"
#include "span/GradientFunctions.h"
#include "span/GradientOutputs.h"
#include "span/RadialIndexTable.h"

#include <agg_basics.h>

#include <cmath>
#include <cstdint>
#include <type_traits>

namespace lumo {

namespace {

// Coordinates stepped in double precision are limited to this many units.
constexpr double steppedLimit = 67108864.0;  // 2^26

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

// Whether a span goes by the scalar steps rather than the lanes: spans
// shorter than four, and spans blended as they are worked out whose scalar
// steps cost less than a block of lanes and its blend, all at once from a
// word of indices (blendShort): linear and diamond spans below eight, and a
// radial span of five, whose single last pixel would take a block of its own.
template <class Function, class Output>
bool scalarSpan(unsigned len) {
    if (!std::is_same<Output, gradientOutput::Over>::value) return len < 4;
    if (std::is_same<Function, gradient::Linear>::value ||
        std::is_same<Function, gradient::Diamond>::value) {
        return len < 8;
    }
    return len < 4 || (len == 5 && std::is_same<Function, gradient::Radial>::value);
}

// The table index of the point (x, y) in 1/16 units (|x|, |y| below 2^26). A radial
// gradient's sum of squares below 2^32 goes by its key to `radialIndices` (its cycle's
// radialIndex::table, or null), as the lanes look it up: no root and no cycle rule.
template <class Function, class Cycle>
int indexAt(const Function& function, const uint8_t* radialIndices, int x, int y) {
    if constexpr (std::is_same<Function, gradient::Radial>::value) {
        const int64_t sum = int64_t(x) * x + int64_t(y) * y;
        if (radialIndices != nullptr && sum <= int64_t(UINT32_MAX)) {
            return radialIndices[radialIndex::key(double(sum))];
        }
    }
    return Cycle::index(function(int64_t(x), int64_t(y)));
}

// A span of `len` pixels (below eight) from the scalar steps, its indices
// gathered in a word (the first lowest) and blended as a block of four and
// the first of another.
template <class Function, class Cycle>
LUMO_OUTPUT_INLINE inline void blendShort(const gradientOutput::Over& out, const Function& function,
                                          const uint8_t* radialIndices, DdaSteps gx, DdaSteps gy,
                                          unsigned len) {
    // Linear gradients read x alone: the y steps are then left out.
    constexpr bool readsY = !std::is_same<Function, gradient::Linear>::value;
    uint64_t indices = 0;
    for (unsigned k = 0; k < len; ++k) {
        const int index = indexAt<Function, Cycle>(function, radialIndices, gx.y >> 4, gy.y >> 4);
        indices |= uint64_t(index) << (8 * k);
        gx.next();
        if (readsY) gy.next();
    }
    if (len < 4) {
        out.some(0, len, uint32_t(indices));
        return;
    }
    out.four(0, uint32_t(indices));
    if (len > 4) out.some(4, len - 4, uint32_t(indices >> 32));
}

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

template <class Function, class Cycle>
void GradientSpanGenerator::setFill() {
    constexpr bool lanes = LUMO_SSE2 != 0;
    fill_ = &fill<Function, Cycle, lanes, gradientOutput::Colours>;
    fillPortable_ = &fill<Function, Cycle, false, gradientOutput::Colours>;
    fillIndices_ = &fill<Function, Cycle, lanes, gradientOutput::Indices>;
    fillOver_ = &fillOver<Function, Cycle>;
    // Positions worked out in a few integer steps leave the blend of each
    // block little to wait for; the others take long enough (conversions to
    // double, table look-ups, roots) that blending as they come would hold
    // each block up, and a span's indices are better worked out first. Short
    // radial spans still gain from it: their indices come from the scalar
    // steps or one block of eight, and the separate blend would cost as much.
    if (std::is_same<Function, gradient::Linear>::value ||
        std::is_same<Function, gradient::Diamond>::value) {
        blendsBelow_ = UINT32_MAX;
    } else if (std::is_same<Function, gradient::Radial>::value) {
        blendsBelow_ = 10;
    }
#if LUMO_SSE2
    // Looked up once here rather than for every span.
    if (std::is_same<Function, gradient::Radial>::value ||
        std::is_same<Function, gradient::SqrtXy>::value) {
        radialIndices_ = radialIndex::table<Cycle>();
    }
#endif
}

template <class Function>
void GradientSpanGenerator::chooseFill(GradientCycle cycle) {
    switch (cycle) {
        case CYCLE_REPEAT:
            setFill<Function, cycle::Repeat>();
            break;
        case CYCLE_REFLECT:
            setFill<Function, cycle::Reflect>();
            break;
        default:
            setFill<Function, cycle::Pad>();
            break;
    }
}

template <class Function, class Cycle, bool Lanes, class Output>
void GradientSpanGenerator::fill(const GradientSpanGenerator& self, void* target,
                                 const agg::int8u* covers, const IndexedColours* colours, int x,
                                 int y, unsigned len) {
    if (len == 0) return;
    // Made here, a copy of its own: the pixel stores cannot change it, so
    // its pointers stay in registers.
    const Output out = make<Output>(self, target, covers, colours);
    const agg::trans_affine& m = self.transform_;
    const Function function = functionOf<Function>(self.focal_);

    const double cx = x + 0.5;
    const double cy = y + 0.5;
    double x1 = cx, y1 = cy, x2 = cx + len, y2 = cy;
    m.transform(&x1, &y1);
    m.transform(&x2, &y2);

    if (spanEnds::interpolatable(x1, y1) && spanEnds::interpolatable(x2, y2)) {
        // Linear gradients read x alone; the y steps are then dropped.
        DdaSteps gx(spanEnds::fixedPoint(x1), spanEnds::fixedPoint(x2), int(len));
        DdaSteps gy(spanEnds::fixedPoint(y1), spanEnds::fixedPoint(y2), int(len));
        unsigned i = 0;
#if LUMO_SSE2
        // Lanes step four places at once: four times the count must fit 32
        // bits. They take the last pixels of a span too, in a block of four
        // of which only the span's own pixels are kept. The spans scalarSpan
        // picks go quicker by the scalar steps (those blended as they are
        // worked out never come here: fillOver takes them).
        if (Lanes && !scalarSpan<Function, Output>(len) && len < (1u << 28)) {
            i = gradientBlocks::fillFours<Function, Cycle>(self.focal_, self.radialIndices_, out,
                                                           gx, gy, len);
        }
#endif
        for (; i < len; ++i) {
            out.one(i, Cycle::index(function(int64_t(gx.y >> 4), int64_t(gy.y >> 4))));
            gx.next();
            gy.next();
        }
        return;
    }
    // One device pixel to the right moves (sx, shy) in gradient space.
    for (unsigned i = 0; i < len; ++i) {
        const int64_t gx = stepped(x1 + m.sx * i);
        const int64_t gy = stepped(y1 + m.shy * i);
        out.one(i, Cycle::index(function(gx, gy)));
    }
}

template <class Function, class Cycle>
void GradientSpanGenerator::fillOver(const GradientSpanGenerator& self, void* target,
                                     const agg::int8u* covers, const IndexedColours* colours, int x,
                                     int y, unsigned len) {
    constexpr bool lanes = LUMO_SSE2 != 0;
    if (len == 0) return;
    int ends[4];
    if (!scalarSpan<Function, gradientOutput::Over>(len) ||
        !spanEnds::fixed(self.transform_, x, y, len, ends)) {
        fill<Function, Cycle, lanes, gradientOutput::Over>(self, target, covers, colours, x, y,
                                                           len);
        return;
    }
    const gradientOutput::Over out{static_cast<agg::int8u*>(target), covers, *colours};
    blendShort<Function, Cycle>(out, functionOf<Function>(self.focal_), self.radialIndices_,
                                DdaSteps(ends[0], ends[2], int(len)),
                                DdaSteps(ends[1], ends[3], int(len)), len);
}

template <>
gradientOutput::Colours GradientSpanGenerator::make(const GradientSpanGenerator& self, void* target,
                                                    const agg::int8u*, const IndexedColours*) {
    return gradientOutput::Colours{static_cast<agg::rgba8*>(target), &self.table_[0]};
}

template <>
gradientOutput::Indices GradientSpanGenerator::make(const GradientSpanGenerator&, void* target,
                                                    const agg::int8u*, const IndexedColours*) {
    return gradientOutput::Indices{static_cast<agg::int8u*>(target)};
}

template <>
gradientOutput::Over GradientSpanGenerator::make(const GradientSpanGenerator&, void* target,
                                                 const agg::int8u* covers,
                                                 const IndexedColours* colours) {
    return gradientOutput::Over{static_cast<agg::int8u*>(target), covers, *colours};
}

void GradientSpanGenerator::generate(agg::rgba8* span, int x, int y, unsigned len) {
    fill_(*this, span, nullptr, nullptr, x, y, len);
}

void GradientSpanGenerator::generatePortable(agg::rgba8* span, int x, int y, unsigned len) {
    fillPortable_(*this, span, nullptr, nullptr, x, y, len);
}

void GradientSpanGenerator::generateIndices(agg::int8u* span, int x, int y, unsigned len) {
    fillIndices_(*this, span, nullptr, nullptr, x, y, len);
}

void GradientSpanGenerator::generateOver(agg::int8u* pixels, const agg::int8u* covers,
                                         const IndexedColours& colours, int x, int y,
                                         unsigned len) {
    fillOver_(*this, pixels, covers, &colours, x, y, len);
}

}  // namespace lumo
