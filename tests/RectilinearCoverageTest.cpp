// The rectilinear coverage must hand the scan-line renderers exactly what the
// rasteriser would: same rows, spans and covers, for fractional, clipped,
// tiny, reversed and nested rectangles and other shapes of horizontal and
// vertical edges, under both fill rules.
#include "RectanglePath.h"
#include "SweepText.h"
#include "coverage/Rasterizer.h"
#include "coverage/RectilinearCoverage.h"

#include <gtest/gtest.h>

#include <agg_conv_stroke.h>
#include <agg_path_storage.h>
#include <agg_scanline_bin.h>
#include <agg_scanline_u.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace lumo {
namespace {

using test::sweepAll;

// What sweepRows hands over, written out as sweepAll writes a sweep: each run
// of alike rows is put through a scan-line once per row.
class RowWriter {
public:
    explicit RowWriter(RectilinearCoverage& coverage) {
        sl_.reset(coverage.min_x(), coverage.max_x());
    }

    void rows(int y, int count) {
        finish();
        y_ = y;
        count_ = count;
    }
    void add_cell(int x, unsigned cover) { pieces_.push_back({x, 0, cover}); }
    void add_span(int x, unsigned len, unsigned cover) { pieces_.push_back({x, len, cover}); }
    void finish() {
        for (int y = y_; y < y_ + count_; ++y) {
            sl_.reset_spans();
            for (const Piece& p : pieces_) {
                if (p.len == 0) {
                    sl_.add_cell(p.x, p.cover);
                } else {
                    sl_.add_span(p.x, p.len, p.cover);
                }
            }
            if (sl_.num_spans() == 0) continue;
            sl_.finalize(y);
            out_ << "y" << sl_.y() << ":";
            auto span = sl_.begin();
            for (unsigned i = 0; i < sl_.num_spans(); ++i, ++span) {
                out_ << " " << span->x << "[" << span->len << ":";
                for (int k = 0; k < span->len; ++k) {
                    out_ << (k ? "," : "") << unsigned(span->covers[k]);
                }
                out_ << "]";
            }
            out_ << "\n";
        }
        pieces_.clear();
        count_ = 0;
    }
    std::string text() const { return out_.str(); }

private:
    struct Piece {
        int x;
        unsigned len, cover;
    };
    agg::scanline_u8 sl_;
    std::vector<Piece> pieces_;
    int y_ = 0, count_ = 0;
    std::ostringstream out_;
};

template <class Source>
std::string viaRasterizer(Source& path, const agg::rect_d& clip, agg::filling_rule_e rule) {
    Rasterizer ras;
    ras.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
    ras.filling_rule(rule);
    ras.add_path(path);
    agg::scanline_u8 sl;
    return sweepAll(ras, sl);
}

// The coverage's scan-lines, or "refused" when it leaves the shape to the
// rasteriser.
template <class Source>
std::string viaCoverage(Source& path, const agg::rect_d& clip, agg::filling_rule_e rule) {
    RectilinearCoverage coverage;
    if (!coverage.set(path, clip, rule)) return "refused";
    agg::scanline_u8 sl;
    const std::string swept = sweepAll(coverage, sl);
    // Handed over by runs of alike rows, the same rows.
    if (coverage.rewind_scanlines()) {
        RowWriter rows(coverage);
        coverage.sweepRows(rows);
        rows.finish();
        EXPECT_EQ(rows.text(), swept);
    }
    return swept;
}

using test::addRectangle;

class Shapes {
public:
    explicit Shapes(unsigned seed) : random_(seed) {}

    // Whole, half and quarter pixels, and arbitrary positions.
    double snap(double v) {
        switch (pick(8)) {
            case 0:
                return std::floor(v);
            case 1:
                return std::floor(v) + 0.5;
            case 2:
                return std::floor(v * 4) / 4;
            default:
                return v;
        }
    }
    double uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random_);
    }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    // One to three rectangles, nested, overlapping or apart, or a staircase;
    // sometimes with a slanted triangle wholly left of x = 0 (the clipper
    // makes its edges vertical) or with corners off by rounding noise.
    void make(agg::path_storage& path) {
        if (pick(4) == 0) {
            const double x = -uniform(0, 30), y = uniform(-10, 40);
            path.move_to(x, y);
            path.line_to(x - uniform(0, 9), y + uniform(-20, 20));
            path.line_to(x - uniform(0, 9), y + uniform(-20, 20));
            path.close_polygon();
        }
        if (pick(4) == 0) {
            staircase(path);
        } else {
            rectangles(path);
        }
        if (pick(4) == 0) {
            for (unsigned i = 0; i < path.total_vertices(); ++i) {
                double x, y;
                const unsigned cmd = path.vertex(i, &x, &y);
                if (agg::is_vertex(cmd)) {
                    path.modify_vertex(i, x + uniform(-1e-11, 1e-11), y + uniform(-1e-11, 1e-11));
                }
            }
        }
    }

    void rectangles(agg::path_storage& path) {
        const int count = 1 + pick(3);
        for (int i = 0; i < count; ++i) {
            const double w = pick(5) == 0 ? uniform(0, 1.5) : snap(uniform(0, 40));
            const double h = pick(7) == 0 ? uniform(0, 1.5) : snap(uniform(0, 40));
            addRectangle(path, snap(uniform(-20, 50)), snap(uniform(-20, 50)), w, h, pick(4),
                         pick(2) == 0);
        }
    }

    agg::rect_d clip() {
        if (pick(3) == 0) return agg::rect_d(0, 0, 40, 30);
        return agg::rect_d(snap(uniform(0, 10)), snap(uniform(0, 10)), snap(uniform(10, 50)),
                           snap(uniform(10, 50)));
    }

private:
    void staircase(agg::path_storage& path) {
        double x = snap(uniform(-5, 20)), y = snap(uniform(-5, 20));
        path.move_to(x, y);
        const int steps = 1 + pick(4);
        for (int i = 0; i < steps; ++i) {
            x += snap(uniform(0.1, 8));
            path.line_to(x, y);
            y += snap(uniform(0.1, 8));
            path.line_to(x, y);
        }
        double x0, y0;
        path.vertex(0, &x0, &y0);
        path.line_to(x0, y);
        path.close_polygon();
    }

    std::mt19937 random_;
};

TEST(RectilinearCoverage, MatchesTheRasteriserOnRandomShapes) {
    Shapes shapes(20261208);
    int refused = 0;
    constexpr int trials = 20000;
    for (int trial = 0; trial < trials; ++trial) {
        agg::path_storage path;
        shapes.make(path);
        const agg::rect_d clip = shapes.clip();
        const auto rule = trial % 2 ? agg::fill_even_odd : agg::fill_non_zero;
        const std::string taken = viaCoverage(path, clip, rule);
        if (taken == "refused") {
            ++refused;
            continue;
        }
        ASSERT_EQ(taken, viaRasterizer(path, clip, rule))
            << "trial " << trial << ", clip " << clip.x1 << " " << clip.y1 << " " << clip.x2 << " "
            << clip.y2;
    }
    // Only too many edges, or noise across a rounding boundary, are refused.
    EXPECT_LT(refused, trials / 20);
}

// Clip boxes that start above and left of the origin: the first rows are
// negative, and each is worked out afresh rather than taken from the shape
// before.
TEST(RectilinearCoverage, NegativeRowsMatchTheRasteriser) {
    Shapes shapes(1209);
    int taken = 0;
    for (int trial = 0; trial < 4000; ++trial) {
        agg::path_storage path;
        shapes.make(path);
        const agg::rect_d box = shapes.clip();
        const agg::rect_d clip(box.x1 - 12, box.y1 - 12, box.x2, box.y2);
        const std::string covered = viaCoverage(path, clip, agg::fill_non_zero);
        if (covered == "refused") continue;
        ++taken;
        ASSERT_EQ(covered, viaRasterizer(path, clip, agg::fill_non_zero)) << "trial " << trial;
    }
    EXPECT_GT(taken, 3000);
}

TEST(RectilinearCoverage, FarAwayAndHugeRectanglesAreClippedAsTheRasteriserClipsThem) {
    const agg::rect_d clip(0, 0, 16, 16);
    const double cases[][4] = {{-1e9, -1e9, 2e9, 2e9},  {-1e120, 3.25, 1e140, 7.5},
                               {20, 2, 5, 5},           {-30, 2, 10, 5},
                               {3.3, -1e30, 4.1, 1e30}, {1.7, 1.7, 1e-3, 9},
                               {15.999, 15.999, 5, 5},  {-5, 16, 30, 2}};
    for (const auto& c : cases) {
        for (int start = 0; start < 4; ++start) {
            for (bool clockwise : {true, false}) {
                agg::path_storage path;
                addRectangle(path, c[0], c[1], c[2], c[3], start, clockwise);
                EXPECT_EQ(viaCoverage(path, clip, agg::fill_non_zero),
                          viaRasterizer(path, clip, agg::fill_non_zero))
                    << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
            }
        }
    }
}

// The outline AGG's stroker makes of a rectangle with mitred corners is two
// rectangles; those made with whole and half pixel widths are taken.
TEST(RectilinearCoverage, StrokedRectanglesMatchTheRasteriser) {
    const agg::rect_d clip(0, 0, 64, 64);
    for (double width : {1.0, 1.5, 3.0, 4.25}) {
        agg::path_storage path;
        addRectangle(path, 10.3, 12.7, 30.5, 20.25, 0, true);
        agg::conv_stroke<agg::path_storage> stroke(path);
        stroke.width(width);
        stroke.line_join(agg::miter_join);
        EXPECT_EQ(viaCoverage(stroke, clip, agg::fill_non_zero),
                  viaRasterizer(stroke, clip, agg::fill_non_zero))
            << width;
    }
}

TEST(RectilinearCoverage, AliasedScanLinesMatchToo) {
    agg::path_storage path;
    addRectangle(path, 2.3, 1.01, 9.4, 0.2, 1, false);
    const agg::rect_d clip(0, 0, 20, 20);
    RectilinearCoverage coverage;
    ASSERT_TRUE(coverage.set(path, clip, agg::fill_non_zero));
    Rasterizer ras;
    ras.clip_box(0, 0, 20, 20);
    ras.add_path(path);
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

TEST(RectilinearCoverage, SlantedEdgesAndManyEdgesAreLeftToTheRasteriser) {
    const agg::rect_d clip(0, 0, 10, 10);
    RectilinearCoverage coverage;
    agg::path_storage slanted;
    slanted.move_to(1, 1);
    slanted.line_to(5, 1);
    slanted.line_to(6, 5);
    slanted.line_to(2, 5);
    EXPECT_FALSE(coverage.set(slanted, clip, agg::fill_non_zero));
    EXPECT_FALSE(coverage.active());
    agg::path_storage many;
    for (int i = 0; i <= RectilinearCoverage::maxEdges / 2; ++i)
        addRectangle(many, i, i, 2, 2, 0, true);
    EXPECT_FALSE(coverage.set(many, clip, agg::fill_non_zero));
    agg::path_storage unusable;
    addRectangle(unusable, 1, 1, std::numeric_limits<double>::quiet_NaN(), 3, 0, true);
    EXPECT_FALSE(coverage.set(unusable, clip, agg::fill_non_zero));
}

}  // namespace
}  // namespace lumo
