#pragma once

#include "core/TargetScratch.h"
#include "coverage/ClipMask.h"
#include "coverage/Rasterizer.h"
#include "coverage/RectilinearCoverage.h"

#include <agg_scanline_bin.h>
#include <agg_scanline_u.h>


namespace lumo {

class RenderTarget;

// The machinery that turns outlines into coverage for one render target,
// shared by all its drawing objects: rasterisers and scan-line containers
// keep their capacity between calls.
class CoverageScratch final : public TargetScratch {
public:
    // The scratch of a target, attached on first use; null when memory runs
    // out (then nothing is drawn).
    static CoverageScratch* of(RenderTarget& target);

    // The rasteriser holding the shape being drawn, and the same emptied for
    // a new shape: every shape starts with rasterizerForShape().
    Rasterizer& rasterizer() { return rasterizer_; }
    Rasterizer& rasterizerForShape() { return emptied(rasterizer_); }
    // Stands in for the rasteriser while a rectangle is drawn under a
    // rectangle clip (active only then).
    RectilinearCoverage& rectilinearCoverage() { return rectilinearCoverage_; }
    agg::scanline_bin& binScanline() { return binScanline_; }
    agg::scanline_u8& aaScanline() { return aaScanline_; }

    // Scratch for drawing through a clip path: a rasteriser for the clip and
    // the scan-lines that read the two shapes while they are intersected.
    Rasterizer& clipRasterizer() { return clipRasterizer_; }
    Rasterizer& clipRasterizerForShape() { return emptied(clipRasterizer_); }
    agg::scanline_u8& clipAaScanline() { return clipAaScanline_; }
    agg::scanline_u8& shapeAaScanline() { return shapeAaScanline_; }
    agg::scanline_bin& clipBinScanline() { return clipBinScanline_; }
    agg::scanline_bin& shapeBinScanline() { return shapeBinScanline_; }

    // The coverage of the last clip path that needed a mask.
    ClipMask& clipMask() { return clipMask_; }

private:
    // Empties a rasteriser for a new shape; what a huge shape needed is given
    // back, and a shape that was cut leaves no trace in the next.
    static Rasterizer& emptied(Rasterizer& rasterizer) {
        rasterizer.reset();
        return rasterizer;
    }

    agg::scanline_bin binScanline_;
    agg::scanline_u8 aaScanline_;
    Rasterizer rasterizer_;
    RectilinearCoverage rectilinearCoverage_;
    Rasterizer clipRasterizer_;
    agg::scanline_u8 clipAaScanline_;
    agg::scanline_u8 shapeAaScanline_;
    agg::scanline_bin clipBinScanline_;
    agg::scanline_bin shapeBinScanline_;
    ClipMask clipMask_;
};

}  // namespace lumo
