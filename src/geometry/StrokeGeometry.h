#pragma once

#include "geometry/StrokeStyle.h"

#include <agg_basics.h>

#include <algorithm>
#include <cmath>

namespace lumo {

// The most dashes one draw cuts an outline into. A longer run (tiny dashes
// along a huge outline) would take unbounded time, so such an outline is
// stroked solid instead.
constexpr double maxDashesPerDraw = 1e6;

// Device-space offset of stroked outlines chosen by the stroke offset hint:
// 0 none, 1 half a pixel right, 2 half a pixel down, 3 both.
inline agg::point_d strokeOffset(unsigned hint) {
    return agg::point_d((hint & 1) ? 0.5 : 0.0, (hint & 2) ? 0.5 : 0.0);
}

// The farthest a stroke's outline reaches from its centre line (miters up to
// the limit, the corners of square caps), in the units of its width.
inline double strokeReach(double width, double miterLimit) {
    return std::fabs(width) * 0.5 * std::max(miterLimit, 1.5);
}

// Round joins and caps are approximated with a number of points that grows
// with the device half-width; beyond a million pixels the approximation is
// made coarser so that a huge width cannot make a draw take unbounded time
// (or, beyond double precision, divide by zero).
inline double strokeApproximationScale(double width, double scale) {
    constexpr double maxHalfWidth = 1e6;
    const double halfWidth = std::fabs(width) * 0.5;
    return halfWidth * scale > maxHalfWidth ? maxHalfWidth / halfWidth : scale;
}

// The angle between neighbouring points of a round join or cap, as AGG's
// stroker approximates them for this half-width and approximation scale.
inline double roundStep(double halfWidth, double approximationScale) {
    return 2.0 * std::acos(halfWidth / (halfWidth + 0.125 / approximationScale));
}

// The most points the round joins and caps of one draw may make. Each vertex
// of the outline's centre line can take a join of up to half a circle, so a
// long path stroked very wide would otherwise take unbounded time.
constexpr double maxRoundPointsPerDraw = 2e7;

// Round joins and caps making fewer points than this per half circle are
// never coarsened, and their centre line is not counted.
constexpr double kRoundPointsCounted = 64.0;

// The number of vertices (closes included) of a source.
template <class Source>
double vertexCount(Source& source) {
    double count = 0.0, x, y;
    source.rewind(0);
    while (!agg::is_stop(source.vertex(&x, &y))) count += 1.0;
    return count;
}

// The approximation scale of the stroke's round joins and caps over this
// centre line: the usual one, unless those points would exceed the draw's
// budget; then the one that keeps them within it.
template <class Source>
double roundApproximationScale(Source& source, const StrokeStyle& style, double scale) {
    const double approximation = strokeApproximationScale(style.width(), scale);
    if (style.join() != agg::round_join && style.cap() != agg::round_cap) return approximation;
    const double halfWidth = std::fabs(style.width()) * 0.5;
    const double step = roundStep(halfWidth, approximation);
    const double perVertex = step > 0.0 ? 3.141592653589793 / step + 2.0 : maxRoundPointsPerDraw;
    if (!(perVertex > kRoundPointsCounted)) return approximation;
    const double vertices = vertexCount(source);
    if (vertices * perVertex <= maxRoundPointsPerDraw) return approximation;
    // The coarser step that fits, at most a quarter circle; the scale that
    // gives it inverts roundStep.
    const double steps = std::max(maxRoundPointsPerDraw / vertices - 2.0, 2.0);
    const double coarse = 3.141592653589793 / steps;
    return 0.125 / (halfWidth * (1.0 / std::cos(coarse / 2.0) - 1.0));
}

template <class Stroke>
void configureStroke(Stroke& stroke, const StrokeStyle& style, double approximationScale) {
    stroke.width(style.width());
    stroke.line_cap(style.cap());
    stroke.line_join(style.join());
    stroke.miter_limit(double(style.miterLimit()));
    stroke.approximation_scale(approximationScale);
}

template <class Dash>
void configureDash(Dash& dash, const StrokeStyle& style) {
    const float* lengths = style.dashes();
    for (uint32_t i = 0; i < style.usedDashPairs(); ++i) {
        dash.add_dash(lengths[2 * i], lengths[2 * i + 1]);
    }
    dash.dash_start(style.dashStart());
}

// Walks the polyline through every vertex of the source, closing segments
// included: `segment(x0, y0, x1, y1, cmd)` for each, `cmd` being the command
// that ends it (a close for a closing segment). Stops, returning false, when
// `segment` does.
template <class Source, class Segment>
bool forEachSegment(Source& source, Segment segment) {
    double startX = 0.0, startY = 0.0, lastX = 0.0, lastY = 0.0;
    double x = 0.0, y = 0.0;
    source.rewind(0);
    unsigned cmd;
    while (!agg::is_stop(cmd = source.vertex(&x, &y))) {
        if (agg::is_move_to(cmd)) {
            startX = lastX = x;
            startY = lastY = y;
        } else if (agg::is_vertex(cmd)) {
            if (!segment(lastX, lastY, x, y, cmd)) return false;
            lastX = x;
            lastY = y;
        } else if (agg::is_close(cmd)) {
            if (!segment(lastX, lastY, startX, startY, cmd)) return false;
            lastX = startX;
            lastY = startY;
        }
    }
    return true;
}

// The sum of `distance(dx, dy)` over the segments of the polyline through
// every vertex of the source, closing segments included.
template <class Source, class Distance>
double polylineSum(Source& source, Distance distance) {
    double length = 0.0;
    forEachSegment(source, [&](double x0, double y0, double x1, double y1, unsigned) {
        length += distance(x1 - x0, y1 - y0);
        return true;
    });
    return length;
}

// Length of the polyline through every vertex of the source, closing
// segments included. For curves this is the control polygon, which is never
// shorter than the curve.
template <class Source>
double polylineLength(Source& source) {
    return polylineSum(source, [](double dx, double dy) { return std::hypot(dx, dy); });
}

// The same with every segment measured as |dx| + |dy|: never shorter, and
// cheaper to compute.
template <class Source>
double polylineTaxicabLength(Source& source) {
    return polylineSum(source, [](double dx, double dy) { return std::fabs(dx) + std::fabs(dy); });
}

// Whether the source's vertices make only horizontal and vertical lines
// (closing lines included) and no curve. A stroke of anything else has a
// slanted edge in its outline, short of degenerate cases (points that
// coincide, slanted pieces that fall in a dash gap); stops at the first
// slanted line.
template <class Source>
bool rectilinearPolyline(Source& source) {
    return forEachSegment(source, [](double x0, double y0, double x1, double y1, unsigned cmd) {
        return !agg::is_curve(cmd) && (x1 == x0 || y1 == y0);
    });
}

// The most outline points the dashes of one draw may make: round caps of
// wide strokes take thousands of points each.
constexpr double maxDashPointsPerDraw = 2e7;

// About how many outline points the stroker makes for one dash: its two
// caps (round ones approximated as AGG does at this approximation scale)
// and its sides.
inline double pointsPerDash(const StrokeStyle& style, double approximationScale) {
    if (style.cap() != agg::round_cap) return 6.0;
    const double step = roundStep(std::fabs(style.width()) * 0.5, approximationScale);
    return step > 0.0 ? 2.0 * (3.141592653589793 / step + 1.0) + 4.0 : maxDashPointsPerDraw;
}

// Most cells all dashes of one draw may add to the rasteriser.
constexpr double maxDashCellsPerDraw = 1e8;

// About how many cells the rasteriser makes for one dash: its outline's edges
// run across the stroke's width, but never farther than the clip box reaches.
inline double cellsPerDash(double deviceWidth, const agg::rect_d& clipBox) {
    const double across = std::fabs(deviceWidth) + 2.0;
    const double rows = std::min(across, clipBox.y2 - clipBox.y1 + 2.0);
    const double columns = std::min(across, clipBox.x2 - clipBox.x1 + 2.0);
    return 2.0 * (rows + columns) + 8.0;
}

// Relative margin on a length bound, beyond the rounding of both sums for
// any number of segments a draw could ever read (the rounding of n positive
// terms stays below n * 2^-53 of the sum).
constexpr double kTaxicabMargin = 1.0 + 1e-4;

// Whether cutting the source into dashes stays within the budgets: dashes,
// outline points and rasteriser cells. The outline is stroked solid
// otherwise. `scale` takes the stroke's width to device pixels.
template <class Source>
bool dashesWithinBudget(Source& source, const StrokeStyle& style, double approximationScale,
                        double scale, const agg::rect_d& clipBox) {
    const auto within = [&](double length) {
        const double dashes = length / style.patternLength() * style.usedDashPairs();
        return dashes <= maxDashesPerDraw &&
               dashes * pointsPerDash(style, approximationScale) <= maxDashPointsPerDraw &&
               dashes * cellsPerDash(style.width() * scale, clipBox) <= maxDashCellsPerDraw;
    };
    // Every budget grows with the length, and the taxicab length (with a
    // margin far beyond the rounding of either sum) is never shorter than the
    // Euclidean one: when it fits, so does the outline, without a hypot per
    // segment. Otherwise the exact length decides.
    if (within(polylineTaxicabLength(source) * kTaxicabMargin)) return true;
    return within(polylineLength(source));
}

}  // namespace lumo
