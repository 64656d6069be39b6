// Entry points of the per-pixel filters: filterAlpha, colorMatrix, applyLut
// and transColor, run in place on a region of a pixel buffer.
#include "core/DataBuffer.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/PixelRegionArgument.h"
#include "ops/PixelFilters.h"

namespace lumo {
namespace {

constexpr int64_t matrixLength = 20;
constexpr int64_t tableLength = 256;

// The pixel buffer behind a handle, or null when there is none or it has no
// pixel memory yet: the filters never create it.
DataBuffer* bufferWithPixels(jint handle) {
    DataBuffer* buffer = findDataBuffer(handle);
    return buffer != nullptr && buffer->hasPixels() ? buffer : nullptr;
}

// A channel table is usable when it is absent or holds 256 entries.
bool usableTable(JNIEnv* env, jbyteArray table) {
    return table == nullptr || holds(env, table, tableLength);
}

}  // namespace
}  // namespace lumo

using namespace lumo;

LUMO_ENTRY(void, filterAlpha)(JNIEnv* env, jclass, jint handle, jintArray region) {
    guarded([&] {
        DataBuffer* buffer = bufferWithPixels(handle);
        PixelRegion r;
        if (buffer == nullptr || !readPixelRegion(env, region, r)) return;
        filterAlpha(buffer->pixels(), pixelCount(*buffer), r);
    });
}

LUMO_ENTRY(void, colorMatrix)
(JNIEnv* env, jclass, jint handle, jintArray region, jfloatArray matrix, jboolean premultiplied) {
    guarded([&] {
        DataBuffer* buffer = bufferWithPixels(handle);
        PixelRegion r;
        if (buffer == nullptr || !holds(env, matrix, matrixLength) ||
            !readPixelRegion(env, region, r)) {
            return;
        }
        ArrayPins pins(env);
        const float* values = pins.read<float>(matrix, matrixLength, matrixLength);
        if (values == nullptr) return;
        const ColourMatrix m = ColourMatrix::fromFloats(values);
        colorMatrix(buffer->pixels(), pixelCount(*buffer), r, m, premultiplied != 0);
    });
}

LUMO_ENTRY(void, applyLut)
(JNIEnv* env, jclass, jint handle, jintArray region, jboolean toSrgb, jboolean premultiplied) {
    guarded([&] {
        DataBuffer* buffer = bufferWithPixels(handle);
        PixelRegion r;
        if (buffer == nullptr || !readPixelRegion(env, region, r)) return;
        applyLut(buffer->pixels(), pixelCount(*buffer), r, toSrgb != 0, premultiplied != 0);
    });
}

LUMO_ENTRY(void, transColor)
(JNIEnv* env, jclass, jint handle, jintArray region, jbyteArray red, jbyteArray green,
 jbyteArray blue, jbyteArray alpha, jboolean premultiplied) {
    guarded([&] {
        DataBuffer* buffer = bufferWithPixels(handle);
        if (buffer == nullptr || !usableTable(env, red) || !usableTable(env, green) ||
            !usableTable(env, blue) || !usableTable(env, alpha)) {
            return;
        }
        PixelRegion r;
        if (!readPixelRegion(env, region, r)) return;
        ArrayPins pins(env);
        ChannelTables tables;
        tables.red = pins.read<uint8_t>(red, tableLength, tableLength);
        tables.green = pins.read<uint8_t>(green, tableLength, tableLength);
        tables.blue = pins.read<uint8_t>(blue, tableLength, tableLength);
        tables.alpha = pins.read<uint8_t>(alpha, tableLength, tableLength);
        if (!pins.ok()) return;
        transColor(buffer->pixels(), pixelCount(*buffer), r, tables, premultiplied != 0);
    });
}
