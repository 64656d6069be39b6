#pragma once

#include "blend/IndexedOverSpans.h"
#include "core/DataBuffer.h"
#include "paint/ColourTable.h"
#include "render/SpanColours.h"
#include "span/GradientSpanGenerator.h"

#include <agg_color_rgba.h>

namespace lumo {

// AGG's antialiased scan-line renderer (render_scanline_aa) for a gradient
// drawn source-over with straight colours: a span inside the clip box is
// blended from its table indices as they are worked out, four at a time
// (GradientSpanGenerator::generateOver), with the same result as generating
// its colours and blending those, but without premultiplying the colours at
// full cover; with an opaque table the pixels at full cover are stored. Other
// spans take AGG's way.
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
        const bool rowInside = y >= base_.ymin() && y <= base_.ymax();
        typename Scanline::const_iterator span = scanline.begin();
        for (unsigned n = scanline.num_spans(); n > 0; --n, ++span) {
            const int x = span->x;
            const int len = span->len < 0 ? -span->len : span->len;
            if (rowInside && span->len > 0 && x >= base_.xmin() && x + len - 1 <= base_.xmax()) {
                spans_.generateOver(rows_.row_ptr(y) + 4 * x, span->covers, colours_, x, y,
                                    unsigned(len));
                continue;
            }
            agg::rgba8* colours = allocator_.allocate(unsigned(len));
            spans_.generate(colours, x, y, unsigned(len));
            base_.blend_color_hspan(x, y, unsigned(len), colours,
                                    span->len < 0 ? nullptr : span->covers, *span->covers);
        }
    }

private:
    Base& base_;
    RowBuffer& rows_;
    SpanColours& allocator_;
    GradientSpanGenerator& spans_;
    const IndexedColours colours_;
};

}  // namespace lumo
