// The colour table of a gradient, built for every new gradient a client sets:
// two stops over the whole table (the scene benchmarks' gradients) and five
// stops, from random colours, entries and premultiplied words.
#include "paint/ColourTable.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

void buildTables(benchmark::State& state, const std::vector<int32_t>& positions) {
    std::mt19937 random(3);
    std::vector<agg::rgba8> colours(positions.size());
    for (agg::rgba8& c : colours) {
        const uint32_t v = random();
        c = agg::rgba8(v & 255, (v >> 8) & 255, (v >> 16) & 255, v >> 24);
    }
    for (auto _ : state) {
        colours[0].r = agg::int8u(colours[0].r + 1);
        const lumo::ColourTable table(positions.data(), colours.data(), uint32_t(positions.size()),
                                      1.0f);
        benchmark::DoNotOptimize(table.premultiplied()[200]);
        benchmark::DoNotOptimize(table[100]);
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_ColourTable_TwoStops(benchmark::State& state) {
    buildTables(state, {0, 255});
}
void BM_ColourTable_FiveStops(benchmark::State& state) {
    buildTables(state, {0, 40, 100, 101, 230});
}

BENCHMARK(BM_ColourTable_TwoStops);
BENCHMARK(BM_ColourTable_FiveStops);

}  // namespace
