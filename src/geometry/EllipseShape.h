#pragma once

#include "geometry/VertexSource.h"

#include <agg_basics.h>
#include <agg_bezier_arc.h>

namespace lumo {

// A closed ellipse with centre (cx, cy) and radii (rx, ry): four cubic quarter
// turns starting at angle 0, then a counter-clockwise close.
class EllipseShape final : public VertexSource {
public:
    EllipseShape(double cx, double cy, double rx, double ry)
        : arc(cx, cy, rx, ry, 0.0, 6.283185307179586), active(true) {
        arc.rewind(0);
    }

    void rewind(unsigned) override {
        active = true;
        arc.rewind(0);
    }

    unsigned vertex(double* x, double* y) override {
        if (!active) return agg::path_cmd_stop;
        const unsigned cmd = arc.vertex(x, y);
        if (cmd != agg::path_cmd_stop) return cmd;
        active = false;
        return agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_ccw;
    }

    bool has_curves() const override { return true; }

    agg::bezier_arc arc;
    bool active;
};

}  // namespace lumo
