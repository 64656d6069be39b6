#pragma once

#include "blend/IndexedOverSpans.h"
#include "blend/OverSpansSse2.h"
#include "core/Simd.h"

#include <cstdint>
#include <cstring>

#if LUMO_SSE2

#if defined(__GNUC__)
#define LUMO_BLOCK_INLINE inline __attribute__((always_inline))
#else
#define LUMO_BLOCK_INLINE inline
#endif

// Source-over of four table colours, selected by four indices, onto four pixels, in SSE2 lanes:
// the blocks overIndexedSpan is made of, inline, so that a gradient span loop can blend each
// block of indices as it works them out instead of storing the indices first. The pixels are
// those of overIndexedPixel; SimdKernelsTest compares the spans built from these blocks with
// the portable span.
namespace lumo::over::sse2 {

// Four table words, pixel 0's lowest.
LUMO_BLOCK_INLINE __m128i gatherFour(const uint32_t* words, unsigned a, unsigned b, unsigned c,
                                     unsigned d) {
    return _mm_setr_epi32(int(words[a]), int(words[b]), int(words[c]), int(words[d]));
}

// Two pixels at full cover: M[d][255 - a] + the full-cover word's lanes.
LUMO_BLOCK_INLINE __m128i fullCoverPair(__m128i d, __m128i word) {
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(word, aaaa), aaaa);
    return blendPair(d, _mm_sub_epi16(_mm_set1_epi16(255), alpha), word);
}

// The straight colours a, b, c, d at the covers of a word, as blended onto destination lanes
// dlo (pixels 0-1) and dhi (2-3): the general form, right at every cover.
LUMO_BLOCK_INLINE void coveredFour(const IndexedColours& colours, unsigned a, unsigned b,
                                   unsigned c, unsigned d, uint32_t covers, __m128i& dlo,
                                   __m128i& dhi) {
    const __m128i zero = _mm_setzero_si128();
    const uint32_t* straight = reinterpret_cast<const uint32_t*>(colours.straight);
    const __m128i rgba = gatherFour(straight, a, b, c, d);
    __m128i klo, khi, alo, ahi;
    spreadCoverWord(covers, klo, khi);
    const __m128i clo = colourPairLanes<false>(_mm_unpacklo_epi8(rgba, zero), alo);
    const __m128i chi = colourPairLanes<false>(_mm_unpackhi_epi8(rgba, zero), ahi);
    dlo = blendCovered<false>(dlo, clo, alo, klo);
    dhi = blendCovered<false>(dhi, chi, ahi, khi);
}

// The same for the first two pixels alone (dlo), covers as the low bytes of a word: the lanes
// of pixels 0-1 of coveredFour.
LUMO_BLOCK_INLINE __m128i coveredTwo(const IndexedColours& colours, unsigned a, unsigned b,
                                     uint32_t covers, __m128i dlo) {
    const __m128i zero = _mm_setzero_si128();
    const uint32_t* straight = reinterpret_cast<const uint32_t*>(colours.straight);
    const __m128i rgba = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(straight[a])),
                                            _mm_cvtsi32_si128(int(straight[b])));
    const __m128i k = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(covers)), zero);
    const __m128i pairs = _mm_unpacklo_epi16(k, k);
    __m128i alo;
    const __m128i clo = colourPairLanes<false>(_mm_unpacklo_epi8(rgba, zero), alo);
    return blendCovered<false>(dlo, clo, alo, _mm_unpacklo_epi32(pairs, pairs));
}

// Four pixels at p, the colours the indices a, b, c, d select, covers as the bytes of a word.
// Four zero covers leave the pixels alone; four full ones add the full-cover words (store them
// for an opaque table).
LUMO_BLOCK_INLINE void indexedFour(agg::int8u* p, const IndexedColours& colours, unsigned a,
                                   unsigned b, unsigned c, unsigned d, uint32_t covers) {
    if (covers == 0) return;
    const __m128i zero = _mm_setzero_si128();
    if (covers == 0xFFFFFFFFu) {
        const __m128i words = gatherFour(colours.fullCover, a, b, c, d);
        if (colours.opaque) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), words);
            return;
        }
        const __m128i dst = load(p);
        storeGroup(p, fullCoverPair(_mm_unpacklo_epi8(dst, zero), _mm_unpacklo_epi8(words, zero)),
                   fullCoverPair(_mm_unpackhi_epi8(dst, zero), _mm_unpackhi_epi8(words, zero)));
        return;
    }
    const __m128i dst = load(p);
    __m128i lo = _mm_unpacklo_epi8(dst, zero), hi = _mm_unpackhi_epi8(dst, zero);
    coveredFour(colours, a, b, c, d, covers, lo, hi);
    storeGroup(p, lo, hi);
}

// The first `count` (1 to 3) pixels of such a block, reading and writing no pixel past them;
// `indices` and `covers` hold bytes for the first `count` pixels (the others are ignored).
LUMO_BLOCK_INLINE void indexedFirst(agg::int8u* p, const IndexedColours& colours, unsigned count,
                                    uint32_t indices, uint32_t covers) {
    // Pixels past the count take cover 0, which keeps them, and entry 0.
    const uint32_t kept = (1u << (8 * count)) - 1u;
    covers &= kept;
    indices &= kept;
    if (covers == 0) return;
    const __m128i zero = _mm_setzero_si128();
    uint32_t word;
    if (count <= 2) {
        // One or two pixels: the lanes of the first pair alone.
        __m128i d;
        if (count == 1) {
            std::memcpy(&word, p, 4);
            d = _mm_cvtsi32_si128(int(word));
        } else {
            d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        }
        const __m128i lo = coveredTwo(colours, indices & 255, (indices >> 8) & 255, covers,
                                      _mm_unpacklo_epi8(d, zero));
        const __m128i packed = _mm_packus_epi16(lo, lo);
        if (count == 1) {
            store(p, uint32_t(_mm_cvtsi128_si32(packed)));
        } else {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(p), packed);
        }
        return;
    }
    // Three pixels.
    __m128i lo = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
    std::memcpy(&word, p + 8, 4);
    __m128i hi = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(word)), zero);
    coveredFour(colours, indices & 255, (indices >> 8) & 255, (indices >> 16) & 255, indices >> 24,
                covers, lo, hi);
    const __m128i packed = _mm_packus_epi16(lo, hi);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), packed);
    store(p + 8, uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(packed, 8))));
}

}  // namespace lumo::over::sse2

#endif
