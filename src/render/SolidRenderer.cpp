#include "render/SolidRenderer.h"

#include "blend/CompositePixelFormat.h"
#include "blend/OverRun.h"
#include "core/RenderTarget.h"
#include "render/GraphicsState.h"
#include "render/GroupSolidSink.h"
#include "render/RenderCoverage.h"
#include "render/SmallSolidSink.h"
#include "render/SolidCoverageSink.h"

#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>

#include <algorithm>
#include <cstdint>

namespace lumo {

void renderSolid(const agg::rgba8& paintColour, GraphicsState& state, RenderTarget& target) {
    const Composite& composite = *state.composite;
    const agg::rgba8 colour = withExtraAlpha(paintColour, composite.alpha());
    // A transparent colour leaves every pixel as it is under source-over.
    if (colour.a == 0 && composite.rule() == CompositeRule::SrcOver) return;

    DataBuffer* buffer = target.dataBuffer();
    if (buffer == nullptr) return;
    RowBuffer* rows = buffer->rowBuffer();
    if (rows->buf() == nullptr) return;

    // Antialiased source-over under a rectangle clip, the common case: the
    // coverage goes straight into the pixels.
    if (state.hint(HINT_ANTIALIAS) && (state.clipFlags & CLIP_RECT) &&
        validRule(composite.rule()) == CompositeRule::SrcOver) {
        CoverageScratch* scratch = CoverageScratch::of(target);
        if (scratch == nullptr) return;
        // A small outline of horizontal and vertical edges (a rectangle, a
        // stroked one) blends each row in one pass over share words.
        RectilinearCoverage& rectilinear = scratch->rectilinearCoverage();
        if (rectilinear.active() &&
            SmallSolidSink::fits(*rows, rectilinear.min_x(), rectilinear.max_x(),
                                 rectilinear.min_y(), rectilinear.max_y())) {
            SmallSolidSink sink(*rows, colour, rectilinear.min_x(),
                                rectilinear.max_x() - rectilinear.min_x() + 1);
            sink.prefetch(rectilinear.min_y(), rectilinear.max_y());
            // A rectangle's three kinds of row come in closed form as pieces; any other
            // shape's rows are worked out whole, column by column.
            if (rectilinear.rectangle()) {
                rectilinear.sweepRows(sink);
            } else {
                rectilinear.sweepColumns(sink);
            }
            sink.finish();
            return;
        }
        // So does any other small shape, from the grid's rows of sums.
        static_assert(Rasterizer::kValueColumns == SmallSolidSink::kMaxWidth, "one window");
        Rasterizer& shape = scratch->rasterizer();
        if (!rectilinear.active() && shape.fitsColumns(Rasterizer::kValueColumns) &&
            SmallSolidSink::fits(*rows, shape.min_x(), shape.max_x(), shape.min_y(),
                                 shape.max_y())) {
            SmallSolidSink sink(*rows, colour, shape.min_x(), shape.max_x() - shape.min_x() + 1);
            sink.prefetch(shape.min_y(), shape.max_y());
            shape.sweepValues(sink);
            sink.finish();
            return;
        }
        // A wider shape blends the grid's touched pixel groups straight from their alphas.
        if (!rectilinear.active() && GroupSolidSink::fits(*rows, shape.min_x(), shape.max_x(),
                                                          shape.min_y(), shape.max_y())) {
            GroupSolidSink sink(*rows, colour);
            if (shape.sweepGroups(sink)) return;
        }
        SolidCoverageSink sink(*rows, colour);
        sweepCoverageRows(*scratch, sink);
        return;
    }

    using Base = agg::renderer_base<CompositePixelFormat>;
    CompositePixelFormat pixels(*rows, composite.rule(), false);
    Base base(pixels);
    if (state.hint(HINT_ANTIALIAS)) {
        agg::renderer_scanline_aa_solid<Base> renderer(base);
        renderer.color(colour);
        renderCoverage(state, target, renderer);
    } else {
        agg::renderer_scanline_bin_solid<Base> renderer(base);
        renderer.color(colour);
        renderCoverageAliased(state, target, renderer);
    }
}

bool fillSolidPixels(const agg::rgba8& paintColour, GraphicsState& state, RenderTarget& target,
                     const agg::rect_i& box) {
    const Composite& composite = *state.composite;
    if (validRule(composite.rule()) != CompositeRule::SrcOver) return false;
    const agg::rgba8 colour = withExtraAlpha(paintColour, composite.alpha());
    if (colour.a == 0) return true;
    DataBuffer* buffer = target.dataBuffer();
    if (buffer == nullptr) return true;
    RowBuffer* rows = buffer->rowBuffer();
    if (rows->buf() == nullptr) return true;
    // Cut to the buffer, which the clip box lies in already.
    const int x1 = std::max(box.x1, 0), x2 = std::min<int64_t>(box.x2, rows->width());
    const int y1 = std::max(box.y1, 0), y2 = std::min<int64_t>(box.y2, rows->height());
    if (x2 <= x1 || y2 <= y1) return true;
    const over::Run<false> run(colour, agg::cover_full);
    for (int y = y1; y < y2; ++y) run.apply(rows->row_ptr(y) + 4 * x1, unsigned(x2 - x1));
    return true;
}

}  // namespace lumo
