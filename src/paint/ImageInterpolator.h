#pragma once

#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <cmath>

namespace lumo {

// Maps the pixels of a device span into image space for AGG's image span
// generators, in 24.8 fixed point like AGG's linear span interpolator. That
// interpolator keeps coordinates and their differences in ints, so a span
// goes to it only when both ends map to within 2^21 image pixels of the
// origin. Farther spans are stepped pixel by pixel in double precision with
// each coordinate limited to 2^22 pixels (NaN counts as the negative limit):
// there the image shows its edge or its wrapped tiles anyway.
class ImageInterpolator {
public:
    enum { subpixel_shift = 8, subpixel_scale = 1 << subpixel_shift };

    // `deviceToImage` must outlive the interpolator.
    explicit ImageInterpolator(const agg::trans_affine& deviceToImage)
        : transform_(deviceToImage), linear_(transform_) {}

    void begin(double x, double y, unsigned len) {
        double x1 = x, y1 = y, x2 = x + len, y2 = y;
        transform_.transform(&x1, &y1);
        transform_.transform(&x2, &y2);
        stepped_ =
            !(interpolatable(x1) && interpolatable(y1) && interpolatable(x2) && interpolatable(y2));
        if (!stepped_) {
            linear_.begin(x, y, len);
            return;
        }
        x_ = x1;
        y_ = y1;
        step_ = 0;
    }

    void operator++() {
        if (stepped_) {
            ++step_;
        } else {
            ++linear_;
        }
    }

    void coordinates(int* x, int* y) const {
        if (!stepped_) {
            linear_.coordinates(x, y);
            return;
        }
        // One device pixel to the right moves (sx, shy) in image space.
        *x = fixed(x_ + transform_.sx * step_);
        *y = fixed(y_ + transform_.shy * step_);
    }

private:
    static constexpr double interpolatedLimit = 2097152.0;  // 2^21 pixels
    static constexpr double limit = 4194304.0;              // 2^22 pixels

    static bool interpolatable(double v) { return std::fabs(v) <= interpolatedLimit; }
    static int fixed(double v) {
        if (!(v >= -limit)) v = -limit;
        if (v > limit) v = limit;
        return int(std::lround(v * subpixel_scale));
    }

    agg::trans_affine transform_;
    agg::span_interpolator_linear<agg::trans_affine> linear_;
    bool stepped_ = false;
    double x_ = 0;
    double y_ = 0;
    unsigned step_ = 0;
};

}  // namespace lumo
