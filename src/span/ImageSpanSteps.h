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
//
// The ends of the span in the image (SpanEnds) are worked out once, so that
// a caller that checks where they land before stepping (BoundedImageSpans)
// hands them on rather than transforming them again.
struct SpanEnds {
    // The centre of the span's first pixel and the point one pixel past
    // its last, mapped into the image.
    LUMO_STEP_INLINE SpanEnds(const agg::trans_affine& deviceToImage, int x, int y, unsigned len) {
        const double startX = x + 0.5, startY = y + 0.5;
        x1 = startX;
        y1 = startY;
        deviceToImage.transform(&x1, &y1);
        x2 = startX + len;
        y2 = startY;
        deviceToImage.transform(&x2, &y2);
    }
    double x1, y1, x2, y2;
};

class ImageSpanSteps {
public:
    ImageSpanSteps(const agg::trans_affine& deviceToImage, int x, int y, unsigned len)
        : ImageSpanSteps(SpanEnds(deviceToImage, x, y, len), len) {}

    LUMO_STEP_INLINE ImageSpanSteps(const SpanEnds& ends, unsigned len) {
        const int x1 = agg::iround(ends.x1 * scale);
        const int y1 = agg::iround(ends.y1 * scale);
        const int x2 = agg::iround(ends.x2 * scale);
        const int y2 = agg::iround(ends.y2 * scale);
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
        LUMO_STEP_INLINE Line(int v1, int v2, int count) {
            if (v1 == v2 && count > 0) {
                // A constant position (y without rotation or shear): what
                // the division below gives for no difference, without it.
                value = v1;
                whole = -1;
                remainder = count;
                carry = 0;
                this->count = count;
                return;
            }
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
