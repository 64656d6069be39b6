#pragma once

#include <cstdint>

namespace lumo {

// A device-independent bitmap header with one colour entry, laid out as the
// GDI BITMAPINFO that a device reads: a 40-byte header and one RGBQUAD.
struct BitmapInfo {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // positive: bottom row first; negative: top row first
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;  // BI_RGB
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
    uint8_t colours[4] = {0, 0, 0, 0};
};

static_assert(sizeof(BitmapInfo) == 44, "BitmapInfo must match the GDI layout");

// Bytes per row of a BI_RGB bitmap: rows are padded to whole 32-bit words.
inline int64_t dibStride(int64_t width, int bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

}  // namespace lumo
