#pragma once

#include "span/ImageRowSource.h"

#include <agg_color_rgba.h>
#include <agg_image_accessors.h>

#include <cstddef>
#include <cstdint>

namespace lumo {

// An image row source seen as the read-only pixel format AGG's wrapping
// accessors expect. Rows read in place are addressed directly.
class RowSourcePixels {
public:
    using color_type = agg::rgba8;
    using order_type = agg::order_bgra;
    using value_type = agg::int8u;
    enum { pix_width = 4 };

    explicit RowSourcePixels(ImageRowSource& rows)
        : rows_(&rows),
          top_(rows.inPlace() ? rows.inPlaceTop() : nullptr),
          step_(rows.inPlaceStep()) {}

    unsigned width() const { return unsigned(rows_->width()); }
    unsigned height() const { return unsigned(rows_->height()); }
    const agg::int8u* pix_ptr(int x, int y) const { return row(y) + x * pix_width; }

    // Row y, 0 <= y < height.
    const agg::int8u* row(int y) const {
        return top_ != nullptr ? top_ + ptrdiff_t(y) * step_ : rows_->row(y);
    }
    // The top row and the step between rows when rows are read in place
    // (no conversion); null otherwise.
    const agg::int8u* inPlaceTop() const { return top_; }
    ptrdiff_t inPlaceStep() const { return step_; }
    // Rows y and y + 1 (0 <= y, y + 1 < height), both readable until the
    // next row is asked for; false when they cannot be held together.
    bool rowPair(int y, const agg::int8u*& upper, const agg::int8u*& lower) const {
        if (top_ == nullptr) return rows_->rowPair(y, upper, lower);
        upper = top_ + ptrdiff_t(y) * step_;
        lower = upper + step_;
        return true;
    }
    // Any two rows y0 and y1 held at once; false when they cannot be.
    bool rowPair(int y0, int y1, const agg::int8u*& upper, const agg::int8u*& lower) const {
        if (top_ == nullptr) return rows_->rowPair(y0, y1, upper, lower);
        upper = top_ + ptrdiff_t(y0) * step_;
        lower = top_ + ptrdiff_t(y1) * step_;
        return true;
    }

    // Rows y to y + count - 1 (all within the image) held at once; false
    // when they cannot be.
    bool rowRun(int y, int count, const agg::int8u** rows) const {
        if (top_ == nullptr) return rows_->rowRun(y, count, rows);
        for (int i = 0; i < count; ++i) rows[i] = top_ + ptrdiff_t(y + i) * step_;
        return true;
    }

private:
    ImageRowSource* rows_;
    const agg::int8u* top_;
    ptrdiff_t step_;
};

// Reads pixel (x, y) with x and y limited to the image, so that its edge
// pixels continue without end. Runs that lie inside the image are walked
// with a plain pointer.
class ClampAccessor {
public:
    using color_type = agg::rgba8;
    using order_type = agg::order_bgra;
    using value_type = agg::int8u;
    enum { pix_width = 4 };

    explicit ClampAccessor(const RowSourcePixels& pixels)
        : pixels_(pixels), width_(int(pixels.width())), height_(int(pixels.height())) {}

    const agg::int8u* span(int x, int y, unsigned len) {
        x0_ = x_ = x;
        y_ = y;
        if (y >= 0 && y < height_ && x >= 0 && int64_t(x) + len <= width_) {
            return inside_ = pixels_.pix_ptr(x, y);
        }
        inside_ = nullptr;
        return clamped();
    }
    const agg::int8u* next_x() {
        if (inside_ != nullptr) return inside_ += pix_width;
        ++x_;
        return clamped();
    }
    // The next row, back at the column the span started at.
    const agg::int8u* next_y() {
        ++y_;
        x_ = x0_;
        if (inside_ != nullptr && y_ < height_) return inside_ = pixels_.pix_ptr(x_, y_);
        inside_ = nullptr;
        return clamped();
    }

    // The whole row y, limited to the image like single pixels.
    const agg::int8u* rowAt(int y) const { return pixels_.pix_ptr(0, clampY(y)); }
    int lastX() const { return width_ - 1; }

private:
    int clampX(int x) const { return x < 0 ? 0 : (x >= width_ ? width_ - 1 : x); }
    int clampY(int y) const { return y < 0 ? 0 : (y >= height_ ? height_ - 1 : y); }
    const agg::int8u* clamped() const { return pixels_.pix_ptr(clampX(x_), clampY(y_)); }

    RowSourcePixels pixels_;
    int width_;
    int height_;
    int x0_ = 0;
    int x_ = 0;
    int y_ = 0;
    const agg::int8u* inside_ = nullptr;
};

template <class WrapX, class WrapY>
using WrapAccessor = agg::image_accessor_wrap<RowSourcePixels, WrapX, WrapY>;

}  // namespace lumo
