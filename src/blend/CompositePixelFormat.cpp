#include "blend/CompositePixelFormat.h"

#include "blend/OverSpans.h"
#include "blend/SourceOver.h"

#include <cstdint>

namespace lumo {

CompositePixelFormat::CompositePixelFormat(RowBuffer& rows, CompositeRule rule,
                                           bool sourcePremultiplied)
    : rows_(&rows),
      rule_(validRule(rule)),
      sourcePremultiplied_(sourcePremultiplied),
      blend_(blendFunctions[ruleIndex(rule_)]),
      spans_(&blendSpans[ruleIndex(rule_)]) {}

CompositePixelFormat::color_type CompositePixelFormat::stored(const color_type& c) const {
    return sourcePremultiplied_ ? storedColour<true>(c) : storedColour<false>(c);
}

void CompositePixelFormat::blendOne(agg::int8u* p, const color_type& c, unsigned cover) const {
    if (rule_ == CompositeRule::SrcOver) {
        if (sourcePremultiplied_) {
            over::colourPixel<true>(p, c, cover);
        } else {
            over::colourPixel<false>(p, c, cover);
        }
        return;
    }
    const color_type s = stored(c);
    blend_(p, s.r, s.g, s.b, s.a, cover);
}

CompositePixelFormat::color_type CompositePixelFormat::pixel(int x, int y) const {
    const agg::int8u* p = at(x, y);
    return color_type(p[2], p[1], p[0], p[3]);
}

void CompositePixelFormat::copy_pixel(int x, int y, const color_type& c) {
    const color_type s = stored(c);
    over::store(at(x, y), over::pack(s.b, s.g, s.r, s.a));
}

void CompositePixelFormat::copy_hline(int x, int y, unsigned len, const color_type& c) {
    const color_type s = stored(c);
    const uint32_t word = over::pack(s.b, s.g, s.r, s.a);
    agg::int8u* p = at(x, y);
    for (unsigned i = 0; i < len; ++i, p += 4) over::store(p, word);
}

void CompositePixelFormat::copy_vline(int x, int y, unsigned len, const color_type& c) {
    const color_type s = stored(c);
    const uint32_t word = over::pack(s.b, s.g, s.r, s.a);
    for (unsigned i = 0; i < len; ++i) over::store(at(x, y + int(i)), word);
}

void CompositePixelFormat::copy_color_hspan(int x, int y, unsigned len, const color_type* colors) {
    agg::int8u* p = at(x, y);
    for (unsigned i = 0; i < len; ++i, p += 4) {
        const color_type s = stored(colors[i]);
        over::store(p, over::pack(s.b, s.g, s.r, s.a));
    }
}

void CompositePixelFormat::copy_color_vspan(int x, int y, unsigned len, const color_type* colors) {
    for (unsigned i = 0; i < len; ++i) copy_pixel(x, y + int(i), colors[i]);
}

void CompositePixelFormat::blend_pixel(int x, int y, const color_type& c, agg::int8u cover) {
    blendOne(at(x, y), c, cover);
}

void CompositePixelFormat::blend_hline(int x, int y, unsigned len, const color_type& c,
                                       agg::int8u cover) {
    agg::int8u* p = at(x, y);
    if (rule_ == CompositeRule::SrcOver) {
        if (sourcePremultiplied_) {
            overHline<true>(p, len, c, cover);
        } else {
            overHline<false>(p, len, c, cover);
        }
        return;
    }
    spans_->solid(p, len, stored(c), nullptr, cover);
}

void CompositePixelFormat::blend_vline(int x, int y, unsigned len, const color_type& c,
                                       agg::int8u cover) {
    for (unsigned i = 0; i < len; ++i) blendOne(at(x, y + int(i)), c, cover);
}

void CompositePixelFormat::blend_solid_hspan(int x, int y, unsigned len, const color_type& c,
                                             const agg::int8u* covers) {
    agg::int8u* p = at(x, y);
    if (rule_ == CompositeRule::SrcOver) {
        if (sourcePremultiplied_) {
            overSolidHspan<true>(p, len, c, covers);
        } else {
            overSolidHspan<false>(p, len, c, covers);
        }
        return;
    }
    spans_->solid(p, len, stored(c), covers, 0);
}

void CompositePixelFormat::blend_solid_vspan(int x, int y, unsigned len, const color_type& c,
                                             const agg::int8u* covers) {
    for (unsigned i = 0; i < len; ++i) blendOne(at(x, y + int(i)), c, covers[i]);
}

void CompositePixelFormat::blend_color_hspan(int x, int y, unsigned len, const color_type* colors,
                                             const agg::int8u* covers, agg::int8u cover) {
    agg::int8u* p = at(x, y);
    if (rule_ == CompositeRule::SrcOver) {
        if (sourcePremultiplied_) {
            overColorHspan<true>(p, len, colors, covers, cover);
        } else {
            overColorHspan<false>(p, len, colors, covers, cover);
        }
        return;
    }
    const auto span = sourcePremultiplied_ ? spans_->premultipliedColours : spans_->straightColours;
    span(p, len, colors, covers, cover);
}

void CompositePixelFormat::blend_color_vspan(int x, int y, unsigned len, const color_type* colors,
                                             const agg::int8u* covers, agg::int8u cover) {
    for (unsigned i = 0; i < len; ++i) {
        blendOne(at(x, y + int(i)), colors[i], covers != nullptr ? covers[i] : cover);
    }
}

}  // namespace lumo
