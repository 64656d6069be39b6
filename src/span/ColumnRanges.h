#pragma once

#include "span/BilinearColumns.h"

#include <algorithm>
#include <cstdint>

namespace lumo::bilinear {

// The image columns the blocks of a span read, blended (blendRows) as one
// or two ranges of the row, one after the other: across a tile edge of a
// wrapped image a span reads the last columns of the image and the first
// ones, and blending only those costs less than blending the whole row.
struct ColumnRanges {
    unsigned first = 0, count = 0;         // blended first, from index 0
    unsigned second = 0, secondCount = 0;  // then these, from index count

    // Renumbers the blocks' columns (image columns) as indices into the
    // blended columns, in one range or, where that would be more than
    // `limit` columns, in two; false, with the blocks as they were, when
    // two are more than `limit` too.
    bool layOut(BlockColumn* blocks, unsigned len, unsigned limit) {
        unsigned lo = ~0u, hi = 0;
        for (unsigned i = 0; i < len; ++i) {
            lo = std::min(lo, std::min(blocks[i].c0, blocks[i].c1));
            hi = std::max(hi, std::max(blocks[i].c0, blocks[i].c1));
        }
        if (len == 0) return false;
        if (hi - lo + 1 <= limit) {
            first = lo;
            count = hi - lo + 1;
            secondCount = 0;
            for (unsigned i = 0; i < len; ++i) {
                blocks[i].c0 -= lo;
                blocks[i].c1 -= lo;
            }
            return true;
        }
        // Columns below the middle of [lo, hi] in one range, the others in
        // the other (both ends are read, so neither is empty).
        const unsigned pivot = lo + (hi - lo) / 2 + 1;
        unsigned lowLast = lo, highFirst = hi;
        for (unsigned i = 0; i < len; ++i) {
            for (const unsigned v : {blocks[i].c0, blocks[i].c1}) {
                if (v < pivot) {
                    lowLast = std::max(lowLast, v);
                } else {
                    highFirst = std::min(highFirst, v);
                }
            }
        }
        const unsigned high = hi - highFirst + 1, low = lowLast - lo + 1;
        if (high + low > limit) return false;
        first = highFirst;
        count = high;
        second = lo;
        secondCount = low;
        const auto index = [&](unsigned v) { return v >= pivot ? v - highFirst : high + v - lo; };
        for (unsigned i = 0; i < len; ++i) {
            blocks[i].c0 = index(blocks[i].c0);
            blocks[i].c1 = index(blocks[i].c1);
        }
        return true;
    }

    // The two rows blended per column into `columns` (room for count +
    // secondCount columns).
    void blend(int16_t* columns, const uint8_t* upper, const uint8_t* lower, unsigned fy) const {
        blendRows(columns, upper + 4 * first, lower + 4 * first, count, fy);
        if (secondCount > 0) {
            blendRows(columns + 4 * count, upper + 4 * second, lower + 4 * second, secondCount, fy);
        }
    }
};

}  // namespace lumo::bilinear
