#pragma once

#include <agg_image_accessors.h>

namespace lumo {

// The columns (or rows) of an image wrapped along one axis, for positions
// already reduced into one period: index i (0 <= i < period) shows pixel
// pixel(i), and the pixel after it is the one AGG's wrapping accessor steps
// to. The image repeats every `size` pixels.
class RepeatAxis {
public:
    explicit RepeatAxis(unsigned size) : size_(size) {}

    unsigned period() const { return size_; }
    unsigned pixel(unsigned i) const { return i; }
    // Pixel i and the one after it: the first column follows the last.
    void pair(unsigned i, unsigned& first, unsigned& second) const {
        first = i;
        second = i + 1 == size_ ? 0 : i + 1;
    }

private:
    unsigned size_;
};

// The image and its mirror image alternate, so the period is twice the size:
// indices from size on count back from the last pixel, and each edge pixel
// shows twice in a row.
class ReflectAxis {
public:
    explicit ReflectAxis(unsigned size) : size_(size), period_(2 * size) {}

    unsigned period() const { return period_; }
    unsigned pixel(unsigned i) const { return i < size_ ? i : period_ - 1 - i; }
    void pair(unsigned i, unsigned& first, unsigned& second) const {
        first = pixel(i);
        second = pixel(i + 1 == period_ ? 0 : i + 1);
    }

private:
    unsigned size_;
    unsigned period_;
};

// The axis that matches one of AGG's wrap modes.
template <class WrapMode>
struct WrapAxisOf;
template <>
struct WrapAxisOf<agg::wrap_mode_repeat> {
    using type = RepeatAxis;
};
template <>
struct WrapAxisOf<agg::wrap_mode_reflect> {
    using type = ReflectAxis;
};

}  // namespace lumo
