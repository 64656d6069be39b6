// lumo's curve flattener against AGG's conv_curve (subdivision, its default
// settings): the same commands and vertices, bit for bit, on random paths of
// lines, quadratic and cubic segments (collinear, coinciding and huge ones
// included) at approximation scales from coarse to fine.
#include "geometry/CurveFlattener.h"

#include "GeneratorPaths.h"

#include <gtest/gtest.h>

#include <agg_conv_curve.h>

namespace lumo {
namespace {

using testing::ListSource;
using testing::randomPath;
using testing::record;

TEST(CurveFlattenerTest, GivesAggsVerticesOnRandomPaths) {
    std::mt19937 rng(9122026);
    const double scales[] = {1.0, 0.25, 4.0, 1e-3, 100.0};
    for (int round = 0; round < testing::sanitizedRounds(6000); ++round) {
        const auto path = randomPath(rng, true);
        const double scale = scales[rng() % 5];
        ListSource aggSource(path), lumoSource(path);
        agg::conv_curve<ListSource> expected(aggSource);
        CurveFlattener<ListSource> actual(lumoSource);
        if (scale != 1.0) {
            expected.approximation_scale(scale);
            actual.approximation_scale(scale);
        }
        const auto want = record(expected, 100000);
        ASSERT_EQ(want, record(actual, 100000)) << "round " << round << " scale " << scale;
        // Rewound, it flattens the same again.
        ASSERT_EQ(want, record(actual, 100000)) << "round " << round;
    }
}

}  // namespace
}  // namespace lumo
