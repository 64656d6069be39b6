// The conic gradient's position per pixel over a 256 x 256 square centred on
// the gradient's centre (gradient units of 1/16, as the span generator passes
// them): through atan2, and with the tabulated arctangent that replaces it.
#include "span/ConicAngle.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

template <int64_t (*Position)(int64_t, int64_t)>
void conicSquare(benchmark::State& state) {
    for (auto _ : state) {
        int64_t sum = 0;
        for (int64_t y = -128; y < 128; ++y) {
            for (int64_t x = -128; x < 128; ++x) sum += Position(x * 16 + 8, y * 16 + 8);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 256 * 256);
}

void BM_ConicPosition_Atan2(benchmark::State& state) {
    conicSquare<lumo::conicByAtan2>(state);
}
void BM_ConicPosition_Table(benchmark::State& state) {
    conicSquare<lumo::conicAngle>(state);
}

BENCHMARK(BM_ConicPosition_Atan2);
BENCHMARK(BM_ConicPosition_Table);

}  // namespace
