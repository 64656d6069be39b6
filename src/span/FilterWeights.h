#pragma once

#include <agg_image_filters.h>

#include <cstdint>

namespace lumo {

// The weights of one of AGG's look-up-table image filters, laid out per
// subpixel fraction: for a sample whose position lies `f` 256ths past a pixel
// boundary, weights(f)[i] is the weight AGG's span generator gives the i-th
// column (or row) of the footprint. The same table serves both axes, since
// AGG indexes the weight array the same way along x and y.
//
// Two layouts, as AGG's two generators read the weight array:
//  - General (span_image_filter_rgba): the footprint starts start() pixels
//    from the sample's pixel and weight i is w[255 - f + 256 i];
//  - TwoByTwo (span_image_filter_rgba_2x2, for filters of radius 1): the
//    footprint starts at the sample's pixel, weights w[f + 256] and w[f].
// The general generator limits every channel to 0 and up; the 2x2 one does
// not (a negative sum would wrap when stored as a byte).
class FilterWeights {
public:
    enum Layout { General, TwoByTwo };
    static constexpr unsigned maxDiameter = 8;

    // `lut` spans at most maxDiameter pixels (every filter of the
    // image-filter hint does).
    FilterWeights(const agg::image_filter_lut& lut, Layout layout);

    // Pixels the footprint spans along each axis: 2, 4, 6 or 8.
    unsigned diameter() const { return diameter_; }
    // Where the footprint starts, relative to the sample's pixel.
    int start() const { return start_; }
    bool clampsNegative() const { return clampsNegative_; }
    // Whether every product weight and every filtered channel fits in 16
    // bits, as the SSE2 sums need (true for all of AGG's filters).
    bool fitsSixteenBits() const { return fitsSixteenBits_; }
    // maxDiameter weights for fraction f (0..255); those past the diameter
    // are 0.
    const int16_t* weights(unsigned f) const { return table_[f]; }

private:
    int16_t table_[256][maxDiameter];
    unsigned diameter_;
    int start_;
    bool clampsNegative_;
    bool fitsSixteenBits_;
};

}  // namespace lumo
