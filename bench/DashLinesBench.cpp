// The outlines of dashed polylines added to the rasteriser as the drawing pipeline adds them
// (DashGenerator, DashedOutline, rasterizeCommands), clipped and kept but not swept: the cost
// of making the dashes and storing their lines. Each polyline runs through 10 random points of
// a box of 8, 32, 128 or 256 pixels, dashed 6 on and 3 off, 2 wide, with butt caps and miter
// joins; each iteration adds one of 64 prepared polylines to an emptied rasteriser.
#include "coverage/RasterizeSource.h"
#include "geometry/DashGenerator.h"
#include "geometry/DashedOutline.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int kLines = 64;

// A polyline's points as a vertex source: a move-to, then line-tos.
class Polyline {
public:
    explicit Polyline(const std::vector<double>& xy) : xy_(&xy) {}
    void rewind(unsigned) { next_ = 0; }
    unsigned vertex(double* x, double* y) {
        if (next_ + 1 >= xy_->size()) return agg::path_cmd_stop;
        *x = (*xy_)[next_];
        *y = (*xy_)[next_ + 1];
        next_ += 2;
        return next_ == 2 ? agg::path_cmd_move_to : agg::path_cmd_line_to;
    }

private:
    const std::vector<double>* xy_;
    size_t next_ = 0;
};

void BM_DashLines(benchmark::State& state) {
    const double size = double(state.range(0));
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<std::vector<double>> lines(kLines);
    for (auto& xy : lines) {
        const double x0 = 20 + 400 * unit(random), y0 = 20 + 400 * unit(random);
        for (int i = 0; i < 10; ++i) {
            xy.push_back(x0 + size * unit(random));
            xy.push_back(y0 + size * unit(random));
        }
    }
    lumo::SweepRasterizer rasterizer;
    size_t i = 0;
    for (auto _ : state) {
        Polyline source(lines[i++ % kLines]);
        lumo::DashGenerator<Polyline> dashes(source);
        dashes.add_dash(6.0, 3.0);
        dashes.dash_start(0.0);
        lumo::DashedOutline<Polyline> outline(dashes);
        outline.stroke().width(2.0);
        outline.stroke().line_cap(agg::butt_cap);
        outline.stroke().line_join(agg::miter_join);
        outline.stroke().miter_limit(10.0);
        rasterizer.reset();
        rasterizer.clip_box(0, 0, 1024, 1024);
        lumo::rasterizeCommands(rasterizer, [&](auto& out) { return outline.forEach(out); });
        benchmark::DoNotOptimize(rasterizer.edgeStore().lines().data());
    }
}

BENCHMARK(BM_DashLines)->Arg(8)->Arg(32)->Arg(128)->Arg(256);

}  // namespace
