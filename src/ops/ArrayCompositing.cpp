#include "ops/ArrayCompositing.h"

#include "blend/BlendOperations.h"
#include "blend/CompositeRule.h"
#include "core/LookupTables.h"

#include <algorithm>

namespace lumo {
namespace {

using Row = const uint8_t*;

// Byte of a word at a bit offset: 0 blue, 8 green, 16 red, 24 alpha.
inline uint32_t byteAt(uint32_t word, int shift) {
    return (word >> shift) & 0xFFu;
}

inline uint32_t limit(uint32_t value) {
    return value > 255 ? 255 : value;
}

// A word whose colour bytes are colour(shift) and whose alpha is alpha, each
// limited to 255.
template <class Colour>
inline uint32_t assemble(Colour colour, uint32_t alpha) {
    return limit(colour(0)) | limit(colour(8)) << 8 | limit(colour(16)) << 16 | limit(alpha) << 24;
}

// A word whose four bytes are value(shift).
template <class Value>
inline uint32_t assembleAll(Value value) {
    return assemble(value, value(24));
}

inline Row multiplyRow(uint32_t factor) {
    return lookupTables.multiply[factor];
}

// Each blend returns the new destination word for a source and destination
// word, both premultiplied.

// Blends by the drawing blends' formula for the rule (blend/BlendOperations.h)
// with every product taken from the multiplication table, the bytes read as
// they are (no colour limited to its alpha) and each result limited to 255.
template <class Op>
struct ByFormula {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        const int sA = int(s >> 24), dA = int(d >> 24);
        return assemble(
            [&](int c) {
                return uint32_t(Op::colour(int(byteAt(s, c)), sA, int(byteAt(d, c)), dA));
            },
            uint32_t(Op::alpha(sA, dA)));
    }
};

using Table = blend::TableProducts;

// A transparent source leaves the destination as it is, whatever its colour
// bytes hold; an opaque one replaces it.
struct SourceOver {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        const uint32_t sA = s >> 24;
        if (sA == 255) return s;
        if (sA == 0) return d;
        return ByFormula<blend::SrcOver>{}(s, d);
    }
};

struct Arithmetic {
    Row m1, m2, m3;
    uint32_t k4;

    uint32_t operator()(uint32_t s, uint32_t d) const {
        return assembleAll([&](int c) {
            const uint32_t sc = byteAt(s, c), dc = byteAt(d, c);
            return multiplyRow(m1[sc])[dc] + uint32_t(m2[sc]) + m3[dc] + k4;
        });
    }
};

template <class Blend>
void blendRegions(Blend blend, const uint32_t* source, int64_t sourcePixels, PixelRegion sr,
                  uint32_t* destination, int64_t destinationPixels, PixelRegion dr) {
    if (source == nullptr || destination == nullptr ||
        !fitRegionPair(sr, sourcePixels, dr, destinationPixels)) {
        return;
    }
    for (int32_t j = 0; j < sr.height; ++j) {
        const uint32_t* s = source + sr.rowStart(j);
        uint32_t* d = destination + dr.rowStart(j);
        for (int32_t i = 0; i < sr.width; ++i) d[i] = blend(s[i], d[i]);
    }
}

// Calls run with the blend of the rule and returns true, or returns false
// for a rule that leaves the destination as it is.
template <class Run>
bool withBlend(CompositeRule rule, Run run) {
    switch (rule) {
        case CompositeRule::SrcOver:
            return run(SourceOver{}), true;
        case CompositeRule::SrcIn:
            return run(ByFormula<blend::SrcIn<Table>>{}), true;
        case CompositeRule::SrcOut:
            return run(ByFormula<blend::SrcOut<Table>>{}), true;
        case CompositeRule::SrcAtop:
            return run(ByFormula<blend::SrcAtop>{}), true;
        case CompositeRule::Xor:
            return run(ByFormula<blend::Xor<Table>>{}), true;
        case CompositeRule::Multiply:
            return run(ByFormula<blend::Multiply<Table>>{}), true;
        case CompositeRule::Screen:
            return run(ByFormula<blend::Screen<Table>>{}), true;
        case CompositeRule::Darken:
            return run(ByFormula<blend::Darken>{}), true;
        case CompositeRule::Lighten:
            return run(ByFormula<blend::Lighten<Table>>{}), true;
        default:
            return false;
    }
}

uint8_t coefficientToByte(float k) {
    // The product in single precision, as Java computes it with a float.
    const double scaled = double(k * 255.0f) + 0.5;
    // Below 1 truncates to 0 or less; NaN fails every comparison.
    if (!(scaled >= 1.0)) return 0;
    if (scaled >= 255.0) return 255;
    return uint8_t(int(scaled));
}

}  // namespace

bool ruleChangesDestination(int32_t javaRule) {
    return withBlend(compositeRuleFromJava(javaRule), [](auto) {});
}

void composeByRule(int32_t javaRule, const uint32_t* source, int64_t sourcePixels,
                   PixelRegion sourceRegion, uint32_t* destination, int64_t destinationPixels,
                   PixelRegion destinationRegion) {
    withBlend(compositeRuleFromJava(javaRule), [&](auto blend) {
        blendRegions(blend, source, sourcePixels, sourceRegion, destination, destinationPixels,
                     destinationRegion);
    });
}

ArithmeticCoefficients ArithmeticCoefficients::fromFloats(const float* k) {
    ArithmeticCoefficients result;
    result.k1 = coefficientToByte(k[0]);
    result.k2 = coefficientToByte(k[1]);
    result.k3 = coefficientToByte(k[2]);
    result.k4 = coefficientToByte(k[3]);
    return result;
}

void composeArithmetic(const ArithmeticCoefficients& k, const uint32_t* source,
                       int64_t sourcePixels, PixelRegion sourceRegion, uint32_t* destination,
                       int64_t destinationPixels, PixelRegion destinationRegion) {
    const Arithmetic blend{multiplyRow(k.k1), multiplyRow(k.k2), multiplyRow(k.k3), k.k4};
    blendRegions(blend, source, sourcePixels, sourceRegion, destination, destinationPixels,
                 destinationRegion);
}

}  // namespace lumo
