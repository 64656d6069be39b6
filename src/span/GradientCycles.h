#pragma once

#include "paint/GradientPaint.h"

#include <cstdint>

namespace lumo {

// The cycle rules as types, so that a span loop can be compiled for each:
// index(v) is the table index of a gradient position v (1/16 units, 4096 =
// one table length), v / 16 (rounded down) padded, repeated or reflected and
// always 0..255.
namespace cycle {

// Limited to the ends of the table.
struct Pad {
    static int index(int64_t v) {
        const int64_t c = v >> 4;
        return c < 0 ? 0 : c > 255 ? 255 : static_cast<int>(c);
    }
};

// Entries repeat every 256; below 0 the count is one behind: -1 .. -16 take
// entry 254, -4096 entry 255.
struct Repeat {
    static int index(int64_t v) {
        const int64_t c = v >> 4;
        return static_cast<int>((v < 0 ? c - 1 : c) & 255);
    }
};

// Up the table and back down every 512 entries, mirrored about 0.
struct Reflect {
    static int index(int64_t v) {
        const int64_t c = v >> 4;
        const int a = static_cast<int>((v < 0 ? -c : c) & 511);
        return a > 255 ? 511 - a : a;
    }
};

}  // namespace cycle

// The table index of a gradient position v under a cycle rule (see above).
inline int colourIndex(int64_t v, GradientCycle rule) {
    switch (rule) {
        case CYCLE_REPEAT:
            return cycle::Repeat::index(v);
        case CYCLE_REFLECT:
            return cycle::Reflect::index(v);
        default:
            return cycle::Pad::index(v);
    }
}

}  // namespace lumo
