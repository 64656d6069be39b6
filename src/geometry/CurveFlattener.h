#pragma once

#include "geometry/CurveSubdivision.h"

#include <agg_basics.h>

#include <cstddef>

namespace lumo {

// A path with its quadratic and cubic segments replaced by the lines that
// AGG's conv_curve makes of them with its default settings (subdivision,
// no angle tolerance, no cusp limit): the same vertices, bit for bit, in the
// same order (the one difference: see vertex()). A curve's points are subdivided into one
// contiguous buffer (CurveSubdivision), reused from curve to curve, and read out from there.
template <class Source>
class CurveFlattener {
public:
    explicit CurveFlattener(Source& source) : source_(&source) {}

    // Finer flattening for a larger scale: a curve is split until its
    // control points lie within 0.5 / scale of the chord.
    void approximation_scale(double scale) { subdivision_.approximation_scale(scale); }

    void rewind(unsigned pathId) {
        source_->rewind(pathId);
        lastX_ = lastY_ = 0.0;
        subdivision_.clear();
        next_ = 0;
    }

    unsigned vertex(double* x, double* y) {
        const CurveSubdivision::Points& points_ = subdivision_.points();
        if (next_ < points_.size()) {
            *x = lastX_ = points_[next_].x;
            *y = lastY_ = points_[next_].y;
            ++next_;
            return agg::path_cmd_line_to;
        }
        unsigned cmd = source_->vertex(x, y);
        if (cmd == agg::path_cmd_curve3) {
            double endX = 0.0, endY = 0.0;
            source_->vertex(&endX, &endY);
            subdivision_.quadratic(lastX_, lastY_, *x, *y, endX, endY);
            firstPoint(x, y);
            cmd = agg::path_cmd_line_to;
        } else if (cmd == agg::path_cmd_curve4) {
            double control2X = 0.0, control2Y = 0.0, endX = 0.0, endY = 0.0;
            source_->vertex(&control2X, &control2Y);
            source_->vertex(&endX, &endY);
            subdivision_.cubic(lastX_, lastY_, *x, *y, control2X, control2Y, endX, endY);
            firstPoint(x, y);
            cmd = agg::path_cmd_line_to;
        }
        // A command without a vertex (end of polygon) leaves *x and *y as the
        // caller had them; the next curve starts at the last vertex instead
        // (AGG's conv_curve would start it at the caller's stale values).
        if (agg::is_vertex(cmd)) {
            lastX_ = *x;
            lastY_ = *y;
        }
        return cmd;
    }

    // Hands the lines still waiting from the last curve to line(x, y), in the order vertex()
    // would hand them out as line-tos, at once rather than call by call.
    template <class Line>
    void drainLines(Line&& line) {
        const CurveSubdivision::Points& points_ = subdivision_.points();
        const size_t count = points_.size();
        if (next_ >= count) return;
        for (size_t i = next_; i < count; ++i) line(points_[i].x, points_[i].y);
        lastX_ = points_[count - 1].x;
        lastY_ = points_[count - 1].y;
        next_ = count;
    }

private:
    // Hands out the first point of the curve just subdivided.
    void firstPoint(double* x, double* y) {
        *x = subdivision_.points()[0].x;
        *y = subdivision_.points()[0].y;
        next_ = 1;
    }

    Source* source_;
    CurveSubdivision subdivision_;
    double lastX_ = 0.0, lastY_ = 0.0;
    // The next of the last curve's points to hand out.
    size_t next_ = 0;
};

}  // namespace lumo
