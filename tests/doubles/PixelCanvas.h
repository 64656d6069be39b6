#pragma once

#include "core/DataBuffer.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace lumo {

// A small bottom-up block of 32-bit pixels like a DataBuffer's (top row last in memory), for
// drawing through a pixel format. Pixels are read and written as words 0xAARRGGBB.
class PixelCanvas {
public:
    PixelCanvas(int width, int height, uint32_t fill)
        : width_(width), pixels_(size_t(width) * height, fill) {
        rows_.attach(reinterpret_cast<agg::int8u*>(pixels_.data()), unsigned(width),
                     unsigned(height), -4 * width);
    }
    RowBuffer& rows() { return rows_; }
    uint32_t at(int x, int y) const {
        uint32_t word;
        std::memcpy(&word, rows_.row_ptr(y) + 4 * x, 4);
        return word;
    }
    void set(int x, int y, uint32_t word) { std::memcpy(rows_.row_ptr(y) + 4 * x, &word, 4); }
    // The whole row, to check that a span leaves its neighbours alone.
    std::vector<uint32_t> row(int y) const {
        std::vector<uint32_t> words;
        for (int x = 0; x < width_; ++x) words.push_back(at(x, y));
        return words;
    }

private:
    int width_;
    std::vector<uint32_t> pixels_;
    RowBuffer rows_;
};

}  // namespace lumo
