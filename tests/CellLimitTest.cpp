// A shape that reaches the rasteriser's cell limit may be cut there, but the
// shapes drawn after it on the same render target draw normally.
#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

constexpr int Size = 2000;

class CellLimit : public ::testing::Test, protected test::DrawingTarget {
protected:
    CellLimit() : DrawingTarget(Size, Size) {}

    // A zigzag of `edges` edges, each from the top row to the bottom row:
    // about `edges` x 2000 cells, beyond the rasteriser's four million.
    void zigzag(int edges, std::vector<jbyte>& codes, std::vector<double>& coords) {
        for (int i = 0; i <= edges; ++i) {
            codes.push_back(i == 0 ? 0 : 1);
            coords.push_back(i * (Size - 1.0) / edges);
            coords.push_back(i % 2 ? Size : 0);
        }
    }
    void fillZigzag(jint graphics) {
        std::vector<jbyte> codes;
        std::vector<double> coords;
        zigzag(3000, codes, coords);
        LUMO(drawPath)
        (jni.env(), nullptr, graphics, jint(codes.size()), jni.bytes(codes),
         static_cast<jdoubleArray>(jni.array(coords)), JNI_TRUE, 0x01);
    }
    void clipToZigzag(jint graphics) {
        std::vector<jbyte> codes;
        std::vector<double> coords;
        zigzag(3000, codes, coords);
        LUMO(setClip)
        (jni.env(), nullptr, graphics, jint(codes.size()), jni.bytes(codes),
         static_cast<jdoubleArray>(jni.array(coords)), JNI_TRUE);
    }
    void clipToSquare(jint graphics, double x, double y, double side) {
        LUMO(setClip)
        (jni.env(), nullptr, graphics, 4, jni.bytes({0, 1, 1, 1}),
         static_cast<jdoubleArray>(
             jni.array(std::vector<double>{x, y, x + side, y, x + side, y + side, x, y + side})),
         JNI_TRUE);
    }
    void clear() { LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0); }

    test::FakeJni jni;
};

TEST_F(CellLimit, ShapesAfterAShapeAtTheLimitDrawNormally) {
    LUMO(setHint)(nullptr, nullptr, g, 1, 1);  // antialiased
    LUMO(setPaint)(nullptr, nullptr, g, jint(0xFFFFFFFF));
    fillZigzag(g);
    EXPECT_NE(at(200, Size / 2), 0u);  // drawn, though cut where the cells ran out
    clear();

    // A second drawing object shares the target's rasteriser.
    const jint other = LUMO(createGraphics)(nullptr, nullptr, image);
    LUMO(setHint)(nullptr, nullptr, other, 1, 1);
    LUMO(setPaint)(nullptr, nullptr, other, jint(0xFFFFFFFF));
    LUMO(fillOval)(nullptr, nullptr, other, 100, 100, 50, 50);
    EXPECT_EQ(at(125, 125), 0xFFFFFFFFu);

    // A stroke, and an image drawn rotated (through the rasteriser).
    fillZigzag(other);
    clear();
    LUMO(setStroke)(nullptr, nullptr, other, 5, 0, 0, 10, nullptr, 0);
    LUMO(drawLine)(nullptr, nullptr, other, 300, 300, 400, 400);
    EXPECT_EQ(at(350, 350), 0xFFFFFFFFu);
    fillZigzag(other);
    test::DrawingTarget source(20, 20, jint(0xFF00FF00));
    LUMO(drawImage)
    (jni.env(), nullptr, other, source.image,
     static_cast<jdoubleArray>(jni.array(std::vector<double>{0.8, 0.6, -0.6, 0.8, 500, 500})));
    EXPECT_EQ(at(502, 514), 0xFF00FF00u);  // the middle of the image
    LUMO(deleteGraphics)(nullptr, nullptr, other);
}

TEST_F(CellLimit, ClipPathsAfterAClipAtTheLimitClipNormally) {
    LUMO(setHint)(nullptr, nullptr, g, 1, 1);  // antialiased
    LUMO(setHint)(nullptr, nullptr, g, 4, 1);  // antialiased clip edges
    LUMO(setPaint)(nullptr, nullptr, g, jint(0xFFFFFFFF));
    clipToZigzag(g);
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, Size, Size);
    EXPECT_NE(at(200, Size / 2), 0u);  // drawn, though cut where the cells ran out
    clear();

    // The clip path's rasteriser reached the limit above.
    clipToSquare(g, 600, 600, 100);
    LUMO(fillOval)(nullptr, nullptr, g, 550, 550, 200, 200);
    EXPECT_EQ(at(650, 650), 0xFFFFFFFFu);
    EXPECT_EQ(at(590, 650), 0u);
    clear();

    // The shape's rasteriser reaches it here, then draws under a clip path.
    LUMO(setClip)(nullptr, nullptr, g, 0, nullptr, nullptr, JNI_TRUE);
    fillZigzag(g);
    clear();
    clipToSquare(g, 600, 600, 100);
    LUMO(fillOval)(nullptr, nullptr, g, 550, 550, 200, 200);
    EXPECT_EQ(at(650, 650), 0xFFFFFFFFu);
    EXPECT_EQ(at(710, 650), 0u);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__) && defined(__GLIBC__)
TEST_F(CellLimit, TheMemoryOfAShapeAtTheLimitIsBoundedAndReturnedByTheNextShape) {
    LUMO(setHint)(nullptr, nullptr, g, 1, 1);  // antialiased
    LUMO(setPaint)(nullptr, nullptr, g, jint(0xFFFFFFFF));
    LUMO(fillOval)(nullptr, nullptr, g, 100, 100, 50, 50);  // the pixels exist
    const size_t before = mallinfo2().uordblks;
    fillZigzag(g);
    const size_t during = mallinfo2().uordblks;
    LUMO(fillOval)(nullptr, nullptr, g, 100, 100, 50, 50);
    const size_t after = mallinfo2().uordblks;
    // Six million cells, but the rasteriser holds its lines and one band of
    // coverage, not the cells.
    EXPECT_LT(during, before + (16u << 20));
    EXPECT_LT(after, before + (1u << 20));
}
#endif

}  // namespace
}  // namespace lumo
