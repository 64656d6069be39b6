// Entry points that convert, fill and copy pixel data outside any drawing:
// coerceData (on a Java int array or a pixel buffer), convertData, setData
// and copyData.
#include "core/Colour.h"
#include "core/DataBuffer.h"
#include "image/SwtImageInfo.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"
#include "native/PixelRegionArgument.h"
#include "ops/PixelConversion.h"

namespace lumo {
namespace {

void coerce(uint32_t* pixels, int64_t count, const PixelRegion& region, jboolean premultiply) {
    if (premultiply) {
        premultiplyPixels(pixels, count, region);
    } else {
        unpremultiplyPixels(pixels, count, region);
    }
}

// The region spans the buffer's whole memory: clearing the buffer is the
// same as filling the region.
bool coversWholeBuffer(const PixelRegion& r, const DataBuffer& buffer) {
    return r.x == 0 && r.y == 0 && r.width == r.bufferWidth && r.height == r.bufferHeight &&
           r.bufferWidth >= 0 && r.bufferHeight >= 0 &&
           int64_t(r.bufferWidth) * r.bufferHeight == pixelCount(buffer);
}

}  // namespace
}  // namespace lumo

using namespace lumo;

LUMO_ENTRY(void, coerceData___3I_3IZ)
(JNIEnv* env, jclass, jintArray pixels, jintArray region, jboolean premultiply) {
    guarded([&] {
        const int64_t length = arrayLength(env, pixels);
        PixelRegion r;
        if (length < 0 || !readPixelRegion(env, region, r) || !fitRegion(r, length)) return;
        ArrayPins pins(env);
        auto* words = reinterpret_cast<uint32_t*>(pins.pinForWriting<int32_t>(pixels));
        if (words == nullptr) return;
        coerce(words, length, r, premultiply);
    });
}

LUMO_ENTRY(void, coerceData__I_3IZ)
(JNIEnv* env, jclass, jint handle, jintArray region, jboolean premultiply) {
    guarded([&] {
        DataBuffer* buffer = findDataBuffer(handle);
        PixelRegion r;
        if (buffer == nullptr || !readPixelRegion(env, region, r)) return;
        // Coercing never creates pixel memory.
        if (!buffer->hasPixels()) return;
        coerce(buffer->pixels(), pixelCount(*buffer), r, premultiply);
    });
}

LUMO_ENTRY(void, convertData)
(JNIEnv* env, jclass, jintArray destination, jintArray info, jbyteArray data, jintArray palette,
 jbyteArray alphaData) {
    guarded([&] {
        const int64_t destinationLength = arrayLength(env, destination);
        const int64_t dataLength = arrayLength(env, data);
        const int64_t paletteLength = arrayLength(env, palette);
        const int64_t alphaLength = arrayLength(env, alphaData);
        if (destinationLength < 0 || !holds(env, info, imageInfoLength) || dataLength < 0 ||
            paletteLength < 0) {
            return;
        }

        ArrayPins pins(env);
        SwtImageArrays arrays;
        arrays.info = pins.read<int32_t>(info, imageInfoLength, imageInfoLength);
        auto* out = reinterpret_cast<uint32_t*>(pins.pinForWriting<int32_t>(destination));
        arrays.data = pins.pin<uint8_t>(data);
        arrays.dataLength = dataLength;
        arrays.palette = pins.pin<int32_t>(palette);
        arrays.paletteLength = paletteLength;
        arrays.alphaData = pins.pin<uint8_t>(alphaData);
        arrays.alphaLength = alphaLength;
        if (!pins.ok()) return;

        ImageDescriptor image;
        if (!describeSwtImage(image, arrays)) return;
        decodeImage(image, out, destinationLength);
    });
}

LUMO_ENTRY(void, setData)(JNIEnv* env, jclass, jint handle, jintArray region, jint argb) {
    guarded([&] {
        DataBuffer* buffer = findDataBuffer(handle);
        PixelRegion r;
        if (buffer == nullptr || !readPixelRegion(env, region, r)) return;
        const auto colour = static_cast<uint32_t>(static_cast<int32_t>(argb));

        // A transparent fill of a buffer that has no memory and clears to
        // transparent changes nothing anyone can see: stay without memory.
        // With another clear colour, clearing would wipe the pixels outside
        // the region, so the region is filled like any other.
        const bool transparentOnTransparent =
            colour == 0 && !buffer->hasPixels() && pixelFromRgba8(buffer->clearColour()) == 0;
        if (transparentOnTransparent || coversWholeBuffer(r, *buffer)) {
            buffer->clear(rgba8FromArgb(static_cast<int32_t>(colour)));
            return;
        }
        const int64_t count = pixelCount(*buffer);
        if (!fitRegion(r, count)) return;
        fillPixels(pixelsCreatingMemory(*buffer), count, r, colour);
    });
}

LUMO_ENTRY(void, copyData)
(JNIEnv* env, jclass, jint sourceHandle, jint destinationHandle, jintArray sourceRegion,
 jintArray destinationRegion) {
    guarded([&] {
        DataBuffer* source = findDataBuffer(sourceHandle);
        DataBuffer* destination = findDataBuffer(destinationHandle);
        if (source == nullptr || destination == nullptr || source == destination) return;
        PixelRegion sr, dr;
        if (!readPixelRegion(env, sourceRegion, sr) ||
            !readPixelRegion(env, destinationRegion, dr)) {
            return;
        }
        const int64_t sourceCount = pixelCount(*source);
        const int64_t destinationCount = pixelCount(*destination);
        if (!layoutFits(sr, sourceCount) || !layoutFits(dr, destinationCount)) return;
        // Both buffers get their memory, even when there is nothing to copy:
        // later operations tell a buffer with memory from one without.
        const uint32_t* from = pixelsCreatingMemory(*source);
        uint32_t* to = pixelsCreatingMemory(*destination);
        if (from == nullptr || to == nullptr) return;
        if (!fitRegionPair(sr, sourceCount, dr, destinationCount)) return;
        copyPixels(from, sourceCount, sr, to, destinationCount, dr);
    });
}
