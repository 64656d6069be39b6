#pragma once

#include "device/BitmapInfo.h"

#include <cstdint>
#include <memory>

namespace lumo {

// A 32-bit memory surface standing in for a device context where there is no
// GDI: bitmaps are copied into it as GDI's SetDIBitsToDevice copies them into
// a 32-bit DIB section. Pixels are 0xAARRGGBB words, top row first.
class MemorySurface {
public:
    // Largest surface: the same byte limit as a pixel buffer.
    static constexpr int64_t maxBytes = INT32_MAX;

    // A cleared surface, or null for a non-positive or too large size or when
    // memory runs out.
    static std::unique_ptr<MemorySurface> create(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    const uint32_t* pixels() const { return pixels_.get(); }

    // BI_RGB bitmaps of 32, 24 and 16 (5-5-5) bits per pixel, bottom-up or
    // top-down, read and clipped as GDI does it (device/DibClip.h: `bits`
    // holds scan lines startScan .. startScan + scanLines - 1 counted from the
    // bottom, and the source y is the rectangle's lower-left corner counted
    // from the bottom too) and then clipped to the surface. 32-bit pixels are
    // copied as whole words; others are written as 0x00RRGGBB. Returns what
    // GDI returns, 0 for bad arguments.
    int setDIBits(int xDest, int yDest, int width, int height, int xSrc, int ySrc, int startScan,
                  int scanLines, const void* bits, const BitmapInfo& info);

private:
    MemorySurface(int width, int height, std::unique_ptr<uint32_t[]> pixels)
        : width_(width), height_(height), pixels_(std::move(pixels)) {}

    const int width_;
    const int height_;
    const std::unique_ptr<uint32_t[]> pixels_;
};

}  // namespace lumo
