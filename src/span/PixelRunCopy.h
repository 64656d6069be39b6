#pragma once

#include "core/RedBlueSwap.h"
#include "core/Simd.h"
#include "span/NearestSpans.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

namespace lumo {

// A run of `n` neighbouring pixels (bytes b, g, r, a) from `p` to colours, as
// copyPixel gives them one by one. With SSE2, four pixels per register with
// their red and blue bytes swapped together; pixelRun::portable, always built,
// is what SimdKernelsTest compares it with.
namespace pixelRun {

inline void portable(agg::rgba8* out, const agg::int8u* p, unsigned n) {
    for (unsigned i = 0; i < n; ++i, p += 4) copyPixel(out + i, p);
}

#if LUMO_SSE2
inline void sse2(agg::rgba8* out, const agg::int8u* p, unsigned n) {
    static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes r, g, b, a");
    unsigned i = 0;
    for (; i + 4 <= n; i += 4, p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), lumo::sse2::swapRedBlue(v));
    }
    portable(out + i, p, n - i);
}
#endif

}  // namespace pixelRun

inline void copyPixelRun(agg::rgba8* out, const agg::int8u* p, unsigned n) {
#if LUMO_SSE2
    pixelRun::sse2(out, p, n);
#else
    pixelRun::portable(out, p, n);
#endif
}

}  // namespace lumo
