#pragma once

#include <agg_basics.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumo {

// The scan-line rasteriser every drawing call goes through. Clipping happens
// in double precision before the conversion to 24.8 fixed point, so far-away
// coordinates cannot overflow.
//
// It also keeps an upper bound of the cells its shape can make, because
// AGG's cell storage has a fault: it keeps at most `cellLimit` cells of one
// shape, and once a shape has come that far it never stores a cell again
// (it compares its count of blocks, not the block in use, with its limit),
// so every later shape would draw nothing. The owner replaces a rasteriser
// whose last shape may have come that far (RenderTarget).
class Rasterizer : public agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> {
    using Base = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

public:
    // AGG's cells per block and blocks per shape.
    static constexpr double cellBlock = 4096, cellBlocks = 1024;

    void reset() {
        Base::reset();
        cellBound_ = 0;
    }
    void clip_box(double x1, double y1, double x2, double y2) {
        Base::clip_box(x1, y1, x2, y2);
        box_ = {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    }
    void reset_clipping() {
        Base::reset_clipping();
        box_ = unbounded();
    }

    // Adds one vertex, as add_vertex does, and counts its edge (and the
    // closing edge of a polygon it ends) into the bound.
    void addCountedVertex(double x, double y, unsigned cmd) {
        if (agg::is_move_to(cmd)) {
            countEdge(lastX_, lastY_, startX_, startY_);
            startX_ = lastX_ = x;
            startY_ = lastY_ = y;
        } else if (agg::is_vertex(cmd)) {
            countEdge(lastX_, lastY_, x, y);
            lastX_ = x;
            lastY_ = y;
        } else if (agg::is_close(cmd)) {
            countEdge(lastX_, lastY_, startX_, startY_);
            lastX_ = startX_;
            lastY_ = startY_;
        }
        add_vertex(x, y, cmd);
    }
    // Counts the closing edge of the last polygon (the rasteriser closes it
    // when it sorts its cells).
    void finishCounting() { countEdge(lastX_, lastY_, startX_, startY_); }

    // True when the shape added since the last reset may have reached AGG's
    // cell limit (then every later shape would be lost).
    bool mayHaveReachedCellLimit() const { return cellBound_ > (cellBlocks - 1) * cellBlock; }

private:
    static agg::rect_d unbounded() {
        const double huge = std::numeric_limits<double>::max();
        return {-huge, -huge, huge, huge};
    }

    // At most the cells one edge makes once clipped: AGG lays the visible
    // part through at most (rows + columns + 1) cells, and the parts beside
    // the clip box along its left or right border through at most one cell
    // per row.
    void countEdge(double x0, double y0, double x1, double y1) {
        const double rows = span(std::min(y0, y1), std::max(y0, y1), box_.y1, box_.y2);
        const double columns = span(std::min(x0, x1), std::max(x0, x1), box_.x1, box_.x2);
        if (rows > 0) cellBound_ += 2 * rows + columns + 4;
    }
    // Pixels from lo to hi within [from, to], counting both ends' pixels;
    // 0 when the range misses it.
    static double span(double lo, double hi, double from, double to) {
        if (!(hi >= from && lo <= to)) return 0;
        return std::floor(std::min(hi, to)) - std::floor(std::max(lo, from)) + 1;
    }

    agg::rect_d box_ = unbounded();
    double cellBound_ = 0;
    double startX_ = 0, startY_ = 0, lastX_ = 0, lastY_ = 0;
};

}  // namespace lumo
