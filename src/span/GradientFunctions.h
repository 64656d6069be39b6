#pragma once

#include "span/ConicAngle.h"

#include <agg_basics.h>
#include <agg_math.h>

#include <cmath>
#include <cstdint>

namespace lumo {

// The functions from a point of gradient space to a colour-table position.
// Coordinates and results are in 1/16 units: 4096 is the end of the table.
// Callers keep |x| and |y| below 2^30, so no product overflows.
namespace gradient {

// AGG's table-driven square root, agg::fast_sqrt, value for value, with the
// highest set bit found by one instruction rather than a cascade of byte
// table look-ups.
inline unsigned tableSquareRoot(unsigned value) {
#if defined(__GNUC__)
    // 0 and 1 both have their highest bit at 0 as far as the table goes.
    int bit = 31 - __builtin_clz(value | 1u) - 9;
    unsigned shift = 11;
    if (bit > 0) {
        bit = (bit >> 1) + (bit & 1);
        shift -= bit;
        value >>= bit << 1;
    }
    return agg::g_sqrt_table[value] >> shift;
#else
    return agg::fast_sqrt(value);
#endif
}

// An integer square root: AGG's table-driven approximation while the value
// fits 32 bits, the exact root (rounded down) beyond. Inline: it runs for
// every pixel of a radial gradient.
inline int64_t squareRoot(int64_t value) {
    if (value <= int64_t(UINT32_MAX)) return tableSquareRoot(static_cast<unsigned>(value));
    return static_cast<int64_t>(std::sqrt(static_cast<double>(value)));
}

struct Linear {
    int64_t operator()(int64_t x, int64_t) const { return x; }
};

struct Radial {
    int64_t operator()(int64_t x, int64_t y) const { return squareRoot(x * x + y * y); }
};

struct Diamond {
    int64_t operator()(int64_t x, int64_t y) const {
        const int64_t ax = x < 0 ? -x : x;
        const int64_t ay = y < 0 ? -y : y;
        return ax > ay ? ax : ay;
    }
};

// The angle from the positive x axis, either way round: 0 to pi spans the table.
// The value of the atan2 form without atan2 (ConicAngle.h).
struct Conic {
    int64_t operator()(int64_t x, int64_t y) const { return conicAngle(x, y); }
};

struct Xy {
    int64_t operator()(int64_t x, int64_t y) const {
        return (x < 0 ? -x : x) * (y < 0 ? -y : y) / 4096;
    }
};

struct SqrtXy {
    int64_t operator()(int64_t x, int64_t y) const {
        return squareRoot((x < 0 ? -x : x) * (y < 0 ? -y : y));
    }
};

}  // namespace gradient

}  // namespace lumo
