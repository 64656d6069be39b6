#pragma once

#include "span/ColumnGather.h"
#include "span/ImageAccessors.h"
#include "span/NearestSpans.h"
#include "span/WrapAxis.h"
#include "span/WrappedColumns.h"
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
          columnsFollowX_(interpolator.transformer().shx == 0.0),
          rowsFollowY_(interpolator.transformer().shy == 0.0) {}

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        if (!reducible_) return general_.generate(span, x, y, len);
        WrappedSpanSteps steps(interpolator_.transformer(), x, y, len, axisX_.period(),
                               axisY_.period(), 0);
        // A copy the stores to the span cannot alias.
        const AxisX axisX = axisX_;
        if (steps.constantY()) {
            const agg::int8u* row = rowOf(steps);
            if (columnsFollowX_ && len <= maxColumns) {
                return gatherColumns(span, row, columnsOf(steps.xLine(), x, len), len);
            }
            do {
                copyPixel(span, row + 4 * axisX.pixel(unsigned(steps.x()) >> 8));
                ++span;
                steps.nextX();
            } while (--len);
            return;
        }
        do {
            copyPixel(span, rowOf(steps) + 4 * axisX.pixel(unsigned(steps.x()) >> 8));
            ++span;
            steps.next();
        } while (--len);
    }

    // The row the span's pixels come from and their byte offsets in it, when
    // they come from one row and are picked by columns (what generate
    // gathers); false otherwise. Both stay valid until the next span, which
    // starts at x and whose ends map to `ends`.
    bool rowColumns(const SpanEnds& ends, int x, unsigned len, RowColumns& picked) {
        if (!reducible_ || !columnsFollowX_ || len > maxColumns || len == 0) return false;
        if (rowsFollowY_) return axisAlignedColumns(ends, x, len, picked);
        const ImageSpanSteps steps(ends, len);
        if (!steps.constantY()) return false;
        // The row position reduced from the one before (the other spans of
        // the row, the rows below), only the columns stepped.
        picked.index = int(axisY_.pixel(unsigned(reducedY(steps.y())) >> 8));
        picked.row = pixels_.row(picked.index);
        picked.columns =
            columnsOf(WrappedSpanSteps::Line(steps.xLine(), axisX_.period(), 0), x, len);
        return true;
    }

private:
    using AxisX = typename WrapAxisOf<WrapX>::type;
    static constexpr unsigned maxColumns = 1024;
    static_assert(maxColumns >= 16, "wrappedShortColumnsOf writes 16 columns");

    // rowColumns without shear or rotation: the image row stays the one the
    // span's start maps to, and the columns follow from the ends of the x
    // line alone (24.8, rounded as ImageSpanSteps rounds them), short spans'
    // without stepping.
    bool axisAlignedColumns(const SpanEnds& ends, int x, unsigned len, RowColumns& picked) {
        picked.index = int(axisY_.pixel(unsigned(reducedY(agg::iround(ends.y1 * 256.0))) >> 8));
        picked.row = pixels_.row(picked.index);
        bool found;
        uint32_t* columns = columnsFor(x, len, found);
        picked.columns = columns;
        if (found) return true;
        const int v1 = agg::iround(ends.x1 * 256.0), v2 = agg::iround(ends.x2 * 256.0);
        if (wrappedColumns::fitsShort(v1, v2, len, int(axisX_.period() << 8))) {
            wrappedShortColumnsOf(columns, WrappedSpanSteps::reduced(v1, axisX_.period()), v1, v2,
                                  len, axisX_);
        } else {
            const ImageSpanSteps::Line line(v1, v2, int(len));
            wrappedColumnsOf(columns, WrappedSpanSteps::Line(line, axisX_.period(), 0), len,
                             axisX_);
        }
        return true;
    }

    // A row position (24.8) reduced into the period: from the one before
    // when it lies less than a period after it (the next rows of a
    // rectangle), which gives the same remainder without a division.
    int reducedY(int v) {
        const int span = int(axisY_.period() << 8);
        const int64_t step = int64_t(v) - lastY_;
        int r;
        if (step >= 0 && step < span) {
            r = lastReducedY_ + int(step);
            if (r >= span) r -= span;
        } else {
            r = WrappedSpanSteps::reduced(v, axisY_.period());
        }
        lastY_ = v;
        lastReducedY_ = r;
        return r;
    }

    int rowIndex(const WrappedSpanSteps& steps) const {
        return int(axisY_.pixel(unsigned(steps.y()) >> 8));
    }
    const agg::int8u* rowOf(const WrappedSpanSteps& steps) { return pixels_.row(rowIndex(steps)); }

    // The slot of the columns of a span from x, len long, under the current
    // translation: found says they are there already; otherwise the slot not
    // used last, now named for the span, for the caller to fill.
    uint32_t* columnsFor(int x, unsigned len, bool& found) {
        const double tx = interpolator_.transformer().tx;
        for (unsigned i = 0; i < 2; ++i) {
            ColumnSlot& slot = slots_[i];
            if (slot.x == x && slot.len == len && slot.tx == tx) {
                found = true;
                lastSlot_ = i;
                return slot.columns;
            }
        }
        found = false;
        lastSlot_ ^= 1;
        ColumnSlot& slot = slots_[lastSlot_];
        slot.x = x;
        slot.len = len;
        slot.tx = tx;
        return slot.columns;
    }

    // Without shear the image columns of a span depend only on where it
    // starts and how long it is, not on its row: a span like one of the two
    // before (the rows of a rectangle, the two sides of a stroked one) reuses
    // the columns worked out for it. The
    // translation is compared too: BoundedImageSpans changes it for the
    // generator it hands single pixels.
    const uint32_t* columnsOf(const WrappedSpanSteps::Line& line, int x, unsigned len) {
        bool found;
        uint32_t* columns = columnsFor(x, len, found);
        if (!found) wrappedColumnsOf(columns, line, len, axisX_);
        return columns;
    }

    using AxisY = typename WrapAxisOf<WrapY>::type;

    NearestSpans<Accessor> general_;
    Interpolator& interpolator_;
    RowSourcePixels pixels_;
    AxisX axisX_;
    AxisY axisY_;
    bool reducible_;
    bool columnsFollowX_;
    // Without rotation the image row stays the same along a span.
    bool rowsFollowY_;
    // The last row position reducedY was given, and its reduction.
    int64_t lastY_ = INT64_MIN / 2;
    int lastReducedY_ = 0;
    // The columns of the last two kinds of span: the two sides of a stroked
    // rectangle, or of a thin shape's rows, alternate.
    struct ColumnSlot {
        int x = 0;
        unsigned len = 0;
        double tx = 0.0;
        uint32_t columns[maxColumns];
    };
    ColumnSlot slots_[2];
    unsigned lastSlot_ = 0;
};

}  // namespace lumo
