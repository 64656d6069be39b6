#pragma once

#include "geometry/CheckedSource.h"

#include <agg_basics.h>
#include <agg_rasterizer_scanline_aa.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace lumo {

// The coverage of a shape whose edges are all horizontal or vertical
// (rectangles, unrotated images, the outlines of stroked rectangles) under a
// clip box, worked out from its vertical edges alone instead of through the
// rasteriser's cell storage and sorting. It yields exactly the scan-lines
// the rasteriser would: edges are clipped in double precision and rounded to
// 1/256 pixel as the rasteriser does, each vertical edge adds the same cover
// and area to the cell of each row it crosses (horizontal edges add
// nothing), and rows are swept by the rasteriser's own rules. AGG's
// scan-line renderers take it in place of the rasteriser (rewind_scanlines,
// min_x, max_x, sweep_scanline).
class RectilinearCoverage {
public:
    // More vertical edges than this go through the rasteriser.
    static constexpr int maxEdges = 16;

    // Reads a device-space source: false, leaving the coverage inactive,
    // when an edge is slanted, a point is not usable, or there are too many
    // edges. Each sub-path is closed, as the rasteriser closes it.
    template <class Source>
    bool set(Source& source, const agg::rect_d& clip, agg::filling_rule_e rule) {
        begin(clip, rule);
        int startX = 0, startY = 0, lastX = 0, lastY = 0;
        bool open = false;
        double x, y;
        unsigned cmd;
        source.rewind(0);
        while (!agg::is_stop(cmd = source.vertex(&x, &y))) {
            if (agg::is_end_poly(cmd)) continue;
            if (!agg::is_vertex(cmd) || !coordinateUsable(x, y, maxEdgeCoordinate)) return false;
            // Each point is clipped and rounded once, for both edges it ends.
            const int px = subpixelX(x), py = subpixelY(y);
            if (agg::is_move_to(cmd)) {
                if (open && !addEdge(lastX, lastY, startX, startY)) return false;
                startX = lastX = px;
                startY = lastY = py;
                open = true;
                continue;
            }
            if (!open || !addEdge(lastX, lastY, px, py)) return false;
            lastX = px;
            lastY = py;
        }
        if (open && !addEdge(lastX, lastY, startX, startY)) return false;
        return end();
    }

    // The same as set() piece by piece, for outlines known to be rectangles:
    // begin(), then addRectangle() for each, then end(), which makes the
    // coverage active when every call succeeded.
    void begin(const agg::rect_d& clip, agg::filling_rule_e rule) {
        active_ = false;
        clip_ = agg::rect_d(std::min(clip.x1, clip.x2), std::min(clip.y1, clip.y2),
                            std::max(clip.x1, clip.x2), std::max(clip.y1, clip.y2));
        rule_ = rule;
        edgeCount_ = 0;
    }
    // The closed outline of `r` from its corner (x1, y1), to (x2, y1) first
    // when clockwise (on screen, y down), to (x1, y2) first otherwise; false
    // when a corner is not usable or there are too many edges.
    bool addRectangle(const agg::rect_d& r, bool clockwise) {
        if (!coordinateUsable(r.x1, r.y1, maxEdgeCoordinate) ||
            !coordinateUsable(r.x2, r.y2, maxEdgeCoordinate)) {
            return false;
        }
        const int x1 = subpixelX(r.x1), y1 = subpixelY(r.y1);
        const int x2 = subpixelX(r.x2), y2 = subpixelY(r.y2);
        // The horizontal sides add no edge.
        return clockwise ? addEdge(x2, y1, x2, y2) && addEdge(x1, y2, x1, y1)
                         : addEdge(x1, y1, x1, y2) && addEdge(x2, y2, x2, y1);
    }
    // The closed polygon of the n points (x, y pairs) at xy, as set() reads
    // a sub-path of them; false when a point is not usable, an edge is
    // slanted or there are too many edges.
    bool addPolygon(const double* xy, int n) {
        int firstX = 0, firstY = 0, lastX = 0, lastY = 0;
        for (int i = 0; i < n; ++i) {
            const double x = xy[2 * i], y = xy[2 * i + 1];
            if (!coordinateUsable(x, y, maxEdgeCoordinate)) return false;
            const int px = subpixelX(x), py = subpixelY(y);
            if (i == 0) {
                firstX = px;
                firstY = py;
            } else if (!addEdge(lastX, lastY, px, py)) {
                return false;
            }
            lastX = px;
            lastY = py;
        }
        return n == 0 || addEdge(lastX, lastY, firstX, firstY);
    }
    bool end() {
        sortEdges();
        active_ = true;
        return true;
    }

    bool active() const { return active_; }
    // Whether the shape is one rectangle (two edges over the same rows in
    // opposite directions), which sweepRows works out in closed form.
    bool rectangle() const {
        return edgeCount_ == 2 && edges_[0].y1 == edges_[1].y1 && edges_[0].y2 == edges_[1].y2 &&
               edges_[0].direction == -edges_[1].direction;
    }
    void deactivate() { active_ = false; }

    bool rewind_scanlines() {
        if (edgeCount_ == 0) return false;
        row_ = minY_ >> agg::poly_subpixel_shift;
        piecesValidTo_ = INT_MIN;
        return true;
    }
    int min_x() const { return minX_; }
    int max_x() const { return maxX_; }
    // The first and last pixel rows the edges reach (meaningful while active).
    int min_y() const { return minY_ >> agg::poly_subpixel_shift; }
    int max_y() const { return (maxY_ - 1) >> agg::poly_subpixel_shift; }

    template <class Scanline>
    bool sweep_scanline(Scanline& sl) {
        const int lastRow = (maxY_ - 1) >> agg::poly_subpixel_shift;
        while (row_ <= lastRow) {
            const int y = row_++;
            sl.reset_spans();
            sweepRow(sl, y);
            if (sl.num_spans()) {
                sl.finalize(y);
                return true;
            }
        }
        return false;
    }

    // Sweeps the whole shape into `sink` without a scan-line: sink.rows(y,
    // count) before each run of alike rows, then their pixels as
    // sweep_scanline hands them to a scan-line (add_cell, add_span, in order
    // of x).
    template <class Sink>
    void sweepRows(Sink& sink) {
        if (!rewind_scanlines()) return;
        if (rectangle()) return sweepRectangle(sink);
        const int end = ((maxY_ - 1) >> agg::poly_subpixel_shift) + 1;
        while (row_ < end) {
            const int top = row_ << agg::poly_subpixel_shift;
            if (top + agg::poly_subpixel_scale > piecesValidTo_) {
                computeRow(top, top + agg::poly_subpixel_scale);
            }
            // The rows whose bottom the pieces still reach.
            const int alike = std::min(end, piecesValidTo_ >> agg::poly_subpixel_shift) - row_;
            if (pieceCount_ > 0) {
                sink.rows(row_, alike);
                handPieces(sink);
            }
            row_ += alike;
        }
    }

    // Widest window sweepColumns works out.
    static constexpr int maxColumns = 16;

    // Sweeps a shape at most maxColumns pixels wide (max_x() - min_x() < maxColumns) as whole
    // rows of accumulated values: sink.columns(y, count, deltas, evenOdd) for each run of
    // alike rows,
    // deltas[i] being what column min_x() + i adds to the value the row's sweep sums from the
    // left (the cell's cover << 9 minus its area, plus the area of the cell before it), for
    // i up to maxColumns (the last one past every cell). Runs where no edge crosses the rows
    // are left out. The same rows as sweepRows, with no test per cell.
    template <class Sink>
    void sweepColumns(Sink& sink) {
        if (!rewind_scanlines() || maxX_ - minX_ >= maxColumns) return;
        const int end = ((maxY_ - 1) >> agg::poly_subpixel_shift) + 1;
        int row = minY_ >> agg::poly_subpixel_shift;
        while (row < end) {
            const int top = row << agg::poly_subpixel_shift;
            const int bottom = top + agg::poly_subpixel_scale;
            int32_t deltas[maxColumns + 1] = {};
            // Rows are alike up to the one holding the next edge end below the top.
            int next = maxY_;
            bool crossed = false;
            for (int i = 0; i < edgeCount_; ++i) {
                const Edge& e = edges_[i];
                next = std::min(next, e.y1 > top ? e.y1 : next);
                next = std::min(next, e.y2 > top ? e.y2 : next);
                const int delta = std::max(0, std::min(e.y2, bottom) - std::max(e.y1, top));
                const int cellX = e.x >> agg::poly_subpixel_shift;
                const int cover = delta * e.direction;
                const int area = ((e.x - (cellX << agg::poly_subpixel_shift)) << 1) * cover;
                deltas[cellX - minX_] += (cover << (agg::poly_subpixel_shift + 1)) - area;
                deltas[cellX - minX_ + 1] += area;
                crossed |= delta != 0;
            }
            const int count = std::max(1, std::min(end, next >> agg::poly_subpixel_shift) - row);
            if (crossed) sink.columns(row, count, deltas, rule_ == agg::fill_even_odd);
            row += count;
        }
    }

private:
    struct Edge {
        int x, y1, y2;  // 1/256 pixels, y1 < y2
        int direction;  // +1 running down (towards larger y), -1 up
    };
    struct Cell {
        int x, cover, area;
    };
    // What a row hands the scan-line: a pixel (len 0) or a run of one alpha.
    struct Piece {
        int x;
        unsigned len, alpha;
    };

    // The rasteriser's clipping and conversion of a coordinate to 1/256 pixels.
    int subpixelX(double x) const { return subpixel(clamp(x, clip_.x1, clip_.x2)); }
    int subpixelY(double y) const { return subpixel(clamp(y, clip_.y1, clip_.y2)); }
    static int subpixel(double v) { return agg::iround(v * agg::poly_subpixel_scale); }
    static double clamp(double v, double low, double high) {
        return v < low ? low : (v > high ? high : v);
    }
    bool addEdge(int xa, int ya, int xb, int yb);
    template <class Sink>
    void sweepRectangle(Sink& sink) const;
    template <class Sink>
    void rectangleRows(Sink& sink, int y, int count, int height) const;
    void sortEdges();
    template <class Scanline>
    void sweepRow(Scanline& sl, int y);
    template <class Sink>
    void handPieces(Sink& sl) const;
    void computeRow(int top, int bottom);
    unsigned alpha(int area) const;

    Edge edges_[maxEdges];
    int edgeCount_ = 0;
    int minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    agg::rect_d clip_;
    agg::filling_rule_e rule_ = agg::fill_non_zero;
    int row_ = 0;
    // The pieces of the last row worked out, and the bottom (1/256 pixels)
    // up to which later rows are the same: no edge starts or ends before it.
    Piece pieces_[2 * maxEdges];
    int pieceCount_ = 0;
    int piecesValidTo_ = INT_MIN;
    bool active_ = false;
};

// Works on the edge as the rasteriser's clipper leaves it (its ends clipped
// and rounded by subpixelX and subpixelY): ends cut to the top and bottom of
// the clip box, and any part beyond its left or right side moved onto that
// side. An edge whose clipped ends round to the same row of 1/256 pixels adds
// no area; one whose clipped ends round to the same column is a vertical edge
// there (the stroker's corners carry rounding noise far below 1/256 pixel);
// any other edge is slanted. Inline, as every small draw adds its edges here.
inline __attribute__((always_inline)) bool RectilinearCoverage::addEdge(int xa, int ya, int xb,
                                                                        int yb) {
    if (ya == yb) return true;
    if (xa != xb || edgeCount_ == maxEdges) return false;
    const Edge edge{xa, std::min(ya, yb), std::max(ya, yb), yb > ya ? 1 : -1};
    const int cellX = xa >> agg::poly_subpixel_shift;
    if (edgeCount_ == 0) {
        minX_ = maxX_ = cellX;
        minY_ = edge.y1;
        maxY_ = edge.y2;
    } else {
        minX_ = std::min(minX_, cellX);
        maxX_ = std::max(maxX_, cellX);
        minY_ = std::min(minY_, edge.y1);
        maxY_ = std::max(maxY_, edge.y2);
    }
    edges_[edgeCount_++] = edge;
    return true;
}

// Sorts the edges by x once, so that every row's cells come out in order.
inline __attribute__((always_inline)) void RectilinearCoverage::sortEdges() {
    for (int i = 1; i < edgeCount_; ++i) {
        const Edge edge = edges_[i];
        int at = i;
        for (; at > 0 && edges_[at - 1].x > edge.x; --at) edges_[at] = edges_[at - 1];
        edges_[at] = edge;
    }
}

// The rasteriser's alpha for an accumulated value (cover << 9 minus area).
inline unsigned RectilinearCoverage::alpha(int area) const {
    int cover = area >> (agg::poly_subpixel_shift * 2 + 1 - 8);
    if (cover < 0) cover = -cover;
    if (rule_ == agg::fill_even_odd) {
        cover &= 511;
        if (cover > 256) cover = 512 - cover;
    }
    return unsigned(std::min(cover, 255));
}

// Row y from its pieces, worked out again only where an edge starts or ends
// since the last row: rows between such places are all alike.
template <class Scanline>
void RectilinearCoverage::sweepRow(Scanline& sl, int y) {
    const int top = y << agg::poly_subpixel_shift;
    const int bottom = top + agg::poly_subpixel_scale;
    if (bottom > piecesValidTo_) computeRow(top, bottom);
    handPieces(sl);
}

// One rectangle, two edges over the same rows in opposite directions: its
// partial top row, its whole rows and its partial bottom row, each worked
// out as computeRow works out a row of these two edges.
template <class Sink>
void RectilinearCoverage::sweepRectangle(Sink& sink) const {
    const int y1 = edges_[0].y1, y2 = edges_[0].y2;
    const int first = y1 >> agg::poly_subpixel_shift, last = (y2 - 1) >> agg::poly_subpixel_shift;
    if (first == last) return rectangleRows(sink, first, 1, y2 - y1);
    rectangleRows(sink, first, 1, ((first + 1) << agg::poly_subpixel_shift) - y1);
    if (last - first > 1)
        rectangleRows(sink, first + 1, last - first - 1, agg::poly_subpixel_scale);
    rectangleRows(sink, last, 1, y2 - (last << agg::poly_subpixel_shift));
}

// `count` rows from y on, each crossed `height` (1/256 pixels) by both edges.
template <class Sink>
void RectilinearCoverage::rectangleRows(Sink& sink, int y, int count, int height) const {
    Piece pieces[3];
    int n = 0;
    const Edge& left = edges_[0];
    const Edge& right = edges_[1];
    const int leftX = left.x >> agg::poly_subpixel_shift;
    const int rightX = right.x >> agg::poly_subpixel_shift;
    const int leftCover = height * left.direction, rightCover = height * right.direction;
    const int leftArea = ((left.x - (leftX << agg::poly_subpixel_shift)) << 1) * leftCover;
    const int rightArea = ((right.x - (rightX << agg::poly_subpixel_shift)) << 1) * rightCover;
    if (leftX == rightX) {
        const int area = leftArea + rightArea;
        const int cover = leftCover + rightCover;
        if (area) {
            if (const unsigned a = alpha((cover << (agg::poly_subpixel_shift + 1)) - area)) {
                pieces[n++] = Piece{leftX, 0, a};
            }
        }
    } else {
        int x = leftX;
        if (leftArea) {
            if (const unsigned a =
                    alpha((leftCover << (agg::poly_subpixel_shift + 1)) - leftArea)) {
                pieces[n++] = Piece{leftX, 0, a};
            }
            ++x;
        }
        if (rightX > x) {
            if (const unsigned a = alpha(leftCover << (agg::poly_subpixel_shift + 1))) {
                pieces[n++] = Piece{x, unsigned(rightX - x), a};
            }
        }
        if (rightArea) {
            const int cover = leftCover + rightCover;
            if (const unsigned a = alpha((cover << (agg::poly_subpixel_shift + 1)) - rightArea)) {
                pieces[n++] = Piece{rightX, 0, a};
            }
        }
    }
    if (n == 0) return;
    sink.rows(y, count);
    for (int i = 0; i < n; ++i) {
        if (pieces[i].len == 0) {
            sink.add_cell(pieces[i].x, pieces[i].alpha);
        } else {
            sink.add_span(pieces[i].x, pieces[i].len, pieces[i].alpha);
        }
    }
}

template <class Sink>
void RectilinearCoverage::handPieces(Sink& sl) const {
    for (int i = 0; i < pieceCount_; ++i) {
        const Piece& piece = pieces_[i];
        if (piece.len == 0) {
            sl.add_cell(piece.x, piece.alpha);
        } else {
            sl.add_span(piece.x, piece.len, piece.alpha);
        }
    }
}

}  // namespace lumo
