#pragma once

#include <agg_path_storage.h>

namespace lumo::test {

// Adds the rectangle at (x, y), w x h, from corner `start` (0..3 clockwise
// on screen from the top left), clockwise or not, as a move and three lines,
// closed unless `close` is false.
inline void addRectangle(agg::path_storage& path, double x, double y, double w, double h, int start,
                         bool clockwise, bool close = true) {
    const double cx[4] = {x, x + w, x + w, x}, cy[4] = {y, y, y + h, y + h};
    for (int i = 0; i < 4; ++i) {
        const int k = clockwise ? (start + i) % 4 : (start + 4 - i) % 4;
        if (i == 0) {
            path.move_to(cx[k], cy[k]);
        } else {
            path.line_to(cx[k], cy[k]);
        }
    }
    if (close) path.close_polygon();
}

}  // namespace lumo::test
