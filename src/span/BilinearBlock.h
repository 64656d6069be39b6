#pragma once

// The bilinear average of a 2x2 block of pixels (bytes b, g, r, a), as AGG's
// bilinear image filter computes it: with fx and fy the 8-bit fractions of
// the sample position, each channel is
//   (32768 + (256 - fx)(256 - fy) p00 + fx (256 - fy) p10
//          + (256 - fx) fy p01 + fx fy p11) >> 16.
// The result has its bytes in the order r, g, b, a.
//
// With SSE2 the four channels go through at once. The sum is regrouped as
//   (256 - fx) c0 + fx c1,   c0 = (256 - fy) p00 + fy p01,
//                            c1 = (256 - fy) p10 + fy p11,
// which is the same integer. The columns c0 and c1 stay below 65536; moved
// down by 32768 they fit signed 16-bit lanes, so both steps are 16-bit
// multiply-adds, and the 256 * 32768 the shift takes off is added back with
// the rounding term. SimdKernelsTest compares the two forms on random blocks.

#include "core/Simd.h"

#include <cstdint>
#include <cstring>

namespace lumo::bilinear {

#if LUMO_SSE2

// The weights 256 - f and f as a pair of 16-bit lanes, in all four pairs.
inline __m128i weights(unsigned f) {
    return _mm_set1_epi32(int((256u - f) | (f << 16)));
}

// `upper` holds pixels (0, 0) and (1, 0) in its low 64 bits, `lower` pixels
// (0, 1) and (1, 1); wx and wy are weights(fx) and weights(fy).
inline uint32_t average(__m128i upper, __m128i lower, __m128i wx, __m128i wy) {
    const __m128i zero = _mm_setzero_si128();
    // Bytes p00 p01 interleaved channel by channel, then p10 p11.
    const __m128i mixed = _mm_unpacklo_epi8(upper, lower);
    const __m128i c0 = _mm_madd_epi16(_mm_unpacklo_epi8(mixed, zero), wy);
    const __m128i c1 = _mm_madd_epi16(_mm_unpackhi_epi8(mixed, zero), wy);
    const __m128i columns =
        _mm_xor_si128(_mm_or_si128(c0, _mm_slli_epi32(c1, 16)), _mm_set1_epi32(int(0x80008000u)));
    const __m128i sum =
        _mm_add_epi32(_mm_madd_epi16(columns, wx), _mm_set1_epi32(256 * 32768 + 32768));
    __m128i v = _mm_srli_epi32(sum, 16);
    v = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 0, 1, 2));  // b, g, r, a to r, g, b, a
    v = _mm_packs_epi32(v, v);
    v = _mm_packus_epi16(v, v);
    return uint32_t(_mm_cvtsi128_si32(v));
}

// Two neighbouring pixels of a row, read as one 64-bit value.
inline __m128i pixelPair(const uint8_t* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

inline __m128i pixelPair(uint32_t left, uint32_t right) {
    return _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(left)), _mm_cvtsi32_si128(int(right)));
}

// Columns c0 and c1 of a row: one load when they are neighbours, as
// everywhere but at the seams of wrapped images and in mirrored tiles.
inline __m128i columnPair(const uint8_t* row, unsigned c0, unsigned c1) {
    if (c1 == c0 + 1) return pixelPair(row + 4 * c0);
    uint32_t left, right;
    std::memcpy(&left, row + 4 * c0, 4);
    std::memcpy(&right, row + 4 * c1, 4);
    return pixelPair(left, right);
}

#endif

// The portable form, from the four pixels' bytes; writes r, g, b, a to `out`.
inline void average(const uint8_t* p00, const uint8_t* p10, const uint8_t* p01, const uint8_t* p11,
                    unsigned fx, unsigned fy, uint8_t* out) {
    const unsigned w00 = (256 - fx) * (256 - fy);
    const unsigned w10 = fx * (256 - fy);
    const unsigned w01 = (256 - fx) * fy;
    const unsigned w11 = fx * fy;
    static const unsigned target[4] = {2, 1, 0, 3};  // b, g, r, a to r, g, b, a
    for (unsigned c = 0; c < 4; ++c) {
        unsigned v = 32768;
        v += w00 * p00[c];
        v += w10 * p10[c];
        v += w01 * p01[c];
        v += w11 * p11[c];
        out[target[c]] = uint8_t(v >> 16);
    }
}

}  // namespace lumo::bilinear
