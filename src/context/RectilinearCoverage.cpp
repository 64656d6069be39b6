#include "context/RectilinearCoverage.h"

namespace lumo {

namespace {

// The rasteriser's conversion of a clipped coordinate to 1/256 pixels.
int subpixel(double v) {
    return agg::iround(v * agg::poly_subpixel_scale);
}

double clamp(double v, double low, double high) {
    return v < low ? low : (v > high ? high : v);
}

}  // namespace

// Works on the edge as the rasteriser's clipper leaves it: ends cut to the
// top and bottom of the clip box, and any part beyond its left or right side
// moved onto that side. An edge whose clipped ends round to the same row of
// 1/256 pixels adds no area; one whose clipped ends round to the same column
// is a vertical edge there (the stroker's corners carry rounding noise far
// below 1/256 pixel); any other edge is slanted.
bool RectilinearCoverage::addEdge(double x1, double y1, double x2, double y2) {
    const int ya = subpixel(clamp(y1, clip_.y1, clip_.y2));
    const int yb = subpixel(clamp(y2, clip_.y1, clip_.y2));
    if (ya == yb) return true;
    const int x = subpixel(clamp(x1, clip_.x1, clip_.x2));
    if (x != subpixel(clamp(x2, clip_.x1, clip_.x2)) || edgeCount_ == maxEdges) return false;
    const Edge edge{x, std::min(ya, yb), std::max(ya, yb), yb > ya ? 1 : -1};
    const int cellX = x >> agg::poly_subpixel_shift;
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

}  // namespace lumo
