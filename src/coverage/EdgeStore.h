#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumo {

// The clipped lines of one shape in 24.8 fixed point, as the clipper hands
// them over, with the cell bounds a scan-line rasteriser reports. Lines that
// stay within one sub-pixel row add nothing to any cell and only widen the
// bounds. Lines 16,384 px wide or more are halved until they are narrower, so
// the cell arithmetic stays within 32 bits.
//
// At most kMaxLines lines are kept, crossing at most kMaxCells cells between
// them; the lines beyond either limit are dropped (the shape is cut) and
// `cut()` says so. The sweep's work grows with the cells crossed, so the cell
// limit bounds the time one shape can take; it is twice the four
// million cells at which AGG's rasteriser cuts a shape. The storage a huge
// shape needed is given back by the next reset.
class EdgeStore {
public:
    struct Line {
        int x1, y1, x2, y2;
    };

    static constexpr size_t kMaxLines = size_t(1) << 20;
    static constexpr uint64_t kMaxCells = uint64_t(1) << 23;

    void reset();
    // The clipper's output.
    __attribute__((always_inline)) void line(int x1, int y1, int x2, int y2) {
        widen(x1, y1);
        widen(x2, y2);
        if (y1 == y2) return;
        // The usual line, narrow and within the limits, is kept here; the
        // others take store().
        const int64_t dx = int64_t(x2) - x1;
        const int64_t dy = int64_t(y2) - y1;
        const uint64_t cells =
            uint64_t((dy < 0 ? -dy : dy) >> kShift) + uint64_t((dx < 0 ? -dx : dx) >> kShift) + 2;
        if (dx < kWideLine && dx > -kWideLine && lines_.size() < lines_.capacity() &&
            lines_.size() < kMaxLines && cellEstimate_ + cells <= kMaxCells && !cut_) {
            lines_.push_back({x1, y1, x2, y2});
            cellEstimate_ += cells;
            return;
        }
        store(x1, y1, x2, y2);
    }

    const std::vector<Line>& lines() const { return lines_; }
    bool empty() const { return lines_.empty(); }
    bool cut() const { return cut_; }
    // An upper bound of the number of cells the lines cross.
    uint64_t cellEstimate() const { return cellEstimate_; }

    int minX() const { return minX_; }
    int minY() const { return minY_; }
    int maxX() const { return maxX_; }
    int maxY() const { return maxY_; }

    // Sub-pixel bits of the coordinates (the cell walk's kSubpixelShift).
    static constexpr int kShift = 8;
    // Lines at least this wide (in 1/256 px) are halved before they are walked.
    static constexpr int64_t kWideLine = int64_t(16384) << kShift;

private:
    void widen(int x, int y) {
        const int ex = x >> kShift;
        const int ey = y >> kShift;
        if (ex < minX_) minX_ = ex;
        if (ex > maxX_) maxX_ = ex;
        if (ey < minY_) minY_ = ey;
        if (ey > maxY_) maxY_ = ey;
    }
    void store(int x1, int y1, int x2, int y2);

    std::vector<Line> lines_;
    uint64_t cellEstimate_ = 0;
    bool cut_ = false;
    int minX_ = INT_MAX;
    int minY_ = INT_MAX;
    int maxX_ = INT_MIN;
    int maxY_ = INT_MIN;
};

}  // namespace lumo
