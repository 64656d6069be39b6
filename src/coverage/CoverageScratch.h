#pragma once

#include "core/TargetScratch.h"
#include "coverage/ClipMask.h"
#include "coverage/CoverScanline.h"
#include "coverage/Rasterizer.h"
#include "coverage/RectilinearCoverage.h"

#include <agg_scanline_bin.h>
#include <agg_scanline_u.h>

namespace lumo {

class RenderTarget;

// The scan-lines coverage is handed over in. Their spans hold 32-bit
// positions and lengths: the 16-bit ones of AGG's scanline_u8 and
// scanline_bin wrap past x = 32767, and targets may be wider than that.
// The aliased one has no covers to keep, so AGG's 32-bit one serves.
using AaScanline = CoverScanline;
using BinScanline = agg::scanline32_bin;

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
    BinScanline& binScanline() { return binScanline_; }
    AaScanline& aaScanline() { return aaScanline_; }

    // Scratch for drawing through a clip path: a rasteriser for the clip and
    // the scan-lines that read the two shapes while they are intersected.
    Rasterizer& clipRasterizer() { return clipRasterizer_; }
    Rasterizer& clipRasterizerForShape() { return emptied(clipRasterizer_); }
    AaScanline& clipAaScanline() { return clipAaScanline_; }
    AaScanline& shapeAaScanline() { return shapeAaScanline_; }
    BinScanline& clipBinScanline() { return clipBinScanline_; }
    BinScanline& shapeBinScanline() { return shapeBinScanline_; }

    // The coverage of the last clip path that needed a mask.
    ClipMask& clipMask() { return clipMask_; }

private:
    // Empties a rasteriser for a new shape; what a huge shape needed is given
    // back, and a shape that was cut leaves no trace in the next.
    static Rasterizer& emptied(Rasterizer& rasterizer) {
        rasterizer.reset();
        rasterizer.thinOutline(false);
        return rasterizer;
    }

    BinScanline binScanline_;
    AaScanline aaScanline_;
    Rasterizer rasterizer_;
    RectilinearCoverage rectilinearCoverage_;
    Rasterizer clipRasterizer_;
    AaScanline clipAaScanline_;
    AaScanline shapeAaScanline_;
    BinScanline clipBinScanline_;
    BinScanline shapeBinScanline_;
    ClipMask clipMask_;
};

}  // namespace lumo
