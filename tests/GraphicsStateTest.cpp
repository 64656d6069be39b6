#include "context/Graphics.h"
#include "core/NativeImage.h"
#include "paint/SolidPaint.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumo {
namespace {

// A new colour goes into the solid paint in place only while nothing else
// holds it: a clone's paint keeps its colour.
TEST(GraphicsState, SolidColourChangesNoSharedPaint) {
    GraphicsState state(10, 10);
    GraphicsState clone(state);
    const Paint* shared = state.paint.get();
    SolidPaint::assign(state.paint, agg::rgba8(1, 2, 3, 4));
    ASSERT_NE(state.paint.get(), shared);
    EXPECT_EQ(clone.paint.get(), shared);
    EXPECT_EQ(static_cast<const SolidPaint&>(*clone.paint).colour().a, 255);
    const Paint* own = state.paint.get();
    SolidPaint::assign(state.paint, agg::rgba8(5, 6, 7, 8));
    EXPECT_EQ(state.paint.get(), own);
    const agg::rgba8 colour = static_cast<const SolidPaint&>(*state.paint).colour();
    EXPECT_EQ(colour.r, 5);
    EXPECT_EQ(colour.a, 8);
    EXPECT_EQ(static_cast<const SolidPaint&>(*clone.paint).colour().r, 0);
}

TEST(GraphicsState, HintWordUpdates) {
    GraphicsState state(10, 10);
    state.setHint(HINT_STROKE_OFFSET, 6);  // 6 << 9 masked keeps the value 2
    EXPECT_EQ(state.strokeOffsetHint(), 2u);
    state.setHint(HINT_IMAGE_FILTER, 40);  // five bits: 40 & 31 = 8
    EXPECT_EQ(state.imageFilterHint(), 8u);
    EXPECT_EQ(state.strokeOffsetHint(), 2u);
    const uint32_t before = state.hints;
    state.setHint(3, 1);  // not a key
    state.setHint(0x10, 1);
    EXPECT_EQ(state.hints, before);
    state.setHint(HINT_DEVICE_STROKE, 5);  // any non-zero value sets the bit
    EXPECT_TRUE(state.hint(HINT_DEVICE_STROKE));
    state.setHint(HINT_ANTIALIAS, -1);
    state.setHint(HINT_DEVICE_STROKE, 0);
    EXPECT_EQ(state.hints, before | HINT_ANTIALIAS);
    state.setHint(HINT_STROKE_OFFSET, 0);
    EXPECT_EQ(state.strokeOffsetHint(), 0u);
    EXPECT_EQ(state.imageFilterHint(), 8u);
}

TEST(GraphicsState, TransformKindIsCachedUntilTheTransformChanges) {
    GraphicsState state(10, 10);
    EXPECT_FALSE(state.transformKindKnown());
    EXPECT_EQ(state.transformKind(), TRANSFORM_IDENTITY);
    EXPECT_TRUE(state.transformKindKnown());
    EXPECT_EQ(state.clipFlags, uint32_t(CLIP_RECT));
    const double scale[6] = {2, 0, 0, 2, 10, 20};
    state.setTransform(scale);
    EXPECT_FALSE(state.transformKindKnown());
    EXPECT_EQ(state.clipFlags, uint32_t(CLIP_RECT));
    EXPECT_EQ(state.transformKind(), TRANSFORM_GENERAL);
    double x = 1, y = 1;
    state.transform.transform(&x, &y);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 22);
    state.setTransform(nullptr);
    EXPECT_EQ(state.transformKind(), TRANSFORM_IDENTITY);
}

TEST(GraphicsState, EmptyClipBoxes) {
    GraphicsState state(10, 10);
    EXPECT_FALSE(state.clipBoxEmpty());
    state.clipBox = agg::rect_d(3, 0, 3, 10);
    EXPECT_TRUE(state.clipBoxEmpty());
    state.clipBox = agg::rect_d(0, 5, 10, 4);
    EXPECT_TRUE(state.clipBoxEmpty());
    state.clipBox = agg::rect_d(0, NAN, 10, 4);
    EXPECT_TRUE(state.clipBoxEmpty());
}

TEST(StrokeStyle, DashStorageAndMapping) {
    const float odd[] = {4, 2, 1};
    Ref<StrokeStyle> a(StrokeStyle::create(2, 1, 1, 10, odd, 3, 5));
    ASSERT_TRUE(a);
    ASSERT_EQ(a->dashPairs(), 3u);
    const float expected[] = {4, 2, 1, 4, 2, 1};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(a->dashes()[i], expected[i]);
    EXPECT_EQ(a->cap(), agg::round_cap);
    EXPECT_EQ(a->join(), agg::round_join);
    EXPECT_EQ(a->dashPhase(), 5);
    EXPECT_TRUE(a->dashed());
    EXPECT_EQ(a->patternLength(), 14.0);

    const float single[] = {5};
    Ref<StrokeStyle> b(StrokeStyle::create(1, 0, 2, 4, single, 1, 0));
    EXPECT_EQ(b->dashPairs(), 1u);
    EXPECT_EQ(b->dashes()[1], 5);
    EXPECT_EQ(b->cap(), agg::butt_cap);
    EXPECT_EQ(b->join(), agg::bevel_join);

    // No dashes: the phase is dropped. Unknown caps and joins are square
    // and miter.
    Ref<StrokeStyle> c(StrokeStyle::create(1, 7, 9, 4, nullptr, 0, 5));
    EXPECT_EQ(c->dashPairs(), 0u);
    EXPECT_EQ(c->dashPhase(), 0);
    EXPECT_FALSE(c->dashed());
    EXPECT_EQ(c->cap(), agg::square_cap);
    EXPECT_EQ(c->join(), agg::miter_join);

    // 17 values become 17 pairs.
    float seventeen[17];
    for (float& v : seventeen) v = 1;
    EXPECT_EQ(Ref<StrokeStyle>(StrokeStyle::create(1, 0, 0, 4, seventeen, 17, 0))->dashPairs(),
              17u);
    // Only the first 16 pairs are used: a bad 17th pair does not matter.
    float pairs[34];
    for (float& v : pairs) v = 1;
    pairs[32] = pairs[33] = -1;
    Ref<StrokeStyle> d(StrokeStyle::create(1, 0, 0, 4, pairs, 34, 0));
    EXPECT_TRUE(d->dashed());
    EXPECT_EQ(d->patternLength(), 32.0);
}

TEST(StrokeStyle, PatternsThatCannotAdvanceAreNotDashed) {
    const float zeros[] = {0, 0};
    const float negative[] = {3, -1};
    const float infinite[] = {3, INFINITY};
    const float dots[] = {0, 2};
    EXPECT_FALSE(Ref<StrokeStyle>(StrokeStyle::create(1, 0, 0, 4, zeros, 2, 0))->dashed());
    EXPECT_FALSE(Ref<StrokeStyle>(StrokeStyle::create(1, 0, 0, 4, negative, 2, 0))->dashed());
    EXPECT_FALSE(Ref<StrokeStyle>(StrokeStyle::create(1, 0, 0, 4, infinite, 2, 0))->dashed());
    EXPECT_TRUE(Ref<StrokeStyle>(StrokeStyle::create(1, 0, 0, 4, dots, 2, 0))->dashed());
}

TEST(Composite, RulesMapToOperations) {
    EXPECT_EQ(ruleIndex(compositeRuleFromJava(1)), 0);   // CLEAR
    EXPECT_EQ(ruleIndex(compositeRuleFromJava(9)), 2);   // DST
    EXPECT_EQ(ruleIndex(compositeRuleFromJava(3)), 3);   // SRC_OVER
    EXPECT_EQ(ruleIndex(compositeRuleFromJava(10)), 9);  // SRC_ATOP
    EXPECT_EQ(ruleIndex(compositeRuleFromJava(12)), 11);
    EXPECT_EQ(ruleIndex(compositeRuleFromJava(26)), 25);
    for (int rule : {0, 27, -1, -1000, 1 << 30})
        EXPECT_EQ(ruleIndex(compositeRuleFromJava(rule)), 3);
}

TEST(Composite, AlphaIsClampedAndNaNMeansOpaque) {
    EXPECT_EQ(Ref<Composite>(Composite::create(CompositeRule::SrcOver, 2.0f))->alpha(), 1.0f);
    EXPECT_EQ(Ref<Composite>(Composite::create(CompositeRule::SrcOver, -1.0f))->alpha(), 0.0f);
    EXPECT_EQ(Ref<Composite>(Composite::create(CompositeRule::SrcOver, NAN))->alpha(), 1.0f);
    EXPECT_EQ(Ref<Composite>(Composite::create(CompositeRule(99), 0.5f))->rule(),
              CompositeRule::SrcOver);
}

TEST(Composite, ExtraAlphaFolding) {
    const agg::rgba8 opaque(10, 20, 30, 255);
    EXPECT_EQ(withExtraAlpha(opaque, 0.5f).a, 128);  // floor(127.5 + 0.5)
    EXPECT_EQ(withExtraAlpha(opaque, 0.0f).a, 0);
    EXPECT_EQ(withExtraAlpha(opaque, 1.0f).a, 255);
    EXPECT_EQ(withExtraAlpha(agg::rgba8(1, 2, 3, 100), 0.25f).a, 25);
    EXPECT_EQ(withExtraAlpha(opaque, 0.5f).r, 10);
}

class GraphicsLifetime : public ::testing::Test {
protected:
    void SetUp() override {
        target = Ref<NativeImage>(NativeImage::create(DataBuffer::create(8, 6)));
        ASSERT_TRUE(target);
    }
    Ref<NativeImage> target;
};

TEST_F(GraphicsLifetime, DefaultStateAndClones) {
    std::unique_ptr<Graphics> g(Graphics::create(*target));
    ASSERT_TRUE(g);
    GraphicsState& s = g->state();
    EXPECT_EQ(s.clipBox.x2, 8);
    EXPECT_EQ(s.clipBox.y2, 6);
    EXPECT_EQ(s.paint->kind(), PAINT_SOLID);
    const agg::rgba8 black = static_cast<SolidPaint&>(*s.paint).colour();
    EXPECT_EQ(black.a, 255);
    EXPECT_EQ(black.r + black.g + black.b, 0);
    EXPECT_EQ(s.stroke->width(), 1.0f);
    EXPECT_EQ(s.stroke->miterLimit(), 10.0f);
    EXPECT_EQ(s.composite->rule(), CompositeRule::SrcOver);

    s.setHint(HINT_ANTIALIAS, 1);
    s.fillRule = agg::fill_even_odd;
    s.clipPath.move_to(1, 1);
    s.clipPath.line_to(4, 1);
    std::unique_ptr<Graphics> c(g->clone());
    ASSERT_TRUE(c);
    GraphicsState& cs = c->state();
    EXPECT_EQ(cs.hints, s.hints);
    EXPECT_EQ(cs.fillRule, agg::fill_even_odd);
    EXPECT_EQ(cs.clipPath.total_vertices(), 2u);
    EXPECT_EQ(cs.paint.get(), s.paint.get());
    EXPECT_EQ(s.paint->referenceCount(), 2);

    // A new paint on the clone leaves the source's paint intact.
    Paint* shared = s.paint.get();
    cs.paint = Ref<Paint>(SolidPaint::create(agg::rgba8(1, 2, 3, 4)));
    EXPECT_EQ(s.paint.get(), shared);
    EXPECT_EQ(shared->referenceCount(), 1);
    cs.clipPath.remove_all();
    EXPECT_EQ(s.clipPath.total_vertices(), 2u);
    c.reset();
    EXPECT_EQ(static_cast<SolidPaint&>(*s.paint).colour().a, 255);
}

TEST_F(GraphicsLifetime, OutlivesItsRenderTarget) {
    std::unique_ptr<Graphics> g(Graphics::create(*target));
    ASSERT_TRUE(g);
    EXPECT_NE(g->liveTarget(), nullptr);
    target = Ref<NativeImage>();
    EXPECT_EQ(g->liveTarget(), nullptr);
    EXPECT_EQ(g->clone(), nullptr);
    g->fillRect(0, 0, 4, 4);                // silently nothing
    g->state().setHint(HINT_ANTIALIAS, 1);  // setters still work
    EXPECT_TRUE(g->state().hint(HINT_ANTIALIAS));
}

}  // namespace
}  // namespace lumo
