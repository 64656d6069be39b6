#pragma once

#include <agg_basics.h>

namespace lumo {

// A vertex source over one polygon given as n points (x, y pairs), closed or left open: a
// move to the first point, lines to the others, then the close when closed. It reads what a
// path of those segments gives, without going through the path's codes.
class PolygonPoints {
public:
    PolygonPoints(const double* xy, int n, bool closed) : xy_(xy), n_(n), closed_(closed) {}

    void rewind(unsigned) { next_ = 0; }

    unsigned vertex(double* x, double* y) {
        const int i = next_++;
        if (i < n_) {
            *x = xy_[2 * i];
            *y = xy_[2 * i + 1];
            return i == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to;
        }
        if (i == n_ && closed_ && n_ > 0) return agg::path_cmd_end_poly | agg::path_flags_close;
        next_ = n_ + 1;
        return agg::path_cmd_stop;
    }

private:
    const double* xy_;
    int n_;
    bool closed_;
    int next_ = 0;
};

}  // namespace lumo
