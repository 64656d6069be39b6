#pragma once

#include "core/DataBuffer.h"
#include "render/ColumnsOver.h"
#include "render/ScanlineSpans.h"
#include "render/SpanColours.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace lumo {

// The scan-line renderer of image spans: what AGG's renderer_scanline_aa
// does (generate each span's colours, then blend them through the base
// renderer, clipped to its box), except that under source-over a span whose
// pixels come from one image row at known columns (Spans::rowColumns) is
// gathered and blended in one pass (blendColumnsOver), or copied from the
// row above when that holds the same pixels, and a span the generator can
// blend in place (Spans::blendOver, premultiplied colours) is blended by
// it, with the same results.
template <class Base, class Spans>
class ImageSpanRenderer {
public:
    // `rows` are the pixels `base` draws on; `over` says that its rule is
    // source-over, and `premultiplied` how it reads the colours handed in.
    // No pixel right of `lastColumn` (the clip's right edge) or of the base
    // renderer's box is touched.
    ImageSpanRenderer(Base& base, Spans& spans, RowBuffer& rows, bool over, bool premultiplied,
                      int lastColumn = std::numeric_limits<int>::max())
        : base_(base),
          spans_(spans),
          rows_(rows),
          over_(over),
          premultiplied_(premultiplied),
          lastColumn_(std::min(lastColumn, base.xmax())) {}

    void prepare() { spans_.prepare(); }

    template <class Scanline>
    void render(const Scanline& sl) {
        forEachSpan(sl, [&](int x, int y, int len, const agg::int8u* covers, agg::int8u cover) {
            span(x, y, len, covers, cover);
        });
    }

    // One span of `len` pixels from (x, y) with a cover per pixel, as a
    // coverage sweep's sink hands it over (CoverageSpanSink): the same
    // pixels as the span in a scan-line.
    void blend(int x, int y, unsigned len, const agg::int8u* covers) {
        span(x, y, int(len), covers, *covers);
    }

    // Asks for the pixels from (x, y) to be brought to the cache.
    void prefetch(int x, int y) const {
        if (unsigned(y) < rows_.height() && unsigned(x) < rows_.width()) {
            __builtin_prefetch(rows_.row_ptr(y) + 4 * x, 1);
        }
    }

private:
    void span(int x, int y, int len, const agg::int8u* covers, agg::int8u cover) {
        if (!(over_ &&
              (blendFromRow(x, y, len, covers, cover) || blendInPlace(x, y, len, covers, cover)))) {
            agg::rgba8* colours = allocator_.allocate(unsigned(len));
            spans_.generate(colours, x, y, unsigned(len));
            base_.blend_color_hspan(x, y, len, colours, covers, cover);
        }
    }

    // The span through rowColumns, clipped as the base renderer clips
    // colour spans; false when the generator has no row and columns for it.
    // A span at full cover that picks the same pixels as the one on the row
    // above (an image scaled up, the rows of a rectangle), which went to the
    // destination as they are, copies that row's pixels.
    bool blendFromRow(int x, int y, int len, const agg::int8u* covers, agg::int8u cover) {
        RowColumns picked;
        if (!spans_.rowColumns(x, y, unsigned(len), picked)) return false;
        const bool sameAsAbove = y == lastY_ + 1 && x == lastX_ && len == lastLen_ &&
                                 picked.index == lastIndex_ && lastAsIs_;
        lastY_ = y;
        lastX_ = x;
        lastLen_ = len;
        lastIndex_ = picked.index;
        lastAsIs_ = false;
        int skipped = 0;
        if (!clipSpanToBase(base_, x, y, len, covers, skipped)) return true;
        picked.columns += skipped;
        agg::int8u* p = rows_.row_ptr(y) + 4 * x;
        // The shape's span on the next row most often lies about here, and
        // comes after the rest of this row's spans: the pixels there are on
        // their way to the cache by then.
        prefetch(x, y + 1);
        // Short spans may rewrite the pixels after them, unchanged, up to the
        // clip's right edge and no further: another target on the same
        // buffer may be drawing beyond it at the same time.
        const unsigned room = unsigned(std::max(lastColumn_ - x + 1, len));
        if (sameAsAbove && fullCovers(covers, cover, unsigned(len))) {
            std::memmove(p, rows_.row_ptr(y - 1) + 4 * x, 4 * size_t(len));
            lastAsIs_ = true;
        } else if (premultiplied_) {
            lastAsIs_ = blendColumnsOver<true>(p, picked.row, picked.columns, unsigned(len), covers,
                                               cover, room);
        } else {
            lastAsIs_ = blendColumnsOver<false>(p, picked.row, picked.columns, unsigned(len),
                                                covers, cover, room);
        }
        return true;
    }

    // The span through the generator's blendOver, which blends premultiplied
    // colours into the destination itself, when it lies inside the base
    // renderer's box.
    bool blendInPlace(int x, int y, int len, const agg::int8u* covers, agg::int8u cover) {
        if (!premultiplied_ || y > base_.ymax() || y < base_.ymin() || x < base_.xmin() ||
            x + len - 1 > base_.xmax()) {
            return false;
        }
        return spans_.blendOver(rows_.row_ptr(y) + 4 * x, x, y, unsigned(len), covers, cover,
                                allocator_.allocate(unsigned(len)));
    }

    static bool fullCovers(const agg::int8u* covers, unsigned cover, unsigned len) {
        if (covers == nullptr) return cover == 255;
        unsigned all = 255;
        for (unsigned i = 0; i < len; ++i) all &= covers[i];
        return all == 255;
    }

    Base& base_;
    Spans& spans_;
    RowBuffer& rows_;
    bool over_;
    bool premultiplied_;
    int lastColumn_;
    SpanColours allocator_;
    // The last span blended from a row, before clipping, and whether its
    // pixels went to the destination as they are.
    int lastY_ = INT32_MIN;
    int lastX_ = 0, lastLen_ = 0, lastIndex_ = -1;
    bool lastAsIs_ = false;
};

}  // namespace lumo
