// Line-pattern outlines on inputs found by randomized stress runs, which made
// one call run for many seconds or overflow ints in the outline renderer.
// Sanitizer builds catch the overflows; a hang fails its test by the test
// runner's timeout.
#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

namespace lumo {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

class Robustness : public ::testing::Test {
protected:
    void setTransform(std::vector<double> m) {
        LUMO(setTransform)(jni.env(), nullptr, target->g, static_cast<jdoubleArray>(jni.array(m)));
    }
    void drawPath(std::vector<jbyte> types, std::vector<double> coords, jint flags) {
        LUMO(drawPath)
        (jni.env(), nullptr, target->g, jint(types.size()), jni.bytes(types),
         static_cast<jdoubleArray>(jni.array(coords)), JNI_TRUE, flags);
    }
    void useTarget(int width, int height) {
        target = std::make_unique<test::DrawingTarget>(width, height);
        ASSERT_NE(target->g, 0);
    }

    test::FakeJni jni;
    std::unique_ptr<test::DrawingTarget> target;
};

constexpr jint fillCurves = 0x21;    // fill, curved
constexpr jint strokeCurves = 0x22;  // stroke, curved
constexpr jbyte moveTo = 0, quadTo = 2, cubicTo = 3;

// A line pattern draws the device-space line it is given; a NaN translation
// must not reach the outline renderer's int coordinates.
TEST_F(Robustness, LinePatternUnderANaNTranslationDrawsNothing) {
    useTarget(8, 8);
    test::DrawingTarget pattern(4, 4, jint(0xFF00FF00));
    LUMO(setLinePattern)(nullptr, nullptr, target->g, pattern.image, 0, 0, 0);
    setTransform({1, 0, 0, 1, 0, nan});
    LUMO(drawLine)(nullptr, nullptr, target->g, 0, 0, 5, 5);
    EXPECT_EQ(target->painted(), 0);
}

// An ordinary pattern along a rectangle a few thousand pixels wide: the
// outline renderer's distances at the corners overflowed ints.
TEST_F(Robustness, LinePatternAlongEdgesThousandsOfPixelsLong) {
    useTarget(64, 64);
    test::DrawingTarget pattern(8, 16, jint(0xFF00FF00));
    LUMO(setLinePattern)(nullptr, nullptr, target->g, pattern.image, 0, 0, 0);
    LUMO(drawRect)(nullptr, nullptr, target->g, 10, 10, 3000, 20);
    // The pattern reaches 8 pixels (half its height) from each edge, and
    // the edges lie at y = 10 and y = 30: rows from 44 down stay untouched.
    for (int y = 44; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_EQ(target->at(x, y), 0u) << x << ", " << y;
    EXPECT_NE(target->at(20, 10), 0u);
}

// Said to have no curves, a path's curve segments are drawn through their control
// points as straight lines; those lines must be cut into pieces like any
// other, or a long one overflows the renderer's ints at its joins.
TEST_F(Robustness, LinePatternAlongCurveCodesOfAPathSaidToBePolygonal) {
    useTarget(64, 64);
    test::DrawingTarget pattern(20, 20, jint(0xFF00FF00));
    LUMO(setLinePattern)(nullptr, nullptr, target->g, pattern.image, 0, 0, 0);
    constexpr jint strokeLines = 0x42;  // stroke, said to have no curves
    constexpr jbyte close = 4;
    // A short line, then a sharp turn into a line a million pixels long.
    drawPath({moveTo, quadTo, quadTo, close}, {10, 5, 10, 13, 10, 12, 13, 15, -1e6, 15},
             strokeLines);
    // The pattern reaches 10 pixels either side of the lines, all above y = 26.
    for (int x = 0; x < 64; ++x) ASSERT_EQ(target->at(x, 40), 0u) << x;
    EXPECT_NE(target->at(10, 8), 0u);
}

// A tall pattern along a polyline of short segments.
TEST_F(Robustness, TallLinePatternAlongAPolyline) {
    useTarget(1, 1597);
    test::DrawingTarget pattern(1, 40000, jint(0xFF00FF00));
    LUMO(setLinePattern)(nullptr, nullptr, target->g, pattern.image, 0, 0, 0);
    std::vector<jint> xs = {3, 0, 4, -4, 1000}, ys = {128, 1342, 998, 739, 1126};
    LUMO(drawPolyline)(jni.env(), nullptr, target->g, 5, jni.ints(xs), jni.ints(ys));
    EXPECT_EQ(jni.pinned(), 0);
}

// A tall pattern (within the size the renderer accepts) along a round
// rectangle with huge arcs took about half a minute on a 46 x 31 target.
TEST_F(Robustness, TallLinePatternAlongHugeArcsStaysQuick) {
    useTarget(46, 31);
    test::DrawingTarget pattern(1, 1000000, jint(0xFF00FF00));
    LUMO(setLinePattern)(nullptr, nullptr, target->g, pattern.image, 0, 0, 0);
    LUMO(drawRoundRect)(nullptr, nullptr, target->g, 0, 0, 31, 10, 37, 1000000);
    // AGG draws at most 64 pixels either side of the line.
    EXPECT_GT(target->painted(), 0);
}

// A small pattern along dashed curves under a transform that squashes x and
// stretches y a millionfold took ten seconds on a 62 x 26 target.
TEST_F(Robustness, LinePatternAlongDashedCurvesUnderAStretchingTransformStaysQuick) {
    useTarget(62, 26);
    test::DrawingTarget pattern(10, 10, jint(0xFF00FF00));
    LUMO(setLinePattern)(nullptr, nullptr, target->g, pattern.image, 0, 0, 0);
    setTransform({1e-6, 1e-9, -1e-9, 1e6, -21, 51});
    LUMO(setStroke)
    (jni.env(), nullptr, target->g, 10, 0, 1, 3.7f,
     static_cast<jfloatArray>(jni.array(std::vector<float>{4})), 1);
    constexpr jbyte lineTo = 1, close = 4;
    drawPath({moveTo, lineTo, close, moveTo, quadTo, moveTo, close, cubicTo},
             {8, 0, 24.5, -3, 40, 62, 50, -43, 1, 94, 61, 86, 20, 39, 3, -9, -9, 39}, strokeCurves);
    EXPECT_EQ(jni.pinned(), 0);
}

}  // namespace
}  // namespace lumo
