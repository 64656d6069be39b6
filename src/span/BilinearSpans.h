#pragma once

#include "core/Simd.h"
#include "span/BilinearBlock.h"
#include "span/ImageAccessors.h"
#include "span/ImageSpanSteps.h"

#include <agg_color_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumo {

static_assert(sizeof(agg::rgba8) == 4, "colours are written as four bytes r, g, b, a");

// The bilinear average of the block at (x, y) read through an accessor, each
// pixel read as soon as it is found (the rows it comes from may not stay put).
template <class Accessor>
void averageThrough(Accessor& accessor, int x, int y, unsigned fx, unsigned fy, agg::rgba8* span) {
    agg::int8u p[4][4];
    std::memcpy(p[0], accessor.span(x, y, 2), 4);
    std::memcpy(p[1], accessor.next_x(), 4);
    std::memcpy(p[2], accessor.next_y(), 4);
    std::memcpy(p[3], accessor.next_x(), 4);
    bilinear::average(p[0], p[1], p[2], p[3], fx, fy, reinterpret_cast<uint8_t*>(span));
}

// The bilinear image span generator: pixel for pixel what AGG's
// span_image_filter_rgba_bilinear produces over the same accessor and linear
// interpolator. Blocks of 2x2 pixels that lie inside the image are read
// straight from its rows; the others (edges, tiles of wrapped images too
// wide for WrappedBilinearSpans) go through the accessor, one pixel after
// the other as AGG reads them. Spans along which the image row does not
// change (no rotation or shear) keep their two rows and vertical weights for
// the whole span.
template <class Accessor>
class BilinearSpans {
public:
    using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;

    BilinearSpans(Accessor& accessor, Interpolator& interpolator, const RowSourcePixels& pixels)
        : accessor_(accessor),
          interpolator_(interpolator),
          pixels_(pixels),
          // Blocks start at most one pixel before the last column or row.
          blockWidth_(pixels.width() - 1),
          blockHeight_(pixels.height() - 1),
          top_(pixels.inPlaceTop()),
          step_(pixels.inPlaceStep()) {}

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        ImageSpanSteps steps(interpolator_.transformer(), x, y, len);
        if (steps.constantY()) {
            generateRow(span, steps, len);
        } else {
            generateAny(span, steps, len);
        }
    }

private:
    // The sample positions are pixel centres: half a pixel back gives the
    // top left pixel of the block and the fractions.
    static constexpr int half = 128;

    void generateAny(agg::rgba8* span, ImageSpanSteps& steps, unsigned len) {
        do {
            const int xh = steps.x() - half, yh = steps.y() - half;
            const int xl = xh >> 8, yl = yh >> 8;
            const unsigned fx = unsigned(xh) & 255, fy = unsigned(yh) & 255;
            const agg::int8u *upper, *lower;
            if (unsigned(xl) < blockWidth_ && unsigned(yl) < blockHeight_ &&
                rowPair(yl, upper, lower)) {
                inside(span, upper + 4 * xl, lower + 4 * xl, fx, fy);
            } else {
                edge(span, xl, yl, fx, fy);
            }
            ++span;
            steps.next();
        } while (--len);
    }

    bool rowPair(int y, const agg::int8u*& upper, const agg::int8u*& lower) const {
        if (top_ == nullptr) return pixels_.rowPair(y, upper, lower);
        upper = top_ + ptrdiff_t(y) * step_;
        lower = upper + step_;
        return true;
    }

    void generateRow(agg::rgba8* span, ImageSpanSteps& steps, unsigned len) {
        const int yh = steps.y() - half;
        const int yl = yh >> 8;
        const unsigned fy = unsigned(yh) & 255;
        const agg::int8u *upper = nullptr, *lower = nullptr;
        const bool rows = unsigned(yl) < blockHeight_ && pixels_.rowPair(yl, upper, lower);
#if LUMO_SSE2
        const __m128i wy = bilinear::weights(fy);
#endif
        do {
            const int xh = steps.x() - half;
            const int xl = xh >> 8;
            const unsigned fx = unsigned(xh) & 255;
            if (rows && unsigned(xl) < blockWidth_) {
#if LUMO_SSE2
                store(span, bilinear::average(bilinear::pixelPair(upper + 4 * xl),
                                              bilinear::pixelPair(lower + 4 * xl),
                                              bilinear::weights(fx), wy));
#else
                inside(span, upper + 4 * xl, lower + 4 * xl, fx, fy);
#endif
            } else {
                edge(span, xl, yl, fx, fy);
                // The accessor may have asked for rows too.
                if (rows) pixels_.rowPair(yl, upper, lower);
            }
            ++span;
            steps.nextX();
        } while (--len);
    }

    // A block inside the image: its top row at `upper`, bottom row at `lower`.
    static void inside(agg::rgba8* span, const agg::int8u* upper, const agg::int8u* lower,
                       unsigned fx, unsigned fy) {
#if LUMO_SSE2
        store(span, bilinear::average(bilinear::pixelPair(upper), bilinear::pixelPair(lower),
                                      bilinear::weights(fx), bilinear::weights(fy)));
#else
        bilinear::average(upper, upper + 4, lower, lower + 4, fx, fy,
                          reinterpret_cast<uint8_t*>(span));
#endif
    }

    // A block through the accessor.
    void edge(agg::rgba8* span, int xl, int yl, unsigned fx, unsigned fy) {
        averageThrough(accessor_, xl, yl, fx, fy, span);
    }

#if LUMO_SSE2
    static void store(agg::rgba8* span, uint32_t rgba) {
        std::memcpy(static_cast<void*>(span), &rgba, 4);
    }
#endif

    Accessor& accessor_;
    Interpolator& interpolator_;
    RowSourcePixels pixels_;
    unsigned blockWidth_;
    unsigned blockHeight_;
    const agg::int8u* top_;
    ptrdiff_t step_;
};

}  // namespace lumo
