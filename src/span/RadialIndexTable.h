#pragma once

#include <cstdint>
#include <cstring>

namespace lumo {

// The colour-table index of a radial gradient straight from the sum of
// squares x^2 + y^2 (1/16 units, below 2^32), without the square root; the
// same for the square root of |x| |y|.
//
// AGG's table-driven root (gradient::tableSquareRoot) reads only the highest
// set bit e of its value and the ten bits from it down (all of a value below
// 2^10): it looks up those ten bits, or the top nine when e is even, and
// shifts by an amount that e fixes. Held in a double, the value's exponent is
// e and the first nine bits of its mantissa are the nine bits after the
// highest, so the double's top 32 bits shifted right by 11 give the root, and
// with it the cycled index, as a key: 0 for the value 0, 512 (e + 1) + the
// nine bits otherwise, below 33 * 512 for values below 2^32. A table per
// cycle rule holds the index for every key.
namespace radialIndex {

constexpr int keys = 33 * 512;

// The key of a whole number below 2^53 held exactly in a double.
inline int key(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    const int k = int(bits >> 43) - 1022 * 512;
    return k < 0 ? 0 : k;
}

// The table of a cycle rule (cycle::Pad, Repeat or Reflect), `keys` entries,
// built on first use.
template <class Cycle>
const uint8_t* table();

}  // namespace radialIndex

}  // namespace lumo
