#pragma once

#include "span/ImageAccessors.h"
#include "span/ImageSpanSteps.h"
#include "span/RowColumns.h"

#include <agg_color_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <cstdint>
#include <cstring>

namespace lumo {

// A pixel's bytes b, g, r, a to a colour: on little-endian machines one word
// with its red and blue bytes swapped.
inline void copyPixel(agg::rgba8* span, const agg::int8u* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes r, g, b, a");
    uint32_t v;
    std::memcpy(&v, p, 4);
    v = (v & 0xff00ff00u) | ((v >> 16) & 0xffu) | ((v & 0xffu) << 16);
    std::memcpy(static_cast<void*>(span), &v, 4);
#else
    span->r = p[2];
    span->g = p[1];
    span->b = p[0];
    span->a = p[3];
#endif
}

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
                copyPixel(span, pixels_.row(yl) + 4 * xl);
            } else {
                copyPixel(span, accessor_.span(xl, yl, 1));
            }
            ++span;
            steps.next();
        } while (--len);
    }

    // The row the span's pixels come from and their byte offsets in it, when
    // the image row stays the same along the span (no rotation or shear):
    // what generate picks, each column and the row clamped into the image as
    // the accessor clamps them. Columns depend on the span's start and length
    // alone when the image columns do not follow y, so the rows of a
    // rectangle reuse them. Both stay valid until the next span, which
    // starts at x and whose ends map to `ends`.
    bool rowColumns(const SpanEnds& ends, int x, unsigned len, RowColumns& picked) {
        if (len > maxColumns || len == 0) return false;
        const agg::trans_affine& deviceToImage = interpolator_.transformer();
        ImageSpanSteps steps(ends, len);
        if (!steps.constantY()) return false;
        picked.index = clamped(steps.y() >> 8, height_);
        picked.row = pixels_.row(picked.index);
        picked.columns = columns_;
        const bool reuse = deviceToImage.shx == 0.0 && x == columnsX_ && len == columnsLen_ &&
                           deviceToImage.sx == columnsSx_ && deviceToImage.tx == columnsTx_;
        if (reuse) return true;
        for (unsigned i = 0; i < len; ++i) {
            columns_[i] = 4 * uint32_t(clamped(steps.x() >> 8, width_));
            steps.nextX();
        }
        columnsX_ = x;
        columnsLen_ = deviceToImage.shx == 0.0 ? len : 0;
        columnsSx_ = deviceToImage.sx;
        columnsTx_ = deviceToImage.tx;
        return true;
    }

private:
    static constexpr unsigned maxColumns = 1024;

    static int clamped(int v, unsigned size) {
        return v < 0 ? 0 : unsigned(v) >= size ? int(size) - 1 : v;
    }

    void generateRow(agg::rgba8* span, ImageSpanSteps& steps, unsigned len) {
        const int yl = steps.y() >> 8;
        const agg::int8u* row = unsigned(yl) < height_ ? pixels_.row(yl) : nullptr;
        do {
            const int xl = steps.x() >> 8;
            if (row != nullptr && unsigned(xl) < width_) {
                copyPixel(span, row + 4 * xl);
            } else {
                copyPixel(span, accessor_.span(xl, yl, 1));
                // The accessor may have asked for other rows.
                if (row != nullptr) row = pixels_.row(yl);
            }
            ++span;
            steps.nextX();
        } while (--len);
    }

    Accessor& accessor_;
    Interpolator& interpolator_;
    RowSourcePixels pixels_;
    unsigned width_;
    unsigned height_;
    // The columns of the last span, for the span start, length (0: none kept)
    // and transform they were worked out for.
    uint32_t columns_[maxColumns];
    int columnsX_ = 0;
    unsigned columnsLen_ = 0;
    double columnsSx_ = 0, columnsTx_ = 0;
};

}  // namespace lumo
