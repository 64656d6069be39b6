#pragma once

// Source-over of table colours selected by indices with AVX2, eight pixels at a time: the
// blocks of IndexedOverGroup.h with twice the lanes, for processors that have it
// (cpuHasAvx2). Eight pixels fill a register as two pairs per 128-bit half, pixels 0, 1, 4, 5
// unpacked from the low bytes of each half and 2, 3, 6, 7 from the high ones, so that the
// halves pack back in order; the lanes and products are those of the SSE2 blocks.
// SimdKernelsTest and GradientReferenceTest compare the spans with the portable ones.

#include "blend/IndexedOverSpans.h"
#include "blend/OverRunAvx2.h"
#include "core/Simd.h"

#include <agg_basics.h>

#include <cstdint>
#include <cstring>

#if LUMO_AVX2

namespace lumo::over::avx2 {

// M[x][y] lane by lane, as over::sse2::products.
LUMO_TARGET_AVX2 inline __m256i productLanes(__m256i x, __m256i y) {
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, y), _mm256_set1_epi16(128));
    return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}

// The alpha lane of each pixel in all four of its lanes.
LUMO_TARGET_AVX2 inline __m256i alphaLanes(__m256i c) {
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(c, aaaa), aaaa);
}

// Eight covers (the bytes of a word, the first lowest) each repeated across its pixel's four
// lanes: pixels 0, 1, 4, 5 in lo, 2, 3, 6, 7 in hi.
LUMO_TARGET_AVX2 inline void spreadEightCovers(uint64_t covers, __m256i& lo, __m256i& hi) {
    const __m256i k = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(int64_t(covers)));
    const __m256i pairs = _mm256_or_si256(k, _mm256_slli_epi32(k, 16));
    lo = _mm256_unpacklo_epi32(pairs, pairs);
    hi = _mm256_unpackhi_epi32(pairs, pairs);
}

// Pixels at full cover: M[d][255 - a] + the full-cover word's lanes.
LUMO_TARGET_AVX2 inline __m256i fullCoverPairs(__m256i d, __m256i word) {
    return blendPairs(d, _mm256_sub_epi16(_mm256_set1_epi16(255), alphaLanes(word)), word);
}

// Straight colours (bytes r, g, b, a widened to lanes) at covers k onto destination lanes d:
// lanes C = (b, g, r, 255), e = M[a][k], out = M[d][255 - e] + M[C][e].
LUMO_TARGET_AVX2 inline __m256i coveredPairs(__m256i d, __m256i rgba, __m256i k) {
    const int bgra = _MM_SHUFFLE(3, 0, 1, 2);
    const __m256i c = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(rgba, bgra), bgra);
    const __m256i e = productLanes(alphaLanes(c), k);
    const __m256i lanes = _mm256_or_si256(c, _mm256_set1_epi64x(int64_t(uint64_t(255) << 48)));
    return blendPairs(d, _mm256_sub_epi16(_mm256_set1_epi16(255), e), productLanes(lanes, e));
}

// Eight table words selected by the bytes of a word, the first lowest: loaded one by one,
// which goes quicker than a gather instruction on the processors measured.
LUMO_TARGET_AVX2 inline __m256i gatherEight(const uint32_t* words, uint64_t indices) {
    const uint32_t lo = uint32_t(indices), hi = uint32_t(indices >> 32);
    return _mm256_setr_epi32(int(words[lo & 255]), int(words[(lo >> 8) & 255]),
                             int(words[(lo >> 16) & 255]), int(words[lo >> 24]),
                             int(words[hi & 255]), int(words[(hi >> 8) & 255]),
                             int(words[(hi >> 16) & 255]), int(words[hi >> 24]));
}

// Eight pixels at p, the colours the indices (the bytes of a word, the first lowest) select,
// covers the same way. Eight zero covers leave the pixels alone; eight full ones add the
// full-cover words (store them for an opaque table).
LUMO_TARGET_AVX2 inline void indexedEight(agg::int8u* p, const IndexedColours& colours,
                                          uint64_t indices, uint64_t covers) {
    if (covers == 0) return;
    const __m256i zero = _mm256_setzero_si256();
    __m256i* to = reinterpret_cast<__m256i*>(p);
    if (covers == ~uint64_t(0)) {
        const __m256i words = gatherEight(colours.fullCover, indices);
        if (colours.opaque) {
            _mm256_storeu_si256(to, words);
            return;
        }
        const __m256i d = _mm256_loadu_si256(to);
        const __m256i lo =
            fullCoverPairs(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(words, zero));
        const __m256i hi =
            fullCoverPairs(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(words, zero));
        _mm256_storeu_si256(to, _mm256_packus_epi16(lo, hi));
        return;
    }
    const __m256i rgba = gatherEight(reinterpret_cast<const uint32_t*>(colours.straight), indices);
    __m256i klo, khi;
    spreadEightCovers(covers, klo, khi);
    const __m256i d = _mm256_loadu_si256(to);
    const __m256i lo =
        coveredPairs(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(rgba, zero), klo);
    const __m256i hi =
        coveredPairs(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(rgba, zero), khi);
    _mm256_storeu_si256(to, _mm256_packus_epi16(lo, hi));
}

// The longest run of whole groups of eight of a span from its start; returns its length.
LUMO_TARGET_AVX2 inline unsigned indexedSpan(agg::int8u* p, unsigned len, const agg::int8u* indices,
                                             const agg::int8u* covers,
                                             const IndexedColours& colours) {
    unsigned i = 0;
    for (; i + 8 <= len; i += 8, p += 32) {
        uint64_t eight, cover;
        std::memcpy(&eight, indices + i, 8);
        std::memcpy(&cover, covers + i, 8);
        indexedEight(p, colours, eight, cover);
    }
    return i;
}

}  // namespace lumo::over::avx2

#endif
