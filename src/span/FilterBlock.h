#pragma once

// One sample of a look-up-table image filter over a square block of D x D
// pixels (bytes b, g, r, a), computed as AGG's span_image_filter_rgba and
// span_image_filter_rgba_2x2 compute it: with wx[i] and wy[j] the filter's
// weights for the sample's fractions, each pixel weighs
//   (wy[j] * wx[i] + 8192) >> 14,
// every channel sums weight times byte, moves down by 14 bits, is limited to
// 0 and up (general filters only), alpha to 255 and colour to alpha. The
// result has its bytes in the order r, g, b, a.
//
// With SSE2 the four channels go through at once, in 32-bit lanes: a row's
// product weights come from one multiply-add of the x weights paired with 1
// against wy paired with 8192; neighbouring pixels are interleaved byte by
// byte so that another multiply-add weighs two of them per channel. The sums
// are integers, so their order does not matter. The product weights and the
// shifted channels fit 16-bit lanes for every one of AGG's filters (see
// FilterWeights::fitsSixteenBits).

#include "core/Simd.h"

#include <cstddef>
#include <cstdint>

namespace lumo::filter {

// The portable form: rows[j] + offset points at the block's pixels in row
// j; writes r, g, b, a to `out`.
inline void weigh(const uint8_t* const* rows, ptrdiff_t offset, unsigned diameter,
                  const int16_t* wx, const int16_t* wy, bool clampNegative, uint8_t* out) {
    int32_t fg[4] = {0, 0, 0, 0};
    for (unsigned j = 0; j < diameter; ++j) {
        const uint8_t* p = rows[j] + offset;
        const int weightY = wy[j];
        for (unsigned i = 0; i < diameter; ++i, p += 4) {
            const int weight = (weightY * wx[i] + 8192) >> 14;
            fg[0] += weight * p[0];
            fg[1] += weight * p[1];
            fg[2] += weight * p[2];
            fg[3] += weight * p[3];
        }
    }
    for (int32_t& v : fg) {
        v >>= 14;
        if (clampNegative && v < 0) v = 0;
    }
    if (fg[3] > 255) fg[3] = 255;
    for (int c = 0; c < 3; ++c) {
        if (fg[c] > fg[3]) fg[c] = fg[3];
    }
    out[0] = uint8_t(fg[2]);
    out[1] = uint8_t(fg[1]);
    out[2] = uint8_t(fg[0]);
    out[3] = uint8_t(fg[3]);
}

#if LUMO_SSE2

// wy paired with the rounding term 8192, in all four pairs.
inline __m128i rowWeight(int16_t wy) {
    return _mm_set1_epi32(int(uint32_t(uint16_t(wy)) | (8192u << 16)));
}

// The x weights of columns 0..3 (`low`) and 4..7 (`high`), each paired
// with 1.
struct ColumnWeights {
    explicit ColumnWeights(const int16_t* wx) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(wx));
        const __m128i ones = _mm_set1_epi16(1);
        low = _mm_unpacklo_epi16(w, ones);
        high = _mm_unpackhi_epi16(w, ones);
    }
    __m128i low, high;
};

// The product weights of four columns as 32-bit lanes.
inline __m128i products(__m128i columns, __m128i row) {
    return _mm_srai_epi32(_mm_madd_epi16(columns, row), 14);
}

// Pixels p0, p1 weighed by the 16-bit pair in every 32-bit lane of w01:
// the four channel sums.
inline __m128i weighPair(const uint8_t* p, __m128i w01) {
    const __m128i pair = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    const __m128i mixed = _mm_unpacklo_epi8(pair, _mm_srli_si128(pair, 4));
    return _mm_madd_epi16(_mm_unpacklo_epi8(mixed, _mm_setzero_si128()), w01);
}

// Pixels p0..p3, weighed by the pairs in w01 and w23.
inline __m128i weighQuad(const uint8_t* p, __m128i w01, __m128i w23) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i quad = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i order = _mm_shuffle_epi32(quad, _MM_SHUFFLE(3, 1, 2, 0));  // p0 p2 p1 p3
    // p0 and p1 interleaved byte by byte, then p2 and p3.
    const __m128i mixed = _mm_unpacklo_epi8(order, _mm_unpackhi_epi64(order, order));
    return _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(mixed, zero), w01),
                         _mm_madd_epi16(_mm_unpackhi_epi8(mixed, zero), w23));
}

// One row of D pixels at p, its product weights `low` (columns 0..3) and
// `high` (4..7) as 32-bit lanes.
template <unsigned D>
inline __m128i weighRow(const uint8_t* p, __m128i low, __m128i high) {
    const __m128i w = _mm_packs_epi32(low, high);
    const __m128i w01 = _mm_shuffle_epi32(w, 0x00);
    if (D == 2) return weighPair(p, w01);
    const __m128i w23 = _mm_shuffle_epi32(w, 0x55);
    const __m128i first = weighQuad(p, w01, w23);
    if (D == 4) return first;
    const __m128i w45 = _mm_shuffle_epi32(w, 0xAA);
    if (D == 6) return _mm_add_epi32(first, weighPair(p + 16, w45));
    return _mm_add_epi32(first, weighQuad(p + 16, w45, _mm_shuffle_epi32(w, 0xFF)));
}

// Channel sums b, g, r, a to the colour r, g, b, a.
inline uint32_t finish(__m128i sum, bool clampNegative) {
    __m128i v = _mm_srai_epi32(sum, 14);
    v = _mm_packs_epi32(v, v);
    if (clampNegative) v = _mm_max_epi16(v, _mm_setzero_si128());
    const __m128i alpha = _mm_min_epi16(_mm_shufflelo_epi16(v, 0xFF), _mm_set1_epi16(255));
    v = _mm_min_epi16(v, alpha);
    // Unclamped negative channels keep their low byte.
    v = _mm_and_si128(v, _mm_set1_epi16(255));
    v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 0, 1, 2));  // b, g, r, a to r, g, b, a
    return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
}

// The block: rows[j] + offset points at row j's pixels, `rowWeights[j]` is
// rowWeight(wy[j]).
template <unsigned D>
inline uint32_t weigh(const uint8_t* const* rows, ptrdiff_t offset, const ColumnWeights& columns,
                      const __m128i* rowWeights, bool clampNegative) {
    __m128i sum = _mm_setzero_si128();
    for (unsigned j = 0; j < D; ++j) {
        const __m128i low = products(columns.low, rowWeights[j]);
        const __m128i high = D > 4 ? products(columns.high, rowWeights[j]) : low;
        sum = _mm_add_epi32(sum, weighRow<D>(rows[j] + offset, low, high));
    }
    return finish(sum, clampNegative);
}

#endif

}  // namespace lumo::filter
