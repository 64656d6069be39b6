#pragma once

// Short spans of pixels picked from one image row (1 to 16 pixels), blended source-over in
// whole blocks of eight without branching on their length: the lengths of the spans of a
// stroke's or a polygon's edges change from span to span in no pattern the branch predictor
// learns. Every lane is blended, whatever its pixel and cover (cover 0 leaves the destination as
// it is, an opaque pixel at full cover gives the pixel itself: the products are exact there), so
// no branch depends on the pixels either. The image pixels stay in their byte order b, g, r, a,
// the destination's.
//
// - 8 to 16 pixels: two blocks, the first eight pixels and the last eight, which overlap by 16 -
//   len pixels; both read the destination before either is written, so the pixels they share
//   get the same value twice. A span of exactly eight takes the first block alone.
// - 1 to 7 pixels, with room in the row for eight from the span's start: one block whose lanes
//   past the span repeat its last pixel (the columns and covers read stay within the span's)
//   at cover 0, which writes back the row's next pixels as they were.
//
// SimdKernelsTest compares them with columnsOver::portable.

#include "blend/OverSpansSse2.h"
#include "core/Simd.h"

#include <agg_basics.h>

#include <cstdint>
#include <cstring>

#if defined(__GNUC__)
#define LUMO_BLOCK_INLINE inline __attribute__((always_inline))
#else
#define LUMO_BLOCK_INLINE inline
#endif

#if LUMO_SSE2

namespace lumo::columnsOver::block {

// Four pixels (bytes b, g, r, a) at four covers (the first in the lowest byte) over the
// destination pixels d, as over::sse2::blendCovered blends them.
template <bool Premultiplied>
LUMO_BLOCK_INLINE __m128i overFour(__m128i d, __m128i bgra, uint32_t covers) {
    const __m128i zero = _mm_setzero_si128();
    __m128i klo, khi;
    over::sse2::spreadCoverWord(covers, klo, khi);
    const auto half = [&](__m128i dest, __m128i c, __m128i k) {
        const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
        const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, aaaa), aaaa);
        const __m128i colour = Premultiplied
                                   ? _mm_min_epi16(c, alpha)
                                   : _mm_or_si128(c, _mm_setr_epi16(0, 0, 0, 255, 0, 0, 0, 255));
        return over::sse2::blendCovered<Premultiplied>(dest, colour, alpha, k);
    };
    return _mm_packus_epi16(half(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(bgra, zero), klo),
                            half(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(bgra, zero), khi));
}

// The four pixels of the row at byte offsets c0 to c3, in registers: stored into an array one
// by one and read back as a whole, they would wait for the stores.
LUMO_BLOCK_INLINE __m128i gatherFour(const agg::int8u* row, uint32_t c0, uint32_t c1, uint32_t c2,
                                     uint32_t c3) {
    uint32_t w0, w1, w2, w3;
    std::memcpy(&w0, row + c0, 4);
    std::memcpy(&w1, row + c1, 4);
    std::memcpy(&w2, row + c2, 4);
    std::memcpy(&w3, row + c3, 4);
    return _mm_setr_epi32(int(w0), int(w1), int(w2), int(w3));
}

// Whether the eight pixels of a and b at covers k all went to the destination as they are.
LUMO_BLOCK_INLINE bool eightAsIs(__m128i a, __m128i b, uint64_t k) {
    const int alphaBytes = 0x8888;
    const __m128i both = _mm_and_si128(a, b);
    return k == ~uint64_t(0) &&
           (_mm_movemask_epi8(_mm_cmpeq_epi8(both, _mm_set1_epi8(char(0xFF)))) & alphaBytes) ==
               alphaBytes;
}

LUMO_BLOCK_INLINE __m128i loadFour(const agg::int8u* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

LUMO_BLOCK_INLINE void storeFour(agg::int8u* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Eight covers from `covers` (or `cover` eight times when there is none).
LUMO_BLOCK_INLINE uint64_t eightCovers(const agg::int8u* covers, unsigned cover) {
    uint64_t k = cover * 0x0101010101010101ull;
    if (covers != nullptr) std::memcpy(&k, covers, 8);
    return k;
}

// Eight pixels from p: the image pixels at columns c, at covers k where `lanes` has their bytes
// set and 0 elsewhere; asIs says whether all were opaque at covers k of 255.
template <bool Premultiplied>
LUMO_BLOCK_INLINE void overEight(agg::int8u* p, const agg::int8u* row, const uint32_t* c,
                                 uint64_t k, uint64_t lanes, __m128i& out0, __m128i& out1,
                                 bool& asIs) {
    const __m128i w0 = gatherFour(row, c[0], c[1], c[2], c[3]);
    const __m128i w1 = gatherFour(row, c[4], c[5], c[6], c[7]);
    asIs = eightAsIs(w0, w1, k);
    k &= lanes;
    out0 = overFour<Premultiplied>(loadFour(p), w0, uint32_t(k));
    out1 = overFour<Premultiplied>(loadFour(p + 16), w1, uint32_t(k >> 32));
}

// A span of 8 to 16 pixels (see above).
template <bool Premultiplied>
LUMO_BLOCK_INLINE bool overlapped(agg::int8u* p, const agg::int8u* row, const uint32_t* columns,
                                  unsigned len, const agg::int8u* covers, unsigned cover) {
    const unsigned tail = len - 8;
    agg::int8u* q = p + 4 * size_t(tail);
    __m128i a0, a1, b0, b1;
    bool aAsIs, bAsIs;
    const uint64_t all = ~uint64_t(0);
    overEight<Premultiplied>(p, row, columns, eightCovers(covers, cover), all, a0, a1, aAsIs);
    if (tail == 0) {
        // A span of eight, all of a rectangle's rows of eight: one block.
        storeFour(p, a0);
        storeFour(p + 16, a1);
        return aAsIs;
    }
    overEight<Premultiplied>(q, row, columns + tail,
                             eightCovers(covers != nullptr ? covers + tail : nullptr, cover), all,
                             b0, b1, bAsIs);
    storeFour(q, b0);
    storeFour(q + 16, b1);
    storeFour(p, a0);
    storeFour(p + 16, a1);
    return aAsIs && bAsIs;
}

// A span of 1 to 7 pixels with room for eight from p in the row (see above).
template <bool Premultiplied>
LUMO_BLOCK_INLINE bool masked(agg::int8u* p, const agg::int8u* row, const uint32_t* columns,
                              unsigned len, const agg::int8u* covers, unsigned cover) {
    const unsigned last = len - 1;
    // Lane i takes pixel min(i, last), its column and cover read into registers.
    const auto at = [last](unsigned i) { return i < last ? i : last; };
    const uint32_t c[8] = {columns[at(0)], columns[at(1)], columns[at(2)], columns[at(3)],
                           columns[at(4)], columns[at(5)], columns[at(6)], columns[at(7)]};
    const auto coverAt = [&](unsigned i) { return uint64_t(covers[at(i)]) << (8 * i); };
    uint64_t k = cover * 0x0101010101010101ull;
    if (covers != nullptr) {
        k = (coverAt(0) | coverAt(1)) | (coverAt(2) | coverAt(3)) |
            ((coverAt(4) | coverAt(5)) | (coverAt(6) | coverAt(7)));
    }
    __m128i out0, out1;
    bool asIs;
    // Cover 0 past the span, whose lanes repeat its last pixel and cover for asIs.
    overEight<Premultiplied>(p, row, c, k, ~uint64_t(0) >> (8 * (7 - last)), out0, out1, asIs);
    storeFour(p, out0);
    storeFour(p + 16, out1);
    return asIs;
}

}  // namespace lumo::columnsOver::block

#endif

#undef LUMO_BLOCK_INLINE
