#include "RasterizerShapes.h"

#include <agg_conv_curve.h>
#include <agg_conv_dash.h>
#include <agg_conv_stroke.h>
#include <agg_ellipse.h>
#include <agg_path_storage.h>

namespace lumo {
namespace test {

namespace {

double uniform(std::mt19937& random, double a, double b) {
    return std::uniform_real_distribution<double>(a, b)(random);
}

int pick(std::mt19937& random, int a, int b) {
    return std::uniform_int_distribution<int>(a, b)(random);
}

template <class Source>
void append(RasterShape& shape, Source& source) {
    source.rewind(0);
    double x = 0.0, y = 0.0;
    unsigned cmd;
    while (!agg::is_stop(cmd = source.vertex(&x, &y))) shape.vertices.push_back({x, y, cmd});
}

// A box inside a target of random size, or one reaching well beyond it
// (narrower than 16,384 px, where clipped lines stay exact in both).
agg::rect_d randomClip(std::mt19937& random) {
    const double w = pick(random, 1, 3) == 1 ? pick(random, 1, 16) : pick(random, 16, 1200);
    const double h = pick(random, 1, 3) == 1 ? pick(random, 1, 16) : pick(random, 16, 1200);
    switch (pick(random, 0, 5)) {
        case 0:
            return agg::rect_d(-uniform(random, 0, 3000), -uniform(random, 0, 3000),
                               w + uniform(random, 0, 12000), h + uniform(random, 0, 3000));
        case 1:
            return agg::rect_d(uniform(random, 0, 20), uniform(random, 0, 20),
                               w - uniform(random, 0, 20), h - uniform(random, 0, 20));
        default:
            return agg::rect_d(0, 0, w, h);
    }
}

// The extent of the shape's points: sub-pixel, small, as large as the clip,
// or huge.
double randomExtent(std::mt19937& random, const agg::rect_d& clip) {
    switch (pick(random, 0, 7)) {
        case 0:
            return uniform(random, 0.05, 2);
        case 1:
            return uniform(random, 2, 12);
        case 2:
            return uniform(random, 1000, 40000);
        default:
            return uniform(random, 4, std::min(1500.0, std::max(8.0, clip.x2 - clip.x1)));
    }
}

void randomPoints(std::mt19937& random, agg::path_storage& path, int count, double cx, double cy,
                  double extent, bool curves) {
    auto point = [&] {
        return std::make_pair(cx + uniform(random, -extent, extent) / 2,
                              cy + uniform(random, -extent, extent) / 2);
    };
    auto p = point();
    path.move_to(p.first, p.second);
    for (int i = 1; i < count; ++i) {
        const auto a = point();
        if (curves && pick(random, 0, 2) == 0) {
            const auto b = point(), c = point();
            path.curve4(a.first, a.second, b.first, b.second, c.first, c.second);
        } else if (curves && pick(random, 0, 1) == 0) {
            const auto b = point();
            path.curve3(a.first, a.second, b.first, b.second);
        } else {
            path.line_to(a.first, a.second);
        }
    }
}

}  // namespace

RasterShape randomRasterShape(std::mt19937& random) {
    RasterShape shape;
    shape.clip = randomClip(random);
    shape.evenOdd = pick(random, 0, 1) == 1;
    shape.gamma = pick(random, 0, 2);
    const double extent = randomExtent(random, shape.clip);
    const double cx = uniform(random, shape.clip.x1 - 20, shape.clip.x2 + 20);
    const double cy = uniform(random, shape.clip.y1 - 20, shape.clip.y2 + 20);
    // Thousands of edges only for small extents, to keep the run short.
    const int maxEdges = extent < 100 ? 3000 : extent < 2000 ? 400 : 60;
    agg::path_storage path;
    switch (pick(random, 0, 4)) {
        case 0: {
            shape.kind = "polygon";
            const int contours = pick(random, 1, 3);
            for (int c = 0; c < contours; ++c) {
                randomPoints(random, path, pick(random, 3, pick(random, 0, 3) ? 12 : maxEdges), cx,
                             cy, extent, false);
                path.close_polygon();
            }
            append(shape, path);
            break;
        }
        case 1: {
            shape.kind = "curves";
            randomPoints(random, path, pick(random, 2, 20), cx, cy, extent, true);
            agg::conv_curve<agg::path_storage> curve(path);
            append(shape, curve);
            break;
        }
        case 2: {
            shape.kind = "ellipse";
            agg::ellipse e(cx, cy, extent * uniform(random, 0.1, 0.6),
                           extent * uniform(random, 0.1, 0.6), unsigned(pick(random, 3, 200)));
            append(shape, e);
            break;
        }
        default: {
            const bool dashed = pick(random, 0, 1) == 1;
            shape.kind = dashed ? "dash" : "stroke";
            randomPoints(random, path, pick(random, 2, std::min(maxEdges, 60)), cx, cy, extent,
                         pick(random, 0, 2) == 0);
            if (pick(random, 0, 2) == 0) path.close_polygon();
            agg::conv_curve<agg::path_storage> curve(path);
            const double width =
                pick(random, 0, 3) == 0 ? uniform(random, 0.05, 1.5) : uniform(random, 1, 40);
            const agg::line_join_e joins[] = {agg::miter_join, agg::miter_join_revert,
                                              agg::round_join, agg::bevel_join,
                                              agg::miter_join_round};
            const agg::line_cap_e caps[] = {agg::butt_cap, agg::square_cap, agg::round_cap};
            auto style = [&](auto& stroke) {
                stroke.width(width);
                stroke.line_join(joins[pick(random, 0, 4)]);
                stroke.line_cap(caps[pick(random, 0, 2)]);
                stroke.miter_limit(uniform(random, 1, 10));
            };
            if (dashed) {
                agg::conv_dash<agg::conv_curve<agg::path_storage>> dash(curve);
                dash.add_dash(uniform(random, 0.5, 30), uniform(random, 0.5, 30));
                if (pick(random, 0, 1))
                    dash.add_dash(uniform(random, 0.1, 10), uniform(random, 1, 10));
                dash.dash_start(uniform(random, 0, 20));
                agg::conv_stroke<decltype(dash)> stroke(dash);
                style(stroke);
                append(shape, stroke);
            } else {
                agg::conv_stroke<decltype(curve)> stroke(curve);
                style(stroke);
                append(shape, stroke);
            }
            break;
        }
    }
    return shape;
}

}  // namespace test
}  // namespace lumo
