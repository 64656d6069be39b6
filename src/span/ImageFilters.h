#pragma once

#include "span/FilterWeights.h"

#include <agg_image_filters.h>

namespace lumo {

// Filters 2 to 16 of the image-filter hint, as AGG weight tables (hints
// beyond 16 get the last one).
void buildImageFilter(unsigned hint, agg::image_filter_lut& lut);

// How the filter of a hint is sampled: the 2x2 filters (hanning, hamming,
// hermite: hints 5 to 7) as AGG's span_image_filter_rgba_2x2 samples them,
// the others as its general span_image_filter_rgba.
FilterWeights::Layout imageFilterLayout(unsigned hint);

}  // namespace lumo
