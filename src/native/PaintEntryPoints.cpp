// Entry points that give a drawing object a paint other than a solid colour.
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/GraphicsHandles.h"
#include "paint/GradientPaint.h"
#include "paint/LinePatternPaint.h"
#include "paint/TexturePaint.h"

#include <agg_trans_affine.h>

using namespace lumo;

// points: x1, y1, x2, y2 and the focus fx, fy; positions and colours: the
// stops (0xAARRGGBB colours, at least as many as positions); matrix: six
// values placing the gradient in user space, or null. Anything unusable
// leaves the paint as it was.
LUMO_ENTRY(void, setGradient)
(JNIEnv* env, jclass, jint handle, jint kind, jint cycle, jdoubleArray points, jintArray positions,
 jintArray colours, jdoubleArray matrix) {
    guarded([&] {
        Graphics* g = findGraphics(handle);
        if (g == nullptr) return;
        const int64_t count = arrayLength(env, positions);
        if (count <= 0) return;
        const int64_t colourCount = arrayLength(env, colours);
        const int64_t pointCount = arrayLength(env, points);
        const int64_t matrixLength = arrayLength(env, matrix);
        if (colourCount < count || pointCount < 6) return;
        if (matrix != nullptr && matrixLength < 6) return;

        ArrayPins pins(env);
        const int32_t* stops = pins.read<int32_t>(positions, count, count);
        const int32_t* argb = pins.read<int32_t>(colours, count, colourCount);
        const jdouble* ends = pins.read<jdouble>(points, 6, pointCount);
        const jdouble* m = pins.read<jdouble>(matrix, 6, matrixLength);
        if (!pins.ok()) return;

        agg::trans_affine user;
        if (m != nullptr) user = agg::trans_affine(m[0], m[1], m[2], m[3], m[4], m[5]);
        replaceIfBuilt(
            g->state().paint,
            GradientPaint::create(gradientKindFromCode(kind), gradientCycleFromCode(cycle), ends,
                                  user, stops, argb, static_cast<uint32_t>(count),
                                  asGradient(g->state().paint.get())));
    });
}

// The pixels of another render target as the paint: matrix places the image
// in user space (null for the identity, otherwise six values); wrap holds the
// horizontal wrap mode in bits 8-11 and the vertical one in bits 0-3.
LUMO_ENTRY(void, setTexture)
(JNIEnv* env, jclass, jint handle, jint source, jdoubleArray matrix, jint wrap) {
    guarded([&] {
        Graphics* g = findGraphics(handle);
        NativeImage* image = findNativeImage(source);
        if (g == nullptr || image == nullptr) return;
        const int64_t matrixLength = arrayLength(env, matrix);
        if (matrix != nullptr && matrixLength < 6) return;
        ArrayPins pins(env);
        const jdouble* m = pins.read<jdouble>(matrix, 6, matrixLength);
        if (!pins.ok()) return;
        agg::trans_affine transform;
        if (m != nullptr) transform = agg::trans_affine(m[0], m[1], m[2], m[3], m[4], m[5]);
        const uint32_t bits = static_cast<uint32_t>(wrap);
        replaceIfBuilt(g->state().paint,
                       TexturePaint::create(*image, transform, wrapModeFromCode(bits >> 8),
                                            wrapModeFromCode(bits)));
    });
}

// The pixels of another render target laid along outlines; the three values
// are kept with the paint.
LUMO_ENTRY(void, setLinePattern)
(JNIEnv*, jclass, jint handle, jint source, jdouble first, jdouble second, jdouble third) {
    guarded([&] {
        Graphics* g = findGraphics(handle);
        NativeImage* image = findNativeImage(source);
        if (g == nullptr || image == nullptr) return;
        replaceIfBuilt(g->state().paint, LinePatternPaint::create(*image, first, second, third));
    });
}
