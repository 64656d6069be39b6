#include "context/Graphics.h"
#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "doubles/ReadPath.h"
#include "geometry/PathShape.h"
#include "geometry/PolygonShape.h"
#include "native/EntryPoints.h"

#include <agg_basics.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

constexpr unsigned kMoveTo = agg::path_cmd_move_to;
constexpr unsigned kLineTo = agg::path_cmd_line_to;
constexpr unsigned kCurve3 = agg::path_cmd_curve3;
constexpr unsigned kCurve4 = agg::path_cmd_curve4;
constexpr unsigned kClose = 0x4F;

using Vertex = test::PathVertex;
using test::readPath;

// Compares a path with the expected commands and points; closes carry no
// point, so only their command is compared.
void expectPath(const std::vector<Vertex>& path, const std::vector<Vertex>& expected) {
    ASSERT_EQ(path.size(), expected.size());
    for (size_t i = 0; i < path.size(); ++i) {
        EXPECT_EQ(path[i].cmd, expected[i].cmd) << "vertex " << i;
        if (agg::is_vertex(expected[i].cmd)) {
            EXPECT_EQ(path[i].x, expected[i].x) << "vertex " << i;
            EXPECT_EQ(path[i].y, expected[i].y) << "vertex " << i;
        }
    }
}

TEST(PolygonShape, ClosedPolygonsEndWithACloseAndOpenOnesDoNot) {
    const std::vector<int32_t> x = {0, 10, 10}, y = {0, 0, 10};
    PolygonShape triangle(x.data(), y.data(), 3, true);
    EXPECT_FALSE(triangle.has_curves());
    for (int pass = 0; pass < 2; ++pass) {
        expectPath(readPath(triangle),
                   {{kMoveTo, 0, 0}, {kLineTo, 10, 0}, {kLineTo, 10, 10}, {kClose, 0, 0}});
    }
    PolygonShape polyline(x.data(), y.data(), 3, false);
    expectPath(readPath(polyline), {{kMoveTo, 0, 0}, {kLineTo, 10, 0}, {kLineTo, 10, 10}});
    // Only the first `count` points are read.
    PolygonShape segment(x.data(), y.data(), 2, false);
    expectPath(readPath(segment), {{kMoveTo, 0, 0}, {kLineTo, 10, 0}});
}

TEST(PathShape, SegmentsGiveTheirPointsAndClosesGiveNone) {
    const std::vector<int8_t> codes = {0, 1, 1, 4};
    const std::vector<double> coords = {0, 0, 10, 0, 10, 10};
    PathShape triangle(codes.data(), 4, coords.data(), 6);
    EXPECT_FALSE(triangle.has_curves());
    for (int pass = 0; pass < 2; ++pass) {
        expectPath(readPath(triangle),
                   {{kMoveTo, 0, 0}, {kLineTo, 10, 0}, {kLineTo, 10, 10}, {kClose, 0, 0}});
    }

    const std::vector<int8_t> quad = {0, 2};
    const std::vector<double> quadCoords = {0, 0, 5, 10, 10, 0};
    PathShape parabola(quad.data(), 2, quadCoords.data(), 6);
    expectPath(readPath(parabola), {{kMoveTo, 0, 0}, {kCurve3, 5, 10}, {kCurve3, 10, 0}});
    EXPECT_TRUE(parabola.has_curves());

    // A cubic after a close: the close does not consume a coordinate.
    const std::vector<int8_t> mixed = {0, 4, 0, 3, 4};
    const std::vector<double> mixedCoords = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    PathShape cubic(mixed.data(), 5, mixedCoords.data(), 10);
    expectPath(readPath(cubic), {{kMoveTo, 1, 2},
                                 {kClose, 0, 0},
                                 {kMoveTo, 3, 4},
                                 {kCurve4, 5, 6},
                                 {kCurve4, 7, 8},
                                 {kCurve4, 9, 10},
                                 {kClose, 0, 0}});
    EXPECT_TRUE(cubic.has_curves());
}

TEST(PathShape, AnUnknownCodeClosesOnceAndEndsThePath) {
    // The coordinates hold exactly what comes before the end, so a read past
    // it shows under the address sanitizer.
    for (int8_t end : {int8_t(9), int8_t(5), int8_t(-1), int8_t(-128)}) {
        const std::vector<int8_t> codes = {0, 1, end, 1};
        const std::vector<double> coords = {0, 0, 10, 0};
        PathShape path(codes.data(), 4, coords.data(), 4);
        expectPath(readPath(path), {{kMoveTo, 0, 0}, {kLineTo, 10, 0}, {kClose, 0, 0}});
        EXPECT_EQ(pathCoordinatesNeeded(codes.data(), 4), 4);
    }
}

TEST(PathShape, CoordinatesNeededCountsUpToTheEndOfThePath) {
    const std::vector<int8_t> all = {0, 1, 2, 3, 4};
    EXPECT_EQ(pathCoordinatesNeeded(all.data(), 5), 14);
    EXPECT_EQ(pathCoordinatesNeeded(all.data(), 3), 8);  // only `count` codes
    EXPECT_EQ(pathCoordinatesNeeded(all.data(), 0), 0);
    EXPECT_EQ(pathCoordinatesNeeded(all.data(), -5), 0);
    const std::vector<int8_t> ended = {3, 3, 100, 3};
    EXPECT_EQ(pathCoordinatesNeeded(ended.data(), 4), 12);
    const std::vector<int8_t> closes = {4, 4, 4};
    EXPECT_EQ(pathCoordinatesNeeded(closes.data(), 3), 0);
}

TEST(PathShape, CurvesAreFoundOnceAndOnlyBeforeTheEnd) {
    std::vector<int8_t> codes = {0, 1, 1, 4};
    const std::vector<double> coords = {0, 0, 10, 0, 10, 10};
    PathShape path(codes.data(), 4, coords.data(), 6);
    EXPECT_FALSE(path.has_curves());
    // The answer is kept, across rewinds too.
    codes[1] = 2;
    EXPECT_FALSE(path.has_curves());
    path.rewind(0);
    EXPECT_FALSE(path.has_curves());
    PathShape rescanned(codes.data(), 4, coords.data(), 6);
    EXPECT_TRUE(rescanned.has_curves());

    // Every code counts, even one after the end of the path.
    const std::vector<int8_t> curveAfterEnd = {0, 1, -1, 3};
    PathShape ended(curveAfterEnd.data(), 4, coords.data(), 4);
    EXPECT_TRUE(ended.has_curves());
    PathShape curveBeyondCount(codes.data(), 1, coords.data(), 2);
    EXPECT_FALSE(curveBeyondCount.has_curves());
}

TEST(PathShape, CodesChangedWhileDrawingNeitherOverreadNorStall) {
    // Counted as a move and a line (4 doubles); a cubic in their place must
    // not read beyond them.
    std::vector<int8_t> codes = {0, 1};
    const std::vector<double> coords = {1, 2, 3, 4};
    PathShape path(codes.data(), 2, coords.data(), pathCoordinatesNeeded(codes.data(), 2));
    codes[1] = 3;
    expectPath(readPath(path), {{kMoveTo, 1, 2}, {kCurve4, 3, 4}});

    // A close in place of a cubic half read still moves on.
    std::vector<int8_t> curve = {0, 3};
    const std::vector<double> points = {1, 2, 3, 4, 5, 6, 7, 8};
    PathShape interrupted(curve.data(), 2, points.data(), 8);
    double x = 0, y = 0;
    interrupted.rewind(0);
    EXPECT_EQ(interrupted.vertex(&x, &y), kMoveTo);
    EXPECT_EQ(interrupted.vertex(&x, &y), kCurve4);
    curve[1] = 4;
    EXPECT_EQ(interrupted.vertex(&x, &y), kClose);
    EXPECT_EQ(interrupted.vertex(&x, &y), agg::path_cmd_stop);
}

// A 32 x 32 render target with one drawing object, driven through the entry
// points.
class PathDrawing : public ::testing::Test, protected test::DrawingTarget {
protected:
    static constexpr int W = 32, H = 32;

    PathDrawing() : DrawingTarget(W, H) {}
    void SetUp() override {
        ASSERT_NE(g, 0);
        jni.handOutCopies(true);
    }
    void TearDown() override {
        EXPECT_EQ(jni.pinned(), 0);
        EXPECT_EQ(jni.violations(), 0);
    }

    // Sum of coverage over the target, in pixels.
    double coverage() {
        double sum = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) sum += (at(x, y) >> 24) / 255.0;
        return sum;
    }
    void clear() { LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0); }
    std::vector<uint32_t> drawn() const {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) pixels.push_back(at(x, y));
        return pixels;
    }

    jintArray ints(std::vector<jint> v) { return jni.ints(v); }
    void drawPath(jint segments, jbyteArray types, jdoubleArray coords, jboolean nonZero,
                  jint flags) {
        LUMO(drawPath)(jni.env(), nullptr, g, segments, types, coords, nonZero, flags);
    }
    void drawPath(std::vector<jbyte> codes, std::vector<double> coords, jboolean nonZero,
                  jint flags) {
        drawPath(jint(codes.size()), jni.bytes(codes), static_cast<jdoubleArray>(jni.array(coords)),
                 nonZero, flags);
    }

    test::FakeJni jni;
};

// A five-pointed star drawn as one polygon about (16, 16): its centre winds
// twice. The pixels at (15, 15) and (16, 16) lie well inside the inner
// pentagon, the one at (15, 9) inside the upper arm.
const std::vector<jint> starX = {16, 24, 3, 29, 8};
const std::vector<jint> starY = {2, 27, 12, 12, 27};

// Two squares, (4, 4)-(20, 20) and (12, 12)-(28, 28), as one path of two
// closed polygons turning the same way; they overlap on (12, 12)-(20, 20).
const std::vector<jbyte> squareCodes = {0, 1, 1, 1, 4, 0, 1, 1, 1, 4};
const std::vector<double> squareCoords = {4,  4,  20, 4,  20, 20, 4,  20,
                                          12, 12, 28, 12, 28, 28, 12, 28};

TEST_F(PathDrawing, PointArraysThatAreMissingOrTooShortDrawNothing) {
    const jintArray three = ints({4, 20, 4}), two = ints({4, 20});
    using Entry = void (*)(JNIEnv*, jclass, jint, jint, jintArray, jintArray);
    for (Entry entry : {&LUMO(drawPolygon), &LUMO(fillPolygon), &LUMO(drawPolyline)}) {
        for (jint n : {3, 4, 1000, INT_MAX, 0, 1, -1, -3, INT_MIN}) {
            entry(jni.env(), nullptr, g, n, two, three);
            entry(jni.env(), nullptr, g, n, three, two);
            entry(jni.env(), nullptr, g, n, nullptr, three);
            entry(jni.env(), nullptr, g, n, three, nullptr);
            entry(jni.env(), nullptr, g, n, nullptr, nullptr);
        }
        // Fewer points than the shape needs.
        entry(jni.env(), nullptr, g, 1, three, three);
        // Bad handles.
        entry(jni.env(), nullptr, 0, 3, three, three);
        entry(jni.env(), nullptr, image, 3, three, three);
    }
    LUMO(fillPolygon)(jni.env(), nullptr, g, 2, three, three);
    EXPECT_EQ(painted(), 0);
}

// Small point arrays are copied, one call each; long ones are pinned, x
// first. Both routes read only the first n points and draw the same pixels.
TEST_F(PathDrawing, PolygonArraysAreMeasuredThenCopiedOrPinnedXFirst) {
    using E = test::FakeJni::Event;
    const jintArray x = ints({4, 20, 4, 99}), y = ints({4, 4, 20, 99});
    jni.clearEvents();
    LUMO(fillPolygon)(jni.env(), nullptr, g, 3, x, y);
    const std::vector<E>& events = jni.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].type, E::Length);
    EXPECT_EQ(events[1].type, E::Length);
    EXPECT_EQ(events[2].type, E::Copy);
    EXPECT_EQ(events[2].array, x);
    EXPECT_EQ(events[2].count, 3);
    EXPECT_EQ(events[3].type, E::Copy);
    EXPECT_EQ(events[3].array, y);
    const std::vector<uint32_t> copied = drawn();
    EXPECT_GT(painted(), 0);

    // The same triangle with its last corner repeated up to 1000 points.
    std::vector<jint> longX(1000, 4), longY(1000, 20);
    longX[1] = 20;
    longY[0] = longY[1] = 4;
    const jintArray lx = ints(longX), ly = ints(longY);
    clear();
    jni.clearEvents();
    LUMO(fillPolygon)(jni.env(), nullptr, g, 1000, lx, ly);
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[2].type, E::Pin);
    EXPECT_EQ(events[2].array, lx);
    EXPECT_EQ(events[3].type, E::Pin);
    EXPECT_EQ(events[3].array, ly);
    EXPECT_EQ(events[4].array, ly);
    EXPECT_EQ(events[4].mode, JNI_ABORT);
    EXPECT_EQ(events[5].array, lx);
    EXPECT_EQ(drawn(), copied);

    // A failed pin draws nothing and leaves nothing pinned.
    clear();
    for (int n = 1; n <= 2; ++n) {
        jni.failPin(n);
        LUMO(fillPolygon)(jni.env(), nullptr, g, 1000, lx, ly);
    }
    EXPECT_EQ(painted(), 0);
}

TEST_F(PathDrawing, FillRuleOfAPathStaysForLaterDrawing) {
    GraphicsState& state = graphics().state();
    drawPath(squareCodes, squareCoords, JNI_FALSE, 0x01);
    EXPECT_EQ(state.fillRule, agg::fill_even_odd);
    EXPECT_EQ(at(8, 8), 0xFF000000u);
    EXPECT_EQ(at(24, 24), 0xFF000000u);
    EXPECT_EQ(at(16, 16), 0u);  // the overlap

    // fillPolygon and fillRect keep the rule: the star's centre stays empty.
    clear();
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, 2, 2);
    LUMO(fillPolygon)(jni.env(), nullptr, g, 5, ints(starX), ints(starY));
    EXPECT_EQ(state.fillRule, agg::fill_even_odd);
    EXPECT_EQ(at(15, 9), 0xFF000000u);
    EXPECT_EQ(at(15, 15), 0u);
    EXPECT_EQ(at(16, 16), 0u);

    // No segments: nothing changes.
    drawPath(0, jni.bytes(squareCodes), static_cast<jdoubleArray>(jni.array(squareCoords)),
             JNI_TRUE, 0x02);
    EXPECT_EQ(state.fillRule, agg::fill_even_odd);

    // A stroked path selects non-zero whatever nonZero says.
    drawPath({0, 1}, {0, 30, 4, 30}, JNI_FALSE, 0x02);
    EXPECT_EQ(state.fillRule, agg::fill_non_zero);
    clear();
    LUMO(fillPolygon)(jni.env(), nullptr, g, 5, ints(starX), ints(starY));
    EXPECT_EQ(at(15, 15), 0xFF000000u);
    EXPECT_EQ(at(16, 16), 0xFF000000u);

    // The rule is set even by flags that draw nothing; any non-zero byte
    // counts as true.
    clear();
    drawPath(squareCodes, squareCoords, JNI_FALSE, 0x60);
    EXPECT_EQ(state.fillRule, agg::fill_even_odd);
    EXPECT_EQ(painted(), 0);
    drawPath(squareCodes, squareCoords, jboolean(2), 0x01);
    EXPECT_EQ(state.fillRule, agg::fill_non_zero);
    EXPECT_EQ(at(16, 16), 0xFF000000u);
    // Fill and stroke together: the fill is drawn, under non-zero.
    clear();
    drawPath(squareCodes, squareCoords, JNI_FALSE, 0x03);
    EXPECT_EQ(state.fillRule, agg::fill_non_zero);
    EXPECT_EQ(at(16, 16), 0xFF000000u);
    EXPECT_EQ(at(3, 8), 0u);  // no outline around the fill
}

TEST_F(PathDrawing, PathArraysThatAreMissingOrTooShortChangeNothing) {
    GraphicsState& state = graphics().state();
    const jbyteArray codes = jni.bytes({0, 1, 1, 4});
    const auto doubles = [&](std::vector<double> v) {
        return static_cast<jdoubleArray>(jni.array(v));
    };
    const jdoubleArray five = doubles({4, 4, 20, 4, 20}), six = doubles({4, 4, 20, 4, 20, 20});
    for (jint segments : {5, 1000, INT_MAX}) {
        drawPath(segments, codes, six, JNI_FALSE, 0x01);
    }
    drawPath(4, codes, five, JNI_FALSE, 0x01);
    drawPath(4, nullptr, six, JNI_FALSE, 0x01);
    drawPath(4, codes, nullptr, JNI_FALSE, 0x01);
    drawPath(-1, codes, six, JNI_FALSE, 0x01);
    drawPath(INT_MIN, codes, six, JNI_FALSE, 0x01);
    // Closes read no coordinate, but a null array is still refused.
    drawPath(1, jni.bytes({4}), nullptr, JNI_FALSE, 0x01);
    LUMO(drawPath)(jni.env(), nullptr, 0, 4, codes, six, JNI_FALSE, 0x01);
    EXPECT_EQ(state.fillRule, agg::fill_non_zero);
    EXPECT_EQ(painted(), 0);
    drawPath(1, jni.bytes({4}), doubles({}), JNI_FALSE, 0x01);
    EXPECT_EQ(state.fillRule, agg::fill_even_odd);
    EXPECT_EQ(painted(), 0);

    // Only the coordinates up to the end of the path, or the count, are needed.
    drawPath(5, jni.bytes({0, 1, 1, -1, 3}), six, JNI_TRUE, 0x01);
    EXPECT_NEAR(painted(), 128, 12);
    clear();
    drawPath(3, jni.bytes({0, 1, 1, 3}), six, JNI_TRUE, 0x01);
    EXPECT_NEAR(painted(), 128, 12);

    // The lengths are read before anything else; the codes are read first,
    // then only the coordinates they need.
    jni.clearEvents();
    drawPath(4, codes, six, JNI_TRUE, 0x01);
    using E = test::FakeJni::Event;
    const std::vector<E>& events = jni.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].type, E::Length);
    EXPECT_EQ(events[1].type, E::Length);
    EXPECT_EQ(events[2].type, E::Copy);
    EXPECT_EQ(events[2].array, codes);
    EXPECT_EQ(events[2].count, 4);
    EXPECT_EQ(events[3].type, E::Copy);
    EXPECT_EQ(events[3].array, six);
    EXPECT_EQ(events[3].count, 6);
    // A short coordinate array is found with the codes alone read.
    jni.clearEvents();
    drawPath(4, codes, five, JNI_TRUE, 0x01);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[2].type, E::Copy);

    // The same triangle with its last corner repeated: 300 codes are copied
    // and their 600 coordinates pinned; 3000 codes are pinned, and then the
    // coordinates too. Both draw the pixels of the short path.
    clear();
    drawPath(4, codes, six, JNI_TRUE, 0x01);
    const std::vector<uint32_t> copied = drawn();
    for (jint segments : {300, 3000}) {
        std::vector<jbyte> longCodes(size_t(segments), 1);
        longCodes[0] = 0;
        std::vector<double> longCoords(2 * size_t(segments), 20);
        const double corners[] = {4, 4, 20, 4};
        std::copy(corners, corners + 4, longCoords.begin());
        const jbyteArray lc = jni.bytes(longCodes);
        const auto lp = static_cast<jdoubleArray>(jni.array(longCoords));
        clear();
        jni.clearEvents();
        drawPath(segments, lc, lp, JNI_TRUE, 0x01);
        EXPECT_EQ(drawn(), copied) << segments;
        ASSERT_EQ(events.size(), segments == 300 ? 5u : 6u);
        EXPECT_EQ(events[2].type, segments == 300 ? E::Copy : E::Pin);
        EXPECT_EQ(events[3].type, E::Pin);
        EXPECT_EQ(events[3].array, lp);

        const int pins = segments == 300 ? 1 : 2;
        for (int n = 1; n <= pins; ++n) {
            clear();
            jni.failPin(n);
            drawPath(segments, lc, lp, JNI_TRUE, 0x01);
            EXPECT_EQ(painted(), 0);
        }
    }
}

TEST_F(PathDrawing, CurvesAreFlattenedUnlessThePathIsDeclaredPolygonal) {
    LUMO(setHint)(nullptr, nullptr, g, 1, 1);
    // A parabola from (0, 30) to (30, 30) with control point (15, -18) peaks
    // at y 6; the segment it cuts off its chord covers 2/3 * 30 * 24 = 480
    // pixels.
    const std::vector<jbyte> quad = {0, 2, 4};
    const std::vector<double> quadCoords = {0, 30, 15, -18, 30, 30};
    for (jint flags : {0x01, 0x21}) {
        clear();
        drawPath(quad, quadCoords, JNI_TRUE, flags);
        EXPECT_NEAR(coverage(), 480, 6) << flags;
    }
    // Declared polygonal, the control point is a corner: the triangle of
    // 720 pixels less its tip above y 0 (11.25 wide, 18 high).
    clear();
    drawPath(quad, quadCoords, JNI_TRUE, 0x41);
    EXPECT_NEAR(coverage(), 720 - 101.25, 6);

    // The same parabola as a cubic, its control points two thirds of the way
    // from each end to (15, -18).
    clear();
    drawPath({0, 3, 4}, {0, 30, 10, -2, 20, -2, 30, 30}, JNI_FALSE, 0x01);
    EXPECT_NEAR(coverage(), 480, 6);
}

TEST_F(PathDrawing, APathThatDrawsBeforeItsFirstMoveStartsAtTheOrigin) {
    LUMO(setHint)(nullptr, nullptr, g, 1, 1);
    // A clone with a triangular clip first draws a shape starting at (31, 5),
    // outside its clip box, on the same target (and rasteriser).
    const jint clone = LUMO(cloneGraphics)(nullptr, nullptr, g);
    LUMO(setClip)
    (jni.env(), nullptr, clone, 4, jni.bytes({0, 1, 1, 4}),
     static_cast<jdoubleArray>(jni.array(std::vector<double>{10, 10, 20, 10, 10, 20})), JNI_TRUE);
    LUMO(drawPath)
    (jni.env(), nullptr, clone, 3, jni.bytes({0, 1, 4}),
     static_cast<jdoubleArray>(jni.array(std::vector<double>{31, 5, 12, 12})), JNI_TRUE, 0x01);
    LUMO(deleteGraphics)(nullptr, nullptr, clone);
    clear();
    // Lines to (30, 0) and (30, 30) with no move: the triangle from (0, 0).
    drawPath({1, 1, 4}, {30, 0, 30, 30}, JNI_TRUE, 0x01);
    EXPECT_NEAR(coverage(), 450, 2);
    // A curve with no move also starts at (0, 0): the parabola's segment.
    clear();
    drawPath({2, 4}, {15, -18, 30, 0}, JNI_TRUE, 0x01);
    drawPath({0, 2, 4}, {0, 30, 15, -18, 30, 30}, JNI_TRUE, 0x01);
    EXPECT_NEAR(coverage(), 480, 6);
}

TEST_F(PathDrawing, UnusableCoordinatesDrawNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    LUMO(setHint)(nullptr, nullptr, g, 1, 1);
    for (double bad : {nan, inf, -inf, 1e300}) {
        for (jint flags : {0x01, 0x02}) {
            drawPath({0, 1, 1, 4}, {4, 4, 20, 4, bad, 20}, JNI_TRUE, flags);
            drawPath({0, 1, 3, 4}, {4, 4, 20, 4, 20, bad, 30, 30, 4, 20}, JNI_TRUE, flags);
        }
    }
    EXPECT_EQ(painted(), 0);
    // Curves reaching far out are drawn near the target only, in bounded
    // time, instead of being flattened into countless segments.
    for (jint flags : {0x01, 0x02}) {
        drawPath({0, 3}, {4, 4, 1e15, -1e15, -1e15, 1e15, 20, 20}, JNI_TRUE, flags);
        drawPath({0, 2}, {4, 4, 1e13, 1e13, 20, 20}, JNI_TRUE, flags);
    }
}

}  // namespace
}  // namespace lumo
