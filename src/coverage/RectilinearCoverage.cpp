#include "coverage/RectilinearCoverage.h"

namespace lumo {

// The cells the edges leave in the row from top to bottom, in order of x,
// then the rasteriser's sweep: cells with area become single pixels, the
// runs between them take the cover accumulated so far, and pixels of alpha 0
// are left out.
void RectilinearCoverage::computeRow(int top, int bottom) {
    Cell cells[maxEdges];
    int count = 0;
    // Later rows look the same up to the first edge end below the top, if no
    // edge starts or ends inside this row.
    int validTo = maxY_ + agg::poly_subpixel_scale;
    for (int i = 0; i < edgeCount_; ++i) {
        const Edge& e = edges_[i];
        if (e.y1 > top) validTo = std::min(validTo, e.y1);
        if (e.y2 > top) validTo = std::min(validTo, e.y2);
        const int delta = std::min(e.y2, bottom) - std::max(e.y1, top);
        if (delta <= 0) continue;
        const int cellX = e.x >> agg::poly_subpixel_shift;
        const int twiceFx = (e.x - (cellX << agg::poly_subpixel_shift)) << 1;
        const int cover = delta * e.direction;
        // The edges are sorted by x, and so are the cells.
        cells[count++] = Cell{cellX, cover, twiceFx * cover};
    }
    piecesValidTo_ = validTo >= bottom ? validTo : bottom;
    pieceCount_ = 0;
    int cover = 0;
    for (int i = 0; i < count;) {
        int x = cells[i].x;
        int area = 0;
        for (; i < count && cells[i].x == x; ++i) {
            area += cells[i].area;
            cover += cells[i].cover;
        }
        if (area) {
            if (const unsigned a = alpha((cover << (agg::poly_subpixel_shift + 1)) - area)) {
                pieces_[pieceCount_++] = Piece{x, 0, a};
            }
            ++x;
        }
        if (i < count && cells[i].x > x) {
            if (const unsigned a = alpha(cover << (agg::poly_subpixel_shift + 1))) {
                pieces_[pieceCount_++] = Piece{x, unsigned(cells[i].x - x), a};
            }
        }
    }
}

}  // namespace lumo
