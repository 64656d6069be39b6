#include "blend/OverImageRow.h"

#include "blend/OverImageRowAvx2.h"
#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <cstring>

namespace lumo {

namespace {

// One image pixel as the faded colour the span generator gives: its alpha
// times the extra alpha, and a premultiplied colour likewise (all zero where
// the alpha comes out zero). The extra alpha 255 leaves every byte as it is.
template <bool Premultiplied>
agg::rgba8 fadedColour(const agg::int8u* s, unsigned alpha) {
    const unsigned a = over::product(s[3], alpha);
    if (!Premultiplied) return agg::rgba8(s[2], s[1], s[0], a);
    if (a == 0) return agg::rgba8(0, 0, 0, 0);
    return agg::rgba8(over::product(s[2], alpha), over::product(s[1], alpha),
                      over::product(s[0], alpha), a);
}

template <bool Premultiplied>
void pixels(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha) {
    for (unsigned i = 0; i < len; ++i, p += 4, source += 4) {
        over::colourPixel<Premultiplied>(p, fadedColour<Premultiplied>(source, alpha),
                                         agg::cover_full);
    }
}

#if LUMO_SSE2

// Two image pixels (lanes b, g, r, a) as the lanes C and alphas A that
// source-over blends. `extra` holds the lanes each image lane is scaled by:
// the extra alpha in the alpha lanes, and in the colour lanes too for a
// premultiplied image (255, which leaves a byte as it is, elsewhere). A is the
// faded alpha; C is a straight pixel's colour with 255 for its alpha, or a
// premultiplied pixel's faded colour capped at A.
template <bool Premultiplied, bool Faded>
inline __m128i pairLanes(__m128i s, __m128i extra, __m128i& alpha) {
    if (Faded) s = over::sse2::products(s, extra);
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, aaaa), aaaa);
    if (Premultiplied) return _mm_min_epi16(s, alpha);
    return _mm_or_si128(s, _mm_setr_epi16(0, 0, 0, 255, 0, 0, 0, 255));
}

// Two image pixels over two target pixels d at full cover: M[d][255 - A]
// plus M[C][A] (straight) or C (premultiplied).
template <bool Premultiplied, bool Faded>
inline __m128i overPair(__m128i d, __m128i s, __m128i extra) {
    __m128i a;
    const __m128i c = pairLanes<Premultiplied, Faded>(s, extra, a);
    const __m128i share = Premultiplied ? c : over::sse2::products(c, a);
    return over::sse2::blendPair(d, _mm_sub_epi16(_mm_set1_epi16(255), a), share);
}

// The whole groups of four from the start of the row; returns their pixels.
// Groups of four transparent pixels are skipped, and at the extra alpha 255
// four opaque ones are stored as they are.
template <bool Premultiplied, bool Faded>
unsigned groups(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha) {
    using over::sse2::load;
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi8(char(0xFF));
    const short x = short(alpha), c = Premultiplied ? x : short(255);
    const __m128i extra = _mm_setr_epi16(c, c, c, x, c, c, c, x);
    const int alphaBytes = 0x8888;
    unsigned i = 0;
    for (; i + 4 <= len; i += 4, p += 16, source += 16) {
        const __m128i s = load(source);
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(s, zero)) & alphaBytes) == alphaBytes) continue;
        if (!Faded && (_mm_movemask_epi8(_mm_cmpeq_epi8(s, ones)) & alphaBytes) == alphaBytes) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), s);
            continue;
        }
        const __m128i d = load(p);
        over::sse2::storeGroup(p,
                               overPair<Premultiplied, Faded>(_mm_unpacklo_epi8(d, zero),
                                                              _mm_unpacklo_epi8(s, zero), extra),
                               overPair<Premultiplied, Faded>(_mm_unpackhi_epi8(d, zero),
                                                              _mm_unpackhi_epi8(s, zero), extra));
    }
    return i;
}

// The whole groups of four from the start of a row with a cover per pixel
// (covers) or one for all (cover); returns their pixels. Groups of four zero
// covers or transparent pixels are skipped.
template <bool Premultiplied>
unsigned coveredGroups(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha,
                       const agg::int8u* covers, unsigned cover) {
    using namespace over::sse2;
    const __m128i zero = _mm_setzero_si128();
    const short x = short(alpha), c = Premultiplied ? x : short(255);
    const __m128i extra = _mm_setr_epi16(c, c, c, x, c, c, c, x);
    const int alphaBytes = 0x8888;
    __m128i klo = _mm_set1_epi16(short(cover)), khi = klo;
    unsigned i = 0;
    for (; i + 4 <= len; i += 4, p += 16, source += 16) {
        if (covers != nullptr) {
            uint32_t four;
            std::memcpy(&four, covers + i, 4);
            if (four == 0) continue;
            spreadCoverWord(four, klo, khi);
        }
        const __m128i s = load(source);
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(s, zero)) & alphaBytes) == alphaBytes) continue;
        __m128i alo, ahi;
        const __m128i clo = pairLanes<Premultiplied, true>(_mm_unpacklo_epi8(s, zero), extra, alo);
        const __m128i chi = pairLanes<Premultiplied, true>(_mm_unpackhi_epi8(s, zero), extra, ahi);
        const __m128i d = load(p);
        storeGroup(p, blendCovered<Premultiplied>(_mm_unpacklo_epi8(d, zero), clo, alo, klo),
                   blendCovered<Premultiplied>(_mm_unpackhi_epi8(d, zero), chi, ahi, khi));
    }
    return i;
}

#endif

template <bool Premultiplied>
void coveredPixels(agg::int8u* p, const agg::int8u* source, unsigned from, unsigned len,
                   unsigned alpha, const agg::int8u* covers, unsigned cover) {
    for (unsigned i = from; i < len; ++i) {
        over::colourPixel<Premultiplied>(p + 4 * size_t(i),
                                         fadedColour<Premultiplied>(source + 4 * size_t(i), alpha),
                                         covers != nullptr ? covers[i] : cover);
    }
}

}  // namespace

template <bool Premultiplied>
void overImageRow(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha) {
    if (alpha == 0) return;
    unsigned i = 0;
#if LUMO_AVX2
    if (len >= 16 && cpuHasAvx2) {
        i = alpha == 255 ? over::avx2::imageRow<Premultiplied, false>(p, source, len, alpha)
                         : over::avx2::imageRow<Premultiplied, true>(p, source, len, alpha);
    }
#endif
#if LUMO_SSE2
    const size_t done = 4 * size_t(i);
    i += alpha == 255 ? groups<Premultiplied, false>(p + done, source + done, len - i, alpha)
                      : groups<Premultiplied, true>(p + done, source + done, len - i, alpha);
#endif
    pixels<Premultiplied>(p + 4 * size_t(i), source + 4 * size_t(i), len - i, alpha);
}

template <bool Premultiplied>
void overImageRowCovered(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha,
                         const agg::int8u* covers, unsigned cover) {
    if (covers == nullptr && cover == 255)
        return overImageRow<Premultiplied>(p, source, len, alpha);
    if (alpha == 0 || (covers == nullptr && cover == 0)) return;
    unsigned i = 0;
#if LUMO_AVX2
    if (len >= 16 && cpuHasAvx2) {
        i = over::avx2::imageRowCovered<Premultiplied>(p, source, len, alpha, covers, cover);
    }
#endif
#if LUMO_SSE2
    const size_t done = 4 * size_t(i);
    i += coveredGroups<Premultiplied>(p + done, source + done, len - i, alpha,
                                      covers != nullptr ? covers + i : nullptr, cover);
#endif
    coveredPixels<Premultiplied>(p, source, i, len, alpha, covers, cover);
}

namespace over::portable {

template <bool Premultiplied>
void imageRowCovered(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha,
                     const agg::int8u* covers, unsigned cover) {
    if (alpha == 0) return;
    coveredPixels<Premultiplied>(p, source, 0, len, alpha, covers, cover);
}

template void imageRowCovered<false>(agg::int8u*, const agg::int8u*, unsigned, unsigned,
                                     const agg::int8u*, unsigned);
template void imageRowCovered<true>(agg::int8u*, const agg::int8u*, unsigned, unsigned,
                                    const agg::int8u*, unsigned);

template <bool Premultiplied>
void imageRow(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha) {
    if (alpha == 0) return;
    pixels<Premultiplied>(p, source, len, alpha);
}

template void imageRow<false>(agg::int8u*, const agg::int8u*, unsigned, unsigned);
template void imageRow<true>(agg::int8u*, const agg::int8u*, unsigned, unsigned);

}  // namespace over::portable

template void overImageRow<false>(agg::int8u*, const agg::int8u*, unsigned, unsigned);
template void overImageRow<true>(agg::int8u*, const agg::int8u*, unsigned, unsigned);
template void overImageRowCovered<false>(agg::int8u*, const agg::int8u*, unsigned, unsigned,
                                         const agg::int8u*, unsigned);
template void overImageRowCovered<true>(agg::int8u*, const agg::int8u*, unsigned, unsigned,
                                        const agg::int8u*, unsigned);

}  // namespace lumo
