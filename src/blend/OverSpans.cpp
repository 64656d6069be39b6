#include "blend/OverSpans.h"

#include "blend/SourceOver.h"

#if defined(__SSE2__)
#include "blend/OverSpansSse2.h"
#define LUMO_OVER_SSE2 1
#endif

namespace lumo {

// Each span lets the SSE2 code take the whole groups of four it can, then finishes the rest
// with the scalar code (all of it where SSE2 is missing, as on 32-bit Windows).

template <bool Premultiplied>
void overHline(agg::int8u* p, unsigned len, const agg::rgba8& colour, unsigned k) {
    const over::Colour<Premultiplied> c(colour);
    const unsigned e = over::product(c.a, k);
    if (e == 0) return;
    if (e == 255) {
        const uint32_t word = c.opaqueWord();
        for (unsigned i = 0; i < len; ++i, p += 4) over::store(p, word);
        return;
    }
    const unsigned scale = Premultiplied ? k : e;
    const unsigned cb = over::product(c.b, scale), cg = over::product(c.g, scale),
                   cr = over::product(c.r, scale);
    unsigned i = 0;
#ifdef LUMO_OVER_SSE2
    i = over::sse2::constantRun(p, len, e, cb, cg, cr);
#endif
    for (p += 4 * i; i < len; ++i, p += 4) over::apply(p, e, cb, cg, cr);
}

template <bool Premultiplied>
void overSolidHspan(agg::int8u* p, unsigned len, const agg::rgba8& colour,
                    const agg::int8u* covers) {
    const over::Colour<Premultiplied> c(colour);
    if (c.a == 0) return;
    unsigned i = 0;
#ifdef LUMO_OVER_SSE2
    i = over::sse2::solidSpan(p, len, c, covers);
#endif
    p += 4 * i;
    if (c.a == 255) {
        // The effective alpha is the cover itself, and a straight colour and a premultiplied
        // one are the same.
        const uint32_t word = c.opaqueWord();
        for (; i < len; ++i, p += 4) {
            const unsigned k = covers[i];
            if (k == 255) {
                over::store(p, word);
            } else {
                c.blend(p, k, k);
            }
        }
        return;
    }
    // Translucent: no pixel is stored outright, and a zero cover blends nothing, so the loop
    // has no branches.
    for (; i < len; ++i, p += 4) {
        const unsigned k = covers[i];
        c.blend(p, k, over::product(c.a, k));
    }
}

template <bool Premultiplied>
void overColorHspan(agg::int8u* p, unsigned len, const agg::rgba8* colours,
                    const agg::int8u* covers, unsigned cover) {
    // Without covers, a zero cover blends nothing.
    if (covers == nullptr && cover == 0) return;
    unsigned i = 0;
#ifdef LUMO_OVER_SSE2
    i = over::sse2::colourSpan<Premultiplied>(p, len, colours, covers, cover);
#endif
    p += 4 * i;
    if (covers != nullptr) {
        for (; i < len; ++i, p += 4) over::colourPixel<Premultiplied>(p, colours[i], covers[i]);
    } else if (cover == 255) {
        // Image spans mostly: the constant cover simplifies every pixel.
        for (; i < len; ++i, p += 4) over::colourPixel<Premultiplied>(p, colours[i], 255);
    } else {
        for (; i < len; ++i, p += 4) over::colourPixel<Premultiplied>(p, colours[i], cover);
    }
}

template void overHline<false>(agg::int8u*, unsigned, const agg::rgba8&, unsigned);
template void overHline<true>(agg::int8u*, unsigned, const agg::rgba8&, unsigned);
template void overSolidHspan<false>(agg::int8u*, unsigned, const agg::rgba8&, const agg::int8u*);
template void overSolidHspan<true>(agg::int8u*, unsigned, const agg::rgba8&, const agg::int8u*);
template void overColorHspan<false>(agg::int8u*, unsigned, const agg::rgba8*, const agg::int8u*,
                                    unsigned);
template void overColorHspan<true>(agg::int8u*, unsigned, const agg::rgba8*, const agg::int8u*,
                                   unsigned);

}  // namespace lumo
