// lumo's curve flattener against AGG's conv_curve (subdivision, its default
// settings): the same commands and vertices, bit for bit, on random paths of
// lines, quadratic and cubic segments (collinear, coinciding and huge ones
// included) at approximation scales from coarse to fine, read vertex by vertex or with each
// curve's lines drained at once.
#include "geometry/CurveFlattener.h"

#include "GeneratorPaths.h"

#include <gtest/gtest.h>

#include <agg_conv_curve.h>

#include <cstring>
#include <vector>

namespace lumo {
namespace {

using testing::ListSource;
using testing::randomPath;
using testing::record;
using testing::recordCommand;

// As record(), but taking the rest of each curve's lines from drainLines after every
// command, as the rasteriser reads a flattened path; cut at the same length as record().
template <class Source>
std::vector<uint64_t> recordDrained(CurveFlattener<Source>& source, size_t limit) {
    std::vector<uint64_t> out;
    bool done = false;
    // Records a command and its point as record() does; false once it stops.
    auto push = [&](unsigned cmd, double x, double y) {
        if (done) return false;
        if (!recordCommand(out, cmd, x, y, limit)) return !(done = true);
        return true;
    };
    source.rewind(0);
    while (!done) {
        double x = 0.0, y = 0.0;
        const unsigned cmd = source.vertex(&x, &y);
        if (!push(cmd, x, y)) break;
        source.drainLines([&](double lx, double ly) { push(agg::path_cmd_line_to, lx, ly); });
    }
    return out;
}

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
        // Rewound, it flattens the same again, also when the curves' lines are drained.
        ASSERT_EQ(want, record(actual, 100000)) << "round " << round;
        ASSERT_EQ(want, recordDrained(actual, 100000)) << "round " << round << ", drained";
    }
}

}  // namespace
}  // namespace lumo
