// Antialiased solid fills and strokes of simple shapes, drawn two ways in the
// same process: through the library's exported drawing calls, and with the
// same geometry handed straight to AGG (the floor the library builds on).
// Every shape is one benchmark iteration, so the time per iteration is the
// time per shape. After the runs, main prints a table of both times and the
// ratio library / AGG per scene and size, next to a pixel comparison of the
// two sides that shows the geometry really is the same.
//
// Scenes: fillRect, fillOval, fillRoundRect (corner diameter size / 4) and
// drawOval (default stroke: width 1, square caps, miter joins, limit 10) at
// integer positions ("int") and with a fixed fractional translation in the
// transform ("frac"), plus fillRect under a 30 degree rotation ("rot30").
// Positions come from a fixed seed and keep every shape inside the 512x512
// target. One opaque colour, source-over, antialiasing on; the "alpha" scenes
// fill with the same colour at alpha 0x80 instead (the AGG side is handed it
// premultiplied).
#include "BenchSupport.h"

#include <agg_basics.h>
#include <agg_bezier_arc.h>
#include <agg_conv_close_polygon.h>
#include <agg_conv_curve.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>
#include <agg_renderer_scanline.h>
#include <agg_rounded_rect.h>
#include <agg_scanline_u.h>
#include <agg_trans_affine.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace lumo_bench;

constexpr jint kColour = jint(0xFF2E6FB4u);       // opaque blue
constexpr jint kTranslucent = jint(0x802E6FB4u);  // the same blue at alpha 0x80
constexpr int kSizes[] = {8, 32, 128, 256};
constexpr double kTwoPi = 6.283185307179586;
constexpr double kFracX = 0.375, kFracY = 0.6875;  // translation of the "frac" placement
constexpr double kRotationDegrees = 30.0;
constexpr size_t kPositions = 1024;  // a power of two, cycled through

// ---------------------------------------------------------------------------
// Scenes.

enum class Shape { FillRect, FillOval, FillRoundRect, DrawOval };
enum class Placement { Integer, Fraction, Rotation };

struct Scene {
    const char* name;
    Shape shape;
    Placement placement;
    jint colour = kColour;
};

const Scene kScenes[] = {
    {"FillRect/int", Shape::FillRect, Placement::Integer},
    {"FillRect/frac", Shape::FillRect, Placement::Fraction},
    {"FillRect/rot30", Shape::FillRect, Placement::Rotation},
    {"FillOval/int", Shape::FillOval, Placement::Integer},
    {"FillOval/frac", Shape::FillOval, Placement::Fraction},
    {"FillRoundRect/int", Shape::FillRoundRect, Placement::Integer},
    {"FillRoundRect/frac", Shape::FillRoundRect, Placement::Fraction},
    {"DrawOval/int", Shape::DrawOval, Placement::Integer},
    {"DrawOval/frac", Shape::DrawOval, Placement::Fraction},
    {"FillRect/int/alpha", Shape::FillRect, Placement::Integer, kTranslucent},
    {"FillOval/frac/alpha", Shape::FillOval, Placement::Fraction, kTranslucent},
};

// The user-to-device transform of a placement (identity for integers).
agg::trans_affine placementTransform(Placement placement) {
    switch (placement) {
        case Placement::Fraction:
            return agg::trans_affine_translation(kFracX, kFracY);
        case Placement::Rotation:
            // Rotate about the user origin, then move it to the target's centre.
            return agg::trans_affine_rotation(kRotationDegrees * kTwoPi / 360.0) *
                   agg::trans_affine_translation(kTarget / 2, kTarget / 2);
        case Placement::Integer:
            break;
    }
    return agg::trans_affine();
}

struct Position {
    jint x, y;
};

// User-space top-left corners of `size`-pixel shapes that land inside the
// target once mapped to device space.
std::vector<Position> positions(Placement placement, int size) {
    SplitMix random(0x5EED0000u + uint64_t(size) * 31u + uint64_t(placement));
    std::vector<Position> result(kPositions);
    if (placement != Placement::Rotation) {
        // The fractional translation adds less than a pixel: keep one spare.
        const int span = kTarget - size - (placement == Placement::Fraction ? 1 : 0);
        for (Position& p : result) {
            p.x = jint(random.next() % uint64_t(span + 1));
            p.y = jint(random.next() % uint64_t(span + 1));
        }
        return result;
    }
    // A device-space centre far enough from the edges for the rotated square
    // (half diagonal plus the rounding of the corner below), mapped back.
    agg::trans_affine inverse = placementTransform(placement);
    inverse.invert();
    const double margin = size * 0.7071067811865476 + 1.0;
    for (Position& p : result) {
        double x = random.uniform(margin, kTarget - margin);
        double y = random.uniform(margin, kTarget - margin);
        inverse.transform(&x, &y);
        p.x = jint(std::lround(x - size * 0.5));
        p.y = jint(std::lround(y - size * 0.5));
    }
    return result;
}

// ---------------------------------------------------------------------------
// The library side: a target made and drawn into through the entry points.

class LumoTarget : public LumoCanvas {
public:
    LumoTarget(Placement placement, jint colour) : graphics_(graphics()) {
        LUMO(setPaint)(nullptr, nullptr, graphics_, colour);
        if (placement != Placement::Integer) {
            double values[6];
            matrixValues(placementTransform(placement), values);
            BenchArray array;
            LUMO(setTransform)
            (benchEnv(), nullptr, graphics_, asArray<jdoubleArray>(array, values, 6));
        }
    }
    void draw(Shape shape, Position p, jint size) {
        switch (shape) {
            case Shape::FillRect:
                LUMO(fillRect)(nullptr, nullptr, graphics_, p.x, p.y, size, size);
                break;
            case Shape::FillOval:
                LUMO(fillOval)(nullptr, nullptr, graphics_, p.x, p.y, size, size);
                break;
            case Shape::FillRoundRect:
                LUMO(fillRoundRect)
                (nullptr, nullptr, graphics_, p.x, p.y, size, size, size / 4, size / 4);
                break;
            case Shape::DrawOval:
                LUMO(drawOval)(nullptr, nullptr, graphics_, p.x, p.y, size, size);
                break;
        }
    }

private:
    const jint graphics_;
};

// ---------------------------------------------------------------------------
// The AGG side: the same shapes as the library builds them, rendered with the
// plain AGG pipeline into premultiplied BGRA. Rasteriser and scan-line are
// kept for the whole run.

class AggTarget : public AggCanvas {
public:
    using Rasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

    AggTarget(Placement placement, jint colour)
        : colour_(rgba8FromArgb(colour).premultiply()),
          transformed_(placement != Placement::Integer),
          matrix_(placementTransform(placement)) {
        rasterizer_.clip_box(0, 0, kTarget, kTarget);
    }

    void draw(Shape shape, Position p, int size) {
        const double x = p.x, y = p.y, w = size, h = size;
        switch (shape) {
            case Shape::FillRect: {
                RectPath rect(x, y, w, h);
                fill(rect, false);
                break;
            }
            case Shape::FillOval: {
                agg::bezier_arc oval(x + w * 0.5, y + h * 0.5, w * 0.5, h * 0.5, 0.0, kTwoPi);
                fill(oval, true);
                break;
            }
            case Shape::FillRoundRect: {
                agg::rounded_rect shape(x, y, x + w, y + h, 0.0);
                shape.radius(double(size / 4) * 0.5, double(size / 4) * 0.5);
                fill(shape, true);
                break;
            }
            case Shape::DrawOval: {
                agg::bezier_arc arc(x + w * 0.5, y + h * 0.5, w * 0.5, h * 0.5, 0.0, kTwoPi);
                agg::conv_close_polygon<agg::bezier_arc> oval(arc);
                stroke(oval);
                break;
            }
        }
    }

private:
    // Curves are flattened after the transform, in device pixels.
    template <class Source>
    void fill(Source& source, bool curves) {
        if (transformed_) {
            agg::conv_transform<Source> device(source, matrix_);
            flattenAndRender(device, curves);
        } else {
            flattenAndRender(source, curves);
        }
    }

    template <class Source>
    void flattenAndRender(Source& source, bool curves) {
        if (curves) {
            agg::conv_curve<Source> flattened(source);
            render(flattened);
        } else {
            render(source);
        }
    }

    // Stroked in device space.
    template <class Source>
    void stroke(Source& source) {
        if (transformed_) {
            agg::conv_transform<Source> device(source, matrix_);
            strokeDevice(device);
        } else {
            strokeDevice(source);
        }
    }

    template <class Source>
    void strokeDevice(Source& source) {
        agg::conv_curve<Source> flattened(source);
        agg::conv_stroke<agg::conv_curve<Source>> outline(flattened);
        outline.width(1.0);
        outline.line_cap(agg::square_cap);
        outline.line_join(agg::miter_join);
        outline.miter_limit(10.0);
        render(outline);
    }

    template <class Source>
    void render(Source& source) {
        rasterizer_.add_path(source);
        agg::render_scanlines_aa_solid(rasterizer_, scanline_, renderer(), colour_);
    }

    Rasterizer rasterizer_;
    agg::scanline_u8 scanline_;
    agg::rgba8 colour_;
    bool transformed_;
    agg::trans_affine matrix_;
};

// ---------------------------------------------------------------------------
// The benchmarks.

void lumoShapes(benchmark::State& state, Scene scene, int size) {
    const std::vector<Position> spots = positions(scene.placement, size);
    LumoTarget target(scene.placement, scene.colour);
    if (!target.valid()) {
        state.SkipWithError("the library did not create a drawing object");
        return;
    }
    // The first draw creates the pixel memory; keep that out of the timing.
    target.draw(scene.shape, spots[0], size);
    target.clear();
    size_t i = 0;
    for (auto _ : state) {
        target.draw(scene.shape, spots[i++ & (kPositions - 1)], size);
        benchmark::ClobberMemory();
    }
    setShapeCounters(state);
}

void aggShapes(benchmark::State& state, Scene scene, int size) {
    const std::vector<Position> spots = positions(scene.placement, size);
    AggTarget target(scene.placement, scene.colour);
    // Let the rasteriser grow its cell storage first, as on the library side.
    target.draw(scene.shape, spots[0], size);
    target.clear();
    size_t i = 0;
    for (auto _ : state) {
        target.draw(scene.shape, spots[i++ & (kPositions - 1)], size);
        benchmark::DoNotOptimize(target.pixels());
        benchmark::ClobberMemory();
    }
    setShapeCounters(state);
}

// ---------------------------------------------------------------------------
// Pixel comparison: the first 256 shapes of a scene drawn both ways.

Comparison compare(const Scene& scene, int size) {
    const std::vector<Position> spots = positions(scene.placement, size);
    LumoTarget lumo(scene.placement, scene.colour);
    AggTarget agg(scene.placement, scene.colour);
    Comparison result;
    if (!lumo.valid()) return result;
    for (size_t i = 0; i < 256; ++i) {
        lumo.draw(scene.shape, spots[i], size);
        agg.draw(scene.shape, spots[i], size);
    }
    return comparePixels(lumo.read(), agg.read());
}

std::string benchmarkName(const Scene& scene, const char* side, int size) {
    return lumo_bench::benchmarkName(scene.name, side, size);
}

void printSummary(const std::map<std::string, double>& times) {
    SummaryTable table;
    for (const Scene& scene : kScenes) {
        for (int size : kSizes) {
            table.row(times, scene.name, size, [&] { return compare(scene, size); });
        }
    }
}

void registerShapeBenchmarks() {
    for (const Scene& scene : kScenes) {
        for (int size : kSizes) {
            benchmark::RegisterBenchmark(benchmarkName(scene, "lumo", size).c_str(), lumoShapes,
                                         scene, size)
                ->Unit(benchmark::kNanosecond);
            benchmark::RegisterBenchmark(benchmarkName(scene, "agg", size).c_str(), aggShapes,
                                         scene, size)
                ->Unit(benchmark::kNanosecond);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    registerShapeBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto times = reporter.nsPerShape();
    printSummary(times);
    for (Summary summary : summaries()) summary(times);
    return 0;
}
