#pragma once

#include "blend/IndexedOverSpans.h"
#include "blend/SourceOver.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

namespace lumo {

// Where the gradient span loop puts the table index of each pixel: the
// colour it selects (Colours) or the index itself (Indices), at position i
// of the span; four at a time as the bytes of a word, the first lowest.
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
};

struct Indices {
    agg::int8u* span;

    void one(unsigned i, int index) const { span[i] = agg::int8u(index); }
    void four(unsigned i, uint32_t indices) const { std::memcpy(span + i, &indices, 4); }
    void four(unsigned i, int a, int b, int c, int d) const {
        four(i, uint32_t(a) | uint32_t(b) << 8 | uint32_t(c) << 16 | uint32_t(d) << 24);
    }
};

// The colours of an opaque table source-over straight into a row of pixels
// (bytes b, g, r, a), a cover per pixel: groups of four at full cover store
// the table's words (IndexedColours::fullCover, the pixels themselves), the
// others blend as overIndexedSpan does.
struct OpaqueOver {
    agg::int8u* pixels;
    const agg::int8u* covers;
    const IndexedColours* colours;

    void one(unsigned i, int index) const {
        overIndexedPixel(pixels + 4 * size_t(i), *colours, unsigned(index), covers[i]);
    }
    void four(unsigned i, uint32_t indices) const {
        four(i, int(indices & 255), int((indices >> 8) & 255), int((indices >> 16) & 255),
             int(indices >> 24));
    }
    void four(unsigned i, int a, int b, int c, int d) const {
        uint32_t k;
        std::memcpy(&k, covers + i, 4);
        agg::int8u* p = pixels + 4 * size_t(i);
        if (k == 0xFFFFFFFFu) {
            const uint32_t* words = colours->fullCover;
            const uint32_t four[4] = {words[a], words[b], words[c], words[d]};
            std::memcpy(p, four, 16);
            return;
        }
        if (k == 0) return;
        const agg::int8u bytes[4] = {agg::int8u(a), agg::int8u(b), agg::int8u(c), agg::int8u(d)};
        overIndexedSpan(p, 4, bytes, covers + i, *colours);
    }
};

}  // namespace gradientOutput

}  // namespace lumo
