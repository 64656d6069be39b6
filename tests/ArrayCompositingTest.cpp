#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"
#include "ops/ArrayCompositing.h"

#include <gtest/gtest.h>

#include <array>

#include <cmath>
#include <cstdint>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

// Pixels written (b, g, r, a) as in memory; the word is 0xAARRGGBB.
constexpr uint32_t bgra(uint32_t b, uint32_t g, uint32_t r, uint32_t a) {
    return a << 24 | r << 16 | g << 8 | b;
}

const PixelRegion onePixel{0, 0, 1, 1, 1, 1};

uint32_t byRule(int32_t rule, uint32_t source, uint32_t destination) {
    composeByRule(rule, &source, 1, onePixel, &destination, 1, onePixel);
    return destination;
}

uint32_t arithmetic(std::vector<float> k, uint32_t source, uint32_t destination) {
    composeArithmetic(ArithmeticCoefficients::fromFloats(k.data()), &source, 1, onePixel,
                      &destination, 1, onePixel);
    return destination;
}

// Source (0, 64, 128, 128) onto destination (102, 51, 0, 102), worked out
// by hand with M[a][c] = round(a * c / 255): sA = 128, dA = 102,
// 255 - sA = 127, 255 - dA = 153.
TEST(ArrayCompositing, EveryRuleOnOnePixelPair) {
    const uint32_t s = bgra(0, 64, 128, 128), d = bgra(102, 51, 0, 102);
    struct Case {
        int32_t rule;
        uint32_t expected;
    };
    const Case cases[] = {
        {3, bgra(51, 89, 128, 179)},     // s + M[127][d]
        {5, bgra(0, 26, 51, 51)},        // M[102][s]
        {7, bgra(0, 38, 77, 77)},        // M[153][s]
        {10, bgra(51, 51, 51, 102)},     // M[102][s] + M[127][d], alpha dA
        {12, bgra(51, 63, 77, 128)},     // M[127][d] + M[153][s]
        {15, bgra(51, 76, 77, 179)},     // M[s][d] + M[127][d] + M[153][s]; 255 - M[153][127]
        {16, bgra(102, 102, 128, 179)},  // s + d - M[s][d]
        {18, bgra(51, 89, 77, 179)},     // s + d - max(M[128][d], M[102][s])
        {19, bgra(102, 89, 128, 179)},   // s + d - min(...)
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(ruleChangesDestination(c.rule));
        EXPECT_EQ(byRule(c.rule, s, d), c.expected) << "rule " << c.rule;
    }
    // Rules outside 1..26 are source-over.
    for (int32_t rule : {0, -1, 27}) EXPECT_EQ(byRule(rule, s, d), bgra(51, 89, 128, 179));
    // The other rules leave the destination alone.
    for (int32_t rule : {1, 2, 4, 6, 8, 9, 11, 13, 14, 17, 20, 26}) {
        EXPECT_FALSE(ruleChangesDestination(rule));
        EXPECT_EQ(byRule(rule, s, d), d) << "rule " << rule;
    }
}

TEST(ArrayCompositing, OpaqueAndTransparentCases) {
    const uint32_t white = 0xFFFFFFFF, opaque = bgra(10, 20, 30, 255);
    EXPECT_EQ(byRule(3, opaque, white), opaque);
    EXPECT_EQ(byRule(3, 0, white), white);
    EXPECT_EQ(byRule(3, bgra(64, 64, 64, 128), white), bgra(191, 191, 191, 255));
    EXPECT_EQ(byRule(5, opaque, 0), 0u);
    EXPECT_EQ(byRule(5, bgra(64, 64, 64, 128), white), bgra(64, 64, 64, 128));
    EXPECT_EQ(byRule(7, opaque, 0), opaque);
    EXPECT_EQ(byRule(7, opaque, white), 0u);
    // Source-atop onto transparent: colour M[255 - sA][d], alpha 0.
    EXPECT_EQ(byRule(10, bgra(64, 64, 64, 128), 0), 0u);
    EXPECT_EQ(byRule(10, bgra(64, 64, 64, 128), bgra(255, 255, 255, 0)), bgra(127, 127, 127, 0));
    // Colour above its alpha: 255 + M[239][255] is limited, not wrapped.
    EXPECT_EQ(byRule(3, bgra(255, 255, 255, 16), white), white);
}

TEST(ArrayCompositing, ArithmeticCoefficients) {
    const uint32_t s = bgra(128, 128, 128, 128), d = bgra(102, 144, 1, 2);
    EXPECT_EQ(arithmetic({0, 1, 0, 0}, s, d), s);
    EXPECT_EQ(arithmetic({0, 0, 1, 0}, s, d), d);
    EXPECT_EQ(arithmetic({0, 1, 1, 0}, s, d), bgra(230, 255, 129, 130));
    EXPECT_EQ(arithmetic({1, 0, 0, 0}, s, d), bgra(51, 72, 1, 1));  // M[s][d]
    // K2 = (int)(0.5 * 255 + 0.5) = 128: M[128][128] = 64.
    EXPECT_EQ(arithmetic({0, 0.5f, 0, 0}, s, d), bgra(64, 64, 64, 64));
    // k * 255 is a float product: for k = 128.5f / 255 it is exactly 128.5,
    // so K = 129 (in double precision it would fall just below).
    EXPECT_EQ(
        ArithmeticCoefficients::fromFloats(std::array<float, 4>{0, 128.5f / 255.0f, 0, 0}.data())
            .k2,
        129);
    // Coefficients outside 0..1 are limited to 0..255, as is every sum.
    EXPECT_EQ(arithmetic({-1, 2, -1, 0}, s, d), s);
    EXPECT_EQ(arithmetic({0, 1, 0, -1}, s, d), s);
    EXPECT_EQ(arithmetic({0, 0, 0, 2}, s, d), 0xFFFFFFFFu);
    EXPECT_EQ(arithmetic({0, 1, NAN, INFINITY}, s, d), 0xFFFFFFFFu);
    EXPECT_EQ(arithmetic({0, 1, NAN, -INFINITY}, s, d), s);
}

// Entry points on pixel buffers, pixels numbered in memory order.
class ComposeEntryPoints : public ::testing::Test {
protected:
    ~ComposeEntryPoints() override {
        for (jint handle : handles) LUMO(deleteDataBuffer)(nullptr, nullptr, handle);
    }
    void TearDown() override {
        EXPECT_EQ(jni.pinned(), 0);
        EXPECT_EQ(jni.violations(), 0);
    }

    jint buffer(int width, int height, uint32_t base, bool memory = true) {
        const jint handle = LUMO(createDataBuffer)(nullptr, nullptr, width, height, 0);
        handles.push_back(handle);
        if (memory) {
            object(handle)->rowBuffer();
            for (int i = 0; i < width * height; ++i) object(handle)->pixels()[i] = base + i;
        }
        return handle;
    }
    DataBuffer* object(jint handle) {
        return HandleRegistry::instance().find<DataBuffer>(handle, HandleKind::DataBuffer);
    }
    std::vector<uint32_t> pixels(jint handle) {
        const DataBuffer* b = object(handle);
        return {b->pixels(), b->pixels() + b->width() * b->height()};
    }
    jintArray ints(const std::vector<jint>& values) { return jni.ints(values); }
    jfloatArray floats(const std::vector<float>& values) {
        return static_cast<jfloatArray>(jni.array(values));
    }
    void byRule(jint rule, jint source, jint destination, std::vector<jint> sourceRegion,
                std::vector<jint> destinationRegion) {
        LUMO(compose__III_3I_3I)
        (jni.env(), nullptr, rule, source, destination, ints(sourceRegion),
         ints(destinationRegion));
    }
    void byCoefficients(jint source, jint destination, std::vector<jint> sourceRegion,
                        std::vector<jint> destinationRegion, jfloatArray k) {
        LUMO(compose__II_3I_3I_3F)
        (jni.env(), nullptr, source, destination, ints(sourceRegion), ints(destinationRegion), k);
    }

    test::FakeJni jni;
    std::vector<jint> handles;
};

constexpr uint32_t opaqueBase = 0xFF000000;  // numbered pixels, all opaque

TEST_F(ComposeEntryPoints, RegionsOfDifferentSizesBlendTheCommonPart) {
    const jint source = buffer(4, 4, opaqueBase);
    const jint target = buffer(4, 4, 0);
    // 3 x 3 from (1, 1) onto 2 x 5 from (0, 2), cut to the target's last
    // row: source (1..2, 1..2) lands on target (0..1, 2..3).
    byRule(3, source, target, {1, 1, 3, 3, 4, 4}, {0, 2, 2, 5, 4, 4});
    const std::vector<uint32_t> after = pixels(target);
    for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t x = i % 4, y = i / 4;
        const bool blended = x < 2 && y >= 2;
        EXPECT_EQ(after[i], blended ? opaqueBase + (y - 1) * 4 + x + 1 : i) << i;
    }

    const jint copy = buffer(4, 4, 0);
    byCoefficients(source, copy, {1, 1, 3, 3, 4, 4}, {0, 2, 2, 5, 4, 4}, floats({0, 1, 0, 0}));
    EXPECT_EQ(pixels(copy), after);
}

TEST_F(ComposeEntryPoints, BadArgumentsChangeNothing) {
    const jint source = buffer(2, 2, opaqueBase);
    const jint target = buffer(2, 2, 0, false);
    const std::vector<jint> region{0, 0, 2, 2, 2, 2};
    byRule(3, source, source, region, {1, 0, 1, 2, 2, 2});
    byRule(3, source, target, {0, 0, 2, 2, 2, 3}, region);  // layout beyond the buffer
    byRule(3, source, target, region, {0, 0, 2, 2, 2});     // short region
    byRule(3, 0, target, region, region);
    LUMO(compose__III_3I_3I)(jni.env(), nullptr, 3, source, target, nullptr, ints(region));

    byCoefficients(source, target, region, region, floats({0, 1, 0}));
    byCoefficients(source, target, region, region, nullptr);
    byCoefficients(source, source, region, region, floats({0, 0, 0, 1}));
    EXPECT_FALSE(object(target)->hasPixels());
    EXPECT_EQ(pixels(source),
              (std::vector<uint32_t>{opaqueBase, opaqueBase + 1, opaqueBase + 2, opaqueBase + 3}));

    // A rule that changes nothing, or regions with nothing in common, still
    // give the buffers their memory, in their clear colour.
    byRule(1, source, target, region, region);
    ASSERT_TRUE(object(target)->hasPixels());
    EXPECT_EQ(pixels(target), (std::vector<uint32_t>{0, 0, 0, 0}));
    const jint other = buffer(2, 2, 0, false);
    byRule(3, source, other, region, {2, 0, 2, 2, 2, 2});
    ASSERT_TRUE(object(other)->hasPixels());
    EXPECT_EQ(pixels(other), (std::vector<uint32_t>{0, 0, 0, 0}));

    // Regions and coefficients are copied, one call each; nothing is pinned.
    jni.clearEvents();
    byCoefficients(source, other, region, region, floats({0, 1, 0, 0}));
    EXPECT_EQ(jni.eventCount(test::FakeJni::Event::Pin), 0);
    EXPECT_EQ(jni.eventCount(test::FakeJni::Event::Copy), 3);
    EXPECT_EQ(pixels(other), pixels(source));
}

}  // namespace
}  // namespace lumo
