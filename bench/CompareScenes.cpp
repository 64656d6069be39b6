#include "CompareScenes.h"

#include <cmath>
#include <initializer_list>

namespace lumo_bench {

const std::vector<SceneInfo>& sceneTable() {
    static const std::vector<SceneInfo> table = {
        {SceneKind::FillRectA, "FillRectA", Outline::IntRect, false, true, false},
        {SceneKind::FillRectU, "FillRectU", Outline::Rect, false, true, false},
        {SceneKind::FillRectRot, "FillRectRot", Outline::Path, false, true, false},
        {SceneKind::FillRoundU, "FillRoundU", Outline::RoundRect, false, true, true},
        {SceneKind::FillTriangle, "FillTriangle", Outline::Path, false, true, false},
        {SceneKind::FillPoly10NZ, "FillPoly10NZ", Outline::Path, false, true, false},
        {SceneKind::FillPoly10EO, "FillPoly10EO", Outline::Path, false, false, false},
        {SceneKind::FillPoly40NZ, "FillPoly40NZ", Outline::Path, false, true, false},
        {SceneKind::FillPoly40EO, "FillPoly40EO", Outline::Path, false, false, false},
        {SceneKind::FillPath, "FillPath", Outline::Path, false, true, true},
        {SceneKind::StrokeRectU, "StrokeRectU", Outline::Rect, true, true, false},
        {SceneKind::StrokePoly10, "StrokePoly10", Outline::Path, true, true, false},
        {SceneKind::StrokePath, "StrokePath", Outline::Path, true, true, true},
        {SceneKind::Dash, "Dash", Outline::Path, true, true, false},
        {SceneKind::DrawImageBilinear, "DrawImageBilinear", Outline::Path, false, true, false},
        {SceneKind::DrawImageBicubic, "DrawImageBicubic", Outline::Path, false, true, false},
    };
    return table;
}

const char* styleName(Style style) {
    switch (style) {
        case Style::Solid:
            return "Solid";
        case Style::LinearGradient:
            return "LinearGradient";
        case Style::RadialGradient:
            return "RadialGradient";
        case Style::TextureNN:
            return "TextureNN";
        case Style::TextureBilinear:
            return "TextureBilinear";
        case Style::Image:
            return "Image";
    }
    return "?";
}

bool imageScene(SceneKind kind) {
    return kind == SceneKind::DrawImageBilinear || kind == SceneKind::DrawImageBicubic;
}

namespace {

class PathBuilder {
public:
    explicit PathBuilder(Operation& op) : op_(op) {}
    void move(double x, double y) { add(MOVE, {x, y}); }
    void line(double x, double y) { add(LINE, {x, y}); }
    void cubic(double x1, double y1, double x2, double y2, double x3, double y3) {
        add(CUBIC, {x1, y1, x2, y2, x3, y3});
    }
    void close() { op_.types.push_back(CLOSE); }

private:
    void add(Segment code, std::initializer_list<double> values) {
        op_.types.push_back(code);
        op_.coords.insert(op_.coords.end(), values);
    }
    Operation& op_;
};

// A point anywhere in the operation's box.
void randomPoint(SceneRandom& random, const Operation& op, int size, double& x, double& y) {
    x = op.x + random.next() * size;
    y = op.y + random.next() * size;
}

// `count` random points, the first a move, the rest lines.
void randomPolyline(SceneRandom& random, Operation& op, int size, int count, bool closed) {
    PathBuilder path(op);
    for (int i = 0; i < count; ++i) {
        double x, y;
        randomPoint(random, op, size, x, y);
        i == 0 ? path.move(x, y) : path.line(x, y);
    }
    if (closed) path.close();
}

// A move to a random point and `count` cubics of three random points each.
void randomCurves(SceneRandom& random, Operation& op, int size, int count, bool closed) {
    PathBuilder path(op);
    double x, y;
    randomPoint(random, op, size, x, y);
    path.move(x, y);
    for (int i = 0; i < count; ++i) {
        double p[6];
        for (int k = 0; k < 3; ++k) randomPoint(random, op, size, p[2 * k], p[2 * k + 1]);
        path.cubic(p[0], p[1], p[2], p[3], p[4], p[5]);
    }
    if (closed) path.close();
}

void rectanglePath(Operation& op) {
    PathBuilder path(op);
    path.move(op.x, op.y);
    path.line(op.x + op.w, op.y);
    path.line(op.x + op.w, op.y + op.h);
    path.line(op.x, op.y + op.h);
    path.close();
}

// The rounded box as lines and quarter-circle cubics, starting on the left
// edge below the top-left corner and running down (the order of Java's
// rounded-rectangle outline).
void roundRectPath(Operation& op, double r) {
    const double x = op.x, y = op.y, w = op.w, h = op.h, k = r * kKappa;
    PathBuilder path(op);
    path.move(x, y + r);
    path.line(x, y + h - r);
    path.cubic(x, y + h - r + k, x + r - k, y + h, x + r, y + h);
    path.line(x + w - r, y + h);
    path.cubic(x + w - r + k, y + h, x + w, y + h - r + k, x + w, y + h - r);
    path.line(x + w, y + r);
    path.cubic(x + w, y + r - k, x + w - r + k, y, x + w - r, y);
    path.line(x + r, y);
    path.cubic(x + r - k, y, x, y + r - k, x, y + r);
    path.close();
}

void rotatedSquarePath(Operation& op, int size, double angle) {
    const double cx = op.x + size * 0.5, cy = op.y + size * 0.5, half = size * 0.5;
    const double c = std::cos(angle), s = std::sin(angle);
    const double corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
    PathBuilder path(op);
    for (int i = 0; i < 4; ++i) {
        const double px = cx + corners[i][0] * c - corners[i][1] * s;
        const double py = cy + corners[i][0] * s + corners[i][1] * c;
        i == 0 ? path.move(px, py) : path.line(px, py);
    }
    path.close();
}

Operation generateOperation(SceneRandom& random, SceneKind kind, int size) {
    Operation op;
    const double room = imageScene(kind) ? kCanvas - kImageSize * kImageScale : kCanvas - size;
    op.x = random.next() * room;
    op.y = random.next() * room;
    if (imageScene(kind)) return op;
    op.r = uint8_t(random.next() * 256);
    op.g = uint8_t(random.next() * 256);
    op.b = uint8_t(random.next() * 256);
    op.a = uint8_t(128 + int(random.next() * 96));
    op.w = op.h = size;
    switch (kind) {
        case SceneKind::FillRectA:
            op.x = std::floor(op.x);
            op.y = std::floor(op.y);
            rectanglePath(op);
            break;
        case SceneKind::FillRectU:
        case SceneKind::StrokeRectU:
            op.w = op.h = size - 0.5;
            rectanglePath(op);
            break;
        case SceneKind::FillRectRot:
            rotatedSquarePath(op, size, random.next() * 2.0 * M_PI);
            break;
        case SceneKind::FillRoundU:
            roundRectPath(op, size / 4.0);
            break;
        case SceneKind::FillTriangle:
            randomPolyline(random, op, size, 3, true);
            break;
        case SceneKind::FillPoly10NZ:
        case SceneKind::FillPoly10EO:
        case SceneKind::StrokePoly10:
            randomPolyline(random, op, size, 10, true);
            break;
        case SceneKind::FillPoly40NZ:
        case SceneKind::FillPoly40EO:
            randomPolyline(random, op, size, 40, true);
            break;
        case SceneKind::FillPath:
            randomCurves(random, op, size, 200, true);
            break;
        case SceneKind::StrokePath:
            randomCurves(random, op, size, 20, false);
            break;
        case SceneKind::Dash:
            randomPolyline(random, op, size, 10, false);
            break;
        case SceneKind::DrawImageBilinear:
        case SceneKind::DrawImageBicubic:
            break;
    }
    return op;
}

uint32_t premultiplied(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | scale(r) << 16 | scale(g) << 8 | scale(b);
}

}  // namespace

Batch generateBatch(const SceneInfo& scene, int size) {
    Batch batch;
    batch.scene = &scene;
    batch.size = size;
    const uint64_t index = uint64_t(int(scene.kind));
    SceneRandom random(0x9E3779B97F4A7C15ull ^ (index * 1000 + uint64_t(size)));
    const int count = imageScene(scene.kind) ? kImageOperations : kOperations;
    batch.operations.reserve(count);
    for (int i = 0; i < count; ++i) {
        batch.operations.push_back(generateOperation(random, scene.kind, size));
    }
    return batch;
}

// 8-pixel checks of a warm and a cool colour, each shaded by position.
std::vector<uint32_t> texturePixels() {
    std::vector<uint32_t> pixels(size_t(kTextureSize) * kTextureSize);
    for (int y = 0; y < kTextureSize; ++y) {
        for (int x = 0; x < kTextureSize; ++x) {
            const bool check = ((x >> 3) ^ (y >> 3)) & 1;
            const uint32_t r = check ? 255 - 2 * uint32_t(y) : 4 * uint32_t(x);
            const uint32_t g = check ? 64 + 2 * uint32_t(x) : 4 * uint32_t(y);
            const uint32_t b = check ? 32 : 255 - 3 * uint32_t(x);
            pixels[size_t(y) * kTextureSize + x] = premultiplied(255, r, g, b);
        }
    }
    return pixels;
}

// A colour ramp with 16-pixel checks of stronger blue, alpha rising from 96
// at the top-left to 255 at the bottom-right.
std::vector<uint32_t> imagePixels() {
    std::vector<uint32_t> pixels(size_t(kImageSize) * kImageSize);
    for (int y = 0; y < kImageSize; ++y) {
        for (int x = 0; x < kImageSize; ++x) {
            const bool check = ((x >> 4) ^ (y >> 4)) & 1;
            const uint32_t a = 96 + uint32_t(x + y) * 159 / 510;
            pixels[size_t(y) * kImageSize + x] =
                premultiplied(a, uint32_t(x), uint32_t(y), check ? 255 : 48);
        }
    }
    return pixels;
}

}  // namespace lumo_bench
