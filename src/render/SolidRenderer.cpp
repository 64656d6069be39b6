#include "render/SolidRenderer.h"

#include "blend/CompositePixelFormat.h"
#include "core/RenderTarget.h"
#include "render/GraphicsState.h"
#include "render/RenderCoverage.h"
#include "render/SmallSolidSink.h"
#include "render/SolidCoverageSink.h"

#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>

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
            rectilinear.sweepRows(sink);
            sink.finish();
            return;
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

}  // namespace lumo
