#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumo {

// The sorted path for shapes too wide or too sparse for a dense grid: the
// cells of a band of rows, merged while a line stays in one cell, sorted by
// row and x and swept the way a cell-sorting rasteriser sweeps them. At most
// kMaxCells cells are held per band; cells beyond are dropped and `cut()`
// says so.
class SparseCells {
public:
    static constexpr size_t kMaxCells = size_t(1) << 19;

    void begin();
    void trim();
    bool cut() const { return cut_; }

    // One row, taking cell contributions.
    class Row {
    public:
        Row(SparseCells& cells, int y) : cells_(cells), y_(y) {}
        void add(int x, int cover, int area) { cells_.add(x, y_, cover, area); }
        void step(int incr) { y_ += incr; }

        // Neighbouring cells from x on, by kIncr.
        template <int kIncr>
        class Run {
        public:
            Run(Row& row, int x) : row_(row), x_(x) {}
            void add(int cover, int area) {
                row_.add(x_, cover, area);
                x_ += kIncr;
            }
            void end() {}

        private:
            Row& row_;
            int x_;
        };
        template <int kIncr>
        Run<kIncr> run(int x) {
            return Run<kIncr>(*this, x);
        }

    private:
        SparseCells& cells_;
        int y_;
    };

    Row row(int y) { return Row(*this, y); }

    void add(int x, int y, int cover, int area) {
        if (!cells_.empty()) {
            Cell& last = cells_.back();
            if (last.x == x && last.y == y) {
                last.cover += uint32_t(cover);
                last.area += uint32_t(area);
                return;
            }
        }
        if (cells_.size() >= kMaxCells) {
            cut_ = true;
            return;
        }
        cells_.push_back({x, y, uint32_t(cover), uint32_t(area)});
    }

    void sort();

    template <class Alpha, class Scanline>
    void sweepRow(int y, const Alpha& alpha, Scanline& sl) {
        const size_t end = cells_.size();
        size_t i = next_;
        while (i < end && cells_[i].y < y) ++i;
        uint32_t cover = 0;
        while (i < end && cells_[i].y == y) {
            int x = cells_[i].x;
            uint32_t area = cells_[i].area;
            cover += cells_[i].cover;
            for (++i; i < end && cells_[i].y == y && cells_[i].x == x; ++i) {
                area += cells_[i].area;
                cover += cells_[i].cover;
            }
            if (area != 0) {
                const unsigned a = alpha.value((cover << 9) - area);
                if (a != 0) sl.add_cell(x, a);
                ++x;
            }
            if (i < end && cells_[i].y == y && cells_[i].x > x) {
                const unsigned a = alpha.value(cover << 9);
                if (a != 0) sl.add_span(x, unsigned(cells_[i].x - x), a);
            }
        }
        next_ = i;
    }

private:
    struct Cell {
        int x, y;
        uint32_t cover, area;
    };
    std::vector<Cell> cells_;
    size_t next_ = 0;
    bool cut_ = false;
};

}  // namespace lumo
