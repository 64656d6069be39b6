#pragma once

#include "core/Assert.h"

#include <agg_alpha_mask_u8.h>
#include <agg_rendering_buffer.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lumo {

class CoverageScratch;
struct ClipOutline;

// The coverage of a clip path, one byte per pixel over the clip box, for
// drawing that cannot intersect scan-lines (line-pattern outlines). A render
// target's coverage scratch keeps one and its drawing objects share it: it is rebuilt only when
// a state with a different clip path needs it, and its memory grows to the
// largest box asked for.
class ClipMask {
public:
    using Mask = agg::alpha_mask_u8<1, 0>;
    using cover_type = agg::int8u;

    // Makes the mask hold the clip path, unless it already does (rasterised
    // with the scratch's shape rasteriser). False when memory runs out or the
    // path cannot be rasterised.
    bool prepare(const ClipOutline& clip, CoverageScratch& scratch);

    // Mask values at device pixels; the callers stay within the clip box.
    cover_type pixel(int x, int y) const {
        LUMO_ASSERT(covers(x, y, 1, 1));
        return mask_.pixel(x - originX_, y - originY_);
    }
    cover_type combine_pixel(int x, int y, cover_type cover) const {
        LUMO_ASSERT(covers(x, y, 1, 1));
        return mask_.combine_pixel(x - originX_, y - originY_, cover);
    }
    void fill_hspan(int x, int y, cover_type* dst, int n) const {
        LUMO_ASSERT(covers(x, y, n, 1));
        mask_.fill_hspan(x - originX_, y - originY_, dst, n);
    }
    void combine_hspan(int x, int y, cover_type* dst, int n) const {
        LUMO_ASSERT(covers(x, y, n, 1));
        mask_.combine_hspan(x - originX_, y - originY_, dst, n);
    }
    void fill_vspan(int x, int y, cover_type* dst, int n) const {
        LUMO_ASSERT(covers(x, y, 1, n));
        mask_.fill_vspan(x - originX_, y - originY_, dst, n);
    }
    void combine_vspan(int x, int y, cover_type* dst, int n) const {
        LUMO_ASSERT(covers(x, y, 1, n));
        mask_.combine_vspan(x - originX_, y - originY_, dst, n);
    }

    // The clip path the mask was last built for (0: none).
    uint64_t serial() const { return serial_; }
    size_t capacity() const { return capacity_; }

private:
    // Whether the w x h pixels from (x, y) lie within the mask.
    bool covers(int x, int y, int w, int h) const {
        const int64_t left = int64_t(x) - originX_, top = int64_t(y) - originY_;
        return left >= 0 && top >= 0 && w >= 0 && h >= 0 && left + w <= rows_.width() &&
               top + h <= rows_.height();
    }

    std::unique_ptr<uint8_t[]> bytes_;
    size_t capacity_ = 0;
    uint64_t serial_ = 0;
    int originX_ = 0;
    int originY_ = 0;
    agg::rendering_buffer rows_;
    Mask mask_{rows_};
};

}  // namespace lumo
