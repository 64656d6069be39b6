#pragma once

#include "paint/ImageAccessors.h"
#include "paint/ImageSpanSteps.h"

#include <agg_color_rgba.h>
#include <agg_span_interpolator_linear.h>

namespace lumo {

// The nearest-neighbour image span generator: pixel for pixel what AGG's
// span_image_filter_rgba_nn produces over the same accessor and linear
// interpolator. Pixels inside the image are read straight from its rows, the
// others through the accessor. Spans along which the image row does not
// change (no rotation or shear) look their row up once.
template <class Accessor>
class NearestSpans {
public:
    using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;

    NearestSpans(Accessor& accessor, Interpolator& interpolator, const RowSourcePixels& pixels)
        : accessor_(accessor),
          interpolator_(interpolator),
          pixels_(pixels),
          width_(pixels.width()),
          height_(pixels.height()) {}

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        ImageSpanSteps steps(interpolator_.transformer(), x, y, len);
        if (steps.constantY()) {
            generateRow(span, steps, len);
            return;
        }
        do {
            const int xl = steps.x() >> 8, yl = steps.y() >> 8;
            if (unsigned(xl) < width_ && unsigned(yl) < height_) {
                copy(span, pixels_.row(yl) + 4 * xl);
            } else {
                copy(span, accessor_.span(xl, yl, 1));
            }
            ++span;
            steps.next();
        } while (--len);
    }

private:
    void generateRow(agg::rgba8* span, ImageSpanSteps& steps, unsigned len) {
        const int yl = steps.y() >> 8;
        const agg::int8u* row = unsigned(yl) < height_ ? pixels_.row(yl) : nullptr;
        do {
            const int xl = steps.x() >> 8;
            if (row != nullptr && unsigned(xl) < width_) {
                copy(span, row + 4 * xl);
            } else {
                copy(span, accessor_.span(xl, yl, 1));
                // The accessor may have asked for other rows.
                if (row != nullptr) row = pixels_.row(yl);
            }
            ++span;
            steps.nextX();
        } while (--len);
    }

    // Bytes b, g, r, a to a colour.
    static void copy(agg::rgba8* span, const agg::int8u* p) {
        span->r = p[2];
        span->g = p[1];
        span->b = p[0];
        span->a = p[3];
    }

    Accessor& accessor_;
    Interpolator& interpolator_;
    RowSourcePixels pixels_;
    unsigned width_;
    unsigned height_;
};

}  // namespace lumo
