// Pixel-array operations on a whole 1024 x 1024 pixel buffer through the
// exported calls: colorMatrix, applyLut, compose (source-over, and the
// arithmetic form) and coerceData on a pixel buffer and on a Java int array.
// Every call is one iteration; the rate is reported in megapixels per second
// ("MP/s"), and a table of the rates is printed after the runs.
//
// The pixels are premultiplied, from a seeded generator: a quarter opaque,
// an eighth transparent, the rest of random alpha, so that the per-pixel
// alpha cases of each operation stay unpredictable.
#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace lumo_bench;

constexpr int kSide = 1024;
constexpr double kPixels = double(kSide) * kSide;

// A sepia-like matrix: every colour output reads all three colour inputs.
constexpr float kMatrix[20] = {0.393f, 0.769f, 0.189f, 0, 0,  //
                               0.349f, 0.686f, 0.168f, 0, 0,  //
                               0.272f, 0.534f, 0.131f, 0, 0,  //
                               0,      0,      0,      1, 0};
constexpr float kArithmetic[4] = {0.25f, 0.5f, 0.5f, 0};

std::vector<jint> randomPixels(uint64_t seed) {
    SplitMix random(seed);
    std::vector<jint> pixels(size_t(kSide) * kSide);
    for (jint& p : pixels) {
        const uint64_t bits = random.next();
        const uint32_t pick = bits & 7;
        const uint32_t a = pick < 2 ? 255 : pick == 2 ? 0 : uint32_t(bits >> 8) % 254 + 1;
        auto channel = [&](int shift) { return uint32_t(bits >> shift) % (a + 1); };
        p = jint(a << 24 | channel(16) << 16 | channel(32) << 8 | channel(48));
    }
    return pixels;
}

// A pixel buffer holding randomPixels(seed), set one pixel at a time with
// setData (its rows count up from the bottom; the order does not matter).
class PixelBuffer {
public:
    explicit PixelBuffer(uint64_t seed)
        : handle_(LUMO(createDataBuffer)(nullptr, nullptr, kSide, kSide, 0)) {
        const std::vector<jint> pixels = randomPixels(seed);
        jint region[6] = {0, 0, 1, 1, kSide, kSide};
        BenchArray array;
        const auto regionArray = asArray<jintArray>(array, region, 6);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                region[0] = x;
                region[1] = y;
                LUMO(setData)
                (benchEnv(), nullptr, handle_, regionArray, pixels[size_t(y) * kSide + x]);
            }
        }
    }
    ~PixelBuffer() { LUMO(deleteDataBuffer)(nullptr, nullptr, handle_); }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    jint handle() const { return handle_; }

private:
    jint handle_;
};

// The whole buffer as a region array.
struct WholeRegion {
    jint values[6] = {0, 0, kSide, kSide, kSide, kSide};
    BenchArray array;
    jintArray get() { return asArray<jintArray>(array, values, 6); }
};

void setRate(benchmark::State& state) {
    state.counters["MP/s"] =
        benchmark::Counter(kPixels * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void ColorMatrix(benchmark::State& state) {
    PixelBuffer buffer(1);
    WholeRegion region;
    float matrix[20];
    std::copy(std::begin(kMatrix), std::end(kMatrix), matrix);
    BenchArray matrixArray;
    const auto m = asArray<jfloatArray>(matrixArray, matrix, 20);
    for (auto _ : state) {
        LUMO(colorMatrix)(benchEnv(), nullptr, buffer.handle(), region.get(), m, JNI_TRUE);
    }
    setRate(state);
}

void ApplyLut(benchmark::State& state) {
    PixelBuffer buffer(2);
    WholeRegion region;
    jboolean toSrgb = JNI_FALSE;
    for (auto _ : state) {
        LUMO(applyLut)(benchEnv(), nullptr, buffer.handle(), region.get(), toSrgb, JNI_TRUE);
        toSrgb = !toSrgb;
    }
    setRate(state);
}

// Source-over onto a destination that is reset from a copy before every
// call (outside the timing), so each call sees the same mix of alphas.
void ComposeSourceOver(benchmark::State& state) {
    PixelBuffer source(3), original(4), destination(4);
    WholeRegion sourceRegion, destinationRegion, copyRegion;
    for (auto _ : state) {
        state.PauseTiming();
        LUMO(copyData)
        (benchEnv(), nullptr, original.handle(), destination.handle(), copyRegion.get(),
         copyRegion.get());
        state.ResumeTiming();
        LUMO(compose__III_3I_3I)
        (benchEnv(), nullptr, 3, source.handle(), destination.handle(), sourceRegion.get(),
         destinationRegion.get());
    }
    setRate(state);
}

void ComposeArithmetic(benchmark::State& state) {
    PixelBuffer source(5), destination(6);
    WholeRegion sourceRegion, destinationRegion;
    float k[4];
    std::copy(std::begin(kArithmetic), std::end(kArithmetic), k);
    BenchArray kArray;
    const auto coefficients = asArray<jfloatArray>(kArray, k, 4);
    for (auto _ : state) {
        LUMO(compose__II_3I_3I_3F)
        (benchEnv(), nullptr, source.handle(), destination.handle(), sourceRegion.get(),
         destinationRegion.get(), coefficients);
    }
    setRate(state);
}

// Alternately unpremultiplies and premultiplies, so every call has work.
void CoerceDataBuffer(benchmark::State& state) {
    PixelBuffer buffer(7);
    WholeRegion region;
    jboolean premultiply = JNI_FALSE;
    for (auto _ : state) {
        LUMO(coerceData__I_3IZ)(benchEnv(), nullptr, buffer.handle(), region.get(), premultiply);
        premultiply = !premultiply;
    }
    setRate(state);
}

void CoerceDataArray(benchmark::State& state) {
    std::vector<jint> pixels = randomPixels(8);
    BenchArray pixelArray;
    const auto array = asArray<jintArray>(pixelArray, pixels.data(), pixels.size());
    WholeRegion region;
    jboolean premultiply = JNI_FALSE;
    for (auto _ : state) {
        LUMO(coerceData___3I_3IZ)(benchEnv(), nullptr, array, region.get(), premultiply);
        premultiply = !premultiply;
    }
    setRate(state);
}

struct Operation {
    const char* name;
    void (*run)(benchmark::State&);
};

constexpr Operation kOperations[] = {
    {"PixelOps/colorMatrix", ColorMatrix},
    {"PixelOps/applyLut", ApplyLut},
    {"PixelOps/compose/sourceOver", ComposeSourceOver},
    {"PixelOps/compose/arithmetic", ComposeArithmetic},
    {"PixelOps/coerceData/buffer", CoerceDataBuffer},
    {"PixelOps/coerceData/array", CoerceDataArray},
};

void printPixelOpsSummary(const std::map<std::string, double>& times) {
    bool titled = false;
    for (const Operation& op : kOperations) {
        const auto it = times.find(op.name);
        if (it == times.end() || it->second <= 0) continue;
        if (!titled) {
            std::printf("\n%-30s %12s %10s\n", "operation (1024 x 1024)", "ms/call", "MP/s");
            titled = true;
        }
        std::printf("%-30s %12.3f %10.1f\n", op.name, it->second / 1e6, kPixels / it->second * 1e3);
    }
    std::fflush(stdout);
}

bool registerPixelOpsBenchmarks() {
    for (const Operation& op : kOperations) {
        benchmark::RegisterBenchmark(op.name, op.run)->Unit(benchmark::kMillisecond);
    }
    return addSummary(printPixelOpsSummary);
}

[[maybe_unused]] const bool registered = registerPixelOpsBenchmarks();

}  // namespace
