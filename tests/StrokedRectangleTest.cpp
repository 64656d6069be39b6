// The outline of a stroked rectangle made without the stroker must cover
// exactly what AGG's stroker (miter joins) and rasteriser cover: same rows,
// spans and covers, for rectangles running either way from any corner, with
// and without a last point back at the first, at random and at half-step
// sub-pixel places, cut by random clip boxes, under both fill rules. Where
// it declines, the stroker draws as before.
#include "RectanglePath.h"
#include "SweepText.h"
#include "context/StrokedRectangle.h"
#include "coverage/Rasterizer.h"
#include "coverage/RectilinearCoverage.h"

#include <gtest/gtest.h>

#include <agg_conv_stroke.h>
#include <agg_path_storage.h>
#include <agg_scanline_u.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>

namespace lumo {
namespace {

template <class Sweep>
std::string sweepAll(Sweep& sweep) {
    agg::scanline_u8 sl;
    return test::sweepAll(sweep, sl);
}

double uniform(std::mt19937& random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

// Random places, or places on a grid of 1/512 or 1/4 pixel, where half
// the width can land a side right on a rounding boundary.
double place(std::mt19937& random, double low, double high) {
    const double v = uniform(random, low, high);
    switch (random() % 4) {
        case 0:
            return std::floor(v * 512) / 512;
        case 1:
            return std::floor(v * 4) / 4;
        default:
            return v;
    }
}

TEST(StrokedRectangle, CoversWhatTheStrokerAndRasteriserCover) {
    std::mt19937 random(4242);
    int taken = 0, declined = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        const double x = place(random, -10, 60), y = place(random, -10, 60);
        const double w = place(random, 0.1, 40), h = place(random, 0.1, 40);
        const double width =
            random() % 3 == 0 ? std::floor(uniform(random, 1, 8)) / 2 : uniform(random, 0.05, 8);
        const int start = int(random() % 4);
        const bool clockwise = random() % 2 == 0, repeatFirst = random() % 2 == 0;
        agg::path_storage path;
        test::addRectangle(path, x, y, w, h, start, clockwise, false);
        if (repeatFirst) {
            double firstX, firstY;
            path.vertex(0, &firstX, &firstY);
            path.line_to(firstX, firstY);
        }
        path.close_polygon();
        const agg::rect_d clip = random() % 3 == 0
                                     ? agg::rect_d(place(random, -5, 20), place(random, -5, 20),
                                                   place(random, 20, 70), place(random, 20, 70))
                                     : agg::rect_d(0, 0, 64, 48);
        const agg::filling_rule_e rule = trial % 2 ? agg::fill_even_odd : agg::fill_non_zero;

        StrokedRectangle outline;
        if (!outline.set(path, width, clip)) {
            ++declined;
            continue;
        }
        ++taken;
        RectilinearCoverage coverage;
        ASSERT_TRUE(coverage.set(outline, clip, rule)) << "trial " << trial;

        agg::conv_stroke<agg::path_storage> stroke(path);
        stroke.width(width);
        stroke.line_join(agg::miter_join);
        stroke.miter_limit(1.5);
        Rasterizer rasterizer;
        rasterizer.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
        rasterizer.filling_rule(rule);
        rasterizer.add_path(stroke);
        const std::string expected = sweepAll(rasterizer);
        ASSERT_EQ(sweepAll(coverage), expected) << "trial " << trial << ": " << x << " " << y << " "
                                                << w << " " << h << " width " << width;
        // Its two rectangles handed to the coverage straight, as strokes take them.
        RectilinearCoverage direct;
        direct.begin(clip, rule);
        ASSERT_TRUE(direct.addRectangle(outline.outer(), true) &&
                    direct.addRectangle(outline.inner(), false) && direct.end());
        ASSERT_EQ(sweepAll(direct), expected) << "trial " << trial << ", rectangles";
    }
    // Small rectangles and wide strokes are declined (the inner corners may
    // not take their miters), and a few places near rounding boundaries.
    EXPECT_GT(taken, 8000);
    EXPECT_GT(declined, 1000);
}

// The rectangle at (x, y), w x h, clockwise from its top left, closed or left open.
void addRectangle(agg::path_storage& path, double x, double y, double w, double h, bool close) {
    test::addRectangle(path, x, y, w, h, 0, true, close);
}

TEST(StrokedRectangle, OtherCentreLinesAreDeclined) {
    const agg::rect_d clip(0, 0, 64, 64);
    StrokedRectangle outline;
    agg::path_storage open;
    addRectangle(open, 10.3, 10.3, 20, 20, false);
    EXPECT_FALSE(outline.set(open, 2, clip));  // not closed: caps
    agg::path_storage slanted;
    slanted.move_to(10.3, 10.3);
    slanted.line_to(30.3, 10.3);
    slanted.line_to(31.3, 30.3);
    slanted.line_to(10.3, 30.3);
    slanted.close_polygon();
    EXPECT_FALSE(outline.set(slanted, 2, clip));
    agg::path_storage two;
    for (double at : {10.3, 40.3}) addRectangle(two, at, at, 10, 10, true);
    EXPECT_FALSE(outline.set(two, 2, clip));
    agg::path_storage square;
    addRectangle(square, 10.3, 10.3, 10, 10, true);
    EXPECT_TRUE(outline.set(square, 2, clip));
    EXPECT_FALSE(outline.set(square, 6, clip));  // wider than half the side
    EXPECT_FALSE(outline.set(square, std::nan(""), clip));
    // The outline's left side on the clip box's.
    EXPECT_FALSE(outline.set(square, 0.6, agg::rect_d(10, 0, 64, 64)));
}

}  // namespace
}  // namespace lumo
