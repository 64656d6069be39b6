#include "image/SwtRowReaders.h"

#include <cstddef>
#include <cstdint>

namespace lumo {
namespace {

// Start of row y (top-down rows).
inline const uint8_t* rowStart(const ImageDescriptor& image, int32_t y) {
    return image.data + static_cast<ptrdiff_t>(y) * image.bytesPerLine;
}

inline void storeBgra(uint8_t* out, uint32_t rgb, uint32_t alpha) {
    out[0] = static_cast<uint8_t>(rgb);
    out[1] = static_cast<uint8_t>(rgb >> 8);
    out[2] = static_cast<uint8_t>(rgb >> 16);
    out[3] = static_cast<uint8_t>(alpha);
}

// Pixel fetchers: the value of pixel x of a row.
struct Fetch24 {
    uint32_t operator()(const uint8_t* row, int32_t x) const {
        const uint8_t* p = row + static_cast<ptrdiff_t>(x) * 3;
        return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }
};

struct Fetch16 {
    uint32_t operator()(const uint8_t* row, int32_t x) const {
        const uint8_t* p = row + static_cast<ptrdiff_t>(x) * 2;
        return uint32_t{p[0]} | (uint32_t{p[1]} << 8);
    }
};

struct Fetch8 {
    uint32_t operator()(const uint8_t* row, int32_t x) const { return row[x]; }
};

struct Fetch4 {
    uint32_t operator()(const uint8_t* row, int32_t x) const {
        // Even pixels in the high nibble, odd pixels in the low one.
        return (row[x >> 1] >> (4 - 4 * (x & 1))) & 0xFu;
    }
};

struct Fetch2 {
    uint32_t operator()(const uint8_t* row, int32_t x) const {
        return (row[x >> 2] >> (2 * (3 - (x & 3)))) & 0x3u;
    }
};

struct Fetch1 {
    uint32_t operator()(const uint8_t* row, int32_t x) const {
        return (row[x >> 3] >> (7 - (x & 7))) & 0x1u;
    }
};

struct Fetch32 {
    uint32_t operator()(const uint8_t* row, int32_t x) const {
        const uint8_t* p = row + static_cast<ptrdiff_t>(x) * 4;
        return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
    }
};

// One channel of a direct palette: (pixel & mask) shifted right by -shift
// (unsigned) or left by shift, low 8 bits kept. A shift of 32 or more either
// way moves every bit out, so the mask is cleared instead of shifting.
struct Channel {
    uint32_t mask = 0;
    unsigned right = 0;
    unsigned left = 0;

    Channel(int32_t m, int32_t shift) {
        if (shift <= -32 || shift >= 32) return;
        mask = static_cast<uint32_t>(m);
        if (shift < 0) {
            right = static_cast<unsigned>(-shift);
        } else {
            left = static_cast<unsigned>(shift);
        }
    }
    uint32_t operator()(uint32_t pixel) const {
        return (((pixel & mask) >> right) << left) & 0xFFu;
    }
};

struct DirectColour {
    Channel red, green, blue;

    explicit DirectColour(const ImageDescriptor& image)
        : red(image.redMask, image.redShift),
          green(image.greenMask, image.greenShift),
          blue(image.blueMask, image.blueShift) {}
    uint32_t operator()(uint32_t pixel) const {
        return (red(pixel) << 16) | (green(pixel) << 8) | blue(pixel);
    }
};

// Palette lookup; indices outside the palette read as black.
struct PaletteColour {
    const int32_t* palette;
    uint64_t length;

    explicit PaletteColour(const ImageDescriptor& image)
        : palette(image.palette),
          length(image.palette != nullptr && image.paletteLength > 0
                     ? static_cast<uint64_t>(image.paletteLength)
                     : 0) {}
    uint32_t operator()(uint32_t pixel) const {
        return pixel < length ? static_cast<uint32_t>(palette[pixel]) : 0u;
    }
};

// Per-pixel alpha before the transparent pixel is applied.
struct ConstantAlpha {
    uint32_t alpha;
    uint32_t operator()(int32_t) const { return alpha; }
};

struct AlphaRow {
    const uint8_t* row;
    uint32_t operator()(int32_t x) const { return row[x]; }
};

template <class Fetch, class Colour, class Alpha>
void convertPixels(const uint8_t* row, int32_t width, uint64_t transparent, Fetch fetch,
                   Colour colour, Alpha alpha, uint8_t* out) {
    for (int32_t x = 0; x < width; ++x, out += 4) {
        const uint32_t pixel = fetch(row, x);
        const uint32_t a = pixel == transparent ? 0u : alpha(x);
        storeBgra(out, colour(pixel), a);
    }
}

// Converts row y with the alpha source chosen once for the whole row.
template <class Fetch, class Colour>
void convertRow(int32_t y, uint8_t* out, const ImageDescriptor& image, Fetch fetch, Colour colour) {
    const uint8_t* row = rowStart(image, y);
    // A value no 32-bit pixel can equal stands for "no transparent pixel".
    const uint64_t transparent =
        image.transparentPixel != -1 ? static_cast<uint32_t>(image.transparentPixel) : ~uint64_t{0};
    if (image.alpha != -1) {
        convertPixels(row, image.width, transparent, fetch, colour,
                      ConstantAlpha{static_cast<uint32_t>(image.alpha) & 0xFFu}, out);
    } else if (image.alphaData != nullptr) {
        const uint8_t* alphaRow =
            image.alphaData + static_cast<ptrdiff_t>(y) * static_cast<ptrdiff_t>(image.width);
        convertPixels(row, image.width, transparent, fetch, colour, AlphaRow{alphaRow}, out);
    } else {
        convertPixels(row, image.width, transparent, fetch, colour, ConstantAlpha{255}, out);
    }
}

template <class Colour>
void convertPackedRow(int32_t y, uint8_t* out, const ImageDescriptor& image, Colour colour) {
    switch (image.depth) {
        case 1:
            convertRow(y, out, image, Fetch1{}, colour);
            break;
        case 2:
            convertRow(y, out, image, Fetch2{}, colour);
            break;
        case 4:
            convertRow(y, out, image, Fetch4{}, colour);
            break;
        case 32:
            convertRow(y, out, image, Fetch32{}, colour);
            break;
        default:
            break;
    }
}

}  // namespace

uint32_t SwtRowReader::rowBytes(const ImageDescriptor& image) const {
    if (image.depth <= 0 || image.bytesPerLine <= 0) return 0;
    // imageFitsMemory has checked that this fits 32 bits.
    const uint64_t pixels =
        static_cast<uint64_t>(image.bytesPerLine) * 8u / static_cast<uint64_t>(image.depth);
    return static_cast<uint32_t>(pixels * 4u);
}

void SwtDirect24RowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    convertRow(y, out, image, Fetch24{}, DirectColour(image));
}

void SwtIndexed24RowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    convertRow(y, out, image, Fetch24{}, PaletteColour(image));
}

void SwtDirect16RowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    convertRow(y, out, image, Fetch16{}, DirectColour(image));
}

void SwtIndexed16RowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    convertRow(y, out, image, Fetch16{}, PaletteColour(image));
}

void SwtDirect8RowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    convertRow(y, out, image, Fetch8{}, DirectColour(image));
}

void SwtIndexed8RowReader::readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const {
    convertRow(y, out, image, Fetch8{}, PaletteColour(image));
}

void SwtDirectPackedRowReader::readRow(int32_t y, uint8_t* out,
                                       const ImageDescriptor& image) const {
    convertPackedRow(y, out, image, DirectColour(image));
}

void SwtIndexedPackedRowReader::readRow(int32_t y, uint8_t* out,
                                        const ImageDescriptor& image) const {
    convertPackedRow(y, out, image, PaletteColour(image));
}

}  // namespace lumo
