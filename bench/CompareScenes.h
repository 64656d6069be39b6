// The scenes that lumo_cairo_bench draws with both engines: every operation
// of a batch generated up front from a seeded generator, so that both sides
// draw exactly the same shapes, colours and placements and nothing but the
// drawing is timed.
//
// Random numbers come from a 64-bit LCG (state = state * 6364136223846793005
// + 1442695040888963407, next() = (state >> 11) * 2^-53 after the step),
// seeded with 0x9E3779B97F4A7C15 ^ (sceneIndex * 1000 + size). For every
// operation the numbers are drawn in this order: the box corner x, y; the
// colour r, g, b, alpha; then the scene's own geometry (the rotation angle,
// the polygon or curve points). Images draw only their x, y offset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumo_bench {

constexpr int kCanvas = 512;
constexpr int kOperations = 1000;      // per batch of a shape scene
constexpr int kImageOperations = 100;  // per batch of an image scene
constexpr int kImageSize = 256;        // the drawn image is square
constexpr double kImageScale = 1.7;
constexpr int kTextureSize = 64;  // the texture is square
constexpr double kTextureScale = 1.5;
constexpr double kKappa = 0.5522847498;  // cubic control distance of a quarter circle

// The generator every harness shares.
class SceneRandom {
public:
    explicit SceneRandom(uint64_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return double(state_ >> 11) * 0x1p-53;
    }

private:
    uint64_t state_;
};

// Scene indices, in the order that seeds them.
enum class SceneKind : int {
    FillRectA,
    FillRectU,
    FillRectRot,
    FillRoundU,
    FillTriangle,
    FillPoly10NZ,
    FillPoly10EO,
    FillPoly40NZ,
    FillPoly40EO,
    FillPath,
    StrokeRectU,
    StrokePoly10,
    StrokePath,
    Dash,
    DrawImageBilinear,
    DrawImageBicubic,
};

enum class Style : int { Solid, LinearGradient, RadialGradient, TextureNN, TextureBilinear, Image };

// How an engine puts a shape scene's outline on the canvas.
enum class Outline {
    IntRect,    // the box at integer x, y: fillRect / a pixel-aligned rectangle
    Rect,       // x, y, w, h fractional
    RoundRect,  // the box with corner radius size / 4 (the path holds the cubics)
    Path,       // the segment codes and coordinates
};

struct SceneInfo {
    SceneKind kind;
    const char* name;
    Outline outline;
    bool stroke;
    bool nonZero;
    bool curves;
};

const std::vector<SceneInfo>& sceneTable();
const char* styleName(Style style);
bool imageScene(SceneKind kind);

// Segment codes of a path, as Java's path iterator and the library number them.
enum Segment : int8_t { MOVE = 0, LINE = 1, CUBIC = 3, CLOSE = 4 };

// One operation: its box, colour and outline.
struct Operation {
    double x = 0, y = 0;  // box corner (floored for FillRectA)
    double w = 0, h = 0;  // rectangle size for the rectangle outlines
    uint8_t r = 0, g = 0, b = 0, a = 255;
    std::vector<int8_t> types;  // the outline as a path (every shape scene has one)
    std::vector<double> coords;

    // Straight-alpha 0xAARRGGBB colours of the solid paint and the gradient stops.
    uint32_t argb() const { return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | b; }
    uint32_t secondStop() const {
        return uint32_t(255 - a / 2) << 24 | uint32_t(b) << 16 | uint32_t(g) << 8 | r;
    }
};

// The operations of one scene at one size (the box size; kImageSize for
// images), the same for every style.
struct Batch {
    const SceneInfo* scene = nullptr;
    int size = 0;
    std::vector<Operation> operations;
};

Batch generateBatch(const SceneInfo& scene, int size);

// The texture: 64 x 64 opaque pixels, and the image: 256 x 256 translucent
// pixels, both as premultiplied 0xAARRGGBB words, top row first.
std::vector<uint32_t> texturePixels();
std::vector<uint32_t> imagePixels();

}  // namespace lumo_bench
