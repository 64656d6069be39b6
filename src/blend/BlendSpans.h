#pragma once

#include "blend/BlendFunctions.h"
#include "core/LookupTables.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <algorithm>

namespace lumo {

// A colour as pixels store it: premultiplied, and with no colour above the alpha. A colour
// that already is premultiplied is only capped.
template <bool Premultiplied>
inline agg::rgba8 storedColour(const agg::rgba8& c) {
    const unsigned a = c.a;
    if (Premultiplied) {
        return agg::rgba8(std::min<unsigned>(c.r, a), std::min<unsigned>(c.g, a),
                          std::min<unsigned>(c.b, a), a);
    }
    const uint8_t* alphaRow = lookupTables.multiply[a];
    return agg::rgba8(alphaRow[c.r], alphaRow[c.g], alphaRow[c.b], a);
}

// One blend operation along a row of pixels, chosen once per span instead of once per pixel.
// Every pixel comes out as blendFunctions[op] makes it, given the stored colour. Covers come
// one per pixel, or, when covers is null, `cover` applies to the whole span.
struct BlendSpanFunctions {
    // One colour, already stored (storedColour).
    void (*solid)(agg::int8u* p, unsigned len, const agg::rgba8& stored, const agg::int8u* covers,
                  unsigned cover);
    // A colour per pixel, straight or premultiplied.
    void (*straightColours)(agg::int8u* p, unsigned len, const agg::rgba8* colours,
                            const agg::int8u* covers, unsigned cover);
    void (*premultipliedColours)(agg::int8u* p, unsigned len, const agg::rgba8* colours,
                                 const agg::int8u* covers, unsigned cover);
};

// Indexed by rule (ruleIndex).
extern const BlendSpanFunctions blendSpans[compositeRuleCount];

}  // namespace lumo
