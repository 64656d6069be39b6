#include "coverage/CoverageGrid.h"

#include <cstring>

namespace lumo {

void CoverageGrid::begin(int minX, int width, int top, int rows) {
    stride_ = (width + kGroup - 1) & ~(kGroup - 1);
    words_ = (stride_ + 1023) >> 10;
    const size_t cells = size_t(stride_) * size_t(rows);
    if (cells_.size() < cells) cells_.resize(cells, 0);
    const size_t words = size_t(words_) * size_t(rows);
    if (bits_.size() < words) bits_.resize(words, 0);
    if (covers_.size() < size_t(stride_)) covers_.resize(size_t(stride_));
    minX_ = minX;
    top_ = top;
    rows_ = rows;
}

void CoverageGrid::clear() {
    for (int r = 0; r < rows_; ++r) {
        uint64_t* bits = bits_.data() + size_t(r) * size_t(words_);
        uint32_t* row = cells_.data() + size_t(r) * size_t(stride_);
        for (int w = 0; w < words_; ++w) {
            for (uint64_t marks = bits[w]; marks != 0; marks &= marks - 1) {
                const int start = (w << 10) + (__builtin_ctzll(marks) << kGroupShift);
                std::memset(row + start, 0, kGroup * sizeof(uint32_t));
            }
            bits[w] = 0;
        }
    }
    rows_ = 0;
}

void CoverageGrid::trim() {
    clear();
    if (cells_.size() > size_t(kBandCells)) {
        std::vector<uint32_t>().swap(cells_);
        std::vector<uint64_t>().swap(bits_);
        std::vector<uint8_t>().swap(covers_);
    }
}

}  // namespace lumo
