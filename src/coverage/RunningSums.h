#pragma once

#include "core/Simd.h"

#include <cstdint>

namespace lumo {

// The running sums of a row of 16 grid sums (what each column adds to the row's accumulated
// value), wrapping modulo 2^32 as the rasteriser's sums do: sums[i] = cells[0] + ... +
// cells[i]. A small shape's row becomes its accumulated values at once, in registers rather
// than through a chain of single additions. runningSumsPortable is the reference; with SSE2
// four at a time, compared with it by SimdKernelsTest.
inline void runningSumsPortable(const uint32_t* cells, int32_t* sums) {
    uint32_t sum = 0;
    for (int i = 0; i < 16; ++i) sums[i] = int32_t(sum += cells[i]);
}

#if LUMO_SSE2
inline void runningSumsSse2(const uint32_t* cells, int32_t* sums) {
    __m128i running = _mm_setzero_si128();
    for (int k = 0; k < 4; ++k) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells) + k);
        v = _mm_add_epi32(v, _mm_slli_si128(v, 4));
        v = _mm_add_epi32(v, _mm_slli_si128(v, 8));
        v = _mm_add_epi32(v, running);
        running = _mm_shuffle_epi32(v, 0xff);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums) + k, v);
    }
}
#endif

template <bool Simd = LUMO_SSE2 != 0>
inline void runningSums(const uint32_t* cells, int32_t* sums) {
#if LUMO_SSE2
    if (Simd) return runningSumsSse2(cells, sums);
#endif
    runningSumsPortable(cells, sums);
}

}  // namespace lumo
