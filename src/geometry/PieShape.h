#pragma once

#include "geometry/VertexSource.h"

#include <agg_basics.h>
#include <agg_bezier_arc.h>

namespace lumo {

// A closed pie slice: from the centre (cx, cy) to the start of the elliptical
// arc, along the arc, and back. Angles are in radians; a positive sweep turns
// from +x towards +y.
class PieShape final : public VertexSource {
public:
    PieShape(double cx, double cy, double rx, double ry, double start, double sweep)
        : cx(cx), cy(cy), arc(cx, cy, rx, ry, start, sweep), step(0) {
        arc.rewind(0);
    }

    void rewind(unsigned) override {
        step = 0;
        arc.rewind(0);
    }

    unsigned vertex(double* x, double* y) override {
        switch (step) {
            case 0:
                step = 1;
                *x = cx;
                *y = cy;
                return agg::path_cmd_move_to;
            case 1:
                // The arc opens with a move_to; here it continues the edge
                // from the centre instead.
                step = 2;
                arc.vertex(x, y);
                return agg::path_cmd_line_to;
            case 2: {
                // curve4 for a real arc, line_to for a degenerate one.
                const unsigned cmd = arc.vertex(x, y);
                if (cmd != agg::path_cmd_stop) return cmd;
                step = 3;
                return agg::path_cmd_end_poly | agg::path_flags_close;
            }
            default:
                return agg::path_cmd_stop;
        }
    }

    bool has_curves() const override { return true; }

    double cx, cy;
    agg::bezier_arc arc;
    unsigned step;
};

}  // namespace lumo
