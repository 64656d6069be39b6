#include "context/Graphics.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "geometry/PathShape.h"
#include "geometry/RectShape.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

// A rectangle that counts the vertices fetched from it.
class CountingRect final : public VertexSource {
public:
    CountingRect(double x, double y, double w, double h) : rect_(x, y, w, h) {}
    void rewind(unsigned id) override { rect_.rewind(id); }
    unsigned vertex(double* x, double* y) override {
        ++fetched;
        return rect_.vertex(x, y);
    }
    bool has_curves() const override { return false; }
    int fetched = 0;

private:
    RectShape rect_;
};

// A render target with one drawing object, driven through the entry points.
class Drawing : public ::testing::Test, protected test::DrawingTarget {
protected:
    static constexpr int W = 16, H = 16;

    Drawing() : DrawingTarget(W, H) {}
    void SetUp() override { ASSERT_NE(g, 0); }

    void setTransform(std::vector<double> m) {
        jarray array = jni.array(m);
        LUMO(setTransform)(jni.env(), nullptr, g, static_cast<jdoubleArray>(array));
    }
    void setStroke(float width, int cap, std::vector<float> dashes, float phase) {
        jarray array = dashes.empty() ? nullptr : jni.array(dashes);
        LUMO(setStroke)
        (jni.env(), nullptr, g, width, cap, 0, 10, static_cast<jfloatArray>(array), phase);
    }

    test::FakeJni jni;
};

TEST_F(Drawing, OpaqueFillWritesExactlyItsColourAndPixels) {
    LUMO(setPaint)(nullptr, nullptr, g, int32_t(0xFF336699));
    LUMO(fillRect)(nullptr, nullptr, g, 2, 3, 4, 5);
    EXPECT_EQ(painted(), 20);
    EXPECT_EQ(at(2, 3), 0xFF336699u);
    EXPECT_EQ(at(5, 7), 0xFF336699u);
    EXPECT_EQ(at(6, 7), 0u);
    EXPECT_EQ(at(5, 8), 0u);
}

TEST_F(Drawing, FillWinsOverStrokeAndFlagsWithoutEitherDrawNothing) {
    Graphics& gr = graphics();
    setStroke(6, 0, {}, 0);
    CountingRect rect(4, 4, 4, 4);
    gr.draw(rect, 0x00);
    gr.draw(rect, 0x60);
    EXPECT_EQ(rect.fetched, 0);
    EXPECT_EQ(painted(), 0);
    gr.draw(rect, 0x03);
    EXPECT_EQ(painted(), 16);  // the 4 x 4 fill only, no wide outline
    EXPECT_GT(rect.fetched, 0);
}

TEST_F(Drawing, NothingIsFetchedWithAnEmptyClipOrADeadTarget) {
    Graphics& gr = graphics();
    CountingRect rect(1, 1, 4, 4);
    gr.state().clipBox = agg::rect_d(3, 0, 3, H);
    gr.draw(rect, 0x01);
    gr.draw(rect, 0x02);
    EXPECT_EQ(rect.fetched, 0);
    gr.state().clipBox = agg::rect_d(0, 0, W, H);
    LUMO(deleteNativeImage)(nullptr, nullptr, image);
    image = 0;
    gr.draw(rect, 0x01);
    EXPECT_EQ(rect.fetched, 0);
    EXPECT_EQ(LUMO(cloneGraphics)(nullptr, nullptr, g), 0);
}

TEST_F(Drawing, StrokeOffsetPutsAOnePixelLineOnOneRow) {
    LUMO(setHint)(nullptr, nullptr, g, 1, 1);
    LUMO(setHint)(nullptr, nullptr, g, 0x600, 3);
    setStroke(1, 0, {}, 0);
    LUMO(drawLine)(nullptr, nullptr, g, 0, 5, 10, 5);
    // Butt caps, shifted half a pixel: x from 0.5 to 10.5 on row 5.
    EXPECT_EQ(at(3, 5), 0xFF000000u);
    EXPECT_EQ(at(3, 4), 0u);
    EXPECT_EQ(at(3, 6), 0u);
    EXPECT_EQ(at(0, 5) >> 24, 128u);

    LUMO(setHint)(nullptr, nullptr, g, 0x600, 0);
    LUMO(drawLine)(nullptr, nullptr, g, 0, 9, 10, 9);
    EXPECT_EQ(at(3, 8) >> 24, 128u);
    EXPECT_EQ(at(3, 9) >> 24, 128u);
}

TEST_F(Drawing, StrokeWidthFollowsTheStrokingSpace) {
    setStroke(1, 0, {}, 0);
    setTransform({2, 0, 0, 2, 0, 0});
    LUMO(drawLine)(nullptr, nullptr, g, 0, 2, 5, 2);  // device y 4, 2 wide: rows 3 and 4
    EXPECT_EQ(at(4, 3), 0xFF000000u);
    EXPECT_EQ(at(4, 4), 0xFF000000u);
    EXPECT_EQ(at(4, 5), 0u);
    EXPECT_EQ(at(4, 2), 0u);

    LUMO(setHint)(nullptr, nullptr, g, 8, 1);
    LUMO(setHint)(nullptr, nullptr, g, 0x600, 2);     // half a pixel down
    LUMO(drawLine)(nullptr, nullptr, g, 0, 5, 5, 5);  // device y 10.5, 1 wide: row 10
    EXPECT_EQ(at(4, 10), 0xFF000000u);
    EXPECT_EQ(at(4, 9), 0u);
    EXPECT_EQ(at(4, 11), 0u);

    // A quarter turn is orthonormal: stroked after the transform, 1 wide.
    LUMO(setHint)(nullptr, nullptr, g, 8, 0);
    LUMO(setHint)(nullptr, nullptr, g, 0x600, 1);         // half a pixel right
    setTransform({0, 1, -1, 0, 0, 0});                    // (x, y) -> (-y, x)
    LUMO(drawLine)(nullptr, nullptr, g, 2, -13, 6, -13);  // device x 13.5, y 2..6
    EXPECT_EQ(at(13, 4), 0xFF000000u);
    EXPECT_EQ(at(12, 4), 0u);
    EXPECT_EQ(at(14, 4), 0u);
}

TEST_F(Drawing, UnusableTransformsDrawNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& m : std::vector<std::vector<double>>{{nan, 0, 0, 1, 0, 0},
                                                          {1, 0, 0, 1, inf, 0},
                                                          {1e300, 0, 0, 1e300, 0, 0},
                                                          {0, 0, 0, 0, 0, 0}}) {
        setTransform(m);
        LUMO(fillRect)(nullptr, nullptr, g, 0, 0, 4, 4);
        LUMO(fillOval)(nullptr, nullptr, g, 0, 0, 4, 4);
        LUMO(drawOval)(nullptr, nullptr, g, 0, 0, 4, 4);
        LUMO(drawLine)(nullptr, nullptr, g, 0, 0, 4, 4);
        LUMO(drawArc)(nullptr, nullptr, g, 0, 0, 4, 4, 0, 90);
        LUMO(fillRoundRect)(nullptr, nullptr, g, 0, 0, 4, 4, 2, 2);
    }
    EXPECT_EQ(painted(), 0);
    // A short matrix changes nothing: the zero matrix above stays.
    setTransform({1, 0, 0, 1});
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, 4, 4);
    EXPECT_EQ(painted(), 0);
}

TEST_F(Drawing, FarAwayCoordinatesClipExactly) {
    LUMO(setHint)(nullptr, nullptr, g, 0x600, 3);
    setStroke(1, 0, {}, 0);
    LUMO(drawLine)(nullptr, nullptr, g, -2000000000, 5, 2000000000, 5);
    for (int x = 0; x < W; ++x) EXPECT_EQ(at(x, 5), 0xFF000000u) << x;
    EXPECT_EQ(painted(), W);
    // A steep line from far outside crosses the target where it should:
    // its centre is at x 8.5 on every row.
    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
    LUMO(setHint)(nullptr, nullptr, g, 0x600, 0);
    LUMO(drawLine)(nullptr, nullptr, g, 8, -2000000000, 9, 2000000000);
    for (int y = 0; y < H; ++y) {
        EXPECT_NE(at(8, y), 0u) << y;
        EXPECT_EQ(at(6, y), 0u) << y;
        EXPECT_EQ(at(10, y), 0u) << y;
    }
    // A user-space stroke 1e9 pixels wide covers everything.
    setTransform({1e9, 0, 0, 1e9, 8.5, 0});
    LUMO(drawLine)(nullptr, nullptr, g, 0, -1, 0, 1);
    EXPECT_EQ(painted(), W * H);
}

TEST_F(Drawing, HugeCurvedFillsDrawExactlyNearTheTarget) {
    // A circle of radius 1e13 whose rightmost point is (8.5, 8): near the
    // target its edge is the vertical line x = 8.5.
    LUMO(setHint)(nullptr, nullptr, g, 1, 1);
    const double r = 1e13;
    setTransform({r, 0, 0, r, 8.5 - r, 8});
    LUMO(fillOval)(nullptr, nullptr, g, -1, -1, 2, 2);
    for (int y = 0; y < H; ++y) {
        EXPECT_EQ(at(7, y), 0xFF000000u) << y;
        EXPECT_NEAR(double(at(8, y) >> 24), 128, 2) << y;
        EXPECT_EQ(at(9, y), 0u) << y;
    }
    // Its outline, 2 pixels wide, in device space and in user space.
    for (bool device : {true, false}) {
        LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
        LUMO(setHint)(nullptr, nullptr, g, 8, device ? 1 : 0);
        setStroke(device ? 2.0f : float(2 / r), 0, {}, 0);
        LUMO(drawOval)(nullptr, nullptr, g, -1, -1, 2, 2);
        for (int y = 0; y < H; ++y) {
            EXPECT_NEAR(double(at(7, y) >> 24), 128, 2) << y;
            EXPECT_EQ(at(8, y), 0xFF000000u) << y;
            EXPECT_NEAR(double(at(9, y) >> 24), 128, 2) << y;
            EXPECT_EQ(at(6, y), 0u) << y;
        }
    }
    // Far larger circles are still drawn in bounded time.
    setTransform({1e140, 0, 0, 1e140, 0, 0});
    LUMO(fillOval)(nullptr, nullptr, g, -1, -1, 2, 2);
}

TEST_F(Drawing, DashesThatCannotAdvanceOrWouldNeverEndDrawSolid) {
    LUMO(setHint)(nullptr, nullptr, g, 0x600, 3);
    for (const auto& dashes : std::vector<std::vector<float>>{{0, 0}, {2, -1}, {1e-30f, 1e-30f}}) {
        LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
        setStroke(1, 0, dashes, 0);
        LUMO(drawLine)(nullptr, nullptr, g, -2000000000, 5, 2000000000, 5);
        EXPECT_EQ(painted(), W);
    }
    // A huge phase is reduced to the pattern: 1e30 in float is a multiple
    // of 4, so dash 2, gap 2 draws exactly the dashes of phase 0.
    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
    setStroke(1, 0, {2, 2}, 0);
    LUMO(drawLine)(nullptr, nullptr, g, 0, 5, 16, 5);
    std::vector<uint32_t> row;
    for (int x = 0; x < W; ++x) row.push_back(at(x, 5));
    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
    setStroke(1, 0, {2, 2}, 1e30f);
    LUMO(drawLine)(nullptr, nullptr, g, 0, 5, 16, 5);
    for (int x = 0; x < W; ++x) EXPECT_EQ(at(x, 5), row[x]) << x;
    EXPECT_EQ(row[1], 0xFF000000u);  // first dash 0.5 .. 2.5
    EXPECT_EQ(row[3], 0u);           // gap 2.5 .. 4.5
}

TEST_F(Drawing, HugeAndUnusableWidths) {
    setStroke(NAN, 1, {}, 0);
    LUMO(drawOval)(nullptr, nullptr, g, 2, 2, 8, 8);
    setStroke(INFINITY, 1, {}, 0);
    LUMO(drawOval)(nullptr, nullptr, g, 2, 2, 8, 8);
    EXPECT_EQ(painted(), 0);
    // Round caps of an enormous width stay bounded and cover everything.
    setStroke(1e15f, 1, {}, 0);
    LUMO(setHint)(nullptr, nullptr, g, 1, 1);
    LUMO(drawLine)(nullptr, nullptr, g, 2, 2, 8, 8);
    EXPECT_EQ(painted(), W * H);
}

// Two overlapping squares as one shape.
class TwoSquares final : public VertexSource {
public:
    void rewind(unsigned) override { step_ = 0; }
    unsigned vertex(double* x, double* y) override {
        static const double corners[8][2] = {{2, 2}, {10, 2}, {10, 10}, {2, 10},
                                             {6, 6}, {14, 6}, {14, 14}, {6, 14}};
        if (step_ >= 10) return agg::path_cmd_stop;
        const int i = step_++;
        if (i == 4 || i == 9) return agg::path_cmd_end_poly | agg::path_flags_close;
        const int c = i < 4 ? i : i - 1;
        *x = corners[c][0];
        *y = corners[c][1];
        return (c % 4 == 0) ? agg::path_cmd_move_to : agg::path_cmd_line_to;
    }
    bool has_curves() const override { return false; }

private:
    int step_ = 0;
};

TEST_F(Drawing, StrokesUseTheFillRuleOfTheState) {
    // The two 4-wide rings cross around (10, 6); there the outline winds
    // twice, which even-odd leaves empty.
    setStroke(4, 0, {}, 0);
    TwoSquares squares;
    graphics().draw(squares, 0x42);
    EXPECT_EQ(at(10, 6), 0xFF000000u);
    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
    graphics().state().fillRule = agg::fill_even_odd;
    graphics().draw(squares, 0x42);
    EXPECT_EQ(at(10, 6), 0u);
    EXPECT_EQ(at(3, 6), 0xFF000000u);
}

// Inputs that once made one call run for minutes; a hang fails the test by
// the test runner's timeout.
TEST_F(Drawing, CostlyGeometryStaysBounded) {
    // Many dashes with wide round caps, stroked in user space.
    setTransform({1e6, 3.7, 255, 3.7, 0, -1e6});
    jarray dashes = jni.array(std::vector<float>{2, 0, 0.5f});
    LUMO(setStroke)(jni.env(), nullptr, g, 100, 1, 0, 2, static_cast<jfloatArray>(dashes), 1e6f);
    LUMO(drawLine)(nullptr, nullptr, g, 1000000, 1000000, 360, 2);
    // Arcs under a nearly singular transform, whose user space is huge.
    setTransform({255, 0, -1, 1e-300, 100, 1e-12});
    setStroke(1, 1, {}, 0);
    LUMO(drawArc)(nullptr, nullptr, g, -2000000000, -2000000000, 2147483647, 2147483647, 10, 300);
    LUMO(drawOval)(nullptr, nullptr, g, -2000000000, -2000000000, 2147483647, 2147483647);
    // Ovals stroked in user space under a transform that collapses the plane
    // (no inverse to cull with) or stretches one axis ten billion times
    // (culled through the inverse): curves are not flattened at that scale.
    for (const auto& m : std::vector<std::vector<double>>{{-0.0, 144.5, 0, 1e10, -29, -32},
                                                          {1e10, 0, 0, 1, 0, 0}}) {
        setTransform(m);
        LUMO(drawOval)(nullptr, nullptr, g, 29, 53, 53, 53);
    }
    EXPECT_EQ(jni.pinned(), 0);
}

TEST_F(Drawing, CollapsedUserSpaceStrokesDrawNothingWhileDeviceStrokesShowTheLine) {
    // Every point lands on x = 8: y = user x + user y.
    setTransform({0, 1, 0, 1, 8, 0});
    LUMO(drawLine)(nullptr, nullptr, g, 0, 0, 10, 0);
    LUMO(drawOval)(nullptr, nullptr, g, 1, 1, 6, 6);
    EXPECT_EQ(painted(), 0);
    LUMO(setHint)(nullptr, nullptr, g, 8, 1);  // stroke in device space
    LUMO(drawLine)(nullptr, nullptr, g, 0, 0, 10, 0);
    EXPECT_NE(at(8, 5) >> 24, 0u);  // a vertical line on column 8
    EXPECT_EQ(at(2, 5), 0u);
}

// Each dash of a very wide stroke costs the clip box's height in the
// rasteriser; half a million of them beside a tall target are drawn solid.
// After two closes, a curve without a move of its own starts where AGG's
// path storage would put it, not at a point left unset.
TEST_F(Drawing, WideDashesStayBounded) {
    {
        test::DrawingTarget tall(1, 20000);
        LUMO(setStroke)
        (jni.env(), nullptr, tall.g, 1e6f, 0, 0, 10,
         static_cast<jfloatArray>(jni.array(std::vector<float>{0.001f})), 0);
        LUMO(drawLine)(nullptr, nullptr, tall.g, 64, 5, 1000, 5);
    }

    LUMO(setStroke)
    (jni.env(), nullptr, g, 1e9f, 0, 2, 10,
     static_cast<jfloatArray>(jni.array(std::vector<float>{0.70710677f, 2})), 0);
    std::vector<jbyte> types = {0, 1, 4, 4, 3};
    std::vector<double> coords = {6, 33, 36, 4, 1e-12, 39, -6, 19, 5, 0};
    LUMO(drawPath)
    (jni.env(), nullptr, g, jint(types.size()), jni.bytes(types),
     static_cast<jdoubleArray>(jni.array(coords)), JNI_TRUE, 0x22);
    EXPECT_EQ(painted(), W * H);  // strokes that wide cover the whole target
    EXPECT_EQ(jni.pinned(), 0);
}

TEST_F(Drawing, BadHandlesAreIgnored) {
    for (jint handle : {0, image, buffer, g + 1, -1}) {
        LUMO(fillRect)(nullptr, nullptr, handle, 0, 0, 4, 4);
        LUMO(setPaint)(nullptr, nullptr, handle, 0);
        LUMO(setHint)(nullptr, nullptr, handle, 1, 1);
        LUMO(setStroke)(jni.env(), nullptr, handle, 1, 0, 0, 1, nullptr, 0);
        LUMO(setComposite)(nullptr, nullptr, handle, 1, 1);
        LUMO(setTransform)(jni.env(), nullptr, handle, nullptr);
    }
    EXPECT_EQ(LUMO(createGraphics)(nullptr, nullptr, buffer), 0);
    EXPECT_EQ(LUMO(createGraphics)(nullptr, nullptr, 0), 0);
    LUMO(deleteGraphics)(nullptr, nullptr, image);  // wrong kind: nothing
    EXPECT_EQ(painted(), 0);
    EXPECT_EQ(jni.pinned(), 0);
}

// A curve cut short by an unusable point must not be flattened through it:
// AGG's curve converter reads the points after a curve command blindly. Each
// of these draws nothing (a hang fails through the test runner's timeout).
TEST_F(Drawing, CurvesThroughUnusablePointsDrawNothing) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto drawPath = [&](std::vector<jbyte> types, std::vector<double> coords, jint flags) {
        LUMO(drawPath)
        (jni.env(), nullptr, g, jint(types.size()), jni.bytes(types),
         static_cast<jdoubleArray>(jni.array(coords)), JNI_TRUE, flags);
    };
    drawPath({0, 3}, {0, 0, 1, 1, 2, 2, inf, 0}, 0x21);  // fill, cubic to infinity
    drawPath({0, 2}, {0, 0, 1, 1, nan, 0}, 0x22);        // stroke, quadratic to NaN
    setTransform({1e10, 0, 0, 1e10, 0, 0});              // finite, then not
    drawPath({0, 2}, {0, 0, 1, 1, 1e300, 0}, 0x21);
    setTransform({1, 0, 0, 1, 0, 0});
    // A curve cut short by an unusable end point, after a line to 1e100:
    // the flattener must not be handed the huge rest of it.
    drawPath({0, 1, 3, 4}, {26, 11, 24, 1e100, 1e15, 40, 16, 53, 7, -1e300}, 0x01);
    EXPECT_EQ(painted(), 0);

    // A clip whose curve has a control point far beyond the usable range
    // cannot be rasterised: nothing is drawn through it.
    std::vector<jbyte> types = {0, 3};
    std::vector<double> coords = {0, 0, 1, 1, 1e300, -1e300, 5, 5};
    LUMO(setClip)
    (jni.env(), nullptr, g, 2, jni.bytes(types), static_cast<jdoubleArray>(jni.array(coords)),
     JNI_TRUE);
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
    EXPECT_EQ(painted(), 0);
    EXPECT_EQ(jni.pinned(), 0);
}

// fillRect on whole device pixels (its edges and the clip box whole, the
// transform at most a translation) skips the coverage; it must leave the
// pixels a filled rectangle outline leaves, over varied pixels, for random
// places partly off the target, translations, clips, colours and composites
// (the other rules and the fractional cases take the outline's path).
TEST(WholePixelRectangles, FillAsTheirOutlines) {
    constexpr int W = 24, H = 20;
    std::mt19937 random(77);
    auto pick = [&](int low, int high) { return low + int(random() % unsigned(high - low + 1)); };
    for (int trial = 0; trial < 1500; ++trial) {
        test::DrawingTarget fast(W, H), outline(W, H);
        const jint rule = trial % 5 == 0 ? 2 : (trial % 7 == 0 ? 4 : 3);
        const float extra = trial % 3 == 0 ? float(pick(0, 100)) / 100 : 1.0f;
        const double tx = trial % 4 == 0 ? pick(-5, 5) + (trial % 8 == 0 ? 0.5 : 0.0) : 0.0;
        const bool clipped = trial % 3 == 1;
        const double clipX = pick(-2, 10) + (trial % 9 == 1 ? 0.25 : 0.0);
        const jint under = jint(0x80000000u | (random() & 0x7F7F7Fu));
        const jint colour = jint(random());
        const int x = pick(-6, W), y = pick(-6, H), w = pick(1, 14), h = pick(1, 14);
        for (test::DrawingTarget* t : {&fast, &outline}) {
            Graphics& gr = t->graphics();
            if (trial % 11 != 0) LUMO(setHint)(nullptr, nullptr, t->g, 1, 1);  // antialiased
            // The same varied pixels under both.
            LUMO(setPaint)(nullptr, nullptr, t->g, under);
            for (int k = 0; k < 3; ++k) {
                RectShape band(1.5 + 7 * k, 0.25, 5.5, H - 1);
                gr.draw(band, 0x41);
            }
            LUMO(setComposite)(nullptr, nullptr, t->g, rule, extra);
            if (tx != 0.0) gr.state().setTransform(std::vector<double>{1, 0, 0, 1, tx, -tx}.data());
            if (clipped) gr.setRectangleClip(clipX, 2, clipX + 9, H - 3);
            LUMO(setPaint)(nullptr, nullptr, t->g, colour);
        }
        fast.graphics().fillRect(x, y, w, h);
        RectShape rect(x, y, w, h);
        outline.graphics().draw(rect, 0x41);
        for (int py = 0; py < H; ++py) {
            for (int px = 0; px < W; ++px) {
                ASSERT_EQ(fast.at(px, py), outline.at(px, py))
                    << "trial " << trial << " at " << px << ", " << py;
            }
        }
    }
}

// A path of one polygon, its points as drawPath takes them.
struct PolygonPath {
    std::vector<jbyte> types;
    std::vector<double> coords;
    bool rectilinear = true;
};

// Rectangles from any corner either way round (the first point repeated or
// not, closed or not), rectilinear staircases and triangles, at random
// fractional places partly beyond the target.
PolygonPath randomPolygon(std::mt19937& random, int w, int h) {
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    PolygonPath p;
    std::vector<double> xs, ys;
    const double x = uniform(-4, w), y = uniform(-4, h);
    switch (random() % 3) {
        case 0: {
            const double x2 = x + uniform(0, 12), y2 = y + uniform(0, 12);
            const double cx[4] = {x, x2, x2, x}, cy[4] = {y, y, y2, y2};
            const int start = int(random() % 4), step = random() % 2 ? 1 : 3;
            for (int k = 0; k < 4; ++k) {
                xs.push_back(cx[(start + k * step) % 4]);
                ys.push_back(cy[(start + k * step) % 4]);
            }
            if (random() % 2) xs.push_back(xs[0]), ys.push_back(ys[0]);
            break;
        }
        case 1: {
            double px = x, py = y;
            xs.push_back(px), ys.push_back(py);
            const int steps = 1 + int(random() % 5);
            for (int k = 0; k < steps; ++k) {
                px += uniform(0.1, 5);
                xs.push_back(px), ys.push_back(py);
                py += uniform(0.1, 5);
                xs.push_back(px), ys.push_back(py);
            }
            xs.push_back(x), ys.push_back(py);
            break;
        }
        default:
            for (int k = 0; k < 3; ++k)
                xs.push_back(x + uniform(0, 12)), ys.push_back(y + uniform(0, 12));
            p.rectilinear = false;
            break;
    }
    for (size_t k = 0; k < xs.size(); ++k) {
        p.types.push_back(k == 0 ? 0 : 1);
        p.coords.push_back(xs[k]);
        p.coords.push_back(ys[k]);
    }
    if (random() % 4) p.types.push_back(4);
    return p;
}

// drawPath reads a fill of one polygon straight from its points where the
// rectangle coverage takes it, and a closed rectangle's stroke likewise: the
// pixels must be those of the same path flagged as curved, which is filled
// through the curve flattener and the rasteriser and stroked by the stroker,
// under both fill rules, clips, transforms, stroke widths and joins and
// translucent colours over varied pixels.
TEST(PolygonPaths, DrawAsThePathWouldDraw) {
    constexpr int W = 24, H = 20;
    std::mt19937 random(1912);
    test::FakeJni jni;
    for (int trial = 0; trial < 3000; ++trial) {
        test::DrawingTarget fast(W, H), reference(W, H);
        const PolygonPath path = randomPolygon(random, W, H);
        const jboolean nonZero = trial % 2 ? JNI_TRUE : JNI_FALSE;
        const bool clipped = trial % 3 == 1, transformed = trial % 7 == 3;
        const double clipX = std::uniform_real_distribution<double>(-2, 10)(random);
        const jint colour = jint(0x40000000u | (random() & 0xBFFFFFFFu));
        const bool stroked = trial % 2 == 0;
        const float width = std::uniform_real_distribution<float>(0.2f, 4)(random);
        const jint join = random() % 4 == 0 ? 1 : 0;  // round or miter
        for (test::DrawingTarget* t : {&fast, &reference}) {
            Graphics& gr = t->graphics();
            if (stroked) LUMO(setStroke)(nullptr, nullptr, t->g, width, 0, join, 10, nullptr, 0);
            LUMO(setPaint)(nullptr, nullptr, t->g, jint(0x80402010u));
            RectShape band(1.5, 0.25, 5.5, H - 1);
            gr.draw(band, 0x41);
            if (transformed) {
                gr.state().setTransform(std::vector<double>{1, 0, 0, 1.5, 0.5, -2}.data());
            }
            if (clipped) gr.setRectangleClip(clipX, 2.5, clipX + 9, H - 3);
            LUMO(setPaint)(nullptr, nullptr, t->g, colour);
        }
        const jbyteArray types = jni.bytes(path.types);
        const jdoubleArray coords = static_cast<jdoubleArray>(jni.array(path.coords));
        const jint count = jint(path.types.size());
        const jint shape = stroked ? 0x02 : 0x01;
        LUMO(drawPath)(jni.env(), nullptr, fast.g, count, types, coords, nonZero, shape | 0x40);
        LUMO(drawPath)
        (jni.env(), nullptr, reference.g, count, types, coords, nonZero, shape | 0x20);
        for (int py = 0; py < H; ++py) {
            for (int px = 0; px < W; ++px) {
                ASSERT_EQ(fast.at(px, py), reference.at(px, py))
                    << "trial " << trial << " at " << px << ", " << py;
            }
        }
    }
    EXPECT_EQ(jni.pinned(), 0);
}

// The rectangle coverage takes a rectilinear polygon, and the outline of a
// closed rectangle stroked with miter joins, from the points without reading
// the shape; any other polygon is read from the shape.
TEST(PolygonPaths, RectilinearOnesAreNotReadThroughTheShape) {
    test::DrawingTarget target(16, 16);
    Graphics& gr = target.graphics();
    LUMO(setPaint)(nullptr, nullptr, target.g, int32_t(0xFF336699));
    const double square[] = {2.5, 2.5, 9.5, 2.5, 9.5, 9.5, 2.5, 9.5};
    CountingRect shape(2.5, 2.5, 7, 7);
    gr.drawPolygon(shape, square, 4, true, 0x41);
    EXPECT_EQ(shape.fetched, 0);
    EXPECT_EQ(target.painted(), 64);
    const double triangle[] = {2.5, 2.5, 9.5, 2.5, 2.5, 9.5};
    CountingRect other(2.5, 2.5, 7, 7);
    gr.drawPolygon(other, triangle, 3, true, 0x41);
    EXPECT_GT(other.fetched, 0);
    // Stroked 1 wide: the outline from 2 to 3 and from 9 to 10 around.
    test::DrawingTarget stroked(16, 16);
    LUMO(setPaint)(nullptr, nullptr, stroked.g, int32_t(0xFF336699));
    LUMO(setStroke)(nullptr, nullptr, stroked.g, 1, 0, 0, 10, nullptr, 0);
    CountingRect outline(2.5, 2.5, 7, 7);
    stroked.graphics().drawPolygon(outline, square, 4, true, 0x42);
    EXPECT_EQ(outline.fetched, 0);
    EXPECT_EQ(stroked.painted(), 64 - 36);
    CountingRect open(2.5, 2.5, 7, 7);
    stroked.graphics().drawPolygon(open, square, 4, false, 0x42);
    EXPECT_GT(open.fetched, 0);
}

}  // namespace
}  // namespace lumo
