#pragma once

// Source-over of a row of image pixels with AVX2, eight pixels at a time:
// the lanes and products of the SSE2 row (OverImageRow.cpp), two pixels per
// 128-bit half of a register, for processors that have it (cpuHasAvx2).
// Returns the pixels blended, a multiple of eight; the caller finishes the
// rest. SimdKernelsTest compares the row with the portable one.

#include "blend/OverRunAvx2.h"
#include "core/Simd.h"

#include <agg_basics.h>

#include <cstdint>
#include <cstring>

#if LUMO_AVX2

namespace lumo::over::avx2 {

// Four image pixels s (16-bit lanes b, g, r, a) over four target pixels d:
// the faded alpha A and colour C as the SSE2 row's pairLanes gives them,
// then M[d][255 - A] plus M[C][A] (straight) or C (premultiplied).
template <bool Premultiplied, bool Faded>
LUMO_TARGET_AVX2 inline __m256i overFour(__m256i d, __m256i s, __m256i extra) {
    if (Faded) s = products(s, extra);
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, aaaa), aaaa);
    __m256i share;
    if (Premultiplied) {
        share = _mm256_min_epi16(s, a);
    } else {
        const __m256i opaque =
            _mm256_setr_epi16(0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255);
        share = products(_mm256_or_si256(s, opaque), a);
    }
    return blendPairs(d, _mm256_sub_epi16(_mm256_set1_epi16(255), a), share);
}

// The blocks of eight from the start of the row at the extra alpha `alpha`
// (Faded: below 255). Blocks of eight transparent pixels are skipped, and at
// the extra alpha 255 eight opaque ones are stored as they are: both give the
// pixels the blend would.
template <bool Premultiplied, bool Faded>
LUMO_TARGET_AVX2 inline unsigned imageRow(agg::int8u* p, const agg::int8u* source, unsigned len,
                                          unsigned alpha) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaBytes = _mm256_set1_epi32(int(0xFF000000u));
    const short x = short(alpha), c = Premultiplied ? x : short(255);
    const __m256i extra = _mm256_setr_epi16(c, c, c, x, c, c, c, x, c, c, c, x, c, c, c, x);
    unsigned i = 0;
    for (; i + 8 <= len; i += 8, p += 32, source += 32) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source));
        const __m256i alphas = _mm256_and_si256(s, alphaBytes);
        if (_mm256_testz_si256(alphas, alphas)) continue;
        if (!Faded && _mm256_testc_si256(alphas, alphaBytes)) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), s);
            continue;
        }
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i lo = overFour<Premultiplied, Faded>(_mm256_unpacklo_epi8(d, zero),
                                                          _mm256_unpacklo_epi8(s, zero), extra);
        const __m256i hi = overFour<Premultiplied, Faded>(_mm256_unpackhi_epi8(d, zero),
                                                          _mm256_unpackhi_epi8(s, zero), extra);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_packus_epi16(lo, hi));
    }
    return i;
}

// The covers of eight pixels (the first in the lowest byte), each across its
// pixel's four lanes, in the order the 256-bit unpacks leave the pixels:
// pixels 0, 1, 4, 5 in lo, 2, 3, 6, 7 in hi.
LUMO_TARGET_AVX2 inline void spreadEightCovers(uint64_t word, __m256i& lo, __m256i& hi) {
    const __m256i k = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(int64_t(word)));
    const __m256i pairs = _mm256_or_si256(k, _mm256_slli_epi32(k, 16));
    lo = _mm256_unpacklo_epi32(pairs, pairs);
    hi = _mm256_unpackhi_epi32(pairs, pairs);
}

// Four image pixels s over four target pixels d at the covers k, as the SSE2
// row's coveredGroups blends them: the faded alpha A and colour C, the
// effective alpha E = M[A][k], then M[d][255 - E] plus M[C][E] (straight) or
// M[C][k] (premultiplied).
template <bool Premultiplied>
LUMO_TARGET_AVX2 inline __m256i overFourCovered(__m256i d, __m256i s, __m256i extra, __m256i k) {
    s = products(s, extra);
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, aaaa), aaaa);
    const __m256i c = Premultiplied
                          ? _mm256_min_epi16(s, a)
                          : _mm256_or_si256(s, _mm256_setr_epi16(0, 0, 0, 255, 0, 0, 0, 255, 0, 0,
                                                                 0, 255, 0, 0, 0, 255));
    const __m256i e = products(a, k);
    return blendPairs(d, _mm256_sub_epi16(_mm256_set1_epi16(255), e),
                      products(c, Premultiplied ? k : e));
}

// The blocks of eight from the start of a row with a cover per pixel
// (covers) or one for all (cover). Blocks of eight zero covers or
// transparent pixels are skipped; eight full covers take the blend at full
// cover, which gives the same pixels.
template <bool Premultiplied>
LUMO_TARGET_AVX2 inline unsigned imageRowCovered(agg::int8u* p, const agg::int8u* source,
                                                 unsigned len, unsigned alpha,
                                                 const agg::int8u* covers, unsigned cover) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaBytes = _mm256_set1_epi32(int(0xFF000000u));
    const short x = short(alpha), c = Premultiplied ? x : short(255);
    const __m256i extra = _mm256_setr_epi16(c, c, c, x, c, c, c, x, c, c, c, x, c, c, c, x);
    __m256i klo = _mm256_set1_epi16(short(cover)), khi = klo;
    bool full = covers == nullptr && cover == 255;
    unsigned i = 0;
    for (; i + 8 <= len; i += 8, p += 32, source += 32) {
        if (covers != nullptr) {
            uint64_t word;
            std::memcpy(&word, covers + i, 8);
            if (word == 0) continue;
            full = word == ~uint64_t(0);
            if (!full) spreadEightCovers(word, klo, khi);
        }
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source));
        const __m256i alphas = _mm256_and_si256(s, alphaBytes);
        if (_mm256_testz_si256(alphas, alphas)) continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i dlo = _mm256_unpacklo_epi8(d, zero), slo = _mm256_unpacklo_epi8(s, zero);
        const __m256i dhi = _mm256_unpackhi_epi8(d, zero), shi = _mm256_unpackhi_epi8(s, zero);
        __m256i lo, hi;
        if (full) {
            lo = overFour<Premultiplied, true>(dlo, slo, extra);
            hi = overFour<Premultiplied, true>(dhi, shi, extra);
        } else {
            lo = overFourCovered<Premultiplied>(dlo, slo, extra, klo);
            hi = overFourCovered<Premultiplied>(dhi, shi, extra, khi);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_packus_epi16(lo, hi));
    }
    return i;
}

}  // namespace lumo::over::avx2

#endif
