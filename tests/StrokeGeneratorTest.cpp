// lumo's stroke generator against AGG's conv_stroke: the same commands and
// vertices, bit for bit, on random paths with every cap, join, inner join,
// width (negative ones included), miter limit and approximation scale; and
// on flattened curves, whose joins turn by small angles (round joins of no
// point between their ends, or of a few, sharing their ends' angles).
#include "geometry/CurveFlattener.h"
#include "geometry/StrokeGenerator.h"

#include "GeneratorPaths.h"

#include <gtest/gtest.h>

#include <agg_conv_curve.h>
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

TEST(StrokeGeneratorTest, GivesAggsVerticesOnFlattenedCurves) {
    std::mt19937 rng(9122027);
    const double flattening[] = {1.0, 0.25, 4.0};
    for (int round = 0; round < testing::sanitizedRounds(2000); ++round) {
        const auto path = randomPath(rng, true);
        const unsigned settings = rng();
        const double scale = flattening[rng() % 3];
        ListSource aggSource(path), lumoSource(path);
        agg::conv_curve<ListSource> aggCurve(aggSource);
        CurveFlattener<ListSource> lumoCurve(lumoSource);
        aggCurve.approximation_scale(scale);
        lumoCurve.approximation_scale(scale);
        agg::conv_stroke<agg::conv_curve<ListSource>> expected(aggCurve);
        StrokeGenerator<CurveFlattener<ListSource>> actual(lumoCurve);
        std::mt19937 a(settings), b(settings);
        configure(expected, a);
        configure(actual, b);
        ASSERT_EQ(record(expected, 1000000), record(actual, 1000000)) << "round " << round;
    }
}

}  // namespace
}  // namespace lumo
