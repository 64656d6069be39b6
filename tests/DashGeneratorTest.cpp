// lumo's dash generator against AGG's conv_dash: the same commands and
// vertices, bit for bit, on random paths with random patterns (zero-length
// dashes and gaps included) and start offsets of either sign.
#include "geometry/DashGenerator.h"

#include "GeneratorPaths.h"

#include <gtest/gtest.h>

#include <agg_conv_dash.h>

#include <algorithm>
#include <cmath>

namespace lumo {
namespace {

using testing::ListSource;
using testing::randomPath;
using testing::record;

template <class Dash>
void configure(Dash& dash, std::mt19937& rng, double extent) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const double scale = extent * (pick(2) ? 0.02 : 0.5);
    const int pairs = 1 + pick(pick(4) == 0 ? 18 : 3);
    double total = 0.0;
    for (int i = 0; i < pairs; ++i) {
        const double on = pick(5) == 0 ? 0.0 : unit(rng) * scale;
        const double off = pick(5) == 0 ? 0.0 : unit(rng) * scale;
        total += on + off;
        dash.add_dash(on, i == 0 && total == 0.0 ? 1.0 : off);
    }
    dash.dash_start(pick(3) == 0 ? 0.0 : (unit(rng) * 2.0 - 1.0) * 3.0 * scale);
}

TEST(DashGeneratorTest, GivesAggsVerticesOnRandomPaths) {
    std::mt19937 rng(12092026);
    for (int round = 0; round < testing::sanitizedRounds(20000); ++round) {
        const auto path = randomPath(rng, false);
        const unsigned settings = rng();
        double extent = 1e-3;
        for (const auto& v : path) extent = std::max({extent, std::fabs(v.x), std::fabs(v.y)});
        ListSource aggSource(path), lumoSource(path);
        agg::conv_dash<ListSource> expected(aggSource);
        DashGenerator<ListSource> actual(lumoSource);
        std::mt19937 a(settings), b(settings);
        configure(expected, a, extent);
        configure(actual, b, extent);
        // Twice: a negative start runs the pattern on across rewinds too.
        for (int pass = 0; pass < 2; ++pass) {
            ASSERT_EQ(record(expected, 200000), record(actual, 200000))
                << "round " << round << " pass " << pass;
        }
    }
}

}  // namespace
}  // namespace lumo
