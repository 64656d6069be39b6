#pragma once

#include <cstdint>

namespace lumo {

// Turns a pixel's accumulated coverage, (cover << 9) - area as a 32-bit sum
// that wraps like the rasteriser's int sums, into its alpha: the fill rule
// (non-zero: the magnitude, clamped; even-odd: folded every 512), then the
// gamma table. The table must map 0 to 0.
struct NonZeroAlpha {
    const int* gamma;
    unsigned operator()(uint32_t sum) const {
        int cover = int32_t(sum) >> 9;
        if (cover < 0) cover = -cover;
        if (cover > 255) cover = 255;
        return unsigned(gamma[cover]);
    }
};

struct EvenOddAlpha {
    const int* gamma;
    unsigned operator()(uint32_t sum) const {
        int cover = int32_t(sum) >> 9;
        if (cover < 0) cover = -cover;
        cover &= 511;
        if (cover > 256) cover = 512 - cover;
        if (cover > 255) cover = 255;
        return unsigned(gamma[cover]);
    }
};

}  // namespace lumo
