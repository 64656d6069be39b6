// A solid colour blended straight from the coverage sweeps (SolidCoverageSink)
// must give the pixels that AGG's solid scan-line renderer gives for the same
// coverage through lumo's pixel format: for the rasteriser's random shapes
// (clip boxes reaching beyond the pixel buffer, both fill rules, the gammas),
// and for rectangles and stroked rectangles of the rectilinear coverage, whose
// alike rows reach the sink together; in random translucent and opaque
// colours over random premultiplied pixels. Small shapes also go through the
// small-shape sink (SmallSolidSink), and shapes of closed outlines inside the
// buffer through the group sink (GroupSolidSink).
#include "RasterizerShapes.h"

#include "blend/CompositePixelFormat.h"
#include "coverage/Rasterizer.h"
#include "coverage/RectilinearCoverage.h"
#include "render/GroupSolidSink.h"
#include "render/SmallSolidSink.h"
#include "render/SolidCoverageSink.h"

#include <gtest/gtest.h>

#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_gamma_functions.h>
#include <agg_path_storage.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace lumo {
namespace {

// Random premultiplied pixels, bottom row first as a pixel buffer keeps them.
struct Canvas {
    std::vector<uint8_t> bytes;
    RowBuffer rows;

    Canvas(int width, int height, std::mt19937& random) : bytes(size_t(width) * height * 4) {
        for (size_t i = 0; i < bytes.size(); i += 4) {
            const unsigned a = random() % 4 == 0 ? 255 : random() % 256;
            for (int c = 0; c < 3; ++c) bytes[i + c] = uint8_t(random() % (a + 1));
            bytes[i + 3] = uint8_t(a);
        }
        attach(width, height);
    }
    Canvas(const Canvas& other) : bytes(other.bytes) {
        attach(int(other.rows.width()), int(other.rows.height()));
    }

    void attach(int width, int height) {
        const int stride = width * 4;
        rows.attach(bytes.data(), unsigned(width), unsigned(height), -stride);
    }
};

agg::rgba8 randomColour(std::mt19937& random) {
    const unsigned a = random() % 3 == 0 ? 255 : 1 + random() % 254;
    return agg::rgba8(random() % 256, random() % 256, random() % 256, a);
}

// The reference: the coverage swept into a scan-line and AGG's solid renderer.
template <class Coverage>
void renderThroughScanlines(Coverage& coverage, Canvas& canvas, const agg::rgba8& colour) {
    CompositePixelFormat pixels(canvas.rows, CompositeRule::SrcOver, false);
    agg::renderer_base<CompositePixelFormat> base(pixels);
    agg::renderer_scanline_aa_solid<agg::renderer_base<CompositePixelFormat>> renderer(base);
    renderer.color(colour);
    agg::scanline_u8 sl;
    agg::render_scanlines(coverage, sl, renderer);
}

template <class Coverage>
void renderThroughSink(Coverage& coverage, Canvas& canvas, const agg::rgba8& colour) {
    SolidCoverageSink sink(canvas.rows, colour);
    coverage.sweepRows(sink);
    sink.finish();
}

// Through the small-shape sink, when the shape's box fits its window, taking
// the coverage's pieces or (columns) its whole rows of values; false when it
// does not fit.
bool renderThroughSmallSink(RectilinearCoverage& coverage, Canvas& canvas, const agg::rgba8& colour,
                            bool columns) {
    if (!coverage.rewind_scanlines() ||
        !SmallSolidSink::fits(canvas.rows, coverage.min_x(), coverage.max_x(), coverage.min_y(),
                              coverage.max_y())) {
        return false;
    }
    SmallSolidSink sink(canvas.rows, colour, coverage.min_x(),
                        coverage.max_x() - coverage.min_x() + 1);
    sink.prefetch(coverage.min_y(), coverage.max_y());
    if (columns) {
        coverage.sweepColumns(sink);
    } else {
        coverage.sweepRows(sink);
    }
    sink.finish();
    return true;
}

// The same for the rasteriser's shapes, by its rows of sums (columns) or its cells.
bool renderThroughSmallSink(Rasterizer& rasterizer, Canvas& canvas, const agg::rgba8& colour,
                            bool columns) {
    if (!rasterizer.fitsColumns(Rasterizer::kValueColumns) ||
        !SmallSolidSink::fits(canvas.rows, rasterizer.min_x(), rasterizer.max_x(),
                              rasterizer.min_y(), rasterizer.max_y())) {
        return false;
    }
    SmallSolidSink sink(canvas.rows, colour, rasterizer.min_x(),
                        rasterizer.max_x() - rasterizer.min_x() + 1);
    sink.prefetch(rasterizer.min_y(), rasterizer.max_y());
    if (columns) {
        rasterizer.sweepValues(sink);
    } else {
        rasterizer.sweepRows(sink);
    }
    sink.finish();
    return true;
}

// Through the group sink, when the shape lies in the buffer and the rasteriser takes it by
// groups; false when it does not.
bool renderThroughGroupSink(Rasterizer& rasterizer, Canvas& canvas, const agg::rgba8& colour) {
    if (!GroupSolidSink::fits(canvas.rows, rasterizer.min_x(), rasterizer.max_x(),
                              rasterizer.min_y(), rasterizer.max_y())) {
        return false;
    }
    GroupSolidSink sink(canvas.rows, colour);
    return rasterizer.sweepGroups(sink);
}
bool renderThroughGroupSink(RectilinearCoverage&, Canvas&, const agg::rgba8&) {
    return false;
}

template <class Coverage>
void renderThroughSmallSinkIfFits(Coverage& coverage, Canvas& canvas, const agg::rgba8& colour,
                                  bool columns, bool& fitted) {
    fitted = renderThroughSmallSink(coverage, canvas, colour, columns);
}

void expectSameBytes(const Canvas& expected, const Canvas& actual, const std::string& what) {
    size_t first = 0;
    while (first < expected.bytes.size() && expected.bytes[first] == actual.bytes[first]) ++first;
    ASSERT_EQ(first, expected.bytes.size()) << what << ": first difference at byte " << first;
}

// Returns whether the small-shape sink took the shape too; `grouped` (when given) tells
// whether the group sink did.
template <class Coverage>
bool expectSamePixels(Coverage& coverage, const Canvas& background, const agg::rgba8& colour,
                      const std::string& what, bool* grouped = nullptr) {
    Canvas expected(background), actual(background), small(background);
    renderThroughScanlines(coverage, expected, colour);
    renderThroughSink(coverage, actual, colour);
    expectSameBytes(expected, actual, what);
    Canvas groups(background);
    const bool tookGroups = renderThroughGroupSink(coverage, groups, colour);
    if (grouped != nullptr) *grouped = tookGroups;
    if (tookGroups) expectSameBytes(expected, groups, what + ", group sink");
    bool fitted;
    renderThroughSmallSinkIfFits(coverage, small, colour, false, fitted);
    if (fitted) expectSameBytes(expected, small, what + ", small-shape sink");
    Canvas columns(background);
    renderThroughSmallSinkIfFits(coverage, columns, colour, true, fitted);
    if (fitted) expectSameBytes(expected, columns, what + ", small-shape sink by columns");
    return fitted;
}

TEST(SolidCoverageSink, MatchesTheScanlineRendererOnRandomShapes) {
    std::mt19937 random(912);
    Rasterizer rasterizer;
    for (int i = 0; i < 400; ++i) {
        const test::RasterShape shape = test::randomRasterShape(random);
        rasterizer.forceLayout(i % 3 == 1, i % 3 == 2 ? 1 + i % 5 : 0);
        rasterizer.clip_box(shape.clip.x1, shape.clip.y1, shape.clip.x2, shape.clip.y2);
        rasterizer.filling_rule(shape.evenOdd ? agg::fill_even_odd : agg::fill_non_zero);
        if (shape.gamma == 2) {
            rasterizer.gamma(agg::gamma_power(1.7));
        } else {
            rasterizer.gamma(agg::gamma_none());
        }
        for (const auto& v : shape.vertices) rasterizer.add_vertex(v.x, v.y, v.cmd);
        // A buffer smaller or larger than the clip box, which may reach beyond it.
        const int width = 1 + int(random() % 300), height = 1 + int(random() % 300);
        const Canvas background(width, height, random);
        (void)expectSamePixels(rasterizer, background, randomColour(random),
                               "shape " + std::to_string(i) + " (" + shape.kind + ")");
        if (HasFatalFailure()) return;
    }
}

double uniform(std::mt19937& random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

// Rectangles, nested pairs and stroked outlines of random fractional size and
// place, some reaching beyond the buffer and the clip box.
// Sets the rectilinear coverage to the path, or to its outline stroked `width` wide with
// miter joins when width is not 0; false when the coverage does not take it.
bool setOutline(RectilinearCoverage& coverage, agg::path_storage& path, double width,
                const agg::rect_d& clip, agg::filling_rule_e rule) {
    if (width == 0) return coverage.set(path, clip, rule);
    agg::conv_stroke<agg::path_storage> stroke(path);
    stroke.width(width);
    stroke.line_join(agg::miter_join);
    return coverage.set(stroke, clip, rule);
}

TEST(SolidCoverageSink, MatchesTheScanlineRendererOnRectilinearShapes) {
    std::mt19937 random(2026);
    RectilinearCoverage coverage;
    int covered = 0;
    for (int i = 0; i < 3000; ++i) {
        // Some wider than the lanes a block of rows may write out.
        const int width = 1 + int(random() % (i % 7 == 0 ? 600 : 120));
        const int height = 1 + int(random() % 120);
        const double size = random() % 4 == 0 ? uniform(random, 0.01, 3) : uniform(random, 1, 140);
        const double x = uniform(random, -20, width + 5), y = uniform(random, -20, height + 5);
        const double w = size * uniform(random, 0.3, i % 7 == 0 ? 4 : 1.5), h = size;
        agg::path_storage path;
        path.move_to(x, y);
        path.line_to(x + w, y);
        path.line_to(x + w, y + h);
        path.line_to(x, y + h);
        path.close_polygon();
        if (i % 3 == 1) {
            // A second rectangle inside, in the other direction: a ring.
            const double inset = uniform(random, 0.1, size / 3);
            path.move_to(x + inset, y + inset);
            path.line_to(x + inset, y + h - inset);
            path.line_to(x + w - inset, y + h - inset);
            path.line_to(x + w - inset, y + inset);
            path.close_polygon();
        }
        const agg::rect_d clip = i % 4 == 0
                                     ? agg::rect_d(uniform(random, -5, 10), uniform(random, -5, 10),
                                                   width + 10, height + uniform(random, -10, 10))
                                     : agg::rect_d(0, 0, width, height);
        const agg::filling_rule_e rule = i % 5 == 0 ? agg::fill_even_odd : agg::fill_non_zero;
        if (!setOutline(coverage, path, i % 3 == 2 ? uniform(random, 0.2, 6) : 0, clip, rule)) {
            continue;
        }
        ++covered;
        const Canvas background(width, height, random);
        (void)expectSamePixels(coverage, background, randomColour(random),
                               "rectilinear shape " + std::to_string(i));
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(covered, 2000);
}

// Rectangles, rings and stroked rectangles a few pixels across at random
// sub-pixel places, some cut by the clip box or the buffer's edges, and
// nested ones under both fill rules, as the small-shape sink takes them.
TEST(SolidCoverageSink, SmallShapesMatchTheScanlineRenderer) {
    std::mt19937 random(8);
    RectilinearCoverage coverage;
    int fitted = 0;
    for (int i = 0; i < 6000; ++i) {
        const int width = 4 + int(random() % 40), height = 4 + int(random() % 40);
        const double w = uniform(random, 0.05, 15), h = uniform(random, 0.05, 15);
        const double x = uniform(random, -3, width - 2), y = uniform(random, -3, height - 2);
        agg::path_storage path;
        const bool clockwise = random() % 2 == 0;
        const double xs[4] = {x, x + w, x + w, x}, ys[4] = {y, y, y + h, y + h};
        for (int k = 0; k < 4; ++k) {
            const int c = clockwise ? k : 3 - k;
            if (k == 0) {
                path.move_to(xs[c], ys[c]);
            } else {
                path.line_to(xs[c], ys[c]);
            }
        }
        path.close_polygon();
        if (i % 4 == 1) {
            // Another rectangle overlapping or inside it, either way round.
            const double ix = x + uniform(random, -2, w), iy = y + uniform(random, -2, h);
            const double iw = uniform(random, 0.1, 8), ih = uniform(random, 0.1, 8);
            path.move_to(ix, iy);
            if (random() % 2 == 0) {
                path.line_to(ix, iy + ih);
                path.line_to(ix + iw, iy + ih);
                path.line_to(ix + iw, iy);
            } else {
                path.line_to(ix + iw, iy);
                path.line_to(ix + iw, iy + ih);
                path.line_to(ix, iy + ih);
            }
            path.close_polygon();
        }
        const agg::rect_d clip =
            i % 3 == 0 ? agg::rect_d(uniform(random, -2, 6), uniform(random, -2, 6),
                                     uniform(random, 6, width + 4), uniform(random, 6, height + 4))
                       : agg::rect_d(0, 0, width, height);
        const agg::filling_rule_e rule = i % 2 ? agg::fill_even_odd : agg::fill_non_zero;
        if (!setOutline(coverage, path, i % 4 == 2 ? uniform(random, 0.2, 4) : 0, clip, rule)) {
            continue;
        }
        const Canvas background(width, height, random);
        if (expectSamePixels(coverage, background, randomColour(random),
                             "small shape " + std::to_string(i))) {
            ++fitted;
        }
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(fitted, 3000);
}

// The rasteriser's random shapes (self-intersecting polygons, curves, ellipses, strokes and
// dashes) shrunk to a few pixels at random sub-pixel places, some wound hundreds of times
// over (sums beyond 16 bits, wrapping), some cut by the clip box or the buffer's edges,
// under both fill rules and the gammas, as the small-shape sink takes them from the grid.
TEST(SolidCoverageSink, SmallRasterizedShapesMatchTheScanlineRenderer) {
    std::mt19937 random(1909);
    Rasterizer rasterizer;
    int fitted = 0;
    for (int i = 0; i < 3000; ++i) {
        const test::RasterShape shape = test::randomRasterShape(random);
        double x1 = 1e300, y1 = 1e300, x2 = -1e300, y2 = -1e300;
        for (const auto& v : shape.vertices) {
            if (!agg::is_vertex(v.cmd)) continue;
            x1 = std::min(x1, v.x), y1 = std::min(y1, v.y);
            x2 = std::max(x2, v.x), y2 = std::max(y2, v.y);
        }
        if (x2 < x1) continue;
        const int width = 4 + int(random() % 30), height = 4 + int(random() % 30);
        const double size = uniform(random, 0.3, 17), scale = size / std::max(x2 - x1, y2 - y1);
        const double x = uniform(random, -3, width - 2), y = uniform(random, -3, height - 2);
        const int windings = i % 30 == 29 ? 1 + int(random() % 400) : 1;
        rasterizer.forceLayout(i % 11 == 5, i % 7 == 3 ? 1 + i % 4 : 0);
        const agg::rect_d clip =
            i % 3 == 0 ? agg::rect_d(uniform(random, -2, 6), uniform(random, -2, 6),
                                     uniform(random, 6, width + 4), uniform(random, 6, height + 4))
                       : agg::rect_d(0, 0, width, height);
        rasterizer.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
        rasterizer.filling_rule(shape.evenOdd ? agg::fill_even_odd : agg::fill_non_zero);
        if (shape.gamma == 2) {
            rasterizer.gamma(agg::gamma_power(1.7));
        } else {
            rasterizer.gamma(agg::gamma_none());
        }
        for (int k = 0; k < windings; ++k) {
            for (const auto& v : shape.vertices) {
                rasterizer.add_vertex(x + (v.x - x1) * scale, y + (v.y - y1) * scale, v.cmd);
            }
        }
        const Canvas background(width, height, random);
        if (expectSamePixels(rasterizer, background, randomColour(random),
                             "small shape " + std::to_string(i) + " (" + shape.kind + ")")) {
            ++fitted;
        }
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(fitted, 1200);
}

}  // namespace
}  // namespace lumo

namespace lumo {
namespace {

// A random polyline of `points` points in the box [0, width) x [0, height), some points
// repeated, and reaching `beyond` past the box.
void randomPolyline(agg::path_storage& path, std::mt19937& random, int points, int width,
                    int height, double beyond) {
    for (int k = 0; k < points; ++k) {
        const double x = uniform(random, -beyond, width + beyond);
        const double y = uniform(random, -beyond, height + beyond);
        if (k == 0) {
            path.move_to(x, y);
        } else {
            path.line_to(x, y);
        }
        if (random() % 16 == 0) path.line_to(x, y);
    }
    if (random() % 2 == 0) path.close_polygon();
}

// Thin strokes and dashes of random polylines across boxes up to hundreds of pixels wide
// (the outlines that touch a few pixels of many pixel groups in every row), some wound many
// times over, under both fill rules, gammas, clip boxes inside and beyond the buffer, in
// translucent and opaque colours: lumo's rasteriser through the sinks, the small-shape sink
// and the group sink must give the pixels that AGG's own rasteriser and solid scan-line
// renderer give.
TEST(SolidCoverageSink, ThinOutlinesMatchTheAggRasteriser) {
    std::mt19937 random(4417);
    Rasterizer rasterizer;
    // Shapes the group sink took, those of them at least 64 columns wide, and those
    // reaching the buffer's right or bottom edge.
    int grouped = 0, wide = 0, onEdges = 0;
    const agg::line_join_e joins[] = {agg::miter_join, agg::round_join, agg::bevel_join,
                                      agg::miter_join_revert, agg::miter_join_round};
    const agg::line_cap_e caps[] = {agg::butt_cap, agg::square_cap, agg::round_cap};
    for (int i = 0; i < 1500; ++i) {
        const int width = 1 + int(random() % (i % 4 == 0 ? 400 : 90));
        const int height = 1 + int(random() % 120);
        agg::path_storage path;
        randomPolyline(path, random, 2 + int(random() % 12), width, height,
                       i % 4 == 3 ? 4 : -std::min(3.0, std::min(width, height) / 3.0));
        agg::path_storage outline;
        const double strokeWidth = uniform(random, 0.2, i % 5 == 0 ? 8 : 3);
        auto style = [&](auto& stroke) {
            stroke.width(strokeWidth);
            stroke.line_join(joins[random() % 5]);
            stroke.line_cap(caps[random() % 3]);
        };
        if (i % 3 != 0) {
            agg::conv_dash<agg::path_storage> dash(path);
            dash.add_dash(uniform(random, 0.3, 12), uniform(random, 0.3, 8));
            if (random() % 2 == 0) dash.add_dash(uniform(random, 0.1, 4), uniform(random, 0.5, 4));
            dash.dash_start(uniform(random, 0, 10));
            agg::conv_stroke<agg::conv_dash<agg::path_storage>> stroke(dash);
            style(stroke);
            outline.concat_path(stroke);
        } else {
            agg::conv_stroke<agg::path_storage> stroke(path);
            style(stroke);
            outline.concat_path(stroke);
        }
        const agg::rect_d clip =
            i % 4 == 1 ? agg::rect_d(uniform(random, -3, width / 2.0), uniform(random, -3, 20),
                                     uniform(random, width / 2.0, width + 3), height + 3)
                       : agg::rect_d(0, 0, width, height);
        const agg::filling_rule_e rule = i % 6 == 5 ? agg::fill_even_odd : agg::fill_non_zero;
        const int windings = i % 13 == 7 ? 2 + int(random() % 300) : 1;
        const bool gamma = i % 17 == 3;
        const bool banded = i % 9 == 4;

        agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> reference;
        reference.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
        reference.filling_rule(rule);
        rasterizer.forceLayout(false, banded ? 1 + int(random() % 8) : 0);
        rasterizer.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
        rasterizer.filling_rule(rule);
        if (gamma) {
            reference.gamma(agg::gamma_power(1.7));
            rasterizer.gamma(agg::gamma_power(1.7));
        } else {
            rasterizer.gamma(agg::gamma_none());
        }
        for (int k = 0; k < windings; ++k) {
            reference.add_path(outline);
            rasterizer.add_path(outline);
        }
        const Canvas background(width, height, random);
        const agg::rgba8 colour = randomColour(random);
        Canvas expected(background);
        renderThroughScanlines(reference, expected, colour);
        bool tookGroups = false;
        const std::string what = "outline " + std::to_string(i);
        Canvas swept(background);
        renderThroughScanlines(rasterizer, swept, colour);
        expectSameBytes(expected, swept, what + ", lumo's rasteriser");
        (void)expectSamePixels(rasterizer, background, colour, what, &tookGroups);
        if (HasFatalFailure()) return;
        if (tookGroups) {
            ++grouped;
            if (rasterizer.max_x() - rasterizer.min_x() >= 64) ++wide;
            if (rasterizer.max_x() == width || rasterizer.max_y() == height) ++onEdges;
        }
    }
    EXPECT_GT(grouped, 900);
    EXPECT_GT(wide, 200);
    EXPECT_GT(onEdges, 150);
}

}  // namespace
}  // namespace lumo

namespace lumo {
namespace {

// Shapes cut short by the rasteriser's storage limit, inside the buffer: rows left unbalanced
// by the cut must not draw past the shape's columns through any sink.
TEST(SolidCoverageSink, CutShapesInsideTheBufferMatchTheScanlineRenderer) {
    std::mt19937 random(77);
    Rasterizer rasterizer;
    for (int i = 0; i < 2; ++i) {
        const int size = 120;
        rasterizer.clip_box(0, 0, size, size);
        rasterizer.filling_rule(i == 0 ? agg::fill_non_zero : agg::fill_even_odd);
        rasterizer.gamma(agg::gamma_none());
        rasterizer.move_to_d(60, 60);
        for (int k = 0; k < 150000; ++k) {
            rasterizer.line_to_d(uniform(random, 3, size - 20), uniform(random, 3, size - 3));
        }
        const Canvas background(size, size, random);
        bool grouped = false;
        (void)expectSamePixels(rasterizer, background, randomColour(random),
                               "cut shape " + std::to_string(i), &grouped);
        if (HasFatalFailure()) return;
        EXPECT_TRUE(rasterizer.cut());
        EXPECT_TRUE(grouped);
    }
}

}  // namespace
}  // namespace lumo
