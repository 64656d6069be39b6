#pragma once

#include <agg_basics.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lumo {

// The scan-line coverage is handed over in: one row's spans, each a run of
// pixels from x with a cover per pixel, pieces that touch joined into one
// span. It has the interface of AGG's unpacked scan-lines (reset,
// reset_spans, add_cell, add_cells, add_span, finalize, y, num_spans, begin,
// whose spans have x, len and covers), keeps spans in one array as the
// 16-bit scanline_u8 does, and positions and lengths in 32 bits, so that
// spans past x = 32767 of a wide target do not wrap.
class CoverScanline {
public:
    using cover_type = agg::int8u;
    using coord_type = int32_t;
    struct span {
        coord_type x;
        coord_type len;
        cover_type* covers;
    };
    using iterator = span*;
    using const_iterator = const span*;

    // Readies the scan-line for rows whose cells lie in columns minX..maxX.
    void reset(int minX, int maxX) {
        const size_t length = size_t(std::max<int64_t>(int64_t(maxX) - minX, 0) + 2);
        if (length > covers_.size()) {
            covers_.resize(length);
            spans_.resize(length + 1);
        }
        minX_ = minX;
        reset_spans();
    }

    void reset_spans() {
        lastX_ = kNoCell;
        current_ = spans_.data();
    }

    void add_cell(int x, unsigned cover) {
        x -= minX_;
        covers_[size_t(x)] = cover_type(cover);
        extend(x, 1);
    }

    void add_cells(int x, unsigned len, const cover_type* covers) {
        x -= minX_;
        std::memcpy(&covers_[size_t(x)], covers, len);
        extend(x, len);
    }

    void add_span(int x, unsigned len, unsigned cover) {
        x -= minX_;
        std::memset(&covers_[size_t(x)], int(cover), len);
        extend(x, len);
    }

    void finalize(int y) { y_ = y; }

    int y() const { return y_; }
    unsigned num_spans() const { return unsigned(current_ - spans_.data()); }
    iterator begin() { return spans_.data() + 1; }
    const_iterator begin() const { return spans_.data() + 1; }

private:
    static constexpr int kNoCell = 0x7FFFFFF0;

    // Adds `len` pixels from column x (relative to minX) to the last span
    // when they continue it, else as a new one.
    void extend(int x, unsigned len) {
        if (x == lastX_ + 1) {
            current_->len += coord_type(len);
        } else {
            ++current_;
            current_->x = x + minX_;
            current_->len = coord_type(len);
            current_->covers = &covers_[size_t(x)];
        }
        lastX_ = x + int(len) - 1;
    }

    std::vector<cover_type> covers_;
    std::vector<span> spans_;
    span* current_ = nullptr;
    int minX_ = 0;
    int lastX_ = kNoCell;
    int y_ = 0;
};

}  // namespace lumo
