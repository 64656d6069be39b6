#pragma once

#include "core/Simd.h"

#if LUMO_SSE2

namespace lumo::sse2 {

// Four pixels with the first and third byte of each swapped: bytes b, g, r, a
// to r, g, b, a and back. Green and alpha stay where they are.
inline __m128i swapRedBlue(__m128i v) {
    const __m128i low = _mm_set1_epi32(0xFF);
    return _mm_or_si128(_mm_and_si128(v, _mm_set1_epi32(int(0xFF00FF00u))),
                        _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 16), low),
                                     _mm_slli_epi32(_mm_and_si128(v, low), 16)));
}

}  // namespace lumo::sse2

#endif
