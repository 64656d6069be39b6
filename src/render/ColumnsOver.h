#pragma once

#include "blend/OverSpans.h"
#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/RedBlueSwap.h"
#include "core/Simd.h"
#include "render/ColumnsOverAvx2.h"
#include "render/ColumnsOverBlock.h"
#include "span/ColumnGather.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

namespace lumo {

// Pixels picked from one image row (bytes b, g, r, a, at byte offsets
// `columns` of `row`) blended source-over into `p`, with a cover per pixel
// (covers) or one for all (cover, when covers is null): what gathering them
// into colours (gatherColumns) and blending those (overColorHspan) gives,
// in one pass. Returns whether every pixel was opaque at full cover, so that
// the destination now holds the image pixels as they are. With SSE2, four
// pixels at a time, blended as the SSE2 source-over span blends them, except
// that four opaque pixels at full cover, the destination's new bytes as they
// stand in the image row, go there straight, without the two red-blue
// swaps. columnsOver::portable is the two steps, always built, which
// SimdKernelsTest compares the SSE2 form with.
namespace columnsOver {

// Whether a pixel (bytes b, g, r, a) at cover k went to the destination as
// it is: opaque at full cover.
inline bool storedAsIs(const agg::int8u* pixel, unsigned k) {
    return pixel[3] == 255 && k == 255;
}

template <bool Premultiplied>
inline bool portable(agg::int8u* p, const agg::int8u* row, const uint32_t* columns, unsigned len,
                     const agg::int8u* covers, unsigned cover) {
    agg::rgba8 colours[64];
    bool asIs = true;
    for (unsigned i = 0; i < len; ++i) {
        asIs = asIs && storedAsIs(row + columns[i], covers != nullptr ? covers[i] : cover);
    }
    for (unsigned i = 0; i < len; i += 64) {
        const unsigned n = len - i < 64 ? len - i : 64;
        column::portable(colours, row, columns + i, n);
        over::portable::colorHspan<Premultiplied>(p + 4 * i, n, colours,
                                                  covers != nullptr ? covers + i : nullptr, cover);
    }
    return asIs;
}

#if LUMO_SSE2
// Four pixels of the image row (bytes b, g, r, a) blended as over::sse2::
// colourSpan blends four colours: stored when all are opaque at full cover
// (then true), skipped when all are transparent or all covers zero, else
// blended.
template <bool Premultiplied>
inline bool overFour(agg::int8u* p, __m128i bgra, const agg::int8u* covers, unsigned cover) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi8(char(0xFF));
    const int alphaBytes = 0x8888;
    uint32_t four = 0;
    if (covers != nullptr) std::memcpy(&four, covers, 4);
    const bool fullCover = covers != nullptr ? four == 0xFFFFFFFFu : cover == 255;
    if (fullCover && (_mm_movemask_epi8(_mm_cmpeq_epi8(bgra, ones)) & alphaBytes) == alphaBytes) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), bgra);
        return true;
    }
    if ((_mm_movemask_epi8(_mm_cmpeq_epi8(bgra, zero)) & alphaBytes) == alphaBytes) return false;
    __m128i klo = _mm_set1_epi16(short(cover)), khi = klo;
    if (covers != nullptr) {
        if (four == 0) return false;
        over::sse2::spreadCovers(covers, klo, khi);
    }
    const __m128i rgba = lumo::sse2::swapRedBlue(bgra);
    __m128i alo, ahi;
    const __m128i clo =
        over::sse2::colourPairLanes<Premultiplied>(_mm_unpacklo_epi8(rgba, zero), alo);
    const __m128i chi =
        over::sse2::colourPairLanes<Premultiplied>(_mm_unpackhi_epi8(rgba, zero), ahi);
    const __m128i d = over::sse2::load(p);
    over::sse2::storeGroup(
        p, over::sse2::blendCovered<Premultiplied>(_mm_unpacklo_epi8(d, zero), clo, alo, klo),
        over::sse2::blendCovered<Premultiplied>(_mm_unpackhi_epi8(d, zero), chi, ahi, khi));
    return false;
}

// The last one to three pixels of a span (count) in the same lanes, reading and writing no
// pixel past them: what blending them one by one gives (the lanes past the count take
// transparent pixels at cover 0, which leave the destination as it is). Returns whether all of
// them were opaque at full cover.
template <bool Premultiplied>
inline bool overFirst(agg::int8u* p, const agg::int8u* row, const uint32_t* columns, unsigned count,
                      const agg::int8u* covers, unsigned cover) {
    const __m128i zero = _mm_setzero_si128();
    // The pixels and covers in registers (pixels past the count transparent, at cover 0):
    // stored into an array one by one and read back as a whole, they would wait for the
    // stores.
    const auto pixel = [&](unsigned k) {
        uint32_t w = 0;
        if (k < count) std::memcpy(&w, row + columns[k], 4);
        return w;
    };
    const auto coverOf = [&](unsigned k) {
        return k < count ? (covers != nullptr ? unsigned(covers[k]) : cover) : 0u;
    };
    const uint32_t w0 = pixel(0), w1 = pixel(1), w2 = pixel(2);
    const unsigned k0 = coverOf(0), k1 = coverOf(1), k2 = coverOf(2);
    const uint32_t four = k0 | k1 << 8 | k2 << 16;
    // Opaque at full cover: the pixels as they stand in the row.
    const uint32_t alphas = w0 & (count > 1 ? w1 : ~0u) & (count > 2 ? w2 : ~0u);
    const unsigned covered = k0 & (count > 1 ? k1 : 255u) & (count > 2 ? k2 : 255u);
    if (alphas >> 24 == 255 && covered == 255) {
        over::store(p, w0);
        if (count > 1) over::store(p + 4, w1);
        if (count > 2) over::store(p + 8, w2);
        return true;
    }
    __m128i klo, khi;
    over::sse2::spreadCoverWord(four, klo, khi);
    const __m128i rgba = lumo::sse2::swapRedBlue(_mm_setr_epi32(int(w0), int(w1), int(w2), 0));
    __m128i alo, ahi;
    const __m128i clo =
        over::sse2::colourPairLanes<Premultiplied>(_mm_unpacklo_epi8(rgba, zero), alo);
    const __m128i chi =
        over::sse2::colourPairLanes<Premultiplied>(_mm_unpackhi_epi8(rgba, zero), ahi);
    uint32_t word;
    __m128i lo, hi = zero;
    if (count == 1) {
        std::memcpy(&word, p, 4);
        lo = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(word)), zero);
    } else {
        lo = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
        if (count == 3) {
            std::memcpy(&word, p + 8, 4);
            hi = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(word)), zero);
        }
    }
    const __m128i packed =
        _mm_packus_epi16(over::sse2::blendCovered<Premultiplied>(lo, clo, alo, klo),
                         over::sse2::blendCovered<Premultiplied>(hi, chi, ahi, khi));
    if (count == 1) {
        over::store(p, uint32_t(_mm_cvtsi128_si32(packed)));
        return false;
    }
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), packed);
    if (count == 3) over::store(p + 8, uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(packed, 8))));
    return false;
}

// Spans in groups of four (eight with AVX2 from 16 pixels on), the last one to three pixels in
// the lanes of one more group. Not inlined into sse2: the registers it takes would be saved and
// restored for the short spans too.
template <bool Premultiplied>
__attribute__((noinline)) bool groups(agg::int8u* p, const agg::int8u* row, const uint32_t* columns,
                                      unsigned len, const agg::int8u* covers, unsigned cover) {
    bool asIs = true;
    unsigned i = 0;
#if LUMO_AVX2
    // Eight pixels at a time where the processor has AVX2: on long spans the
    // wider lanes pay for their set-up.
    if (len >= 16 && cpuHasAvx2) {
        i = avx2::run<Premultiplied>(p, row, columns, len, covers, cover, asIs);
    }
#endif
    for (; i + 4 <= len; i += 4) {
        int w[4];
        for (int k = 0; k < 4; ++k) std::memcpy(&w[k], row + columns[i + k], 4);
        asIs &= overFour<Premultiplied>(p + 4 * i, _mm_setr_epi32(w[0], w[1], w[2], w[3]),
                                        covers != nullptr ? covers + i : nullptr, cover);
    }
    if (i == len) return asIs;
    // The last one to three pixels in the lanes of one more group.
    return overFirst<Premultiplied>(p + 4 * i, row, columns + i, len - i,
                                    covers != nullptr ? covers + i : nullptr, cover) &&
           asIs;
}

// `room` is the number of pixels of the row from p on (at least len): spans of 8 to 16 pixels,
// and shorter ones with room for eight, go in whole blocks of eight (ColumnsOverBlock.h), the
// others in groups.
template <bool Premultiplied>
inline bool sse2(agg::int8u* p, const agg::int8u* row, const uint32_t* columns, unsigned len,
                 const agg::int8u* covers, unsigned cover, unsigned room) {
    static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes r, g, b, a");
    if (len - 8 <= 8) {
#if LUMO_AVX2
        if (cpuHasAvx2) {
            return avx2::overlapped<Premultiplied>(p, row, columns, len, covers, cover);
        }
#endif
        return block::overlapped<Premultiplied>(p, row, columns, len, covers, cover);
    }
    if (len - 1 < 7 && room >= 8) {
        return block::masked<Premultiplied>(p, row, columns, len, covers, cover);
    }
    return groups<Premultiplied>(p, row, columns, len, covers, cover);
}
#endif

}  // namespace columnsOver

// `room`: the pixels of the destination row from p on that this call may touch, at least len
// (up to the clip box's edge); the pixels past the span may be read and written back as they
// were, never changed.
template <bool Premultiplied>
inline bool blendColumnsOver(agg::int8u* p, const agg::int8u* row, const uint32_t* columns,
                             unsigned len, const agg::int8u* covers, unsigned cover,
                             unsigned room) {
#if LUMO_SSE2
    return columnsOver::sse2<Premultiplied>(p, row, columns, len, covers, cover, room);
#else
    (void)room;
    return columnsOver::portable<Premultiplied>(p, row, columns, len, covers, cover);
#endif
}

}  // namespace lumo
