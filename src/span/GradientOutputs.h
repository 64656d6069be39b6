#pragma once

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
    using Out = agg::rgba8;
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
    using Out = agg::int8u;
    agg::int8u* span;
    const agg::rgba8* table;  // unused

    void one(unsigned i, int index) const { span[i] = agg::int8u(index); }
    void four(unsigned i, uint32_t indices) const { std::memcpy(span + i, &indices, 4); }
    void four(unsigned i, int a, int b, int c, int d) const {
        four(i, uint32_t(a) | uint32_t(b) << 8 | uint32_t(c) << 16 | uint32_t(d) << 24);
    }
};

}  // namespace gradientOutput

}  // namespace lumo
