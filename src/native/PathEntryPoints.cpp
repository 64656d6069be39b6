// Entry points that draw polygons, polylines and general paths given as Java
// arrays. Every array length is checked against what the shape will read
// before anything is drawn; a null or short array draws nothing.
#include "context/ShapePipeline.h"
#include "geometry/PathShape.h"
#include "geometry/PolygonShape.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/GraphicsHandles.h"

using namespace lumo;

namespace {

// Draws the first n points of x and y as one polygon or polyline, provided
// both arrays hold them.
void drawPoints(JNIEnv* env, jint handle, jint n, jintArray xs, jintArray ys, bool closed,
                unsigned flags) {
    guarded([&] {
        Graphics* g = findGraphics(handle);
        if (g == nullptr) return;
        const int64_t xLength = arrayLength(env, xs);
        const int64_t yLength = arrayLength(env, ys);
        if (xLength < n || yLength < n) return;
        ArrayPins pins(env);
        const int32_t* x = pins.read<int32_t>(xs, n, xLength);
        const int32_t* y = pins.read<int32_t>(ys, n, yLength);
        if (!pins.ok() || x == nullptr || y == nullptr) return;
        PolygonShape shape(x, y, n, closed);
        g->draw(shape, flags);
    });
}

// The number of points of a path that is one polygon of straight lines (a
// move, lines, at most one close, nothing after it) with at most
// kMaxPolygonPoints points; 0 for any other path. Such a path reads two
// coordinates for each point, so the one scan also counts what it reads.
constexpr int kMaxPolygonPoints = 32;
int polygonPoints(const int8_t* codes, int32_t segments) {
    if (segments < 2 || codes[0] != SEGMENT_MOVE_TO) return 0;
    const int32_t lines = codes[segments - 1] == SEGMENT_CLOSE ? segments - 1 : segments;
    if (lines > kMaxPolygonPoints) return 0;
    for (int32_t i = 1; i < lines; ++i) {
        if (codes[i] != SEGMENT_LINE_TO) return 0;
    }
    return int(lines);
}

}  // namespace

// Two points make one open segment; more make a closed outline.
LUMO_ENTRY(void, drawPolygon)(JNIEnv* env, jclass, jint g, jint n, jintArray x, jintArray y) {
    if (n < 2) return;
    drawPoints(env, g, n, x, y, n > 2, DRAW_STROKE | DRAW_POLYGONAL);
}

LUMO_ENTRY(void, fillPolygon)(JNIEnv* env, jclass, jint g, jint n, jintArray x, jintArray y) {
    if (n < 3) return;
    drawPoints(env, g, n, x, y, true, DRAW_FILL | DRAW_POLYGONAL);
}

LUMO_ENTRY(void, drawPolyline)(JNIEnv* env, jclass, jint g, jint n, jintArray x, jintArray y) {
    if (n < 2) return;
    drawPoints(env, g, n, x, y, false, DRAW_STROKE | DRAW_POLYGONAL);
}

// Fills or strokes a path of `segments` codes. The fill rule it selects (even-
// odd for a fill with nonZero false, non-zero otherwise) stays in the state
// for later drawing. Only the fill, stroke, curve and polygonal flags and
// DRAW_INTERFACE_BIT are passed on.
LUMO_ENTRY(void, drawPath)
(JNIEnv* env, jclass, jint g, jint segments, jbyteArray types, jdoubleArray coords,
 jboolean nonZero, jint flags) {
    guarded([&] {
        Graphics* graphics = findGraphics(g);
        if (graphics == nullptr || segments <= 0) return;
        // Both lengths are read before the first pin.
        const int64_t typeCount = arrayLength(env, types);
        const int64_t coordCount = arrayLength(env, coords);
        if (typeCount < segments || coordCount < 0) return;
        ArrayPins pins(env);
        const int8_t* codes = pins.read<int8_t>(types, segments, typeCount);
        if (codes == nullptr) return;
        const int points = polygonPoints(codes, segments);
        const int64_t needed =
            points > 0 ? 2 * int64_t(points) : pathCoordinatesNeeded(codes, segments);
        if (needed > coordCount) return;
        // A path of closes alone reads no coordinate.
        const double* xy = needed > 0 ? pins.read<double>(coords, needed, coordCount) : nullptr;
        if (!pins.ok()) return;

        const unsigned kept = unsigned(flags) & (DRAW_FILL | DRAW_STROKE | DRAW_INTERFACE_BIT |
                                                 DRAW_CURVES | DRAW_POLYGONAL);
        graphics->state().fillRule =
            (kept & DRAW_STROKE) == 0 && nonZero == 0 ? agg::fill_even_odd : agg::fill_non_zero;
        PathShape shape(codes, segments, xy, needed);
        // A polygon not flagged as curved need not be read through the path: its fill tries
        // the rectangle coverage on the points straight (giving up at the first slanted side,
        // before the rasteriser reads the path), and its stroke, when its first side is
        // horizontal or vertical, is checked for a rectangle from them. Other strokes (a
        // triangle's) go the usual way.
        int polygon = kept & DRAW_CURVES ? 0 : points;
        if (polygon > 1 && !(kept & DRAW_FILL) && xy[0] != xy[2] && xy[1] != xy[3]) polygon = 0;
        if (polygon > 0) {
            graphics->drawPolygon(shape, xy, polygon, codes[segments - 1] == SEGMENT_CLOSE, kept);
        } else {
            graphics->draw(shape, kept);
        }
    });
}
