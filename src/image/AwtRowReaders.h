#pragma once

#include "image/RowReader.h"

namespace lumo {

// Readers of AWT buffered-image rows (width pixels, width * 4 bytes
// converted) and of render-target pixels. Multi-byte pixels are native
// (little-endian) ints and shorts, as pinned Java arrays hold them.

// Width * 4 bytes per converted row.
class AwtRowReader : public RowReader {
public:
    bool needsConversion(float) const override { return true; }
    uint32_t rowBytes(const ImageDescriptor& image) const override;
};

// TYPE_INT_RGB: 0x..RRGGBB, alpha 255.
class IntRgbRowReader final : public AwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// TYPE_INT_ARGB and TYPE_INT_ARGB_PRE: 0xAARRGGBB, already the converted
// layout, so rows are read in place unless extra alpha must be applied.
class IntArgbRowReader final : public AwtRowReader {
public:
    bool needsConversion(float alpha) const override { return alpha < 1.0f; }
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// TYPE_INT_BGR: 0x..BBGGRR, alpha 255.
class IntBgrRowReader final : public AwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// TYPE_3BYTE_BGR: bytes blue, green, red; alpha 255.
class ThreeByteBgrRowReader final : public AwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// TYPE_4BYTE_ABGR and TYPE_4BYTE_ABGR_PRE: bytes alpha, blue, green, red.
class FourByteAbgrRowReader final : public AwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// TYPE_USHORT_565_RGB: each channel's bits moved to the top of its byte.
class Ushort565RowReader final : public AwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// TYPE_USHORT_555_RGB.
class Ushort555RowReader final : public AwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// Render-target pixels: 32-bit BGRA rows stored bottom-up, copied whole
// (bytesPerLine bytes, padding included) and read in place when no extra
// alpha applies.
class NativeImageRowReader final : public RowReader {
public:
    bool needsConversion(float alpha) const override { return alpha < 1.0f; }
    uint32_t rowBytes(const ImageDescriptor& image) const override;
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

}  // namespace lumo
