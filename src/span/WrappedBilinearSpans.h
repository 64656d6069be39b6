#pragma once

#include "blend/SourceOver.h"
#include "core/Simd.h"
#include "span/BilinearBlock.h"
#include "span/BilinearColumns.h"
#include "span/BilinearColumnsOver.h"
#include "span/BilinearSpans.h"
#include "span/ImageAccessors.h"
#include "span/WrapAxis.h"
#include "span/WrappedSpanSteps.h"

#include <agg_color_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace lumo {

// The bilinear span generator for images wrapped in both directions: pixel
// for pixel what AGG's span_image_filter_rgba_bilinear produces over its
// wrapping accessor. Positions are reduced into one period per span
// (WrappedSpanSteps), and every 2x2 block is read straight from the rows,
// also where it straddles a tile edge: its second column and row are then
// the wrapped ones (the first again, or the mirrored neighbour). Rows that
// cannot be held together, and periods too long to reduce, go through the
// accessor as in BilinearSpans.
template <class WrapX, class WrapY>
class WrappedBilinearSpans {
public:
    using Accessor = WrapAccessor<WrapX, WrapY>;
    using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;

    WrappedBilinearSpans(Accessor& accessor, Interpolator& interpolator,
                         const RowSourcePixels& pixels)
        : general_(accessor, interpolator, pixels),
          accessor_(accessor),
          interpolator_(interpolator),
          pixels_(pixels),
          axisX_(pixels.width()),
          axisY_(pixels.height()),
          reducible_(axisX_.period() <= WrappedSpanSteps::maxPeriod &&
                     axisY_.period() <= WrappedSpanSteps::maxPeriod),
          top_(pixels.inPlaceTop()),
          step_(pixels.inPlaceStep()),
          columnsFollowX_(interpolator.transformer().shx == 0.0) {}

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        if (!reducible_) return general_.generate(span, x, y, len);
        WrappedSpanSteps steps(interpolator_.transformer(), x, y, len, axisX_.period(),
                               axisY_.period(), -half);
        if (steps.constantY()) {
            generateRow(span, steps, x, len);
        } else {
            generateAny(span, steps, len);
        }
    }

    // The span put source-over onto `p` (premultiplied pixels) at the covers
    // (or the one cover when covers is null), as blending the colours
    // generate gives as premultiplied ones does: spans along one row pair
    // whose blocks read few columns (blendColumns) are averaged and blended
    // in one pass (BilinearColumnsOver.h); the others are generated into
    // `colours` (room for len) and blended from there. False, with nothing
    // written, for images whose period is too long to reduce.
    __attribute__((always_inline)) bool blendOver(agg::int8u* p, int x, int y, unsigned len,
                                                  const agg::int8u* covers, unsigned cover,
                                                  agg::rgba8* colours) {
        if (!reducible_) return false;
        WrappedSpanSteps steps(interpolator_.transformer(), x, y, len, axisX_.period(),
                               axisY_.period(), -half);
        if (!steps.constantY()) {
            generateAny(colours, steps, len);
        } else if (columnsFollowX_ && len <= maxColumns) {
            const unsigned fy = unsigned(steps.y()) & 255;
            unsigned r0, r1;
            axisY_.pair(unsigned(steps.y()) >> 8, r0, r1);
            const agg::int8u *upper, *lower;
            if (!pixels_.rowPair(int(r0), int(r1), upper, lower)) {
                generateThrough(colours, steps, len, false);
            } else if (len < shortSpan) {
                blendShort(p, steps, len, upper, lower, fy, covers, cover);
                return true;
            } else if (len < minColumns && !columnsKept(x, len)) {
                averageRow(colours, steps, len, upper, lower, fy);
            } else if (blendColumnRows(steps, x, len, upper, lower, fy)) {
                bilinear::averageColumnsOver(p, blended_.get(), columns_, len, covers, cover);
                return true;
            } else {
                blendColumns(colours, steps, x, len, upper, lower, fy);
            }
        } else {
            generateRow(colours, steps, x, len);
        }
        overColorHspan<true>(p, len, colours, covers, cover);
        return true;
    }

private:
    using AxisX = typename WrapAxisOf<WrapX>::type;
    using AxisY = typename WrapAxisOf<WrapY>::type;

    // Pixel centres to the top left pixel of the block.
    static constexpr int half = 128;

    void generateRow(agg::rgba8* span, WrappedSpanSteps& steps, int x, unsigned len) {
        const unsigned fy = unsigned(steps.y()) & 255;
        unsigned r0, r1;
        axisY_.pair(unsigned(steps.y()) >> 8, r0, r1);
        const agg::int8u *upper, *lower;
        if (!pixels_.rowPair(int(r0), int(r1), upper, lower)) {
            return generateThrough(span, steps, len, false);
        }
        if (columnsFollowX_ && len <= maxColumns) {
            return blendColumns(span, steps, x, len, upper, lower, fy);
        }
        averageRow(span, steps, len, upper, lower, fy);
    }

    // The span's pixels along one row pair, each block found as the steps
    // reach it.
    void averageRow(agg::rgba8* span, WrappedSpanSteps& steps, unsigned len,
                    const agg::int8u* upper, const agg::int8u* lower, unsigned fy) {
        // A copy the stores to the span cannot alias.
        const AxisX axisX = axisX_;
#if LUMO_SSE2
        const __m128i wy = bilinear::weights(fy);
#endif
        do {
            const unsigned fx = unsigned(steps.x()) & 255;
            unsigned c0, c1;
            axisX.pair(unsigned(steps.x()) >> 8, c0, c1);
#if LUMO_SSE2
            store(span, bilinear::average(pair(upper, c0, c1), pair(lower, c0, c1),
                                          bilinear::weights(fx), wy));
#else
            bilinear::average(upper + 4 * c0, upper + 4 * c1, lower + 4 * c0, lower + 4 * c1, fx,
                              fy, reinterpret_cast<uint8_t*>(span));
#endif
            ++span;
            steps.nextX();
        } while (--len);
    }

    // A short span along one row pair averaged and blended pixel by pixel,
    // each block read from the rows as the steps reach it: no columns kept
    // for the next span, no colours handed to a span blender, whose set-up
    // costs more than such a span's pixels. The same pixels as blending the
    // colours generateRow gives (over::colourPixel is what every colour span
    // blends each pixel as). Out of line, so that blendOver stays small
    // enough to be inlined into the span renderer.
    __attribute__((noinline)) void blendShort(agg::int8u* p, WrappedSpanSteps& steps, unsigned len,
                                              const agg::int8u* upper, const agg::int8u* lower,
                                              unsigned fy, const agg::int8u* covers,
                                              unsigned cover) {
        const AxisX axisX = axisX_;
#if LUMO_SSE2
        const __m128i wy = bilinear::weights(fy);
#endif
        for (unsigned i = 0; i < len; ++i, p += 4) {
            const unsigned fx = unsigned(steps.x()) & 255;
            unsigned c0, c1;
            axisX.pair(unsigned(steps.x()) >> 8, c0, c1);
            steps.nextX();
            agg::rgba8 colour;
#if LUMO_SSE2
            store(&colour, bilinear::average(pair(upper, c0, c1), pair(lower, c0, c1),
                                             bilinear::weights(fx), wy));
#else
            bilinear::average(upper + 4 * c0, upper + 4 * c1, lower + 4 * c0, lower + 4 * c1, fx,
                              fy, reinterpret_cast<uint8_t*>(&colour));
#endif
            over::colourPixel<true>(p, colour, covers != nullptr ? covers[i] : cover);
        }
    }

    // Without shear the block columns and x weights of a span depend only on
    // where it starts and how long it is, not on its row: a span like the one
    // before (the rows of a rectangle) reuses those worked out for it (the
    // translation is compared too: BoundedImageSpans changes it for the
    // generator it hands single pixels). When the span reads few columns
    // for its length, the two rows are blended once per column first
    // (BilinearColumns.h).
    void blendColumns(agg::rgba8* span, WrappedSpanSteps& steps, int x, unsigned len,
                      const agg::int8u* upper, const agg::int8u* lower, unsigned fy) {
        if (blendColumnRows(steps, x, len, upper, lower, fy)) {
            return bilinear::averageColumns(span, blended_.get(), columns_, len);
        }
        upper += 4 * columnsFirst_;
        lower += 4 * columnsFirst_;
#if LUMO_SSE2
        const __m128i wy = bilinear::weights(fy);
        for (unsigned i = 0; i < len; ++i) {
            const Column& c = columns_[i];
            store(span + i, bilinear::average(pair(upper, c.c0, c.c1), pair(lower, c.c0, c.c1),
                                              bilinear::weights(c.fx), wy));
        }
#else
        for (unsigned i = 0; i < len; ++i) {
            const Column& c = columns_[i];
            bilinear::average(upper + 4 * c.c0, upper + 4 * c.c1, lower + 4 * c.c0,
                              lower + 4 * c.c1, c.fx, fy, reinterpret_cast<uint8_t*>(span + i));
        }
#endif
    }

    // Whether the block columns of the last span found are those of this
    // one (see blendColumns): short spans keep to them only then, and
    // otherwise find each block as they average it.
    bool columnsKept(int x, unsigned len) const {
        return x == columnsX_ && len == columnsLen_ && interpolator_.transformer().tx == columnsTx_;
    }

    // The block columns of the span (found, or those of the span before),
    // and the rows blended per column; false when the blocks read too many
    // columns for the span's length.
    bool blendColumnRows(WrappedSpanSteps& steps, int x, unsigned len, const agg::int8u* upper,
                         const agg::int8u* lower, unsigned fy) {
        if (!columnsKept(x, len)) findColumns(steps, x, len);
        const unsigned count = columnsLast_ - columnsFirst_ + 1;
        if (len < minColumns || count > maxBlended || count > 2 * len + 4) return false;
        if (blended_ == nullptr) {
            blended_.reset(new (std::nothrow) int16_t[4 * maxBlended]);
            if (blended_ == nullptr) return false;
        }
        const unsigned first = columnsFirst_;
        bilinear::blendRows(blended_.get(), upper + 4 * first, lower + 4 * first, count, fy);
        return true;
    }

    // The block columns of each pixel, counted from the first column any of
    // them reads.
    void findColumns(WrappedSpanSteps& steps, int x, unsigned len) {
        const AxisX axisX = axisX_;
        columnsX_ = x;
        columnsLen_ = len;
        columnsTx_ = interpolator_.transformer().tx;
        // A short span is averaged block by block from the rows (the columns
        // counted from the first; their weight words are not needed).
        const unsigned width = pixels_.width();
        if (len < minColumns) {
            for (unsigned i = 0; i < len; ++i) {
                Column& column = columns_[i];
                column.fx = unsigned(steps.x()) & 255;
                axisX.pair(unsigned(steps.x()) >> 8, column.c0, column.c1);
                steps.nextX();
            }
            columnsFirst_ = 0;
            columnsLast_ = width - 1;
            return;
        }
        // An image no wider than the span may read is blended whole, from
        // its first column: no need to find the columns the span reads.
        if (width <= maxBlended && width <= 2 * len + 4) {
            for (unsigned i = 0; i < len; ++i) {
                unsigned c0, c1;
                axisX.pair(unsigned(steps.x()) >> 8, c0, c1);
                columns_[i] = Column(c0, c1, unsigned(steps.x()) & 255);
                steps.nextX();
            }
            columnsFirst_ = 0;
            columnsLast_ = width - 1;
            return;
        }
        unsigned first = ~0u, last = 0;
        for (unsigned i = 0; i < len; ++i) {
            unsigned c0, c1;
            axisX.pair(unsigned(steps.x()) >> 8, c0, c1);
            columns_[i] = Column(c0, c1, unsigned(steps.x()) & 255);
            first = std::min(first, std::min(c0, c1));
            last = std::max(last, std::max(c0, c1));
            steps.nextX();
        }
        for (unsigned i = 0; i < len; ++i) {
            columns_[i].c0 -= first;
            columns_[i].c1 -= first;
        }
        columnsFirst_ = first;
        columnsLast_ = last;
    }

    void generateAny(agg::rgba8* span, WrappedSpanSteps& steps, unsigned len) {
        if (top_ == nullptr) return generateThrough(span, steps, len, true);
        const AxisX axisX = axisX_;
        const AxisY axisY = axisY_;
        const agg::int8u* const top = top_;
        const ptrdiff_t step = step_;
        do {
            const unsigned fx = unsigned(steps.x()) & 255, fy = unsigned(steps.y()) & 255;
            unsigned c0, c1, r0, r1;
            axisX.pair(unsigned(steps.x()) >> 8, c0, c1);
            axisY.pair(unsigned(steps.y()) >> 8, r0, r1);
            const agg::int8u* upper = top + ptrdiff_t(r0) * step;
            const agg::int8u* lower = top + ptrdiff_t(r1) * step;
#if LUMO_SSE2
            store(span, bilinear::average(pair(upper, c0, c1), pair(lower, c0, c1),
                                          bilinear::weights(fx), bilinear::weights(fy)));
#else
            bilinear::average(upper + 4 * c0, upper + 4 * c1, lower + 4 * c0, lower + 4 * c1, fx,
                              fy, reinterpret_cast<uint8_t*>(span));
#endif
            ++span;
            steps.next();
        } while (--len);
    }

    // Converted rows: each block's two rows are asked for together, and
    // read through the accessor (which fetches them one at a time) when the
    // row cache cannot hold both. The reduced positions show the same
    // pixels as the original ones.
    void generateThrough(agg::rgba8* span, WrappedSpanSteps& steps, unsigned len, bool pairRows) {
        do {
            const unsigned xi = unsigned(steps.x()) >> 8, yi = unsigned(steps.y()) >> 8;
            const unsigned fx = unsigned(steps.x()) & 255, fy = unsigned(steps.y()) & 255;
            unsigned c0, c1, r0, r1;
            axisY_.pair(yi, r0, r1);
            const agg::int8u *upper, *lower;
            if (pairRows && pixels_.rowPair(int(r0), int(r1), upper, lower)) {
                axisX_.pair(xi, c0, c1);
                bilinear::average(upper + 4 * c0, upper + 4 * c1, lower + 4 * c0, lower + 4 * c1,
                                  fx, fy, reinterpret_cast<uint8_t*>(span));
            } else {
                averageThrough(accessor_, int(xi), int(yi), fx, fy, span);
            }
            ++span;
            steps.next();
        } while (--len);
    }

#if LUMO_SSE2
    static __m128i pair(const agg::int8u* row, unsigned c0, unsigned c1) {
        return bilinear::columnPair(row, c0, c1);
    }

    static void store(agg::rgba8* span, uint32_t rgba) {
        std::memcpy(static_cast<void*>(span), &rgba, 4);
    }
#endif

    BilinearSpans<Accessor> general_;
    Accessor& accessor_;
    Interpolator& interpolator_;
    RowSourcePixels pixels_;
    AxisX axisX_;
    AxisY axisY_;
    bool reducible_;
    const agg::int8u* top_;
    ptrdiff_t step_;
    // The block columns and x weights of the last span (blendColumns).
    static constexpr unsigned maxColumns = 1024;
    using Column = bilinear::BlockColumn;
    bool columnsFollowX_;
    int columnsX_ = 0;
    unsigned columnsLen_ = 0;
    double columnsTx_ = 0.0;
    unsigned columnsFirst_ = 0, columnsLast_ = 0;
    Column columns_[maxColumns];
    // The rows blended column by column (blendColumns), for spans of
    // minColumns pixels or more.
    static constexpr unsigned maxBlended = 1024;
    static constexpr unsigned minColumns = 16;
    // Spans shorter than this blend pixel by pixel (blendShort).
    static constexpr unsigned shortSpan = 4;
    // Allocated on first use: too large for the stack of a drawing call.
    std::unique_ptr<int16_t[]> blended_;
};

}  // namespace lumo
