// The coverage span sweep alone (SweepRasterizer::sweepSpans, as painted shapes under a
// rectangle clip take it), without drawing: star polygons of 10 and 40 corners that wind three
// times round their centre, filled with the even-odd and the non-zero rule, and a dashed
// polyline's outline of small quadrilaterals, in boxes of 8, 32, 128 and 256 pixels. The sink
// only adds up the covers' first and last bytes and the spans' ends, so the time is the
// sweep's: the rasteriser is loaded once per shape outside the timing, and each iteration
// sweeps one of 64 prepared shapes (a sweep does not consume the shape).
#include "coverage/SweepRasterizer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kShapes = 64;

struct Outline {
    std::vector<double> xy;  // a closed polygon's corners
};

Outline star(std::mt19937& random, int n, double size) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double r = size / 2, cx = 300 + unit(random), cy = 300 + unit(random);
    const double start = unit(random) * kTwoPi;
    Outline o;
    for (int i = 0; i < n; ++i) {
        const double a = start + i * 3 * kTwoPi / n, d = r * (0.55 + 0.45 * unit(random));
        o.xy.push_back(cx + d * std::cos(a));
        o.xy.push_back(cy + d * std::sin(a));
    }
    return o;
}

// Dashes 6 on, 3 off, 2 wide, along a 10-point polyline: one quadrilateral each.
std::vector<Outline> dashes(std::mt19937& random, double size) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Outline> out;
    double px = 300 + unit(random) * size, py = 300 + unit(random) * size, phase = 0;
    for (int i = 1; i < 10; ++i) {
        const double qx = 300 + unit(random) * size, qy = 300 + unit(random) * size;
        const double len = std::hypot(qx - px, qy - py);
        if (len > 0) {
            const double ux = (qx - px) / len, uy = (qy - py) / len;
            for (double s = -phase; s < len; s += 9) {
                const double a = std::max(s, 0.0), b = std::min(s + 6, len);
                if (b <= a) continue;
                Outline o;
                const double pts[4][2] = {{a, 1}, {b, 1}, {b, -1}, {a, -1}};
                for (const auto& p : pts) {
                    o.xy.push_back(px + ux * p[0] - uy * p[1]);
                    o.xy.push_back(py + uy * p[0] + ux * p[1]);
                }
                out.push_back(o);
            }
            phase = std::fmod(phase + len, 9.0);
        }
        px = qx, py = qy;
    }
    return out;
}

struct Checksum {
    uint64_t total = 0;
    void row(int y) { total += unsigned(y); }
    void span(int x, int len, const uint8_t* covers) {
        total += unsigned(x) + unsigned(len) + covers[0] + covers[len - 1];
    }
};

enum class Scene { Star10, Star40, Dash };

void sweep(benchmark::State& state, Scene scene, bool evenOdd) {
    const double size = double(state.range(0));
    std::mt19937 random(7);
    std::vector<std::unique_ptr<lumo::SweepRasterizer>> shapes;
    for (int s = 0; s < kShapes; ++s) {
        auto r = std::make_unique<lumo::SweepRasterizer>();
        r->clip_box(0, 0, 1024, 1024);
        r->filling_rule(evenOdd ? agg::fill_even_odd : agg::fill_non_zero);
        std::vector<Outline> outlines;
        if (scene == Scene::Dash) {
            outlines = dashes(random, size);
        } else {
            outlines.push_back(star(random, scene == Scene::Star10 ? 10 : 40, size));
        }
        for (const Outline& o : outlines) {
            r->move_to_d(o.xy[0], o.xy[1]);
            for (size_t i = 2; i < o.xy.size(); i += 2) r->line_to_d(o.xy[i], o.xy[i + 1]);
            r->close_polygon();
        }
        shapes.push_back(std::move(r));
    }
    Checksum sink;
    size_t i = 0;
    for (auto _ : state) {
        shapes[i++ % kShapes]->sweepSpans(sink);
    }
    benchmark::DoNotOptimize(sink.total);
}

void BM_SweepSpans_Star10EO(benchmark::State& s) {
    sweep(s, Scene::Star10, true);
}
void BM_SweepSpans_Star40EO(benchmark::State& s) {
    sweep(s, Scene::Star40, true);
}
void BM_SweepSpans_Star40NZ(benchmark::State& s) {
    sweep(s, Scene::Star40, false);
}
void BM_SweepSpans_Dash(benchmark::State& s) {
    sweep(s, Scene::Dash, false);
}

BENCHMARK(BM_SweepSpans_Star10EO)->Arg(8)->Arg(32)->Arg(128)->Arg(256);
BENCHMARK(BM_SweepSpans_Star40EO)->Arg(8)->Arg(32)->Arg(128)->Arg(256);
BENCHMARK(BM_SweepSpans_Star40NZ)->Arg(128);
BENCHMARK(BM_SweepSpans_Dash)->Arg(8)->Arg(32)->Arg(128)->Arg(256);

}  // namespace
