#include "geometry/PathShape.h"

namespace lumo {

namespace {

// Values of the curve cache, matching the draw flags they select.
constexpr unsigned pathHasCurves = 0x20;
constexpr unsigned pathPolygonal = 0x40;

}  // namespace

int64_t pathCoordinatesNeeded(const int8_t* codes, int32_t count) {
    int64_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int needed = segmentCoordinates(codes[i]);
        if (needed < 0) break;
        total += needed;
    }
    return total;
}

bool PathShape::has_curves() const {
    if (curveCache == 0) {
        curveCache = pathPolygonal;
        for (int32_t i = 0; i < count; ++i) {
            const int8_t code = codes[i];
            if (code == SEGMENT_QUAD_TO || code == SEGMENT_CUBIC_TO) {
                curveCache = pathHasCurves;
                break;
            }
        }
    }
    return curveCache == pathHasCurves;
}

}  // namespace lumo
