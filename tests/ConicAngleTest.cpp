// The conic gradient's position without atan2 against the atan2 form it
// replaces: every point of a square around the centre, random points of every
// magnitude the span generator passes (below 2^30), and random points placed
// just beside the angles where the rounded position changes, where the two
// computations would part first.
#include "span/ConicAngle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace lumo {
namespace {

::testing::AssertionResult same(int64_t x, int64_t y) {
    const int64_t fast = conicAngle(x, y), reference = conicByAtan2(x, y);
    if (fast == reference) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "at (" << x << ", " << y << "): " << fast << " against atan2's " << reference;
}

TEST(ConicAngle, EqualsTheAtan2FormOnEveryPointOfASquare) {
    constexpr int64_t half = 1100;
    for (int64_t y = -half; y <= half; ++y) {
        for (int64_t x = -half; x <= half; ++x) ASSERT_TRUE(same(x, y));
    }
}

TEST(ConicAngle, EqualsTheAtan2FormOnRandomPointsOfEveryMagnitude) {
    std::mt19937_64 random(29);
    for (int round = 0; round < 3000000; ++round) {
        // A magnitude of 2^0 .. 2^30, then a point in that square.
        const int64_t limit = int64_t(1) << (random() % 31);
        std::uniform_int_distribution<int64_t> coordinate(-limit, limit);
        ASSERT_TRUE(same(coordinate(random), coordinate(random)));
    }
}

TEST(ConicAngle, EqualsTheAtan2FormBesideTheRoundingBoundaries) {
    std::mt19937_64 random(31);
    std::uniform_int_distribution<int> boundary(0, 4096);
    std::uniform_real_distribution<double> radius(1.0, double(int64_t(1) << 30));
    std::uniform_real_distribution<double> offset(-2e-9, 2e-9);
    for (int round = 0; round < 2000000; ++round) {
        // The position is k + 1/2 at the angle (k + 1/2) pi / 4096; the point
        // lands on the nearest whole coordinates a hair to either side.
        const double angle = (boundary(random) + 0.5) * agg::pi / 4096.0 + offset(random);
        const double r = radius(random);
        const int64_t x = std::llround(r * std::cos(angle));
        const int64_t y = std::llround(r * std::sin(angle));
        ASSERT_TRUE(same(x, y));
        ASSERT_TRUE(same(x, -y));
    }
}

}  // namespace
}  // namespace lumo
