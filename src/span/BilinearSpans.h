#pragma once

#include "blend/OverSpans.h"
#include "core/Simd.h"
#include "span/BilinearBlock.h"
#include "span/BilinearColumns.h"
#include "span/BilinearColumnsOver.h"
#include "span/ImageAccessors.h"
#include "span/ImageSpanSteps.h"

#include <agg_color_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

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
          step_(pixels.inPlaceStep()),
          columnsFollowX_(interpolator.transformer().shx == 0.0) {}

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        ImageSpanSteps steps(interpolator_.transformer(), x, y, len);
        if (steps.constantY()) {
            generateRow(span, steps, x, len);
        } else {
            generateAny(span, steps, len);
        }
    }

    // The span put source-over onto `p` (premultiplied pixels) at the covers
    // (or the one cover when covers is null), as blending the colours
    // generate gives as premultiplied ones does: spans along one row pair
    // whose blocks read few columns (generateBlocks) are averaged and
    // blended in one pass (BilinearColumnsOver.h); the others are generated
    // into `colours` (room for len) and blended from there.
    bool blendOver(agg::int8u* p, int x, int y, unsigned len, const agg::int8u* covers,
                   unsigned cover, agg::rgba8* colours) {
        ImageSpanSteps steps(interpolator_.transformer(), x, y, len);
        if (!steps.constantY()) {
            generateAny(colours, steps, len);
        } else {
            const int yh = steps.y() - half;
            const int yl = yh >> 8;
            const unsigned fy = unsigned(yh) & 255;
            const agg::int8u *upper, *lower;
            const bool rows = unsigned(yl) < blockHeight_ && pixels_.rowPair(yl, upper, lower);
            if (!(rows && len <= maxBlocks && len >= minBlocks && haveScratch())) {
                generateRow(colours, steps, x, len);
            } else if (!blendBlockRows(steps, x, len, yl, fy)) {
                averageBlocks(colours, len, yl, fy);
            } else {
                blendBlocksOver(p, len, yl, fy, covers, cover);
                return true;
            }
        }
        overColorHspan<true>(p, len, colours, covers, cover);
        return true;
    }

private:
    // The blocks of generateBlocks, with the rows blended per column,
    // averaged and blended onto `p`: those inside the image in one pass, the
    // others through the accessor one by one.
    void blendBlocksOver(agg::int8u* p, unsigned len, int yl, unsigned fy, const agg::int8u* covers,
                         unsigned cover) {
        if (insideEnd_ > insideStart_) {
            bilinear::averageColumnsOver(
                p + 4 * insideStart_, blended_, blocks_ + insideStart_, insideEnd_ - insideStart_,
                covers != nullptr ? covers + insideStart_ : nullptr, cover);
        }
        for (unsigned i = 0; i < len; ++i) {
            if (i == insideStart_) i = insideEnd_;
            if (i == len) break;
            const bilinear::BlockColumn& b = blocks_[i];
            agg::rgba8 colour;
            edge(&colour, int(b.c0 + blendedFirst_), yl, b.fx, fy);
            overColorHspan<true>(p + 4 * i, 1, &colour, covers != nullptr ? covers + i : nullptr,
                                 cover);
        }
    }

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

    void generateRow(agg::rgba8* span, ImageSpanSteps& steps, int x, unsigned len) {
        const int yh = steps.y() - half;
        const int yl = yh >> 8;
        const unsigned fy = unsigned(yh) & 255;
        const agg::int8u *upper = nullptr, *lower = nullptr;
        const bool rows = unsigned(yl) < blockHeight_ && pixels_.rowPair(yl, upper, lower);
        if (rows && len <= maxBlocks && len >= minBlocks && haveScratch()) {
            return generateBlocks(span, steps, x, len, yl, fy);
        }
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

    // A span along rows yl and yl + 1 of the image: the blocks of all its
    // pixels first, then, when they read few columns for the span's length,
    // the two rows blended once per column (BilinearColumns.h) and the
    // blocks inside the image averaged from those columns. Without shear the
    // blocks depend only on where the span starts and how long it is (and on
    // the translation, which BoundedImageSpans changes for the generator it
    // hands single pixels): a span like the one before (the rows of an image
    // drawn upright) reuses them.
    void generateBlocks(agg::rgba8* span, ImageSpanSteps& steps, int x, unsigned len, int yl,
                        unsigned fy) {
        if (!blendBlockRows(steps, x, len, yl, fy)) return averageBlocks(span, len, yl, fy);
        if (insideEnd_ > insideStart_) {
            bilinear::averageColumns(span + insideStart_, blended_, blocks_ + insideStart_,
                                     insideEnd_ - insideStart_);
        }
        for (unsigned i = 0; i < len; ++i) {
            if (i == insideStart_) i = insideEnd_;
            if (i == len) break;
            const bilinear::BlockColumn& b = blocks_[i];
            edge(span + i, int(b.c0 + blendedFirst_), yl, b.fx, fy);
        }
    }

    // The blocks of the span (found, or those of the span before), and the
    // rows blended per column for those inside the image; false when the
    // blocks read too many columns for the span's length.
    bool blendBlockRows(ImageSpanSteps& steps, int x, unsigned len, int yl, unsigned fy) {
        const double tx = interpolator_.transformer().tx;
        if (!columnsFollowX_ || x != blocksX_ || len != blocksLen_ || tx != blocksTx_) {
            findBlocks(steps, len);
            blocksX_ = columnsFollowX_ ? x : INT32_MIN;
            blocksLen_ = len;
            blocksTx_ = tx;
        }
        if (blendedCount_ > maxBlended || blendedCount_ > 2 * len + 4) return false;
        if (insideEnd_ > insideStart_) {
            const agg::int8u *upper, *lower;
            pixels_.rowPair(yl, upper, lower);
            bilinear::blendRows(blended_, upper + 4 * blendedFirst_, lower + 4 * blendedFirst_,
                                blendedCount_, fy);
        }
        return true;
    }

    // The blocks of a span, their columns counted from the first column the
    // blocks inside the image can read. Those columns are found from the
    // span's ends, between which every position lies; a block is averaged
    // from them only if it lies in their range, within a run of such blocks
    // (all of them, when the positions step evenly), and every other block
    // goes through the accessor.
    void findBlocks(ImageSpanSteps& steps, unsigned len) {
        const int a = (steps.x() - half) >> 8, b = (steps.xEnd() - half) >> 8;
        const int first = std::max(std::min(a, b), 0);
        const int last = std::min(std::max(a, b), int(blockWidth_) - 1);
        blendedFirst_ = unsigned(first);
        // The columns from the first block's left one to the last block's right one.
        blendedCount_ = first <= last ? unsigned(last - first) + 2 : 0;
        const unsigned blocks = first <= last ? unsigned(last - first) + 1 : 0;
        unsigned start = len, end = len, inside = 0;
        for (unsigned i = 0; i < len; ++i) {
            const int xh = steps.x() - half;
            const unsigned c0 = unsigned(xh >> 8) - unsigned(first);
            blocks_[i] = bilinear::BlockColumn(c0, c0 + 1, unsigned(xh) & 255);
            if (c0 < blocks) {
                if (inside == 0) start = i;
                end = i + 1;
                ++inside;
            }
            steps.nextX();
        }
        // A run with gaps (positions that do not step evenly) goes through the accessor.
        if (inside != end - start) start = end = len;
        insideStart_ = start;
        insideEnd_ = end;
    }

    // The blocks of generateBlocks one by one from the rows.
    void averageBlocks(agg::rgba8* span, unsigned len, int yl, unsigned fy) {
        const agg::int8u *upper, *lower;
        pixels_.rowPair(yl, upper, lower);
        for (unsigned i = 0; i < len; ++i) {
            const bilinear::BlockColumn& b = blocks_[i];
            const unsigned xl = b.c0 + blendedFirst_;
            if (xl < blockWidth_) {
                inside(span + i, upper + 4 * xl, lower + 4 * xl, b.fx, fy);
            } else {
                edge(span + i, int(xl), yl, b.fx, fy);
                // The accessor may have asked for rows too.
                pixels_.rowPair(yl, upper, lower);
            }
        }
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
    // The blocks of a span (generateBlocks) and its rows blended per column.
    static constexpr unsigned maxBlocks = 1024;
    static constexpr unsigned maxBlended = 1024;
    bool columnsFollowX_;
    int blocksX_ = INT32_MIN;
    unsigned blocksLen_ = 0;
    double blocksTx_ = 0.0;
    unsigned blendedFirst_ = 0, blendedCount_ = 0;
    unsigned insideStart_ = 0, insideEnd_ = 0;
    // Spans shorter than this are averaged block by block.
    static constexpr unsigned minBlocks = 16;
    // The blocks and blended columns, allocated on first use: they are too
    // large for the stack of a drawing call.
    struct Scratch {
        bilinear::BlockColumn blocks[maxBlocks];
        int16_t blended[4 * maxBlended];
    };
    bool haveScratch() {
        if (scratch_ == nullptr) {
            scratch_.reset(new (std::nothrow) Scratch);
            if (scratch_ == nullptr) return false;
            blocks_ = scratch_->blocks;
            blended_ = scratch_->blended;
        }
        return true;
    }
    std::unique_ptr<Scratch> scratch_;
    bilinear::BlockColumn* blocks_ = nullptr;
    int16_t* blended_ = nullptr;
};

}  // namespace lumo
