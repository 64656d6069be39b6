// The floor of a solid fill: a 256 x 256 opaque rectangle filled through the
// exported fillRect call, next to a plain memset of the same 256 rows of the
// same 512 x 512 target (1 KiB per row). The ratio of the two is the overhead
// the fill adds to storing the pixels. Also the same rectangle at a constant
// cover (a fractional translation of half a pixel on both axes leaves the
// inner pixels fully covered and the border rows and columns half covered)
// and a translucent one (every pixel blended).
#include "BenchSupport.h"

#include <cstring>
#include <vector>

namespace {

using namespace lumo_bench;

constexpr jint kSide = 256;
constexpr jint kLeft = 128, kTop = 128;

void fillRect(benchmark::State& state, jint colour, double translation) {
    LumoCanvas canvas;
    if (!canvas.valid()) {
        state.SkipWithError("no target");
        return;
    }
    LUMO(setPaint)(nullptr, nullptr, canvas.graphics(), colour);
    if (translation != 0.0) {
        double values[6] = {1, 0, 0, 1, translation, translation};
        BenchArray array;
        LUMO(setTransform)
        (benchEnv(), nullptr, canvas.graphics(), asArray<jdoubleArray>(array, values, 6));
    }
    for (auto _ : state) {
        LUMO(fillRect)(nullptr, nullptr, canvas.graphics(), kLeft, kTop, kSide, kSide);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide * 4);
}

void BM_SolidFill_Opaque256(benchmark::State& state) {
    fillRect(state, jint(0xFF2E6FB4u), 0.0);
}
void BM_SolidFill_HalfPixel256(benchmark::State& state) {
    fillRect(state, jint(0xFF2E6FB4u), 0.5);
}
void BM_SolidFill_Translucent256(benchmark::State& state) {
    fillRect(state, jint(0x802E6FB4u), 0.0);
}

void BM_SolidFill_Memset256(benchmark::State& state) {
    std::vector<uint8_t> pixels(size_t(kTarget) * kTarget * 4, 0xFF);
    int value = 0;
    for (auto _ : state) {
        for (int y = kTop; y < kTop + kSide; ++y) {
            std::memset(&pixels[(size_t(y) * kTarget + kLeft) * 4], value, size_t(kSide) * 4);
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
        value ^= 1;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide * 4);
}

BENCHMARK(BM_SolidFill_Memset256);
BENCHMARK(BM_SolidFill_Opaque256);
BENCHMARK(BM_SolidFill_HalfPixel256);
BENCHMARK(BM_SolidFill_Translucent256);

}  // namespace
