#include "context/RectCoverage.h"

#include <cmath>

namespace lumo {

namespace {

// The rasteriser's conversion of a clipped coordinate to 1/256 pixels.
int subpixel(double v) {
    return agg::iround(v * agg::poly_subpixel_scale);
}

}  // namespace

bool RectCoverage::set(const double xs[4], const double ys[4], const agg::rect_d& clip,
                       agg::filling_rule_e rule) {
    active_ = false;
    // Edges 0-1 and 2-3 horizontal and the others vertical, or the other way round.
    int vertical;
    if (ys[0] == ys[1] && xs[1] == xs[2] && ys[2] == ys[3] && xs[3] == xs[0]) {
        vertical = 1;  // edges 1-2 and 3-0
    } else if (xs[0] == xs[1] && ys[1] == ys[2] && xs[2] == xs[3] && ys[3] == ys[0]) {
        vertical = 0;  // edges 0-1 and 2-3
    } else {
        return false;
    }
    const double left = std::min(xs[0], xs[2]), right = std::max(xs[0], xs[2]);
    const double top = std::min(ys[0], ys[2]), bottom = std::max(ys[0], ys[2]);
    // The vertical edge at the left, and which way it runs.
    const int start = xs[vertical] == left ? vertical : vertical + 2;
    const double from = ys[start], to = ys[(start + 1) % 4];
    sign_ = to > from ? 1 : -1;

    // Edges beyond the clip box lie on its sides after clipping; rounding
    // keeps the order of the coordinates, so an empty overlap stays empty.
    const agg::rect_d box(std::min(clip.x1, clip.x2), std::min(clip.y1, clip.y2),
                          std::max(clip.x1, clip.x2), std::max(clip.y1, clip.y2));
    x1_ = subpixel(std::max(left, box.x1));
    x2_ = subpixel(std::min(right, box.x2));
    y1_ = subpixel(std::max(top, box.y1));
    y2_ = subpixel(std::min(bottom, box.y2));
    rule_ = rule;
    active_ = true;
    return true;
}

}  // namespace lumo
