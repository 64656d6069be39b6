#pragma once

#include <agg_basics.h>

#include <cmath>

namespace lumo {

// Coordinates beyond these magnitudes are treated like NaN: the shape is not
// drawn. Straight edges stay exact up to maxEdgeCoordinate (the rasteriser's
// double-precision clipper multiplies two coordinate differences, which must
// not overflow). Curves are flattened into a number of segments that grows
// with the square root of their size: fills and solid strokes cut huge curves
// down to the clip box first (CurveCuller); dashed strokes, whose dashes
// depend on the whole length, stop at maxCurveCoordinate to keep every draw
// bounded in time.
constexpr double maxEdgeCoordinate = 1e150;
constexpr double maxCurveCoordinate = 1e12;

inline bool coordinateUsable(double x, double y, double limit) {
    // NaN fails both comparisons.
    return std::fabs(x) <= limit && std::fabs(y) <= limit;
}

// Passes a source through until a vertex has a coordinate that is not finite
// or exceeds the limit; from then on it reports the end of the path and
// remembers the fault, so converters further down (curve subdivision, dash
// and stroke generators) never see such values. Commands without a point
// (closes, the end) come with the point (0, 0), as from AGG's own path
// storage: AGG's curve converter takes the points after a curve command and
// remembers the point of every command without looking at the commands, so
// it must never be handed an unusable point or one left unset.
template <class Source>
class CheckedSource {
public:
    CheckedSource(Source& source, double limit) : source_(&source), limit_(limit) {}

    void rewind(unsigned pathId) {
        faulty_ = false;
        source_->rewind(pathId);
    }

    unsigned vertex(double* x, double* y) {
        if (!faulty_) {
            const unsigned cmd = source_->vertex(x, y);
            if (!agg::is_vertex(cmd)) {
                *x = *y = 0.0;
                return cmd;
            }
            if (coordinateUsable(*x, *y, limit_)) return cmd;
            faulty_ = true;
        }
        *x = *y = 0.0;
        return agg::path_cmd_stop;
    }

    bool faulty() const { return faulty_; }

private:
    Source* source_;
    double limit_;
    bool faulty_ = false;
};

}  // namespace lumo
