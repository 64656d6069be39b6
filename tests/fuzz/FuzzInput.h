#pragma once

#include "fuzz/FuzzValues.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumo::fuzz {

// Reads the values of a call sequence from fuzzer bytes. Every read succeeds:
// past the end of the input it reads zeros, so any prefix of an input is a
// shorter sequence of the same calls. SeedWriter writes the same encoding.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool done() const { return position_ >= size_; }

    uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }

    uint32_t u32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= uint32_t(byte()) << (8 * i);
        return value;
    }

    uint64_t u64() {
        const uint64_t low = u32();
        return low | uint64_t(u32()) << 32;
    }

    double rawDouble() {
        const uint64_t bits = u64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // A number: small, from the table, two bytes wide, or raw bits.
    int32_t number() {
        const int s = byte();
        if (s < smallLimit) return s - smallOffset;
        if (s < tableLimit) return interestingInts[(s - smallLimit) % interestingIntCount];
        if (s < wideLimit) return int32_t(wide()) - wideIntOffset;
        return int32_t(u32());
    }

    // A real number, selected the same way (two-byte reals are signed and
    // in steps of wideDoubleScale).
    double real() {
        const int s = byte();
        if (s < smallLimit) return s - smallOffset;
        if (s < tableLimit) return interestingDoubles[(s - smallLimit) % interestingDoubleCount];
        if (s < wideLimit) return int16_t(wide()) * wideDoubleScale;
        return rawDouble();
    }

    // A float: as real(), with raw bits of a float.
    float single() {
        const int s = byte();
        if (s < smallLimit) return float(s - smallOffset);
        if (s < tableLimit)
            return float(interestingDoubles[(s - smallLimit) % interestingDoubleCount]);
        if (s < wideLimit) return float(int16_t(wide()) * wideDoubleScale);
        return rawFloat();
    }

    uint16_t wide() {
        const int low = byte();
        return uint16_t(low | byte() << 8);
    }

    float rawFloat() {
        const uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

}  // namespace lumo::fuzz
