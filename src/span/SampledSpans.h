#pragma once

#include "span/BilinearSpans.h"
#include "span/ImageAccessors.h"
#include "span/NearestSpans.h"
#include "span/WrappedBilinearSpans.h"
#include "span/WrappedNearestSpans.h"

namespace lumo {

// The nearest-neighbour and bilinear span generators that sample an image
// through a given accessor: images wrapped in both directions get generators
// of their own, which read every tile from the rows.
template <class Accessor>
struct SampledSpans {
    using Nearest = NearestSpans<Accessor>;
    using Bilinear = BilinearSpans<Accessor>;
};

template <class WrapX, class WrapY>
struct SampledSpans<WrapAccessor<WrapX, WrapY>> {
    using Nearest = WrappedNearestSpans<WrapX, WrapY>;
    using Bilinear = WrappedBilinearSpans<WrapX, WrapY>;
};

}  // namespace lumo
