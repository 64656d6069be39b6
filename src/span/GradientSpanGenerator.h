#pragma once

#include "paint/ColourTable.h"
#include "paint/GradientPaint.h"
#include "span/FocalRadial.h"
#include "span/GradientCycles.h"
#include "span/GradientOutputs.h"

#include <agg_color_rgba.h>
#include <agg_trans_affine.h>

#include <cstdint>

namespace lumo {

// The span generator of AGG's scan-line renderers for gradients: maps the
// centre of each device pixel into gradient space, applies the gradient
// function and the cycle, and looks the colour up in the table.
//
// Spans are stepped as AGG's linear span interpolator steps them: both ends
// mapped and rounded to 24.8 fixed point (ints), the positions between them
// by its integer DDA. A span goes this way only when both of its ends map to
// within just under 2^22 gradient units of the origin (under 2^30 in fixed
// point, so neither the coordinates nor their differences overflow). Farther
// spans are stepped pixel by pixel in double precision, with each coordinate
// limited to 2^26 gradient units: 16384 table lengths and more beyond the
// origin, where padded gradients show their end colours anyway.
//
// Each kind of gradient and cycle has a span loop of its own, chosen when the
// generator is made: no choice is left for each pixel. Where the processor
// has SSE2 the fixed-point steps go four pixels at a time (GradientBlocks.h);
// generatePortable is the same loop one pixel at a time, always built, the
// twin the blocks are tested against.
class GradientSpanGenerator {
public:
    // `deviceToGradient` must be finite; `focus` (may be null) turns a radial
    // gradient into a focal one. The table must outlive the generator.
    GradientSpanGenerator(const agg::trans_affine& deviceToGradient, GradientKind kind,
                          GradientCycle cycle, const GradientFocus* focus,
                          const ColourTable& table);
    GradientSpanGenerator(const GradientSpanGenerator&) = delete;
    GradientSpanGenerator& operator=(const GradientSpanGenerator&) = delete;

    void prepare() {}
    void generate(agg::rgba8* span, int x, int y, unsigned len);
    void generatePortable(agg::rgba8* span, int x, int y, unsigned len);
    // The table indices of the same pixels.
    void generateIndices(agg::int8u* span, int x, int y, unsigned len);
    // The same pixels drawn source-over straight into a row of pixels with a
    // cover per pixel (`colours` made from the table): gradientOutput::Over.
    // Faster than generateIndices and overIndexedSpan where
    // blendsAsGenerated(len) says so, or for an opaque table.
    void generateOver(agg::int8u* pixels, const agg::int8u* covers, const IndexedColours& colours,
                      int x, int y, unsigned len);
    bool blendsAsGenerated(unsigned len) const { return len < blendsBelow_; }

private:
    // Each span loop makes its output (the colours or indices at `target`,
    // or the pixels there with their covers and colours) from its
    // arguments rather than copying one the caller made: the copy would read
    // the caller's separate stores of its fields back in wider loads, which
    // wait for the stores to reach the cache.
    template <class Output>
    static Output make(const GradientSpanGenerator& self, void* target, const agg::int8u* covers,
                       const IndexedColours* colours);

    template <class Function, class Cycle, bool Lanes, class Output>
    static void fill(const GradientSpanGenerator& self, void* target, const agg::int8u* covers,
                     const IndexedColours* colours, int x, int y, unsigned len);
    // Spans blended as they are worked out: those that go by the scalar steps (most of a
    // thin outline's) by a loop of their own, without the set-up of the others; the rest by
    // fill.
    template <class Function, class Cycle>
    static void fillOver(const GradientSpanGenerator& self, void* target, const agg::int8u* covers,
                         const IndexedColours* colours, int x, int y, unsigned len);
    template <class Function>
    void chooseFill(GradientCycle cycle);
    template <class Function, class Cycle>
    void setFill();

    template <class Output>
    using FillOf = void (*)(const GradientSpanGenerator&, void*, const agg::int8u*,
                            const IndexedColours*, int, int, unsigned);

    agg::trans_affine transform_;
    FocalRadial focal_;
    const ColourTable& table_;
    // The radial index table of the cycle, for the radial and square-root-of-xy blocks.
    const uint8_t* radialIndices_ = nullptr;
    // The length from which spans are better worked out as indices first.
    unsigned blendsBelow_ = 0;
    FillOf<gradientOutput::Colours> fill_;
    FillOf<gradientOutput::Colours> fillPortable_;
    FillOf<gradientOutput::Indices> fillIndices_;
    FillOf<gradientOutput::Over> fillOver_;
};

}  // namespace lumo
