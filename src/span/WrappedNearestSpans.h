#pragma once

#include "span/ColumnGather.h"
#include "span/ImageAccessors.h"
#include "span/NearestSpans.h"
#include "span/WrapAxis.h"
#include "span/WrappedSpanSteps.h"

#include <agg_color_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <cstdint>

namespace lumo {

// The nearest-neighbour span generator for images wrapped in both
// directions: pixel for pixel what AGG's span_image_filter_rgba_nn produces
// over its wrapping accessor. Positions are reduced into one period per span
// (WrappedSpanSteps) and every pixel is read straight from its row; periods
// too long to reduce go through NearestSpans and the accessor.
template <class WrapX, class WrapY>
class WrappedNearestSpans {
public:
    using Accessor = WrapAccessor<WrapX, WrapY>;
    using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;

    WrappedNearestSpans(Accessor& accessor, Interpolator& interpolator,
                        const RowSourcePixels& pixels)
        : general_(accessor, interpolator, pixels),
          interpolator_(interpolator),
          pixels_(pixels),
          axisX_(pixels.width()),
          axisY_(pixels.height()),
          reducible_(axisX_.period() <= WrappedSpanSteps::maxPeriod &&
                     axisY_.period() <= WrappedSpanSteps::maxPeriod),
          columnsFollowX_(interpolator.transformer().shx == 0.0) {}

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        if (!reducible_) return general_.generate(span, x, y, len);
        WrappedSpanSteps steps(interpolator_.transformer(), x, y, len, axisX_.period(),
                               axisY_.period(), 0);
        // A copy the stores to the span cannot alias.
        const AxisX axisX = axisX_;
        if (steps.constantY()) {
            const agg::int8u* row = pixels_.row(int(axisY_.pixel(unsigned(steps.y()) >> 8)));
            if (columnsFollowX_ && len <= maxColumns) {
                return copyColumns(span, row, steps, axisX, x, len);
            }
            do {
                copyPixel(span, row + 4 * axisX.pixel(unsigned(steps.x()) >> 8));
                ++span;
                steps.nextX();
            } while (--len);
            return;
        }
        do {
            const agg::int8u* row = pixels_.row(int(axisY_.pixel(unsigned(steps.y()) >> 8)));
            copyPixel(span, row + 4 * axisX.pixel(unsigned(steps.x()) >> 8));
            ++span;
            steps.next();
        } while (--len);
    }

private:
    using AxisX = typename WrapAxisOf<WrapX>::type;
    static constexpr unsigned maxColumns = 1024;

    // Without shear the image columns of a span depend only on where it
    // starts and how long it is, not on its row: a span like the one before
    // (the rows of a rectangle) reuses the columns worked out for it. The
    // translation is compared too: BoundedImageSpans changes it for the
    // generator it hands single pixels.
    void copyColumns(agg::rgba8* span, const agg::int8u* row, WrappedSpanSteps& steps,
                     const AxisX& axisX, int x, unsigned len) {
        const double tx = interpolator_.transformer().tx;
        if (x != columnsX_ || len != columnsLen_ || tx != columnsTx_) {
            for (unsigned i = 0; i < len; ++i) {
                columns_[i] = 4 * axisX.pixel(unsigned(steps.x()) >> 8);
                steps.nextX();
            }
            columnsX_ = x;
            columnsLen_ = len;
            columnsTx_ = tx;
        }
        gatherColumns(span, row, columns_, len);
    }

    using AxisY = typename WrapAxisOf<WrapY>::type;

    NearestSpans<Accessor> general_;
    Interpolator& interpolator_;
    RowSourcePixels pixels_;
    AxisX axisX_;
    AxisY axisY_;
    bool reducible_;
    bool columnsFollowX_;
    int columnsX_ = 0;
    unsigned columnsLen_ = 0;
    double columnsTx_ = 0.0;
    uint32_t columns_[maxColumns];
};

}  // namespace lumo
