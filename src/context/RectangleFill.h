#pragma once

#include "context/GraphicsState.h"
#include "context/RectCoverage.h"
#include "core/RenderTarget.h"

namespace lumo {

// Renders a device-space source that is a single axis-aligned rectangle,
// under a rectangle clip, through the target's rectangle coverage instead of
// its rasteriser (same pixels, without building and sorting cells): calls
// `render` while the coverage is active and returns true. False, having
// rendered nothing, for any other source or clip.
template <class Source, class Render>
bool renderRectangle(GraphicsState& state, RenderTarget& target, Source& source,
                     agg::filling_rule_e rule, Render render) {
    if (!(state.stateFlags & CLIP_RECT)) return false;
    double xs[4], ys[4];
    if (!readRectangle(source, xs, ys, maxEdgeCoordinate)) return false;
    RectCoverage& coverage = target.rectCoverage();
    if (!coverage.set(xs, ys, state.clipBox, rule)) return false;
    // Inactive again however the rendering ends.
    struct Deactivate {
        RectCoverage& coverage;
        ~Deactivate() { coverage.deactivate(); }
    } deactivate{coverage};
    render();
    return true;
}

}  // namespace lumo
