#pragma once

// Pixels picked from one image row blended source-over eight at a time with AVX2, for
// processors that have it (cpuHasAvx2): the groups of four of columnsOver::sse2 with twice the
// lanes (pixels 0, 1, 4, 5 unpacked from the low bytes of each 128-bit half and 2, 3, 6, 7 from
// the high ones, so that the halves pack back in order), the same products. SimdKernelsTest
// compares the spans with the portable ones.

#include "blend/IndexedOverAvx2.h"
#include "core/Simd.h"
#include "render/ColumnsOverBlock.h"

#include <agg_basics.h>

#include <cstdint>
#include <cstring>

#if LUMO_AVX2

namespace lumo::columnsOver::avx2 {

// Eight pixels of the row (bytes b, g, r, a) at byte offsets `columns`.
LUMO_TARGET_AVX2 inline __m256i gatherEight(const agg::int8u* row, const uint32_t* columns) {
    int w[8];
    for (int k = 0; k < 8; ++k) std::memcpy(&w[k], row + columns[k], 4);
    return _mm256_setr_epi32(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
}

// Image pixels (b, g, r, a widened to lanes) at covers k onto destination lanes d, as
// over::sse2::blendCovered blends the lanes colourPairLanes makes of them.
template <bool Premultiplied>
LUMO_TARGET_AVX2 inline __m256i coveredPairs(__m256i d, __m256i c, __m256i k) {
    const __m256i alpha = over::avx2::alphaLanes(c);
    const __m256i colour =
        Premultiplied ? _mm256_min_epi16(c, alpha)
                      : _mm256_or_si256(c, _mm256_set1_epi64x(int64_t(uint64_t(255) << 48)));
    const __m256i e = over::avx2::productLanes(alpha, k);
    return over::avx2::blendPairs(d, _mm256_sub_epi16(_mm256_set1_epi16(255), e),
                                  over::avx2::productLanes(colour, Premultiplied ? k : e));
}

// The longest run of whole groups of eight from the start of the span; returns its length, and
// clears `asIs` unless every pixel of it was opaque at full cover (then stored as it stands).
template <bool Premultiplied>
LUMO_TARGET_AVX2 unsigned run(agg::int8u* p, const agg::int8u* row, const uint32_t* columns,
                              unsigned len, const agg::int8u* covers, unsigned cover, bool& asIs) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphas = _mm256_set1_epi32(int(0xFF000000u));
    __m256i klo = _mm256_set1_epi16(short(cover)), khi = klo;
    uint64_t eight = cover * 0x0101010101010101ull;
    bool stored = true;
    unsigned i = 0;
    for (; i + 8 <= len; i += 8) {
        const __m256i bgra = gatherEight(row, columns + i);
        if (covers != nullptr) std::memcpy(&eight, covers + i, 8);
        __m256i* to = reinterpret_cast<__m256i*>(p + 4 * size_t(i));
        const bool opaque = _mm256_testc_si256(bgra, alphas) != 0;
        if (eight == ~uint64_t(0) && opaque) {
            _mm256_storeu_si256(to, bgra);
            continue;
        }
        stored = false;
        if (eight == 0 || _mm256_testz_si256(bgra, alphas)) continue;
        if (covers != nullptr) over::avx2::spreadEightCovers(eight, klo, khi);
        const __m256i d = _mm256_loadu_si256(to);
        const __m256i lo = coveredPairs<Premultiplied>(_mm256_unpacklo_epi8(d, zero),
                                                       _mm256_unpacklo_epi8(bgra, zero), klo);
        const __m256i hi = coveredPairs<Premultiplied>(_mm256_unpackhi_epi8(d, zero),
                                                       _mm256_unpackhi_epi8(bgra, zero), khi);
        _mm256_storeu_si256(to, _mm256_packus_epi16(lo, hi));
    }
    asIs = asIs && stored;
    return i;
}

// Eight pixels of the row (bytes b, g, r, a) at covers k (one byte each, the first lowest) over
// the destination pixels d.
template <bool Premultiplied>
LUMO_TARGET_AVX2 inline __m256i overEight(__m256i d, __m256i bgra, uint64_t k) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i klo, khi;
    over::avx2::spreadEightCovers(k, klo, khi);
    const __m256i lo = coveredPairs<Premultiplied>(_mm256_unpacklo_epi8(d, zero),
                                                   _mm256_unpacklo_epi8(bgra, zero), klo);
    const __m256i hi = coveredPairs<Premultiplied>(_mm256_unpackhi_epi8(d, zero),
                                                   _mm256_unpackhi_epi8(bgra, zero), khi);
    return _mm256_packus_epi16(lo, hi);
}

// Whether eight pixels at covers k are all opaque at full cover.
LUMO_TARGET_AVX2 inline bool eightAsIs(__m256i bgra, uint64_t k) {
    return k == ~uint64_t(0) && _mm256_testc_si256(bgra, _mm256_set1_epi32(int(0xFF000000u)));
}

// columnsOver::block::overlapped with eight lanes a register (a span of 8 to 16 pixels).
template <bool Premultiplied>
LUMO_TARGET_AVX2 bool overlapped(agg::int8u* p, const agg::int8u* row, const uint32_t* columns,
                                 unsigned len, const agg::int8u* covers, unsigned cover) {
    const unsigned tail = len - 8;
    __m256i* const to = reinterpret_cast<__m256i*>(p);
    const __m256i a = gatherEight(row, columns);
    const uint64_t ka = block::eightCovers(covers, cover);
    if (tail == 0) {
        // A span of eight, all of a rectangle's rows of eight: one block.
        _mm256_storeu_si256(to, overEight<Premultiplied>(_mm256_loadu_si256(to), a, ka));
        return eightAsIs(a, ka);
    }
    __m256i* const end = reinterpret_cast<__m256i*>(p + 4 * size_t(tail));
    const __m256i b = gatherEight(row, columns + tail);
    const uint64_t kb = block::eightCovers(covers != nullptr ? covers + tail : nullptr, cover);
    const __m256i da = _mm256_loadu_si256(to), db = _mm256_loadu_si256(end);
    _mm256_storeu_si256(end, overEight<Premultiplied>(db, b, kb));
    _mm256_storeu_si256(to, overEight<Premultiplied>(da, a, ka));
    return eightAsIs(a, ka) && eightAsIs(b, kb);
}

}  // namespace lumo::columnsOver::avx2

#endif
