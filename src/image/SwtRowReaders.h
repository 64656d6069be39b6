#pragma once

#include "image/RowReader.h"

namespace lumo {

// Readers of SWT image data. Every one writes straight colour and always
// converts: SWT rows are never 32-bit BGRA. A converted row holds one pixel
// per pixel the row's bytes could carry, (bytesPerLine * 8 / depth) * 4 bytes,
// of which the first width are written.
//
// Alpha, first match wins: the transparent pixel value gives 0 (the colour
// bytes keep the converted colour), then the global alpha, then the alpha
// data, then 255.
class SwtRowReader : public RowReader {
public:
    bool needsConversion(float) const override { return true; }
    uint32_t rowBytes(const ImageDescriptor& image) const override;
};

// Depth 24, masks and shifts: three bytes, the first most significant.
class SwtDirect24RowReader final : public SwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// Depth 24, palette: three bytes, the first most significant, index the palette.
class SwtIndexed24RowReader final : public SwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// Depth 16, masks and shifts: two bytes, the first least significant.
class SwtDirect16RowReader final : public SwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// Depth 16, palette: two bytes, the first least significant.
class SwtIndexed16RowReader final : public SwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// Depth 8, masks and shifts: one byte per pixel.
class SwtDirect8RowReader final : public SwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// Depth 8, palette: one byte per pixel.
class SwtIndexed8RowReader final : public SwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// Depths 1, 2 and 4 (pixels packed into bytes, leftmost pixel in the high
// bits) and 32 (four bytes, the first most significant), masks and shifts.
class SwtDirectPackedRowReader final : public SwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

// Depths 1, 2, 4 and 32 with a palette.
class SwtIndexedPackedRowReader final : public SwtRowReader {
public:
    void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const override;
};

}  // namespace lumo
