#pragma once

#include <agg_basics.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumo {

// The outline of a closed axis-aligned rectangle stroked with miter joins, made without the
// stroker: the rectangle grown by half the width, clockwise on screen, and the rectangle shrunk
// by it, the other way round, which is what the stroker makes of it whichever way the
// rectangle runs (its first outline follows the centre line on one side, its second runs
// back along the other). The stroker finds each corner as the intersection of two offset lines,
// which leaves rounding noise of a few units in the last place on one coordinate; the
// coverage rounds every coordinate to 1/256 pixel, so the outline is only made where no
// coordinate lies near a rounding boundary or a side of the clip box (where that noise could
// tip it), and where every corner takes its miter: the rectangle is more than twice the
// width in both directions. A vertex source of the two closed outlines.
class StrokedRectangle {
public:
    // Reads the device-space centre line: true when it is a closed rectangle the outline can
    // be made for, stroked `width` wide under `clip`.
    template <class Source>
    bool set(Source& centre, double width, const agg::rect_d& clip) {
        double xs[5], ys[5];
        int count = 0;
        bool closed = false;
        double x, y;
        unsigned cmd;
        centre.rewind(0);
        while (!agg::is_stop(cmd = centre.vertex(&x, &y))) {
            if (agg::is_end_poly(cmd)) {
                if (!agg::is_closed(cmd) || closed) return false;
                closed = true;
                continue;
            }
            if (closed || !agg::is_vertex(cmd) || agg::is_move_to(cmd) != (count == 0)) {
                return false;
            }
            if (count == 5) return false;
            xs[count] = x;
            ys[count] = y;
            ++count;
        }
        // A last point back at the first one adds nothing.
        if (count == 5 && xs[4] == xs[0] && ys[4] == ys[0]) count = 4;
        if (!closed || count != 4) return false;
        // Sides alternate between horizontal and vertical (which also rules out NaN).
        const bool horizontalFirst = ys[0] == ys[1];
        for (int i = 0; i < 4; ++i) {
            const int j = (i + 1) % 4;
            const bool horizontal = (i % 2 == 0) == horizontalFirst;
            if (horizontal ? (ys[i] != ys[j] || xs[i] == xs[j])
                           : (xs[i] != xs[j] || ys[i] == ys[j])) {
                return false;
            }
        }
        const double half = width * 0.5;
        const double x1 = std::min(xs[0], xs[2]), x2 = std::max(xs[0], xs[2]);
        const double y1 = std::min(ys[0], ys[2]), y2 = std::max(ys[0], ys[2]);
        if (!(half > 0) || !(x2 - x1 > 2 * width) || !(y2 - y1 > 2 * width)) return false;
        outer_ = agg::rect_d(x1 - half, y1 - half, x2 + half, y2 + half);
        inner_ = agg::rect_d(x1 + half, y1 + half, x2 - half, y2 - half);
        return settled(outer_.x1, clip.x1, clip.x2) && settled(outer_.x2, clip.x1, clip.x2) &&
               settled(inner_.x1, clip.x1, clip.x2) && settled(inner_.x2, clip.x1, clip.x2) &&
               settled(outer_.y1, clip.y1, clip.y2) && settled(outer_.y2, clip.y1, clip.y2) &&
               settled(inner_.y1, clip.y1, clip.y2) && settled(inner_.y2, clip.y1, clip.y2);
    }

    // The two rectangles: the outline runs clockwise on screen around the outer one,
    // the other way round the inner one, each from its corner (x1, y1).
    const agg::rect_d& outer() const { return outer_; }
    const agg::rect_d& inner() const { return inner_; }

    void rewind(unsigned) { step_ = 0; }

    unsigned vertex(double* x, double* y) {
        // Outer outline clockwise on screen, inner one counter-clockwise.
        const int step = step_;
        if (step >= 10) return agg::path_cmd_stop;
        ++step_;
        if (step == 4 || step == 9) return agg::path_cmd_end_poly | agg::path_flags_close;
        const agg::rect_d& r = step < 5 ? outer_ : inner_;
        static const bool right[2][4] = {{false, true, true, false}, {false, false, true, true}};
        static const bool bottom[2][4] = {{false, false, true, true}, {false, true, true, false}};
        const int ring = step < 5 ? 0 : 1, corner = step < 5 ? step : step - 5;
        *x = right[ring][corner] ? r.x2 : r.x1;
        *y = bottom[ring][corner] ? r.y2 : r.y1;
        return corner == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to;
    }

private:
    // Whether the coverage's rounding of v (clamped to [low, high], to 1/256 pixel) is the
    // same for any value within far more than the stroker's rounding noise of it.
    static bool settled(double v, double low, double high) {
        constexpr double margin = 1e-6;  // pixels
        if (!(std::fabs(v) < 1e6)) return false;
        if (std::fabs(v - low) < margin || std::fabs(v - high) < margin) return false;
        // |t| < 2^28: the fraction from the conversion to an integer, which
        // truncates towards zero, is exact (and negative for negative t).
        const double t = v * agg::poly_subpixel_scale;
        const double fraction = std::fabs(t - double(int64_t(t)));
        return std::fabs(fraction - 0.5) > margin * agg::poly_subpixel_scale;
    }

    agg::rect_d outer_, inner_;
    int step_ = 0;
};

}  // namespace lumo
