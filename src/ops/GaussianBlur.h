#pragma once

#include "ops/PixelRegion.h"

#include <cstdint>

namespace lumo {

// Separable Gaussian blur of a rectangle of 32-bit pixels, in place. Each
// axis has its own deviation. Small deviations (below 2), or any deviation in
// high quality, run one exact convolution with a sampled kernel in 16.16
// fixed point; larger ones run three box filters, whose cost does not depend
// on the deviation. The four bytes of a pixel are filtered independently as
// stored. Pixels the filter cannot compute from a full window keep their
// values.

// Deviations below this use the convolution even without high quality.
constexpr double kBoxDeviationLimit = 2.0;
// The convolution's extent: the kernel reaches as far as needed to cover
// this much of one half of the Gaussian's area.
constexpr double kKernelAreaThreshold = 0.499;

// Box size for a deviation: floor(deviation * boxScale + 0.5) when the axis
// uses box passes (deviation >= 2, not high quality), else 0. Box sizes that
// no rectangle can hold are reported as kUnfittableBox.
constexpr int64_t kUnfittableBox = int64_t(1) << 31;
int64_t blurBoxSize(double deviation, bool highQuality);

// Pixels at each end of a line that the passes of one axis consume: the
// convolution radius, or for box passes d/2 + d - 1 (box size d even) or
// d/2 + d - 2 (d odd). 0 for a deviation that blurs nothing (0 and anything
// up to about 0.3997) and for negative, infinite and NaN deviations. The
// convolution's extent is found by summing kernel weights, one per pixel of
// extent; the sum stops once the extent exceeds `limit` and returns limit + 1,
// so huge deviations cost no more than the lines they could act on.
int64_t blurSurround(double deviation, bool highQuality, int64_t limit);

// One box pass: the rectangle's inset at both ends of each axis, the window
// size and the position within the first window where the first output goes.
struct BoxPass {
    int64_t skipX = 0;
    int64_t skipY = 0;
    int64_t boxSize = 0;
    int64_t loc = 0;
};

// The passes along one axis: either one convolution of the given radius, or
// three box passes, or nothing.
struct AxisPasses {
    int64_t radius = 0;  // convolution radius, 0 for none
    double deviation = 0;
    int boxCount = 0;  // 0 or 3
    BoxPass boxes[3];
};

// All passes of a blur of a width x height rectangle: the horizontal ones
// run first, over every row; the vertical ones over the columns that the
// horizontal passes computed (box passes) or over every column (convolution).
struct BlurPlan {
    int64_t boxX = 0, boxY = 0;  // box sizes, 0 without box passes
    int64_t skipX = 0;           // inset of the horizontal passes
    AxisPasses horizontal;
    AxisPasses vertical;
};

BlurPlan planBlur(double deviationX, double deviationY, bool highQuality, int32_t width,
                  int32_t height);

// The single passes, on the rectangle of `region` (which must lie within the
// pixel memory at `pixels`). Exposed for tests.
void runBoxPass(uint32_t* pixels, const PixelRegion& region, const BoxPass& pass, bool vertical);
void runConvolutionPass(uint32_t* pixels, const PixelRegion& region, int64_t radius,
                        double deviation, bool vertical);

// Blurs the rectangle of `region` in the `pixelCount` words of pixel memory at
// `pixels`, after cutting the region to that memory (fitRegion).
void gaussianBlur(uint32_t* pixels, int64_t pixelCount, PixelRegion region, double deviationX,
                  double deviationY, bool highQuality);

}  // namespace lumo
