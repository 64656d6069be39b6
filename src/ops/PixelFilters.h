#pragma once

#include "ops/PixelRegion.h"

#include <cstdint>

namespace lumo {

// A 4 x 5 colour matrix ready for integer use. Rows give red, green, blue and
// alpha; columns multiply red, green, blue and alpha, and the fifth is an
// offset in 0..255 units. Entries are 16.16 fixed point.
struct ColourMatrix {
    int32_t rows[4][5];
    // The offsets as bytes: what a fully transparent pixel becomes, and the
    // colour of every pixel in the constant-colour form.
    uint8_t offsets[4];
    // True when every red, green and blue coefficient is 0: the colour bytes
    // are then the offsets and only alpha needs a dot product.
    bool constantColour;

    // From 20 floats, row-major.
    static ColourMatrix fromFloats(const float* values);
};

// A matrix entry in 16.16 fixed point: 0 for |m| < 0.0002, else m * 65536
// rounded half away from zero. NaN gives 0; huge values saturate.
int32_t matrixEntryToFixed(float m);
// An offset as a byte: 0 for m <= 0 (or NaN), else m rounded half up and
// limited to 255.
uint8_t matrixOffsetToByte(float m);

// Optional per-channel tables of 256 entries each; null means "no table".
struct ChannelTables {
    const uint8_t* red = nullptr;
    const uint8_t* green = nullptr;
    const uint8_t* blue = nullptr;
    const uint8_t* alpha = nullptr;
};

// In-place filters on a rectangle of pixel memory holding `pixelCount` words
// 0xAARRGGBB. The region is first cut to its layout and the layout checked
// against the memory (fitRegion); nothing outside it is touched. With
// `premultiplied` the colour inputs are unpremultiplied first; every filter
// stores straight colour.

// Clears blue, green and red, keeping alpha.
void filterAlpha(uint32_t* pixels, int64_t pixelCount, PixelRegion region);

void colorMatrix(uint32_t* pixels, int64_t pixelCount, PixelRegion region,
                 const ColourMatrix& matrix, bool premultiplied);

// Maps the colour bytes through the sRGB encoding curve (toSrgb) or the
// decoding curve; alpha stays as it is.
void applyLut(uint32_t* pixels, int64_t pixelCount, PixelRegion region, bool toSrgb,
              bool premultiplied);

// Maps each channel that has a table through it; channels without one keep
// their bytes (premultiplied colour stays premultiplied).
void transColor(uint32_t* pixels, int64_t pixelCount, PixelRegion region,
                const ChannelTables& tables, bool premultiplied);

}  // namespace lumo
