#pragma once

#include "ops/PixelRegion.h"

#include <cstdint>

namespace lumo {

// Blending a rectangle of one pixel memory into a rectangle of another, both
// premultiplied 32-bit words 0xAARRGGBB. Only the common part of the two
// regions is blended, pixel (i, j) of the source into pixel (i, j) of the
// destination, after both are cut to their layouts and the layouts checked
// against the memory (fitRegionPair). The two memories must not overlap.

// The rules blended here are source-over, source-in, source-out,
// source-atop, xor, multiply, screen, darken and lighten, by the formulas the
// drawing blends use. Every other Java rule in 1..26 leaves the destination as
// it is; a rule outside 1..26 means source-over (compositeRuleFromJava).

// True when blending by the Java rule can change a destination pixel.
bool ruleChangesDestination(int32_t javaRule);

// Blends by a Java composite rule. Results above 255 (possible only for
// colour bytes above their alpha, which premultiplied pixels never have) are
// limited to 255.
void composeByRule(int32_t javaRule, const uint32_t* source, int64_t sourcePixels,
                   PixelRegion sourceRegion, uint32_t* destination, int64_t destinationPixels,
                   PixelRegion destinationRegion);

// The four coefficients of k1*S*D + k2*S + k3*D + k4 as fractions of 255.
struct ArithmeticCoefficients {
    uint8_t k1 = 0, k2 = 0, k3 = 0, k4 = 0;

    // From four floats: each becomes (int)(k * 255 + 0.5) limited to 0..255
    // (NaN gives 0).
    static ArithmeticCoefficients fromFloats(const float* k);
};

// Blends every byte, alpha included, as K1*S*D + K2*S + K3*D + K4 in 8-bit
// fractions, the sum limited to 255.
void composeArithmetic(const ArithmeticCoefficients& k, const uint32_t* source,
                       int64_t sourcePixels, PixelRegion sourceRegion, uint32_t* destination,
                       int64_t destinationPixels, PixelRegion destinationRegion);

}  // namespace lumo
