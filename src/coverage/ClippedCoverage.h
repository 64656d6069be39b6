#pragma once

#include "context/GraphicsState.h"
#include "context/RasterizeSource.h"
#include "core/RenderTarget.h"
#include "geometry/CheckedSource.h"
#include "geometry/CurveCuller.h"

#include <agg_conv_curve.h>
#include <agg_gamma_functions.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_boolean_algebra.h>

namespace lumo {

// Adds a clip path (already in the rasteriser's coordinates) to a rasteriser
// whose clip box is `box`. Huge curves are flattened only near the box, as
// for fills. False when the path cannot be rasterised.
template <class Path>
bool rasterizeClipPath(Rasterizer& rasterizer, Path& path, bool curved, const agg::rect_d& box) {
    if (!curved) return rasterizeSource(rasterizer, path);
    CheckedSource<Path> checked(path, maxEdgeCoordinate);
    CurveCuller<CheckedSource<Path>> culled(
        checked, agg::rect_d(box.x1 - 1, box.y1 - 1, box.x2 + 1, box.y2 + 1));
    agg::conv_curve<CurveCuller<CheckedSource<Path>>> flattened(culled);
    return rasterizeSource(rasterizer, flattened) && !checked.faulty();
}

// Puts the clip path into the target's clip rasteriser. Unless the clip is
// to keep its antialiased edges, a pixel counts as inside only where the clip
// covers it fully. False when the clip path cannot be rasterised (then
// nothing may be drawn).
inline bool rasterizeClip(GraphicsState& state, RenderTarget& target, bool keepEdges) {
    Rasterizer& clip = target.clipRasterizer();
    if (keepEdges) {
        clip.gamma(agg::gamma_none());
    } else {
        clip.gamma(agg::gamma_threshold(1.0));
    }
    const agg::rect_d& box = state.clipBox;
    clip.clip_box(box.x1, box.y1, box.x2, box.y2);
    clip.filling_rule(state.clipFillRule);
    return rasterizeClipPath(clip, state.clipPath, (state.stateFlags & CLIP_CURVED) != 0, box);
}

// The last step of every antialiased renderer: sweeps the shape held in the
// target's rasteriser (or its rectangle coverage, when active) with `renderer` (an AGG scan-line
// renderer: prepare() and render(scanline)), intersected with the clip path when the state has one.
// The coverage of a pixel is then the product of both coverages.
template <class Renderer>
void renderStep(GraphicsState& state, RenderTarget& target, Renderer& renderer) {
    if (state.stateFlags & CLIP_RECT) {
        if (target.rectilinearCoverage().active()) {
            agg::render_scanlines(target.rectilinearCoverage(), target.aaScanline(), renderer);
        } else {
            agg::render_scanlines(target.rasterizer(), target.aaScanline(), renderer);
        }
        return;
    }
    if (!rasterizeClip(state, target, state.hint(HINT_CLIP_ANTIALIAS))) return;
    agg::sbool_intersect_shapes_aa(target.clipRasterizer(), target.rasterizer(),
                                   target.clipAaScanline(), target.shapeAaScanline(),
                                   target.aaScanline(), renderer);
}

// The same for aliased drawing: every pixel the shape touches, and that the
// clip path touches at all, is drawn at full coverage.
template <class Renderer>
void renderStepAliased(GraphicsState& state, RenderTarget& target, Renderer& renderer) {
    if (state.stateFlags & CLIP_RECT) {
        if (target.rectilinearCoverage().active()) {
            agg::render_scanlines(target.rectilinearCoverage(), target.binScanline(), renderer);
        } else {
            agg::render_scanlines(target.rasterizer(), target.binScanline(), renderer);
        }
        return;
    }
    if (!rasterizeClip(state, target, true)) return;
    agg::sbool_intersect_shapes_bin(target.clipRasterizer(), target.rasterizer(),
                                    target.clipBinScanline(), target.shapeBinScanline(),
                                    target.binScanline(), renderer);
}

}  // namespace lumo
