#include "render/GradientRenderer.h"

#include "blend/CompositePixelFormat.h"
#include "core/RenderTarget.h"
#include "paint/ColourTable.h"
#include "paint/GradientPaint.h"
#include "render/CoverageSpanSink.h"
#include "render/GradientRendererOver.h"
#include "render/GraphicsState.h"
#include "render/RenderCoverage.h"
#include "render/SpanColours.h"
#include "span/GradientSpanGenerator.h"

#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>

#include <optional>

namespace lumo {

namespace {

// Device space to gradient space, or false when gradient space collapses
// (or is lost to overflow) on its way to the device.
bool deviceToGradient(const GradientPaint& paint, GraphicsState& state, agg::trans_affine& out) {
    agg::trans_affine m = paint.matrix();
    if (state.transformKind() != TRANSFORM_IDENTITY) m *= state.transform;
    return invertTransform(m, out);
}

}  // namespace

void renderGradient(const GradientPaint& paint, GraphicsState& state, RenderTarget& target) {
    agg::trans_affine inverse;
    if (!deviceToGradient(paint, state, inverse)) return;

    const Ref<DataBuffer> buffer = target.getDataBuffer();
    if (!buffer) return;
    RowBuffer* rows = buffer->rowBuffer();
    if (rows->buf() == nullptr) return;

    const Composite& composite = *state.composite;
    // The paint keeps its table for full extra alpha; only a faded paint
    // needs one of its own.
    std::optional<ColourTable> faded;
    if (composite.alpha() < 1.0f) {
        faded.emplace(paint.positions(), paint.colours(), paint.stopCount(), composite.alpha());
    }
    const ColourTable& table = faded ? *faded : paint.opaqueTable();
    GradientSpanGenerator spans(inverse, paint.gradientKind(), paint.cycle(),
                                paint.hasFocus() ? &paint.focus() : nullptr, table);

    using Base = agg::renderer_base<CompositePixelFormat>;
    CompositePixelFormat pixels(*rows, composite.rule(), false);
    Base base(pixels);
    SpanColours allocator;
    // Gradients are always drawn with antialiased edges.
    if (pixels.rule() == CompositeRule::SrcOver) {
        GradientRendererOver<Base> renderer(base, *rows, allocator, spans, table);
        // Under a rectangle clip the coverage goes to it span by span,
        // without a scan-line.
        if (state.clipFlags & CLIP_RECT) {
            CoverageScratch* scratch = CoverageScratch::of(target);
            if (scratch == nullptr) return;
            CoverageSpanSink<GradientRendererOver<Base>> sink(renderer);
            sweepCoverageSpans(*scratch, sink);
            return;
        }
        renderCoverage(state, target, renderer);
        return;
    }
    agg::renderer_scanline_aa<Base, SpanColours, GradientSpanGenerator> renderer(base, allocator,
                                                                                 spans);
    renderCoverage(state, target, renderer);
}

}  // namespace lumo
