#pragma once

#include "coverage/CellWalk.h"
#include "coverage/EdgeStore.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace lumo {

// The walk of a line through the cells branches on its directions and on how
// many rows and columns it spans; a shape's lines taken in outline order
// change those at random (a flattened curve turns every few pixels), and the
// branches are mispredicted. Walking lines of one kind after another lets the
// branches be predicted; the cells' sums do not depend on the order.
//
// A line's kind: whether it goes up and whether it goes left, and the rows
// (0, 1, 2 or more) and columns (0 to 3 or more) of cells it crosses.
constexpr int kLineKinds = 64;

inline unsigned lineKind(const EdgeStore::Line& l) {
    const int rows = std::abs((l.y2 >> kSubpixelShift) - (l.y1 >> kSubpixelShift));
    const int columns = std::abs((l.x2 >> kSubpixelShift) - (l.x1 >> kSubpixelShift));
    return unsigned(l.y2 < l.y1) << 5 | unsigned(l.x2 < l.x1) << 4 |
           unsigned(rows < 2 ? rows : 2) << 2 | unsigned(columns < 3 ? columns : 3);
}

// The indices of `lines` by kind, in their order within a kind (a counting
// sort); `kinds` is scratch.
inline void orderByKind(const std::vector<EdgeStore::Line>& lines, std::vector<uint32_t>& order,
                        std::vector<uint8_t>& kinds) {
    const size_t count = lines.size();
    kinds.resize(count);
    order.resize(count);
    uint32_t starts[kLineKinds] = {};
    for (size_t i = 0; i < count; ++i) {
        const unsigned kind = lineKind(lines[i]);
        kinds[i] = uint8_t(kind);
        ++starts[kind];
    }
    uint32_t at = 0;
    for (uint32_t& start : starts) {
        const uint32_t n = start;
        start = at;
        at += n;
    }
    for (size_t i = 0; i < count; ++i) order[starts[kinds[i]]++] = uint32_t(i);
}

}  // namespace lumo
