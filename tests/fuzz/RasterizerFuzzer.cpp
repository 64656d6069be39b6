// libFuzzer target: draws one fuzzer-made outline with lumo's coverage
// rasteriser and with AGG's, and stops the run when their scan-lines differ
// (antialiased or binary). The input: a flags byte (fill rule, gamma), the
// clip box, a scale, then vertices (command byte, two 16-bit coordinates).
// Clip boxes stay narrower than 16,384 px and outlines below 600 vertices,
// short of the two places where AGG's rasteriser is knowingly not followed
// (lines wider than that, and its cell limit).
#include "coverage/SweepRasterizer.h"

#include "fuzz/FuzzInput.h"

#include <agg_gamma_functions.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>
#include <agg_scanline_bin.h>
#include <agg_scanline_u.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using AggRasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

constexpr int kMaxVertices = 600;

// Every scan-line of a sweep, flattened: row, span count, then x, length and
// (antialiased) covers of each span.
template <class Scanline, class Rasterizer>
std::vector<int> sweepAll(Rasterizer& ras) {
    std::vector<int> out;
    if (!ras.rewind_scanlines()) return out;
    Scanline sl;
    sl.reset(ras.min_x(), ras.max_x());
    while (ras.sweep_scanline(sl)) {
        out.push_back(sl.y());
        out.push_back(int(sl.num_spans()));
        auto span = sl.begin();
        for (unsigned i = 0; i < sl.num_spans(); ++i, ++span) {
            out.push_back(span->x);
            out.push_back(span->len);
            if constexpr (std::is_same_v<Scanline, agg::scanline_u8>) {
                out.insert(out.end(), span->covers, span->covers + span->len);
            }
        }
    }
    return out;
}

struct Outline {
    struct Vertex {
        double x, y;
        unsigned cmd;
    };
    double clip[4];
    bool evenOdd;
    int gamma;
    std::vector<Vertex> vertices;
};

Outline readOutline(lumo::fuzz::FuzzInput& in) {
    Outline o;
    const uint8_t flags = in.byte();
    o.evenOdd = (flags & 1) != 0;
    o.gamma = (flags >> 1) % 3;
    const double x = int16_t(in.u32() & 0xffff) / 16.0;
    const double y = int16_t(in.u32() & 0xffff) / 16.0;
    o.clip[0] = x;
    o.clip[1] = y;
    o.clip[2] = x + (in.u32() & 0x3fff) / 8.0;
    o.clip[3] = y + (in.u32() & 0x3fff) / 8.0;
    // Coordinates are 16-bit steps of 1/256 to 64 px.
    const double scale = double(1u << (in.byte() % 15)) / 256.0;
    while (!in.done() && o.vertices.size() < size_t(kMaxVertices)) {
        const uint8_t c = in.byte();
        const double vx = int16_t(in.byte() | in.byte() << 8) * scale;
        const double vy = int16_t(in.byte() | in.byte() << 8) * scale;
        const unsigned cmd = c % 8 == 0   ? agg::path_cmd_move_to
                             : c % 8 == 1 ? unsigned(agg::path_cmd_end_poly | agg::path_flags_close)
                                          : agg::path_cmd_line_to;
        o.vertices.push_back({vx, vy, cmd});
    }
    return o;
}

template <class Rasterizer>
void load(Rasterizer& ras, const Outline& o) {
    ras.clip_box(o.clip[0], o.clip[1], o.clip[2], o.clip[3]);
    ras.filling_rule(o.evenOdd ? agg::fill_even_odd : agg::fill_non_zero);
    if (o.gamma == 1) {
        ras.gamma(agg::gamma_threshold(1.0));
    } else if (o.gamma == 2) {
        ras.gamma(agg::gamma_power(1.7));
    } else {
        ras.gamma(agg::gamma_none());
    }
    ras.move_to_d(0.0, 0.0);
    for (const Outline::Vertex& v : o.vertices) ras.add_vertex(v.x, v.y, v.cmd);
}

template <class Scanline>
void compare(AggRasterizer& agg, lumo::SweepRasterizer& ours, const char* kind) {
    if (sweepAll<Scanline>(agg) != sweepAll<Scanline>(ours)) {
        std::fprintf(stderr, "rasteriser fuzzer: %s scan-lines differ from AGG's\n", kind);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumo::fuzz::FuzzInput in(data, size);
    const Outline outline = readOutline(in);
    // Kept between inputs, as a render target keeps its rasteriser.
    static lumo::SweepRasterizer ours;
    AggRasterizer agg;
    load(agg, outline);
    load(ours, outline);
    compare<agg::scanline_u8>(agg, ours, "antialiased");
    compare<agg::scanline_bin>(agg, ours, "binary");
    return 0;
}
