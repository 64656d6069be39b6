#pragma once

#include "geometry/VertexSource.h"

#include <agg_basics.h>

#include <cstdint>

namespace lumo {

// Segment codes of a path as Java encodes it: one code per segment, followed
// in the coordinate array by that segment's points as x, y pairs.
enum PathSegment : int8_t {
    SEGMENT_MOVE_TO = 0,   // 1 point
    SEGMENT_LINE_TO = 1,   // 1 point
    SEGMENT_QUAD_TO = 2,   // control point and end point
    SEGMENT_CUBIC_TO = 3,  // two control points and end point
    SEGMENT_CLOSE = 4,     // no point
};

// Number of doubles a segment reads, or -1 for a code that ends the path (any
// value outside 0..4).
inline int segmentCoordinates(int8_t code) {
    static const int8_t counts[] = {2, 2, 4, 6, 0};
    return code >= 0 && code <= SEGMENT_CLOSE ? counts[code] : -1;
}

// Number of doubles a path of `count` codes reads, up to its first end-of-path
// code. The codes array must hold `count` entries; 0 for count <= 0.
int64_t pathCoordinatesNeeded(const int8_t* codes, int32_t count);

// A path read in place from the segment codes and coordinates Java passes.
// Quadratic and cubic segments give their points as curve3 and curve4
// vertices; a close gives end_poly|close without a point; an unknown code ends
// the path with end_poly|close and nothing after it is read. The coordinate
// array must hold pathCoordinatesNeeded(codes, count) values. Should the codes
// change behind its back, the path still never reads past `coordinateCount`
// values (it stops instead) and every close moves on to the next segment.
class PathShape final : public VertexSource {
public:
    PathShape(const int8_t* codes, int32_t count, const double* coords, int64_t coordinateCount)
        : coordinate(0),
          remaining(0),
          curveCache(0),
          segment(0),
          count(count),
          coordinateCount(coordinateCount),
          codes(codes),
          coords(coords) {}

    void rewind(unsigned) override {
        coordinate = 0;
        remaining = 0;
        segment = 0;
    }

    unsigned vertex(double* x, double* y) override {
        if (segment >= count) return agg::path_cmd_stop;
        const int8_t code = codes[segment];
        const int needed = segmentCoordinates(code);
        if (needed < 0) {
            segment = count;
            return endOfPolygon;
        }
        if (remaining == 0 || code == SEGMENT_CLOSE) remaining = needed;
        if (code != SEGMENT_CLOSE) {
            if (coordinate + 2 > coordinateCount) {
                segment = count;
                return agg::path_cmd_stop;
            }
            *x = coords[coordinate];
            *y = coords[coordinate + 1];
            coordinate += 2;
            remaining -= 2;
        }
        if (remaining == 0) ++segment;
        return command(code);
    }

    // Scans all the codes once; the answer survives rewind.
    bool has_curves() const override;

    int64_t coordinate;           // index of the next double to read
    int remaining;                // doubles still to read in the current segment
    mutable unsigned curveCache;  // 0 not scanned yet, else DRAW_CURVES or DRAW_POLYGONAL
    int32_t segment;
    int32_t count;
    int64_t coordinateCount;
    const int8_t* codes;
    const double* coords;

private:
    static constexpr unsigned endOfPolygon = agg::path_cmd_end_poly | agg::path_flags_close;

    static unsigned command(int8_t code) {
        switch (code) {
            case SEGMENT_MOVE_TO:
                return agg::path_cmd_move_to;
            case SEGMENT_LINE_TO:
                return agg::path_cmd_line_to;
            case SEGMENT_QUAD_TO:
                return agg::path_cmd_curve3;
            case SEGMENT_CUBIC_TO:
                return agg::path_cmd_curve4;
            default:
                return endOfPolygon;
        }
    }
};

}  // namespace lumo
