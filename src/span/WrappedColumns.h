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
// eight lanes step eight pixels at a time (the same values: see Lanes), which
// SimdKernelsTest compares with the portable form.
namespace wrappedColumns {

// One step of the line as Line::step takes it, without branches: whether a
// step carries, or leaves the period, changes from span to span in no
// pattern the predictor learns.
LUMO_COLUMNS_INLINE void flatStep(WrappedSpanSteps::Line& line) {
    line.carry += line.remainder;
    line.value += line.whole;
    const int carried = -int(line.carry > 0);
    line.carry -= line.count & carried;
    line.value -= carried;
    line.value -= line.limit & -int(line.value >= line.limit);
}

template <class Axis>
inline void portable(uint32_t* columns, WrappedSpanSteps::Line line, unsigned len,
                     const Axis& axis) {
    for (unsigned i = 0; i < len; ++i) {
        columns[i] = 4 * axis.pixel(unsigned(line.value) >> 8);
        flatStep(line);
    }
}

#if LUMO_SSE2
// Eight consecutive positions of a reduced line, in two registers of four
// lanes, stepping eight at a time: two chains of steps that do not wait for
// each other. Eight steps add 8 whole to the value and 8 remainder to the
// carry; with 8 remainder = q count + r (0 <= r < count) that is one step of
// (8 whole + q) reduced into the period, and r, after which the carry, in
// (-count, 0] before, carries once at most, as in a single step. The value
// stays below the limit and the reduced slope too, so one subtraction
// brings the sum back into the period (the limit is at most 2^30, the sum
// below 2^31).
class Lanes {
public:
    explicit Lanes(WrappedSpanSteps::Line line) {
        // Set from registers: stores and a wide load of them would stall
        // the load.
        int v[8], c[8];
        for (int k = 0; k < 8; ++k) {
            v[k] = line.value;
            c[k] = line.carry;
            flatStep(line);
        }
        low_ = _mm_setr_epi32(v[0], v[1], v[2], v[3]);
        high_ = _mm_setr_epi32(v[4], v[5], v[6], v[7]);
        lowCarry_ = _mm_setr_epi32(c[0], c[1], c[2], c[3]);
        highCarry_ = _mm_setr_epi32(c[4], c[5], c[6], c[7]);
        // The remainder is at most the count, and the slope below the
        // limit: q and the reduction come from comparisons rather than
        // divisions.
        const int64_t eightRemainder = 8 * int64_t(line.remainder), n = line.count;
        int64_t q = 0;
        for (int k = 1; k <= 8; ++k) q += int64_t(eightRemainder >= k * n);
        int64_t whole = 8 * int64_t(line.whole) + q;
        while (whole >= line.limit) whole -= line.limit;
        whole_ = _mm_set1_epi32(int(whole));
        remainder_ = _mm_set1_epi32(int(eightRemainder - q * n));
        count_ = _mm_set1_epi32(line.count);
        lastInPeriod_ = _mm_set1_epi32(line.limit - 1);
        limit_ = _mm_set1_epi32(line.limit);
    }

    // Positions 0 to 3 and 4 to 7 from here.
    __m128i low() const { return low_; }
    __m128i high() const { return high_; }

    LUMO_COLUMNS_INLINE void next() {
        step(low_, lowCarry_);
        step(high_, highCarry_);
    }

private:
    LUMO_COLUMNS_INLINE void step(__m128i& value, __m128i& carry) const {
        carry = _mm_add_epi32(carry, remainder_);
        value = _mm_add_epi32(value, whole_);
        // All ones where the carry passes 0: one more, and count less.
        const __m128i carried = _mm_cmpgt_epi32(carry, _mm_setzero_si128());
        value = _mm_sub_epi32(value, carried);
        carry = _mm_sub_epi32(carry, _mm_and_si128(carried, count_));
        const __m128i past = _mm_cmpgt_epi32(value, lastInPeriod_);
        value = _mm_sub_epi32(value, _mm_and_si128(past, limit_));
    }

    __m128i low_, high_, lowCarry_, highCarry_;
    __m128i whole_, remainder_, count_, lastInPeriod_, limit_;
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
LUMO_COLUMNS_INLINE __m128i offsets(const Axis& axis, __m128i positions) {
    return _mm_slli_epi32(pixels(axis, _mm_srli_epi32(positions, 8)), 2);
}

template <class Axis>
LUMO_COLUMNS_INLINE void sse2(uint32_t* columns, WrappedSpanSteps::Line line, unsigned len,
                              const Axis& axis) {
    if (len < 12) return portable(columns, line, len, axis);
    Lanes lanes(line);
    unsigned i = 0;
    for (; i + 8 <= len; i += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(columns + i), offsets(axis, lanes.low()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(columns + i + 4), offsets(axis, lanes.high()));
        lanes.next();
    }
    if (i == len) return;
    alignas(16) uint32_t rest[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(rest), offsets(axis, lanes.low()));
    _mm_store_si128(reinterpret_cast<__m128i*>(rest + 4), offsets(axis, lanes.high()));
    for (unsigned k = 0; i + k < len; ++k) columns[i + k] = rest[k];
}
#endif

// Whether a span of `len` pixels whose x line runs from v1 to v2 (24.8,
// unreduced, as ImageSpanSteps takes its ends) is short enough for
// shortSpan: at most 16 pixels, moving at most one period (limit, 24.8)
// and less than 2^19 (2^11 image pixels) in all.
inline bool fitsShort(int v1, int v2, unsigned len, int limit) {
    const int64_t d = int64_t(v2) - v1;
    const int64_t reach = d < 0 ? -d : d;
    return len - 1 < 16 && reach <= limit && reach < (int64_t(1) << 19);
}

#if LUMO_SSE2
// The columns of a span that fitsShort, from its unreduced ends and its
// start reduced into the period, without stepping: what portable gives for
// the reduced line, in closed form, for 8 or 16 lanes at once (`columns`
// has room for 16; entries past len are left undefined).
//
// The line steps as AGG's forward-adjusted DDA: with d = v2 - v1 and n =
// len, the remainder r = d mod n taken in [1, n] and the whole part w = (d
// - r) / n, k steps carry ceil((k + 1) r / n) - 1 times, so position k is
// v1 + k w + ceil((k + 1) r / n) - 1 = v1 + floor((k d + r - 1) / n). Here
// |k d + r - 1| < 2^23: the numerator and n are exact floats, and a
// quotient a / n of such integers that is not whole lies at least 1 / n
// from the next whole number, farther than the division's rounding error
// (at most |a / n| 2^-24), so the floor of the rounded quotient is the
// floor of the exact one. The position moves at most one period from the
// reduced start, so one correction brings it back into the period.
template <class Axis>
LUMO_COLUMNS_INLINE void shortSpan(uint32_t* columns, int start, int v1, int v2, unsigned len,
                                   int limit, const Axis& axis) {
    const int d = v2 - v1, n = int(len);
    int r = d % n;
    if (r <= 0) r += n;
    const __m128 count = _mm_set1_ps(float(n));
    const __m128i first = _mm_set1_epi32(start);
    const __m128i period = _mm_set1_epi32(limit);
    const __m128i lastInPeriod = _mm_set1_epi32(limit - 1);
    const __m128i fourSteps = _mm_set1_epi32(4 * d);
    // k d + r - 1 for lanes k = 0 to 3.
    __m128i numerator = _mm_setr_epi32(r - 1, d + r - 1, 2 * d + r - 1, 3 * d + r - 1);
    const unsigned groups = len > 8 ? 4 : 2;
    for (unsigned g = 0; g < groups; ++g) {
        const __m128 quotient = _mm_div_ps(_mm_cvtepi32_ps(numerator), count);
        // Truncated towards zero, one less where that rounded a negative
        // quotient up.
        __m128i steps = _mm_cvttps_epi32(quotient);
        steps =
            _mm_add_epi32(steps, _mm_castps_si128(_mm_cmpgt_ps(_mm_cvtepi32_ps(steps), quotient)));
        __m128i v = _mm_add_epi32(first, steps);
        v = _mm_sub_epi32(v, _mm_and_si128(_mm_cmpgt_epi32(v, lastInPeriod), period));
        v = _mm_add_epi32(v, _mm_and_si128(_mm_cmplt_epi32(v, _mm_setzero_si128()), period));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(columns + 4 * g), offsets(axis, v));
        numerator = _mm_add_epi32(numerator, fourSteps);
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

// The columns of a span that fitsShort (see wrappedColumns::shortSpan;
// `columns` has room for 16), `start` being v1 reduced into the period.
template <class Axis>
inline void wrappedShortColumnsOf(uint32_t* columns, int start, int v1, int v2, unsigned len,
                                  const Axis& axis) {
#if LUMO_SSE2
    wrappedColumns::shortSpan(columns, start, v1, v2, len, int(axis.period() << 8), axis);
#else
    (void)start;
    const ImageSpanSteps::Line line(v1, v2, int(len));
    wrappedColumns::portable(columns, WrappedSpanSteps::Line(line, axis.period(), 0), len, axis);
#endif
}

}  // namespace lumo

#undef LUMO_COLUMNS_INLINE
