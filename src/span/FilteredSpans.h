#pragma once

#include "core/Simd.h"
#include "span/FilterBlock.h"
#include "span/FilterWeights.h"
#include "span/ImageAccessors.h"
#include "span/ImageSpanSteps.h"

#include <agg_color_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumo {

static_assert(sizeof(agg::rgba8) == 4, "colours are written as four bytes r, g, b, a");

// The image span generator of the look-up-table filters: pixel for pixel
// what AGG's span_image_filter_rgba (FilterWeights::General) or
// span_image_filter_rgba_2x2 (FilterWeights::TwoByTwo) produces over the same
// accessor, linear interpolator and filter. Footprints that lie inside the
// image are read straight from its rows; the others (edges, wrapped tiles) go
// through the accessor, one pixel after the other as AGG reads them. Spans
// along which the image row does not change (no rotation or shear) keep
// their rows and vertical weights for the whole span.
template <class Accessor>
class FilteredSpans {
public:
    using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;

    FilteredSpans(Accessor& accessor, Interpolator& interpolator, const FilterWeights& weights,
                  const RowSourcePixels& pixels)
        : accessor_(accessor),
          interpolator_(interpolator),
          weights_(weights),
          pixels_(pixels),
          diameter_(weights.diameter()),
          start_(weights.start()),
          // Footprints inside start at most diameter - 1 pixels before the
          // last column or row.
          blockWidth_(inside(pixels.width(), weights.diameter())),
          blockHeight_(inside(pixels.height(), weights.diameter())),
          inPlace_(pixels.inPlaceTop() != nullptr) {}

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        ImageSpanSteps steps(interpolator_.transformer(), x, y, len);
#if LUMO_SSE2
        if (weights_.fitsSixteenBits()) {
            switch (diameter_) {
                case 2:
                    return generateWith<2>(span, steps, len);
                case 4:
                    return generateWith<4>(span, steps, len);
                case 6:
                    return generateWith<6>(span, steps, len);
                default:
                    return generateWith<8>(span, steps, len);
            }
        }
#endif
        portable(span, steps, len);
    }

    // The same without SSE2, as builds without it always sample.
    void generatePortable(agg::rgba8* span, int x, int y, unsigned len) {
        ImageSpanSteps steps(interpolator_.transformer(), x, y, len);
        portable(span, steps, len);
    }

private:
    static constexpr unsigned maxDiameter = FilterWeights::maxDiameter;
    // The sample positions are pixel centres: half a pixel back gives the
    // pixel the footprint is placed from and the fractions.
    static constexpr int half = 128;

    static unsigned inside(unsigned size, unsigned diameter) {
        return size >= diameter ? size - diameter + 1 : 0;
    }

    // The footprint's rows, or false when it reaches outside the image (or
    // its rows cannot be held at once).
    bool rows(int y0, const agg::int8u** rows) const {
        return unsigned(y0) < blockHeight_ && pixels_.rowRun(y0, int(diameter_), rows);
    }

    // Pixels through the accessor, in AGG's order, each copied as soon as it
    // is read (the rows it comes from may not stay put), into `block`, whose
    // rows then stand in for the image's.
    void gather(int x0, int y0, agg::int8u (*block)[4 * maxDiameter], const agg::int8u** rows) {
        const agg::int8u* p = accessor_.span(x0, y0, diameter_);
        for (unsigned j = 0;;) {
            rows[j] = block[j];
            for (unsigned i = 0;;) {
                std::memcpy(block[j] + 4 * i, p, 4);
                if (++i == diameter_) break;
                p = accessor_.next_x();
            }
            if (++j == diameter_) break;
            p = accessor_.next_y();
        }
    }

    void portable(agg::rgba8* span, ImageSpanSteps& steps, unsigned len) {
        const bool clampNegative = weights_.clampsNegative();
        const agg::int8u* rowPointers[maxDiameter];
        agg::int8u block[maxDiameter][4 * maxDiameter];
        do {
            const int xh = steps.x() - half, yh = steps.y() - half;
            const int x0 = (xh >> 8) + start_, y0 = (yh >> 8) + start_;
            const int16_t* wx = weights_.weights(unsigned(xh) & 255);
            const int16_t* wy = weights_.weights(unsigned(yh) & 255);
            ptrdiff_t offset = 0;
            if (unsigned(x0) < blockWidth_ && rows(y0, rowPointers)) {
                offset = ptrdiff_t(x0) * 4;
            } else {
                gather(x0, y0, block, rowPointers);
            }
            filter::weigh(rowPointers, offset, diameter_, wx, wy, clampNegative,
                          reinterpret_cast<uint8_t*>(span));
            ++span;
            steps.next();
        } while (--len);
    }

#if LUMO_SSE2
    template <unsigned D>
    void generateWith(agg::rgba8* span, ImageSpanSteps& steps, unsigned len) {
        const bool clampNegative = weights_.clampsNegative();
        const agg::int8u* rowPointers[maxDiameter];
        const agg::int8u* blockRows[maxDiameter];
        agg::int8u block[maxDiameter][4 * maxDiameter];
        __m128i rowWeights[D];
        if (steps.constantY()) {
            // One row of footprints: its rows and vertical weights hold for
            // the whole span.
            const int yh = steps.y() - half;
            const int y0 = (yh >> 8) + start_;
            const int16_t* wy = weights_.weights(unsigned(yh) & 255);
            for (unsigned j = 0; j < D; ++j) rowWeights[j] = filter::rowWeight(wy[j]);
            const bool held = rows(y0, rowPointers);
            do {
                const int xh = steps.x() - half;
                const int x0 = (xh >> 8) + start_;
                const filter::ColumnWeights columns(weights_.weights(unsigned(xh) & 255));
                if (held && unsigned(x0) < blockWidth_) {
                    store(span, filter::weigh<D>(rowPointers, ptrdiff_t(x0) * 4, columns,
                                                 rowWeights, clampNegative));
                } else {
                    gather(x0, y0, block, blockRows);
                    store(span, filter::weigh<D>(blockRows, 0, columns, rowWeights, clampNegative));
                    // The accessor may have asked for rows too.
                    if (held && !inPlace_) rows(y0, rowPointers);
                }
                ++span;
                steps.nextX();
            } while (--len);
            return;
        }
        do {
            const int xh = steps.x() - half, yh = steps.y() - half;
            const int x0 = (xh >> 8) + start_, y0 = (yh >> 8) + start_;
            const filter::ColumnWeights columns(weights_.weights(unsigned(xh) & 255));
            const int16_t* wy = weights_.weights(unsigned(yh) & 255);
            for (unsigned j = 0; j < D; ++j) rowWeights[j] = filter::rowWeight(wy[j]);
            if (unsigned(x0) < blockWidth_ && rows(y0, rowPointers)) {
                store(span, filter::weigh<D>(rowPointers, ptrdiff_t(x0) * 4, columns, rowWeights,
                                             clampNegative));
            } else {
                gather(x0, y0, block, blockRows);
                store(span, filter::weigh<D>(blockRows, 0, columns, rowWeights, clampNegative));
            }
            ++span;
            steps.next();
        } while (--len);
    }

    static void store(agg::rgba8* span, uint32_t rgba) {
        std::memcpy(static_cast<void*>(span), &rgba, 4);
    }
#endif

    Accessor& accessor_;
    Interpolator& interpolator_;
    const FilterWeights& weights_;
    RowSourcePixels pixels_;
    unsigned diameter_;
    int start_;
    unsigned blockWidth_;
    unsigned blockHeight_;
    bool inPlace_;
};

}  // namespace lumo
