#pragma once

#include "geometry/CheckedSource.h"

#include <agg_basics.h>
#include <agg_rasterizer_scanline_aa.h>

#include <algorithm>
#include <cstdint>

namespace lumo {

// The coverage of an axis-aligned rectangle under a clip box, worked out
// directly instead of through the rasteriser's cells, for the commonest
// fills (rectangles, images placed without rotation). It yields exactly the
// scan-lines the rasteriser would: the corners are clipped in double
// precision and rounded to 1/256 pixel as the rasteriser does, and every
// pixel's coverage is the rasteriser's area formula for the two vertical
// edges (horizontal edges add no area), rounded the same way for either
// orientation of the outline. AGG's scan-line renderers take it in place of
// the rasteriser (rewind_scanlines, min_x, max_x, sweep_scanline).
class RectCoverage {
public:
    // Takes the rectangle whose corners are (xs[i], ys[i]) in outline
    // order. False, leaving the coverage inactive, when the four points are
    // not an axis-aligned rectangle.
    bool set(const double xs[4], const double ys[4], const agg::rect_d& clip,
             agg::filling_rule_e rule);
    bool active() const { return active_; }
    void deactivate() { active_ = false; }

    bool rewind_scanlines() {
        row_ = y1_ >> agg::poly_subpixel_shift;
        return x1_ < x2_ && y1_ < y2_;
    }
    int min_x() const { return x1_ >> agg::poly_subpixel_shift; }
    int max_x() const { return (x2_ - 1) >> agg::poly_subpixel_shift; }

    template <class Scanline>
    bool sweep_scanline(Scanline& sl) {
        const int lastRow = (y2_ - 1) >> agg::poly_subpixel_shift;
        while (row_ <= lastRow) {
            const int y = row_++;
            const int top = std::max(y1_, y << agg::poly_subpixel_shift);
            const int bottom = std::min(y2_, (y + 1) << agg::poly_subpixel_shift);
            sl.reset_spans();
            addRow(sl, bottom - top);
            if (sl.num_spans()) {
                sl.finalize(y);
                return true;
            }
        }
        return false;
    }

private:
    // The rasteriser's alpha for an accumulated area value (cover << 9 minus
    // area): shifted down, made positive, limited by the fill rule.
    unsigned alpha(int64_t value) const {
        int64_t cover = value >> (agg::poly_subpixel_shift * 2 + 1 - 8);
        if (cover < 0) cover = -cover;
        if (rule_ == agg::fill_even_odd) {
            cover &= 511;
            if (cover > 256) cover = 512 - cover;
        }
        return unsigned(std::min<int64_t>(cover, 255));
    }

    // One row of height h (1/256 pixels): the left pixel, the run between
    // and the right pixel, leaving out pixels of alpha 0 as the rasteriser
    // does.
    template <class Scanline>
    void addRow(Scanline& sl, int h) {
        const int first = x1_ >> agg::poly_subpixel_shift;
        const int last = (x2_ - 1) >> agg::poly_subpixel_shift;
        const int64_t twiceH = int64_t(sign_) * 2 * h;
        if (first == last) {
            add(sl, first, alpha(twiceH * (x2_ - x1_)));
            return;
        }
        add(sl, first, alpha(twiceH * ((first + 1) * agg::poly_subpixel_scale - x1_)));
        if (last > first + 1) {
            const unsigned inside = alpha(int64_t(sign_) * h * 2 * agg::poly_subpixel_scale);
            if (inside != 0) sl.add_span(first + 1, unsigned(last - first - 1), inside);
        }
        add(sl, last, alpha(twiceH * (x2_ - last * agg::poly_subpixel_scale)));
    }

    template <class Scanline>
    static void add(Scanline& sl, int x, unsigned alpha) {
        if (alpha != 0) sl.add_cell(x, alpha);
    }

    // The rectangle in 1/256 pixels, clipped: [x1, x2) x [y1, y2).
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    // +1 when the left edge runs down (towards larger y), -1 when up.
    int sign_ = 1;
    agg::filling_rule_e rule_ = agg::fill_non_zero;
    int row_ = 0;
    bool active_ = false;
};

// Reads a source that may be a single rectangle: a move and three lines
// (a fourth back to the start allowed), closed or not. False for anything
// else, or when a point is not usable (the rasteriser then refuses it too).
template <class Source>
bool readRectangle(Source& source, double xs[4], double ys[4], double limit) {
    source.rewind(0);
    int points = 0;
    double x, y;
    unsigned cmd;
    while (!agg::is_stop(cmd = source.vertex(&x, &y))) {
        if (agg::is_end_poly(cmd)) continue;
        const bool expected = points == 0 ? agg::is_move_to(cmd) : agg::is_line_to(cmd);
        if (!expected || !coordinateUsable(x, y, limit)) return false;
        if (points == 4) {
            if (x != xs[0] || y != ys[0]) return false;
        } else if (points > 4) {
            return false;
        } else {
            xs[points] = x;
            ys[points] = y;
        }
        ++points;
    }
    return points >= 4;
}

}  // namespace lumo
