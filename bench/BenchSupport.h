// What the benchmarks that race the library against plain AGG share: a JNIEnv
// for the entry points that take arrays, a seeded generator, a 512x512 target
// on each side with pixel read-back, the pixel comparison, and the reporter
// that keeps the time of every run for the summary tables printed after the
// runs (each benchmark file adds its own table with addSummary).
#pragma once

#include "native/EntryPoints.h"

#include <agg_pixfmt_rgba.h>
#include <agg_renderer_base.h>
#include <agg_rendering_buffer.h>
#include <agg_trans_affine.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

namespace lumo_bench {

constexpr int kTarget = 512;
constexpr jint kBackground = jint(0xFFFFFFFFu);  // opaque white

// ---------------------------------------------------------------------------
// A JNIEnv just big enough for the calls that take arrays: array handles
// point at a BenchArray.

struct BenchArray {
    void* data;
    jsize length;
};

inline jsize JNICALL benchArrayLength(JNIEnv*, jarray array) {
    return reinterpret_cast<BenchArray*>(array)->length;
}

inline void* JNICALL benchPin(JNIEnv*, jarray array, jboolean* isCopy) {
    if (isCopy != nullptr) *isCopy = JNI_FALSE;
    return reinterpret_cast<BenchArray*>(array)->data;
}

inline void JNICALL benchRelease(JNIEnv*, jarray, void*, jint) {}

// The Get<Type>ArrayRegion calls, which the library makes for small arrays.
template <class Array, class T>
void JNICALL benchRegion(JNIEnv*, Array array, jsize start, jsize length, T* to) {
    const BenchArray* a = reinterpret_cast<const BenchArray*>(array);
    std::memcpy(to, static_cast<const T*>(a->data) + start, size_t(length) * sizeof(T));
}

inline JNIEnv* benchEnv() {
    static JNINativeInterface_ functions = [] {
        JNINativeInterface_ f{};
        f.GetArrayLength = &benchArrayLength;
        f.GetPrimitiveArrayCritical = &benchPin;
        f.ReleasePrimitiveArrayCritical = &benchRelease;
        f.GetBooleanArrayRegion = &benchRegion<jbooleanArray, jboolean>;
        f.GetByteArrayRegion = &benchRegion<jbyteArray, jbyte>;
        f.GetCharArrayRegion = &benchRegion<jcharArray, jchar>;
        f.GetShortArrayRegion = &benchRegion<jshortArray, jshort>;
        f.GetIntArrayRegion = &benchRegion<jintArray, jint>;
        f.GetLongArrayRegion = &benchRegion<jlongArray, jlong>;
        f.GetFloatArrayRegion = &benchRegion<jfloatArray, jfloat>;
        f.GetDoubleArrayRegion = &benchRegion<jdoubleArray, jdouble>;
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
// A small deterministic generator, so scenes are the same on every platform
// and in every run.

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

// ---------------------------------------------------------------------------
// The library side.

// The pixels of a render target as ARGB words, top row first, read through a
// memory device.
inline std::vector<jint> readTarget(jint image, int width, int height) {
    std::vector<jint> pixels(size_t(width) * height, 0);
    const jint hdc =
        Java_com_quarn_lumo_internal_MemoryDevice_create(nullptr, nullptr, width, height);
    LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, image, 0, 0, width, height, 0, 0);
    BenchArray array;
    Java_com_quarn_lumo_internal_MemoryDevice_read(
        benchEnv(), nullptr, hdc, asArray<jintArray>(array, pixels.data(), pixels.size()));
    Java_com_quarn_lumo_internal_MemoryDevice_delete(nullptr, nullptr, hdc);
    return pixels;
}

// The six matrix values in the order the library takes them (as Java's
// AffineTransform.getMatrix gives them).
inline void matrixValues(const agg::trans_affine& m, double values[6]) {
    values[0] = m.sx;
    values[1] = m.shy;
    values[2] = m.shx;
    values[3] = m.sy;
    values[4] = m.tx;
    values[5] = m.ty;
}

// A buffer, a render target and a drawing object made through the entry
// points, antialiasing on.
class LumoCanvas {
public:
    LumoCanvas() {
        buffer_ = LUMO(createDataBuffer)(nullptr, nullptr, kTarget, kTarget, kBackground);
        image_ = LUMO(createNativeImage)(nullptr, nullptr, buffer_);
        graphics_ = LUMO(createGraphics)(nullptr, nullptr, image_);
        LUMO(setHint)(nullptr, nullptr, graphics_, 1, 1);
    }
    ~LumoCanvas() {
        LUMO(deleteGraphics)(nullptr, nullptr, graphics_);
        LUMO(deleteNativeImage)(nullptr, nullptr, image_);
        LUMO(deleteDataBuffer)(nullptr, nullptr, buffer_);
    }
    LumoCanvas(const LumoCanvas&) = delete;
    LumoCanvas& operator=(const LumoCanvas&) = delete;

    bool valid() const { return graphics_ != 0; }
    jint graphics() const { return graphics_; }

    void clear() { LUMO(clearDataBuffer)(nullptr, nullptr, buffer_, kBackground); }

    // The pixels as ARGB words, top row first.
    std::vector<jint> read() { return readTarget(image_, kTarget, kTarget); }

private:
    jint buffer_ = 0;
    jint image_ = 0;
    jint graphics_ = 0;
};

// ---------------------------------------------------------------------------
// The AGG side: premultiplied BGRA pixels and a base renderer on them.

inline agg::rgba8 rgba8FromArgb(jint argb) {
    const uint32_t v = uint32_t(argb);
    return agg::rgba8(agg::int8u(v >> 16), agg::int8u(v >> 8), agg::int8u(v), agg::int8u(v >> 24));
}

class AggCanvas {
public:
    using PixelFormat = agg::pixfmt_bgra32_pre;
    using Renderer = agg::renderer_base<PixelFormat>;

    AggCanvas()
        : pixels_(size_t(kTarget) * kTarget * 4),
          rows_(pixels_.data(), kTarget, kTarget, kTarget * 4),
          format_(rows_),
          renderer_(format_) {
        clear();
    }
    AggCanvas(const AggCanvas&) = delete;
    AggCanvas& operator=(const AggCanvas&) = delete;

    // The background is opaque: the same premultiplied or not.
    void clear() { renderer_.clear(rgba8FromArgb(kBackground)); }

    Renderer& renderer() { return renderer_; }
    const agg::int8u* pixels() const { return pixels_.data(); }

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

private:
    std::vector<agg::int8u> pixels_;
    agg::rendering_buffer rows_;
    PixelFormat format_;
    Renderer renderer_;
};

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

// ---------------------------------------------------------------------------
// Pixel comparison of the two sides after the same drawing.

struct Comparison {
    long differing = -1;  // pixels that differ; -1 when the library drew nothing
    int maxDelta = 0;     // largest difference of one channel
};

inline Comparison comparePixels(const std::vector<jint>& lumo, const std::vector<jint>& agg) {
    Comparison result;
    if (std::all_of(lumo.begin(), lumo.end(), [](jint v) { return v == kBackground; })) {
        return result;
    }
    result.differing = 0;
    for (size_t i = 0; i < lumo.size() && i < agg.size(); ++i) {
        if (lumo[i] == agg[i]) continue;
        ++result.differing;
        for (int shift = 0; shift < 32; shift += 8) {
            const int delta = std::abs(int((uint32_t(lumo[i]) >> shift) & 0xFF) -
                                       int((uint32_t(agg[i]) >> shift) & 0xFF));
            result.maxDelta = std::max(result.maxDelta, delta);
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// Timing.

// An inverted rate: CPU seconds per shape, shown as e.g. "4.2us".
inline void setShapeCounters(benchmark::State& state) {
    state.counters["per_shape"] = benchmark::Counter(
        double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A console reporter that also keeps the time per iteration (one shape) of
// every run. With --benchmark_repetitions the median of the repetitions is
// kept.
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

// Benchmarks are named scene/side/size, side "lumo" or "agg".
inline std::string benchmarkName(const char* scene, const char* side, int size) {
    return std::string(scene) + "/" + side + "/" + std::to_string(size);
}

// A table of both times per shape, their ratio and the pixel comparison, one
// row per scene and size that ran; the titles come before the first row.
class SummaryTable {
public:
    // `check` draws the scene both ways and compares the pixels.
    template <class Check>
    void row(const std::map<std::string, double>& times, const char* scene, int size, Check check) {
        const auto lumo = times.find(benchmarkName(scene, "lumo", size));
        const auto agg = times.find(benchmarkName(scene, "agg", size));
        if (lumo == times.end() && agg == times.end()) return;
        if (!titled_) {
            std::printf("\n%-20s %5s %14s %14s %8s   %s\n", "scene", "size", "lumo ns/shape",
                        "agg ns/shape", "lumo/agg", "pixels differing (max channel delta)");
            titled_ = true;
        }
        auto cell = [&](auto it) {
            char text[32] = "-";
            if (it != times.end()) std::snprintf(text, sizeof text, "%.1f", it->second);
            return std::string(text);
        };
        char ratio[32] = "-";
        if (lumo != times.end() && agg != times.end() && agg->second > 0) {
            std::snprintf(ratio, sizeof ratio, "%.3f", lumo->second / agg->second);
        }
        const Comparison result = check();
        char pixels[64];
        if (result.differing < 0) {
            std::snprintf(pixels, sizeof pixels, "library drew nothing");
        } else {
            std::snprintf(pixels, sizeof pixels, "%ld (%d)", result.differing, result.maxDelta);
        }
        std::printf("%-20s %5d %14s %14s %8s   %s\n", scene, size, cell(lumo).c_str(),
                    cell(agg).c_str(), ratio, pixels);
        std::fflush(stdout);
    }

private:
    bool titled_ = false;
};

// Tables printed after the runs from the times by benchmark name.
using Summary = void (*)(const std::map<std::string, double>& nsPerShape);

inline std::vector<Summary>& summaries() {
    static std::vector<Summary> list;
    return list;
}

// Registers a table at static initialisation: `static bool added = addSummary(f);`.
inline bool addSummary(Summary summary) {
    summaries().push_back(summary);
    return true;
}

// A path as drawPath takes it (segment codes 0 move, 1 line, 3 cubic, 4 close in
// `types`, their points in `coords`), read as an AGG vertex source straight from
// its arrays.
template <class Path>
class PathArraysSource {
public:
    explicit PathArraysSource(const Path& path) : path_(&path) {}
    void rewind(unsigned) { segment_ = coord_ = pending_ = 0; }
    unsigned vertex(double* x, double* y) {
        if (pending_ == 0) {
            *x = *y = 0.0;
            if (segment_ == path_->types.size()) return agg::path_cmd_stop;
            switch (path_->types[segment_++]) {
                case 0:
                    command_ = agg::path_cmd_move_to, pending_ = 1;
                    break;
                case 1:
                    command_ = agg::path_cmd_line_to, pending_ = 1;
                    break;
                case 3:
                    command_ = agg::path_cmd_curve4, pending_ = 3;
                    break;
                default:
                    return agg::path_cmd_end_poly | agg::path_flags_close;
            }
        }
        --pending_;
        *x = path_->coords[coord_++];
        *y = path_->coords[coord_++];
        return command_;
    }

private:
    const Path* path_;
    size_t segment_ = 0, coord_ = 0;
    unsigned pending_ = 0, command_ = 0;
};

}  // namespace lumo_bench
