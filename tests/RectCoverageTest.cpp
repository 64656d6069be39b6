// The rectangle coverage must hand the scan-line renderers exactly what the
// rasteriser would: same rows, spans and covers, for fractional, clipped,
// tiny and reversed rectangles under both fill rules.
#include "context/RectCoverage.h"
#include "core/RenderTarget.h"

#include <gtest/gtest.h>

#include <agg_scanline_bin.h>
#include <agg_scanline_u.h>

#include <random>
#include <sstream>
#include <string>

namespace lumo {
namespace {

// Every scan-line a sweep yields, written out: row, then (x, covers) per span.
template <class Sweep, class Scanline>
std::string sweepAll(Sweep& sweep, Scanline& sl) {
    std::ostringstream out;
    if (!sweep.rewind_scanlines()) return out.str();
    sl.reset(sweep.min_x(), sweep.max_x());
    while (sweep.sweep_scanline(sl)) {
        out << "y" << sl.y() << ":";
        auto span = sl.begin();
        for (unsigned i = 0; i < sl.num_spans(); ++i, ++span) {
            out << " " << span->x << "[";
            for (int k = 0; k < span->len; ++k) out << (k ? "," : "") << unsigned(span->covers[k]);
            out << "]";
        }
        out << "\n";
    }
    return out.str();
}

std::string viaRasterizer(const double xs[4], const double ys[4], const agg::rect_d& clip,
                          agg::filling_rule_e rule) {
    Rasterizer ras;
    ras.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
    ras.filling_rule(rule);
    ras.move_to_d(xs[0], ys[0]);
    for (int i = 1; i < 4; ++i) ras.line_to_d(xs[i], ys[i]);
    agg::scanline_u8 sl;
    return sweepAll(ras, sl);
}

std::string viaCoverage(const double xs[4], const double ys[4], const agg::rect_d& clip,
                        agg::filling_rule_e rule) {
    RectCoverage coverage;
    EXPECT_TRUE(coverage.set(xs, ys, clip, rule));
    agg::scanline_u8 sl;
    return sweepAll(coverage, sl);
}

// A corner at (x, y), w x h, its four points starting at corner `start`
// (0..3 clockwise from the top left) and running clockwise or not.
void corners(double x, double y, double w, double h, int start, bool clockwise, double xs[4],
             double ys[4]) {
    const double cx[4] = {x, x + w, x + w, x}, cy[4] = {y, y, y + h, y + h};
    for (int i = 0; i < 4; ++i) {
        const int k = clockwise ? (start + i) % 4 : (start + 4 - i) % 4;
        xs[i] = cx[k];
        ys[i] = cy[k];
    }
}

TEST(RectCoverage, MatchesTheRasteriserOnRandomRectangles) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> position(-20, 60), extent(0, 40), tiny(0, 1.5);
    std::uniform_int_distribution<int> pick(0, 7);
    for (int trial = 0; trial < 20000; ++trial) {
        // Some coordinates on whole, half and quarter pixels, some arbitrary.
        auto snap = [&](double v) {
            switch (pick(random)) {
                case 0:
                    return std::floor(v);
                case 1:
                    return std::floor(v) + 0.5;
                case 2:
                    return std::floor(v * 4) / 4;
                default:
                    return v;
            }
        };
        const double w = trial % 5 == 0 ? tiny(random) : snap(extent(random));
        const double h = trial % 7 == 0 ? tiny(random) : snap(extent(random));
        double xs[4], ys[4];
        corners(snap(position(random)), snap(position(random)), w, h, pick(random) % 4,
                pick(random) % 2 == 0, xs, ys);
        const agg::rect_d clip =
            trial % 3 == 0 ? agg::rect_d(0, 0, 40, 30)
                           : agg::rect_d(snap(extent(random) / 4), snap(extent(random) / 4),
                                         snap(10 + extent(random)), snap(10 + extent(random)));
        const auto rule = trial % 2 ? agg::fill_even_odd : agg::fill_non_zero;
        ASSERT_EQ(viaCoverage(xs, ys, clip, rule), viaRasterizer(xs, ys, clip, rule))
            << "trial " << trial << ": (" << xs[0] << ", " << ys[0] << ") (" << xs[2] << ", "
            << ys[2] << ") clip " << clip.x1 << " " << clip.y1 << " " << clip.x2 << " " << clip.y2;
    }
}

TEST(RectCoverage, FarAwayAndHugeRectanglesAreClippedAsTheRasteriserClipsThem) {
    const agg::rect_d clip(0, 0, 16, 16);
    const double cases[][4] = {{-1e9, -1e9, 2e9, 2e9},  {-1e120, 3.25, 1e140, 7.5},
                               {20, 2, 5, 5},           {-30, 2, 10, 5},
                               {3.3, -1e30, 4.1, 1e30}, {1.7, 1.7, 1e-3, 9},
                               {15.999, 15.999, 5, 5},  {-5, 16, 30, 2}};
    for (const auto& c : cases) {
        for (int start = 0; start < 4; ++start) {
            for (bool clockwise : {true, false}) {
                double xs[4], ys[4];
                corners(c[0], c[1], c[2], c[3], start, clockwise, xs, ys);
                EXPECT_EQ(viaCoverage(xs, ys, clip, agg::fill_non_zero),
                          viaRasterizer(xs, ys, clip, agg::fill_non_zero))
                    << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
            }
        }
    }
}

TEST(RectCoverage, AliasedScanLinesMatchToo) {
    double xs[4], ys[4];
    corners(2.3, 1.01, 9.4, 0.2, 1, false, xs, ys);
    const agg::rect_d clip(0, 0, 20, 20);
    RectCoverage coverage;
    ASSERT_TRUE(coverage.set(xs, ys, clip, agg::fill_non_zero));
    Rasterizer ras;
    ras.clip_box(0, 0, 20, 20);
    ras.move_to_d(xs[0], ys[0]);
    for (int i = 1; i < 4; ++i) ras.line_to_d(xs[i], ys[i]);
    agg::scanline_bin a, b;
    ASSERT_TRUE(coverage.rewind_scanlines() && ras.rewind_scanlines());
    a.reset(coverage.min_x(), coverage.max_x());
    b.reset(ras.min_x(), ras.max_x());
    ASSERT_TRUE(coverage.sweep_scanline(a) && ras.sweep_scanline(b));
    EXPECT_EQ(a.y(), b.y());
    EXPECT_EQ(a.begin()->x, b.begin()->x);
    EXPECT_EQ(a.begin()->len, b.begin()->len);
    EXPECT_EQ(coverage.sweep_scanline(a), ras.sweep_scanline(b));
}

TEST(RectCoverage, OnlyAxisAlignedRectanglesAreTaken) {
    const agg::rect_d clip(0, 0, 10, 10);
    RectCoverage coverage;
    const double slantedX[4] = {1, 5, 6, 2}, slantedY[4] = {1, 1, 5, 5};
    EXPECT_FALSE(coverage.set(slantedX, slantedY, clip, agg::fill_non_zero));
    EXPECT_FALSE(coverage.active());
    const double crossedX[4] = {1, 5, 1, 5}, crossedY[4] = {1, 1, 5, 5};
    EXPECT_FALSE(coverage.set(crossedX, crossedY, clip, agg::fill_non_zero));
}

}  // namespace
}  // namespace lumo
