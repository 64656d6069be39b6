#include "coverage/CoverageGrid.h"

#include <algorithm>
#include <cstring>

namespace lumo {

void CoverageGrid::begin(int minX, int width, int top, int rows) {
    const size_t cells = size_t(width) * size_t(rows);
    if (cells_.size() < cells) cells_.resize(cells, 0);
    if (covers_.size() < size_t(width)) covers_.resize(size_t(width));
    if (first_.size() < size_t(rows)) {
        first_.resize(size_t(rows), INT_MAX);
        last_.resize(size_t(rows), -1);
    }
    minX_ = minX;
    width_ = width;
    top_ = top;
    rows_ = rows;
}

void CoverageGrid::clear() {
    for (int r = 0; r < rows_; ++r) {
        if (first_[r] <= last_[r]) {
            uint32_t* row = cells_.data() + size_t(r) * size_t(width_);
            std::memset(row + first_[r], 0, size_t(last_[r] - first_[r] + 1) * sizeof(uint32_t));
        }
        first_[r] = INT_MAX;
        last_[r] = -1;
    }
    rows_ = 0;
}

void CoverageGrid::trim() {
    clear();
    if (cells_.size() > size_t(kBandCells)) {
        std::vector<uint32_t>().swap(cells_);
        std::vector<uint8_t>().swap(covers_);
        std::vector<int>().swap(first_);
        std::vector<int>().swap(last_);
    }
}

}  // namespace lumo
