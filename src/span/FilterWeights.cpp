#include "span/FilterWeights.h"

#include <algorithm>
#include <cstdlib>

namespace lumo {

FilterWeights::FilterWeights(const agg::image_filter_lut& lut, Layout layout)
    : table_(),
      diameter_(std::min(lut.diameter(), maxDiameter)),
      start_(layout == General ? lut.start() : 0),
      clampsNegative_(layout == General) {
    const int16_t* w = lut.weight_array();
    for (unsigned f = 0; f < 256; ++f) {
        if (layout == General) {
            for (unsigned i = 0; i < diameter_; ++i) table_[f][i] = w[255 - f + 256 * i];
        } else {
            // AGG's 2x2 generator skips the outer part of wider tables.
            const unsigned base = (lut.diameter() / 2 - 1) * 256;
            table_[f][0] = w[base + f + 256];
            table_[f][1] = w[base + f];
            diameter_ = 2;
        }
    }
    // A product weight is at most (m * m + 8192) >> 14 in size, m the
    // largest weight; a channel at most 255 times the sum of the product
    // weights' sizes, shifted down by 14.
    int64_t largest = 0, widest = 0;
    for (unsigned f = 0; f < 256; ++f) {
        int64_t sum = 0;
        for (unsigned i = 0; i < diameter_; ++i) {
            largest = std::max<int64_t>(largest, std::abs(int(table_[f][i])));
            sum += std::abs(int(table_[f][i]));
        }
        widest = std::max(widest, sum);
    }
    const int64_t product = ((largest * largest + 8192) >> 14) + 1;
    const int64_t channel = ((((widest * widest) >> 14) + diameter_ * diameter_) * 255 >> 14) + 1;
    fitsSixteenBits_ = product <= 32767 && channel <= 32767;
}

}  // namespace lumo
