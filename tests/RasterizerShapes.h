#pragma once

#include <agg_basics.h>

#include <random>
#include <string>
#include <vector>

namespace lumo {
namespace test {

// A random shape for a rasteriser: vertex commands in device space, the clip
// box, fill rule and gamma (0: none, 1: the threshold of aliased clips,
// 2: a power curve). The kinds: self-intersecting polygons of a few to
// thousands of edges, curves, ellipses, and outlines stroked and dashed with
// every join and cap; sizes from sub-pixel to beyond the clip box; clip boxes
// inside a target and reaching beyond it.
struct RasterShape {
    struct Vertex {
        double x, y;
        unsigned cmd;
    };
    std::vector<Vertex> vertices;
    agg::rect_d clip;
    bool evenOdd = false;
    int gamma = 0;
    std::string kind;
};

RasterShape randomRasterShape(std::mt19937& random);

}  // namespace test
}  // namespace lumo
