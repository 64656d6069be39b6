#pragma once

#include "coverage/Rasterizer.h"
#include "geometry/CheckedSource.h"
#include "geometry/CurveFlattener.h"

#include <agg_basics.h>

namespace lumo {

// The rest of a flattened curve goes to the rasteriser in one loop of line-tos. Its points
// lie between the curve's checked points (midpoints and control points), so they need no
// check of their own.
template <class Source>
void drainCurveLines(Rasterizer&, Source&) {}
template <class Source>
void drainCurveLines(Rasterizer& rasterizer, CurveFlattener<Source>& flattened) {
    flattened.drainLines([&rasterizer](double x, double y) { rasterizer.line_to_d(x, y); });
}

// Adds a device-space source to the rasteriser, each move starting a new
// polygon that is closed automatically. Returns false when a vertex has a
// coordinate that is not finite or too large to clip exactly; the rasteriser
// then holds a partial shape that the caller discards.
//
// A source whose first command draws without a move starts at (0, 0), where
// the curve flattener starts such a curve: the rasteriser's clipper keeps the
// last point of the previous shape, with its flags for the previous clip box,
// and a line from there could divide zero by zero.
template <class Source>
bool rasterizeSource(Rasterizer& rasterizer, Source& source) {
    double x = 0.0, y = 0.0;
    rasterizer.move_to_d(0.0, 0.0);
    source.rewind(0);
    unsigned cmd;
    while (!agg::is_stop(cmd = source.vertex(&x, &y))) {
        if (agg::is_vertex(cmd) && !coordinateUsable(x, y, maxEdgeCoordinate)) return false;
        rasterizer.add_vertex(x, y, cmd);
        drainCurveLines(rasterizer, source);
    }
    return true;
}

// The same for an outline that hands its commands over in one loop:
// `forEach(out)` calls out.add(x, y, cmd) for each, or out.quad(p) for a
// closed polygon of four points, or out.polygon(p, n) for one of n points,
// and returns false when any of them does.
template <class ForEach>
bool rasterizeCommands(Rasterizer& rasterizer, ForEach forEach) {
    struct Out {
        Rasterizer& rasterizer;
        bool add(double x, double y, unsigned cmd) {
            if (agg::is_vertex(cmd) && !coordinateUsable(x, y, maxEdgeCoordinate)) return false;
            rasterizer.add_vertex(x, y, cmd);
            return true;
        }
        bool quad(const agg::point_d* p) {
            for (int i = 0; i < 4; ++i) {
                if (!coordinateUsable(p[i].x, p[i].y, maxEdgeCoordinate)) return false;
            }
            rasterizer.add_quad(p);
            return true;
        }
        bool polygon(const agg::point_d* p, size_t n) {
            for (size_t i = 0; i < n; ++i) {
                if (!coordinateUsable(p[i].x, p[i].y, maxEdgeCoordinate)) return false;
            }
            if (n > 0) rasterizer.add_polygon(p, unsigned(n));
            return true;
        }
    } out{rasterizer};
    rasterizer.move_to_d(0.0, 0.0);
    return forEach(out);
}

}  // namespace lumo
