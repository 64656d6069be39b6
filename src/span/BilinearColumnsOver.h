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
// bilinear::portable::averageColumnsOver is the two steps, always built,
// which SimdKernelsTest compares the SSE2 form with.

#include "blend/OverSpans.h"
#include "blend/OverSpansSse2.h"
#include "core/Simd.h"
#include "span/BilinearColumns.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

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

inline void averageColumnsOver(agg::int8u* p, const int16_t* columns, const BlockColumn* blocks,
                               unsigned len, const agg::int8u* covers, unsigned cover) {
    const __m128i round = _mm_set1_epi32(256 * 32768 + 32768);
    const __m128i zero = _mm_setzero_si128();
    unsigned i = 0;
    const __m128i full = _mm_set1_epi16(255);
    for (; i + 4 <= len; i += 4, p += 16) {
        __m128i klo = _mm_set1_epi16(short(cover)), khi = klo;
        bool fullCover = cover == 255;
        if (covers != nullptr) {
            uint32_t four;
            std::memcpy(&four, covers + i, 4);
            if (four == 0) continue;
            fullCover = four == 0xFFFFFFFFu;
            if (fullCover) {
                klo = khi = _mm_set1_epi16(255);
            } else {
                over::sse2::spreadCovers(covers + i, klo, khi);
            }
        } else if (cover == 0) {
            continue;
        }
        const __m128i lo = _mm_packs_epi32(averageOne(columns, blocks[i], round),
                                           averageOne(columns, blocks[i + 1], round));
        const __m128i hi = _mm_packs_epi32(averageOne(columns, blocks[i + 2], round),
                                           averageOne(columns, blocks[i + 3], round));
        // Lanes of at most 255: both alphas of a lane pair are 255 when
        // their AND is (bytes 6-7 and 14-15 hold the alpha lanes).
        const __m128i opaque = _mm_cmpeq_epi16(_mm_and_si128(lo, hi), full);
        if (fullCover && (_mm_movemask_epi8(opaque) & 0xC0C0) == 0xC0C0) {
            // Opaque at full cover: the colours themselves.
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(lo, hi));
            continue;
        }
        const __m128i d = over::sse2::load(p);
        if (fullCover) {
            over::sse2::storeGroup(p, overPairFull(_mm_unpacklo_epi8(d, zero), lo),
                                   overPairFull(_mm_unpackhi_epi8(d, zero), hi));
            continue;
        }
        over::sse2::storeGroup(p, overPair(_mm_unpacklo_epi8(d, zero), lo, klo),
                               overPair(_mm_unpackhi_epi8(d, zero), hi, khi));
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
