// Entry point of the Gaussian blur, run in place on a region of a pixel
// buffer.
#include "core/DataBuffer.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/PixelRegionArgument.h"
#include "ops/GaussianBlur.h"

using namespace lumo;

LUMO_ENTRY(void, gaussianBlur)
(JNIEnv* env, jclass, jint handle, jintArray region, jdouble deviationX, jdouble deviationY,
 jboolean highQuality) {
    guarded([&] {
        DataBuffer* buffer = findDataBuffer(handle);
        if (buffer == nullptr) return;
        PixelRegion r;
        if (!readPixelRegion(env, region, r)) return;
        // The blur never creates pixel memory.
        if (!buffer->hasPixels()) return;
        gaussianBlur(buffer->pixels(), pixelCount(*buffer), r, deviationX, deviationY,
                     highQuality != JNI_FALSE);
    });
}
