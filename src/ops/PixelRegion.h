#pragma once

#include <cstdint>

namespace lumo {

// A rectangle of pixel memory, as Java passes it in six ints: the rectangle
// (x, y, width, height) and the layout of the memory it lies in (bufferWidth
// pixels per row, bufferHeight rows). Pixel (x + i, y + j) is the word at
// (y + j) * bufferWidth + x + i from the first pixel in memory; for pixel
// buffers, whose bottom row comes first, rows count up from the bottom.
struct PixelRegion {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bufferWidth = 0;
    int32_t bufferHeight = 0;

    // The six ints of a region array (which holds at least six).
    static PixelRegion fromInts(const int32_t* values) {
        return {values[0], values[1], values[2], values[3], values[4], values[5]};
    }

    // Index of the first pixel of rectangle row j.
    int64_t rowStart(int32_t j) const { return (int64_t(y) + j) * bufferWidth + x; }
};

// Whether the region's layout fits memory of `pixelCount` words
// (bufferWidth x bufferHeight <= pixelCount, neither negative).
bool layoutFits(const PixelRegion& region, int64_t pixelCount);

// Makes a region safe to touch in memory of `pixelCount` words: the layout
// must fit the memory (bufferWidth x bufferHeight <= pixelCount, neither
// negative), and the rectangle is cut to the layout. False when nothing is
// left to touch (a layout that does not fit, a negative or empty rectangle).
bool fitRegion(PixelRegion& region, int64_t pixelCount);

// The same for a rectangle copied or blended from one region to another:
// both are first cut to their common size (the smaller width and height),
// then to their layouts, keeping pixel (i, j) of one paired with pixel
// (i, j) of the other. False when nothing is left.
bool fitRegionPair(PixelRegion& source, int64_t sourcePixels, PixelRegion& destination,
                   int64_t destinationPixels);

}  // namespace lumo
