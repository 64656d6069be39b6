// libFuzzer target: flattens, strokes and dashes one fuzzer-made path with
// lumo's generators and with AGG's conv_curve, conv_stroke and conv_dash
// (each alone, and all three chained as lumo strokes curves), and stops the run
// when a command or a vertex (compared bit for bit) differs. Also strokes the
// dashes cut to a clip box grown by the stroke's reach, and stops when AGG's
// rasteriser gives them another coverage under the clip box than all dashes
// (the clip box spans the path's first two vertices). The input: the
// stroke (width, cap, join, inner join, miter limit, approximation scale),
// up to eight (dash, gap) pairs and the dash start, then vertices (command
// byte, two 16-bit coordinates; the first one is a vertex).
#include "geometry/CurveFlattener.h"
#include "geometry/DashGenerator.h"
#include "geometry/StrokeGenerator.h"
#include "geometry/StrokeGeometry.h"

#include "GeneratorPaths.h"
#include "fuzz/FuzzInput.h"

#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>

#include <algorithm>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using lumo::testing::ListSource;
using lumo::testing::PathVertex;
using lumo::testing::record;

constexpr size_t kMaxVertices = 400;
constexpr size_t kMaxRecorded = 200000;

struct Settings {
    double width, miterLimit, approximationScale;
    agg::line_cap_e cap;
    agg::line_join_e join;
    agg::inner_join_e innerJoin;
    std::vector<double> dashes;
    double dashStart;
};

Settings readSettings(lumo::fuzz::FuzzInput& in) {
    Settings s;
    s.width = int16_t(in.u32() & 0xffff) / 64.0;
    s.miterLimit = (in.byte()) / 16.0;
    s.approximationScale = double(1 + in.byte()) / 32.0;
    const uint8_t kinds = in.byte();
    s.cap = agg::line_cap_e(kinds % 3);
    s.join = agg::line_join_e((kinds / 3) % 5);
    s.innerJoin = agg::inner_join_e((kinds / 15) % 4);
    const int pairs = 1 + in.byte() % 8;
    double total = 0.0;
    for (int i = 0; i < 2 * pairs; ++i) {
        s.dashes.push_back(double(in.byte()) / 4.0);
        total += s.dashes.back();
    }
    if (total == 0.0) s.dashes[0] = 1.0;
    s.dashStart = int16_t(in.u32() & 0xffff) / 64.0;
    return s;
}

std::vector<PathVertex> readPath(lumo::fuzz::FuzzInput& in) {
    const double scale = double(1u << (in.byte() % 15)) / 256.0;
    std::vector<PathVertex> path;
    while (!in.done() && path.size() < kMaxVertices) {
        const uint8_t c = in.byte();
        const double x = int16_t(in.byte() | in.byte() << 8) * scale;
        const double y = int16_t(in.byte() | in.byte() << 8) * scale;
        const unsigned cmd = c % 8 == 0   ? agg::path_cmd_move_to
                             : c % 8 == 1 ? unsigned(agg::path_cmd_end_poly | agg::path_flags_close)
                             : c % 8 == 2 ? unsigned(agg::path_cmd_end_poly)
                             : c % 8 == 3 ? unsigned(agg::path_cmd_curve3)
                             : c % 8 == 4 ? unsigned(agg::path_cmd_curve4)
                                          : agg::path_cmd_line_to;
        // A path opens with a vertex: before its first vertex AGG's
        // generators read a start point they never set. And
        // after an end of polygon, AGG's conv_curve starts a curve at the
        // caller's stale output values: a move-to there instead.
        const bool opens = path.empty() || !agg::is_vertex(path.back().cmd);
        const bool needsVertex = path.empty() || agg::is_curve(cmd);
        path.push_back(
            {x, y, opens && needsVertex && !agg::is_move_to(cmd) ? agg::path_cmd_move_to : cmd});
    }
    return path;
}

template <class Stroke>
void configureStroke(Stroke& stroke, const Settings& s) {
    stroke.width(s.width);
    stroke.line_cap(s.cap);
    stroke.line_join(s.join);
    stroke.inner_join(s.innerJoin);
    stroke.miter_limit(s.miterLimit);
    stroke.approximation_scale(s.approximationScale);
}

template <class Dash>
void configureDash(Dash& dash, const Settings& s) {
    for (size_t i = 0; i + 1 < s.dashes.size(); i += 2) dash.add_dash(s.dashes[i], s.dashes[i + 1]);
    dash.dash_start(s.dashStart);
}

void expectSame(const std::vector<uint64_t>& want, const std::vector<uint64_t>& got,
                const char* what) {
    if (want == got) return;
    std::fprintf(stderr, "generator fuzzer: %s differs from AGG's\n", what);
    std::abort();
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
                if (span->covers[k] != 0)
                    pixels.insert(pixels.end(), {sl.y(), span->x + k, span->covers[k]});
            }
        }
    }
};

// The stroked dashes of the path, all or cut to `grown`, rasterised by AGG
// under `clip`.
std::vector<int> dashCoverage(const std::vector<PathVertex>& path, const Settings& s,
                              const agg::rect_d& clip, const agg::rect_d* grown) {
    ListSource source(path);
    lumo::DashGenerator<ListSource> dash(source);
    configureDash(dash, s);
    if (grown != nullptr) dash.clip_box(*grown);
    lumo::StrokeGenerator<lumo::DashGenerator<ListSource>> stroke(dash);
    configureStroke(stroke, s);
    agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> ras;
    ras.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
    ras.add_path(stroke);
    CoverageRecorder out;
    agg::scanline_u8 sl;
    agg::render_scanlines(ras, sl, out);
    return out.pixels;
}

void expectSameDashCoverage(const std::vector<PathVertex>& path, const Settings& s) {
    if (path.size() < 2) return;
    const double x1 = std::floor(std::min(path[0].x, path[1].x));
    const double y1 = std::floor(std::min(path[0].y, path[1].y));
    const agg::rect_d clip(x1, y1, std::min(x1 + 256, std::max(x1 + 1, path[1].x)),
                           std::min(y1 + 256, std::max(y1 + 1, path[1].y)));
    const double reach = lumo::strokeReach(s.width, s.miterLimit) + 2;
    const agg::rect_d grown(clip.x1 - reach, clip.y1 - reach, clip.x2 + reach, clip.y2 + reach);
    if (dashCoverage(path, s, clip, nullptr) == dashCoverage(path, s, clip, &grown)) return;
    std::fprintf(stderr, "generator fuzzer: dashes cut to the clip box cover differently\n");
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumo::fuzz::FuzzInput in(data, size);
    const Settings s = readSettings(in);
    const std::vector<PathVertex> path = readPath(in);
    ListSource aggSource(path), lumoSource(path);

    agg::conv_stroke<ListSource> aggStroke(aggSource);
    lumo::StrokeGenerator<ListSource> lumoStroke(lumoSource);
    configureStroke(aggStroke, s);
    configureStroke(lumoStroke, s);
    expectSame(record(aggStroke, kMaxRecorded), record(lumoStroke, kMaxRecorded), "stroke");

    agg::conv_dash<ListSource> aggDash(aggSource);
    lumo::DashGenerator<ListSource> lumoDash(lumoSource);
    configureDash(aggDash, s);
    configureDash(lumoDash, s);
    agg::conv_stroke<agg::conv_dash<ListSource>> aggDashStroke(aggDash);
    lumo::StrokeGenerator<lumo::DashGenerator<ListSource>> lumoDashStroke(lumoDash);
    configureStroke(aggDashStroke, s);
    configureStroke(lumoDashStroke, s);
    const std::vector<uint64_t> dashedStroke = record(lumoDashStroke, kMaxRecorded);
    expectSame(record(aggDashStroke, kMaxRecorded), dashedStroke, "dashed stroke");
    // Within the vertex budget only: the rasteriser reads the whole outline.
    if (dashedStroke.size() <= kMaxRecorded) expectSameDashCoverage(path, s);

    agg::conv_curve<ListSource> aggCurve(aggSource);
    lumo::CurveFlattener<ListSource> lumoCurve(lumoSource);
    aggCurve.approximation_scale(s.approximationScale);
    lumoCurve.approximation_scale(s.approximationScale);
    expectSame(record(aggCurve, kMaxRecorded), record(lumoCurve, kMaxRecorded), "flattening");
    agg::conv_dash<agg::conv_curve<ListSource>> aggCurveDash(aggCurve);
    lumo::DashGenerator<lumo::CurveFlattener<ListSource>> lumoCurveDash(lumoCurve);
    configureDash(aggCurveDash, s);
    configureDash(lumoCurveDash, s);
    agg::conv_stroke<agg::conv_dash<agg::conv_curve<ListSource>>> aggChain(aggCurveDash);
    lumo::StrokeGenerator<lumo::DashGenerator<lumo::CurveFlattener<ListSource>>> lumoChain(
        lumoCurveDash);
    configureStroke(aggChain, s);
    configureStroke(lumoChain, s);
    expectSame(record(aggChain, kMaxRecorded), record(lumoChain, kMaxRecorded),
               "dashed stroke of curves");
    return 0;
}
