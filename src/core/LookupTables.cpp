#include "core/LookupTables.h"

#include <cmath>

namespace lumo {

LookupTables lookupTables;

namespace {

uint8_t roundToByte(double value) {
    return static_cast<uint8_t>(static_cast<int>(value + 0.5));
}

double srgbDecode(double x) {
    if (x <= 0.003928) return x * 0.07739938080495357;
    return std::pow((x + 0.055) * 0.9478672985781991, 2.4);
}

double srgbEncode(double x) {
    if (x <= 0.0031308) return 12.92 * x;
    return 1.055 * std::pow(x, 0.4166666666666667) - 0.055;
}

}  // namespace

void initialiseLookupTables() {
    const double inverse255 = 1.0 / 255.0;
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 256; ++j) {
            lookupTables.multiply[i][j] = roundToByte(i * inverse255 * j);
        }
    }
    for (int c = 0; c < 256; ++c) lookupTables.unpremultiply[0][c] = 0;
    for (int a = 1; a < 256; ++a) {
        const double scale = 255.0 / a;
        for (int c = 0; c < 256; ++c) {
            lookupTables.unpremultiply[a][c] = c < a ? roundToByte(c * scale) : 255;
        }
    }
    for (int i = 0; i < 256; ++i) {
        lookupTables.srgbToLinear[i] = roundToByte(255.0 * srgbDecode(i * inverse255));
        lookupTables.linearToSrgb[i] = roundToByte(255.0 * srgbEncode(i * inverse255));
    }
}

}  // namespace lumo
