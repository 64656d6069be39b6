#pragma once

#include "context/ClipMask.h"
#include "context/RectilinearCoverage.h"
#include "core/DataBuffer.h"
#include "core/Ref.h"
#include "core/SharedObject.h"
#include "coverage/SweepRasterizer.h"

#include <agg_scanline_bin.h>
#include <agg_scanline_u.h>

namespace lumo {

// The scan-line rasteriser every drawing call goes through. Clipping happens
// in double precision before the conversion to 24.8 fixed point, so far-away
// coordinates cannot overflow; the coverage is AGG's, without its cell sort.
using Rasterizer = SweepRasterizer;

// Something drawing objects draw into. It owns the scratch machinery all its
// drawing objects share (rasteriser and scan-line containers keep their
// capacity between calls), so calls reaching one target must be serialised.
class RenderTarget : public SharedObject {
public:
    RenderTarget(int width, int height) : width_(width), height_(height) {}

    // True when the pixel memory exists; never creates it.
    virtual bool hasPixels() const = 0;
    // A counted reference to the pixel buffer (empty when there is none).
    virtual Ref<DataBuffer> getDataBuffer() const = 0;

    int width() const { return width_; }
    int height() const { return height_; }

    Rasterizer& rasterizer() { return rasterizer_; }
    // Stands in for the rasteriser while a rectangle is drawn under a
    // rectangle clip (active only then).
    RectilinearCoverage& rectilinearCoverage() { return rectilinearCoverage_; }
    agg::scanline_bin& binScanline() { return binScanline_; }
    agg::scanline_u8& aaScanline() { return aaScanline_; }

    // Scratch for drawing through a clip path: a rasteriser for the clip and
    // the scan-lines that read the two shapes while they are intersected.
    Rasterizer& clipRasterizer() { return clipRasterizer_; }
    agg::scanline_u8& clipAaScanline() { return clipAaScanline_; }
    agg::scanline_u8& shapeAaScanline() { return shapeAaScanline_; }
    agg::scanline_bin& clipBinScanline() { return clipBinScanline_; }
    agg::scanline_bin& shapeBinScanline() { return shapeBinScanline_; }

    // The coverage of the last clip path that needed a mask.
    ClipMask& clipMask() { return clipMask_; }

private:
    const int width_;
    const int height_;
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
