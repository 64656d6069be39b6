#pragma once

#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "native/ArrayPins.h"
#include "ops/PixelRegion.h"

#include <jni.h>

#include <cstdint>

namespace lumo {

// Ints of a region array: x, y, width, height, bufferWidth, bufferHeight.
constexpr int64_t pixelRegionLength = 6;

// Copies a region array into `region`. False when the array is null or
// shorter than six ints. It makes JNI calls, so no other array may be pinned
// at the time.
inline bool readPixelRegion(JNIEnv* env, jintArray array, PixelRegion& region) {
    const int64_t length = arrayLength(env, array);
    if (length < pixelRegionLength) return false;
    int32_t values[pixelRegionLength];
    copyRegion(env, array, jsize(pixelRegionLength), values);
    region = PixelRegion::fromInts(values);
    return true;
}

// The pixel buffer behind a handle, or null for 0, stale or foreign handles.
inline DataBuffer* findDataBuffer(jint handle) {
    return HandleRegistry::instance().find<DataBuffer>(handle, HandleKind::DataBuffer);
}

// Words of a pixel buffer's memory, whether or not it exists yet.
inline int64_t pixelCount(const DataBuffer& buffer) {
    return int64_t(buffer.width()) * buffer.height();
}

// The buffer's first pixel in memory, creating the memory (filled with the
// clear colour) when needed; null when memory runs out.
inline uint32_t* pixelsCreatingMemory(DataBuffer& buffer) {
    buffer.rowBuffer();
    return buffer.pixels();
}

}  // namespace lumo
