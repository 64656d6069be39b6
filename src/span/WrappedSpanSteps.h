#pragma once

#include "span/ImageSpanSteps.h"

#include <agg_trans_affine.h>

#include <cstdint>

#if defined(__GNUC__)
#define LUMO_STEP_INLINE inline __attribute__((always_inline))
#else
#define LUMO_STEP_INLINE inline
#endif

namespace lumo {

// The image positions of a device span (24.8 fixed point, as ImageSpanSteps
// gives them) reduced into one period of a wrapped image: 0 <= x() <
// 256 * periodX and likewise for y. Each position is reduced once, at the
// span's start; after that every step adds the slope, itself reduced into
// the period, and takes one period off when the sum leaves it. A wrapped
// image looks the same a whole number of periods away, so the pixels stay
// those of the unreduced positions, whatever the scale.
//
// Periods up to maxPeriod pixels keep twice a period in an int. Within them
// the reduction is also the one AGG's wrap modes make: they add a multiple
// of the period of about 2^30 before their unsigned remainder, which is a
// plain remainder for every position a 24.8 int can hold.
class WrappedSpanSteps {
public:
    static constexpr unsigned maxPeriod = 1u << 22;

    // `offset` (24.8) is added to every position first, as the bilinear
    // filter moves half a pixel back to the top left of its block.
    WrappedSpanSteps(const agg::trans_affine& deviceToImage, int x, int y, unsigned len,
                     unsigned periodX, unsigned periodY, int offset)
        : WrappedSpanSteps(ImageSpanSteps(deviceToImage, x, y, len), periodX, periodY, offset) {}

    // The same from the steps of the unreduced positions.
    WrappedSpanSteps(const ImageSpanSteps& steps, unsigned periodX, unsigned periodY, int offset) {
        x_ = Line(steps.xLine(), periodX, offset);
        y_ = Line(steps.yLine(), periodY, offset);
        constantY_ = steps.constantY();
    }

    int x() const { return x_.value; }
    int y() const { return y_.value; }

    // A position v (24.8) reduced into one period, as the constructor
    // reduces the start of a span.
    static int reduced(int v, unsigned period) { return int(Line::reduce(v, period)); }
    // Whether y stays the same along the whole span.
    bool constantY() const { return constantY_; }

    LUMO_STEP_INLINE void next() {
        x_.step();
        y_.step();
    }
    LUMO_STEP_INLINE void nextX() { x_.step(); }

    // One coordinate's steps: `value` in [0, limit), `whole` the slope
    // reduced into [0, limit), and the remainder carried as ImageSpanSteps
    // carries it.
    struct Line {
        Line() = default;
        // Inline, with the column lanes that take it (WrappedColumns.h): a
        // line returned through memory and copied on in wider loads would
        // leave the copy waiting for its fields' stores.
        LUMO_STEP_INLINE Line(const ImageSpanSteps::Line& line, unsigned period, int offset)
            : value(int(reduce(int64_t(line.value) + offset, period))),
              whole(int(reduce(line.whole, period))),
              remainder(line.remainder),
              carry(line.carry),
              count(line.count),
              limit(int(period) << 8) {}
        // The value stays below the limit and the reduced slope below it
        // too, so one subtraction brings any step back into the period.
        LUMO_STEP_INLINE void step() {
            carry += remainder;
            value += whole;
            if (carry > 0) {
                carry -= count;
                ++value;
            }
            if (value >= limit) value -= limit;
        }
        LUMO_STEP_INLINE static int64_t reduce(int64_t v, unsigned period) {
            const int64_t span = int64_t(period) << 8;
            // Positions a few periods in, and slopes below a period, the
            // common cases, without a division; small negative slopes (the
            // -1 of a constant position) by one addition; other positions
            // that fit 32 bits by a 32-bit division (span is at most 2^30).
            if (v >= 0 && v < 4 * span) {
                while (v >= span) v -= span;
                return v;
            }
            if (v < 0 && v >= -span) return v + span;
            if (v >= 0 && v <= int64_t(UINT32_MAX)) return int64_t(uint32_t(v) % uint32_t(span));
            const int64_t r = v % span;
            return r < 0 ? r + span : r;
        }
        int value = 0, whole = 0, remainder = 0, carry = 0, count = 1, limit = 256;
    };

    const Line& xLine() const { return x_; }

private:
    Line x_;
    Line y_;
    bool constantY_;
};

}  // namespace lumo

#undef LUMO_STEP_INLINE
