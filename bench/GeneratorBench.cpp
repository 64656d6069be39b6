// lumo's stroke, dash and curve generators against AGG's converters, without
// rasterising: every vertex of the outlines of one batch of the scenes of
// CompareScenes.h (the shapes the Java 2D and Cairo comparisons draw) is read
// and summed (lumo's outlines handed over in one loop, as the drawing pipeline
// reads them). One iteration is one outline; the names are
// Generator/<scene>/<lumo|agg>/<size>:
//   StrokePath    20 cubics, width 3, round caps and joins (flattened, stroked)
//   StrokePoly10  a closed 10-point polygon, width 3, butt caps, miter joins
//   Dash          an open 10-point polyline, dashes 6 and 3, width 2, butt caps
//   FillPath      200 cubics, flattened only
// After the runs a table gives lumo / AGG per scene and size, and whether both
// sides gave the same vertices.
#include "BenchSupport.h"
#include "CompareScenes.h"

#include "geometry/CurveFlattener.h"
#include "geometry/DashGenerator.h"
#include "geometry/DashedOutline.h"
#include "geometry/StrokeGenerator.h"

#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace lumo_bench;

constexpr int kGeneratorSizes[] = {8, 32, 128, 256};
constexpr const char* kGeneratorScenes[] = {"StrokePath", "StrokePoly10", "Dash", "FillPath"};

// An operation's outline read as AGG vertices, as drawPath reads it.
using OperationSource = PathArraysSource<Operation>;

const SceneInfo& sceneNamed(const std::string& name) {
    for (const SceneInfo& scene : sceneTable()) {
        if (name == scene.name) return scene;
    }
    std::abort();
}

// The batches, generated once.
const Batch& batchOf(const std::string& scene, int size) {
    static std::map<std::string, Batch> batches;
    const std::string key = scene + "/" + std::to_string(size);
    auto found = batches.find(key);
    if (found == batches.end()) {
        found = batches.emplace(key, generateBatch(sceneNamed(scene), size)).first;
    }
    return found->second;
}

// Every vertex of a source, folded into a checksum of its bits.
template <class Source>
uint64_t drain(Source& source) {
    uint64_t sum = 0;
    double x = 0.0, y = 0.0;
    source.rewind(0);
    unsigned cmd;
    while (!agg::is_stop(cmd = source.vertex(&x, &y))) {
        uint64_t bits[2];
        std::memcpy(bits, &x, 8);
        std::memcpy(bits + 1, &y, 8);
        sum = (sum ^ bits[0] ^ cmd) * 0x100000001b3ull + bits[1];
    }
    return sum;
}

// The same checksum over an outline that lumo hands over in one loop
// (forEach), as the drawing pipeline reads it: a command without a point
// folds in the last point, as drain() reads it, and a straight dash's corners
// fold in as the commands they stand for.
struct Checksum {
    uint64_t sum = 0;
    double x = 0.0, y = 0.0;
    bool add(double px, double py, unsigned cmd) {
        if (agg::is_vertex(cmd)) {
            x = px;
            y = py;
        }
        uint64_t bits[2];
        std::memcpy(bits, &x, 8);
        std::memcpy(bits + 1, &y, 8);
        sum = (sum ^ bits[0] ^ cmd) * 0x100000001b3ull + bits[1];
        return true;
    }
    bool quad(const agg::point_d* p) {
        for (int i = 0; i < 4; ++i) {
            add(p[i].x, p[i].y, i == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to);
        }
        return add(0.0, 0.0, agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_cw);
    }
    bool polygon(const agg::point_d* p, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            add(p[i].x, p[i].y, i == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to);
        }
        return add(0.0, 0.0, agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_cw);
    }
};

template <class Outline>
uint64_t drainEach(Outline& outline) {
    Checksum checksum;
    outline.forEach(checksum);
    return checksum.sum;
}

template <class Stroke>
void configureStroke(Stroke& stroke, double width, agg::line_cap_e cap, agg::line_join_e join) {
    stroke.width(width);
    stroke.line_cap(cap);
    stroke.line_join(join);
    stroke.miter_limit(10.0);
}

// The outline of one operation of the scene through lumo's generators
// (Lumo true) or AGG's.
template <bool Lumo>
uint64_t outline(const std::string& scene, const Operation& op) {
    OperationSource source(op);
    using Curve = std::conditional_t<Lumo, lumo::CurveFlattener<OperationSource>,
                                     agg::conv_curve<OperationSource>>;
    if (scene == "FillPath") {
        Curve curve(source);
        return drain(curve);
    }
    if (scene == "StrokePath") {
        Curve curve(source);
        std::conditional_t<Lumo, lumo::StrokeGenerator<Curve>, agg::conv_stroke<Curve>> stroke(
            curve);
        configureStroke(stroke, 3.0, agg::round_cap, agg::round_join);
        if constexpr (Lumo) return drainEach(stroke);
        return drain(stroke);
    }
    using Plain = std::conditional_t<Lumo, lumo::StrokeGenerator<OperationSource>,
                                     agg::conv_stroke<OperationSource>>;
    if (scene == "StrokePoly10") {
        Plain stroke(source);
        configureStroke(stroke, 3.0, agg::butt_cap, agg::miter_join);
        if constexpr (Lumo) return drainEach(stroke);
        return drain(stroke);
    }
    using Dash = std::conditional_t<Lumo, lumo::DashGenerator<OperationSource>,
                                    agg::conv_dash<OperationSource>>;
    Dash dash(source);
    dash.add_dash(6.0, 3.0);
    dash.dash_start(0.0);
    if constexpr (Lumo) {
        lumo::DashedOutline<OperationSource> dashes(dash);
        configureStroke(dashes.stroke(), 2.0, agg::butt_cap, agg::miter_join);
        return drainEach(dashes);
    } else {
        agg::conv_stroke<Dash> stroke(dash);
        configureStroke(stroke, 2.0, agg::butt_cap, agg::miter_join);
        return drain(stroke);
    }
}

template <bool Lumo>
void generate(benchmark::State& state, std::string scene, int size) {
    const Batch& batch = batchOf(scene, size);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(outline<Lumo>(scene, batch.operations[i]));
        if (++i == batch.operations.size()) i = 0;
    }
}

std::string generatorName(const char* scene, const char* side, int size) {
    return std::string("Generator/") + scene + "/" + side + "/" + std::to_string(size);
}

void printGeneratorSummary(const std::map<std::string, double>& times) {
    bool header = false;
    for (const char* scene : kGeneratorScenes) {
        for (int size : kGeneratorSizes) {
            const auto lumo = times.find(generatorName(scene, "lumo", size));
            const auto agg = times.find(generatorName(scene, "agg", size));
            if (lumo == times.end() || agg == times.end()) continue;
            bool same = true;
            for (const Operation& op : batchOf(scene, size).operations) {
                same = same && outline<true>(scene, op) == outline<false>(scene, op);
            }
            if (!header) {
                std::printf("\n%-14s %5s %12s %12s %8s  %s\n", "generators", "size", "lumo ns",
                            "agg ns", "lumo/agg", "vertices");
                header = true;
            }
            std::printf("%-14s %5d %12.1f %12.1f %8.2f  %s\n", scene, size, lumo->second,
                        agg->second, lumo->second / agg->second, same ? "same" : "DIFFER");
        }
    }
}

bool registerGeneratorBenchmarks() {
    for (const char* scene : kGeneratorScenes) {
        for (int size : kGeneratorSizes) {
            benchmark::RegisterBenchmark(generatorName(scene, "lumo", size).c_str(), generate<true>,
                                         std::string(scene), size)
                ->Unit(benchmark::kNanosecond);
            benchmark::RegisterBenchmark(generatorName(scene, "agg", size).c_str(), generate<false>,
                                         std::string(scene), size)
                ->Unit(benchmark::kNanosecond);
        }
    }
    return addSummary(printGeneratorSummary);
}

[[maybe_unused]] const bool registered = registerGeneratorBenchmarks();

}  // namespace
