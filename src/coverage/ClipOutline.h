#pragma once

#include <agg_basics.h>
#include <agg_path_storage.h>

#include <cstdint>

namespace lumo {

// A clip path as the coverage producers read it: the path in device
// coordinates, the clip box it is cut to, its fill rule, whether it has
// curves, whether its edges stay antialiased (otherwise a pixel is inside
// only where the path covers it fully) and the serial that names it.
struct ClipOutline {
    agg::path_storage& path;
    const agg::rect_d& box;
    agg::filling_rule_e fillRule;
    bool curved;
    bool antialiased;
    uint64_t serial;
};

}  // namespace lumo
