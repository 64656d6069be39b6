#include "windows/Scenes.h"

#include <cmath>
#include <fstream>

namespace lumo::test {

bool SceneApi::bind(const std::function<AnyFunction(const char*)>& find) {
    bool all = true;
#define LUMO_SCENE_BIND(entry)                                                                    \
    entry = reinterpret_cast<decltype(entry)>(find("Java_com_quarn_lumo_internal_LUMO_" #entry)); \
    all = all && entry != nullptr;
    LUMO_SCENE_ENTRIES(LUMO_SCENE_BIND)
#undef LUMO_SCENE_BIND
    return all;
}

// A scene's render target and drawing object, and Java arrays that live
// until the scene is read.
struct SceneContext {
    explicit SceneContext(const SceneApi& entries) : api(entries) {}

    const SceneApi& api;
    FakeJni jni;
    JNIEnv* env = jni.env();
    jint buffer = 0;
    jint image = 0;
    jint g = 0;
    std::vector<jint> buffers;  // sources made for the scene

    jdoubleArray doubles(const std::vector<jdouble>& v) {
        return static_cast<jdoubleArray>(jni.array(v));
    }
    jfloatArray floats(const std::vector<jfloat>& v) {
        return static_cast<jfloatArray>(jni.array(v));
    }
    jintArray ints(const std::vector<jint>& v) { return jni.ints(v); }
    jbyteArray bytes(const std::vector<jbyte>& v) { return jni.bytes(v); }

    // A 24 x 16 picture drawn by lumo itself on a translucent background: a
    // gradient, an oval and a bar, so that images and textures show edges,
    // colour ramps and alpha.
    jint picture() {
        const jint pixels = api.createDataBuffer(env, nullptr, 24, 16, jint(0x80FFFFFF));
        const jint target = api.createNativeImage(env, nullptr, pixels);
        buffers.push_back(pixels);
        buffers.push_back(target);
        const jint pg = api.createGraphics(env, nullptr, target);
        api.setHint(env, nullptr, pg, 1, 1);
        api.setGradient(env, nullptr, pg, 2, 0, doubles({0, 0, 24, 16, 0, 0}), ints({0, 255}),
                        ints({jint(0xFFE03020), jint(0xFF2040E0)}), nullptr);
        api.fillRect(env, nullptr, pg, 0, 0, 16, 16);
        api.setPaint(env, nullptr, pg, jint(0xC020C060));
        api.fillOval(env, nullptr, pg, 10, 2, 13, 12);
        api.setPaint(env, nullptr, pg, jint(0xFF000000));
        api.fillRect(env, nullptr, pg, 3, 11, 18, 2);
        api.deleteGraphics(env, nullptr, pg);
        return target;
    }

    void antialias(bool on) { api.setHint(env, nullptr, g, 1, on ? 1 : 0); }
    void imageFilter(int filter) { api.setHint(env, nullptr, g, 0xF800, filter); }
    void paint(uint32_t argb) { api.setPaint(env, nullptr, g, jint(argb)); }
    void stroke(float width, int cap, int join, std::vector<jfloat> dash = {}) {
        api.setStroke(env, nullptr, g, width, cap, join, 10.0f,
                      dash.empty() ? nullptr : floats(dash), 1.5f);
    }
    void transform(double degrees, double scale, double tx, double ty) {
        const double r = degrees * 3.14159265358979323846 / 180, c = std::cos(r) * scale,
                     s = std::sin(r) * scale;
        api.setTransform(env, nullptr, g, doubles({c, s, -s, c, tx, ty}));
    }
    void polyline(const std::vector<jint>& x, const std::vector<jint>& y) {
        api.drawPolyline(env, nullptr, g, jint(x.size()), ints(x), ints(y));
    }
    void polygon(const std::vector<jint>& x, const std::vector<jint>& y) {
        api.fillPolygon(env, nullptr, g, jint(x.size()), ints(x), ints(y));
    }
    // A path of segment codes (0 move, 1 line, 2 quad, 3 cubic, 4 close)
    // filled (flags 0x01) or stroked (0x02).
    void path(const std::vector<jbyte>& types, const std::vector<jdouble>& coords, bool nonZero,
              int flags) {
        api.drawPath(env, nullptr, g, jint(types.size()), bytes(types), doubles(coords), nonZero,
                     flags);
    }
    // A circle as four cubics.
    void circle(double cx, double cy, double r, std::vector<jbyte>& types,
                std::vector<jdouble>& coords) {
        const double k = 0.5522847498 * r;
        types.insert(types.end(), {0, 3, 3, 3, 3, 4});
        coords.insert(coords.end(),
                      {cx + r, cy,     cx + r, cy + k, cx + k, cy + r, cx,     cy + r, cx - k,
                       cy + r, cx - r, cy + k, cx - r, cy,     cx - r, cy - k, cx - k, cy - r,
                       cx,     cy - r, cx + k, cy - r, cx + r, cy - k, cx + r, cy});
    }
    void blur(int x, int y, int size, double deviation, bool highQuality) {
        api.gaussianBlur(env, nullptr, buffer, ints({x, y, size, size, sceneSize, sceneSize}),
                         deviation, deviation, highQuality);
    }
};

namespace {

constexpr int butt = 0, round = 1, square = 2;      // caps
constexpr int miter = 0, roundJoin = 1, bevel = 2;  // joins
constexpr int fill = 0x01, strokeIt = 0x02, curves = 0x20;

void star(SceneContext& s) {
    s.antialias(true);
    s.paint(0xFF2060C0);
    s.polygon({32, 40, 62, 44, 50, 32, 14, 20, 2, 24}, {2, 24, 26, 40, 62, 48, 62, 40, 26, 24});
}

void aliasedShapes(SceneContext& s) {
    s.antialias(false);
    s.paint(0xFFC02040);
    s.api.fillOval(s.env, nullptr, s.g, 3, 5, 40, 29);
    s.paint(0xA0208040);
    s.api.fillRect(s.env, nullptr, s.g, 20, 20, 37, 30);
    s.api.fillRoundRect(s.env, nullptr, s.g, 6, 40, 30, 20, 12, 9);
}

void curvedPath(SceneContext& s, bool nonZero) {
    s.antialias(true);
    s.paint(0xE0A04010);
    std::vector<jbyte> types;
    std::vector<jdouble> coords;
    s.circle(24.3, 26.1, 19.7, types, coords);
    s.circle(38.6, 36.4, 21.2, types, coords);
    types.insert(types.end(), {0, 2, 2, 4});
    coords.insert(coords.end(), {4, 60, 30, 30, 60, 61, 32, 50, 4, 60});
    s.path(types, coords, nonZero, fill | curves);
}

void translucentOverlaps(SceneContext& s) {
    s.antialias(true);
    s.paint(0x80FF0000);
    s.api.fillOval(s.env, nullptr, s.g, 4, 4, 40, 40);
    s.paint(0x6000C040);
    s.api.fillOval(s.env, nullptr, s.g, 20, 12, 40, 40);
    s.paint(0x402040FF);
    s.api.fillRect(s.env, nullptr, s.g, 10, 26, 44, 30);
}

void arcs(SceneContext& s) {
    s.antialias(true);
    s.paint(0xFF3070A0);
    s.api.fillArc(s.env, nullptr, s.g, 2, 2, 40, 36, 30, 240);
    s.paint(0xFF903020);
    s.stroke(2.5f, butt, miter);
    s.api.drawArc(s.env, nullptr, s.g, 20, 10, 40, 44, -60, 200);
    s.paint(0xC0208030);
    s.api.fillRoundRect(s.env, nullptr, s.g, 8, 40, 50, 20, 16, 12);
}

// A zigzag whose corners turn by different angles.
void zigzag(SceneContext& s, float width, int cap, int join) {
    s.antialias(true);
    s.paint(0xFF204080);
    s.stroke(width, cap, join);
    s.polyline({6, 20, 30, 44, 58, 50, 12}, {10, 50, 14, 40, 8, 58, 40});
}

void nearlyFlatJoins(SceneContext& s, int join) {
    s.antialias(true);
    s.paint(0xFF602080);
    s.stroke(9, butt, join);
    s.path({0, 1, 1, 1, 1}, {4, 20, 18, 19.6, 32, 20.3, 46, 19.8, 60, 20.1}, true, strokeIt);
    s.path({0, 1, 1, 4}, {6, 40, 58, 40.4, 32, 58, 6, 40}, true, strokeIt);
}

void dashedOval(SceneContext& s) {
    s.antialias(true);
    s.paint(0xFF106030);
    s.stroke(3, butt, miter, {7, 3, 2, 3});
    s.api.drawOval(s.env, nullptr, s.g, 5, 8, 54, 46);
    s.stroke(2, square, bevel, {5, 4});
    s.api.drawRect(s.env, nullptr, s.g, 14, 20, 36, 22);
}

void rotatedStroke(SceneContext& s) {
    s.antialias(true);
    s.paint(0xFF803010);
    s.transform(27, 1.4, 30, 4);
    s.stroke(2.5f, butt, miter);
    s.api.drawRect(s.env, nullptr, s.g, 2, 2, 26, 18);
    s.api.drawOval(s.env, nullptr, s.g, 0, 20, 24, 12);
}

void gradient(SceneContext& s, int kind, int cycle, std::vector<jdouble> points) {
    s.antialias(true);
    s.api.setGradient(s.env, nullptr, s.g, kind, cycle, s.doubles(points), s.ints({0, 90, 255}),
                      s.ints({jint(0xFFFF0000), jint(0x8000FF00), jint(0xFF0000FF)}), nullptr);
    s.api.fillOval(s.env, nullptr, s.g, 2, 2, 60, 60);
}

void texture(SceneContext& s, int wrap, int filter) {
    s.antialias(true);
    const jint picture = s.picture();
    s.imageFilter(filter);
    s.api.setTexture(s.env, nullptr, s.g, picture, s.doubles({1.3, 0.5, -0.4, 1.1, 5.5, 3.25}),
                     wrap);
    s.api.fillRect(s.env, nullptr, s.g, 2, 2, 60, 60);
}

void image(SceneContext& s, int filter, std::vector<jdouble> matrix) {
    s.antialias(true);
    const jint picture = s.picture();
    s.imageFilter(filter);
    s.api.drawImage(s.env, nullptr, s.g, picture, s.doubles(matrix));
}

void composites(SceneContext& s) {
    s.antialias(true);
    s.paint(0xC0E08020);
    s.api.fillRect(s.env, nullptr, s.g, 4, 4, 40, 40);
    s.api.setComposite(s.env, nullptr, s.g, 12, 0.8f);  // xor
    s.paint(0xFF2050C0);
    s.api.fillOval(s.env, nullptr, s.g, 20, 20, 40, 40);
    s.api.setComposite(s.env, nullptr, s.g, 14, 1.0f);
    s.api.setGradient(s.env, nullptr, s.g, 2, 0, s.doubles({0, 0, 64, 0, 0, 0}), s.ints({0, 255}),
                      s.ints({jint(0xFF40FF40), jint(0x80FF40FF)}), nullptr);
    s.api.fillRect(s.env, nullptr, s.g, 0, 24, 64, 16);
}

void pathClip(SceneContext& s) {
    s.antialias(true);
    s.api.setHint(s.env, nullptr, s.g, 0x4, 1);
    std::vector<jbyte> types;
    std::vector<jdouble> coords;
    s.circle(32.5, 30.25, 24.6, types, coords);
    s.api.setClip(s.env, nullptr, s.g, jint(types.size()), s.bytes(types), s.doubles(coords), true);
    s.api.setGradient(s.env, nullptr, s.g, 1, 1, s.doubles({20, 20, 36, 30, 0, 0}),
                      s.ints({0, 255}), s.ints({jint(0xFF0080FF), jint(0xFFFFE000)}), nullptr);
    s.api.fillRect(s.env, nullptr, s.g, 0, 0, 64, 64);
}

void blurred(SceneContext& s, double deviation, bool highQuality) {
    s.antialias(true);
    s.paint(0xFF2040A0);
    s.api.fillRect(s.env, nullptr, s.g, 12, 12, 20, 30);
    s.paint(0xC0E04010);
    s.api.fillOval(s.env, nullptr, s.g, 26, 20, 30, 30);
    s.blur(4, 4, 56, deviation, highQuality);
}

// AGG 2.4 ends an outer round or bevel join between nearly parallel
// segments (one whose bevel would not show) at the end of the first
// segment's outline; 2.6 at the point where the two outlines meet. The
// corner moves by a fraction of a pixel.
constexpr AggDifference flatJoins{
    6, 64,
    "AGG 2.4 puts the outer corner of nearly flat round and bevel joins at the first "
    "segment's end, 2.6 where the outlines meet"};

}  // namespace

const std::vector<Scene>& scenes() {
    static const std::vector<Scene> all = {
        {"antialiased polygon", star, {}},
        {"aliased shapes", aliasedShapes, {}},
        {"curves, non-zero", [](SceneContext& s) { curvedPath(s, true); }, {}},
        {"curves, even-odd", [](SceneContext& s) { curvedPath(s, false); }, {}},
        {"translucent overlaps", translucentOverlaps, {}},
        {"arcs, rounded rectangle", arcs, {}},
        {"stroke, miter joins", [](SceneContext& s) { zigzag(s, 6, butt, miter); }, {}},
        {"stroke, round joins", [](SceneContext& s) { zigzag(s, 7, round, roundJoin); }, {}},
        {"stroke, bevel joins", [](SceneContext& s) { zigzag(s, 5, square, bevel); }, {}},
        {"nearly flat miter joins", [](SceneContext& s) { nearlyFlatJoins(s, miter); }, {}},
        {"nearly flat round joins", [](SceneContext& s) { nearlyFlatJoins(s, roundJoin); },
         flatJoins},
        {"nearly flat bevel joins", [](SceneContext& s) { nearlyFlatJoins(s, bevel); }, flatJoins},
        {"dashes", dashedOval, {}},
        {"rotated stroke", rotatedStroke, {}},
        {"linear gradient, reflect",
         [](SceneContext& s) {
             gradient(s, 2, 2, {10, 12, 30, 20, 0, 0});
         },
         {}},
        {"radial gradient, focus",
         [](SceneContext& s) {
             gradient(s, 1, 0, {32, 32, 60, 32, 20, 24});
         },
         {}},
        {"conic gradient",
         [](SceneContext& s) {
             gradient(s, 4, 0, {32, 30, 60, 40, 0, 0});
         },
         {}},
        {"diamond gradient, repeat",
         [](SceneContext& s) {
             gradient(s, 3, 1, {32, 32, 44, 36, 0, 0});
         },
         {}},
        {"texture, repeat, bilinear", [](SceneContext& s) { texture(s, 0x101, 1); }, {}},
        {"texture, reflect x repeat, nearest", [](SceneContext& s) { texture(s, 0x201, 0); }, {}},
        {"texture, repeat x reflect, bicubic", [](SceneContext& s) { texture(s, 0x102, 2); }, {}},
        {"image, rotated, bilinear",
         [](SceneContext& s) {
             image(s, 1, {1.9, 0.8, -0.8, 1.9, 14.5, 2.25});
         },
         {}},
        {"image, scaled, bicubic",
         [](SceneContext& s) {
             image(s, 2, {2.3, 0, 0, 3.1, 3.5, 4.75});
         },
         {}},
        {"image, scaled, lanczos",
         [](SceneContext& s) {
             image(s, 15, {2.6, 0, 0, 2.2, 1, 9});
         },
         {}},
        {"image, shifted, nearest",
         [](SceneContext& s) {
             image(s, 0, {1, 0, 0, 1, 20, 30});
         },
         {}},
        {"composites", composites, {}},
        {"antialiased path clip", pathClip, {}},
        {"blur", [](SceneContext& s) { blurred(s, 3, false); }, {}},
        {"blur, high quality", [](SceneContext& s) { blurred(s, 1.5, true); }, {}},
    };
    return all;
}

std::vector<uint32_t> drawScene(const SceneApi& api, const Scene& scene,
                                const ReadPixels& readPixels) {
    SceneContext s(api);
    s.buffer = api.createDataBuffer(s.env, nullptr, sceneSize, sceneSize, jint(0xFFF0F0E8));
    s.image = api.createNativeImage(s.env, nullptr, s.buffer);
    s.g = api.createGraphics(s.env, nullptr, s.image);
    scene.draw(s);
    std::vector<uint32_t> pixels = readPixels(api, s.image);
    api.deleteGraphics(s.env, nullptr, s.g);
    for (jint handle : s.buffers) api.deleteNativeImage(s.env, nullptr, handle);
    api.deleteNativeImage(s.env, nullptr, s.image);
    api.deleteDataBuffer(s.env, nullptr, s.buffer);
    return pixels;
}

bool writeScenePixels(const std::string& path, const std::vector<std::vector<uint32_t>>& pixels) {
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < pixels.size() && i < scenes().size(); ++i) {
        out << scenes()[i].name << '\n';
        out.write(reinterpret_cast<const char*>(pixels[i].data()),
                  std::streamsize(pixels[i].size() * sizeof(uint32_t)));
    }
    return bool(out);
}

std::vector<std::pair<std::string, std::vector<uint32_t>>> readScenePixels(
    const std::string& path) {
    std::vector<std::pair<std::string, std::vector<uint32_t>>> result;
    std::ifstream in(path, std::ios::binary);
    std::string name;
    while (std::getline(in, name)) {
        std::vector<uint32_t> pixels(size_t(sceneSize) * sceneSize);
        if (!in.read(reinterpret_cast<char*>(pixels.data()),
                     std::streamsize(pixels.size() * sizeof(uint32_t)))) {
            return {};
        }
        result.emplace_back(name, std::move(pixels));
    }
    return result;
}

}  // namespace lumo::test
