#pragma once

// Bilinear averages from blended columns (BilinearColumns.h) put source-over
// onto destination pixels in the same pass, with what averaging them into
// colours (averageColumns) and blending those as premultiplied colours
// (overColorHspan<true>) gives: the averages of premultiplied rows are
// premultiplied colours. With SSE2 the averaged channels stay in 16-bit
// lanes, b, g, r, a as the source-over kernel holds colours, instead of
// being packed into colours and spread out again; groups of four are
// blended exactly as over::sse2::colourSpan blends them, and stored as they
// are when all four are opaque at full cover.
// Where the processor has AVX2, long spans go eight pixels at a time
// (avx2::averageColumnsOver, the same lanes in both halves of a register).
// bilinear::portable::averageColumnsOver is the two steps, always built,
// which SimdKernelsTest compares the SSE2 (and AVX2) form with.

#include "blend/OverSpans.h"
#include "blend/OverSpansSse2.h"
#include "core/Simd.h"
#include "span/BilinearColumns.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumo::bilinear {

namespace portable {

inline void averageColumnsOver(agg::int8u* p, const int16_t* columns, const BlockColumn* blocks,
                               unsigned len, const agg::int8u* covers, unsigned cover) {
    agg::rgba8 colours[64];
    for (unsigned i = 0; i < len; i += 64) {
        const unsigned n = len - i < 64 ? len - i : 64;
        portable::averageColumns(colours, columns, blocks + i, n);
        over::portable::colorHspan<true>(p + 4 * i, n, colours,
                                         covers != nullptr ? covers + i : nullptr, cover);
    }
}

}  // namespace portable

#if LUMO_SSE2
namespace sse2 {

// The alpha lanes of two averaged pixels.
inline __m128i alphaLanes(__m128i colour) {
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(colour, aaaa), aaaa);
}

// Two averaged pixels (16-bit lanes b, g, r, a, each at most 255) blended
// as colourSpan blends a premultiplied colour pair, at covers k.
inline __m128i overPair(__m128i d, __m128i colour, __m128i k) {
    const __m128i alpha = alphaLanes(colour);
    return over::sse2::blendCovered<true>(d, _mm_min_epi16(colour, alpha), alpha, k);
}

// The same at full cover, where the products with the cover (M[x][255] = x
// for every byte x) leave the alpha and the colour as they are.
inline __m128i overPairFull(__m128i d, __m128i colour) {
    const __m128i alpha = alphaLanes(colour);
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    return over::sse2::blendPair(d, keep, _mm_min_epi16(colour, alpha));
}

// Four pixels from their blocks onto `p`, at the four covers from `covers`
// or at `cover` when covers is null.
inline void overFour(agg::int8u* p, const int16_t* columns, const BlockColumn* blocks,
                     const agg::int8u* covers, unsigned cover) {
    const __m128i round = _mm_set1_epi32(256 * 32768 + 32768);
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    __m128i klo = _mm_set1_epi16(short(cover)), khi = klo;
    bool fullCover = cover == 255;
    if (covers != nullptr) {
        uint32_t four;
        std::memcpy(&four, covers, 4);
        if (four == 0) return;
        fullCover = four == 0xFFFFFFFFu;
        if (!fullCover) over::sse2::spreadCovers(covers, klo, khi);
    } else if (cover == 0) {
        return;
    }
    const __m128i lo = _mm_packs_epi32(averageOne(columns, blocks[0], round),
                                       averageOne(columns, blocks[1], round));
    const __m128i hi = _mm_packs_epi32(averageOne(columns, blocks[2], round),
                                       averageOne(columns, blocks[3], round));
    // Lanes of at most 255: both alphas of a lane pair are 255 when
    // their AND is (bytes 6-7 and 14-15 hold the alpha lanes).
    const __m128i opaque = _mm_cmpeq_epi16(_mm_and_si128(lo, hi), full);
    if (fullCover && (_mm_movemask_epi8(opaque) & 0xC0C0) == 0xC0C0) {
        // Opaque at full cover: the colours themselves.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(lo, hi));
        return;
    }
    const __m128i d = over::sse2::load(p);
    if (fullCover) {
        over::sse2::storeGroup(p, overPairFull(_mm_unpacklo_epi8(d, zero), lo),
                               overPairFull(_mm_unpackhi_epi8(d, zero), hi));
        return;
    }
    over::sse2::storeGroup(p, overPair(_mm_unpacklo_epi8(d, zero), lo, klo),
                           overPair(_mm_unpackhi_epi8(d, zero), hi, khi));
}

}  // namespace sse2

#if LUMO_AVX2
namespace avx2 {

// Products M[x][y] lane by lane, as over::sse2::products.
LUMO_TARGET_AVX2 inline __m256i products(__m256i x, __m256i y) {
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, y), _mm256_set1_epi16(128));
    return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}

// Pixel a's averaged channels (32-bit lanes b, g, r, a) in the low half,
// pixel b's in the high half.
LUMO_TARGET_AVX2 inline __m256i averageTwo(const int16_t* columns, const BlockColumn& a,
                                           const BlockColumn& b, __m256i round) {
    const auto column = [columns](uint32_t c) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(columns + 4 * size_t(c)));
    };
    const __m256i pairs = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_unpacklo_epi16(column(a.c0), column(a.c1))),
        _mm_unpacklo_epi16(column(b.c0), column(b.c1)), 1);
    const __m256i w = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_set1_epi32(int(a.weights))), _mm_set1_epi32(int(b.weights)), 1);
    return _mm256_srli_epi32(_mm256_add_epi32(_mm256_madd_epi16(pairs, w), round), 16);
}

// Two pixel pairs per half at full cover, as over::sse2 overPairFull.
LUMO_TARGET_AVX2 inline __m256i overFull(__m256i d, __m256i colour) {
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(colour, aaaa), aaaa);
    const __m256i keep = _mm256_sub_epi16(_mm256_set1_epi16(255), alpha);
    return _mm256_add_epi16(products(d, keep), _mm256_min_epi16(colour, alpha));
}

// Groups of eight pixels: at full cover in AVX2 lanes (pixels 0, 1, 4, 5
// and 2, 3, 6, 7 paired so that the halves pack back in order), others as
// two groups of four; returns the pixels done, a multiple of eight.
LUMO_TARGET_AVX2 inline unsigned averageColumnsOver(agg::int8u* p, const int16_t* columns,
                                                    const BlockColumn* blocks, unsigned len,
                                                    const agg::int8u* covers, unsigned cover) {
    const __m256i round = _mm256_set1_epi32(256 * 32768 + 32768);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi16(255);
    unsigned i = 0;
    for (; i + 8 <= len; i += 8, p += 32) {
        bool fullCover = cover == 255;
        if (covers != nullptr) {
            uint64_t eight;
            std::memcpy(&eight, covers + i, 8);
            fullCover = eight == ~uint64_t(0);
        }
        if (!fullCover) {
            sse2::overFour(p, columns, blocks + i, covers != nullptr ? covers + i : nullptr, cover);
            sse2::overFour(p + 16, columns, blocks + i + 4,
                           covers != nullptr ? covers + i + 4 : nullptr, cover);
            continue;
        }
        const BlockColumn* b = blocks + i;
        const __m256i lo = _mm256_packs_epi32(averageTwo(columns, b[0], b[4], round),
                                              averageTwo(columns, b[1], b[5], round));
        const __m256i hi = _mm256_packs_epi32(averageTwo(columns, b[2], b[6], round),
                                              averageTwo(columns, b[3], b[7], round));
        const __m256i opaque = _mm256_cmpeq_epi16(_mm256_and_si256(lo, hi), full);
        if ((uint32_t(_mm256_movemask_epi8(opaque)) & 0xC0C0C0C0u) == 0xC0C0C0C0u) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_packus_epi16(lo, hi));
            continue;
        }
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p),
                            _mm256_packus_epi16(overFull(_mm256_unpacklo_epi8(d, zero), lo),
                                                overFull(_mm256_unpackhi_epi8(d, zero), hi)));
    }
    return i;
}

}  // namespace avx2
#endif

namespace sse2 {

inline void averageColumnsOver(agg::int8u* p, const int16_t* columns, const BlockColumn* blocks,
                               unsigned len, const agg::int8u* covers, unsigned cover) {
    unsigned i = 0;
#if LUMO_AVX2
    // Long spans eight pixels at a time where the processor has AVX2.
    if (len >= 16 && cpuHasAvx2) {
        i = avx2::averageColumnsOver(p, columns, blocks, len, covers, cover);
        p += 4 * i;
    }
#endif
    for (; i + 4 <= len; i += 4, p += 16) {
        overFour(p, columns, blocks + i, covers != nullptr ? covers + i : nullptr, cover);
    }
    portable::averageColumnsOver(p, columns, blocks + i, len - i,
                                 covers != nullptr ? covers + i : nullptr, cover);
}

}  // namespace sse2
#endif

inline void averageColumnsOver(agg::int8u* p, const int16_t* columns, const BlockColumn* blocks,
                               unsigned len, const agg::int8u* covers, unsigned cover) {
#if LUMO_SSE2
    sse2::averageColumnsOver(p, columns, blocks, len, covers, cover);
#else
    portable::averageColumnsOver(p, columns, blocks, len, covers, cover);
#endif
}

}  // namespace lumo::bilinear
