#pragma once

// Source-over of one share word along a run of pixels with AVX2, eight
// pixels at a time: the same lanes and products as the SSE2 run (two pixels
// per 128-bit half), for processors that have it (cpuHasAvx2). Returns the
// pixels blended, a multiple of eight; the caller finishes the rest.
// SimdKernelsTest compares the runs with the portable ones.

#include "core/Simd.h"

#include <agg_basics.h>

#include <cstdint>

#if LUMO_AVX2

namespace lumo::over::avx2 {

// M[x][y] lane by lane, as over::sse2::products.
LUMO_TARGET_AVX2 inline __m256i products(__m256i x, __m256i y) {
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, y), _mm256_set1_epi16(128));
    return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}

// M[d][keep] + share lane by lane, as over::sse2::blendPair.
LUMO_TARGET_AVX2 inline __m256i blendPairs(__m256i d, __m256i keep, __m256i share) {
    return _mm256_add_epi16(products(d, keep), share);
}

// Eight pixels at p blended in place.
LUMO_TARGET_AVX2 inline void runEight(agg::int8u* p, __m256i zero, __m256i keep, __m256i lanes) {
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i lo = blendPairs(_mm256_unpacklo_epi8(d, zero), keep, lanes);
    const __m256i hi = blendPairs(_mm256_unpackhi_epi8(d, zero), keep, lanes);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_packus_epi16(lo, hi));
}

LUMO_TARGET_AVX2 inline unsigned run(agg::int8u* p, unsigned len, uint32_t share, unsigned e) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i keep = _mm256_set1_epi16(short(255 - e));
    const __m256i lanes = _mm256_unpacklo_epi8(_mm256_set1_epi32(int(share)), zero);
    unsigned i = 0;
    // Sixteen pixels a step: two independent blocks.
    for (; i + 16 <= len; i += 16, p += 64) {
        runEight(p, zero, keep, lanes);
        runEight(p + 32, zero, keep, lanes);
    }
    if (i + 8 <= len) {
        runEight(p, zero, keep, lanes);
        i += 8;
    }
    return i;
}

}  // namespace lumo::over::avx2

#endif
