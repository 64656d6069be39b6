#include "ops/PixelConversion.h"

#include "core/LookupTables.h"
#include "image/RowReader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace lumo {
namespace {

// Runs `convert` on every pixel of the region, row by row.
template <class Convert>
void convertRegion(uint32_t* pixels, int64_t pixelCount, PixelRegion region, Convert convert) {
    if (pixels == nullptr || !fitRegion(region, pixelCount)) return;
    for (int32_t j = 0; j < region.height; ++j) {
        uint32_t* p = pixels + region.rowStart(j);
        for (int32_t i = 0; i < region.width; ++i) p[i] = convert(p[i]);
    }
}

// Blue, green and red of a word mapped through one row of a byte table;
// alpha stays.
inline uint32_t mapColour(uint32_t pixel, const uint8_t* table) {
    return (pixel & 0xFF000000u) | uint32_t(table[(pixel >> 16) & 0xFF]) << 16 |
           uint32_t(table[(pixel >> 8) & 0xFF]) << 8 | table[pixel & 0xFF];
}

}  // namespace

// Both conversions run without branches on alpha where the tables allow it:
// row 255 of either table is the identity, and row 0 of the multiplication
// table maps every colour to 0, which with alpha 0 is the all-zero word.

void premultiplyPixels(uint32_t* pixels, int64_t pixelCount, PixelRegion region) {
    convertRegion(pixels, pixelCount, region, [](uint32_t p) -> uint32_t {
        return mapColour(p, lookupTables.multiply[p >> 24]);
    });
}

void unpremultiplyPixels(uint32_t* pixels, int64_t pixelCount, PixelRegion region) {
    convertRegion(pixels, pixelCount, region, [](uint32_t p) -> uint32_t {
        // Alpha 0 keeps its colour bytes; row 0 of the table would clear them.
        const uint32_t mapped = mapColour(p, lookupTables.unpremultiply[p >> 24]);
        return (p >> 24) == 0 ? p : mapped;
    });
}

void fillPixels(uint32_t* pixels, int64_t pixelCount, PixelRegion region, uint32_t colour) {
    if (pixels == nullptr || !fitRegion(region, pixelCount)) return;
    for (int32_t j = 0; j < region.height; ++j) {
        std::fill_n(pixels + region.rowStart(j), region.width, colour);
    }
}

void copyPixels(const uint32_t* source, int64_t sourcePixels, PixelRegion sourceRegion,
                uint32_t* destination, int64_t destinationPixels, PixelRegion destinationRegion) {
    if (source == nullptr || destination == nullptr ||
        !fitRegionPair(sourceRegion, sourcePixels, destinationRegion, destinationPixels)) {
        return;
    }
    const size_t rowBytes = size_t(sourceRegion.width) * 4;
    for (int32_t j = 0; j < sourceRegion.height; ++j) {
        std::memcpy(destination + destinationRegion.rowStart(j), source + sourceRegion.rowStart(j),
                    rowBytes);
    }
}

bool decodeImage(const ImageDescriptor& image, uint32_t* destination, int64_t destinationPixels) {
    if (destination == nullptr || image.width <= 0 || image.height <= 0) return false;
    const int64_t width = image.width;
    const int64_t imagePixels = width * image.height;
    if (imagePixels > destinationPixels) return false;
    std::unique_ptr<RowReader> reader(createRowReader(image));
    if (reader == nullptr) return false;

    // A reader may use more than width pixels of room for a row (SWT rows
    // padded to whole bytes). Rows read in order may spill into the rows
    // below, which are read afterwards; only the last rows, whose room ends
    // at the end of the image, go through a scratch row instead.
    const int64_t roomNeeded = std::max<int64_t>(reader->rowBytes(image), width * 4);
    std::unique_ptr<uint8_t[]> scratch;
    if (roomNeeded > width * 4) {
        scratch.reset(new (std::nothrow) uint8_t[size_t(roomNeeded)]);
        if (scratch == nullptr) return false;
    }
    for (int32_t y = 0; y < image.height; ++y) {
        uint32_t* row = destination + y * width;
        const int64_t room = (imagePixels - y * width) * 4;
        if (room >= roomNeeded) {
            reader->readRow(y, reinterpret_cast<uint8_t*>(row), image);
        } else {
            reader->readRow(y, scratch.get(), image);
            std::memcpy(row, scratch.get(), size_t(width) * 4);
        }
    }
    return true;
}

}  // namespace lumo
