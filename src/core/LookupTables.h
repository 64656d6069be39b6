#pragma once

#include <cstdint>

namespace lumo {

// Shared byte tables, filled once when the library is loaded and read-only
// afterwards.
struct LookupTables {
    // multiply[i][j] = round(i * j / 255): the product of two 8-bit fractions.
    uint8_t multiply[256][256];
    // unpremultiply[a][c] = round(c * 255 / a) for c < a, 255 for c >= a;
    // row 0 all 0.
    uint8_t unpremultiply[256][256];
    // The sRGB decoding and encoding curves sampled at 8 bits.
    uint8_t srgbToLinear[256];
    uint8_t linearToSrgb[256];
};

extern LookupTables lookupTables;

// Fills lookupTables. Runs at load; calling it again rewrites the same values.
void initialiseLookupTables();

}  // namespace lumo
