// The Gaussian blur through its exported call: a 1024 x 1024 region of a
// pixel buffer blurred in place at deviations 1, 3, 10 and 30 on both axes,
// once with the default passes (box filters from deviation 2 on) and once in
// high quality (convolution at every deviation). One blur is one iteration;
// the rate counter and the table printed after the runs give megapixels per
// second.
//
// The buffer holds seeded coloured rectangles on white, drawn afresh (outside
// the timing) before every blur, so every run sees edges as well as flat
// areas, where the box passes' equal-pixel shortcut applies.
#include "BenchSupport.h"

#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace lumo_bench;

constexpr int kSide = 1024;
constexpr double kPixels = double(kSide) * kSide;
constexpr double kDeviations[] = {1, 3, 10, 30};
constexpr int kRectangles = 300;

// A pixel buffer with memory (made by drawing into it through a render
// target) and the region array covering all of it.
class BlurCanvas {
public:
    BlurCanvas() {
        buffer_ = LUMO(createDataBuffer)(nullptr, nullptr, kSide, kSide, kBackground);
        image_ = LUMO(createNativeImage)(nullptr, nullptr, buffer_);
        graphics_ = LUMO(createGraphics)(nullptr, nullptr, image_);
    }
    ~BlurCanvas() {
        LUMO(deleteGraphics)(nullptr, nullptr, graphics_);
        LUMO(deleteNativeImage)(nullptr, nullptr, image_);
        LUMO(deleteDataBuffer)(nullptr, nullptr, buffer_);
    }
    BlurCanvas(const BlurCanvas&) = delete;
    BlurCanvas& operator=(const BlurCanvas&) = delete;

    bool valid() const { return graphics_ != 0; }

    void draw() {
        LUMO(clearDataBuffer)(nullptr, nullptr, buffer_, kBackground);
        SplitMix random(7);
        for (int i = 0; i < kRectangles; ++i) {
            const jint colour = jint(uint32_t(random.next()) | 0xFF000000u);
            LUMO(setPaint)(nullptr, nullptr, graphics_, colour);
            const int w = int(random.uniform(8, 200)), h = int(random.uniform(8, 200));
            const int x = int(random.uniform(0, kSide - w)), y = int(random.uniform(0, kSide - h));
            LUMO(fillRect)(nullptr, nullptr, graphics_, x, y, w, h);
        }
    }

    void blur(double deviation, bool highQuality) {
        BenchArray array;
        LUMO(gaussianBlur)
        (benchEnv(), nullptr, buffer_, asArray<jintArray>(array, region_, 6), deviation, deviation,
         highQuality ? JNI_TRUE : JNI_FALSE);
    }

private:
    jint buffer_ = 0;
    jint image_ = 0;
    jint graphics_ = 0;
    jint region_[6] = {0, 0, kSide, kSide, kSide, kSide};
};

std::string blurName(double deviation, bool highQuality) {
    char name[64];
    std::snprintf(name, sizeof name, "Blur/%s/%g", highQuality ? "hq" : "box", deviation);
    return name;
}

void blurBenchmark(benchmark::State& state, double deviation, bool highQuality) {
    BlurCanvas canvas;
    if (!canvas.valid()) {
        state.SkipWithError("no render target");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        canvas.draw();
        state.ResumeTiming();
        canvas.blur(deviation, highQuality);
    }
    state.counters["Mpix/s"] =
        benchmark::Counter(double(state.iterations()) * kPixels / 1e6, benchmark::Counter::kIsRate);
}

void printBlurSummary(const std::map<std::string, double>& nsPerBlur) {
    bool titled = false;
    for (double deviation : kDeviations) {
        const auto box = nsPerBlur.find(blurName(deviation, false));
        const auto hq = nsPerBlur.find(blurName(deviation, true));
        if (box == nsPerBlur.end() && hq == nsPerBlur.end()) continue;
        if (!titled) {
            std::printf("\n%-10s %16s %16s   (1024 x 1024, both axes)\n", "deviation", "box Mpix/s",
                        "hq Mpix/s");
            titled = true;
        }
        auto rate = [&](auto it) {
            char text[32] = "-";
            if (it != nsPerBlur.end() && it->second > 0) {
                std::snprintf(text, sizeof text, "%.1f", kPixels / it->second * 1e3);
            }
            return std::string(text);
        };
        std::printf("%-10g %16s %16s\n", deviation, rate(box).c_str(), rate(hq).c_str());
    }
    std::fflush(stdout);
}

const bool registered = [] {
    for (double deviation : kDeviations) {
        for (bool highQuality : {false, true}) {
            benchmark::RegisterBenchmark(blurName(deviation, highQuality).c_str(), blurBenchmark,
                                         deviation, highQuality)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return addSummary(&printBlurSummary);
}();

}  // namespace
