#pragma once

#include "blend/OverSpans.h"
#include "core/DataBuffer.h"
#include "coverage/CoverageScratch.h"
#include "coverage/RectilinearCoverage.h"
#include "span/BilinearBlock.h"
#include "span/BilinearColumns.h"
#include "span/BilinearColumnsOver.h"
#include "span/BoundedImageSpans.h"
#include "span/ImageAccessors.h"
#include "span/WrapAxis.h"
#include "span/WrappedSpanSteps.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>
#include <agg_scanline_u.h>
#include <agg_trans_affine.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace lumo {

// A texture wrapped both ways, sampled bilinearly and put source-over
// (premultiplied rows) along the coverage of a rectangle or its outline,
// handed over in blocks of alike rows (RectilinearCoverage::sweepRows).
// Scaled and translated only, the texture gives every pixel of a span image
// columns and weights that depend only on where the span starts and how
// long it is, and every row one image row pair and weight: so the columns
// of a block's spans and their covers are worked out once, and each row
// only looks up its rows, blends them per column and averages four pixels
// at a time (BilinearColumnsOver.h). A stroked rectangle's rows are two
// short spans each, whose set-up costs more than their pixels when it is
// made for every span.
//
// The pixels are those of the image span renderer (`Renderer`) sweeping
// the same coverage through a scan-line: the spans are the scan-line's (a
// piece that starts where the last one ends continues its span), sampled
// as WrappedBilinearSpans samples them. What this sink does not take on
// (blocks wider than its buffers, positions too far out for whole spans,
// rows that cannot be held in pairs) it hands to that renderer row by row
// through the scan-line.
template <class WrapX, class WrapY, class Renderer>
class WrappedBilinearRowsSink {
public:
    using AxisX = typename WrapAxisOf<WrapX>::type;
    using AxisY = typename WrapAxisOf<WrapY>::type;

    // Whether the sink serves a texture placed by `deviceToImage` (device
    // to image, its translation reduced into one period): no rotation or
    // shear, and periods short enough to reduce positions into.
    static bool serves(const agg::trans_affine& deviceToImage, const RowSourcePixels& pixels) {
        return deviceToImage.shx == 0.0 && deviceToImage.shy == 0.0 &&
               AxisX(pixels.width()).period() <= WrappedSpanSteps::maxPeriod &&
               AxisY(pixels.height()).period() <= WrappedSpanSteps::maxPeriod;
    }

    // `scanline` is reset for the coverage's columns minX..maxX when rows
    // are first handed to `renderer`.
    WrappedBilinearRowsSink(RowBuffer& destination, const RowSourcePixels& pixels,
                            const agg::trans_affine& deviceToImage, Renderer& renderer,
                            AaScanline& scanline, int minX, int maxX)
        : destination_(destination),
          pixels_(pixels),
          deviceToImage_(deviceToImage),
          renderer_(renderer),
          scanline_(scanline),
          axisX_(pixels.width()),
          axisY_(pixels.height()),
          imageTop_(pixels.inPlaceTop()),
          imageStep_(pixels.inPlaceStep()),
          minX_(minX),
          maxX_(maxX),
          width_(int(destination.width())),
          height_(int(destination.height())) {}

    void rows(int y, int count) {
        finish();
        top_ = y;
        count_ = count;
    }

    void add_cell(int x, unsigned cover) { add_span(x, 1, cover); }

    // The coverage hands at most two pieces per vertical edge (a cell and
    // the run after it) in every row.
    void add_span(int x, unsigned len, unsigned cover) {
        if (pieceCount_ < kMaxPieces) pieces_[pieceCount_++] = Piece{x, len, cover};
    }

    // Blends the rows of the last rows() call.
    void finish() {
        if (pieceCount_ == 0) return;
        if (!blendBlock()) replay(top_, top_ + count_);
        pieceCount_ = 0;
    }

private:
    static constexpr int kMaxPieces = 2 * RectilinearCoverage::maxEdges;
    // Pixels of all spans of a block, each span padded to whole groups of
    // four.
    static constexpr unsigned kMaxPixels = 1024;
    // Columns a span may blend per row.
    static constexpr unsigned kMaxBlended = 1024;
    // Pixel centres to the top left pixel of the block.
    static constexpr int kHalf = 128;
    // How many rows ahead the destination pixels are fetched.
    static constexpr int kAhead = 6;

    struct Piece {
        int x;
        unsigned len, cover;
    };
    // A span of the block: its pixels, where its columns and covers start
    // (a multiple of four), and the image columns it blends per row (from
    // `first`, `count` of them), when it blends them.
    struct Span {
        int x;
        unsigned len, at;
        bool blended;
        unsigned first, count;
    };

    // The scan-line rows from..to - 1 of the pieces, through the renderer.
    void replay(int from, int to) {
        if (!replaying_) {
            scanline_.reset(minX_, maxX_);
            renderer_.prepare();
            replaying_ = true;
        }
        for (int y = from; y < to; ++y) {
            scanline_.reset_spans();
            for (int i = 0; i < pieceCount_; ++i) {
                const Piece& piece = pieces_[i];
                scanline_.add_span(piece.x, piece.len, piece.cover);
            }
            scanline_.finalize(y);
            renderer_.render(scanline_);
        }
    }

    // The block through per-block columns; false, with nothing drawn, when
    // the renderer is to draw it.
    bool blendBlock() {
        const int from = std::max(top_, 0);
        const int to = int(std::min<int64_t>(int64_t(top_) + count_, height_));
        if (from >= to) return true;
        if (!gatherSpans() || !interpolatable(from, to - 1)) return false;
        if (columnsKept()) {
            for (int i = 0; i < spanCount_; ++i) spans_[i] = kept_[i];
        } else {
            for (int i = 0; i < spanCount_; ++i) findColumns(spans_[i], from);
            std::copy(spans_, spans_ + spanCount_, kept_);
            keptCount_ = spanCount_;
        }
        for (int y = from; y < to; ++y) {
            if (y + kAhead < to) prefetch(y + kAhead);
            blendRow(y);
        }
        return true;
    }

    // Whether the block's spans start and end where those of the last block
    // whose columns were found do (the bands of a rectangle's outline), so
    // that the columns found for them still hold.
    bool columnsKept() const {
        if (spanCount_ != keptCount_) return false;
        for (int i = 0; i < spanCount_; ++i) {
            if (spans_[i].x != kept_[i].x || spans_[i].len != kept_[i].len) return false;
        }
        return true;
    }

    // Fetches the ends of the spans on row y: a rectangle's outline touches
    // new cache lines in every row.
    void prefetch(int y) const {
        const agg::int8u* row = destination_.row_ptr(y);
        for (int i = 0; i < spanCount_; ++i) {
            const Span& s = spans_[i];
            if (s.x < 0 || int64_t(s.x) + s.len > width_) continue;
            __builtin_prefetch(row + 4 * int64_t(s.x), 1);
            __builtin_prefetch(row + 4 * (int64_t(s.x) + s.len - 1), 1);
        }
    }

    // The pieces joined into spans as a scan-line joins them, their covers
    // spread out per pixel; false when they do not fit.
    bool gatherSpans() {
        spanCount_ = 0;
        unsigned at = 0;
        int64_t end = INT64_MIN;
        for (int i = 0; i < pieceCount_; ++i) {
            const Piece& piece = pieces_[i];
            if (spanCount_ == 0 || piece.x != end) {
                at = (at + 3) & ~3u;
                spans_[spanCount_++] = Span{piece.x, 0, at, false, 0, 0};
            }
            if (at + piece.len + 3 > kMaxPixels) return false;
            std::memset(covers_ + at, int(piece.cover), piece.len);
            at += piece.len;
            spans_[spanCount_ - 1].len += piece.len;
            end = int64_t(piece.x) + piece.len;
        }
        // Covers of 0 past each span's end, to its next group of four.
        for (int i = 0; i < spanCount_; ++i) {
            const Span& s = spans_[i];
            std::memset(covers_ + s.at + s.len, 0, ((s.len + 3) & ~3u) - s.len);
        }
        return true;
    }

    // Whether every span maps into the image within the reach of whole
    // spans (see BoundedImageSpans) on the first and last row: the rows
    // between map between them.
    bool interpolatable(int firstRow, int lastRow) const {
        for (int i = 0; i < spanCount_; ++i) {
            const Span& s = spans_[i];
            for (const int y : {firstRow, lastRow}) {
                if (!spanMapsWhole(deviceToImage_, s.x, y, s.len)) return false;
            }
        }
        return true;
    }

    // The block columns and x weights of each pixel of the span, as the
    // steps of its row `y` give them (the same in every row). When the span
    // reads few columns for its length, or the image is that narrow, they
    // are blended per row: `count` columns from `first` on, past the last
    // column on from the first (a repeated image's seam, which the left
    // edge of a rectangle whose texture starts at its corner crosses), and
    // each block counts its columns from `first`.
    void findColumns(Span& s, int y) {
        WrappedSpanSteps steps(deviceToImage_, s.x, y, s.len, axisX_.period(), axisY_.period(),
                               -kHalf);
        bilinear::BlockColumn* columns = columns_ + s.at;
        unsigned low = ~0u, high = 0;
        for (unsigned i = 0; i < s.len; ++i) {
            unsigned c0, c1;
            axisX_.pair(unsigned(steps.x()) >> 8, c0, c1);
            columns[i] = bilinear::BlockColumn(c0, c1, unsigned(steps.x()) & 255);
            low = std::min(low, std::min(c0, c1));
            high = std::max(high, std::max(c0, c1));
            steps.nextX();
        }
        const unsigned width = pixels_.width(), padded = (s.len + 3) & ~3u;
        // The padding reads the span's first column.
        for (unsigned i = s.len; i < padded; ++i) columns[i] = columns[0];
        // A repeated image's columns run on from the leftmost one the span
        // reads in the image, across the seam; a reflected one's never
        // jump.
        s.first = low;
        if (std::is_same<AxisX, RepeatAxis>::value) {
            s.first = deviceToImage_.sx < 0 ? columns[s.len - 1].c0 : columns[0].c0;
        }
        s.count = 0;
        for (unsigned i = 0; i < s.len; ++i) {
            s.count = std::max(s.count, offset(columns[i].c0, s.first, width) + 1);
            s.count = std::max(s.count, offset(columns[i].c1, s.first, width) + 1);
        }
        if (s.count > kMaxBlended || s.count > 2 * s.len + 4) {
            s.first = 0;
            s.count = width;
        }
        s.blended = s.count <= kMaxBlended && s.count <= 2 * s.len + 4;
        if (!s.blended) return;
        // Across the seam, both runs of columns in whole groups of four: the
        // first starts early enough to end a group at the row's end.
        const unsigned early = (4 - (width - s.first) % 4) % 4;
        if (s.first + s.count > width && s.first >= early) {
            s.first -= early;
            s.count += early;
        }
        for (unsigned i = 0; i < padded; ++i) {
            columns[i].c0 = offset(columns[i].c0, s.first, width);
            columns[i].c1 = offset(columns[i].c1, s.first, width);
        }
        // Whole groups of four columns, where the row has them.
        const unsigned four = (s.count + 3) & ~3u;
        if (four - std::min(four, width - s.first) <= width) s.count = four;
    }

    // Column c counted from column `first` on, across the seam.
    static unsigned offset(unsigned c, unsigned first, unsigned width) {
        return c >= first ? c - first : c + width - first;
    }

    void blendRow(int y) {
        // Without shear the image row depends on the device row alone.
        double ix = spans_[0].x + 0.5, iy = y + 0.5;
        deviceToImage_.transform(&ix, &iy);
        const int v = WrappedSpanSteps::reduced(agg::iround(iy * 256.0) - kHalf, axisY_.period());
        const unsigned fy = unsigned(v) & 255;
        unsigned r0, r1;
        axisY_.pair(unsigned(v) >> 8, r0, r1);
        const agg::int8u *upper, *lower;
        if (imageTop_ != nullptr) {
            upper = imageTop_ + ptrdiff_t(r0) * imageStep_;
            lower = imageTop_ + ptrdiff_t(r1) * imageStep_;
        } else if (!pixels_.rowPair(int(r0), int(r1), upper, lower)) {
            return replay(y, y + 1);
        }
        agg::int8u* row = destination_.row_ptr(y);
        for (int i = 0; i < spanCount_; ++i) {
            const Span& s = spans_[i];
            // The span's pixels within the buffer's columns.
            const int64_t first = std::max<int64_t>(0, -int64_t(s.x));
            const int64_t end = std::min<int64_t>(s.len, int64_t(width_) - s.x);
            if (first >= end) continue;
            const unsigned from = unsigned(first), to = unsigned(end);
            if (s.blended) {
                const unsigned run = std::min(s.count, pixels_.width() - s.first);
                bilinear::blendRows(blended_, upper + 4 * s.first, lower + 4 * s.first, run, fy);
                if (run < s.count) {
                    bilinear::blendRows(blended_ + 4 * run, upper, lower, s.count - run, fy);
                }
                overGroups(row + 4 * int64_t(s.x), s.at, from, to);
            } else {
                averageEach(row + 4 * int64_t(s.x), s.at, from, to, upper, lower, fy);
            }
        }
    }

    // Pixels from..to - 1 of the span starting at `p`, from the blended
    // columns, in groups of four: whole groups in place, a group cut by the
    // buffer's edge or the span's end through a copy of its pixels.
    void overGroups(agg::int8u* p, unsigned at, unsigned from, unsigned to) {
        const bilinear::BlockColumn* columns = columns_ + at;
        const agg::int8u* covers = covers_ + at;
        unsigned i = from;
        while (i < to) {
            const unsigned group = i & ~3u;
            if (group == i && i + 4 <= to) {
                const unsigned n = (to - i) & ~3u;
                bilinear::averageColumnsOver(p + 4 * i, blended_, columns + i, n, covers + i, 0);
                i += n;
                continue;
            }
            const unsigned end = std::min(group + 4, to);
            agg::int8u pixels[16];
            agg::int8u cut[4] = {0, 0, 0, 0};
            std::memcpy(pixels + 4 * (i - group), p + 4 * i, 4 * (end - i));
            std::memcpy(cut + (i - group), covers + i, end - i);
            bilinear::averageColumnsOver(pixels, blended_, columns + group, 4, cut, 0);
            std::memcpy(p + 4 * i, pixels + 4 * (i - group), 4 * (end - i));
            i = end;
        }
    }

    // Pixels from..to - 1 of a span that reads too many columns to blend
    // them per row, each block averaged from the rows.
    void averageEach(agg::int8u* p, unsigned at, unsigned from, unsigned to,
                     const agg::int8u* upper, const agg::int8u* lower, unsigned fy) {
        const bilinear::BlockColumn* columns = columns_ + at;
        agg::rgba8 colours[64];
#if LUMO_SSE2
        const __m128i wy = bilinear::weights(fy);
#endif
        for (unsigned i = from; i < to; i += 64) {
            const unsigned n = std::min(64u, to - i);
            for (unsigned k = 0; k < n; ++k) {
                const bilinear::BlockColumn& c = columns[i + k];
#if LUMO_SSE2
                const uint32_t rgba = bilinear::average(bilinear::columnPair(upper, c.c0, c.c1),
                                                        bilinear::columnPair(lower, c.c0, c.c1),
                                                        bilinear::weights(c.fx), wy);
                std::memcpy(static_cast<void*>(colours + k), &rgba, 4);
#else
                bilinear::average(upper + 4 * c.c0, upper + 4 * c.c1, lower + 4 * c.c0,
                                  lower + 4 * c.c1, c.fx, fy,
                                  reinterpret_cast<uint8_t*>(colours + k));
#endif
            }
            overColorHspan<true>(p + 4 * i, n, colours, covers_ + at + i, 0);
        }
    }

    RowBuffer& destination_;
    const RowSourcePixels& pixels_;
    const agg::trans_affine& deviceToImage_;
    Renderer& renderer_;
    AaScanline& scanline_;
    const AxisX axisX_;
    const AxisY axisY_;
    // The image's rows when read in place (else null).
    const agg::int8u* const imageTop_;
    const ptrdiff_t imageStep_;
    const int minX_, maxX_;
    bool replaying_ = false;
    const int width_;
    const int height_;
    int top_ = 0, count_ = 0;
    Piece pieces_[kMaxPieces];
    int pieceCount_ = 0;
    Span spans_[kMaxPieces];
    int spanCount_ = 0;
    // The spans whose columns columns_ holds.
    Span kept_[kMaxPieces];
    int keptCount_ = -1;
    bilinear::BlockColumn columns_[kMaxPixels];
    agg::int8u covers_[kMaxPixels];
    // Room for the columns padded at both ends of a run.
    int16_t blended_[4 * (kMaxBlended + 8)];
};

}  // namespace lumo
