#pragma once

// Sixteen entries of a colour-table segment and their premultiplied words at
// once with AVX2, for processors that have it (cpuHasAvx2): the same bytes as
// the putEight of SegmentMix.h, each channel of the sixteen entries in the
// 16-bit lanes of one register, put together into pixels only at the end.
// SimdKernelsTest compares the entries and words with the portable mix.

#include "core/Simd.h"

#include <agg_color_rgba.h>

#include <cstdint>

#if LUMO_AVX2

namespace lumo::segment::avx2 {

// M[x][y] lane by lane, as over::sse2::products.
LUMO_TARGET_AVX2 inline __m256i products(__m256i x, __m256i y) {
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, y), _mm256_set1_epi16(128));
    return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}

// Channel bytes s + floor(d t / 256), kept to their low 8 bits.
LUMO_TARGET_AVX2 inline __m256i channel(agg::int8u s, agg::int8u e, __m256i t) {
    const __m256i d = _mm256_set1_epi16(short(e - s));
    const __m256i mixed =
        _mm256_add_epi16(_mm256_set1_epi16(s), _mm256_srli_epi16(_mm256_mullo_epi16(d, t), 8));
    return _mm256_and_si256(mixed, _mm256_set1_epi16(0xFF));
}

// Entries 0-7 and 8-15 from the interleaved words of entries 0-3 and 8-11
// (lo) and 4-7 and 12-15 (hi), stored in order.
LUMO_TARGET_AVX2 inline void storeInOrder(void* to, __m256i lo, __m256i hi) {
    __m256i* out = static_cast<__m256i*>(to);
    _mm256_storeu_si256(out, _mm256_permute2x128_si256(lo, hi, 0x20));
    _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(lo, hi, 0x31));
}

// Sixteen entries of the segment from s to e at the fractions t (16-bit
// lanes, t modulo 2^16) and their premultiplied words (bytes b, g, r, a);
// the entries' alphas are ANDed into the 16-bit lanes of `alphas`.
LUMO_TARGET_AVX2 inline void putSixteen(const agg::rgba8& s, const agg::rgba8& e, agg::rgba8* to,
                                        uint32_t* words, __m256i t, __m256i& alphas) {
    const __m256i r = channel(s.r, e.r, t), g = channel(s.g, e.g, t);
    const __m256i b = channel(s.b, e.b, t), a = channel(s.a, e.a, t);
    alphas = _mm256_and_si256(alphas, a);
    const __m256i rg = _mm256_or_si256(r, _mm256_slli_epi16(g, 8));
    const __m256i ba = _mm256_or_si256(b, _mm256_slli_epi16(a, 8));
    static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes");
    storeInOrder(to, _mm256_unpacklo_epi16(rg, ba), _mm256_unpackhi_epi16(rg, ba));
    const __m256i bg = _mm256_or_si256(products(b, a), _mm256_slli_epi16(products(g, a), 8));
    const __m256i ra = _mm256_or_si256(products(r, a), _mm256_slli_epi16(a, 8));
    storeInOrder(words, _mm256_unpacklo_epi16(bg, ra), _mm256_unpackhi_epi16(bg, ra));
}

// putSixteen from sixteen fractions in memory, for the tests; whether every
// alpha is 255.
LUMO_TARGET_AVX2 inline bool putSixteenFrom(const agg::rgba8& s, const agg::rgba8& e,
                                            agg::rgba8* to, uint32_t* words, const uint16_t* t) {
    __m256i alphas = _mm256_set1_epi16(0xFF);
    putSixteen(s, e, to, words, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t)), alphas);
    return _mm256_movemask_epi8(_mm256_cmpeq_epi16(alphas, _mm256_set1_epi16(0xFF))) == -1;
}

}  // namespace lumo::segment::avx2

#endif
