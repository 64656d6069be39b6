#include "device/MemorySurface.h"

#include "device/DibClip.h"

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
    if (width <= 0 || height <= 0 || int64_t(width) * height > maxBytes / 4) return nullptr;
    std::unique_ptr<uint32_t[]> pixels(new (std::nothrow) uint32_t[size_t(width) * height]());
    if (!pixels) return nullptr;
    return std::unique_ptr<MemorySurface>(new (std::nothrow)
                                              MemorySurface(width, height, std::move(pixels)));
}

int MemorySurface::setDIBits(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                             int startScan, int scanLines, const void* bits,
                             const BitmapInfo& info) {
    if (bits == nullptr || !supported(info)) return 0;
    const DibClip clip =
        clipDib(xDest, yDest, width, height, xSrc, ySrc, startScan, scanLines, info);
    if (clip.empty()) return clip.result;

    // What the bitmap gives, clipped to the surface.
    const int64_t firstColumn = std::max<int64_t>(0, -clip.xDest);
    const int64_t endColumn = std::min<int64_t>(clip.columns, width_ - clip.xDest);
    const int64_t firstRow = std::max<int64_t>(0, -clip.yDest);
    const int64_t endRow = std::min<int64_t>(clip.rows, height_ - clip.yDest);
    if (firstColumn >= endColumn) return clip.result;
    const int bitCount = info.biBitCount;
    const int64_t stride = dibStride(info.biWidth, bitCount);
    const int64_t sourceByte = (clip.column + firstColumn) * (bitCount / 8);
    const auto* base = static_cast<const uint8_t*>(bits);
    for (int64_t j = firstRow; j < endRow; ++j) {
        convertRow(base + clip.memoryRow(clip.row + j) * stride + sourceByte,
                   pixels_.get() + (clip.yDest + j) * width_ + clip.xDest + firstColumn,
                   endColumn - firstColumn, bitCount);
    }
    return clip.result;
}

}  // namespace lumo
