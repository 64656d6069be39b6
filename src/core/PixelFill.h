#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumo {

// Stores `value` into `count` pixels. A block of pixels is written with memset (a value
// whose four bytes are alike, transparent black among them) or by copying its first
// pixels forward with memcpy: the C library writes large blocks with string stores that
// do not read the cache lines they overwrite, which makes clearing a surface larger than
// the cache several times faster than a loop of vector stores.
inline void fillPixels(uint32_t* pixels, size_t count, uint32_t value) {
    const uint32_t byte = value & 0xffu;
    if (value == byte * 0x01010101u) {
        std::memset(pixels, int(byte), count * sizeof(uint32_t));
        return;
    }
    // Copies of at most this many pixels stay within the first-level cache.
    constexpr size_t kSeed = 64, kMaxCopy = 4096;
    const size_t seeded = std::min(count, kSeed);
    std::fill_n(pixels, seeded, value);
    for (size_t done = seeded; done < count;) {
        const size_t copy = std::min({done, count - done, kMaxCopy});
        std::memcpy(pixels + done, pixels, copy * sizeof(uint32_t));
        done += copy;
    }
}

}  // namespace lumo
