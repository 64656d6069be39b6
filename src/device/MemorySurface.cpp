#include "device/MemorySurface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace lumo {
namespace {

// Converts one row of `count` source pixels to 32-bit surface words.
void convertRow(const uint8_t* source, uint32_t* target, int64_t count, int bitCount) {
    switch (bitCount) {
        case 32:
            std::memcpy(target, source, size_t(count) * 4);
            break;
        case 24:
            for (int64_t i = 0; i < count; ++i, source += 3) {
                target[i] =
                    uint32_t(source[0]) | uint32_t(source[1]) << 8 | uint32_t(source[2]) << 16;
            }
            break;
        default:  // 16: x-5-5-5, each channel widened by repeating its top bits
            for (int64_t i = 0; i < count; ++i, source += 2) {
                const uint32_t v = uint32_t(source[0]) | uint32_t(source[1]) << 8;
                const uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                target[i] = ((r << 3) | (r >> 2)) << 16 | ((g << 3) | (g >> 2)) << 8 |
                            ((b << 3) | (b >> 2));
            }
            break;
    }
}

bool supported(const BitmapInfo& info) {
    return info.biSize >= 40 && info.biPlanes == 1 && info.biCompression == 0 && info.biWidth > 0 &&
           info.biHeight != 0 &&
           (info.biBitCount == 32 || info.biBitCount == 24 || info.biBitCount == 16);
}

}  // namespace

std::unique_ptr<MemorySurface> MemorySurface::create(int width, int height) {
    if (width <= 0 || height <= 0 || int64_t(width) * height * 4 > maxBytes) return nullptr;
    std::unique_ptr<uint32_t[]> pixels(new (std::nothrow) uint32_t[size_t(width) * height]());
    if (!pixels) return nullptr;
    return std::unique_ptr<MemorySurface>(new (std::nothrow)
                                              MemorySurface(width, height, std::move(pixels)));
}

int MemorySurface::setDIBits(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                             int startScan, int scanLines, const void* bits,
                             const BitmapInfo& info) {
    if (bits == nullptr || !supported(info) || startScan < 0 || scanLines <= 0) return 0;
    const int64_t bitmapWidth = info.biWidth;
    const int64_t bitmapHeight = info.biHeight < 0 ? -int64_t(info.biHeight) : info.biHeight;
    const bool topDown = info.biHeight < 0;
    const int bitCount = info.biBitCount;
    const int64_t stride = dibStride(bitmapWidth, bitCount);
    // Scan lines present in `bits`, counted from the bottom row.
    const int64_t low = startScan;
    const int64_t high = std::min<int64_t>(int64_t(startScan) + scanLines, bitmapHeight);
    if (low >= high) return 0;
    const int lines = int(high - low);
    if (width <= 0 || height <= 0) return lines;

    // Columns: clip to the bitmap and to the surface.
    const int64_t firstColumn = std::max<int64_t>({0, -int64_t(xSrc), -int64_t(xDest)});
    const int64_t endColumn =
        std::min<int64_t>({width, bitmapWidth - xSrc, int64_t(width_) - xDest});
    if (firstColumn >= endColumn) return lines;
    const int64_t count = endColumn - firstColumn;
    const int64_t sourceByte = (int64_t(xSrc) + firstColumn) * (bitCount / 8);

    const auto* base = static_cast<const uint8_t*>(bits);
    for (int64_t j = 0; j < height; ++j) {
        const int64_t targetRow = int64_t(yDest) + j;
        if (targetRow < 0) continue;
        if (targetRow >= height_) break;
        // The rectangle's top row is the source's row ySrc + height - 1,
        // counted from the bottom.
        const int64_t sourceRow = int64_t(ySrc) + height - 1 - j;
        if (sourceRow < low || sourceRow >= high) continue;
        const int64_t memoryRow = topDown ? high - 1 - sourceRow : sourceRow - low;
        convertRow(base + memoryRow * stride + sourceByte,
                   pixels_.get() + targetRow * width_ + xDest + firstColumn, count, bitCount);
    }
    return lines;
}

}  // namespace lumo
