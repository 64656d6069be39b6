#pragma once

#include "coverage/ClipOutline.h"
#include "coverage/CoverageScratch.h"
#include "coverage/RasterizeSource.h"
#include "geometry/CheckedSource.h"
#include "geometry/CurveCuller.h"
#include "geometry/CurveFlattener.h"

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
    CurveFlattener<CurveCuller<CheckedSource<Path>>> flattened(culled);
    return rasterizeSource(rasterizer, flattened) && !checked.faulty();
}

// Puts the clip path into the scratch's clip rasteriser. Unless the clip is
// to keep its antialiased edges, a pixel counts as inside only where the clip
// covers it fully. False when the clip path cannot be rasterised (then
// nothing may be drawn).
inline bool rasterizeClip(const ClipOutline& clip, CoverageScratch& scratch, bool keepEdges) {
    Rasterizer& rasterizer = scratch.clipRasterizerForShape();
    if (keepEdges) {
        rasterizer.gamma(agg::gamma_none());
    } else {
        rasterizer.gamma(agg::gamma_threshold(1.0));
    }
    const agg::rect_d& box = clip.box;
    rasterizer.clip_box(box.x1, box.y1, box.x2, box.y2);
    rasterizer.filling_rule(clip.fillRule);
    return rasterizeClipPath(rasterizer, clip.path, clip.curved, box);
}

// Sweeps the shape held in the scratch's rasteriser (or its rectangle
// coverage, when active) with `renderer` (an AGG scan-line renderer:
// prepare() and render(scanline)), intersected with the clip path unless
// `clip` is null (a rectangle clip, already applied as the rasteriser's clip
// box). The coverage of a pixel is then the product of both coverages.
template <class Renderer>
void sweepCoverage(CoverageScratch& scratch, const ClipOutline* clip, Renderer& renderer) {
    if (clip == nullptr) {
        if (scratch.rectilinearCoverage().active()) {
            agg::render_scanlines(scratch.rectilinearCoverage(), scratch.aaScanline(), renderer);
        } else {
            agg::render_scanlines(scratch.rasterizer(), scratch.aaScanline(), renderer);
        }
        return;
    }
    if (!rasterizeClip(*clip, scratch, clip->antialiased)) return;
    agg::sbool_intersect_shapes_aa(scratch.clipRasterizer(), scratch.rasterizer(),
                                   scratch.clipAaScanline(), scratch.shapeAaScanline(),
                                   scratch.aaScanline(), renderer);
}

// Sweeps the shape held in the scratch's rasteriser (or its rectangle
// coverage, when active) straight into `sink` (see SweepRasterizer's
// sweepRows, then sink.finish()), for drawing under a rectangle clip: the
// same pixels and covers that sweepCoverage hands a renderer without a clip
// path.
template <class Sink>
void sweepCoverageRows(CoverageScratch& scratch, Sink& sink) {
    if (scratch.rectilinearCoverage().active()) {
        scratch.rectilinearCoverage().sweepRows(sink);
    } else {
        scratch.rasterizer().sweepRows(sink);
    }
    sink.finish();
}

// The same, with a shape in the rasteriser's grid handed over as whole spans (sweepSpans:
// sink.row and sink.span) rather than in pieces: the same spans with the same covers.
template <class Sink>
void sweepCoverageSpans(CoverageScratch& scratch, Sink& sink) {
    if (scratch.rectilinearCoverage().active() || !scratch.rasterizer().sweepSpans(sink)) {
        sweepCoverageRows(scratch, sink);
        return;
    }
    sink.finish();
}

// The same for aliased drawing: every pixel the shape touches, and that the
// clip path touches at all, is drawn at full coverage.
template <class Renderer>
void sweepCoverageAliased(CoverageScratch& scratch, const ClipOutline* clip, Renderer& renderer) {
    if (clip == nullptr) {
        if (scratch.rectilinearCoverage().active()) {
            agg::render_scanlines(scratch.rectilinearCoverage(), scratch.binScanline(), renderer);
        } else {
            agg::render_scanlines(scratch.rasterizer(), scratch.binScanline(), renderer);
        }
        return;
    }
    if (!rasterizeClip(*clip, scratch, true)) return;
    agg::sbool_intersect_shapes_bin(scratch.clipRasterizer(), scratch.rasterizer(),
                                    scratch.clipBinScanline(), scratch.shapeBinScanline(),
                                    scratch.binScanline(), renderer);
}

}  // namespace lumo
