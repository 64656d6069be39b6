// The dash budget decides from a cheap length bound whenever it can; the
// decision must be the one the exact (Euclidean) length gives, also for
// outlines whose dash count lands right at the budget.
#include "core/Ref.h"
#include "geometry/StrokeGeometry.h"
#include "geometry/StrokeStyle.h"

#include <agg_path_storage.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace lumo {
namespace {

bool exactDecision(agg::path_storage& path, const StrokeStyle& style, const agg::rect_d& clip) {
    const double dashes = polylineLength(path) / style.patternLength() * style.usedDashPairs();
    return dashes <= maxDashesPerDraw &&
           dashes * pointsPerDash(style, 1.0) <= maxDashPointsPerDraw &&
           dashes * cellsPerDash(style.width(), clip) <= maxDashCellsPerDraw;
}

TEST(DashBudget, DecidesAsTheEuclideanLengthAtTheBudgetsEdge) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-500.0, 500.0);
    const agg::rect_d clip(0, 0, 64, 64);
    int within = 0, beyond = 0;
    for (int round = 0; round < 40; ++round) {
        // Random polylines (taxicab length up to 1.41 times longer) and
        // axis-aligned ones, closed or not.
        agg::path_storage path;
        path.move_to(coordinate(random), coordinate(random));
        for (int i = 0; i < 30; ++i) {
            if (round % 3 == 0) {
                // Axis-aligned: both lengths agree, the bound decides alone.
                if (i % 2 == 0) {
                    path.line_to(coordinate(random), path.last_y());
                } else {
                    path.line_to(path.last_x(), coordinate(random));
                }
            } else {
                path.line_to(coordinate(random), coordinate(random));
            }
        }
        if (round % 2 == 1) path.close_polygon();
        const double length = polylineLength(path);
        // Dash lengths around the one that makes exactly maxDashesPerDraw
        // dashes, a few floats either way, and farther off.
        float at = float(length / maxDashesPerDraw / 2.0);
        for (float scale : {0.5f, 0.7f, 0.72f, 1.0f, 1.5f}) {
            float dash = at * scale;
            for (int step = 0; step < 6; ++step) dash = std::nextafter(dash, 0.0f);
            for (int step = 0; step < 12; ++step) {
                const float pattern[2] = {dash, dash};
                Ref<StrokeStyle> style(StrokeStyle::create(1, 0, 0, 10, pattern, 2, 0));
                ASSERT_TRUE(style && style->dashed());
                const bool expected = exactDecision(path, *style, clip);
                EXPECT_EQ(dashesWithinBudget(path, *style, 1.0, 1.0, clip), expected)
                    << "round " << round << " dash " << dash;
                (expected ? within : beyond) += 1;
                dash = std::nextafter(dash, 1e30f);
            }
        }
    }
    // Both sides of the edge were met.
    EXPECT_GT(within, 100);
    EXPECT_GT(beyond, 100);
}

}  // namespace
}  // namespace lumo

namespace lumo {
namespace {

// Round joins and caps keep AGG's approximation unless one draw would make
// more points than its budget; then they are made coarser, just enough.
TEST(RoundPointBudget, CoarsensOnlyBeyondTheBudget) {
    const auto pointsPerVertex = [](double width, double scale) {
        return 3.141592653589793 / roundStep(width * 0.5, scale) + 2.0;
    };
    for (int vertices : {10, 1000, 30000, 300000}) {
        agg::path_storage path;
        path.move_to(0, 0);
        for (int i = 1; i < vertices; ++i) path.line_to(i * 3.0, (i % 2) * 50.0);
        for (float width : {3.0f, 300.0f, 2e5f, 2e6f}) {
            for (int join : {0, 1}) {
                Ref<StrokeStyle> style(StrokeStyle::create(width, 0, join, 10, nullptr, 0, 0));
                ASSERT_TRUE(style);
                for (double scale : {1.0, 4.0}) {
                    const double usual = strokeApproximationScale(width, scale);
                    const double chosen = roundApproximationScale(path, *style, scale);
                    const double usualPoints = vertices * pointsPerVertex(width, usual);
                    if (join == 0 || usualPoints <= maxRoundPointsPerDraw) {
                        EXPECT_EQ(chosen, usual) << vertices << " " << width;
                    } else {
                        EXPECT_LT(chosen, usual) << vertices << " " << width;
                        EXPECT_LE(vertices * pointsPerVertex(width, chosen),
                                  maxRoundPointsPerDraw * 1.001)
                            << vertices << " " << width;
                        EXPECT_GE(vertices * pointsPerVertex(width, chosen),
                                  maxRoundPointsPerDraw * 0.9)
                            << vertices << " " << width;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace lumo
