// The cost of reaching a native object from Java's int handle: cheap calls
// through the exported functions, so that the handle check dominates.
#include "native/EntryPoints.h"

#include <benchmark/benchmark.h>

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

namespace {

// A buffer that never gets pixel memory: clearing it only records the colour.
void ClearBufferWithoutPixels(benchmark::State& state) {
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 256, 256, 0);
    jint colour = 0;
    for (auto _ : state) LUMO(clearDataBuffer)(nullptr, nullptr, buffer, ++colour);
    LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
}
BENCHMARK(ClearBufferWithoutPixels);

// A deleted handle: the lookup must reject it as cheaply as it finds a live one.
void ClearDeletedBuffer(benchmark::State& state) {
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 256, 256, 0);
    LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
    for (auto _ : state) LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
}
BENCHMARK(ClearDeletedBuffer);

// Creation and deletion take the registry's lock and allocate the object.
void CreateAndDeleteBuffer(benchmark::State& state) {
    for (auto _ : state) {
        const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 64, 64, 0);
        benchmark::DoNotOptimize(buffer);
        LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
    }
}
BENCHMARK(CreateAndDeleteBuffer);

void CreateAndDeleteRenderTarget(benchmark::State& state) {
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 64, 64, 0);
    for (auto _ : state) {
        const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
        benchmark::DoNotOptimize(image);
        LUMO(deleteNativeImage)(nullptr, nullptr, image);
    }
    LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
}
BENCHMARK(CreateAndDeleteRenderTarget);

void ReadTimer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(LUMO(queryPerformanceCounter)(nullptr, nullptr));
}
BENCHMARK(ReadTimer);

}  // namespace
