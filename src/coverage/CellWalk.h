#pragma once

#include <algorithm>
#include <cstdint>
#include <type_traits>

namespace lumo {

// The line-to-cell arithmetic of the coverage rasteriser, on 24.8 fixed-point
// coordinates. A line hands each pixel cell it crosses a cover (the signed
// height it spans in the cell, in 1/256 px) and an area (cover times twice the
// mean x offset within the cell), in exactly the amounts, and with exactly the
// rounding, of AGG's scan-line rasteriser; only the order in which cells are
// visited differs, which no sum depends on.
//
// A sink receives the contributions row by row: `sink.row(y)` gives an
// object whose `add(x, cover, area)` takes them, several for one cell when a
// line or its neighbour visits it again, and whose `step(incr)` moves it to
// the next row up or down.

constexpr int kSubpixelShift = 8;
constexpr int kSubpixelScale = 1 << kSubpixelShift;
constexpr int kSubpixelMask = kSubpixelScale - 1;

// Division rounding towards minus infinity (b > 0).
inline int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if (a - q * b < 0) --q;
    return q;
}

// The same in 32 bits, for the cells of one row, where every operand stays
// below 2^31 (a line is at most 2^22 subpixels wide, a row 256 high): a 32-bit
// division costs about half of a 64-bit one.
inline int floorDiv32(int a, int b) {
    int q = a / b;
    if (a - q * b < 0) --q;
    return q;
}

// floorDiv in 32 bits whenever both operands fit, as they do for all but
// lines taller than 2^23 px or entered far from their start.
inline int64_t floorDivNarrow(int64_t a, int64_t b) {
    if (a == int32_t(a) && b == int32_t(b)) return floorDiv32(int(a), int(b));
    return floorDiv(a, b);
}

// The part of a line within one cell row that crosses cell boundaries, going
// right (kIncr 1) or left (-1): the first cell takes the height up to the
// first boundary, every whole cell between takes the same share (with the
// remainders carried as in a DDA), the last cell the rest. The cells go to a
// run the row starts at the first cell (`row.run<kIncr>(x)`), whose
// `add(cover, area)` takes each cell's in turn and whose `end()` closes it.
template <int kIncr, class Row>
inline void walkCellsBy(Row& row, int x1, int x2, int height) {
    const int ex1 = x1 >> kSubpixelShift;
    const int ex2 = x2 >> kSubpixelShift;
    const int fx1 = x1 & kSubpixelMask;
    const int fx2 = x2 & kSubpixelMask;
    const int dx = (x2 - x1) * kIncr;
    const int first = kIncr > 0 ? kSubpixelScale : 0;
    const int p = (kIncr > 0 ? kSubpixelScale - fx1 : fx1) * height;
    auto run = row.template run<kIncr>(ex1);
    int delta = floorDiv32(p, dx);
    run.add(delta, (fx1 + first) * delta);
    int y = delta;
    if (ex1 + kIncr != ex2) {
        int mod = p - delta * dx - dx;
        const int whole = kSubpixelScale * height;
        const int lift = floorDiv32(whole, dx);
        const int rem = whole - lift * dx;
        int ex = ex1 + kIncr;
        do {
            // The carry without a branch, as in walkLine's whole rows.
            mod += rem;
            const int carry = mod >= 0;
            mod -= dx & -carry;
            const int step = lift + carry;
            run.add(step, kSubpixelScale * step);
            y += step;
            ex += kIncr;
        } while (ex != ex2);
    }
    delta = height - y;
    run.add(delta, (fx2 + kSubpixelScale - first) * delta);
    run.end();
}

template <class Row>
inline void walkCells(Row& row, int x1, int x2, int height) {
    if (x2 > x1) {
        walkCellsBy<1>(row, x1, x2, height);
    } else {
        walkCellsBy<-1>(row, x1, x2, height);
    }
}

// The part of a line within one cell row, from (x1, y1) to (x2, y2) with y1
// and y2 relative to the row (0 to 256).
template <class Row>
__attribute__((always_inline)) inline void walkRow(Row& row, int x1, int y1, int x2, int y2) {
    if (y1 == y2) return;
    const int height = y2 - y1;
    if ((x1 >> kSubpixelShift) == (x2 >> kSubpixelShift)) {
        row.add(x1 >> kSubpixelShift, height,
                ((x1 & kSubpixelMask) + (x2 & kSubpixelMask)) * height);
        return;
    }
    walkCells(row, x1, x2, height);
}

// The cells of the line (x1, y1) - (x2, y2) that lie in the cell rows
// [rowBegin, rowEnd). The line's x extent must stay below 16,384 px (longer
// lines are split first). The rows are entered anywhere: the x at which the
// line crosses a row boundary is computed directly, so a tall line walked band
// by band costs no more than walked at once.
template <class Sink>
void walkLine(Sink& sink, int x1, int y1, int x2, int y2, int rowBegin, int rowEnd) {
    const int ey1 = y1 >> kSubpixelShift;
    const int ey2 = y2 >> kSubpixelShift;
    const int fy1 = y1 & kSubpixelMask;
    const int fy2 = y2 & kSubpixelMask;
    if (ey1 == ey2) {
        if (ey1 >= rowBegin && ey1 < rowEnd) {
            auto row = sink.row(ey1);
            walkRow(row, x1, fy1, x2, fy2);
        }
        return;
    }
    const int64_t dx = int64_t(x2) - x1;
    int64_t dy = int64_t(y2) - y1;
    int64_t p0 = (kSubpixelScale - fy1) * dx;
    int first = kSubpixelScale;
    int incr = 1;
    if (dy < 0) {
        p0 = fy1 * dx;
        first = 0;
        incr = -1;
        dy = -dy;
    }
    // Row j of the line is ey1 + incr * j, j from 0 to n. Row j ends (and row
    // j + 1 starts) at x1 + floor((p0 + j * 256 * dx) / dy).
    const int n = (ey2 - ey1) * incr;
    int jBegin, jLast;
    if (incr > 0) {
        jBegin = std::max(0, rowBegin - ey1);
        jLast = std::min(n, rowEnd - 1 - ey1);
    } else {
        jBegin = std::max(0, ey1 - (rowEnd - 1));
        jLast = std::min(n, ey1 - rowBegin);
    }
    if (jBegin > jLast) return;
    const int64_t step = kSubpixelScale * dx;
    int j = jBegin;
    const int64_t q = p0 + int64_t(j == 0 ? 0 : j - 1) * step;
    const int64_t d = floorDivNarrow(q, dy);
    int xFrom = int(x1 + d);
    int64_t mod = q - d * dy - dy;
    auto row = sink.row(ey1 + incr * j);
    if (j == 0) {
        walkRow(row, x1, fy1, xFrom, first);
        if (jLast == 0) return;
        row.step(incr);
        j = 1;
    }
    // Whole rows: the line spans each from bottom to top (or top to bottom),
    // and a steep line mostly stays within one cell, which takes the row's
    // whole height at once. The carry of the remainder is taken without a
    // branch, as it comes in no pattern a predictor could follow. A line of
    // two rows (most lines of small shapes) has none, and skips the division.
    const int jMiddle = std::min(jLast, n - 1);
    const int64_t lift = j <= jMiddle ? floorDivNarrow(step, dy) : 0;
    const int64_t rem = step - lift * dy;
    const int height = 2 * first - kSubpixelScale;
    // Every whole row goes the line's way along x.
    auto wholeRows = [&](auto way) {
        for (; j <= jMiddle; ++j) {
            mod += rem;
            const int64_t carry = mod >= 0;
            mod -= dy & -carry;
            const int xTo = int(xFrom + lift + carry);
            if ((xFrom >> kSubpixelShift) == (xTo >> kSubpixelShift)) {
                row.add(xFrom >> kSubpixelShift, height,
                        ((xFrom & kSubpixelMask) + (xTo & kSubpixelMask)) * height);
            } else {
                walkCellsBy<decltype(way)::value>(row, xFrom, xTo, height);
            }
            xFrom = xTo;
            if (j < jLast) row.step(incr);
        }
    };
    if (dx < 0) {
        wholeRows(std::integral_constant<int, -1>());
    } else {
        wholeRows(std::integral_constant<int, 1>());
    }
    if (jLast == n) walkRow(row, xFrom, kSubpixelScale - first, x2, fy2);
}

}  // namespace lumo
