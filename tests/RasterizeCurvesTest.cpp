// The one-loop fill route for curved paths (rasterizeCurves) against the chain
// of stages it replaces (CheckedSource -> CurveCuller -> CurveFlattener ->
// rasterizeSource): on random paths with curves, transforms, clip boxes
// inside and beyond the target or none, unusable and huge coordinates,
// curves cut short or without a move first and shapes cut at the edge
// store's limits, the rasteriser must hold the same lines in the same
// order, with the same bounds and cut, and the shape be drawn or not alike.
#include "coverage/RasterizeCurves.h"

#include "GeneratorPaths.h"
#include "coverage/RasterizeSource.h"
#include "geometry/CheckedSource.h"
#include "geometry/CurveCuller.h"
#include "geometry/CurveFlattener.h"
#include "geometry/TransformKind.h"
#include "geometry/TransformedSource.h"

#include <gtest/gtest.h>

#include <agg_trans_affine.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace lumo {
namespace {

using testing::ListSource;
using testing::PathVertex;

// A random curved path, roughened: now and then an unusable coordinate, a
// curve a hundred million pixels across, a curve cut short, a curve before
// any move, or a long zigzag of tall lines that exceeds the edge store's
// cell limit.
std::vector<PathVertex> roughPath(std::mt19937& rng) {
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    std::vector<PathVertex> path = testing::randomPath(rng, true);
    if (pick(3) == 0) {
        // Curves at a usual drawing's scale, so that most of them are small.
        std::uniform_real_distribution<double> near(-50.0, 300.0);
        for (int i = 0, n = 1 + pick(20); i < n; ++i) {
            const unsigned cmd = pick(2) ? agg::path_cmd_curve4 : agg::path_cmd_curve3;
            for (int c = cmd == agg::path_cmd_curve4 ? 3 : 2; c > 0; --c) {
                path.push_back({near(rng), near(rng), cmd});
            }
        }
    }
    if (pick(4) == 0) {
        path.insert(path.begin(),
                    {{3.5, 7.25, agg::path_cmd_curve3}, {-2.0, 9.0, agg::path_cmd_curve3}});
    }
    if (pick(6) == 0) {
        // Cut short: one point of a cubic, then a line.
        const size_t at = size_t(pick(int(path.size()) + 1));
        path.insert(path.begin() + long(at),
                    {{40.0, 40.0, agg::path_cmd_curve4}, {60.0, 10.0, agg::path_cmd_line_to}});
    }
    if (pick(8) == 0) {
        path.push_back({0.0, 0.0, agg::path_cmd_curve4});
        path.push_back({1e8, -3e7, agg::path_cmd_curve4});
        path.push_back({50.0, 60.0, agg::path_cmd_curve4});
    }
    if (pick(8) == 0) {
        const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(), 2 * maxEdgeCoordinate};
        PathVertex& v = path[size_t(pick(int(path.size())))];
        (pick(2) ? v.x : v.y) = bad[pick(3)];
    }
    if (pick(10) == 0) {
        for (int i = 0; i < 600; ++i) {
            path.push_back(
                {i % 2 ? 9000.0 : -9000.0, i % 2 ? 9000.0 : -9000.0, agg::path_cmd_line_to});
        }
    }
    return path;
}

agg::trans_affine randomTransform(std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    switch (rng() % 4) {
        case 0:
            return agg::trans_affine();
        case 1:
            return agg::trans_affine_translation(unit(rng) * 100, unit(rng) * 100);
        case 2:
            return agg::trans_affine_scaling(std::pow(10.0, unit(rng) * 2)) *
                   agg::trans_affine_translation(unit(rng) * 50, unit(rng) * 50);
        default:
            return agg::trans_affine(unit(rng) * 3, unit(rng) * 3, unit(rng) * 3, unit(rng) * 3,
                                     unit(rng) * 200, unit(rng) * 200);
    }
}

void expectSameLines(const SweepRasterizer& actual, const SweepRasterizer& expected, int round) {
    const EdgeStore& a = actual.edgeStore();
    const EdgeStore& e = expected.edgeStore();
    ASSERT_EQ(a.lines().size(), e.lines().size()) << "round " << round;
    for (size_t i = 0; i < a.lines().size(); ++i) {
        const EdgeStore::Line& la = a.lines()[i];
        const EdgeStore::Line& le = e.lines()[i];
        ASSERT_TRUE(la.x1 == le.x1 && la.y1 == le.y1 && la.x2 == le.x2 && la.y2 == le.y2)
            << "round " << round << ", line " << i;
    }
    EXPECT_EQ(a.cut(), e.cut()) << "round " << round;
    EXPECT_EQ(a.cellEstimate(), e.cellEstimate()) << "round " << round;
    EXPECT_EQ(a.minX(), e.minX()) << "round " << round;
    EXPECT_EQ(a.minY(), e.minY()) << "round " << round;
    EXPECT_EQ(a.maxX(), e.maxX()) << "round " << round;
    EXPECT_EQ(a.maxY(), e.maxY()) << "round " << round;
}

TEST(RasterizeCurves, AddsTheLinesOfTheChainOfStages) {
    std::mt19937 rng(20261209);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // Reused from shape to shape, as the pipeline reuses its rasteriser.
    SweepRasterizer actual, expected;
    int outcomes[3] = {};
    int cutShapes = 0;
    for (int round = 0; round < testing::sanitizedRounds(20000); ++round) {
        const std::vector<PathVertex> path = roughPath(rng);
        const agg::trans_affine matrix = randomTransform(rng);
        const TransformKind kind = classifyTransform(matrix);
        const bool clipped = rng() % 8 != 0;
        // Boxes inside a 256 px target, beyond it, or far wider.
        const double reach = round % 3 == 0 ? 256 : round % 3 == 1 ? 2000 : 40000;
        const double x1 = (unit(rng) - 0.3) * reach, y1 = (unit(rng) - 0.3) * reach;
        const agg::rect_d box(x1, y1, x1 + unit(rng) * reach, y1 + unit(rng) * reach);
        for (SweepRasterizer* r : {&actual, &expected}) {
            if (clipped) {
                r->clip_box(box.x1, box.y1, box.x2, box.y2);
            } else {
                r->reset_clipping();
            }
            r->filling_rule(rng() % 2 ? agg::fill_even_odd : agg::fill_non_zero);
        }

        ListSource list(path);
        TransformedSource<ListSource> source(list, matrix, kind);
        CurveSubdivision subdivision;
        const CurveFill result = rasterizeCurves(actual, source, subdivision);
        ++outcomes[int(result)];

        ListSource chainList(path);
        TransformedSource<ListSource> chainSource(chainList, matrix, kind);
        CheckedSource<TransformedSource<ListSource>> checked(chainSource, maxEdgeCoordinate);
        const agg::rect_d cull(box.x1 - 1, box.y1 - 1, box.x2 + 1, box.y2 + 1);
        CurveCuller<CheckedSource<TransformedSource<ListSource>>> culled(checked, cull);
        CurveFlattener<CurveCuller<CheckedSource<TransformedSource<ListSource>>>> flattened(culled);
        const bool drawn = rasterizeSource(expected, flattened) && !checked.faulty();

        if (result == CurveFill::IRREGULAR) continue;
        ASSERT_EQ(result == CurveFill::ADDED, drawn) << "round " << round;
        if (!drawn) continue;
        // The closing lines the sweep would add come from the same state.
        actual.close_polygon();
        expected.close_polygon();
        expectSameLines(actual, expected, round);
        if (expected.edgeStore().cut()) ++cutShapes;
    }
    // Each way out is taken, most shapes by the route itself.
    EXPECT_GT(outcomes[int(CurveFill::ADDED)], testing::sanitizedRounds(20000) / 2);
    EXPECT_GT(outcomes[int(CurveFill::UNUSABLE)], 100);
    EXPECT_GT(outcomes[int(CurveFill::IRREGULAR)], 100);
    EXPECT_GT(cutShapes, 10);
}

}  // namespace
}  // namespace lumo
