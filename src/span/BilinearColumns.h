#pragma once

// Bilinear averages along one image row pair in two passes, with the same
// result as bilinear::average block by block (BilinearBlock.h).
//
// The vertical pass blends the two rows once per column: per channel
//   c = (256 - fy) upper + fy lower - 32768,
// which fits a signed 16-bit lane (c + 32768 stays below 65536). The
// horizontal pass then takes, per pixel, two such columns and its fx:
//   ((256 - fx)(c0 + 32768) + fx (c1 + 32768) + 32768) >> 16,
// the block formula regrouped, so the same integer. When a span is longer
// than the columns it reads (the image scaled up), every column is blended
// vertically once instead of once for every pixel that reads it.
//
// Columns are four lanes b, g, r, a; results are colours r, g, b, a. The
// portable forms are always built; SimdKernelsTest compares the SSE2 ones
// (and the AVX2 row blend, which long rows take where the processor has
// it) with them, and both with bilinear::average.

#include "core/Simd.h"
#include "span/BilinearBlock.h"

#include <agg_color_rgba.h>

#include <cstddef>
#include <cstdint>

namespace lumo::bilinear {

// The block one pixel reads: its left and right column (indices into the
// columns of the vertical pass), its horizontal fraction, and the weights
// 256 - fx and fx as the low and high half of one word.
struct BlockColumn {
    BlockColumn() = default;
    BlockColumn(uint32_t left, uint32_t right, uint32_t fraction)
        : c0(left), c1(right), fx(fraction), weights((256 - fraction) | (fraction << 16)) {}
    uint32_t c0, c1, fx, weights;
};

namespace portable {

inline void blendRows(int16_t* columns, const uint8_t* upper, const uint8_t* lower, unsigned count,
                      unsigned fy) {
    for (unsigned i = 0; i < 4 * count; ++i) {
        columns[i] = int16_t(int((256 - fy) * upper[i] + fy * lower[i]) - 32768);
    }
}

inline void averageColumns(agg::rgba8* span, const int16_t* columns, const BlockColumn* blocks,
                           unsigned len) {
    static const unsigned target[4] = {2, 1, 0, 3};  // b, g, r, a to r, g, b, a
    for (unsigned i = 0; i < len; ++i) {
        const BlockColumn& b = blocks[i];
        uint8_t* out = reinterpret_cast<uint8_t*>(span + i);
        for (unsigned c = 0; c < 4; ++c) {
            const unsigned left = unsigned(columns[4 * b.c0 + c] + 32768);
            const unsigned right = unsigned(columns[4 * b.c1 + c] + 32768);
            out[target[c]] = uint8_t(((256 - b.fx) * left + b.fx * right + 32768) >> 16);
        }
    }
}

}  // namespace portable

#if LUMO_SSE2
namespace sse2 {

// Two columns of each row (eight bytes) blended into eight lanes.
inline __m128i blendTwo(__m128i mixed, __m128i wy, __m128i zero, __m128i bias) {
    const __m128i c0 = _mm_sub_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(mixed, zero), wy), bias);
    const __m128i c1 = _mm_sub_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(mixed, zero), wy), bias);
    return _mm_packs_epi32(c0, c1);
}

}  // namespace sse2

#if LUMO_AVX2
namespace avx2 {

// Columns 0, 1 and 4, 5 (or 2, 3 and 6, 7) of eight, in the halves.
LUMO_TARGET_AVX2 inline __m256i blendTwo(__m256i mixed, __m256i wy, __m256i zero, __m256i bias) {
    const __m256i c0 =
        _mm256_sub_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi8(mixed, zero), wy), bias);
    const __m256i c1 =
        _mm256_sub_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi8(mixed, zero), wy), bias);
    return _mm256_packs_epi32(c0, c1);
}

// Groups of eight columns, as sse2::blendRows blends them; returns the
// columns done, a multiple of eight.
LUMO_TARGET_AVX2 inline unsigned blendRows(int16_t* columns, const uint8_t* upper,
                                           const uint8_t* lower, unsigned count, unsigned fy) {
    const __m256i wy = _mm256_set1_epi32(int((256u - fy) | (fy << 16)));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i bias = _mm256_set1_epi32(32768);
    unsigned i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i u = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(upper + 4 * i));
        const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lower + 4 * i));
        const __m256i a = blendTwo(_mm256_unpacklo_epi8(u, l), wy, zero, bias);  // 0, 1 | 4, 5
        const __m256i b = blendTwo(_mm256_unpackhi_epi8(u, l), wy, zero, bias);  // 2, 3 | 6, 7
        __m256i* out = reinterpret_cast<__m256i*>(columns + 4 * i);
        _mm256_storeu_si256(out, _mm256_permute2x128_si256(a, b, 0x20));
        _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(a, b, 0x31));
    }
    return i;
}

}  // namespace avx2
#endif

namespace sse2 {

inline void blendRows(int16_t* columns, const uint8_t* upper, const uint8_t* lower, unsigned count,
                      unsigned fy) {
    const __m128i wy = weights(fy);
    const __m128i zero = _mm_setzero_si128();
    const __m128i bias = _mm_set1_epi32(32768);
    unsigned i = 0;
#if LUMO_AVX2
    // Long rows eight columns at a time where the processor has AVX2.
    if (count >= 16 && cpuHasAvx2) i = avx2::blendRows(columns, upper, lower, count, fy);
#endif
    for (; i + 4 <= count; i += 4) {
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + 4 * i));
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + 4 * i));
        __m128i* out = reinterpret_cast<__m128i*>(columns + 4 * i);
        _mm_storeu_si128(out, blendTwo(_mm_unpacklo_epi8(u, l), wy, zero, bias));
        _mm_storeu_si128(out + 1, blendTwo(_mm_unpackhi_epi8(u, l), wy, zero, bias));
    }
    portable::blendRows(columns + 4 * i, upper + 4 * i, lower + 4 * i, count - i, fy);
}

// One pixel's channels b, g, r, a as 32-bit lanes.
inline __m128i averageOne(const int16_t* columns, const BlockColumn& b, __m128i round) {
    const __m128i left =
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(columns + 4 * size_t(b.c0)));
    const __m128i right =
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(columns + 4 * size_t(b.c1)));
    const __m128i w = _mm_shuffle_epi32(_mm_cvtsi32_si128(int(b.weights)), 0);
    const __m128i sum = _mm_madd_epi16(_mm_unpacklo_epi16(left, right), w);
    return _mm_srli_epi32(_mm_add_epi32(sum, round), 16);
}

// Two pixels' channels (32-bit lanes b, g, r, a) as 16-bit lanes r, g, b, a.
inline __m128i packTwo(__m128i p0, __m128i p1) {
    const int rgba = _MM_SHUFFLE(3, 0, 1, 2);
    const __m128i v = _mm_packs_epi32(p0, p1);
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, rgba), rgba);
}

inline void averageColumns(agg::rgba8* span, const int16_t* columns, const BlockColumn* blocks,
                           unsigned len) {
    // The 256 * 32768 the lanes' offset takes off, and the rounding term.
    const __m128i round = _mm_set1_epi32(256 * 32768 + 32768);
    unsigned i = 0;
    for (; i + 4 <= len; i += 4) {
        const __m128i p0 = averageOne(columns, blocks[i], round);
        const __m128i p1 = averageOne(columns, blocks[i + 1], round);
        const __m128i p2 = averageOne(columns, blocks[i + 2], round);
        const __m128i p3 = averageOne(columns, blocks[i + 3], round);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(span + i),
                         _mm_packus_epi16(packTwo(p0, p1), packTwo(p2, p3)));
    }
    portable::averageColumns(span + i, columns, blocks + i, len - i);
}

}  // namespace sse2
#endif

inline void blendRows(int16_t* columns, const uint8_t* upper, const uint8_t* lower, unsigned count,
                      unsigned fy) {
#if LUMO_SSE2
    sse2::blendRows(columns, upper, lower, count, fy);
#else
    portable::blendRows(columns, upper, lower, count, fy);
#endif
}

inline void averageColumns(agg::rgba8* span, const int16_t* columns, const BlockColumn* blocks,
                           unsigned len) {
#if LUMO_SSE2
    sse2::averageColumns(span, columns, blocks, len);
#else
    portable::averageColumns(span, columns, blocks, len);
#endif
}

}  // namespace lumo::bilinear
