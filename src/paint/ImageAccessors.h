#pragma once

#include "paint/ImageRowSource.h"

#include <agg_color_rgba.h>
#include <agg_image_accessors.h>

namespace lumo {

// An image row source seen as the read-only pixel format AGG's wrapping
// accessors expect.
class RowSourcePixels {
public:
    using color_type = agg::rgba8;
    using order_type = agg::order_bgra;
    using value_type = agg::int8u;
    enum { pix_width = 4 };

    explicit RowSourcePixels(ImageRowSource& rows) : rows_(&rows) {}

    unsigned width() const { return unsigned(rows_->width()); }
    unsigned height() const { return unsigned(rows_->height()); }
    const agg::int8u* pix_ptr(int x, int y) const { return rows_->row(y) + x * pix_width; }

private:
    ImageRowSource* rows_;
};

// Reads pixel (x, y) with x and y limited to the image, so that its edge
// pixels continue without end.
class ClampAccessor {
public:
    using color_type = agg::rgba8;
    using order_type = agg::order_bgra;
    using value_type = agg::int8u;
    enum { pix_width = 4 };

    explicit ClampAccessor(RowSourcePixels& pixels)
        : pixels_(&pixels), lastX_(int(pixels.width()) - 1), lastY_(int(pixels.height()) - 1) {}

    const agg::int8u* span(int x, int y, unsigned) {
        x_ = x;
        y_ = y;
        row_ = pixels_->pix_ptr(0, clampY(y));
        return row_ + clampX(x) * pix_width;
    }
    const agg::int8u* next_x() { return row_ + clampX(++x_) * pix_width; }
    const agg::int8u* next_y() {
        row_ = pixels_->pix_ptr(0, clampY(++y_));
        return row_ + clampX(x_) * pix_width;
    }

    // The whole row y, limited to the image like single pixels.
    const agg::int8u* rowAt(int y) const { return pixels_->pix_ptr(0, clampY(y)); }
    int lastX() const { return lastX_; }

private:
    int clampX(int x) const { return x < 0 ? 0 : (x > lastX_ ? lastX_ : x); }
    int clampY(int y) const { return y < 0 ? 0 : (y > lastY_ ? lastY_ : y); }

    RowSourcePixels* pixels_;
    int lastX_;
    int lastY_;
    int x_ = 0;
    int y_ = 0;
    const agg::int8u* row_ = nullptr;
};

template <class WrapX, class WrapY>
using WrapAccessor = agg::image_accessor_wrap<RowSourcePixels, WrapX, WrapY>;

}  // namespace lumo
