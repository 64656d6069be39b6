#include "image/AwtRowReaders.h"
#include "image/RowReader.h"
#include "image/SwtRowReaders.h"

#include <cstdint>
#include <limits>
#include <new>

namespace lumo {
namespace {

RowReader* createSwtRowReader(const ImageDescriptor& image) {
    const bool direct = image.isDirect;
    switch (image.depth) {
        case 24:
            if (direct) return new (std::nothrow) SwtDirect24RowReader;
            return new (std::nothrow) SwtIndexed24RowReader;
        case 16:
            if (direct) return new (std::nothrow) SwtDirect16RowReader;
            return new (std::nothrow) SwtIndexed16RowReader;
        case 8:
            if (direct) return new (std::nothrow) SwtDirect8RowReader;
            return new (std::nothrow) SwtIndexed8RowReader;
        case 1:
        case 2:
        case 4:
        case 32:
            if (direct) return new (std::nothrow) SwtDirectPackedRowReader;
            return new (std::nothrow) SwtIndexedPackedRowReader;
        default:
            return nullptr;
    }
}

bool swtDepthSupported(int32_t depth) {
    switch (depth) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            return true;
        default:
            return false;
    }
}

// Bytes one source pixel takes for the AWT kinds and render targets, or 0.
int64_t bytesPerPixel(int32_t kind) {
    switch (kind) {
        case IMAGE_INT_RGB:
        case IMAGE_INT_ARGB:
        case IMAGE_INT_ARGB_PRE:
        case IMAGE_INT_BGR:
        case IMAGE_4BYTE_ABGR:
        case IMAGE_4BYTE_ABGR_PRE:
        case IMAGE_RENDER_TARGET:
            return 4;
        case IMAGE_3BYTE_BGR:
            return 3;
        case IMAGE_USHORT_565_RGB:
        case IMAGE_USHORT_555_RGB:
            return 2;
        default:
            return 0;
    }
}

}  // namespace

RowReader* createRowReader(const ImageDescriptor& image) {
    switch (image.kind) {
        case IMAGE_SWT:
            return createSwtRowReader(image);
        case IMAGE_INT_RGB:
            return new (std::nothrow) IntRgbRowReader;
        case IMAGE_INT_ARGB:
        case IMAGE_INT_ARGB_PRE:
            return new (std::nothrow) IntArgbRowReader;
        case IMAGE_INT_BGR:
            return new (std::nothrow) IntBgrRowReader;
        case IMAGE_3BYTE_BGR:
            return new (std::nothrow) ThreeByteBgrRowReader;
        case IMAGE_4BYTE_ABGR:
        case IMAGE_4BYTE_ABGR_PRE:
            return new (std::nothrow) FourByteAbgrRowReader;
        case IMAGE_USHORT_565_RGB:
            return new (std::nothrow) Ushort565RowReader;
        case IMAGE_USHORT_555_RGB:
            return new (std::nothrow) Ushort555RowReader;
        case IMAGE_RENDER_TARGET:
            return new (std::nothrow) NativeImageRowReader;
        default:
            return nullptr;
    }
}

bool imageFitsMemory(const ImageDescriptor& image, int64_t dataBytes, int64_t alphaBytes) {
    if (image.data == nullptr || image.width <= 0 || image.height <= 0) return false;
    const int64_t width = image.width;
    const int64_t height = image.height;
    const int64_t bytesPerLine = image.bytesPerLine;
    // Converted rows hold at least width * 4 bytes, counted in 32 bits.
    if (width > std::numeric_limits<int32_t>::max() / 4) return false;

    if (image.kind == IMAGE_SWT) {
        if (!swtDepthSupported(image.depth)) return false;
        const int64_t depth = image.depth;
        // At most 2^31 * 32 bits: no overflow.
        if (bytesPerLine < (width * depth + 7) / 8) return false;
        // The converted row is (bytesPerLine * 8 / depth) * 4 bytes, a uint32.
        if ((bytesPerLine * 8 / depth) * 4 > int64_t{std::numeric_limits<uint32_t>::max()}) {
            return false;
        }
    } else {
        const int64_t pixelBytes = bytesPerPixel(image.kind);
        if (pixelBytes == 0 || bytesPerLine < width * pixelBytes) return false;
    }

    // Both factors are below 2^31: the product fits.
    if (bytesPerLine * height > dataBytes) return false;
    if (image.kind == IMAGE_SWT && image.alphaData != nullptr && width * height > alphaBytes) {
        return false;
    }
    return true;
}

}  // namespace lumo
