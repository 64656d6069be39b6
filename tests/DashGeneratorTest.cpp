// lumo's dash generator against AGG's conv_dash: the same commands and
// vertices, bit for bit, on random paths with random patterns (zero-length
// dashes and gaps included) and start offsets of either sign. And dashes
// cut to a clip box grown by the stroke's reach: stroked and rasterised under
// the clip box (through the generators, and in one loop with straight dashes
// added as quads), the same coverage as all dashes. And the outline of the
// dashes, made in one loop with straight dashes taken from their caps,
// against AGG's conv_stroke over conv_dash.
#include "geometry/DashGenerator.h"
#include "geometry/DashedOutline.h"

#include "coverage/RasterizeSource.h"
#include "coverage/Rasterizer.h"
#include "geometry/StrokeGenerator.h"
#include "geometry/StrokeGeometry.h"

#include "GeneratorPaths.h"

#include <gtest/gtest.h>

#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>

#include <algorithm>
#include <cmath>

namespace lumo {
namespace {

using testing::ListSource;
using testing::randomPath;
using testing::record;

template <class Dash>
void configure(Dash& dash, std::mt19937& rng, double extent) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const double scale = extent * (pick(2) ? 0.02 : 0.5);
    const int pairs = 1 + pick(pick(4) == 0 ? 18 : 3);
    double total = 0.0;
    for (int i = 0; i < pairs; ++i) {
        const double on = pick(5) == 0 ? 0.0 : unit(rng) * scale;
        const double off = pick(5) == 0 ? 0.0 : unit(rng) * scale;
        total += on + off;
        dash.add_dash(on, i == 0 && total == 0.0 ? 1.0 : off);
    }
    dash.dash_start(pick(3) == 0 ? 0.0 : (unit(rng) * 2.0 - 1.0) * 3.0 * scale);
}

TEST(DashGeneratorTest, GivesAggsVerticesOnRandomPaths) {
    std::mt19937 rng(12092026);
    for (int round = 0; round < testing::sanitizedRounds(20000); ++round) {
        const auto path = randomPath(rng, false);
        const unsigned settings = rng();
        double extent = 1e-3;
        for (const auto& v : path) extent = std::max({extent, std::fabs(v.x), std::fabs(v.y)});
        ListSource aggSource(path), lumoSource(path);
        agg::conv_dash<ListSource> expected(aggSource);
        DashGenerator<ListSource> actual(lumoSource);
        std::mt19937 a(settings), b(settings);
        configure(expected, a, extent);
        configure(actual, b, extent);
        // Twice: a negative start runs the pattern on across rewinds too.
        for (int pass = 0; pass < 2; ++pass) {
            ASSERT_EQ(record(expected, 200000), record(actual, 200000))
                << "round " << round << " pass " << pass;
        }
    }
}

template <class Stroke>
void configureStroke(Stroke& stroke, std::mt19937& rng, double extent) {
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const double widths[] = {0.0, 1e-3, 0.02, 0.3};
    const double limits[] = {0.0, 1.0, 1.5, 4.0, 1e3};
    stroke.width(widths[pick(4)] * extent * (pick(4) == 0 ? -1.0 : 1.0));
    // Mostly flat caps, which make most dashes straight.
    stroke.line_cap(agg::line_cap_e(pick(4) == 0 ? agg::round_cap : 2 * pick(2)));
    stroke.line_join(agg::line_join_e(pick(5)));
    stroke.inner_join(agg::inner_join_e(pick(3) == 0 ? pick(4) : agg::inner_miter));
    stroke.miter_limit(limits[pick(5)]);
    // Round caps and joins of a few dozen points at most.
    stroke.approximation_scale((pick(2) ? 10.0 : 100.0) / extent);
}

TEST(DashGeneratorTest, OutlineInOneLoopGivesAggsStrokedDashes) {
    std::mt19937 rng(9122026);
    constexpr size_t limit = 20000;
    size_t straight = 0, dashes = 0, outlines = 0, whole = 0;
    for (int round = 0; round < testing::sanitizedRounds(10000); ++round) {
        const auto path = randomPath(rng, false);
        const unsigned settings = rng();
        double extent = 1e-3;
        for (const auto& v : path) extent = std::max({extent, std::fabs(v.x), std::fabs(v.y)});
        ListSource aggSource(path), lumoSource(path);
        agg::conv_dash<ListSource> aggDashes(aggSource);
        agg::conv_stroke<agg::conv_dash<ListSource>> expected(aggDashes);
        DashGenerator<ListSource> lumoDashes(lumoSource);
        DashedOutline<ListSource> actual(lumoDashes);
        std::mt19937 a(settings), b(settings), c(settings);
        configure(aggDashes, a, extent);
        configure(lumoDashes, b, extent);
        // Skips patterns of too many dashes (zero-length dashes outline
        // nothing, so the outline's length would not bound their number).
        ListSource countSource(path);
        DashGenerator<ListSource> count(countSource);
        configure(count, c, extent);
        if (record(count, limit).size() > limit) continue;
        configureStroke(expected, a, extent);
        configureStroke(actual.stroke(), b, extent);
        // Outlines have a few times the dashes' vertices.
        const size_t outlineLimit = 8 * limit;
        const auto want = record(expected, outlineLimit);
        // Twice: a negative start runs the pattern on across rewinds too.
        // An outline cut short by the recorder's limit (a dash of round caps
        // hundreds of pixels wide, say) leaves the dashes
        // read ahead for its last batch of straight dashes behind it: the
        // second pass then starts elsewhere, and is only compared after a
        // whole outline.
        const bool complete = !want.empty() && agg::is_stop(unsigned(want[want.size() - 1]));
        ++outlines;
        whole += complete;
        for (int pass = 0; pass < (complete ? 2 : 1); ++pass) {
            ASSERT_EQ(pass == 0 ? want : record(expected, outlineLimit),
                      testing::recordEach(actual, outlineLimit))
                << "round " << round << " pass " << pass;
        }
        straight += actual.straightDashes() / 2;
        for (size_t i = 0; i < want.size(); i += 3) {
            if (agg::is_end_poly(unsigned(want[i]))) ++dashes;
        }
    }
    // Both ways of making a dash were taken many times, and almost every
    // outline was compared twice.
    EXPECT_GT(whole, outlines * 95 / 100);
    EXPECT_GT(straight, dashes / 4);
    EXPECT_LT(straight, dashes * 9 / 10);
}

// Every pixel with some coverage: row, column and cover.
struct CoverageRecorder {
    std::vector<int> pixels;
    void prepare() {}
    template <class Scanline>
    void render(const Scanline& sl) {
        auto span = sl.begin();
        for (unsigned i = 0; i < sl.num_spans(); ++i, ++span) {
            for (int k = 0; k < span->len; ++k) {
                if (span->covers[k] == 0) continue;
                pixels.insert(pixels.end(), {sl.y(), span->x + k, span->covers[k]});
            }
        }
    }
};

// A polyline or polygon of a few points about a clip box, some far beyond it.
std::vector<testing::PathVertex> pathAboutBox(std::mt19937& rng, const agg::rect_d& box) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<testing::PathVertex> path;
    const int subPaths = 1 + int(rng() % 3);
    for (int s = 0; s < subPaths; ++s) {
        const int points = 2 + int(rng() % 7);
        for (int i = 0; i < points; ++i) {
            const double reach = (rng() % 3 == 0) ? 400.0 : 60.0;
            const double x = box.x1 - reach + unit(rng) * (box.x2 - box.x1 + 2 * reach);
            const double y = box.y1 - reach + unit(rng) * (box.y2 - box.y1 + 2 * reach);
            const unsigned cmd = i == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to;
            path.push_back({x, y, cmd});
        }
        if (rng() % 2) path.push_back({0, 0, agg::path_cmd_end_poly | agg::path_flags_close});
    }
    return path;
}

template <class Add>
CoverageRecorder rasteriseWith(const agg::rect_d& clip, Add add) {
    Rasterizer ras;
    ras.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
    ras.filling_rule(agg::fill_non_zero);
    CoverageRecorder out;
    if (!add(ras)) return out;
    agg::scanline_u8 sl;
    agg::render_scanlines(ras, sl, out);
    return out;
}

template <class Source>
CoverageRecorder rasterise(Source& source, const agg::rect_d& clip) {
    return rasteriseWith(clip, [&](Rasterizer& ras) { return rasterizeSource(ras, source); });
}

template <class Source>
CoverageRecorder rasterise(DashedOutline<Source>& outline, const agg::rect_d& clip) {
    return rasteriseWith(clip, [&](Rasterizer& ras) {
        return rasterizeCommands(ras, [&](auto& out) { return outline.forEach(out); });
    });
}

TEST(DashGeneratorTest, DashesCutToTheGrownClipBoxCoverTheSame) {
    std::mt19937 rng(20261210);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    size_t all = 0, kept = 0, straight = 0;
    for (int round = 0; round < testing::sanitizedRounds(3000); ++round) {
        const double x1 = std::floor(unit(rng) * 100), y1 = std::floor(unit(rng) * 100);
        const agg::rect_d clip(x1, y1, x1 + 1 + std::floor(unit(rng) * 150),
                               y1 + 1 + std::floor(unit(rng) * 150));
        const auto path = pathAboutBox(rng, clip);
        const double width = 0.1 + unit(rng) * 12.0;
        const double miterLimit = 1.0 + unit(rng) * 9.0;
        const auto cap = agg::line_cap_e(rng() % 3);
        const auto join = agg::line_join_e(rng() % 5);
        double pattern[4];
        for (double& length : pattern) length = rng() % 5 == 0 ? 0.0 : unit(rng) * 20.0;
        if (pattern[0] + pattern[1] == 0.0) pattern[0] = 1.0;
        const int pairs = 1 + int(rng() % 2);
        const double start = (unit(rng) * 2.0 - 1.0) * 30.0;
        const double reach = strokeReach(width, miterLimit) + 2;
        const agg::rect_d grown(clip.x1 - reach, clip.y1 - reach, clip.x2 + reach, clip.y2 + reach);

        std::vector<uint64_t> vertices[2];
        CoverageRecorder coverage[2];
        for (int cut = 0; cut < 2; ++cut) {
            ListSource source(path);
            DashGenerator<ListSource> dashes(source);
            for (int i = 0; i < pairs; ++i) dashes.add_dash(pattern[2 * i], pattern[2 * i + 1]);
            dashes.dash_start(start);
            if (cut) dashes.clip_box(grown);
            vertices[cut] = record(dashes);
            StrokeGenerator<DashGenerator<ListSource>> stroke(dashes);
            stroke.width(width);
            stroke.line_cap(cap);
            stroke.line_join(join);
            stroke.miter_limit(miterLimit);
            coverage[cut] = rasterise(stroke, clip);
            if (cut) {
                // The same dashes, outlined in one loop (by a new generator
                // run as often: a negative start runs on across rewinds).
                ListSource again(path);
                DashGenerator<ListSource> sameDashes(again);
                for (int i = 0; i < pairs; ++i) {
                    sameDashes.add_dash(pattern[2 * i], pattern[2 * i + 1]);
                }
                sameDashes.dash_start(start);
                sameDashes.clip_box(grown);
                // Its second run, as the stroke above.
                record(sameDashes);
                DashedOutline<ListSource> outline(sameDashes);
                outline.stroke().width(width);
                outline.stroke().line_cap(cap);
                outline.stroke().line_join(join);
                outline.stroke().miter_limit(miterLimit);
                const auto inOneLoop = rasterise(outline, clip);
                ASSERT_EQ(coverage[1].pixels, inOneLoop.pixels) << "round " << round;
                straight += outline.straightDashes();
            }
        }
        all += vertices[0].size();
        kept += vertices[1].size();
        ASSERT_EQ(coverage[0].pixels, coverage[1].pixels) << "round " << round;
    }
    // Dashes were left out, and not most of them.
    EXPECT_LT(kept, all * 9 / 10);
    EXPECT_GT(kept, all / 10);
    EXPECT_GT(straight, 1000u);
}

}  // namespace
}  // namespace lumo
