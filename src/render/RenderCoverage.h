#pragma once

#include "core/RenderTarget.h"
#include "coverage/ClippedCoverage.h"
#include "coverage/CoverageScratch.h"
#include "render/CoverageSpanSink.h"
#include "render/GraphicsState.h"

namespace lumo {

// The last step of every antialiased renderer: sweeps the coverage the
// drawing object prepared in the target's scratch with `renderer`, through
// the state's clip path when it has one.
template <class Renderer>
void renderCoverage(GraphicsState& state, RenderTarget& target, Renderer& renderer) {
    CoverageScratch* scratch = CoverageScratch::of(target);
    if (scratch == nullptr) return;
    if (state.clipFlags & CLIP_RECT) return sweepCoverage(*scratch, nullptr, renderer);
    const ClipOutline clip = state.clipOutline();
    sweepCoverage(*scratch, &clip, renderer);
}

// The same for a renderer that also blends single spans (blend(x, y, len,
// covers)): under a rectangle clip the sweep hands it the spans straight,
// through a CoverageSpanSink, without filling and reading back a scan-line.
template <class Renderer>
void renderCoverageSpans(GraphicsState& state, RenderTarget& target, Renderer& renderer) {
    if (!(state.clipFlags & CLIP_RECT)) return renderCoverage(state, target, renderer);
    CoverageScratch* scratch = CoverageScratch::of(target);
    if (scratch == nullptr) return;
    renderer.prepare();
    CoverageSpanSink<Renderer> sink(renderer);
    sweepCoverageSpans(*scratch, sink);
}

// The same for aliased drawing.
template <class Renderer>
void renderCoverageAliased(GraphicsState& state, RenderTarget& target, Renderer& renderer) {
    CoverageScratch* scratch = CoverageScratch::of(target);
    if (scratch == nullptr) return;
    if (state.clipFlags & CLIP_RECT) return sweepCoverageAliased(*scratch, nullptr, renderer);
    const ClipOutline clip = state.clipOutline();
    sweepCoverageAliased(*scratch, &clip, renderer);
}

}  // namespace lumo
