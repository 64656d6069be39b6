#include "blend/BlendSpans.h"

#include "blend/BlendOperations.h"

namespace lumo {
namespace {

// Blend is one of the per-pixel blends of BlendOperations.h, inlined into each loop.
template <class Blend>
void solidSpan(agg::int8u* p, unsigned len, const agg::rgba8& c, const agg::int8u* covers,
               unsigned cover) {
    if (covers != nullptr) {
        for (unsigned i = 0; i < len; ++i, p += 4) Blend::blend(p, c.r, c.g, c.b, c.a, covers[i]);
    } else if (cover != 0) {
        for (unsigned i = 0; i < len; ++i, p += 4) Blend::blend(p, c.r, c.g, c.b, c.a, cover);
    }
}

template <class Blend, bool Premultiplied>
void colourSpan(agg::int8u* p, unsigned len, const agg::rgba8* colours, const agg::int8u* covers,
                unsigned cover) {
    if (covers != nullptr) {
        for (unsigned i = 0; i < len; ++i, p += 4) {
            const agg::rgba8 s = storedColour<Premultiplied>(colours[i]);
            Blend::blend(p, s.r, s.g, s.b, s.a, covers[i]);
        }
    } else if (cover != 0) {
        for (unsigned i = 0; i < len; ++i, p += 4) {
            const agg::rgba8 s = storedColour<Premultiplied>(colours[i]);
            Blend::blend(p, s.r, s.g, s.b, s.a, cover);
        }
    }
}

template <class Blend>
constexpr BlendSpanFunctions spansOf() {
    return {solidSpan<Blend>, colourSpan<Blend, false>, colourSpan<Blend, true>};
}

}  // namespace

// In the order of blendFunctions.
extern const BlendSpanFunctions blendSpans[compositeRuleCount] = {
    spansOf<blend::Mixed<blend::Clear>>(),        // clear
    spansOf<blend::Mixed<blend::Src>>(),          // src
    spansOf<blend::Unchanged>(),                  // dst
    spansOf<blend::Scaled<blend::SrcOver>>(),     // src_over
    spansOf<blend::Scaled<blend::DstOver>>(),     // dst_over
    spansOf<blend::Mixed<blend::SrcIn<>>>(),      // src_in
    spansOf<blend::Mixed<blend::DstIn>>(),        // dst_in
    spansOf<blend::Mixed<blend::SrcOut<>>>(),     // src_out
    spansOf<blend::Scaled<blend::DstOut>>(),      // dst_out
    spansOf<blend::Scaled<blend::SrcAtop>>(),     // src_atop
    spansOf<blend::Mixed<blend::DstAtop>>(),      // dst_atop
    spansOf<blend::Scaled<blend::Xor<>>>(),       // xor
    spansOf<blend::Scaled<blend::Plus>>(),        // plus
    spansOf<blend::Scaled<blend::Minus>>(),       // minus
    spansOf<blend::Scaled<blend::Multiply<>>>(),  // multiply
    spansOf<blend::Scaled<blend::Screen<>>>(),    // screen
    spansOf<blend::Scaled<blend::Overlay>>(),     // overlay
    spansOf<blend::Scaled<blend::Darken>>(),      // darken
    spansOf<blend::Scaled<blend::Lighten<>>>(),   // lighten
    spansOf<blend::Scaled<blend::ColorDodge>>(),  // color_dodge
    spansOf<blend::Scaled<blend::ColorBurn>>(),   // color_burn
    spansOf<blend::Scaled<blend::HardLight>>(),   // hard_light
    spansOf<blend::Scaled<blend::SoftLight>>(),   // soft_light
    spansOf<blend::Scaled<blend::Difference>>(),  // difference
    spansOf<blend::Scaled<blend::Exclusion>>(),   // exclusion
    spansOf<blend::Scaled<blend::Contrast>>(),    // contrast
};

}  // namespace lumo
