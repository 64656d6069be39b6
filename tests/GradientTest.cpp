#include "context/Graphics.h"
#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"
#include "paint/ColourTable.h"
#include "paint/GradientPaint.h"
#include "paint/GradientStops.h"
#include "span/FocalRadial.h"
#include "span/GradientFunctions.h"
#include "span/GradientSpanGenerator.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

using Rgba = agg::rgba8;
using Bytes = std::array<int, 4>;

Bytes bytes(const Rgba& c) {
    return {c.r, c.g, c.b, c.a};
}

bool same(const Rgba& a, const Rgba& b) {
    return bytes(a) == bytes(b);
}

// t = floor((i - s) / (e - s) * 256 + 0.5); a byte moves by floor((E - S) * t / 256).
TEST(ColourTable, InterpolatesBetweenStops) {
    const Rgba a(0, 0, 0, 255), b(100, 200, 50, 255), c(200, 0, 250, 255);
    {
        const int32_t at[] = {0, 255};
        const Rgba colours[] = {Rgba(0, 255, 10, 0), Rgba(255, 0, 10, 255)};
        const ColourTable t(at, colours, 2, 1.0f);
        EXPECT_EQ(bytes(t[0]), (Bytes{0, 255, 10, 0}));
        EXPECT_EQ(bytes(t[1]), (Bytes{0, 254, 10, 0}));        // t 1
        EXPECT_EQ(bytes(t[64]), (Bytes{63, 191, 10, 63}));     // t 64
        EXPECT_EQ(bytes(t[128]), (Bytes{128, 126, 10, 128}));  // t 129
        EXPECT_EQ(bytes(t[255]), (Bytes{255, 0, 10, 255}));    // t 256
    }
    {
        const int32_t at[] = {0, 128};
        const Rgba colours[] = {Rgba(0, 255, 0, 255), Rgba(255, 0, 0, 255)};
        const ColourTable t(at, colours, 2, 1.0f);
        EXPECT_EQ(bytes(t[64]), (Bytes{127, 127, 0, 255}));  // t 128
        for (int i = 128; i < 256; ++i) EXPECT_EQ(bytes(t[i]), (Bytes{255, 0, 0, 255})) << i;
    }
    {
        const int32_t at[] = {0, 128, 255};
        const Rgba colours[] = {a, b, c};
        const ColourTable t(at, colours, 3, 1.0f);
        EXPECT_TRUE(same(t[128], b));
        EXPECT_TRUE(same(t[129], b));                          // moving on to the next segment
        EXPECT_EQ(bytes(t[130]), (Bytes{101, 196, 53, 255}));  // t 4
        EXPECT_TRUE(same(t[255], c));
    }
    {
        // Up to a first stop past 0 the table holds its colour.
        const int32_t at[] = {100, 200};
        const Rgba colours[] = {a, c};
        const ColourTable t(at, colours, 2, 1.0f);
        for (int i = 0; i <= 101; ++i) EXPECT_TRUE(same(t[i], a)) << i;
        EXPECT_EQ(bytes(t[150]), (Bytes{100, 0, 125, 255}));  // t 128
        for (int i = 201; i < 256; ++i) EXPECT_TRUE(same(t[i], c)) << i;
    }
}

TEST(ColourTable, OddStopsAndExtraAlpha) {
    const Rgba zero(0, 0, 0, 0), full(255, 255, 255, 255), c(200, 0, 250, 200);
    {
        const int32_t at[] = {77};
        const ColourTable t(at, &c, 1, 0.5f);
        for (int i = 0; i < 256; ++i) EXPECT_EQ(bytes(t[i]), (Bytes{200, 0, 250, 100})) << i;
    }
    {
        // The third stop lies before the second: its colour from then on.
        const int32_t at[] = {0, 200, 100};
        const Rgba colours[] = {zero, full, c};
        const ColourTable t(at, colours, 3, 1.0f);
        EXPECT_TRUE(same(t[200], full));
        EXPECT_TRUE(same(t[201], full));
        for (int i = 202; i < 256; ++i) EXPECT_TRUE(same(t[i], c)) << i;
    }
    {
        // Entry 0 moves past the falling second stop; from INT_MIN to INT_MAX
        // every entry then lies a hair past halfway: t 128.
        const int32_t at[] = {0, INT_MIN, INT_MAX};
        const Rgba colours[] = {full, zero, full};
        const ColourTable t(at, colours, 3, 1.0f);
        EXPECT_TRUE(same(t[0], zero));
        for (int i = 1; i < 256; ++i) EXPECT_EQ(bytes(t[i]), (Bytes{127, 127, 127, 127})) << i;
    }
    {
        // A negative end compares as a huge unsigned one, so t grows past 256
        // and the bytes wrap: t 563, 614 and 666 for entries 1, 2 and 3.
        const int32_t at[] = {0, -10, -5};
        const Rgba colours[] = {full, zero, Rgba(100, 0, 0, 0)};
        const ColourTable t(at, colours, 3, 1.0f);
        EXPECT_EQ(bytes(t[1]), (Bytes{219, 0, 0, 0}));
        EXPECT_EQ(bytes(t[2]), (Bytes{239, 0, 0, 0}));
        EXPECT_EQ(bytes(t[3]), (Bytes{4, 0, 0, 0}));  // 260 keeps its low byte
    }
}

TEST(GradientFunctions, ValuesInSixteenthsOfATableEntry) {
    EXPECT_EQ(gradient::Linear()(-300, 99), -300);
    // Below 2^32 through AGG's table square root (off by at most 1 here), exact above.
    EXPECT_NEAR(double(gradient::Radial()(3 * 512, -4 * 512)), 2560.0, 1.0);
    EXPECT_EQ(gradient::Radial()(3 << 20, 4 << 20), 5 << 20);
    EXPECT_EQ(gradient::Diamond()(-7, 3), 7);
    EXPECT_EQ(gradient::Diamond()(2, -9), 9);
    EXPECT_EQ(gradient::Conic()(5, 0), 0);
    EXPECT_EQ(gradient::Conic()(1, -1), 1024);
    EXPECT_EQ(gradient::Conic()(0, 5), 2048);
    EXPECT_EQ(gradient::Conic()(-1, 0), 4096);
    EXPECT_EQ(gradient::Xy()(-8192, 300), 600);
    EXPECT_EQ(gradient::Xy()(4095, 1), 0);
    EXPECT_NEAR(double(gradient::SqrtXy()(-90, -40)), 60.0, 1.0);
    EXPECT_EQ(gradient::SqrtXy()(1 << 20, -(1 << 22)), 1 << 21);
}

TEST(GradientCycles, PadRepeatAndReflect) {
    struct Case {
        int64_t v;
        int pad, repeat, reflect;
    };
    const Case cases[] = {
        {100, 6, 6, 6},
        {2048, 128, 128, 128},
        {4095, 255, 255, 255},
        {4096, 255, 0, 255},
        {4096 + 16 * 10, 255, 10, 245},
        {8192 + 16 * 3, 255, 3, 3},
        {-1, 0, 254, 1},
        {-16, 0, 254, 1},
        {-17, 0, 253, 2},
        {-4096, 0, 255, 255},
        {-8192 - 48, 0, 252, 3},
        {int64_t(1) << 40, 255, 0, 0},
        {-(int64_t(1) << 40), 0, 255, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(colourIndex(c.v, CYCLE_PAD), c.pad) << c.v;
        EXPECT_EQ(colourIndex(c.v, CYCLE_REPEAT), c.repeat) << c.v;
        EXPECT_EQ(colourIndex(c.v, CYCLE_REFLECT), c.reflect) << c.v;
    }
}

TEST(FocalRadial, PositionGrowsAlongEachRayFromTheFocusToTheCircle) {
    const FocalRadial f(256, 128, 0);  // r 4096, focus (2048, 0) in sixteenths
    EXPECT_EQ(f(2048, 0), 0);
    EXPECT_EQ(f(0, 0), 1365);     // a third of the way to (-4096, 0)
    EXPECT_EQ(f(3072, 0), 2048);  // half way to (4096, 0)
    EXPECT_EQ(f(0, 4096), 4096);  // on the circle
    EXPECT_EQ(f(-4096, 0), 4096);
    EXPECT_EQ(FocalRadial(100, 0, 0)(300, -400), 500);  // no offset: distance from the centre
    EXPECT_EQ(FocalRadial(0, 5, 0)(1000, 1000), 0);     // degenerate circles
    EXPECT_EQ(FocalRadial(std::nan(""), 5, 0)(1000, 1000), 0);
    // As along x, but along y, with the focus below the centre: (0, -2048).
    const FocalRadial below(256, 0, -128);
    EXPECT_EQ(below(0, -2048), 0);
    EXPECT_EQ(below(0, 0), 1365);
    EXPECT_EQ(below(0, -3072), 2048);
    EXPECT_EQ(below(4096, 0), 4096);

    // A focus beyond 0.99 r is pulled onto that circle, towards the centre.
    const FocalRadial far(256, 1000, 0), diagonal(256, -1000, 1000);
    EXPECT_EQ(std::make_pair(far.focusX(), far.focusY()), std::make_pair(4055.0, 0.0));
    EXPECT_EQ(std::make_pair(diagonal.focusX(), diagonal.focusY()),
              std::make_pair(-2867.0, 2867.0));
    const FocalRadial onCircle(256, 4055.0 / 16, 0), inside(256, 200, 0);
    bool differs = false;
    for (int64_t y = -5000; y <= 5000; y += 625) {
        for (int64_t x = -5000; x <= 5000; x += 625) {
            EXPECT_EQ(far(x, y), onCircle(x, y)) << x << ", " << y;
            differs |= far(x, y) != inside(x, y);
        }
    }
    EXPECT_TRUE(differs);
}

TEST(GradientPaint, KindAndCycleCodesReadTheLowByte) {
    const int linear[] = {0, 7, 255, 256, -1};
    for (int code : linear) EXPECT_EQ(gradientKindFromCode(code), GRADIENT_LINEAR) << code;
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(gradientKindFromCode(k + 256), k);
    EXPECT_EQ(gradientKindFromCode(-255), GRADIENT_RADIAL);
    const int cycles[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {258, 2}, {-1, 0}};
    for (const auto& c : cycles) EXPECT_EQ(gradientCycleFromCode(c[0]), c[1]) << c[0];
}

TEST(GradientPaint, MatrixPlacesTheAxisThenTheUserMatrix) {
    const int32_t positions[] = {0};
    const int32_t colours[] = {int32_t(0x80FF2010)};
    const double points[] = {10, 20, 40, 60, 25, 40};
    const agg::trans_affine shift = agg::trans_affine_translation(5, -5);
    auto make = [&](GradientKind kind, GradientCycle cycle, const double* at) {
        return Ref<GradientPaint>(
            GradientPaint::create(kind, cycle, at, shift, positions, colours, 1));
    };
    const Ref<GradientPaint> p = make(GRADIENT_RADIAL, CYCLE_REPEAT, points);
    double x1 = 0, y1 = 0, x2 = 256, y2 = 0;
    p->matrix().transform(&x1, &y1);
    p->matrix().transform(&x2, &y2);
    EXPECT_NEAR(x1, 15, 1e-9);
    EXPECT_NEAR(y1, 15, 1e-9);
    EXPECT_NEAR(x2, 45, 1e-9);
    EXPECT_NEAR(y2, 55, 1e-9);
    EXPECT_EQ(p->cycle(), CYCLE_REPEAT);
    EXPECT_EQ(bytes(p->colours()[0]), (Bytes{0xFF, 0x20, 0x10, 0x80}));
    // The focus, the axis midpoint, is placed without the user matrix; the
    // radius follows the x extent alone (30 of 50).
    ASSERT_TRUE(p->hasFocus());
    EXPECT_NEAR(p->focus().x, 128, 1e-9);
    EXPECT_NEAR(p->focus().y, 0, 1e-9);
    EXPECT_NEAR(p->focus().radius, 153.6, 1e-9);

    const double centred[] = {10, 20, 40, 60, 10, 20};
    EXPECT_FALSE(make(GRADIENT_RADIAL, CYCLE_PAD, centred)->hasFocus());
    const Ref<GradientPaint> conic = make(GRADIENT_CONIC, CYCLE_REFLECT, points);
    EXPECT_EQ(conic->cycle(), CYCLE_PAD);
    EXPECT_FALSE(conic->hasFocus());
}

// A table whose green byte differs for every entry, and a generator on it.
class Spans : public ::testing::Test {
protected:
    static constexpr int32_t positions[2] = {0, 255};
    const Rgba colours[2] = {Rgba(0, 255, 0, 255), Rgba(255, 0, 0, 255)};
    const ColourTable table{positions, colours, 2, 1.0f};

    std::vector<Rgba> span(const agg::trans_affine& inverse, GradientKind kind, GradientCycle cycle,
                           int x, int y, unsigned len) {
        GradientSpanGenerator generator(inverse, kind, cycle, nullptr, table);
        std::vector<Rgba> out(len);
        generator.generate(out.data(), x, y, len);
        return out;
    }
    void expectIndex(const Rgba& colour, int index, const char* what) {
        EXPECT_TRUE(same(colour, table[index])) << what << ": green " << int(colour.g) << ", entry "
                                                << index << " has " << int(table[index].g);
    }
};

TEST_F(Spans, PixelCentresMapThroughTheInverseMatrix) {
    // Identity: pixel x has its centre at x + 0.5, that is 16 x + 8 in
    // sixteenths, so entry x.
    const agg::trans_affine identity;
    const auto pad = span(identity, GRADIENT_LINEAR, CYCLE_PAD, -3, 7, 310);
    expectIndex(pad[0], 0, "x -3");
    expectIndex(pad[3 + 77], 77, "x 77");
    expectIndex(pad[3 + 300], 255, "x 300");

    const auto repeat = span(identity, GRADIENT_LINEAR, CYCLE_REPEAT, -1, 0, 302);
    expectIndex(repeat[0], 254, "repeat, x -1");
    expectIndex(repeat[1 + 300], 44, "repeat, x 300");
    const auto reflect = span(identity, GRADIENT_LINEAR, CYCLE_REFLECT, -5, 0, 306);
    expectIndex(reflect[0], 5, "reflect, x -5");
    expectIndex(reflect[5 + 300], 211, "reflect, x 300");

    // Half a gradient unit per pixel, from x 100: pixel 120 is at 10.25.
    const agg::trans_affine half =
        agg::trans_affine_translation(-100, 0) * agg::trans_affine_scaling(0.5);
    expectIndex(span(half, GRADIENT_LINEAR, CYCLE_PAD, 120, 0, 1)[0], 10, "x 120");
}

TEST_F(Spans, EachKindAppliesItsFunction) {
    // Pixel x at row 0 maps to (x - 49.5, 0): sixteenths (16 (x - 50) + 8, 0).
    const agg::trans_affine m = agg::trans_affine_translation(-50, -0.5);
    struct Case {
        GradientKind kind;
        int at40, at60;  // entries at x 40 (X -152) and x 60 (X 168)
    };
    const Case cases[] = {
        {GRADIENT_LINEAR, 0, 10}, {GRADIENT_RADIAL, 9, 10}, {GRADIENT_DIAMOND, 9, 10},
        {GRADIENT_CONIC, 255, 0}, {GRADIENT_XY, 0, 0},      {GRADIENT_SQRT_XY, 0, 0},
    };
    for (const Case& c : cases) {
        const auto s = span(m, c.kind, CYCLE_PAD, 40, 0, 21);
        expectIndex(s[0], c.at40, "x 40");
        expectIndex(s[20], c.at60, "x 60");
    }
    // Off the axis, either side of a quarter turn by atan(8 / 160): (-8, -160)
    // at 2113 sixteenths, (8, -160) at 1983.
    const agg::trans_affine below = agg::trans_affine_translation(-50, -10.5);
    const auto conic = span(below, GRADIENT_CONIC, CYCLE_PAD, 49, 0, 2);
    expectIndex(conic[0], 132, "conic, x 49");
    expectIndex(conic[1], 123, "conic, x 50");
}

TEST_F(Spans, FarCoordinatesAreSteppedWithoutOverflow) {
    // 10^5 units per pixel: the ends of a 20-pixel span stay within 2^21,
    // those of a 21-pixel span do not. Both ways agree; pixel 0 is at 50000
    // units, entry 50000 mod 256 = 80.
    const agg::trans_affine steep = agg::trans_affine_scaling(1e5);
    const auto near = span(steep, GRADIENT_LINEAR, CYCLE_REPEAT, 0, 0, 20);
    const auto far = span(steep, GRADIENT_LINEAR, CYCLE_REPEAT, 0, 0, 21);
    expectIndex(near[0], 80, "pixel 0");
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(same(near[i], far[i])) << i;

    // 1.5 million units: 1500000 mod 256 = 96.
    expectIndex(span(agg::trans_affine_scaling(1e6), GRADIENT_LINEAR, CYCLE_REPEAT, 0, 0, 4)[1], 96,
                "pixel 1");
    expectIndex(span(agg::trans_affine_scaling(1e300), GRADIENT_LINEAR, CYCLE_PAD, 5, 0, 1)[0], 255,
                "far beyond the end");
    // inf - inf: a coordinate lost to overflow counts as far below the start.
    const agg::trans_affine overflowing(1e308, 0, -1e308, 1, 0, 0);
    expectIndex(span(overflowing, GRADIENT_LINEAR, CYCLE_PAD, 1000, 1000, 1)[0], 0, "NaN");
}

// A 32 x 4 target with one drawing object, driven through the entry points.
class GradientDrawing : public ::testing::Test, protected test::DrawingTarget {
protected:
    static constexpr int W = 32, H = 4;

    GradientDrawing() : DrawingTarget(W, H) {}
    void SetUp() override { ASSERT_NE(g, 0); }

    Paint* paint() {
        return HandleRegistry::instance()
            .find<Graphics>(g, HandleKind::Graphics)
            ->state()
            .paint.get();
    }

    struct Arrays {
        jarray points, positions, colours, matrix;
    };
    // Stops too many to copy, so that every array is pinned.
    Arrays pinnedArrays() {
        const std::vector<jint> positions(600, 0), colours(600, jint(0xFF0000FF));
        Arrays a = arrays({0, 0, 16, 0, 0, 0}, positions, colours);
        a.matrix = jni.array(std::vector<double>{1, 0, 0, 1, 0, 0});
        return a;
    }
    // Black to red along x from 0 to 16, unless changed.
    Arrays arrays(std::vector<double> points = {0, 0, 16, 0, 0, 0},
                  std::vector<jint> positions = {0, 255},
                  std::vector<jint> colours = {jint(0xFF000000), jint(0xFFFF0000)}) {
        return {jni.array(points), jni.ints(positions), jni.ints(colours), nullptr};
    }
    void setGradient(const Arrays& a, int kind = 2, int cycle = 0, jint handle = -1) {
        LUMO(setGradient)
        (jni.env(), nullptr, handle == -1 ? g : handle, kind, cycle,
         static_cast<jdoubleArray>(a.points), static_cast<jintArray>(a.positions),
         static_cast<jintArray>(a.colours), static_cast<jdoubleArray>(a.matrix));
    }
    void fill() { LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H); }

    test::FakeJni jni;
};

TEST_F(GradientDrawing, UserMatrixTransformAndExtraAlphaApply) {
    Arrays shifted = arrays();
    shifted.matrix = jni.array(std::vector<double>{1, 0, 0, 1, 8, 0});
    setGradient(shifted);
    fill();
    EXPECT_EQ(at(7, 0), 0xFF000000u);
    EXPECT_EQ(at(8, 0), 0xFF070000u);

    // Device scaled by 2: pixel 1 is at entry 12, red 11.
    jarray scale = jni.array(std::vector<double>{2, 0, 0, 2, 0, 0});
    LUMO(setTransform)(jni.env(), nullptr, g, static_cast<jdoubleArray>(scale));
    setGradient(arrays());
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, 2, 1);
    EXPECT_EQ(at(1, 1), 0xFF0B0000u);
    LUMO(setTransform)(jni.env(), nullptr, g, nullptr);

    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
    LUMO(setComposite)(nullptr, nullptr, g, 3, 0.5f);
    fill();
    EXPECT_EQ(at(20, 2), 0x80800000u);  // red at alpha 128, premultiplied
}

// Stops kept in the object (a few) and on the heap (more) alike: the stops
// as given, compared equal only to the same stops, and the table they make.
TEST(GradientStops, HeldAndAllocatedStopsKeepTheirValues) {
    std::mt19937 random(41);
    for (uint32_t count = 1; count <= 9; ++count) {
        std::vector<int32_t> positions(count);
        std::vector<int32_t> argb(count);
        std::vector<Rgba> colours(count);
        for (uint32_t i = 0; i < count; ++i) {
            positions[i] = int32_t(random() % 256);
            argb[i] = int32_t(random());
            const uint32_t v = uint32_t(argb[i]);
            colours[i] = Rgba((v >> 16) & 255, (v >> 8) & 255, v & 255, v >> 24);
        }
        Ref<GradientStops> stops(GradientStops::create(positions.data(), argb.data(), count));
        ASSERT_TRUE(stops);
        ASSERT_EQ(stops->count(), count);
        for (uint32_t i = 0; i < count; ++i) {
            EXPECT_EQ(stops->positions()[i], positions[i]) << count << " stops, stop " << i;
            EXPECT_TRUE(same(stops->colours()[i], colours[i])) << count << " stops, stop " << i;
        }
        EXPECT_TRUE(stops->sameAs(positions.data(), argb.data(), count));
        const ColourTable table(positions.data(), colours.data(), count, 1.0f);
        for (int i = 0; i < ColourTable::size; ++i) {
            ASSERT_TRUE(same(stops->opaqueTable()[i], table[i])) << count << " stops, entry " << i;
        }
        argb[count - 1] ^= 0x100;
        EXPECT_FALSE(stops->sameAs(positions.data(), argb.data(), count));
    }
}

// A gradient set again with equal stops shares the table of the paint it
// replaces, whatever else changes; other stops, or a paint in between that is
// no gradient, build a table of their own. Shared or not, the pixels are the
// same.
TEST_F(GradientDrawing, EqualStopsShareTheColourTable) {
    const std::vector<jint> positions = {0, 90, 255};
    const std::vector<jint> colours = {jint(0xFF102030), jint(0x80C0B0A0), jint(0xFF00FF00)};
    auto picture = [&] {
        std::vector<uint32_t> all;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) all.push_back(at(x, y));
        }
        return all;
    };
    setGradient(arrays({0, 0, 30, 7, 0, 0}, positions, colours));
    const ColourTable* first = &static_cast<GradientPaint&>(*paint()).opaqueTable();
    fill();
    const std::vector<uint32_t> built = picture();

    // Other points, kind and cycle, the same stops in new arrays.
    setGradient(arrays({5, 3, 40, 1, 0, 0}, positions, colours), 1, 1);
    EXPECT_EQ(&static_cast<GradientPaint&>(*paint()).opaqueTable(), first);
    setGradient(arrays({0, 0, 30, 7, 0, 0}, positions, colours));
    const GradientPaint& shared = static_cast<GradientPaint&>(*paint());
    EXPECT_EQ(&shared.opaqueTable(), first);
    EXPECT_EQ(shared.stopCount(), 3u);
    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
    fill();
    EXPECT_EQ(picture(), built);

    // One colour, one position or the count differs: a table of its own.
    const std::vector<std::vector<jint>> otherColours = {
        {jint(0xFF102030), jint(0x81C0B0A0), jint(0xFF00FF00)},
        {jint(0xFF102030), jint(0x80C0B0A0)}};
    setGradient(arrays({0, 0, 30, 7, 0, 0}, positions, otherColours[0]));
    EXPECT_NE(&static_cast<GradientPaint&>(*paint()).opaqueTable(), first);
    const ColourTable* second = &static_cast<GradientPaint&>(*paint()).opaqueTable();
    setGradient(arrays({0, 0, 30, 7, 0, 0}, {0, 91, 255}, otherColours[0]));
    EXPECT_NE(&static_cast<GradientPaint&>(*paint()).opaqueTable(), second);
    setGradient(arrays({0, 0, 30, 7, 0, 0}, {0, 91}, otherColours[1]));
    EXPECT_EQ(static_cast<GradientPaint&>(*paint()).stopCount(), 2u);

    // A solid colour in between: nothing to share with.
    setGradient(arrays({0, 0, 30, 7, 0, 0}, positions, colours));
    first = &static_cast<GradientPaint&>(*paint()).opaqueTable();
    LUMO(setPaint)(nullptr, nullptr, g, jint(0xFF000000));
    setGradient(arrays({0, 0, 30, 7, 0, 0}, positions, colours));
    const GradientPaint& rebuilt = static_cast<GradientPaint&>(*paint());
    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
    fill();
    EXPECT_EQ(picture(), built);
    EXPECT_EQ(rebuilt.stopCount(), 3u);
}

TEST_F(GradientDrawing, DegenerateGradientsDrawNothing) {
    setGradient(arrays({10, 20, 10, 20, 10, 20}));
    EXPECT_EQ(paint()->kind(), PAINT_GRADIENT);
    fill();
    setGradient(arrays({10, 20, 10, 20, 30, 20}), 1);
    fill();
    EXPECT_EQ(painted(), 0);

    // A gradient whose axis is too short to invert collapses as well...
    setGradient(arrays({0, 0, 1e-300, 0, 0, 0}));
    fill();
    EXPECT_EQ(painted(), 0);
    // ...while a very short one pads: every pixel lies past its end.
    setGradient(arrays({0, 0, 1e-10, 0, 0, 0}));
    fill();
    EXPECT_EQ(at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(at(31, 3), 0xFFFF0000u);
}

TEST_F(GradientDrawing, UnusableArgumentsLeaveThePaintUnchanged) {
    Paint* before = paint();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<Arrays> bad;
    Arrays a = arrays();
    a.positions = nullptr;
    bad.push_back(a);
    bad.push_back(arrays({0, 0, 16, 0, 0, 0}, {}, {}));
    bad.push_back(arrays({0, 0, 16, 0, 0, 0}, {0, 255}, {jint(0xFF000000)}));
    a = arrays();
    a.colours = nullptr;
    bad.push_back(a);
    bad.push_back(arrays({0, 0, 16, 0, 0}));
    a = arrays();
    a.points = nullptr;
    bad.push_back(a);
    a = arrays();
    a.matrix = jni.array(std::vector<double>{1, 0, 0, 1, 0});
    bad.push_back(a);
    a.matrix = jni.array(std::vector<double>{1, 0, 0, nan, 0, 0});
    bad.push_back(a);
    bad.push_back(arrays({0, 0, 16, inf, 0, 0}));
    bad.push_back(arrays({0, 0, 16, 0, nan, 0}));
    for (size_t i = 0; i < bad.size(); ++i) {
        setGradient(bad[i]);
        EXPECT_EQ(paint(), before) << "case " << i;
    }
    // A failed pin at each of the four arrays.
    a = pinnedArrays();
    for (int n = 1; n <= 4; ++n) {
        jni.failPin(n);
        setGradient(a);
        EXPECT_EQ(paint(), before) << "pin " << n;
    }
    EXPECT_EQ(jni.pinned(), 0);
    EXPECT_EQ(jni.violations(), 0);

    setGradient(a, 2, 0, 0);
    const jint other = LUMO(createGraphics)(nullptr, nullptr, image);
    LUMO(deleteGraphics)(nullptr, nullptr, other);
    setGradient(a, 2, 0, other);
    EXPECT_EQ(paint(), before);
}

TEST_F(GradientDrawing, ArraysArePinnedInOrderAndReleasedInReverse) {
    Arrays a = pinnedArrays();
    jni.clearEvents();
    setGradient(a);
    const jarray order[] = {a.positions, a.colours, a.points, a.matrix};
    std::vector<jarray> pins, releases;
    bool lengthAfterPin = false;
    for (const auto& e : jni.events()) {
        if (e.type == test::FakeJni::Event::Pin) pins.push_back(e.array);
        if (e.type == test::FakeJni::Event::Release) releases.push_back(e.array);
        if (e.type == test::FakeJni::Event::Length && !pins.empty()) lengthAfterPin = true;
    }
    ASSERT_EQ(pins.size(), 4u);
    ASSERT_EQ(releases.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pins[i], order[i]);
        EXPECT_EQ(releases[3 - i], order[i]);
    }
    EXPECT_FALSE(lengthAfterPin);
    EXPECT_EQ(static_cast<GradientPaint&>(*paint()).stopCount(), 600u);
}

TEST_F(GradientDrawing, SmallArraysAreCopiedInOrderWithoutPinning) {
    Arrays a = arrays();
    a.matrix = jni.array(std::vector<double>{1, 0, 0, 1, 0, 0});
    jni.clearEvents();
    setGradient(a);
    const jarray order[] = {a.positions, a.colours, a.points, a.matrix};
    std::vector<jarray> copies;
    bool lengthAfterCopy = false;
    for (const auto& e : jni.events()) {
        EXPECT_NE(e.type, test::FakeJni::Event::Pin);
        if (e.type == test::FakeJni::Event::Copy) copies.push_back(e.array);
        if (e.type == test::FakeJni::Event::Length && !copies.empty()) lengthAfterCopy = true;
    }
    ASSERT_EQ(copies.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(copies[i], order[i]);
    EXPECT_FALSE(lengthAfterCopy);
    EXPECT_EQ(jni.violations(), 0);
    const auto& made = static_cast<GradientPaint&>(*paint());
    EXPECT_EQ(made.stopCount(), 2u);
    EXPECT_EQ(made.positions()[1], 255);
    EXPECT_EQ(made.gradientKind(), GRADIENT_LINEAR);
}

}  // namespace
}  // namespace lumo
