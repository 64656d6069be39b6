#include "blend/OverSpans.h"

#include "blend/OverCoverSpan.h"
#include "blend/OverRun.h"
#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

namespace lumo {

namespace {

// Each span lets the SSE2 code take the whole groups of four it can (when Simd is true), then
// finishes the rest with the portable code (all of it when Simd is false).

template <bool Premultiplied, bool Simd>
void hline(agg::int8u* p, unsigned len, const agg::rgba8& colour, unsigned k) {
    over::Run<Premultiplied, Simd>(colour, k).apply(p, len);
}

template <bool Premultiplied, bool Simd>
void solidHspan(agg::int8u* p, unsigned len, const agg::rgba8& colour, const agg::int8u* covers) {
    over::CoverSpan<Premultiplied, Simd>(colour).apply(p, len, covers);
}

template <bool Premultiplied, bool Simd>
void colorHspan(agg::int8u* p, unsigned len, const agg::rgba8* colours, const agg::int8u* covers,
                unsigned cover) {
    // Without covers, a zero cover blends nothing.
    if (covers == nullptr && cover == 0) return;
    unsigned i = 0;
#if LUMO_SSE2
    if (Simd) i = over::sse2::colourSpan<Premultiplied>(p, len, colours, covers, cover);
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

}  // namespace

template <bool Premultiplied>
void overHline(agg::int8u* p, unsigned len, const agg::rgba8& colour, unsigned cover) {
    hline<Premultiplied, LUMO_SSE2 != 0>(p, len, colour, cover);
}

template <bool Premultiplied>
void overSolidHspan(agg::int8u* p, unsigned len, const agg::rgba8& colour,
                    const agg::int8u* covers) {
    solidHspan<Premultiplied, LUMO_SSE2 != 0>(p, len, colour, covers);
}

template <bool Premultiplied>
void overColorHspan(agg::int8u* p, unsigned len, const agg::rgba8* colours,
                    const agg::int8u* covers, unsigned cover) {
    colorHspan<Premultiplied, LUMO_SSE2 != 0>(p, len, colours, covers, cover);
}

namespace over::portable {

template <bool Premultiplied>
void hline(agg::int8u* p, unsigned len, const agg::rgba8& colour, unsigned cover) {
    lumo::hline<Premultiplied, false>(p, len, colour, cover);
}

template <bool Premultiplied>
void solidHspan(agg::int8u* p, unsigned len, const agg::rgba8& colour, const agg::int8u* covers) {
    lumo::solidHspan<Premultiplied, false>(p, len, colour, covers);
}

template <bool Premultiplied>
void colorHspan(agg::int8u* p, unsigned len, const agg::rgba8* colours, const agg::int8u* covers,
                unsigned cover) {
    lumo::colorHspan<Premultiplied, false>(p, len, colours, covers, cover);
}

template void hline<false>(agg::int8u*, unsigned, const agg::rgba8&, unsigned);
template void hline<true>(agg::int8u*, unsigned, const agg::rgba8&, unsigned);
template void solidHspan<false>(agg::int8u*, unsigned, const agg::rgba8&, const agg::int8u*);
template void solidHspan<true>(agg::int8u*, unsigned, const agg::rgba8&, const agg::int8u*);
template void colorHspan<false>(agg::int8u*, unsigned, const agg::rgba8*, const agg::int8u*,
                                unsigned);
template void colorHspan<true>(agg::int8u*, unsigned, const agg::rgba8*, const agg::int8u*,
                               unsigned);

}  // namespace over::portable

template void overHline<false>(agg::int8u*, unsigned, const agg::rgba8&, unsigned);
template void overHline<true>(agg::int8u*, unsigned, const agg::rgba8&, unsigned);
template void overSolidHspan<false>(agg::int8u*, unsigned, const agg::rgba8&, const agg::int8u*);
template void overSolidHspan<true>(agg::int8u*, unsigned, const agg::rgba8&, const agg::int8u*);
template void overColorHspan<false>(agg::int8u*, unsigned, const agg::rgba8*, const agg::int8u*,
                                    unsigned);
template void overColorHspan<true>(agg::int8u*, unsigned, const agg::rgba8*, const agg::int8u*,
                                   unsigned);

}  // namespace lumo
