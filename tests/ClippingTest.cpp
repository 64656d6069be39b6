#include "context/Clipping.h"
#include "context/Graphics.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "doubles/FakeJni.h"
#include "geometry/VertexSource.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace lumo {
namespace {

// A path built in the test, offered as a vertex source.
class TestPath final : public VertexSource {
public:
    void rewind(unsigned id) override { path.rewind(id); }
    unsigned vertex(double* x, double* y) override { return path.vertex(x, y); }
    bool has_curves() const override { return false; }
    agg::path_storage path;
};

void expectBox(const agg::rect_d& box, double x1, double y1, double x2, double y2) {
    EXPECT_EQ(box.x1, x1);
    EXPECT_EQ(box.y1, y1);
    EXPECT_EQ(box.x2, x2);
    EXPECT_EQ(box.y2, y2);
}

TEST(Clipping, RectanglesAreNormalisedAndCutToTheTarget) {
    GraphicsState state(100, 100);
    const uint32_t size = 100;
    state.clipFlags = CLIP_CURVED;
    EXPECT_EQ(state.transformKind(), TRANSFORM_IDENTITY);
    setRectangleClip(state, agg::rect_d(30, 40, 10, 20), &size, &size);
    expectBox(state.clipBox, 10, 20, 30, 40);
    EXPECT_EQ(state.clipFlags, uint32_t(CLIP_RECT));
    EXPECT_TRUE(state.transformKindKnown());  // the clip leaves the transform's kind alone
    setRectangleClip(state, agg::rect_d(-5, -5, 200, 50), &size, &size);
    expectBox(state.clipBox, 0, 0, 100, 50);
    // Without a target the rectangle is kept as given, only normalised.
    setRectangleClip(state, agg::rect_d(-5, 60, 200, 50), nullptr, nullptr);
    expectBox(state.clipBox, -5, 50, 200, 60);
    setRectangleClip(state, agg::rect_d(120, 0, 150, 10), &size, &size);
    EXPECT_TRUE(state.clipBoxEmpty());
    resetClip(state, 100, 100);
    expectBox(state.clipBox, 0, 0, 100, 100);
    EXPECT_EQ(state.clipFlags, uint32_t(CLIP_RECT));
}

TEST(Clipping, PathBoundsAndFlags) {
    GraphicsState state(100, 100);
    TestPath p;
    p.path.move_to(10, 20);
    p.path.curve3(150, 30, 40, 50);  // the control point counts
    p.path.close_polygon();
    setPathClip(state, p, agg::fill_even_odd, 100, 100);
    expectBox(state.clipBox, 10, 20, 100, 50);
    EXPECT_EQ(state.clipFlags & CLIP_KIND_MASK, uint32_t(CLIP_CURVED | CLIP_EXCEEDS));
    EXPECT_EQ(state.clipFillRule, agg::fill_even_odd);
    EXPECT_EQ(state.clipPath.total_vertices(), 4u);

    TestPath inside;
    inside.path.move_to(10, 10);
    inside.path.line_to(20, 10);
    inside.path.line_to(20, 30);
    setPathClip(state, inside, agg::fill_non_zero, 100, 100);
    expectBox(state.clipBox, 10, 10, 20, 30);
    EXPECT_EQ(state.clipFlags & CLIP_KIND_MASK, 0u);

    // Reaching past any side counts as exceeding the target.
    for (const agg::rect_d& r :
         {agg::rect_d(-1, 5, 50, 50), agg::rect_d(5, -1, 50, 50), agg::rect_d(5, 5, 50, 101)}) {
        TestPath beyond;
        beyond.path.move_to(r.x1, r.y1);
        beyond.path.line_to(r.x2, r.y1);
        beyond.path.line_to(r.x2, r.y2);
        setPathClip(state, beyond, agg::fill_non_zero, 100, 100);
        EXPECT_EQ(state.clipFlags & CLIP_KIND_MASK, uint32_t(CLIP_EXCEEDS));
    }

    // Starting with a line, or holding NaN, clips everything away, and the
    // other clip bits stay as they were.
    setPathClip(state, p, agg::fill_even_odd, 100, 100);
    for (bool startWithLine : {true, false}) {
        TestPath bad;
        if (startWithLine) {
            bad.path.line_to(1, 1);
        } else {
            bad.path.move_to(1, 1);
            bad.path.line_to(NAN, 5);
        }
        bad.path.line_to(50, 50);
        setPathClip(state, bad, agg::fill_non_zero, 100, 100);
        EXPECT_EQ(state.clipFlags & CLIP_KIND_MASK,
                  uint32_t(CLIP_RECT | CLIP_CURVED | CLIP_EXCEEDS));
        expectBox(state.clipBox, 0, 0, 0, 0);
        EXPECT_TRUE(state.clipFlags & CLIP_RECT);
        EXPECT_TRUE(state.clipBoxEmpty());
    }

    // Wholly outside: an empty box and no outline kept.
    TestPath outside;
    outside.path.move_to(200, 200);
    outside.path.line_to(300, 300);
    setPathClip(state, outside, agg::fill_non_zero, 100, 100);
    EXPECT_TRUE(state.clipBoxEmpty());
    EXPECT_EQ(state.clipPath.total_vertices(), 0u);
}

// Drawing through path clips, read back from the pixels.
class ClippedDrawing : public ::testing::Test {
protected:
    static constexpr int W = 20, H = 20;
    void SetUp() override {
        target = Ref<NativeImage>(NativeImage::create(DataBuffer::create(W, H)));
        g.reset(Graphics::create(*target));
        ASSERT_TRUE(g);
    }
    uint32_t at(int x, int y) { return target->getDataBuffer()->pixels()[(H - 1 - y) * W + x]; }
    void clear() { target->getDataBuffer()->clear(agg::rgba8(0, 0, 0, 0)); }

    Ref<NativeImage> target;
    std::unique_ptr<Graphics> g;
};

TEST_F(ClippedDrawing, PartlyCoveredClipPixelsDependOnTheHints) {
    // Triangle (0,0) (20,0) (0,20): the diagonal cuts pixels in half.
    TestPath triangle;
    triangle.path.move_to(0, 0);
    triangle.path.line_to(20, 0);
    triangle.path.line_to(0, 20);
    g->setPathClip(triangle, agg::fill_non_zero);
    g->state().setHint(HINT_ANTIALIAS, 1);
    g->fillRect(0, 0, W, H);
    EXPECT_EQ(at(2, 2), 0xFF000000u);
    EXPECT_EQ(at(5, 14), 0u);  // cut in half by the diagonal: outside
    EXPECT_EQ(at(15, 15), 0u);

    clear();
    g->state().setHint(HINT_CLIP_ANTIALIAS, 1);
    g->fillRect(0, 0, W, H);
    EXPECT_NEAR(double(at(5, 14) >> 24), 128, 2);  // half covered, kept
    EXPECT_EQ(at(15, 15), 0u);

    // Aliased drawing keeps every pixel the clip touches, at full strength.
    clear();
    g->state().setHint(HINT_ANTIALIAS, 0);
    g->state().setHint(HINT_CLIP_ANTIALIAS, 0);
    g->fillRect(0, 0, W, H);
    EXPECT_EQ(at(5, 14), 0xFF000000u);
    EXPECT_EQ(at(15, 15), 0u);
    clear();
    g->state().setHint(HINT_CLIP_ANTIALIAS, 1);  // not consulted when aliased
    g->fillRect(0, 0, W, H);
    EXPECT_EQ(at(5, 14), 0xFF000000u);
}

TEST_F(ClippedDrawing, EvenOddClipLeavesTheInnerSquare) {
    TestPath squares;
    squares.path.move_to(2, 2);
    squares.path.line_to(18, 2);
    squares.path.line_to(18, 18);
    squares.path.line_to(2, 18);
    squares.path.close_polygon();
    squares.path.move_to(6, 6);
    squares.path.line_to(14, 6);
    squares.path.line_to(14, 14);
    squares.path.line_to(6, 14);
    squares.path.close_polygon();
    g->setPathClip(squares, agg::fill_even_odd);
    g->fillRect(0, 0, W, H);
    EXPECT_EQ(at(3, 3), 0xFF000000u);
    EXPECT_EQ(at(10, 10), 0u);
    EXPECT_EQ(at(1, 10), 0u);
    g->setPathClip(squares, agg::fill_non_zero);
    g->fillRect(0, 0, W, H);
    EXPECT_EQ(at(10, 10), 0xFF000000u);
    EXPECT_EQ(at(19, 19), 0u);
    // Back to the whole target.
    g->resetClip();
    g->fillRect(0, 0, W, H);
    EXPECT_EQ(at(19, 19), 0xFF000000u);
}

TEST_F(ClippedDrawing, HugeCurvedClipsStayBoundedAndExact) {
    // The clip is the left half of a circle of radius 1e13 whose rightmost
    // point is (10, 10): near the target its edge is the line x = 10.
    const double r = 1e13, k = 0.5522847498 * r, cx = 10 - r;
    TestPath circle;
    circle.path.move_to(10, 10);
    circle.path.curve4(10, 10 + k, cx + k, 10 + r, cx, 10 + r);
    circle.path.curve4(cx - k, 10 + r, cx - r, 10 + k, cx - r, 10);
    circle.path.curve4(cx - r, 10 - k, cx - k, 10 - r, cx, 10 - r);
    circle.path.curve4(cx + k, 10 - r, 10, 10 - k, 10, 10);
    circle.path.close_polygon();
    g->setPathClip(circle, agg::fill_non_zero);
    g->fillRect(0, 0, W, H);
    for (int y = 0; y < H; ++y) {
        EXPECT_EQ(at(9, y), 0xFF000000u) << y;
        EXPECT_EQ(at(10, y), 0u) << y;
    }
    // A clip curve of 1e30 pixels would otherwise be flattened into billions
    // of segments.
    TestPath huge;
    huge.path.move_to(10, 10);
    huge.path.curve4(1e30, 0, 0, 1e30, 10, 10);
    g->setPathClip(huge, agg::fill_non_zero);
    g->fillRect(0, 0, W, H);
}

TEST_F(ClippedDrawing, ClipsAreCopiedToClonesAndSurviveTheirSource) {
    g->setRectangleClip(0, 0, 5, 5);
    std::unique_ptr<Graphics> copy(g->clone());
    g.reset();
    copy->fillRect(0, 0, W, H);
    EXPECT_EQ(at(4, 4), 0xFF000000u);
    EXPECT_EQ(at(5, 5), 0u);
}

TEST(ClipEntryPoint, ArraysThatAreMissingOrShortLeaveTheClip) {
#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name
    test::FakeJni jni;
    JNIEnv* env = jni.env();
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 10, 10, 0);
    const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
    const jint g = LUMO(createGraphics)(nullptr, nullptr, image);
    GraphicsState& state =
        HandleRegistry::instance().find<Graphics>(g, HandleKind::Graphics)->state();
    auto doubles = [&](std::vector<double> v) { return (jdoubleArray)jni.array(v); };
    auto codes = [&](std::vector<jbyte> v) { return jni.bytes(v); };

    LUMO(setClip)(env, nullptr, g, 4, nullptr, doubles({8, 9, 2, 1}), false);
    expectBox(state.clipBox, 2, 1, 8, 9);
    LUMO(setClip)(env, nullptr, g, 4, nullptr, doubles({1, 1, 2}), false);
    LUMO(setClip)(env, nullptr, g, 4, nullptr, nullptr, false);
    LUMO(setClip)(env, nullptr, g, 3, nullptr, doubles({0, 0, 5, 5, 9, 9}), false);
    LUMO(setClip)(env, nullptr, g, 3, codes({0, 1}), doubles({0, 0, 5, 5, 9, 9}), false);
    LUMO(setClip)(env, nullptr, g, 3, codes({0, 1, 3}), doubles({0, 0, 5, 5, 9, 9}), false);
    // A path too long to copy is pinned; a failed pin leaves the clip as it was.
    std::vector<jbyte> longCodes(300, 1);
    longCodes[0] = 0;
    jni.failPin(1);
    LUMO(setClip)
    (env, nullptr, g, 300, codes(longCodes), doubles(std::vector<double>(600, 3)), false);
    expectBox(state.clipBox, 2, 1, 8, 9);
    EXPECT_EQ(jni.events().back().type, test::FakeJni::Event::Pin);
    EXPECT_EQ(jni.pinned(), 0);
    EXPECT_EQ(jni.violations(), 0);

    // A path whose codes end early needs only the coordinates before the end.
    LUMO(setClip)(env, nullptr, g, 4, codes({0, 1, 1, -1}), doubles({1, 2, 6, 2, 6, 7}), true);
    expectBox(state.clipBox, 1, 2, 6, 7);
    EXPECT_EQ(state.clipFillRule, agg::fill_non_zero);
    EXPECT_FALSE(state.clipFlags & CLIP_RECT);
    LUMO(setClip)(env, nullptr, g, 0, nullptr, nullptr, false);
    expectBox(state.clipBox, 0, 0, 10, 10);
    EXPECT_TRUE(state.clipFlags & CLIP_RECT);

    LUMO(deleteGraphics)(nullptr, nullptr, g);
    LUMO(deleteNativeImage)(nullptr, nullptr, image);
    LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
#undef LUMO
}

}  // namespace
}  // namespace lumo
