#include "geometry/CurveCuller.h"

#include <agg_path_storage.h>
#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

struct Step {
    unsigned cmd;
    double x, y;
};

template <class Source>
std::vector<Step> drain(Source& source) {
    std::vector<Step> steps;
    source.rewind(0);
    double x = 0, y = 0;
    unsigned cmd;
    while (!agg::is_stop(cmd = source.vertex(&x, &y))) steps.push_back({cmd, x, y});
    return steps;
}

TEST(CurveCuller, SmallCurvesAndLinesPassUnchanged) {
    agg::path_storage path;
    path.move_to(0, 0);
    path.curve4(10, 0, 20, 10, 20, 20);
    path.curve3(30, 30, 0, 40);
    path.line_to(-5, 3);
    path.close_polygon();
    CurveCuller<agg::path_storage> culled(path, agg::rect_d(0, 0, 8, 8));
    const std::vector<Step> expected = drain(path);
    const std::vector<Step> steps = drain(culled);
    ASSERT_EQ(steps.size(), expected.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].cmd, expected[i].cmd) << i;
        EXPECT_EQ(steps[i].x, expected[i].x) << i;
        EXPECT_EQ(steps[i].y, expected[i].y) << i;
    }
}

TEST(CurveCuller, HugeCurvesAwayFromTheBoxBecomeTheirControlPolygon) {
    agg::path_storage path;
    path.move_to(1e9, 0);
    path.curve4(2e9, 0, 2e9, 1e9, 1e9, 1e9);
    CurveCuller<agg::path_storage> culled(path, agg::rect_d(0, 0, 16, 16));
    const std::vector<Step> steps = drain(culled);
    ASSERT_EQ(steps.size(), 4u);
    for (size_t i = 1; i < 4; ++i) EXPECT_EQ(steps[i].cmd, unsigned(agg::path_cmd_line_to));
    EXPECT_EQ(steps[1].x, 2e9);
    EXPECT_EQ(steps[3].y, 1e9);
}

TEST(CurveCuller, HugeCurvesThroughTheBoxAreSplitNearIt) {
    // A quarter of a circle of radius 1e10 around the origin, from (r, 0) to
    // (0, r); only its far end comes near the box.
    const double r = 1e10, k = 0.5522847498 * r;
    agg::path_storage arc;
    arc.move_to(r, 0);
    arc.curve4(r - k, 0, 0, r - k, 0, r);  // ends at (0, r)
    CurveCuller<agg::path_storage> culled(arc, agg::rect_d(-1, r - 20, 20, r + 1));
    const std::vector<Step> steps = drain(culled);
    // Far pieces are polygons; the last pieces, near the box, stay curves and
    // still end exactly at the curve's end point.
    ASSERT_GT(steps.size(), 4u);
    ASSERT_LT(steps.size(), 2000u);
    EXPECT_EQ(steps[1].cmd, unsigned(agg::path_cmd_line_to));
    EXPECT_EQ(steps.back().cmd, unsigned(agg::path_cmd_curve4));
    EXPECT_EQ(steps.back().x, 0.0);
    EXPECT_EQ(steps.back().y, r);
    double previousX = r;
    for (size_t i = 1; i < steps.size(); ++i) {
        EXPECT_LE(steps[i].x, previousX + 1e-3 * r) << i;  // runs one way round
        previousX = steps[i].x;
    }
}

}  // namespace
}  // namespace lumo
