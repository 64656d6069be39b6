#pragma once

#include "geometry/VertexSource.h"

#include <agg_basics.h>

#include <cstdint>

namespace lumo {

// The polyline through the points (x[i], y[i]) for i below count, read in
// place from two int arrays of at least count entries; closed, it ends with
// end_poly|close.
class PolygonShape final : public VertexSource {
public:
    PolygonShape(const int32_t* x, const int32_t* y, int32_t count, bool closed)
        : index(0), count(count), closed(closed), x(x), y(y) {}

    void rewind(unsigned) override { index = 0; }

    unsigned vertex(double* px, double* py) override {
        if (index < count) {
            *px = x[index];
            *py = y[index];
            return index++ == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to;
        }
        if (index == count && closed) {
            ++index;
            return agg::path_cmd_end_poly | agg::path_flags_close;
        }
        return agg::path_cmd_stop;
    }

    bool has_curves() const override { return false; }

    int64_t index;  // wide enough to step past count == INT32_MAX
    int32_t count;
    bool closed;
    const int32_t* x;
    const int32_t* y;
};

}  // namespace lumo
