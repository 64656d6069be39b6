// Entry points that draw images through a drawing object: the pixels of a
// render target, SWT image data and AWT rasters.
#include "image/ImageDescriptor.h"
#include "image/RenderTargetImage.h"
#include "image/RowReader.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/GraphicsHandles.h"

using namespace lumo;

namespace {

// Entries of the image info array: palette kind, width, height, depth, bytes
// per line, alpha (SWT) or premultiplied flag (AWT), transparent pixel (SWT)
// or image kind (AWT).
constexpr int64_t infoLength = 7;

// An optional transform needs six values.
bool usableMatrix(JNIEnv* env, jdoubleArray matrix) {
    return matrix == nullptr || holds(env, matrix, 6);
}

void placeImage(ImageDescriptor& image, const jdouble* m) {
    if (m != nullptr) image.transform = agg::trans_affine(m[0], m[1], m[2], m[3], m[4], m[5]);
}

void describeFromInfo(ImageDescriptor& image, const int32_t* info) {
    image.isDirect = info[0] == 1;
    image.width = info[1];
    image.height = info[2];
    image.depth = info[3];
    image.bytesPerLine = info[4];
    image.alpha = info[5];
}

// AWT raster data as bytes, whatever the element type of the Java array.
void drawAwtRaster(JNIEnv* env, jint handle, jintArray info, jdoubleArray matrix, jarray data,
                   int64_t elementSize) {
    Graphics* g = findGraphics(handle);
    if (g == nullptr || !holds(env, info, infoLength) || !usableMatrix(env, matrix)) return;
    const int64_t dataLength = arrayLength(env, data);
    if (dataLength < 0) return;

    ArrayPins pins(env);
    const int32_t* values = pins.pin<int32_t>(info);
    const jdouble* m = pins.pin<jdouble>(matrix);
    const uint8_t* pixels = pins.pin<uint8_t>(data);
    if (!pins.ok()) return;

    ImageDescriptor image;
    describeFromInfo(image, values);
    image.kind = values[6];
    image.data = pixels;
    placeImage(image, m);
    // Render-target pixels only come from render targets.
    if (image.kind == IMAGE_SWT || image.kind == IMAGE_RENDER_TARGET) return;
    if (!imageFitsMemory(image, dataLength * elementSize, -1)) return;
    g->drawImage(image);
}

}  // namespace

LUMO_ENTRY(void, drawImage)(JNIEnv* env, jclass, jint handle, jint source, jdoubleArray matrix) {
    guarded([&] {
        Graphics* g = findGraphics(handle);
        NativeImage* sourceImage = findNativeImage(source);
        if (g == nullptr || sourceImage == nullptr || !usableMatrix(env, matrix)) return;
        ArrayPins pins(env);
        const jdouble* m = pins.pin<jdouble>(matrix);
        if (!pins.ok()) return;
        ImageDescriptor image;
        if (!describeRenderTarget(*sourceImage, image)) return;
        placeImage(image, m);
        g->drawImage(image);
    });
}

LUMO_ENTRY(void, drawSWTImage)
(JNIEnv* env, jclass, jint handle, jintArray info, jdoubleArray matrix, jbyteArray data,
 jintArray palette, jbyteArray alphaData) {
    guarded([&] {
        Graphics* g = findGraphics(handle);
        if (g == nullptr || !holds(env, info, infoLength) || !usableMatrix(env, matrix)) return;
        const int64_t dataLength = arrayLength(env, data);
        const int64_t paletteLength = arrayLength(env, palette);
        const int64_t alphaLength = arrayLength(env, alphaData);
        if (dataLength < 0 || paletteLength < 0) return;

        ArrayPins pins(env);
        const int32_t* values = pins.pin<int32_t>(info);
        const jdouble* m = pins.pin<jdouble>(matrix);
        const uint8_t* pixels = pins.pin<uint8_t>(data);
        const int32_t* colours = pins.pin<int32_t>(palette);
        const uint8_t* alphas = pins.pin<uint8_t>(alphaData);
        if (!pins.ok()) return;

        ImageDescriptor image;
        describeFromInfo(image, values);
        image.kind = IMAGE_SWT;
        image.transparentPixel = values[6];
        image.data = pixels;
        image.alphaData = alphas;
        image.palette = colours;
        image.paletteLength = paletteLength;
        if (image.isDirect) {
            // Masks and shifts: red, green, blue.
            if (paletteLength < 6) return;
            image.redMask = colours[0];
            image.redShift = colours[1];
            image.greenMask = colours[2];
            image.greenShift = colours[3];
            image.blueMask = colours[4];
            image.blueShift = colours[5];
        }
        placeImage(image, m);
        if (!imageFitsMemory(image, dataLength, alphaLength)) return;
        g->drawImage(image);
    });
}

LUMO_ENTRY(void, drawAWTImage__I_3I_3D_3B)
(JNIEnv* env, jclass, jint handle, jintArray info, jdoubleArray matrix, jbyteArray data) {
    guarded([&] { drawAwtRaster(env, handle, info, matrix, data, 1); });
}

LUMO_ENTRY(void, drawAWTImage__I_3I_3D_3I)
(JNIEnv* env, jclass, jint handle, jintArray info, jdoubleArray matrix, jintArray data) {
    guarded([&] { drawAwtRaster(env, handle, info, matrix, data, 4); });
}

LUMO_ENTRY(void, drawAWTImage__I_3I_3D_3S)
(JNIEnv* env, jclass, jint handle, jintArray info, jdoubleArray matrix, jshortArray data) {
    guarded([&] { drawAwtRaster(env, handle, info, matrix, data, 2); });
}
