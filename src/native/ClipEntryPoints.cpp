// The clip entry point: a rectangle, a path, or back to the whole target.
#include "geometry/PathShape.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/GraphicsHandles.h"

using namespace lumo;

// count <= 0 resets the clip; count 4 without segment codes is the rectangle
// (x1, y1, x2, y2); anything else is a path. Arrays too short for what they
// must hold leave the clip as it was.
LUMO_ENTRY(void, setClip)
(JNIEnv* env, jclass, jint g, jint count, jbyteArray types, jdoubleArray coords, jboolean nonZero) {
    guarded([&] {
        Graphics* graphics = findGraphics(g);
        if (graphics == nullptr) return;
        if (count <= 0) return graphics->resetClip();
        const int64_t typeCount = arrayLength(env, types);
        const int64_t coordCount = arrayLength(env, coords);
        ArrayPins pins(env);
        if (count == 4 && types == nullptr) {
            if (coordCount < 4) return;
            const jdouble* c = pins.read<jdouble>(coords, 4, coordCount);
            if (c != nullptr) graphics->setRectangleClip(c[0], c[1], c[2], c[3]);
            return;
        }
        if (typeCount < count || coordCount < 0) return;
        const int8_t* codes = pins.read<int8_t>(types, count, typeCount);
        if (codes == nullptr) return;
        const int64_t needed = pathCoordinatesNeeded(codes, count);
        if (needed > coordCount) return;
        const double* points = needed > 0 ? pins.read<double>(coords, needed, coordCount) : nullptr;
        if (!pins.ok()) return;
        PathShape path(codes, count, points, needed);
        graphics->setPathClip(path, nonZero != 0 ? agg::fill_non_zero : agg::fill_even_odd);
    });
}
