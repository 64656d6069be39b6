#include "coverage/EdgeStore.h"

#include "coverage/CellWalk.h"

#include <cstdlib>

namespace lumo {

static_assert(EdgeStore::kShift == kSubpixelShift, "one sub-pixel scale");

namespace {

// What the vector of lines may keep between shapes: 4 MiB.
constexpr size_t kKeptLines = size_t(1) << 18;

}  // namespace

void EdgeStore::reset() {
    if (lines_.capacity() > kKeptLines) {
        std::vector<Line>().swap(lines_);
    } else {
        lines_.clear();
    }
    cellEstimate_ = 0;
    cut_ = false;
    minX_ = INT_MAX;
    minY_ = INT_MAX;
    maxX_ = INT_MIN;
    maxY_ = INT_MIN;
}

void EdgeStore::store(int x1, int y1, int x2, int y2) {
    const int64_t dx = int64_t(x2) - x1;
    if (dx >= kWideLine || dx <= -kWideLine) {
        // The halves of the line, each walked once.
        const int cx = int((int64_t(x1) + x2) >> 1);
        const int cy = int((int64_t(y1) + y2) >> 1);
        store(x1, y1, cx, cy);
        store(cx, cy, x2, y2);
        return;
    }
    if (y1 == y2 || cut_) return;
    const int64_t dy = int64_t(y2) - y1;
    const uint64_t cells =
        uint64_t(std::llabs(dy) >> kSubpixelShift) + uint64_t(std::llabs(dx) >> kSubpixelShift) + 2;
    if (lines_.size() >= kMaxLines || cellEstimate_ + cells > kMaxCells) {
        cut_ = true;
        return;
    }
    lines_.push_back({x1, y1, x2, y2});
    cellEstimate_ += cells;
}

}  // namespace lumo
