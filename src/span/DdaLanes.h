#pragma once

#include "core/Simd.h"
#include "span/DdaSteps.h"

#if LUMO_SSE2

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
    // Lanes at the current position of `d` and the three after it. Only spans
    // of four pixels or more step this way: the positions the lanes reach lie
    // within the span, between its end values.
    explicit DdaLanes(DdaSteps d) : count_(_mm_set1_epi32(d.count)) {
        const int lift = d.lift, rem = d.rem, count = d.count;
        // Set from registers: lanes stored one by one and loaded whole would
        // stall the load.
        const int y0 = d.y, mod0 = d.mod;
        d.next();
        const int y1 = d.y, mod1 = d.mod;
        d.next();
        const int y2 = d.y, mod2 = d.mod;
        d.next();
        y_ = _mm_setr_epi32(y0, y1, y2, d.y);
        mod_ = _mm_setr_epi32(mod0, mod1, mod2, d.mod);
        // 4 rem is at most 4 count: q comes from four comparisons rather than
        // a division. In unsigned arithmetic: 4 lift wraps only for spans
        // shorter than four.
        const unsigned n = unsigned(count), fourRem = 4u * unsigned(rem);
        const unsigned q = unsigned(fourRem >= n) + unsigned(fourRem >= 2 * n) +
                           unsigned(fourRem >= 3 * n) + unsigned(fourRem >= 4 * n);
        lift_ = _mm_set1_epi32(int(4u * unsigned(lift) + q));
        rem_ = _mm_set1_epi32(int(fourRem - q * n));
    }

    __m128i values() const { return y_; }

    void next() {
        mod_ = _mm_add_epi32(mod_, rem_);
        y_ = _mm_add_epi32(y_, lift_);
        // All ones where the remainder carries: one more, and count less.
        const __m128i carry = _mm_cmpgt_epi32(mod_, _mm_setzero_si128());
        y_ = _mm_sub_epi32(y_, carry);
        mod_ = _mm_sub_epi32(mod_, _mm_and_si128(carry, count_));
    }

    // The scalar steps at lane 0's position, to go on one at a time.
    DdaSteps first(const DdaSteps& like) const {
        DdaSteps d = like;
        d.y = _mm_cvtsi128_si32(y_);
        d.mod = _mm_cvtsi128_si32(mod_);
        return d;
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
