#pragma once

#include "core/RedBlueSwap.h"
#include "core/Simd.h"
#include "span/NearestSpans.h"
#include "span/RowColumns.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

namespace lumo {

// The colours of pixels picked from one image row: span[i] is the pixel (bytes
// b, g, r, a) at byte offset columns[i] of `row`, as copyPixel gives it. With
// SSE2, four pixels are gathered into one register and their red and blue
// bytes swapped together; column::portable has the same gather pixel by pixel,
// always built, which SimdKernelsTest compares it with.
namespace column {

inline void portable(agg::rgba8* span, const agg::int8u* row, const uint32_t* columns,
                     unsigned len) {
    for (unsigned i = 0; i < len; ++i) copyPixel(span + i, row + columns[i]);
}

#if LUMO_SSE2
inline void sse2(agg::rgba8* span, const agg::int8u* row, const uint32_t* columns, unsigned len) {
    static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes r, g, b, a");
    unsigned i = 0;
    for (; i + 4 <= len; i += 4) {
        int w[4];
        for (int k = 0; k < 4; ++k) std::memcpy(&w[k], row + columns[i + k], 4);
        const __m128i v = _mm_setr_epi32(w[0], w[1], w[2], w[3]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(span + i), lumo::sse2::swapRedBlue(v));
    }
    portable(span + i, row, columns + i, len - i);
}
#endif

}  // namespace column

inline void gatherColumns(agg::rgba8* span, const agg::int8u* row, const uint32_t* columns,
                          unsigned len) {
#if LUMO_SSE2
    column::sse2(span, row, columns, len);
#else
    column::portable(span, row, columns, len);
#endif
}

}  // namespace lumo
