#pragma once

#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

// Straight colours (bytes r, g, b, a) as the words of their premultiplied
// pixels (bytes b, g, r, a): M[b][a], M[g][a], M[r][a], a, M the multiply
// table. Each returns whether every alpha was 255. The SSE2 kernel takes
// four colours at a time; SimdKernelsTest compares it with the portable one.
namespace lumo::premultiplied {

inline bool portable(const agg::rgba8* colours, uint32_t* words, int count) {
    bool opaque = true;
    for (int i = 0; i < count; ++i) {
        const agg::rgba8& c = colours[i];
        words[i] = over::pack(over::product(c.b, c.a), over::product(c.g, c.a),
                              over::product(c.r, c.a), c.a);
        opaque = opaque && c.a == 255;
    }
    return opaque;
}

#if LUMO_SSE2

namespace detail {

// Two colours widened to lanes r, g, b, a: lanes b, g, r, a premultiplied.
inline __m128i pair(__m128i rgba) {
    const __m128i bgra = _mm_shufflehi_epi16(_mm_shufflelo_epi16(rgba, _MM_SHUFFLE(3, 0, 1, 2)),
                                             _MM_SHUFFLE(3, 0, 1, 2));
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(rgba, aaaa), aaaa);
    // The alpha lane is multiplied by 255, which keeps it.
    const __m128i scale = _mm_or_si128(alpha, _mm_setr_epi16(0, 0, 0, 255, 0, 0, 0, 255));
    return over::sse2::products(bgra, scale);
}

}  // namespace detail

inline bool sse2(const agg::rgba8* colours, uint32_t* words, int count) {
    const __m128i zero = _mm_setzero_si128();
    __m128i all = _mm_set1_epi8(char(0xFF));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i rgba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colours + i));
        all = _mm_and_si128(all, rgba);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(words + i),
                         _mm_packus_epi16(detail::pair(_mm_unpacklo_epi8(rgba, zero)),
                                          detail::pair(_mm_unpackhi_epi8(rgba, zero))));
    }
    const int alphaBytes = 0x8888;
    const bool opaque = (_mm_movemask_epi8(_mm_cmpeq_epi8(all, _mm_set1_epi8(char(0xFF)))) &
                         alphaBytes) == alphaBytes;
    return portable(colours + i, words + i, count - i) && opaque;
}

#endif

inline bool words(const agg::rgba8* colours, uint32_t* words, int count) {
#if LUMO_SSE2
    return sse2(colours, words, count);
#else
    return portable(colours, words, count);
#endif
}

}  // namespace lumo::premultiplied
