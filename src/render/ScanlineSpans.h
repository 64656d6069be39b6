#pragma once

#include <agg_basics.h>

namespace lumo {

// Hands each span of a scan-line to `span(x, y, len, covers, cover)` as AGG's
// scan-line renderers read it: `covers` is null for a span of one cover, which
// is then `cover` (otherwise `cover` is the first of `covers`).
template <class Scanline, class Span>
void forEachSpan(const Scanline& sl, Span&& span) {
    const int y = sl.y();
    unsigned spans = sl.num_spans();
    typename Scanline::const_iterator it = sl.begin();
    for (;;) {
        const int len = it->len < 0 ? -it->len : it->len;
        const agg::int8u* covers = it->len < 0 ? nullptr : it->covers;
        span(int(it->x), y, len, covers, *it->covers);
        if (--spans == 0) break;
        ++it;
    }
}

// Cuts the span [x, x + len) of row y to the base renderer's box, as its
// colour-span blends cut them, moving the covers along and adding the pixels
// cut at the left to `skipped`; false when nothing is left.
template <class Base>
bool clipSpanToBase(const Base& base, int& x, int y, int& len, const agg::int8u*& covers,
                    int& skipped) {
    if (y > base.ymax() || y < base.ymin()) return false;
    if (x < base.xmin()) {
        const int d = base.xmin() - x;
        len -= d;
        if (len <= 0) return false;
        if (covers != nullptr) covers += d;
        skipped += d;
        x = base.xmin();
    }
    if (x + len > base.xmax()) {
        len = base.xmax() - x + 1;
        if (len <= 0) return false;
    }
    return true;
}

}  // namespace lumo
