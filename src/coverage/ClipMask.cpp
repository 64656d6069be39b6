#include "coverage/ClipMask.h"

#include "coverage/ClippedCoverage.h"
#include "coverage/CoverageScratch.h"

#include <agg_conv_transform.h>
#include <agg_pixfmt_gray.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>

#include <cmath>
#include <cstring>
#include <new>

namespace lumo {

bool ClipMask::prepare(const ClipOutline& clip, CoverageScratch& scratch) {
    if (serial_ != 0 && serial_ == clip.serial) return true;
    serial_ = 0;

    // The clip box is cut to the target, so the mask is at most the target's
    // size plus one column and row.
    const agg::rect_d& box = clip.box;
    const int left = int(std::floor(box.x1));
    const int top = int(std::floor(box.y1));
    const int width = int(std::ceil(box.x2)) - left + 1;
    const int height = int(std::ceil(box.y2)) - top + 1;
    if (width <= 0 || height <= 0) return false;
    const size_t bytes = size_t(width) * size_t(height);
    if (bytes > capacity_) {
        bytes_.reset(new (std::nothrow) uint8_t[bytes]);
        capacity_ = bytes_ ? bytes : 0;
        if (!bytes_) return false;
    }
    std::memset(bytes_.get(), 0, bytes);
    rows_.attach(bytes_.get(), unsigned(width), unsigned(height), width);
    originX_ = left;
    originY_ = top;

    // Each mask byte is the clip path's coverage of its pixel.
    Rasterizer& rasterizer = scratch.rasterizerForShape();
    const agg::rect_d maskBox(0, 0, width - 1, height - 1);
    rasterizer.clip_box(maskBox.x1, maskBox.y1, maskBox.x2, maskBox.y2);
    rasterizer.filling_rule(clip.fillRule);
    agg::trans_affine shift = agg::trans_affine_translation(-left, -top);
    agg::conv_transform<agg::path_storage> shifted(clip.path, shift);
    const bool curved = clip.curved;
    if (!rasterizeClipPath(rasterizer, shifted, curved, maskBox)) return false;
    agg::pixfmt_gray8 pixels(rows_);
    agg::renderer_base<agg::pixfmt_gray8> base(pixels);
    AaScanline& sl = scratch.aaScanline();
    if (rasterizer.rewind_scanlines()) {
        sl.reset(rasterizer.min_x(), rasterizer.max_x());
        while (rasterizer.sweep_scanline(sl)) {
            agg::render_scanline_aa_solid(static_cast<const AaScanline&>(sl), base,
                                          agg::gray8(255));
        }
    }
    serial_ = clip.serial;
    return true;
}

}  // namespace lumo
