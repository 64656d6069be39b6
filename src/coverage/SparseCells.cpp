#include "coverage/SparseCells.h"

#include <algorithm>

namespace lumo {

namespace {

// What the cell vector may keep between bands and shapes: 1 MiB.
constexpr size_t kKeptCells = size_t(1) << 16;

}  // namespace

void SparseCells::begin() {
    cells_.clear();
    next_ = 0;
}

void SparseCells::trim() {
    if (cells_.capacity() > kKeptCells) {
        std::vector<Cell>().swap(cells_);
    } else {
        cells_.clear();
    }
    next_ = 0;
    cut_ = false;
}

void SparseCells::sort() {
    std::sort(cells_.begin(), cells_.end(),
              [](const Cell& a, const Cell& b) { return a.y < b.y || (a.y == b.y && a.x < b.x); });
}

}  // namespace lumo
