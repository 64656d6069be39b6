#pragma once

#include "fuzz/FuzzValues.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <type_traits>
#include <vector>

namespace lumo::fuzz {

// Writes call sequences in the encoding CallPlayer reads, for seed inputs
// and regression cases that read as the calls they make.
class SeedWriter {
public:
    SeedWriter& call(Call c) {
        ++calls_;
        return byte(uint8_t(c));
    }
    int calls() const { return calls_; }

    SeedWriter& number(int32_t v) {
        if (v >= -smallOffset && v < smallLimit - smallOffset)
            return byte(uint8_t(v + smallOffset));
        if (v >= -wideIntOffset && v < 65536 - wideIntOffset) {
            const uint32_t wide = uint32_t(v + wideIntOffset);
            return byte(uint8_t(tableLimit)).byte(uint8_t(wide)).byte(uint8_t(wide >> 8));
        }
        byte(0xFF);
        return u32(uint32_t(v));
    }

    SeedWriter& real(double v) {
        const bool minusZero = v == 0 && std::signbit(v);  // only raw bits keep its sign
        if (whole(v, -smallOffset, smallLimit - smallOffset) && !minusZero) {
            return byte(uint8_t(int32_t(v) + smallOffset));
        }
        if (whole(v / wideDoubleScale, -32768, 32768) && !minusZero) {
            const uint16_t wide = uint16_t(int16_t(v / wideDoubleScale));
            return byte(uint8_t(tableLimit)).byte(uint8_t(wide)).byte(uint8_t(wide >> 8));
        }
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        byte(0xFF);
        u32(uint32_t(bits));
        return u32(uint32_t(bits >> 32));
    }

    // Floats are written as reals when exact, else as raw float bits.
    SeedWriter& single(float v) {
        if (whole(v, -smallOffset, smallLimit - smallOffset) ||
            whole(double(v) / wideDoubleScale, -32768, 32768)) {
            return real(v);
        }
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        byte(0xFF);
        return u32(bits);
    }

    SeedWriter& flag(bool on) { return byte(on ? 1 : 0); }

    // The index-th live handle of the kind the call wants.
    SeedWriter& handle(int index) { return byte(uint8_t(index)); }
    SeedWriter& special(SpecialHandle h) { return byte(h); }

    // Arrays: null, the length the call wants, or the given values.
    SeedWriter& nullArray() { return byte(uint8_t(literalLimit)); }
    template <class T>
    SeedWriter& expected(std::initializer_list<T> values) {
        byte(0);
        return elements(values);
    }
    template <class T>
    SeedWriter& values(std::initializer_list<T> values) {
        return values_(values.begin(), values.size());
    }
    template <class T>
    SeedWriter& values(const std::vector<T>& values) {
        return values_(values.data(), values.size());
    }
    // `length` pseudo-random elements from a seed.
    SeedWriter& pattern(uint16_t length, uint32_t seed) {
        byte(uint8_t(longLimit)).byte(uint8_t(length)).byte(uint8_t(length >> 8));
        byte(fillPattern);
        return u32(seed);
    }
    // `length` copies of one value.
    SeedWriter& repeat(uint16_t length, int32_t value) {
        byte(uint8_t(longLimit)).byte(uint8_t(length)).byte(uint8_t(length >> 8));
        byte(fillRepeat);
        return number(value);
    }

    SeedWriter& byte(uint8_t b) {
        bytes_.push_back(b);
        return *this;
    }

    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    // True for whole numbers from low up to, not including, high.
    static bool whole(double v, double low, double high) {
        return v >= low && v < high && std::trunc(v) == v;
    }

    SeedWriter& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) byte(uint8_t(v >> (8 * i)));
        return *this;
    }

    template <class T>
    SeedWriter& values_(const T* values, size_t n) {
        if (n < size_t(literalLimit - expectedLimit)) {
            byte(uint8_t(expectedLimit + n));
        } else {
            byte(uint8_t(longLimit)).byte(uint8_t(n)).byte(uint8_t(n >> 8));
        }
        byte(fillEach);
        for (size_t i = 0; i < n; ++i) element(values[i]);
        return *this;
    }

    template <class T>
    SeedWriter& elements(std::initializer_list<T> values) {
        byte(fillEach);
        for (const T& v : values) element(v);
        return *this;
    }

    template <class T>
    void element(T v) {
        if constexpr (std::is_floating_point_v<T>) {
            real(double(v));
        } else {
            number(int32_t(v));
        }
    }

    std::vector<uint8_t> bytes_;
    int calls_ = 0;
};

}  // namespace lumo::fuzz
