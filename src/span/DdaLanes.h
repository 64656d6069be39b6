#pragma once

#include "core/Simd.h"
#include "span/DdaSteps.h"

#if LUMO_SSE2

#if defined(__GNUC__)
#define LUMO_DDA_INLINE inline __attribute__((always_inline))
#else
#define LUMO_DDA_INLINE inline
#endif

namespace lumo {

// Four consecutive values of a DdaSteps sequence, one per SSE2 lane, that
// step four places at a time: lane k holds the values at positions k, k + 4,
// k + 8 and so on, the same integers the scalar steps give there.
//
// Four steps of the scalar form add 4 lift and 4 rem to the remainder; with
// 4 rem = q count + r (0 <= r < count), that is a step of lift' = 4 lift + q
// and rem' = r. The accumulated remainder stays in (-count, 0] before a step
// and below count after it, so one carry at most follows each step, as in
// the scalar form.
class DdaLanes {
public:
    // Lanes at the current position of `d` and the three after it. Lanes at
    // positions within the count hold the scalar steps' values; past it the
    // sequence goes on, and its values may wrap around.
    //
    // Set without stepping: k steps from mod add k rem to it, and each time
    // it rises above 0 the value carries one and mod drops by count. With
    // mod in (-count, 0] and rem at most count, mod + k rem (k < 4) is at
    // most 3 count, so the carries number how many of 0, count and 2 count
    // it exceeds; lane k is y + k lift + those carries.
    LUMO_DDA_INLINE explicit DdaLanes(const DdaSteps& d) : count_(_mm_set1_epi32(d.count)) {
        // In unsigned arithmetic: the lanes' values wrap as the scalar ones
        // would if they did; 4 lift wraps only for spans shorter than four.
        const unsigned lift = unsigned(d.lift), rem = unsigned(d.rem), n = unsigned(d.count);
        const __m128i reached = _mm_add_epi32(
            _mm_set1_epi32(d.mod), _mm_setr_epi32(0, int(rem), int(2 * rem), int(3 * rem)));
        // All ones for each of 0, count and 2 count that `reached` exceeds.
        const __m128i above0 = _mm_cmpgt_epi32(reached, _mm_setzero_si128());
        const __m128i above1 = _mm_cmpgt_epi32(reached, count_);
        const __m128i above2 = _mm_cmpgt_epi32(reached, _mm_add_epi32(count_, count_));
        const __m128i carries = _mm_sub_epi32(_mm_sub_epi32(_mm_setzero_si128(), above0),
                                              _mm_add_epi32(above1, above2));
        y_ = _mm_add_epi32(_mm_add_epi32(_mm_set1_epi32(d.y), carries),
                           _mm_setr_epi32(0, int(lift), int(2 * lift), int(3 * lift)));
        mod_ = _mm_sub_epi32(reached, _mm_and_si128(above0, count_));
        mod_ = _mm_sub_epi32(mod_, _mm_and_si128(above1, count_));
        mod_ = _mm_sub_epi32(mod_, _mm_and_si128(above2, count_));
        // 4 rem is at most 4 count: q comes from four comparisons rather than
        // a division.
        const unsigned fourRem = 4u * rem;
        const unsigned q = unsigned(fourRem >= n) + unsigned(fourRem >= 2 * n) +
                           unsigned(fourRem >= 3 * n) + unsigned(fourRem >= 4 * n);
        lift_ = _mm_set1_epi32(int(4u * lift + q));
        rem_ = _mm_set1_epi32(int(fourRem - q * n));
    }

    __m128i values() const { return y_; }
    // The accumulated remainders of the lanes, in (-count, 0].
    __m128i remainders() const { return mod_; }
    // The step of four places, the same in every lane: whole part and remainder (below count).
    int fourLift() const { return _mm_cvtsi128_si32(lift_); }
    int fourRem() const { return _mm_cvtsi128_si32(rem_); }

    LUMO_DDA_INLINE void next() {
        mod_ = _mm_add_epi32(mod_, rem_);
        y_ = _mm_add_epi32(y_, lift_);
        // All ones where the remainder carries: one more, and count less.
        const __m128i carry = _mm_cmpgt_epi32(mod_, _mm_setzero_si128());
        y_ = _mm_sub_epi32(y_, carry);
        mod_ = _mm_sub_epi32(mod_, _mm_and_si128(carry, count_));
    }

private:
    __m128i y_;
    __m128i mod_;
    __m128i lift_;
    __m128i rem_;
    __m128i count_;
};

}  // namespace lumo

#endif
