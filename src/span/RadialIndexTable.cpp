#include "span/RadialIndexTable.h"

#include "span/GradientCycles.h"
#include "span/GradientFunctions.h"

#include <array>

namespace lumo {

namespace radialIndex {

namespace {

// A value with the key k: its bits below the ten that count are 0. Keys of
// small exponents whose low mantissa bits are not 0 stand for no whole
// number; they get the index of the whole number below.
uint32_t valueOf(int k) {
    if (k == 0) return 0;
    const int e = k / 512 - 1;
    const uint32_t top = 512 + uint32_t(k % 512);
    return e >= 9 ? top << (e - 9) : top >> (9 - e);
}

template <class Cycle>
std::array<uint8_t, keys> build() {
    std::array<uint8_t, keys> entries{};
    for (int k = 0; k < keys; ++k) {
        entries[k] = uint8_t(Cycle::index(gradient::squareRoot(valueOf(k))));
    }
    return entries;
}

}  // namespace

template <class Cycle>
const uint8_t* table() {
    static const std::array<uint8_t, keys> entries = build<Cycle>();
    return entries.data();
}

template const uint8_t* table<cycle::Pad>();
template const uint8_t* table<cycle::Repeat>();
template const uint8_t* table<cycle::Reflect>();

}  // namespace radialIndex

}  // namespace lumo
