#include "ops/PixelRegion.h"

#include <gtest/gtest.h>

#include <climits>

namespace lumo {
namespace {

void expectRect(const PixelRegion& r, int x, int y, int w, int h) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, w);
    EXPECT_EQ(r.height, h);
}

TEST(PixelRegion, RectanglesAreCutToTheirLayout) {
    PixelRegion r{-3, 8, 10, 10, 20, 12};
    ASSERT_TRUE(fitRegion(r, 240));
    expectRect(r, 0, 8, 7, 4);

    PixelRegion inside{2, 3, 4, 5, 10, 10};
    ASSERT_TRUE(fitRegion(inside, 100));
    expectRect(inside, 2, 3, 4, 5);

    // Nothing left, or a layout larger than the memory.
    PixelRegion beyond{10, 0, 5, 5, 10, 10};
    EXPECT_FALSE(fitRegion(beyond, 100));
    PixelRegion negative{0, 0, -1, 5, 10, 10};
    EXPECT_FALSE(fitRegion(negative, 100));
    PixelRegion tooBig{0, 0, 1, 1, 10, 11};
    EXPECT_FALSE(fitRegion(tooBig, 100));
    PixelRegion negativeLayout{0, 0, 1, 1, -10, -10};
    EXPECT_FALSE(fitRegion(negativeLayout, 100));
    PixelRegion overflowing{INT_MAX, INT_MAX, INT_MAX, INT_MAX, 10, 10};
    EXPECT_FALSE(fitRegion(overflowing, 100));
    PixelRegion huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX, 10, 10};
    EXPECT_FALSE(fitRegion(huge, 100));
}

TEST(PixelRegion, PairsKeepTheirPixelsPaired) {
    // Common size 4 x 10; the source starts two columns left of its memory,
    // so both lose their first two columns.
    PixelRegion s{-2, 0, 10, 10, 8, 10};
    PixelRegion d{5, 1, 4, 20, 10, 12};
    ASSERT_TRUE(fitRegionPair(s, 80, d, 120));
    expectRect(s, 0, 0, 2, 10);
    expectRect(d, 7, 1, 2, 10);

    // The destination's bottom cuts both.
    PixelRegion s2{0, 0, 10, 10, 10, 10};
    PixelRegion d2{0, 7, 10, 10, 10, 10};
    ASSERT_TRUE(fitRegionPair(s2, 100, d2, 100));
    expectRect(s2, 0, 0, 10, 3);
    expectRect(d2, 0, 7, 10, 3);

    PixelRegion s3{0, 0, 10, 10, 10, 10};
    PixelRegion d3{0, 0, 10, 10, 10, 10};
    EXPECT_FALSE(fitRegionPair(s3, 99, d3, 100));
}

}  // namespace
}  // namespace lumo
