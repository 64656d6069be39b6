#include "core/LookupTables.h"
#include "ops/BlurConstants.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

// The tables are filled by the load-time hook, before any test runs.

TEST(LookupTables, MultiplyIsTheRoundedProductEverywhere) {
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 256; ++j) {
            // Exact integer rounding of i * j / 255 (never a tie: 255 is odd).
            const int expected = (2 * i * j + 255) / 510;
            ASSERT_EQ(lookupTables.multiply[i][j], expected) << i << " x " << j;
        }
    }
    EXPECT_EQ(lookupTables.multiply[128][255], 128);
    EXPECT_EQ(lookupTables.multiply[128][128], 64);
}

TEST(LookupTables, UnpremultiplyInvertsMultiplyAndSaturates) {
    EXPECT_EQ(lookupTables.unpremultiply[0][77], 0);
    EXPECT_EQ(lookupTables.unpremultiply[128][64], 128);  // 64 * 255 / 128 = 127.5
    EXPECT_EQ(lookupTables.unpremultiply[128][128], 255);
    EXPECT_EQ(lookupTables.unpremultiply[128][200], 255);
    EXPECT_EQ(lookupTables.unpremultiply[255][37], 37);
    // Premultiplying and unpremultiplying an opaque-enough colour round-trips.
    for (int a = 128; a < 256; ++a) {
        for (int c = 0; c < 256; ++c) {
            const int back = lookupTables.unpremultiply[a][lookupTables.multiply[a][c]];
            ASSERT_LE(std::abs(back - c), 1) << "alpha " << a << " colour " << c;
        }
    }
}

TEST(LookupTables, SrgbCurvesAreSampledAndRoughlyInverse) {
    EXPECT_EQ(lookupTables.srgbToLinear[0], 0);
    EXPECT_EQ(lookupTables.srgbToLinear[255], 255);
    EXPECT_EQ(lookupTables.srgbToLinear[128], 55);
    EXPECT_EQ(lookupTables.linearToSrgb[55], 128);
    EXPECT_EQ(lookupTables.linearToSrgb[255], 255);
    EXPECT_EQ(lookupTables.linearToSrgb[1], 13);  // the curve is steep near black
    for (int i = 1; i < 256; ++i) {
        ASSERT_GE(lookupTables.srgbToLinear[i], lookupTables.srgbToLinear[i - 1]);
        ASSERT_GE(lookupTables.linearToSrgb[i], lookupTables.linearToSrgb[i - 1]);
    }
}

TEST(BlurConstants, AreSetAtLoad) {
    EXPECT_DOUBLE_EQ(blurConstants.sqrt2Pi, 2.5066282746310002);
    EXPECT_DOUBLE_EQ(blurConstants.boxScale, 1.8799712059732503);
}

}  // namespace
}  // namespace lumo
