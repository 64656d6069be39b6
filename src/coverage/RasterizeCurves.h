#pragma once

#include "coverage/Rasterizer.h"
#include "geometry/CheckedSource.h"
#include "geometry/CurveCuller.h"
#include "geometry/CurveSubdivision.h"

#include <agg_basics.h>

#include <algorithm>

namespace lumo {

// How rasterizeCurves ended.
enum class CurveFill {
    ADDED,     // the whole shape is in the rasteriser
    UNUSABLE,  // a coordinate is not finite or too large: the shape is not drawn
    IRREGULAR  // a curve cut short or too big to flatten whole: not handled here
};

// Adds a device-space source with curves to the rasteriser in one loop: the
// lines the chain CheckedSource (maxEdgeCoordinate) -> CurveCuller ->
// CurveFlattener -> rasterizeSource would add, in the same order, without a
// call per vertex through each stage. A curve's lines go to the rasteriser
// at once. The route covers paths whose curves come whole (each curve
// command followed by the rest of its points) and span at most
// CurveCuller's small curve; on anything else it returns IRREGULAR, leaving
// a partial shape that the caller discards before taking the chain.
template <class Source>
CurveFill rasterizeCurves(Rasterizer& rasterizer, Source& source, CurveSubdivision& subdivision) {
    constexpr double smallCurve = CurveCuller<Source>::smallCurve;
    rasterizer.move_to_d(0.0, 0.0);
    source.rewind(0);
    // The last vertex, where a curve starts; (0, 0) before the first.
    double lastX = 0.0, lastY = 0.0;
    for (;;) {
        agg::point_d p[4];
        p[1] = agg::point_d(0.0, 0.0);
        const unsigned cmd = source.vertex(&p[1].x, &p[1].y);
        if (agg::is_stop(cmd)) return CurveFill::ADDED;
        if (!agg::is_vertex(cmd)) {
            rasterizer.add_vertex(0.0, 0.0, cmd);
            continue;
        }
        if (!coordinateUsable(p[1].x, p[1].y, maxEdgeCoordinate)) return CurveFill::UNUSABLE;
        if (!agg::is_curve(cmd)) {
            rasterizer.add_vertex(p[1].x, p[1].y, cmd);
            lastX = p[1].x;
            lastY = p[1].y;
            continue;
        }
        const int points = agg::is_curve4(cmd) ? 4 : 3;
        for (int i = 2; i < points; ++i) {
            p[i] = agg::point_d(0.0, 0.0);
            const unsigned more = source.vertex(&p[i].x, &p[i].y);
            if (more != cmd) {
                // An unusable point stops the chain's check, cutting the
                // curve short: not drawn either way.
                if (agg::is_vertex(more) && !coordinateUsable(p[i].x, p[i].y, maxEdgeCoordinate)) {
                    return CurveFill::UNUSABLE;
                }
                return CurveFill::IRREGULAR;
            }
            if (!coordinateUsable(p[i].x, p[i].y, maxEdgeCoordinate)) return CurveFill::UNUSABLE;
        }
        p[0] = agg::point_d(lastX, lastY);
        double x1 = p[0].x, x2 = x1, y1 = p[0].y, y2 = y1;
        for (int i = 1; i < points; ++i) {
            x1 = std::min(x1, p[i].x);
            x2 = std::max(x2, p[i].x);
            y1 = std::min(y1, p[i].y);
            y2 = std::max(y2, p[i].y);
        }
        if (!(std::max(x2 - x1, y2 - y1) <= smallCurve)) return CurveFill::IRREGULAR;
        const CurveSubdivision::Points& lines =
            points == 4
                ? subdivision.cubic(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y)
                : subdivision.quadratic(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
        rasterizer.lines_to_d(&lines[0], lines.size());
        lastX = p[points - 1].x;
        lastY = p[points - 1].y;
    }
}

}  // namespace lumo
