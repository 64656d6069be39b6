// Entry points that draw images through a drawing object: the pixels of a
// render target, SWT image data and AWT rasters.
#include "image/ImageDescriptor.h"
#include "image/RenderTargetImage.h"
#include "image/RowReader.h"
#include "image/SwtImageInfo.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/GraphicsHandles.h"

using namespace lumo;

namespace {

// An optional transform needs six values; callers read no more than six.
bool usableMatrix(JNIEnv* env, jdoubleArray matrix) {
    return matrix == nullptr || holds(env, matrix, 6);
}

void placeImage(ImageDescriptor& image, const jdouble* m) {
    if (m != nullptr) image.transform = agg::trans_affine(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// AWT raster data as bytes, whatever the element type of the Java array.
void drawAwtRaster(JNIEnv* env, jint handle, jintArray info, jdoubleArray matrix, jarray data,
                   int64_t elementSize) {
    Graphics* g = findGraphics(handle);
    if (g == nullptr || !holds(env, info, imageInfoLength) || !usableMatrix(env, matrix)) return;
    const int64_t dataLength = arrayLength(env, data);
    if (dataLength < 0) return;

    ArrayPins pins(env);
    const int32_t* values = pins.read<int32_t>(info, imageInfoLength, imageInfoLength);
    const jdouble* m = pins.read<jdouble>(matrix, 6, 6);
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
        const jdouble* m = pins.read<jdouble>(matrix, 6, 6);
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
        if (g == nullptr || !holds(env, info, imageInfoLength) || !usableMatrix(env, matrix))
            return;
        const int64_t dataLength = arrayLength(env, data);
        const int64_t paletteLength = arrayLength(env, palette);
        const int64_t alphaLength = arrayLength(env, alphaData);
        if (dataLength < 0 || paletteLength < 0) return;

        ArrayPins pins(env);
        const int32_t* values = pins.read<int32_t>(info, imageInfoLength, imageInfoLength);
        const jdouble* m = pins.read<jdouble>(matrix, 6, 6);
        const uint8_t* pixels = pins.pin<uint8_t>(data);
        const int32_t* colours = pins.pin<int32_t>(palette);
        const uint8_t* alphas = pins.pin<uint8_t>(alphaData);
        if (!pins.ok()) return;

        SwtImageArrays arrays;
        arrays.info = values;
        arrays.data = pixels;
        arrays.dataLength = dataLength;
        arrays.palette = colours;
        arrays.paletteLength = paletteLength;
        arrays.alphaData = alphas;
        arrays.alphaLength = alphaLength;
        ImageDescriptor image;
        if (!describeSwtImage(image, arrays)) return;
        placeImage(image, m);
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
