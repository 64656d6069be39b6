#pragma once

#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <agg_basics.h>

#include <cstdint>
#include <cstring>

namespace lumo::over {

// Source-over along a stretch of pixels that each have their own share word (bytes b, g, r, e
// as over::Run::word gives them: the effective alpha e and the colour's share at that
// pixel's cover): each pixel becomes M[d][255 - e] + share lane by lane, the same pixels as
// over::pixel at each pixel's cover. A zero word (e = 0) leaves its pixel as it is, so the
// words of a small shape's row can hold its pieces and the gaps between them in one
// stretch, set up once per kind of row with plain word stores. With SSE2 four pixels at a
// time, the keep lanes (255 - e) spread from the words themselves; applyWordsPortable is the
// portable twin, always built, which SimdKernelsTest compares with it.

inline void applyWordsPortable(agg::int8u* p, unsigned len, const uint32_t* words) {
    for (unsigned i = 0; i < len; ++i, p += 4) {
        agg::int8u s[4];
        std::memcpy(s, &words[i], 4);
        apply(p, s[3], s[0], s[1], s[2]);
    }
}

#if LUMO_SSE2
namespace sse2 {

// 255 - e in the four lanes of each of two pixels whose share words are unpacked in `share`.
inline __m128i keepOfShares(__m128i share) {
    const __m128i e = _mm_shufflehi_epi16(_mm_shufflelo_epi16(share, _MM_SHUFFLE(3, 3, 3, 3)),
                                          _MM_SHUFFLE(3, 3, 3, 3));
    return _mm_sub_epi16(_mm_set1_epi16(255), e);
}

// Two pixels (d, unpacked) blended with their two unpacked share words.
inline __m128i blendShares(__m128i d, __m128i share) {
    return blendPair(d, keepOfShares(share), share);
}

}  // namespace sse2

inline void applyWordsSse2(agg::int8u* p, unsigned len, const uint32_t* words) {
    const __m128i zero = _mm_setzero_si128();
    unsigned i = 0;
    for (; i + 4 <= len; i += 4, p += 16, words += 4) {
        const __m128i w = sse2::load(words);
        const __m128i d = sse2::load(p);
        sse2::storeGroup(p,
                         sse2::blendShares(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(w, zero)),
                         sse2::blendShares(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(w, zero)));
    }
    if (len - i >= 2) {
        const __m128i w = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(words));
        const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        const __m128i out =
            sse2::blendShares(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(w, zero));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(out, out));
        i += 2, p += 8, words += 2;
    }
    if (i < len) {
        uint32_t pixel;
        std::memcpy(&pixel, p, 4);
        const __m128i w = _mm_cvtsi32_si128(int(words[0]));
        const __m128i d = _mm_cvtsi32_si128(int(pixel));
        const __m128i out =
            sse2::blendShares(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(w, zero));
        store(p, uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out))));
    }
}
#endif

template <bool Simd = LUMO_SSE2 != 0>
inline void applyWords(agg::int8u* p, unsigned len, const uint32_t* words) {
#if LUMO_SSE2
    if (Simd) return applyWordsSse2(p, len, words);
#endif
    applyWordsPortable(p, len, words);
}

}  // namespace lumo::over
