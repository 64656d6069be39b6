// lumo's stroke generator against AGG's conv_stroke: the same commands and
// vertices, bit for bit, on random paths with every cap, join, inner join,
// width (negative ones included), miter limit and approximation scale.
#include "geometry/StrokeGenerator.h"

#include "GeneratorPaths.h"

#include <gtest/gtest.h>

#include <agg_conv_stroke.h>

namespace lumo {
namespace {

using testing::ListSource;
using testing::randomPath;
using testing::record;

template <class Stroke>
void configure(Stroke& stroke, std::mt19937& rng) {
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const double widths[] = {0.0, 0.01, 1.0, 3.5, 32.0, 1e3};
    const double limits[] = {0.0, 0.5, 1.0, 1.5, 4.0, 10.0, 1e3};
    const double scales[] = {1.0, 0.25, 3.0, 1e-4};
    stroke.width(widths[pick(6)] * (pick(3) == 0 ? -1.0 : 1.0));
    stroke.line_cap(agg::line_cap_e(pick(3)));
    stroke.line_join(agg::line_join_e(pick(2) ? 2 * pick(2) : pick(5)));
    stroke.inner_join(agg::inner_join_e(pick(3) == 0 ? pick(4) : agg::inner_miter));
    stroke.miter_limit(limits[pick(7)]);
    stroke.approximation_scale(scales[pick(4)]);
}

TEST(StrokeGeneratorTest, GivesAggsVerticesOnRandomPaths) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < testing::sanitizedRounds(20000); ++round) {
        const auto path = randomPath(rng, false);
        const unsigned settings = rng();
        ListSource aggSource(path), lumoSource(path);
        agg::conv_stroke<ListSource> expected(aggSource);
        StrokeGenerator<ListSource> actual(lumoSource);
        std::mt19937 a(settings), b(settings);
        configure(expected, a);
        configure(actual, b);
        const auto want = record(expected);
        ASSERT_EQ(want, record(actual)) << "round " << round;
        // A second pass over the same generator gives the same outline.
        ASSERT_EQ(want, record(actual)) << "round " << round;
    }
}

}  // namespace
}  // namespace lumo
