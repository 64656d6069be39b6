#pragma once

#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <agg_basics.h>

#include <cstdint>
#include <cstring>

namespace lumo::over {

// Source-over along a stretch of pixels that each have their own effective alpha e and share
// (the edge cells and runs of one stretch of a rectangle's rows), written out once as 16-bit
// lanes: per pixel, keep = 255 - e in four lanes and the share (b, g, r, e) in four more. Each
// row then blends as M[d][keep] + share lane by lane, four pixels at a time with SSE2: the
// same pixels as over::pixel at each pixel's cover. At e = 255 keep is 0 and the share is the
// opaque colour, stored as it is; no pixel has e = 0. applyLanesPortable is the portable twin,
// always built, which SimdKernelsTest compares with it.

// The lanes of one pixel from its share word (bytes b, g, r, e).
inline void setLanes(uint16_t* keep, uint16_t* share, uint32_t shareWord) {
    agg::int8u s[4];
    std::memcpy(s, &shareWord, 4);
    for (int i = 0; i < 4; ++i) {
        keep[i] = uint16_t(255 - s[3]);
        share[i] = s[i];
    }
}

inline void applyLanesPortable(agg::int8u* p, unsigned len, const uint16_t* keep,
                               const uint16_t* share) {
    for (unsigned i = 0; i < len; ++i, p += 4, keep += 4, share += 4) {
        for (int c = 0; c < 4; ++c) p[c] = agg::int8u(product(p[c], keep[c]) + share[c]);
    }
}

#if LUMO_SSE2
inline void applyLanesSse2(agg::int8u* p, unsigned len, const uint16_t* keep,
                           const uint16_t* share) {
    const __m128i zero = _mm_setzero_si128();
    unsigned i = 0;
    for (; i + 4 <= len; i += 4, p += 16, keep += 16, share += 16) {
        const __m128i d = sse2::load(p);
        sse2::storeGroup(
            p, sse2::blendPair(_mm_unpacklo_epi8(d, zero), sse2::load(keep), sse2::load(share)),
            sse2::blendPair(_mm_unpackhi_epi8(d, zero), sse2::load(keep + 8),
                            sse2::load(share + 8)));
    }
    if (len - i >= 2) {
        const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        const __m128i out =
            sse2::blendPair(_mm_unpacklo_epi8(d, zero), sse2::load(keep), sse2::load(share));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(out, out));
        i += 2, p += 8, keep += 8, share += 8;
    }
    if (i < len) {
        uint32_t word;
        std::memcpy(&word, p, 4);
        const __m128i d = _mm_cvtsi32_si128(int(word));
        const __m128i k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(keep));
        const __m128i s = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(share));
        const __m128i out = sse2::blendPair(_mm_unpacklo_epi8(d, zero), k, s);
        store(p, uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out))));
    }
}
#endif

template <bool Simd = LUMO_SSE2 != 0>
inline void applyLanes(agg::int8u* p, unsigned len, const uint16_t* keep, const uint16_t* share) {
#if LUMO_SSE2
    if (Simd) return applyLanesSse2(p, len, keep, share);
#endif
    applyLanesPortable(p, len, keep, share);
}

}  // namespace lumo::over
