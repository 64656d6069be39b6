#pragma once

#include "paint/ColourTable.h"
#include "paint/FocalRadial.h"
#include "paint/GradientPaint.h"

#include <agg_color_rgba.h>
#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <cstdint>

namespace lumo {

// The table index of a gradient position v (1/16 units, 4096 = one table
// length) under a cycle rule: v / 16 repeated, reflected or left alone, then
// limited to 0..255.
int colourIndex(int64_t v, GradientCycle cycle);

// The span generator of AGG's scan-line renderers for gradients: maps the
// centre of each device pixel into gradient space, applies the gradient
// function and the cycle, and looks the colour up in the table.
//
// Spans go through AGG's linear span interpolator, whose 24.8 fixed-point
// coordinates are ints. A span is handed to it only when both of its ends
// map to within just under 2^22 gradient units of the origin (under 2^30 in
// fixed point, so neither the coordinates nor their differences overflow). Farther spans are
// stepped pixel by pixel in double precision, with each coordinate limited
// to 2^26 gradient units: 16384 table lengths and more beyond the origin,
// where padded gradients show their end colours anyway.
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

private:
    template <class Function>
    void fill(agg::rgba8* span, int x, int y, unsigned len, const Function& function);

    agg::trans_affine transform_;
    agg::span_interpolator_linear<> interpolator_;
    GradientKind kind_;
    GradientCycle cycle_;
    bool focused_;
    FocalRadial focal_;
    const ColourTable& table_;
};

}  // namespace lumo
