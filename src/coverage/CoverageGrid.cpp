#include "coverage/CoverageGrid.h"

#include <cstring>

namespace lumo {

void CoverageGrid::begin(int minX, int width, int top, int rows) {
    width_ = width;
    stride_ = (width + kGroup - 1) & ~(kGroup - 1);
    markStride_ = ((stride_ >> kGroupShift) + kMarkWord - 1) & ~(kMarkWord - 1);
    const size_t cells = size_t(stride_) * size_t(rows);
    if (cells_.size() < cells) cells_.resize(cells, 0);
    const size_t marks = size_t(markStride_) * size_t(rows);
    if (marks_.size() < marks) marks_.resize(marks, 0);
    if (covers_.size() < size_t(stride_)) covers_.resize(size_t(stride_));
    minX_ = minX;
    top_ = top;
    rows_ = rows;
    read_ = 0;
}

void CoverageGrid::clear() {
    for (int r = read_; r < rows_; ++r) {
        uint8_t* marked = marks_.data() + size_t(r) * size_t(markStride_);
        uint32_t* row = cells_.data() + size_t(r) * size_t(stride_);
        takeMarkedGroups(
            marked, [row](int start) { std::memset(row + start, 0, kGroup * sizeof(uint32_t)); });
    }
    rows_ = 0;
    read_ = 0;
}

void CoverageGrid::trim() {
    clear();
    if (cells_.size() > size_t(kBandCells)) {
        std::vector<uint32_t>().swap(cells_);
        std::vector<uint8_t>().swap(marks_);
        std::vector<uint8_t>().swap(covers_);
    }
}

}  // namespace lumo
