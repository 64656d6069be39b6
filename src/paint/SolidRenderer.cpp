#include "paint/SolidRenderer.h"

#include "context/GraphicsState.h"
#include "core/RenderTarget.h"
#include "paint/CompositePixelFormat.h"

#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>

namespace lumo {

void renderSolid(const agg::rgba8& paintColour, GraphicsState& state, RenderTarget& target) {
    const Composite& composite = *state.composite;
    const agg::rgba8 colour = withExtraAlpha(paintColour, composite.alpha());
    // A transparent colour leaves every pixel as it is under source-over.
    if (colour.a == 0 && composite.operation() == sourceOverOperation) return;

    const Ref<DataBuffer> buffer = target.getDataBuffer();
    if (!buffer) return;
    RowBuffer* rows = buffer->rowBuffer();
    if (rows->buf() == nullptr) return;

    CompositePixelFormat pixels(*rows, composite.operation(), false);
    agg::renderer_base<CompositePixelFormat> renderer(pixels);
    if (state.hint(HINT_ANTIALIAS)) {
        agg::render_scanlines_aa_solid(target.rasterizer(), target.aaScanline(), renderer, colour);
    } else {
        agg::render_scanlines_bin_solid(target.rasterizer(), target.binScanline(), renderer,
                                        colour);
    }
}

}  // namespace lumo
