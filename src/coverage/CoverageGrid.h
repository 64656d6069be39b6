#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumo {

// A band of cell rows as a dense grid of 32-bit sums, one per pixel of the
// shape's width plus one. A cell contribution adds (cover << 9) - area at its
// pixel and area at the next, so the running sum along a row is, at every
// pixel, the accumulated coverage a sorted sweep would compute there (modulo
// 2^32, as the sweep's own int sums wrap). Each row remembers the columns it
// touched; reading a row zeroes what it read, so the grid is clean again
// without a separate clear.
class CoverageGrid {
public:
    // The widest grid row (4 MiB); wider shapes take the sorted path.
    static constexpr int kMaxWidth = 1 << 20;
    // Cells per band, sized for the cache (512 KiB).
    static constexpr int kBandCells = 1 << 17;

    // The rows a band of the given width holds.
    static int bandRows(int width) { return width >= kBandCells ? 1 : kBandCells / width; }

    // Starts a band of `rows` rows from cell row `top`, columns from cell x
    // `minX`, `width` columns wide (the shape's width plus one).
    void begin(int minX, int width, int top, int rows);
    // Zeroes whatever rows of the band were not read; then the grid is clean.
    void clear();
    // Gives back storage beyond one band of the usual size.
    void trim();

    void add(int x, int y, int cover, int area) {
        const int r = y - top_;
        const int c = x - minX_;
        uint32_t* row = cells_.data() + size_t(r) * size_t(width_);
        row[c] += (uint32_t(cover) << 9) - uint32_t(area);
        row[c + 1] += uint32_t(area);
        if (c < first_[r]) first_[r] = c;
        if (c + 1 > last_[r]) last_[r] = c + 1;
    }

    // Turns row `y` into alphas, zeroing it, and hands the runs of non-zero
    // alpha to the scan-line.
    template <class Alpha, class Scanline>
    void sweepRow(int y, const Alpha& alpha, Scanline& sl) {
        const int r = y - top_;
        const int first = first_[r];
        const int last = last_[r];
        if (first > last) return;
        first_[r] = INT_MAX;
        last_[r] = -1;
        uint32_t* row = cells_.data() + size_t(r) * size_t(width_);
        uint8_t* covers = covers_.data();
        uint32_t sum = 0;
        for (int c = first; c <= last; ++c) {
            sum += row[c];
            row[c] = 0;
            covers[c] = uint8_t(alpha(sum));
        }
        int c = first;
        while (c <= last) {
            while (c <= last && covers[c] == 0) ++c;
            if (c > last) break;
            const int start = c;
            while (c <= last && covers[c] != 0) ++c;
            sl.add_cells(minX_ + start, unsigned(c - start), covers + start);
        }
    }

private:
    std::vector<uint32_t> cells_;
    std::vector<uint8_t> covers_;
    std::vector<int> first_;
    std::vector<int> last_;
    int minX_ = 0;
    int width_ = 0;
    int top_ = 0;
    int rows_ = 0;
};

}  // namespace lumo
