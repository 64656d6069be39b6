#pragma once

#include "blend/OverImageRow.h"
#include "core/DataBuffer.h"
#include "render/ScanlineSpans.h"
#include "span/ImageAccessors.h"
#include "span/TranslatedImageSpan.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>
#include <agg_span_allocator.h>

#include <cstdint>

namespace lumo {

// The scan-line renderer of an image placed at a whole-pixel offset and
// blended source-over: a span whose pixels all lie in the image is blended
// straight from the image row (overImageRowCovered, the extra alpha applied on
// the fly), clipped as the base renderer clips colour spans; any other span is
// generated and blended as AGG's scan-line renderer does. The pixels are the
// same either way.
template <class Base, bool Premultiplied>
class TranslatedOverRenderer {
public:
    // `rows` are the pixels `base` draws on; the image, width x height, is
    // read through `accessor` and shows image pixel (x - dx, y - dy) at device
    // pixel (x, y).
    TranslatedOverRenderer(Base& base, RowBuffer& rows, TranslatedImageSpan<ClampAccessor>& spans,
                           const ClampAccessor& accessor, int dx, int dy, int width, int height,
                           unsigned alpha)
        : base_(base),
          rows_(rows),
          spans_(spans),
          accessor_(accessor),
          dx_(dx),
          dy_(dy),
          width_(width),
          height_(height),
          alpha_(alpha) {}

    void prepare() {}

    template <class Scanline>
    void render(const Scanline& sl) {
        forEachSpan(sl, [&](int x, int y, int len, const agg::int8u* covers, agg::int8u cover) {
            if (!blendFromImage(x, y, len, covers, cover)) {
                agg::rgba8* colours = allocator_.allocate(unsigned(len));
                spans_.generate(colours, x, y, unsigned(len));
                base_.blend_color_hspan(x, y, len, colours, covers, cover);
            }
        });
    }

private:
    // False when the span reaches outside the image.
    bool blendFromImage(int x, int y, int len, const agg::int8u* covers, agg::int8u cover) {
        int64_t column = int64_t(x) - dx_;
        const int64_t row = int64_t(y) - dy_;
        if (row < 0 || row >= height_ || column < 0 || column + len > width_) return false;
        int skipped = 0;
        if (!clipSpanToBase(base_, x, y, len, covers, skipped)) return true;
        column += skipped;
        overImageRowCovered<Premultiplied>(rows_.row_ptr(y) + 4 * x,
                                           accessor_.rowAt(int(row)) + 4 * column, unsigned(len),
                                           alpha_, covers, cover);
        return true;
    }

    Base& base_;
    RowBuffer& rows_;
    TranslatedImageSpan<ClampAccessor>& spans_;
    const ClampAccessor& accessor_;
    int dx_, dy_, width_, height_;
    unsigned alpha_;
    agg::span_allocator<agg::rgba8> allocator_;
};

}  // namespace lumo
