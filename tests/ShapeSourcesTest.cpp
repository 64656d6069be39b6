#include "geometry/EllipseShape.h"
#include "geometry/LineShape.h"
#include "geometry/PieShape.h"
#include "geometry/RectShape.h"
#include "geometry/ShapeGeometry.h"

#include <agg_basics.h>
#include "doubles/ReadPath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace lumo {
namespace {

constexpr unsigned kMoveTo = agg::path_cmd_move_to;
constexpr unsigned kLineTo = agg::path_cmd_line_to;
constexpr unsigned kCurve4 = agg::path_cmd_curve4;
constexpr unsigned kClose = 0x4F;
constexpr unsigned kCloseCcw = 0x5F;
// Offset of the inner control points of a quarter circle of radius 1.
constexpr double kKappa = 0.5522847498307936;  // 4/3 * tan(pi/8)

using Vertex = test::PathVertex;
using test::readPath;

void expectVertex(const Vertex& v, unsigned cmd, double x, double y) {
    EXPECT_EQ(v.cmd, cmd);
    EXPECT_NEAR(v.x, x, 1e-9);
    EXPECT_NEAR(v.y, y, 1e-9);
}

TEST(ShapeSources, LineAndRectVisitTheirCornersAndRestartOnRewind) {
    LineShape line(1, 2, 3, 4);
    EXPECT_FALSE(line.has_curves());
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<Vertex> path = readPath(line);
        ASSERT_EQ(path.size(), 2u);
        expectVertex(path[0], kMoveTo, 1, 2);
        expectVertex(path[1], kLineTo, 3, 4);
    }

    RectShape rect(10, 20, 30, -5);
    EXPECT_FALSE(rect.has_curves());
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<Vertex> path = readPath(rect);
        ASSERT_EQ(path.size(), 5u);
        expectVertex(path[0], kMoveTo, 10, 20);
        expectVertex(path[1], kLineTo, 40, 20);
        expectVertex(path[2], kLineTo, 40, 15);
        expectVertex(path[3], kLineTo, 10, 15);
        EXPECT_EQ(path[4].cmd, kClose);
    }
}

TEST(ShapeSources, OvalIsFourCubicQuartersThenACounterClockwiseClose) {
    // Box (6, 18, 8, 4): centre (10, 20), radii 4 and 2.
    EllipseShape oval = ovalShape(6, 18, 8, 4);
    EXPECT_TRUE(oval.has_curves());
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<Vertex> path = readPath(oval);
        ASSERT_EQ(path.size(), 14u);
        expectVertex(path[0], kMoveTo, 14, 20);
        expectVertex(path[1], kCurve4, 14, 20 + 2 * kKappa);
        expectVertex(path[2], kCurve4, 10 + 4 * kKappa, 22);
        expectVertex(path[3], kCurve4, 10, 22);
        expectVertex(path[6], kCurve4, 6, 20);
        expectVertex(path[9], kCurve4, 10, 18);
        expectVertex(path[12], kCurve4, 14, 20);
        EXPECT_EQ(path[13].cmd, kCloseCcw);
    }
}

TEST(ShapeSources, PieRunsFromTheCentreAlongTheArcAndCloses) {
    // A quarter turn counter-clockwise on screen from three o'clock to twelve.
    PieShape pie = pieShape(0, 0, 100, 100, 0, 90);
    EXPECT_TRUE(pie.has_curves());
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<Vertex> path = readPath(pie);
        ASSERT_EQ(path.size(), 6u);
        expectVertex(path[0], kMoveTo, 50, 50);
        expectVertex(path[1], kLineTo, 100, 50);
        expectVertex(path[2], kCurve4, 100, 50 - 50 * kKappa);
        expectVertex(path[3], kCurve4, 50 + 50 * kKappa, 0);
        expectVertex(path[4], kCurve4, 50, 0);
        EXPECT_EQ(path[5].cmd, kClose);
    }

    // No extent: the arc degenerates to a line from the start point to itself.
    PieShape empty = pieShape(0, 0, 100, 100, 90, 0);
    const std::vector<Vertex> path = readPath(empty);
    ASSERT_EQ(path.size(), 4u);
    expectVertex(path[0], kMoveTo, 50, 50);
    expectVertex(path[1], kLineTo, 50, 100);
    expectVertex(path[2], kLineTo, 50, 100);
    EXPECT_EQ(path[3].cmd, kClose);
}

TEST(ShapeSources, OpenArcTurnsCounterClockwiseOnAYDownSurface) {
    // With y pointing down, angle 90 lies at the bottom of the circle and a
    // positive extent runs from there towards three o'clock.
    agg::bezier_arc arc = openArc(0, 0, 100, 100, 90, 90);
    const std::vector<Vertex> path = readPath(arc);
    ASSERT_EQ(path.size(), 4u);
    expectVertex(path[0], kMoveTo, 50, 100);
    expectVertex(path[1], kCurve4, 50 + 50 * kKappa, 100);
    expectVertex(path[2], kCurve4, 100, 50 + 50 * kKappa);
    expectVertex(path[3], kCurve4, 100, 50);
}

// The corner radii of a rounded rectangle whose top-left corner is at the
// origin: its path starts on the left edge at (0, ry) and the top-left arc
// ends on the top edge at (rx, 0).
void expectCornerRadii(agg::rounded_rect shape, double rx, double ry) {
    const std::vector<Vertex> path = readPath(shape);
    ASSERT_FALSE(path.empty());
    expectVertex(path[0], kMoveTo, 0, ry);
    for (const Vertex& v : path) {
        if (std::fabs(v.y) < 1e-9) {
            EXPECT_NEAR(v.x, rx, 1e-9);
            return;
        }
    }
    ADD_FAILURE() << "no vertex on the top edge";
}

TEST(ShapeSources, RoundRectFillClampsCornersToTheBoxButOutlineDoesNot) {
    expectCornerRadii(fillRoundRectShape(0, 0, 20, 10, 40, 40), 10, 5);
    expectCornerRadii(drawRoundRectShape(0, 0, 20, 10, 40, 40), 20, 20);
    // Negative arc sizes count by their magnitude.
    expectCornerRadii(fillRoundRectShape(0, 0, 20, 10, -8, -6), 4, 3);
    expectCornerRadii(drawRoundRectShape(0, 0, 20, 10, -8, -6), 4, 3);
    expectCornerRadii(fillRoundRectShape(0, 0, 20, 10, -40, -40), 10, 5);
}

}  // namespace
}  // namespace lumo
