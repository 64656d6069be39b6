// The fixed cost of a small solid draw: each operation sets a translucent
// colour and fills or strokes one shape through the exported calls, as the
// Java scene benchmark's solid scenes do (setPaint, then drawPath or
// fillRect): whole-pixel rectangles (fillRect), fractional rectangles
// (size - 0.5 on each side), the same rectangles stroked 3 pixels wide with
// butt caps and miter joins, rounded rectangles (corner diameter size / 2)
// and random triangles, in boxes of 8 and 32 pixels at random places of the
// 512 x 512 target (fractional rectangles also of 1 and 2 pixels, where the
// fixed cost of a draw is nearly all). One iteration is one operation, cycling through 1024
// prepared ones, so the time per iteration is the time per draw.
#include "BenchSupport.h"

#include <cstdint>
#include <vector>

namespace {

using namespace lumo_bench;

// drawPath codes and flags, as Java passes them.
constexpr jbyte kMove = 0, kLine = 1, kCubic = 3, kClose = 4;
constexpr jint kFill = 0x01, kStroke = 0x02, kCurves = 0x20, kPolygonal = 0x40;
// Java's BasicStroke cap and join.
constexpr jint kCapButt = 0, kJoinMiter = 0;
constexpr size_t kOperations = 1024;  // a power of two, cycled through

enum class Small { FillRectA, FillRectU, StrokeRectU, FillRoundU, FillTriangle };

// One operation's outline as drawPath takes it.
struct SmallPath {
    std::vector<jbyte> codes;
    std::vector<jdouble> coords;
    jint flags = 0;
    jint rect[4] = {0, 0, 0, 0};

    void move(double x, double y) { point(kMove, x, y); }
    void line(double x, double y) { point(kLine, x, y); }
    void cubic(double x1, double y1, double x2, double y2, double x, double y) {
        codes.push_back(kCubic);
        coords.insert(coords.end(), {x1, y1, x2, y2, x, y});
    }
    void close() { codes.push_back(kClose); }
    void point(jbyte code, double x, double y) {
        codes.push_back(code);
        coords.insert(coords.end(), {x, y});
    }
};

// The rounded rectangle as a path of lines and quarter-circle cubics.
void roundRect(SmallPath& p, double x, double y, double w, double h, double arc) {
    const double r = arc / 2, k = r * (1 - 0.5522847498307936);
    p.move(x + r, y);
    p.line(x + w - r, y);
    p.cubic(x + w - k, y, x + w, y + k, x + w, y + r);
    p.line(x + w, y + h - r);
    p.cubic(x + w, y + h - k, x + w - k, y + h, x + w - r, y + h);
    p.line(x + r, y + h);
    p.cubic(x + k, y + h, x, y + h - k, x, y + h - r);
    p.line(x, y + r);
    p.cubic(x, y + k, x + k, y, x + r, y);
    p.close();
}

SmallPath makeOperation(Small scene, SplitMix& random, int size) {
    const double x = random.uniform(0, kTarget - size), y = random.uniform(0, kTarget - size);
    SmallPath p;
    switch (scene) {
        case Small::FillRectA:
            p.rect[0] = jint(x), p.rect[1] = jint(y), p.rect[2] = size, p.rect[3] = size;
            break;
        case Small::FillRectU:
        case Small::StrokeRectU: {
            const double side = size - 0.5;
            p.move(x, y);
            p.line(x + side, y);
            p.line(x + side, y + side);
            p.line(x, y + side);
            p.close();
            p.flags = (scene == Small::FillRectU ? kFill : kStroke) | kPolygonal;
            break;
        }
        case Small::FillRoundU:
            roundRect(p, x, y, size, size, size / 2.0);
            p.flags = kFill | kCurves;
            break;
        case Small::FillTriangle:
            p.move(x + random.uniform(0, size), y + random.uniform(0, size));
            p.line(x + random.uniform(0, size), y + random.uniform(0, size));
            p.line(x + random.uniform(0, size), y + random.uniform(0, size));
            p.close();
            p.flags = kFill | kPolygonal;
            break;
    }
    return p;
}

void drawSmall(benchmark::State& state, Small scene) {
    const int size = int(state.range(0));
    LumoCanvas canvas;
    if (!canvas.valid()) {
        state.SkipWithError("no target");
        return;
    }
    const jint g = canvas.graphics();
    if (scene == Small::StrokeRectU) {
        LUMO(setStroke)(nullptr, nullptr, g, 3.0f, kCapButt, kJoinMiter, 10.0f, nullptr, 0.0f);
    }
    SplitMix random(0x5EED0000u + unsigned(scene) * 97 + unsigned(size));
    std::vector<SmallPath> paths;
    std::vector<jint> colours;
    for (size_t i = 0; i < kOperations; ++i) {
        paths.push_back(makeOperation(scene, random, size));
        const uint32_t alpha = 128 + uint32_t(random.next() % 96);
        colours.push_back(jint(alpha << 24 | uint32_t(random.next() & 0xFFFFFF)));
    }
    std::vector<BenchArray> codeArrays(kOperations), coordArrays(kOperations);
    JNIEnv* env = benchEnv();
    size_t i = 0;
    for (auto _ : state) {
        SmallPath& p = paths[i];
        LUMO(setPaint)(nullptr, nullptr, g, colours[i]);
        if (scene == Small::FillRectA) {
            LUMO(fillRect)(nullptr, nullptr, g, p.rect[0], p.rect[1], p.rect[2], p.rect[3]);
        } else {
            LUMO(drawPath)
            (env, nullptr, g, jint(p.codes.size()),
             asArray<jbyteArray>(codeArrays[i], p.codes.data(), p.codes.size()),
             asArray<jdoubleArray>(coordArrays[i], p.coords.data(), p.coords.size()), JNI_TRUE,
             p.flags);
        }
        i = (i + 1) & (kOperations - 1);
    }
}

void BM_Small_FillRectA(benchmark::State& state) {
    drawSmall(state, Small::FillRectA);
}
void BM_Small_FillRectU(benchmark::State& state) {
    drawSmall(state, Small::FillRectU);
}
void BM_Small_StrokeRectU(benchmark::State& state) {
    drawSmall(state, Small::StrokeRectU);
}
void BM_Small_FillRoundU(benchmark::State& state) {
    drawSmall(state, Small::FillRoundU);
}
void BM_Small_FillTriangle(benchmark::State& state) {
    drawSmall(state, Small::FillTriangle);
}

BENCHMARK(BM_Small_FillRectA)->Arg(8)->Arg(32);
BENCHMARK(BM_Small_FillRectU)->Arg(1)->Arg(2)->Arg(8)->Arg(32);
BENCHMARK(BM_Small_StrokeRectU)->Arg(8)->Arg(32);
BENCHMARK(BM_Small_FillRoundU)->Arg(8)->Arg(32);
BENCHMARK(BM_Small_FillTriangle)->Arg(8)->Arg(32);

}  // namespace
