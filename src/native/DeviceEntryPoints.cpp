// Entry points that copy pixels to a device context, and the timer.
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "device/Platform.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"

#include <limits>

namespace lumo {
namespace {

// The device takes the source y as the rectangle's lower-left corner counted
// from the bitmap's bottom row; Java counts it from the top. A value outside
// the int range cannot overlap the bitmap, so the blit is skipped.
bool bottomBasedY(int64_t bitmapHeight, jint height, jint topY, int& result) {
    const int64_t y = bitmapHeight - height - topY;
    if (y < std::numeric_limits<int>::min() || y > std::numeric_limits<int>::max()) return false;
    result = int(y);
    return true;
}

// Blits a top-down bitmap held in a Java array of `elementSize`-byte elements.
// The array must hold every row the bitmap header describes (the last row
// unpadded), or nothing is copied.
void blitArray(JNIEnv* env, jint hdc, jint xDest, jint yDest, jint width, jint height, jint xSrc,
               jint ySrc, jarray bits, jint bitmapWidth, jint bitmapHeight, int bitCount,
               int elementSize) {
    if (bitmapWidth <= 0 || bitmapHeight <= 0) return;
    const int64_t stride = dibStride(bitmapWidth, bitCount);
    const int64_t lastRow = int64_t(bitmapWidth) * (bitCount / 8);
    const int64_t available = arrayLength(env, bits) * elementSize;
    if (available < lastRow || (available - lastRow) / stride < bitmapHeight - 1) return;
    int sourceY = 0;
    if (!bottomBasedY(bitmapHeight, height, ySrc, sourceY)) return;

    BitmapInfo info;
    info.biWidth = bitmapWidth;
    info.biHeight = -bitmapHeight;
    info.biBitCount = uint16_t(bitCount);
    ArrayPins pins(env);
    const void* pixels = pins.pin<void>(bits);
    if (!pins.ok()) return;
    platform::setDIBitsToDevice(hdc, xDest, yDest, width, height, xSrc, sourceY, 0, bitmapHeight,
                                pixels, info);
}

}  // namespace
}  // namespace lumo

using namespace lumo;

LUMO_ENTRY(void, SetDIBitsToDevice)
(JNIEnv*, jclass, jint hdc, jint imageHandle, jint xDest, jint yDest, jint width, jint height,
 jint xSrc, jint ySrc) {
    guarded([&] {
        if (hdc == 0) return;
        auto* image =
            HandleRegistry::instance().find<NativeImage>(imageHandle, HandleKind::NativeImage);
        // A target whose pixels were never created has nothing to show, and
        // the blit must not create them.
        if (image == nullptr || !image->hasPixels()) return;
        const Ref<DataBuffer> buffer = image->getDataBuffer();
        const void* pixels = buffer->rowBuffer()->buf();
        int sourceY = 0;
        if (pixels == nullptr || !bottomBasedY(buffer->height(), height, ySrc, sourceY)) return;

        BitmapInfo info;
        info.biWidth = buffer->width();
        info.biHeight = buffer->height();
        info.biBitCount = 32;
        platform::setDIBitsToDevice(hdc, xDest, yDest, width, height, xSrc, sourceY, 0,
                                    buffer->height(), pixels, info);
    });
}

LUMO_ENTRY(void, SetDIBitsToDeviceInt)
(JNIEnv* env, jclass, jint hdc, jint xDest, jint yDest, jint width, jint height, jint xSrc,
 jint ySrc, jintArray bits, jint bitmapWidth, jint bitmapHeight) {
    guarded([&] {
        blitArray(env, hdc, xDest, yDest, width, height, xSrc, ySrc, bits, bitmapWidth,
                  bitmapHeight, 32, sizeof(jint));
    });
}

LUMO_ENTRY(void, SetDIBitsToDeviceByte)
(JNIEnv* env, jclass, jint hdc, jint xDest, jint yDest, jint width, jint height, jint xSrc,
 jint ySrc, jbyteArray bits, jint bitmapWidth, jint bitmapHeight) {
    guarded([&] {
        blitArray(env, hdc, xDest, yDest, width, height, xSrc, ySrc, bits, bitmapWidth,
                  bitmapHeight, 24, sizeof(jbyte));
    });
}

LUMO_ENTRY(void, SetDIBitsToDeviceShort)
(JNIEnv* env, jclass, jint hdc, jint xDest, jint yDest, jint width, jint height, jint xSrc,
 jint ySrc, jshortArray bits, jint bitmapWidth, jint bitmapHeight) {
    guarded([&] {
        blitArray(env, hdc, xDest, yDest, width, height, xSrc, ySrc, bits, bitmapWidth,
                  bitmapHeight, 16, sizeof(jshort));
    });
}

LUMO_ENTRY(jlong, queryPerformanceCounter)(JNIEnv*, jclass) {
    return platform::performanceCounter();
}

LUMO_ENTRY(jlong, queryPerformanceFrequency)(JNIEnv*, jclass) {
    return platform::performanceFrequency();
}
