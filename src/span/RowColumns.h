#pragma once

#include <agg_basics.h>

#include <cstdint>

namespace lumo {

// The pixels of a span picked from one image row: the row, its index in the
// image, and the byte offset in it of each pixel.
struct RowColumns {
    const agg::int8u* row;
    int index;
    const uint32_t* columns;
};

}  // namespace lumo
