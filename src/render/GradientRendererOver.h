#pragma once

#include "blend/IndexedOverSpans.h"
#include "core/DataBuffer.h"
#include "paint/ColourTable.h"
#include "render/SpanColours.h"
#include "span/GradientSpanGenerator.h"

#include <agg_color_rgba.h>

#include <cstdint>

namespace lumo {

// AGG's antialiased scan-line renderer (render_scanline_aa) for a gradient
// drawn source-over with straight colours: a span inside the clip box is
// blended from its table indices (overIndexedSpan), as they are worked out
// four at a time where that is quicker (GradientSpanGenerator::generateOver),
// with the same result as generating its colours and blending those, but
// without premultiplying the colours at full cover; with an opaque table the
// pixels at full cover are stored. Other spans take AGG's way.
template <class Base>
class GradientRendererOver {
public:
    GradientRendererOver(Base& base, RowBuffer& rows, SpanColours& allocator,
                         GradientSpanGenerator& spans, const ColourTable& table)
        : base_(base),
          rows_(rows),
          allocator_(allocator),
          spans_(spans),
          colours_{&table[0], table.premultiplied(), table.opaque()} {}

    void prepare() { spans_.prepare(); }

    template <class Scanline>
    void render(const Scanline& scanline) {
        const int y = scanline.y();
        typename Scanline::const_iterator span = scanline.begin();
        for (unsigned n = scanline.num_spans(); n > 0; --n, ++span) {
            if (span->len > 0) {
                blend(span->x, y, unsigned(span->len), span->covers);
                continue;
            }
            const unsigned len = unsigned(-span->len);
            agg::rgba8* colours = allocator_.allocate(len);
            spans_.generate(colours, span->x, y, len);
            base_.blend_color_hspan(span->x, y, len, colours, nullptr, *span->covers);
        }
    }

    // Asks for the pixels from (x, y) to be brought to the cache.
    void prefetch(int x, int y) const {
        if (unsigned(y) < rows_.height() && unsigned(x) < rows_.width()) {
            __builtin_prefetch(rows_.row_ptr(y) + 4 * x, 1);
        }
    }

    // One span of `len` pixels from (x, y) with a cover per pixel.
    void blend(int x, int y, unsigned len, const agg::int8u* covers) {
        if (y >= base_.ymin() && y <= base_.ymax() && x >= base_.xmin() &&
            int64_t(x) + len - 1 <= base_.xmax()) {
            agg::int8u* pixels = rows_.row_ptr(y) + 4 * x;
            if (colours_.opaque || spans_.blendsAsGenerated(len)) {
                spans_.generateOver(pixels, covers, colours_, x, y, len);
                return;
            }
            // A colour's room holds four indices.
            agg::int8u* indices = reinterpret_cast<agg::int8u*>(allocator_.allocate(len));
            spans_.generateIndices(indices, x, y, len);
            overIndexedSpan(pixels, len, indices, covers, colours_);
            return;
        }
        agg::rgba8* colours = allocator_.allocate(len);
        spans_.generate(colours, x, y, len);
        base_.blend_color_hspan(x, y, len, colours, covers, *covers);
    }

private:
    Base& base_;
    RowBuffer& rows_;
    SpanColours& allocator_;
    GradientSpanGenerator& spans_;
    const IndexedColours colours_;
};

}  // namespace lumo
