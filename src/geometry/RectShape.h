#pragma once

#include "geometry/VertexSource.h"

#include <agg_basics.h>

namespace lumo {

// The closed rectangle with corner (x, y), width w and height h, visited
// (x, y), (x+w, y), (x+w, y+h), (x, y+h). Negative sizes are not normalised.
class RectShape final : public VertexSource {
public:
    RectShape(double x, double y, double w, double h) : step(0), x(x), y(y), w(w), h(h) {}

    void rewind(unsigned) override { step = 0; }

    unsigned vertex(double* px, double* py) override {
        switch (step) {
            case 0:
                *px = x;
                *py = y;
                break;
            case 1:
                *px = x + w;
                *py = y;
                break;
            case 2:
                *px = x + w;
                *py = y + h;
                break;
            case 3:
                *px = x;
                *py = y + h;
                break;
            case 4:
                step = 5;
                return agg::path_cmd_end_poly | agg::path_flags_close;
            default:
                return agg::path_cmd_stop;
        }
        return step++ == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to;
    }

    bool has_curves() const override { return false; }

    unsigned step;
    double x, y, w, h;
};

}  // namespace lumo
