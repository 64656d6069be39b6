#pragma once

#include "geometry/VertexSource.h"

#include <agg_basics.h>

namespace lumo {

// An open segment from (x1, y1) to (x2, y2).
class LineShape final : public VertexSource {
public:
    LineShape(double x1, double y1, double x2, double y2)
        : step(0), x1(x1), y1(y1), x2(x2), y2(y2) {}

    void rewind(unsigned) override { step = 0; }

    unsigned vertex(double* x, double* y) override {
        switch (step) {
            case 0:
                step = 1;
                *x = x1;
                *y = y1;
                return agg::path_cmd_move_to;
            case 1:
                step = 2;
                *x = x2;
                *y = y2;
                return agg::path_cmd_line_to;
            default:
                return agg::path_cmd_stop;
        }
    }

    bool has_curves() const override { return false; }

    unsigned step;
    double x1, y1, x2, y2;
};

}  // namespace lumo
