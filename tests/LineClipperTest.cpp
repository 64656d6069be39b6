// lumo's line clipper against AGG's rasterizer_sl_clip_dbl: the same lines in
// 24.8 fixed point, in the same order, for random runs of moves and lines
// whose points lie inside, on the edges of and beyond random clip boxes
// (reversed and empty ones included), with clipping switched off and boxes
// changed on the way; and closed polygons lying in the box, added in one
// step.
#include "coverage/LineClipper.h"

#include <gtest/gtest.h>

#include <agg_rasterizer_sl_clip.h>

#include <cmath>
#include <random>
#include <vector>

namespace lumo {
namespace {

struct LineRecorder {
    std::vector<int> lines;
    void line(int x1, int y1, int x2, int y2) { lines.insert(lines.end(), {x1, y1, x2, y2}); }
};

TEST(LineClipper, GivesAggsClippedLines) {
    std::mt19937 rng(9122026);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    size_t all = 0, polygons = 0;
    for (int round = 0; round < 20000; ++round) {
        const double x1 = std::floor(unit(rng) * 200 - 50), y1 = std::floor(unit(rng) * 200 - 50);
        const double w = pick(8) == 0 ? 0.0 : std::floor(unit(rng) * 300);
        const double h = pick(8) == 0 ? 0.0 : std::floor(unit(rng) * 300);
        const bool reversed = pick(4) == 0;
        const double bx1 = reversed ? x1 + w : x1, bx2 = reversed ? x1 : x1 + w;
        const double by1 = reversed ? y1 + h : y1, by2 = reversed ? y1 : y1 + h;
        const double edgesX[] = {x1, x1 + w}, edgesY[] = {y1, y1 + h};
        // Mostly inside, sometimes on an edge, sometimes beyond.
        auto point = [&](double from, double size, const double* edges) {
            switch (pick(6)) {
                case 0:
                    return edges[pick(2)];
                case 1:
                    return from + (unit(rng) * 3.0 - 1.0) * (size + 100.0);
                default:
                    return from + unit(rng) * size;
            }
        };
        agg::rasterizer_sl_clip_dbl expected;
        LineClipper actual;
        if (pick(6) != 0) {
            expected.clip_box(bx1, by1, bx2, by2);
            actual.clip_box(bx1, by1, bx2, by2);
        }
        LineRecorder want, got;
        const int commands = 1 + pick(40);
        for (int i = 0; i < commands; ++i) {
            const double x = point(x1, w, edgesX), y = point(y1, h, edgesY);
            if (i == 0 || pick(8) == 0) {
                expected.move_to(x, y);
                actual.move_to(x, y);
            } else if (pick(8) == 0) {
                // A closed polygon, in one step when it lies in the box.
                agg::point_d p[5] = {{x, y}};
                const unsigned n = 3 + unsigned(pick(3));
                for (unsigned k = 1; k < n; ++k)
                    p[k] = {point(x1, w, edgesX), point(y1, h, edgesY)};
                expected.move_to(p[0].x, p[0].y);
                for (unsigned k = 1; k <= n; ++k) expected.line_to(want, p[k % n].x, p[k % n].y);
                if (actual.closedPolygonInside(got, p, n)) {
                    ++polygons;
                } else {
                    actual.move_to(p[0].x, p[0].y);
                    for (unsigned k = 1; k <= n; ++k) actual.line_to(got, p[k % n].x, p[k % n].y);
                }
            } else {
                expected.line_to(want, x, y);
                actual.line_to(got, x, y);
            }
            if (pick(30) == 0) {
                expected.reset_clipping();
                actual.reset_clipping();
            } else if (pick(30) == 0) {
                // Another box, from a new start: AGG's clipper would keep
                // the last point's flags for the old one.
                expected.clip_box(by1, bx1, by2, bx2);
                actual.clip_box(by1, bx1, by2, bx2);
                expected.move_to(x, y);
                actual.move_to(x, y);
            }
        }
        ASSERT_EQ(want.lines, got.lines) << "round " << round;
        all += want.lines.size();
    }
    EXPECT_GT(all, 100000u);
    EXPECT_GT(polygons, 1000u);
}

}  // namespace
}  // namespace lumo
