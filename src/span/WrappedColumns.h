#pragma once

#include "core/Simd.h"
#include "span/WrapAxis.h"
#include "span/WrappedSpanSteps.h"

#include <cstdint>

#if defined(__GNUC__)
#define LUMO_COLUMNS_INLINE inline __attribute__((always_inline))
#else
#define LUMO_COLUMNS_INLINE inline
#endif

namespace lumo {

// The byte offsets in an image row of the pixels a span of a wrapped image
// picks by nearest neighbour: for each of `len` positions the reduced x line
// of WrappedSpanSteps steps through (24.8, in one period), 4 * axis.pixel(x
// >> 8). wrappedColumns::portable steps the line pixel by pixel; with SSE2,
// four lanes step four pixels at a time (the same values: see Lanes), which
// SimdKernelsTest compares with the portable form.
namespace wrappedColumns {

template <class Axis>
inline void portable(uint32_t* columns, WrappedSpanSteps::Line line, unsigned len,
                     const Axis& axis) {
    for (unsigned i = 0; i < len; ++i) {
        columns[i] = 4 * axis.pixel(unsigned(line.value) >> 8);
        line.step();
    }
}

#if LUMO_SSE2
// Four consecutive positions of a reduced line, one per lane, stepping four
// at a time. Four steps add 4 whole to the value and 4 remainder to the
// carry; with 4 remainder = q count + r (0 <= r < count) that is one step of
// (4 whole + q) reduced into the period, and r, after which the carry, in
// (-count, 0] before, carries once at most, as in a single step. The value
// stays below the limit and the reduced slope too, so one subtraction
// brings the sum back into the period (the limit is at most 2^30, the sum
// below 2^31).
class Lanes {
public:
    explicit Lanes(WrappedSpanSteps::Line line) {
        // Set from registers: four stores and a wide load of them would
        // stall the load.
        const int v0 = line.value, c0 = line.carry;
        line.step();
        const int v1 = line.value, c1 = line.carry;
        line.step();
        const int v2 = line.value, c2 = line.carry;
        line.step();
        value_ = _mm_setr_epi32(v0, v1, v2, line.value);
        carry_ = _mm_setr_epi32(c0, c1, c2, line.carry);
        // The remainder is at most the count, and the slope below the
        // limit: q and the reduction come from comparisons rather than
        // divisions.
        const int64_t fourRemainder = 4 * int64_t(line.remainder), n = line.count;
        const int64_t q = int64_t(fourRemainder >= n) + int64_t(fourRemainder >= 2 * n) +
                          int64_t(fourRemainder >= 3 * n) + int64_t(fourRemainder >= 4 * n);
        int64_t whole = 4 * int64_t(line.whole) + q;
        while (whole >= line.limit) whole -= line.limit;
        whole_ = _mm_set1_epi32(int(whole));
        remainder_ = _mm_set1_epi32(int(fourRemainder - q * n));
        count_ = _mm_set1_epi32(line.count);
        lastInPeriod_ = _mm_set1_epi32(line.limit - 1);
        limit_ = _mm_set1_epi32(line.limit);
    }

    __m128i values() const { return value_; }

    LUMO_COLUMNS_INLINE void next() {
        carry_ = _mm_add_epi32(carry_, remainder_);
        value_ = _mm_add_epi32(value_, whole_);
        // All ones where the carry passes 0: one more, and count less.
        const __m128i carried = _mm_cmpgt_epi32(carry_, _mm_setzero_si128());
        value_ = _mm_sub_epi32(value_, carried);
        carry_ = _mm_sub_epi32(carry_, _mm_and_si128(carried, count_));
        const __m128i past = _mm_cmpgt_epi32(value_, lastInPeriod_);
        value_ = _mm_sub_epi32(value_, _mm_and_si128(past, limit_));
    }

private:
    __m128i value_, carry_, whole_, remainder_, count_, lastInPeriod_, limit_;
};

// The pixels of four indices into the period, as the axes map them.
LUMO_COLUMNS_INLINE __m128i pixels(const RepeatAxis&, __m128i i) {
    return i;
}
LUMO_COLUMNS_INLINE __m128i pixels(const ReflectAxis& axis, __m128i i) {
    const __m128i size = _mm_set1_epi32(int(axis.period() / 2));
    const __m128i back = _mm_sub_epi32(_mm_set1_epi32(int(axis.period() - 1)), i);
    // All ones in the first half, which shows the image as it is.
    const __m128i front = _mm_cmpgt_epi32(size, i);
    return _mm_or_si128(_mm_and_si128(front, i), _mm_andnot_si128(front, back));
}

template <class Axis>
inline void sse2(uint32_t* columns, WrappedSpanSteps::Line line, unsigned len, const Axis& axis) {
    if (len < 8) return portable(columns, line, len, axis);
    Lanes lanes(line);
    unsigned i = 0;
    for (;; i += 4) {
        const __m128i offsets = _mm_slli_epi32(pixels(axis, _mm_srli_epi32(lanes.values(), 8)), 2);
        if (i + 4 > len) {
            alignas(16) uint32_t rest[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(rest), offsets);
            for (unsigned k = 0; i + k < len; ++k) columns[i + k] = rest[k];
            return;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(columns + i), offsets);
        lanes.next();
    }
}
#endif

}  // namespace wrappedColumns

template <class Axis>
inline void wrappedColumnsOf(uint32_t* columns, const WrappedSpanSteps::Line& line, unsigned len,
                             const Axis& axis) {
#if LUMO_SSE2
    wrappedColumns::sse2(columns, line, len, axis);
#else
    wrappedColumns::portable(columns, line, len, axis);
#endif
}

}  // namespace lumo

#undef LUMO_COLUMNS_INLINE
