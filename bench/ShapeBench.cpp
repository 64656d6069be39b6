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
// target. One opaque colour, source-over, antialiasing on.
#include "native/EntryPoints.h"

#include <agg_basics.h>
#include <agg_bezier_arc.h>
#include <agg_conv_close_polygon.h>
#include <agg_conv_curve.h>
#include <agg_conv_stroke.h>
#include <agg_conv_transform.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_rounded_rect.h>
#include <agg_scanline_u.h>
#include <agg_trans_affine.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

namespace {

constexpr int kTarget = 512;
constexpr jint kBackground = jint(0xFFFFFFFFu);  // opaque white
constexpr jint kColour = jint(0xFF2E6FB4u);      // opaque blue
constexpr int kSizes[] = {8, 32, 128, 256};
constexpr double kTwoPi = 6.283185307179586;
constexpr double kFracX = 0.375, kFracY = 0.6875;  // translation of the "frac" placement
constexpr double kRotationDegrees = 30.0;
constexpr size_t kPositions = 1024;  // a power of two, cycled through

// ---------------------------------------------------------------------------
// A JNIEnv just big enough for the calls that take arrays (setTransform, and
// the pixel read-back of the comparison): array handles point at a BenchArray.

struct BenchArray {
    void* data;
    jsize length;
};

jsize JNICALL benchArrayLength(JNIEnv*, jarray array) {
    return reinterpret_cast<BenchArray*>(array)->length;
}

void* JNICALL benchPin(JNIEnv*, jarray array, jboolean* isCopy) {
    if (isCopy != nullptr) *isCopy = JNI_FALSE;
    return reinterpret_cast<BenchArray*>(array)->data;
}

void JNICALL benchRelease(JNIEnv*, jarray, void*, jint) {}

JNIEnv* benchEnv() {
    static JNINativeInterface_ functions = [] {
        JNINativeInterface_ f{};
        f.GetArrayLength = &benchArrayLength;
        f.GetPrimitiveArrayCritical = &benchPin;
        f.ReleasePrimitiveArrayCritical = &benchRelease;
        return f;
    }();
    static JNIEnv_ env = [] {
        JNIEnv_ e{};
        e.functions = &functions;
        return e;
    }();
    return &env;
}

template <class Array, class T>
Array asArray(BenchArray& array, T* data, size_t length) {
    array.data = data;
    array.length = jsize(length);
    return reinterpret_cast<Array>(&array);
}

// ---------------------------------------------------------------------------
// Scenes.

enum class Shape { FillRect, FillOval, FillRoundRect, DrawOval };
enum class Placement { Integer, Fraction, Rotation };

struct Scene {
    const char* name;
    Shape shape;
    Placement placement;
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

// A small deterministic generator, so positions are the same on every
// platform and in every run.
class SplitMix {
public:
    explicit SplitMix(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi).
    double uniform(double lo, double hi) { return lo + (hi - lo) * double(next() >> 11) * 0x1p-53; }

private:
    uint64_t state_;
};

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

// The six matrix values in the order the library takes them (as Java's
// AffineTransform.getMatrix gives them).
void matrixValues(const agg::trans_affine& m, double values[6]) {
    values[0] = m.sx;
    values[1] = m.shy;
    values[2] = m.shx;
    values[3] = m.sy;
    values[4] = m.tx;
    values[5] = m.ty;
}

// ---------------------------------------------------------------------------
// The library side: a target made and drawn into through the entry points.

class LumoTarget {
public:
    explicit LumoTarget(Placement placement) {
        buffer_ = LUMO(createDataBuffer)(nullptr, nullptr, kTarget, kTarget, kBackground);
        image_ = LUMO(createNativeImage)(nullptr, nullptr, buffer_);
        graphics_ = LUMO(createGraphics)(nullptr, nullptr, image_);
        LUMO(setHint)(nullptr, nullptr, graphics_, 1, 1);
        LUMO(setPaint)(nullptr, nullptr, graphics_, kColour);
        if (placement != Placement::Integer) {
            double values[6];
            matrixValues(placementTransform(placement), values);
            BenchArray array;
            LUMO(setTransform)(benchEnv(), nullptr, graphics_,
                               asArray<jdoubleArray>(array, values, 6));
        }
    }
    ~LumoTarget() {
        LUMO(deleteGraphics)(nullptr, nullptr, graphics_);
        LUMO(deleteNativeImage)(nullptr, nullptr, image_);
        LUMO(deleteDataBuffer)(nullptr, nullptr, buffer_);
    }
    LumoTarget(const LumoTarget&) = delete;
    LumoTarget& operator=(const LumoTarget&) = delete;

    bool valid() const { return graphics_ != 0; }

    void draw(Shape shape, Position p, jint size) {
        switch (shape) {
            case Shape::FillRect:
                LUMO(fillRect)(nullptr, nullptr, graphics_, p.x, p.y, size, size);
                break;
            case Shape::FillOval:
                LUMO(fillOval)(nullptr, nullptr, graphics_, p.x, p.y, size, size);
                break;
            case Shape::FillRoundRect:
                LUMO(fillRoundRect)(nullptr, nullptr, graphics_, p.x, p.y, size, size, size / 4,
                                    size / 4);
                break;
            case Shape::DrawOval:
                LUMO(drawOval)(nullptr, nullptr, graphics_, p.x, p.y, size, size);
                break;
        }
    }

    void clear() { LUMO(clearDataBuffer)(nullptr, nullptr, buffer_, kBackground); }

    // The pixels as ARGB words, top row first, read through a memory device.
    std::vector<jint> read() {
        std::vector<jint> pixels(size_t(kTarget) * kTarget, 0);
        const jint hdc = Java_com_quarn_lumo_internal_MemoryDevice_create(nullptr, nullptr,
                                                                          kTarget, kTarget);
        LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, image_, 0, 0, kTarget, kTarget, 0, 0);
        BenchArray array;
        Java_com_quarn_lumo_internal_MemoryDevice_read(
            benchEnv(), nullptr, hdc, asArray<jintArray>(array, pixels.data(), pixels.size()));
        Java_com_quarn_lumo_internal_MemoryDevice_delete(nullptr, nullptr, hdc);
        return pixels;
    }

private:
    jint buffer_ = 0;
    jint image_ = 0;
    jint graphics_ = 0;
};

// ---------------------------------------------------------------------------
// The AGG side: the same shapes as the library builds them, rendered with the
// plain AGG pipeline into premultiplied BGRA. Rasteriser and scan-line are
// kept for the whole run.

// The rectangle polygon (x, y), (x+w, y), (x+w, y+h), (x, y+h).
class RectPath {
public:
    RectPath(double x, double y, double w, double h) : x_(x), y_(y), w_(w), h_(h) {}
    void rewind(unsigned) { step_ = 0; }
    unsigned vertex(double* x, double* y) {
        switch (step_++) {
            case 0:
                *x = x_, *y = y_;
                return agg::path_cmd_move_to;
            case 1:
                *x = x_ + w_, *y = y_;
                return agg::path_cmd_line_to;
            case 2:
                *x = x_ + w_, *y = y_ + h_;
                return agg::path_cmd_line_to;
            case 3:
                *x = x_, *y = y_ + h_;
                return agg::path_cmd_line_to;
            case 4:
                return agg::path_cmd_end_poly | agg::path_flags_close;
            default:
                step_ = 5;
                return agg::path_cmd_stop;
        }
    }

private:
    unsigned step_ = 0;
    double x_, y_, w_, h_;
};

class AggTarget {
public:
    using PixelFormat = agg::pixfmt_bgra32_pre;
    using Renderer = agg::renderer_base<PixelFormat>;
    using Rasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

    explicit AggTarget(Placement placement)
        : pixels_(size_t(kTarget) * kTarget * 4),
          rows_(pixels_.data(), kTarget, kTarget, kTarget * 4),
          format_(rows_),
          renderer_(format_),
          transformed_(placement != Placement::Integer),
          matrix_(placementTransform(placement)) {
        // Opaque colours are the same premultiplied or not.
        const uint32_t argb = uint32_t(kColour);
        colour_ = agg::rgba8(agg::int8u(argb >> 16), agg::int8u(argb >> 8), agg::int8u(argb),
                             agg::int8u(argb >> 24));
        rasterizer_.clip_box(0, 0, kTarget, kTarget);
        clear();
    }

    void clear() {
        const uint32_t argb = uint32_t(kBackground);
        renderer_.clear(agg::rgba8(agg::int8u(argb >> 16), agg::int8u(argb >> 8),
                                   agg::int8u(argb), agg::int8u(argb >> 24)));
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

    // The pixels as ARGB words, top row first.
    std::vector<jint> read() const {
        std::vector<jint> result(size_t(kTarget) * kTarget);
        for (size_t i = 0; i < result.size(); ++i) {
            const agg::int8u* p = &pixels_[4 * i];
            result[i] = jint(uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 |
                             uint32_t(p[0]));
        }
        return result;
    }

    const agg::int8u* pixels() const { return pixels_.data(); }

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
        agg::render_scanlines_aa_solid(rasterizer_, scanline_, renderer_, colour_);
    }

    std::vector<agg::int8u> pixels_;
    agg::rendering_buffer rows_;
    PixelFormat format_;
    Renderer renderer_;
    Rasterizer rasterizer_;
    agg::scanline_u8 scanline_;
    agg::rgba8 colour_;
    bool transformed_;
    agg::trans_affine matrix_;
};

// ---------------------------------------------------------------------------
// The benchmarks.

void setShapeCounters(benchmark::State& state) {
    // An inverted rate: CPU seconds per shape, shown as e.g. "4.2us".
    state.counters["per_shape"] = benchmark::Counter(
        double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void lumoShapes(benchmark::State& state, Scene scene, int size) {
    const std::vector<Position> spots = positions(scene.placement, size);
    LumoTarget target(scene.placement);
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
    AggTarget target(scene.placement);
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

struct Comparison {
    long differing = -1;  // pixels that differ; -1 when the library drew nothing
    int maxDelta = 0;     // largest difference of one channel
};

Comparison compare(const Scene& scene, int size) {
    const std::vector<Position> spots = positions(scene.placement, size);
    LumoTarget lumo(scene.placement);
    AggTarget agg(scene.placement);
    Comparison result;
    if (!lumo.valid()) return result;
    for (size_t i = 0; i < 256; ++i) {
        lumo.draw(scene.shape, spots[i], size);
        agg.draw(scene.shape, spots[i], size);
    }
    const std::vector<jint> a = lumo.read();
    const std::vector<jint> b = agg.read();
    if (std::all_of(a.begin(), a.end(), [](jint v) { return v == kBackground; })) return result;
    result.differing = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        ++result.differing;
        for (int shift = 0; shift < 32; shift += 8) {
            const int delta = std::abs(int((uint32_t(a[i]) >> shift) & 0xFF) -
                                       int((uint32_t(b[i]) >> shift) & 0xFF));
            result.maxDelta = std::max(result.maxDelta, delta);
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// A console reporter that also keeps the time per shape of every run. With
// --benchmark_repetitions the median of the repetitions is kept.

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate) {
                // Aggregates hold one "iteration" whose time is the statistic.
                if (run.aggregate_name == "median") {
                    medians_[name] = run.GetAdjustedCPUTime() * timeUnitNanoseconds(run);
                }
            } else if (run.iterations > 0) {
                single_[name] = run.cpu_accumulated_time * 1e9 / double(run.iterations);
            }
        }
    }

    // Nanoseconds per shape by benchmark name.
    std::map<std::string, double> nsPerShape() const {
        std::map<std::string, double> result = single_;
        for (const auto& [name, ns] : medians_) result[name] = ns;
        return result;
    }

private:
    static double timeUnitNanoseconds(const Run& run) {
        return 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }

    std::map<std::string, double> single_;
    std::map<std::string, double> medians_;
};

std::string benchmarkName(const Scene& scene, const char* side, int size) {
    return std::string(scene.name) + "/" + side + "/" + std::to_string(size);
}

void printSummary(const std::map<std::string, double>& times) {
    std::printf("\n%-20s %5s %14s %14s %8s   %s\n", "scene", "size", "lumo ns/shape",
                "agg ns/shape", "lumo/agg", "pixels differing (max channel delta)");
    for (const Scene& scene : kScenes) {
        for (int size : kSizes) {
            const auto lumo = times.find(benchmarkName(scene, "lumo", size));
            const auto agg = times.find(benchmarkName(scene, "agg", size));
            if (lumo == times.end() && agg == times.end()) continue;
            auto cell = [&](auto it) {
                char text[32] = "-";
                if (it != times.end()) std::snprintf(text, sizeof text, "%.1f", it->second);
                return std::string(text);
            };
            char ratio[32] = "-";
            if (lumo != times.end() && agg != times.end() && agg->second > 0) {
                std::snprintf(ratio, sizeof ratio, "%.3f", lumo->second / agg->second);
            }
            const Comparison check = compare(scene, size);
            char pixels[64];
            if (check.differing < 0) {
                std::snprintf(pixels, sizeof pixels, "library drew nothing");
            } else {
                std::snprintf(pixels, sizeof pixels, "%ld (%d)", check.differing,
                              check.maxDelta);
            }
            std::printf("%-20s %5d %14s %14s %8s   %s\n", scene.name, size, cell(lumo).c_str(),
                        cell(agg).c_str(), ratio, pixels);
        }
    }
    std::fflush(stdout);
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
    printSummary(reporter.nsPerShape());
    return 0;
}
