#pragma once

#include "blend/BlendFunctions.h"
#include "blend/BlendSpans.h"
#include "core/DataBuffer.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

namespace lumo {

// The pixel format AGG's renderers draw through: 32-bit premultiplied pixels (bytes b, g, r, a)
// composited by one of the composite rules. Source-over, by far the most common, has its own
// spans (OverSpans.h), its products rounded exactly as the multiply table rounds them; the
// others go through blendSpans along a row, and through blendFunctions for single pixels and
// columns. Colours handed in are straight unless the format was made with sourcePremultiplied
// (image spans, for instance).
//
// Coordinates and lengths are trusted: renderer_base clips before calling.
class CompositePixelFormat {
public:
    using color_type = agg::rgba8;
    using order_type = agg::order_bgra;
    using value_type = agg::int8u;
    using calc_type = agg::int32u;
    using row_data = agg::const_row_info<agg::int8u>;
    enum { pix_width = 4, pix_step = 4 };

    // A rule outside 0..25 means source-over.
    CompositePixelFormat(RowBuffer& rows, CompositeRule rule, bool sourcePremultiplied);

    unsigned width() const { return rows_->width(); }
    unsigned height() const { return rows_->height(); }
    CompositeRule rule() const { return rule_; }
    bool sourcePremultiplied() const { return sourcePremultiplied_; }

    // The stored, premultiplied colour.
    color_type pixel(int x, int y) const;
    row_data row(int y) const { return row_data(0, int(width()) - 1, rows_->row_ptr(y)); }

    // Copies store the colour (premultiplied first unless the source already is), whatever rule.
    void copy_pixel(int x, int y, const color_type& c);
    void copy_hline(int x, int y, unsigned len, const color_type& c);
    void copy_vline(int x, int y, unsigned len, const color_type& c);
    void copy_color_hspan(int x, int y, unsigned len, const color_type* colors);
    void copy_color_vspan(int x, int y, unsigned len, const color_type* colors);

    void blend_pixel(int x, int y, const color_type& c, agg::int8u cover);
    void blend_hline(int x, int y, unsigned len, const color_type& c, agg::int8u cover);
    void blend_vline(int x, int y, unsigned len, const color_type& c, agg::int8u cover);
    void blend_solid_hspan(int x, int y, unsigned len, const color_type& c,
                           const agg::int8u* covers);
    void blend_solid_vspan(int x, int y, unsigned len, const color_type& c,
                           const agg::int8u* covers);
    // Without a covers array, `cover` applies to the whole span.
    void blend_color_hspan(int x, int y, unsigned len, const color_type* colors,
                           const agg::int8u* covers, agg::int8u cover);
    void blend_color_vspan(int x, int y, unsigned len, const color_type* colors,
                           const agg::int8u* covers, agg::int8u cover);

private:
    agg::int8u* at(int x, int y) const { return rows_->row_ptr(y) + 4 * x; }
    // The colour as it is stored: premultiplied, and with no colour above the alpha.
    color_type stored(const color_type& c) const;
    // One pixel, any rule.
    void blendOne(agg::int8u* p, const color_type& c, unsigned cover) const;

    RowBuffer* rows_;
    CompositeRule rule_;
    bool sourcePremultiplied_;
    BlendFunction blend_;
    const BlendSpanFunctions* spans_;
};

}  // namespace lumo
