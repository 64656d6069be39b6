#include "image/AwtRowReaders.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

// Java's int and short arrays are read as native integers and the converted
// layout is written as bytes; the int-to-int copies below rely on a
// little-endian host, where 0xAARRGGBB lies in memory as blue, green, red, alpha.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "lumo's image readers expect a little-endian host"
#endif

namespace lumo {
namespace {

inline const uint8_t* rowStart(const ImageDescriptor& image, int32_t y) {
    return image.data + static_cast<ptrdiff_t>(y) * image.bytesPerLine;
}

inline uint32_t loadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline uint16_t loadU16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void storeU32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, sizeof v);
}

inline size_t widthBytes(const ImageDescriptor& image) {
    return static_cast<size_t>(image.width) * 4u;
}

}  // namespace

uint32_t AwtRowReader::rowBytes(const ImageDescriptor& image) const {
    return image.width > 0 ? static_cast<uint32_t>(image.width) * 4u : 0u;
}

void IntRgbRowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    const uint8_t* in = rowStart(image, y);
    for (int32_t x = 0; x < image.width; ++x, in += 4, out += 4) {
        storeU32(out, loadU32(in) | 0xFF000000u);
    }
}

void IntArgbRowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    if (image.width > 0) std::memcpy(out, rowStart(image, y), widthBytes(image));
}

void IntBgrRowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    const uint8_t* in = rowStart(image, y);
    for (int32_t x = 0; x < image.width; ++x, in += 4, out += 4) {
        const uint32_t v = loadU32(in);
        out[0] = static_cast<uint8_t>(v >> 16);
        out[1] = static_cast<uint8_t>(v >> 8);
        out[2] = static_cast<uint8_t>(v);
        out[3] = 0xFF;
    }
}

void ThreeByteBgrRowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    const uint8_t* in = rowStart(image, y);
    for (int32_t x = 0; x < image.width; ++x, in += 3, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 0xFF;
    }
}

void FourByteAbgrRowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    const uint8_t* in = rowStart(image, y);
    for (int32_t x = 0; x < image.width; ++x, in += 4, out += 4) {
        out[0] = in[1];
        out[1] = in[2];
        out[2] = in[3];
        out[3] = in[0];
    }
}

void Ushort565RowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    const uint8_t* in = rowStart(image, y);
    for (int32_t x = 0; x < image.width; ++x, in += 2, out += 4) {
        const uint32_t v = loadU16(in);
        out[0] = static_cast<uint8_t>(v << 3);
        out[1] = static_cast<uint8_t>((v >> 3) & 0xFCu);
        out[2] = static_cast<uint8_t>((v >> 8) & 0xF8u);
        out[3] = 0xFF;
    }
}

void Ushort555RowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    const uint8_t* in = rowStart(image, y);
    for (int32_t x = 0; x < image.width; ++x, in += 2, out += 4) {
        const uint32_t v = loadU16(in);
        out[0] = static_cast<uint8_t>(v << 3);
        out[1] = static_cast<uint8_t>((v >> 2) & 0xF8u);
        out[2] = static_cast<uint8_t>((v >> 7) & 0xF8u);
        out[3] = 0xFF;
    }
}

uint32_t NativeImageRowReader::rowBytes(const ImageDescriptor& image) const {
    return image.bytesPerLine > 0 ? static_cast<uint32_t>(image.bytesPerLine) : 0u;
}

void NativeImageRowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    if (image.width <= 0 || image.bytesPerLine <= 0) return;
    // The bottom row comes first in memory.
    const ptrdiff_t stored = static_cast<ptrdiff_t>(image.height) - 1 - y;
    std::memcpy(out, image.data + stored * image.bytesPerLine,
                static_cast<size_t>(image.bytesPerLine));
}

}  // namespace lumo
