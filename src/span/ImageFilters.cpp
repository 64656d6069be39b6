#include "span/ImageFilters.h"

namespace lumo {

void buildImageFilter(unsigned hint, agg::image_filter_lut& lut) {
    switch (hint) {
        case 2:
            return lut.calculate(agg::image_filter_bicubic(), true);
        case 3:
            return lut.calculate(agg::image_filter_spline16(), true);
        case 4:
            return lut.calculate(agg::image_filter_spline36(), true);
        case 5:
            return lut.calculate(agg::image_filter_hanning(), true);
        case 6:
            return lut.calculate(agg::image_filter_hamming(), true);
        case 7:
            return lut.calculate(agg::image_filter_hermite(), true);
        case 8:
            return lut.calculate(agg::image_filter_kaiser(6.33), true);
        case 9:
            return lut.calculate(agg::image_filter_quadric(), true);
        case 10:
            return lut.calculate(agg::image_filter_catrom(), true);
        case 11:
            return lut.calculate(agg::image_filter_gaussian(), true);
        case 12:
            return lut.calculate(agg::image_filter_bessel(), true);
        case 13:
            return lut.calculate(agg::image_filter_mitchell(1.0 / 3.0, 1.0 / 3.0), true);
        case 14:
            return lut.calculate(agg::image_filter_sinc(2.0), true);
        case 15:
            return lut.calculate(agg::image_filter_lanczos(2.0), true);
        default:
            return lut.calculate(agg::image_filter_blackman(2.0), true);
    }
}

FilterWeights::Layout imageFilterLayout(unsigned hint) {
    return hint >= 5 && hint <= 7 ? FilterWeights::TwoByTwo : FilterWeights::General;
}

}  // namespace lumo
