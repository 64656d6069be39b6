#pragma once

#include "blend/CompositeRule.h"

#include <agg_basics.h>

namespace lumo {

// Blends one premultiplied source colour into one pixel (bytes b, g, r, a) with a cover 0..255.
// All components are 0..255; a cover of 0 leaves the pixel unchanged.
using BlendFunction = void (*)(agg::int8u* pixel, unsigned r, unsigned g, unsigned b, unsigned a,
                               unsigned cover);

// Indexed by rule (ruleIndex), followed by a null entry.
//
// Partial covers: clear, src, src_in, src_out, dst_in and dst_atop compute the full-cover
// result and mix it with the old pixel in proportion to the cover, so that an edge pixel keeps
// the rest of what it had. Every other operation scales the source by the cover first.
extern const BlendFunction blendFunctions[compositeRuleCount + 1];

}  // namespace lumo
