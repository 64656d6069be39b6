#pragma once

#include "blend/OverRun.h"
#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <algorithm>
#include <cstdint>

namespace lumo::over {

// The share words (over::Run<false>'s word) of a straight colour along a row of pixels given
// by the rasteriser's accumulated values (cover << 9 minus area, as its sweep sums them):
// each value becomes the rasteriser's alpha (the value shifted down to a cover, its
// magnitude, even-odd folding when asked, at most 255) and that alpha the word, zero where
// the alpha is 0. Straight from the values, with no test per pixel: a small shape's row is
// turned into words whole. shareWordsPortable is the reference; with SSE2 eight values at a
// time, compared with it by SimdKernelsTest. Both work in groups of eight: `values` and
// `words` must hold n rounded up to a multiple of eight, and the words past n are written
// (from the values there). Values may be any 32-bit sum, as the rasteriser's sums wrap.

// The rasteriser's alpha of one accumulated value.
inline unsigned coverAlpha(int32_t value, bool evenOdd) {
    int cover = value >> (agg::poly_subpixel_shift * 2 + 1 - 8);
    if (cover < 0) cover = -cover;
    if (evenOdd) {
        cover &= 511;
        if (cover > 256) cover = 512 - cover;
    }
    return unsigned(std::min(cover, 255));
}

inline void shareWordsPortable(const int32_t* values, unsigned n, bool evenOdd,
                               const agg::rgba8& colour, uint32_t* words) {
    const unsigned groups = (n + 7) / 8 * 8;
    for (unsigned i = 0; i < groups; ++i) {
        words[i] = Run<false, false>(colour, coverAlpha(values[i], evenOdd)).word();
    }
}

#if LUMO_SSE2
namespace sse2 {

// Eight accumulated values as 16-bit alphas.
inline __m128i coverAlphas(const int32_t* values, bool evenOdd) {
    constexpr int shift = agg::poly_subpixel_shift * 2 + 1 - 8;
    __m128i lo = _mm_srai_epi32(load(values), shift);
    __m128i hi = _mm_srai_epi32(load(values + 4), shift);
    // Magnitudes: (v ^ s) - s with s the sign.
    const __m128i signLo = _mm_srai_epi32(lo, 31), signHi = _mm_srai_epi32(hi, 31);
    lo = _mm_sub_epi32(_mm_xor_si128(lo, signLo), signLo);
    hi = _mm_sub_epi32(_mm_xor_si128(hi, signHi), signHi);
    if (evenOdd) {
        // Folded before the saturating pack, which would change covers beyond 2^15.
        lo = _mm_and_si128(lo, _mm_set1_epi32(511));
        hi = _mm_and_si128(hi, _mm_set1_epi32(511));
    }
    __m128i cover = _mm_packs_epi32(lo, hi);
    if (evenOdd) {
        // min(c, 512 - c) folds c above 256 back.
        cover = _mm_min_epi16(cover, _mm_sub_epi16(_mm_set1_epi16(512), cover));
    }
    return _mm_min_epi16(cover, _mm_set1_epi16(255));
}

}  // namespace sse2

inline void shareWordsSse2(const int32_t* values, unsigned n, bool evenOdd,
                           const agg::rgba8& colour, uint32_t* words) {
    const __m128i a = _mm_set1_epi16(short(colour.a));
    const __m128i r = _mm_set1_epi16(short(colour.r));
    const __m128i g = _mm_set1_epi16(short(colour.g));
    const __m128i b = _mm_set1_epi16(short(colour.b));
    for (unsigned i = 0; i < n; i += 8, values += 8, words += 8) {
        const __m128i e = sse2::products(a, sse2::coverAlphas(values, evenOdd));
        const __m128i bg =
            _mm_or_si128(sse2::products(b, e), _mm_slli_epi16(sse2::products(g, e), 8));
        const __m128i re = _mm_or_si128(sse2::products(r, e), _mm_slli_epi16(e, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(words), _mm_unpacklo_epi16(bg, re));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(words + 4), _mm_unpackhi_epi16(bg, re));
    }
}
#endif

template <bool Simd = LUMO_SSE2 != 0>
inline void shareWords(const int32_t* values, unsigned n, bool evenOdd, const agg::rgba8& colour,
                       uint32_t* words) {
#if LUMO_SSE2
    if (Simd) return shareWordsSse2(values, n, evenOdd, colour, words);
#endif
    shareWordsPortable(values, n, evenOdd, colour, words);
}

}  // namespace lumo::over
