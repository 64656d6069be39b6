#pragma once

#include <agg_basics.h>
#include <agg_trans_affine.h>

#if defined(__GNUC__)
#define LUMO_STEP_INLINE inline __attribute__((always_inline))
#else
#define LUMO_STEP_INLINE inline
#endif

namespace lumo {

// The image positions of the pixel centres of a device span, in 24.8 fixed
// point: the same values, computed the same way, as AGG's linear span
// interpolator hands its image span generators. Both ends are transformed
// and rounded; the values between step from one to the other as AGG's
// forward-adjusted line interpolator (dda2_line_interpolator) spreads them.
// The steps are plain members so that the sampling loops keep them in
// registers.
class ImageSpanSteps {
public:
    ImageSpanSteps(const agg::trans_affine& deviceToImage, int x, int y, unsigned len) {
        const double startX = x + 0.5, startY = y + 0.5;
        double tx = startX, ty = startY;
        deviceToImage.transform(&tx, &ty);
        const int x1 = agg::iround(tx * scale);
        const int y1 = agg::iround(ty * scale);
        tx = startX + len;
        ty = startY;
        deviceToImage.transform(&tx, &ty);
        const int x2 = agg::iround(tx * scale);
        const int y2 = agg::iround(ty * scale);
        x_ = Line(x1, x2, int(len));
        y_ = Line(y1, y2, int(len));
        xEnd_ = x2;
        constantY_ = y1 == y2;
    }

    int x() const { return x_.value; }
    int y() const { return y_.value; }
    // The position one pixel past the span's end, where x() steps towards:
    // every x() of the span lies between the first one and this.
    int xEnd() const { return xEnd_; }
    // Whether y stays the same along the whole span (no rotation or shear).
    bool constantY() const { return constantY_; }

    LUMO_STEP_INLINE void next() {
        x_.step();
        y_.step();
    }
    // The next pixel, when y is constant.
    LUMO_STEP_INLINE void nextX() { x_.step(); }

    // From v1 to v2 in `count` steps: each step adds the whole part of the
    // slope and carries the remainder.
    struct Line {
        Line() = default;
        Line(int v1, int v2, int count) {
            const int n = count <= 0 ? 1 : count;
            whole = (v2 - v1) / n;
            remainder = (v2 - v1) % n;
            carry = remainder;
            value = v1;
            if (carry <= 0) {
                carry += count;
                remainder += count;
                --whole;
            }
            carry -= count;
            this->count = n;
        }
        LUMO_STEP_INLINE void step() {
            carry += remainder;
            value += whole;
            if (carry > 0) {
                carry -= count;
                ++value;
            }
        }
        int value = 0, whole = 0, remainder = 0, carry = 0, count = 1;
    };

    const Line& xLine() const { return x_; }
    const Line& yLine() const { return y_; }

private:
    static constexpr double scale = 256.0;

    Line x_;
    Line y_;
    int xEnd_;
    bool constantY_;
};

}  // namespace lumo

#undef LUMO_STEP_INLINE
