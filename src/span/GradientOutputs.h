#pragma once

#include "blend/IndexedOverGroup.h"
#include "blend/IndexedOverSpans.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

#if defined(__GNUC__)
#define LUMO_OUTPUT_INLINE __attribute__((always_inline))
#else
#define LUMO_OUTPUT_INLINE
#endif

namespace lumo {

// Where the gradient span loop puts the table index of each pixel: the
// colour it selects (Colours), the index itself (Indices) or the colour blended into the
// pixels (Over), at position i of the span; four at a time as the bytes of a word, the first
// lowest, and the first `count` of four (the end of a span) the same way.
namespace gradientOutput {

struct Colours {
    agg::rgba8* span;
    const agg::rgba8* table;

    void one(unsigned i, int index) const {
        static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes");
        std::memcpy(span + i, table + index, 4);
    }
    void four(unsigned i, uint32_t indices) const {
        one(i, int(indices & 255));
        one(i + 1, int((indices >> 8) & 255));
        one(i + 2, int((indices >> 16) & 255));
        one(i + 3, int(indices >> 24));
    }
    void four(unsigned i, int a, int b, int c, int d) const {
        one(i, a);
        one(i + 1, b);
        one(i + 2, c);
        one(i + 3, d);
    }
    void some(unsigned i, unsigned count, uint32_t indices) const {
        for (unsigned n = 0; n < count; ++n) one(i + n, int((indices >> (8 * n)) & 255));
    }
};

struct Indices {
    agg::int8u* span;

    void one(unsigned i, int index) const { span[i] = agg::int8u(index); }
    void four(unsigned i, uint32_t indices) const { std::memcpy(span + i, &indices, 4); }
    void four(unsigned i, int a, int b, int c, int d) const {
        four(i, uint32_t(a) | uint32_t(b) << 8 | uint32_t(c) << 16 | uint32_t(d) << 24);
    }
    void some(unsigned i, unsigned count, uint32_t indices) const {
        for (unsigned n = 0; n < count; ++n) one(i + n, int((indices >> (8 * n)) & 255));
    }
};

// The colours source-over straight into a row of pixels (bytes b, g, r, a), a cover per
// pixel, as overIndexedSpan blends them: each block of four as its indices are worked out,
// without storing them (groups of four at full cover add the table's full-cover words, and
// store them for an opaque table).
struct Over {
    agg::int8u* pixels;
    const agg::int8u* covers;
    IndexedColours colours;

    void one(unsigned i, int index) const {
        overIndexedPixel(pixels + 4 * size_t(i), colours, unsigned(index), covers[i]);
    }
    LUMO_OUTPUT_INLINE void four(unsigned i, uint32_t indices) const {
        four(i, int(indices & 255), int((indices >> 8) & 255), int((indices >> 16) & 255),
             int(indices >> 24));
    }
    LUMO_OUTPUT_INLINE void four(unsigned i, int a, int b, int c, int d) const {
#if LUMO_SSE2
        uint32_t k;
        std::memcpy(&k, covers + i, 4);
        over::sse2::indexedFour(pixels + 4 * size_t(i), colours, unsigned(a), unsigned(b),
                                unsigned(c), unsigned(d), k);
#else
        one(i, a);
        one(i + 1, b);
        one(i + 2, c);
        one(i + 3, d);
#endif
    }
    LUMO_OUTPUT_INLINE void some(unsigned i, unsigned count, uint32_t indices) const {
#if LUMO_SSE2
        uint32_t k = 0;
        for (unsigned n = 0; n < count; ++n) k |= uint32_t(covers[i + n]) << (8 * n);
        over::sse2::indexedFirst(pixels + 4 * size_t(i), colours, count, indices, k);
#else
        for (unsigned n = 0; n < count; ++n) one(i + n, int((indices >> (8 * n)) & 255));
#endif
    }
};

}  // namespace gradientOutput

}  // namespace lumo
