#include "ops/ArrayCompositing.h"

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

struct SourceOver {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        const uint32_t sA = s >> 24;
        if (sA == 255) return s;
        if (sA == 0) return d;
        const Row m = multiplyRow(255 - sA);
        return assembleAll([&](int c) { return byteAt(s, c) + m[byteAt(d, c)]; });
    }
};

struct SourceIn {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        const uint32_t dA = d >> 24;
        if (dA == 255) return s;
        if (dA == 0) return 0;
        const Row m = multiplyRow(dA);
        return assembleAll([&](int c) { return uint32_t(m[byteAt(s, c)]); });
    }
};

struct SourceOut {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        const uint32_t dA = d >> 24;
        if (dA == 0) return s;
        if (dA == 255) return 0;
        const Row m = multiplyRow(255 - dA);
        return assembleAll([&](int c) { return uint32_t(m[byteAt(s, c)]); });
    }
};

struct SourceAtop {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        const uint32_t sA = s >> 24, dA = d >> 24;
        const Row ms = multiplyRow(dA), md = multiplyRow(255 - sA);
        return assemble([&](int c) { return ms[byteAt(s, c)] + uint32_t(md[byteAt(d, c)]); }, dA);
    }
};

struct Xor {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        const uint32_t sA = s >> 24, dA = d >> 24;
        const Row ms = multiplyRow(255 - dA), md = multiplyRow(255 - sA);
        return assembleAll([&](int c) { return ms[byteAt(s, c)] + uint32_t(md[byteAt(d, c)]); });
    }
};

struct Multiply {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        const uint32_t sA = s >> 24, dA = d >> 24;
        const Row ms = multiplyRow(255 - dA), md = multiplyRow(255 - sA);
        return assemble(
            [&](int c) {
                const uint32_t sc = byteAt(s, c), dc = byteAt(d, c);
                return multiplyRow(sc)[dc] + uint32_t(md[dc]) + ms[sc];
            },
            255 - multiplyRow(255 - dA)[255 - sA]);
    }
};

struct Screen {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        return assembleAll([&](int c) {
            const uint32_t sc = byteAt(s, c), dc = byteAt(d, c);
            return sc + dc - multiplyRow(sc)[dc];
        });
    }
};

// Darken and lighten: s + d minus the larger (darken) or smaller (lighten) of
// the two cross products. Each product is at most the byte it scales, so the
// difference is never negative.
template <bool darken>
struct DarkenOrLighten {
    uint32_t operator()(uint32_t s, uint32_t d) const {
        const uint32_t sA = s >> 24, dA = d >> 24;
        const Row ms = multiplyRow(dA), md = multiplyRow(sA);
        return assemble(
            [&](int c) {
                const uint32_t sc = byteAt(s, c), dc = byteAt(d, c);
                const uint32_t a = md[dc], b = ms[sc];
                return sc + dc - (darken ? std::max(a, b) : std::min(a, b));
            },
            sA + dA - ms[sA]);
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

bool isJavaRule(int32_t rule) {
    return rule >= 1 && rule <= 26;
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

bool ruleChangesDestination(int32_t rule) {
    switch (rule) {
        case COMPOSE_SOURCE_OVER:
        case COMPOSE_SOURCE_IN:
        case COMPOSE_SOURCE_OUT:
        case COMPOSE_SOURCE_ATOP:
        case COMPOSE_XOR:
        case COMPOSE_MULTIPLY:
        case COMPOSE_SCREEN:
        case COMPOSE_DARKEN:
        case COMPOSE_LIGHTEN:
            return true;
        default:
            return !isJavaRule(rule);
    }
}

void composeByRule(int32_t rule, const uint32_t* source, int64_t sourcePixels,
                   PixelRegion sourceRegion, uint32_t* destination, int64_t destinationPixels,
                   PixelRegion destinationRegion) {
    if (!isJavaRule(rule)) rule = COMPOSE_SOURCE_OVER;
    auto run = [&](auto blend) {
        blendRegions(blend, source, sourcePixels, sourceRegion, destination, destinationPixels,
                     destinationRegion);
    };
    switch (rule) {
        case COMPOSE_SOURCE_OVER:
            return run(SourceOver{});
        case COMPOSE_SOURCE_IN:
            return run(SourceIn{});
        case COMPOSE_SOURCE_OUT:
            return run(SourceOut{});
        case COMPOSE_SOURCE_ATOP:
            return run(SourceAtop{});
        case COMPOSE_XOR:
            return run(Xor{});
        case COMPOSE_MULTIPLY:
            return run(Multiply{});
        case COMPOSE_SCREEN:
            return run(Screen{});
        case COMPOSE_DARKEN:
            return run(DarkenOrLighten<true>{});
        case COMPOSE_LIGHTEN:
            return run(DarkenOrLighten<false>{});
        default:
            return;  // the rule leaves the destination unchanged
    }
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
