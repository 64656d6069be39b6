#pragma once

#include "coverage/CellWalk.h"

#include <cstdint>
#include <vector>

namespace lumo {

// The cell walk of short lines in two passes. The first cuts each line into
// its pieces within one cell row, exactly where walkLine cuts it, and files
// each piece by what its walk takes: one cell, two cells rightwards, two
// leftwards, or more. The second walks the pieces filing by filing, each
// with straight code. Walking a line at once branches at every row on
// whether the line crosses a cell boundary there, which the short lines of
// thin outlines (dashes, thin strokes) do at random; filed, the pieces of
// one kind follow each other, and only the pieces of several cells branch.
// The cells get the same contributions as from walkLine; only the order
// differs, which no sum depends on.
class RowSegments {
public:
    RowSegments() : pieces_(kFilings * kCapacity) {}

    // The most rows a line taken here may reach (it then has as many pieces),
    // and the widest it may be: its sub-pixel arithmetic then fits 32 bits.
    static constexpr int kMaxRows = 16;
    static constexpr int kMaxWidth = 1 << 15;

    // Whether the line (x1, y1) - (x2, y2) may be taken. A vertical line, in
    // one cell in every row, walks without a missed branch anyway.
    static bool takes(int x1, int y1, int x2, int y2) {
        const int rows = (y2 >> kSubpixelShift) - (y1 >> kSubpixelShift);
        const int64_t dx = int64_t(x2) - x1;
        return rows < kMaxRows && rows > -kMaxRows && dx < kMaxWidth && dx > -kMaxWidth && dx != 0;
    }

    // Files the pieces of a line that `takes`, walking the filed pieces into
    // `grid` first when a filing could overflow.
    template <class Grid>
    void add(Grid& grid, int x1, int y1, int x2, int y2) {
        // Each count is 16 bits of one word: adding kFull to the word sets a
        // count's top bit once it leaves no room for one more line.
        if ((counts_ + kFull) & kTopBits) walk(grid);
        cut(x1, y1, x2, y2);
        ++taken_;
    }

    // Lines taken so far (for tests).
    uint64_t taken() const { return taken_; }

    // Walks the filed pieces into `grid` and empties the filings.
    template <class Grid>
    void walk(Grid& grid) {
        const int one = count(kOneCell), right = count(kRight), left = count(kLeft),
                  more = count(kMore);
        counts_ = 0;
        const auto rows = grid.rows();
        for (const Piece& p : pieces(kOneCell, one)) {
            auto row = rows.row(p.y);
            row.add(p.x1 >> kSubpixelShift, p.height,
                    ((p.x1 & kSubpixelMask) + (p.x2 & kSubpixelMask)) * p.height);
        }
        for (const Piece& p : pieces(kRight, right)) {
            auto row = rows.row(p.y);
            walkCellsBy<1>(row, p.x1, p.x2, p.height);
        }
        for (const Piece& p : pieces(kLeft, left)) {
            auto row = rows.row(p.y);
            walkCellsBy<-1>(row, p.x1, p.x2, p.height);
        }
        for (const Piece& p : pieces(kMore, more)) {
            auto row = rows.row(p.y);
            walkCells(row, p.x1, p.x2, p.height);
        }
    }

private:
    struct Piece {
        int y, x1, x2, height;
    };
    // The filings.
    enum { kOneCell, kRight, kLeft, kMore, kFilings };
    // Pieces a filing holds.
    static constexpr int kCapacity = 256;
    static constexpr uint64_t kTopBits = 0x8000800080008000ull;
    static constexpr uint64_t kFull = 0x0001000100010001ull * (0x8000 - (kCapacity - kMaxRows - 1));

    struct Range {
        const Piece* from;
        const Piece* to;
        const Piece* begin() const { return from; }
        const Piece* end() const { return to; }
    };
    Range pieces(int filing, int n) const {
        const Piece* first = pieces_.data() + filing * kCapacity;
        return Range{first, first + n};
    }
    int count(int filing) const { return int((counts_ >> (16 * filing)) & 0xffff); }

    // Files the piece of row y from x1 to x2, `height` high (none when 0).
    __attribute__((always_inline)) void put(uint64_t& counts, int y, int x1, int x2, int height) {
        const int d = (x2 >> kSubpixelShift) - (x1 >> kSubpixelShift);
        const int filing = int(d != 0) + int(d == -1) + 2 * int(unsigned(d + 1) > 2u);
        const int shift = 16 * filing;
        Piece& p = pieces_[filing * kCapacity + int((counts >> shift) & 0xffff)];
        p.y = y;
        p.x1 = x1;
        p.x2 = x2;
        p.height = height;
        counts += uint64_t(height != 0) << shift;
    }

    // walkLine's cuts of a line into rows, in 32 bits.
    void cut(int x1, int y1, int x2, int y2) {
        uint64_t counts = counts_;
        const int ey1 = y1 >> kSubpixelShift;
        const int ey2 = y2 >> kSubpixelShift;
        const int fy1 = y1 & kSubpixelMask;
        const int fy2 = y2 & kSubpixelMask;
        if (ey1 == ey2) {
            put(counts, ey1, x1, x2, fy2 - fy1);
            counts_ = counts;
            return;
        }
        const int dx = x2 - x1;
        int dy = y2 - y1;
        int p0 = (kSubpixelScale - fy1) * dx;
        int first = kSubpixelScale;
        int incr = 1;
        if (dy < 0) {
            p0 = fy1 * dx;
            first = 0;
            incr = -1;
            dy = -dy;
        }
        // Row j ends at x1 + floor((p0 + j * 256 * dx) / dy), as in walkLine.
        const int d = floorDiv32(p0, dy);
        int xFrom = x1 + d;
        put(counts, ey1, x1, xFrom, first - fy1);
        const int n = (ey2 - ey1) * incr;
        int y = ey1 + incr;
        if (n > 1) {
            int mod = p0 - d * dy - dy;
            const int step = kSubpixelScale * dx;
            const int lift = floorDiv32(step, dy);
            const int rem = step - lift * dy;
            const int height = 2 * first - kSubpixelScale;
            for (int j = 1; j < n; ++j) {
                mod += rem;
                const int carry = mod >= 0;
                mod -= dy & -carry;
                const int xTo = xFrom + lift + carry;
                put(counts, y, xFrom, xTo, height);
                xFrom = xTo;
                y += incr;
            }
        }
        put(counts, ey2, xFrom, x2, fy2 - (kSubpixelScale - first));
        counts_ = counts;
    }

    uint64_t counts_ = 0;
    uint64_t taken_ = 0;
    std::vector<Piece> pieces_;
};

}  // namespace lumo
