#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"
#include "ops/GaussianBlur.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void expectPasses(const AxisPasses& axis, std::vector<std::vector<int64_t>> expected) {
    ASSERT_EQ(axis.boxCount, int(expected.size()));
    for (int k = 0; k < axis.boxCount; ++k) {
        const BoxPass& p = axis.boxes[k];
        EXPECT_EQ((std::vector<int64_t>{p.skipX, p.skipY, p.boxSize, p.loc}), expected[k]) << k;
    }
}

uint32_t grey(uint32_t v) {
    return v * 0x01010101u;
}  // v in all four bytes

// A width x height image with a region covering all of it.
struct Image {
    int32_t width, height;
    std::vector<uint32_t> pixels;

    Image(int32_t w, int32_t h, uint32_t fill = 0)
        : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    PixelRegion region() const { return {0, 0, width, height, width, height}; }
    void blur(double sx, double sy, bool hq = false) {
        gaussianBlur(pixels.data(), int64_t(pixels.size()), region(), sx, sy, hq);
    }
};

// Extents summed by hand: c = 1 / (sigma sqrt(2 pi)); the area starts at c/2
// and gains c e^(-i^2 / 2 sigma^2) for i = 0, 1, ... until it reaches 0.499.
TEST(GaussianBlurPlan, ConvolutionExtentsFollowTheKernelArea) {
    const std::pair<double, int64_t> cases[] = {
        {0.0, 0},  // c/2 is infinite
        {0.3, 0},  // c/2 = 0.665 already
        {0.4, 1},  // c/2 = 0.49868, one term more
        {1.0, 1},  // 0.19947 + 0.39894
        {1.5, 2},  // 0.13298 + 0.26596 + 0.21297
        {1.9, 3},  // 0.10498 + 0.20997 + 0.18281 = 0.49777, then + 0.12066
    };
    for (const auto& [sigma, extent] : cases) {
        EXPECT_EQ(blurSurround(sigma, false, 1000), extent) << sigma;
        EXPECT_EQ(blurSurround(sigma, true, 1000), extent) << sigma;
    }
    EXPECT_EQ(blurSurround(2.0, true, 1000), 3);  // 0.09974 + 0.19947 + 0.17603 + 0.12099
    EXPECT_EQ(blurSurround(2.5, true, 1000), 3);  // 0.07979 + 0.15958 + 0.14731 + 0.11588
    EXPECT_EQ(blurSurround(3.0, true, 1000), 4);  // 0.43175 after three terms

    const BlurPlan hq = planBlur(2.0, 1.5, true, 100, 100);
    EXPECT_EQ(hq.horizontal.radius, 3);
    EXPECT_EQ(hq.horizontal.boxCount, 0);
    EXPECT_EQ(hq.skipX, 3);
    EXPECT_EQ(hq.vertical.radius, 2);
    const BlurPlan small = planBlur(1.9, 0.3, false, 100, 100);
    EXPECT_EQ(small.horizontal.radius, 3);
    EXPECT_EQ(small.vertical.radius + small.vertical.boxCount, 0);
}

TEST(GaussianBlurPlan, BoxPassesForLargerDeviations) {
    // d = floor(sigma * 1.87997 + 0.5): 4.26 -> 4, 5.20 -> 5, 6.14 -> 6.
    const BlurPlan even = planBlur(2.0, 0.0, false, 100, 100);
    EXPECT_EQ(even.boxX, 4);
    EXPECT_EQ(even.skipX, 5);  // 4/2 + 4 - 1
    expectPasses(even.horizontal, {{0, 0, 4, 2}, {2, 0, 4, 1}, {3, 0, 5, 2}});
    expectPasses(even.vertical, {});

    const BlurPlan odd = planBlur(2.5, 0.0, false, 100, 100);
    EXPECT_EQ(odd.boxX, 5);
    EXPECT_EQ(odd.skipX, 5);  // 5/2 + 5 - 2
    expectPasses(odd.horizontal, {{0, 0, 5, 2}, {2, 0, 5, 2}, {3, 0, 5, 2}});

    // Vertical passes mirror the horizontal ones, inset by skipX.
    const BlurPlan both = planBlur(3.0, 3.0, false, 100, 100);
    EXPECT_EQ(both.boxY, 6);
    EXPECT_EQ(both.skipX, 8);  // 6/2 + 6 - 1
    expectPasses(both.vertical, {{8, 0, 6, 3}, {8, 3, 6, 2}, {8, 5, 7, 3}});
    const BlurPlan mixed = planBlur(1.0, 2.5, false, 100, 100);  // convolution inset 1
    expectPasses(mixed.vertical, {{1, 0, 5, 2}, {1, 2, 5, 2}, {1, 3, 5, 2}});
}

TEST(GaussianBlurPlan, UnusableAndHugeDeviations) {
    for (double bad : {kNaN, -1.0, -3.0, kInf, -kInf, 0.0, -0.0}) {
        for (bool hq : {false, true}) {
            EXPECT_EQ(blurSurround(bad, hq, 1000), 0) << bad;
            const BlurPlan plan = planBlur(bad, bad, hq, 50, 50);
            EXPECT_EQ(plan.horizontal.radius + plan.horizontal.boxCount + plan.skipX, 0) << bad;
            EXPECT_EQ(plan.vertical.radius + plan.vertical.boxCount, 0) << bad;
        }
    }
    // A 10-pixel line holds kernels up to radius 10: the extent search stops
    // at 11, and that pass cannot run.
    EXPECT_EQ(blurSurround(50.0, true, 10), 11);
    // High quality convolves up to a deviation of 64; beyond it the box
    // passes run, as without high quality.
    EXPECT_GT(planBlur(64.0, 0, true, 4096, 1).horizontal.radius, 0);
    for (double sigma : {64.5, 128.0, 1e9, 1e300}) {
        EXPECT_EQ(blurSurround(sigma, true, 511), blurSurround(sigma, false, 511)) << sigma;
        EXPECT_EQ(blurBoxSize(sigma, true), blurBoxSize(sigma, false)) << sigma;
        const BlurPlan plan = planBlur(sigma, sigma, true, 1024, 7);
        EXPECT_EQ(plan.horizontal.radius, 0) << sigma;
        EXPECT_EQ(plan.vertical.radius, 0) << sigma;
    }
    // Box sizes beyond any int rectangle are all alike.
    EXPECT_EQ(blurBoxSize(1e9, false), 1879971206);  // 1879971205.97 + 0.5
    EXPECT_EQ(blurBoxSize(1e300, false), kUnfittableBox);
}

// A box of d pixels scales its sum by floor(2^24 / d): exact for powers of
// two; for d = 3, 5 and 7 the scale is (2^24 - 1) / d and for d = 6 it is
// (2^24 - 4) / 6, so d equal values v give v - 1.
TEST(GaussianBlurBox, FlooredScaleAndInPlaceWindows) {
    Image four(8, 1, grey(255));
    runBoxPass(four.pixels.data(), four.region(), {0, 0, 4, 2}, false);
    EXPECT_EQ(four.pixels, std::vector<uint32_t>(8, grey(255)));
    Image three(6, 1, grey(255));
    runBoxPass(three.pixels.data(), three.region(), {0, 0, 3, 1}, false);
    EXPECT_EQ(three.pixels, (std::vector<uint32_t>{grey(255), grey(254), grey(254), grey(254),
                                                   grey(254), grey(255)}));

    // Each window reads the values from before the pass: 3m gives m - 1.
    Image ramp(6, 1);
    ramp.pixels = {10, 20, 30, 40, 50, 60};
    runBoxPass(ramp.pixels.data(), ramp.region(), {0, 0, 3, 1}, false);
    EXPECT_EQ(ramp.pixels, (std::vector<uint32_t>{10, 19, 29, 39, 49, 60}));
}

TEST(GaussianBlurBox, InsetsAndTooSmallRectangles) {
    // Vertical, inset one column: columns 1..3, windows at rows 0..2 and 1..3.
    Image img(5, 4, 30);
    runBoxPass(img.pixels.data(), img.region(), {1, 0, 3, 1}, true);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 1 && x <= 3 && (y == 1 || y == 2);
            EXPECT_EQ(img.at(x, y), inside ? 29u : 30u) << x << "," << y;
        }
    }
    Image small(6, 6, 30);
    runBoxPass(small.pixels.data(), small.region(), {2, 0, 3, 1}, false);  // needs width 7
    runBoxPass(small.pixels.data(), small.region(), {0, 4, 3, 1}, false);  // needs height 8
    runBoxPass(small.pixels.data(), small.region(), {0, 2, 3, 1}, true);   // needs height 7
    runBoxPass(small.pixels.data(), small.region(), {4, 0, 3, 1}, true);   // needs width 8
    EXPECT_EQ(small.pixels, std::vector<uint32_t>(36, 30));
}

TEST(GaussianBlurBox, WindowsBeyondTwoToThe24KeepTheirScale) {
    // 2^24 + 1 pixels of 128 would get the scale 0. With floor(2^48 / (2^24
    // + 1)) = 2^24 - 1 the output is 128 (2^48 - 1) / 2^48, so 127.
    const int64_t box = (int64_t(1) << 24) + 1;
    const int mid = int(box / 2);
    Image row(int32_t(box + 2), 1, grey(128));
    runBoxPass(row.pixels.data(), row.region(), {0, 0, box, box / 2}, false);
    EXPECT_EQ(row.at(mid - 1, 0), grey(128));
    EXPECT_EQ(row.at(mid, 0), grey(127));
    EXPECT_EQ(row.at(mid + 2, 0), grey(127));
    EXPECT_EQ(row.at(mid + 3, 0), grey(128));
}

// sigma = 1, three taps: e^-0.5, 1, e^-0.5 over 2.21306 = 0.274068, 0.451863.
// sigma = 0.4: e^-3.125 = 0.043937, so 0.040388 and 0.919224.
TEST(GaussianBlurConvolution, ThreeTapsByHand) {
    Image impulse(5, 1);
    impulse.at(2, 0) = 255;  // 255 * 0.274068 = 69.89, 255 * 0.451863 = 115.23
    runConvolutionPass(impulse.pixels.data(), impulse.region(), 1, 1.0, false);
    EXPECT_EQ(impulse.pixels, (std::vector<uint32_t>{0, 69, 115, 69, 0}));

    Image column(1, 5);
    column.at(0, 2) = grey(255);  // 10.30 and 234.40
    runConvolutionPass(column.pixels.data(), column.region(), 1, 0.4, true);
    EXPECT_EQ(column.pixels, (std::vector<uint32_t>{0, grey(10), grey(234), grey(10), 0}));

    // Channels apart, from the values before the pass: blue 100, 200, 50 ->
    // 131.48; green 0, 255, 0 -> 115.23; red 10, 0, 200 -> 57.55.
    Image row(3, 1);
    row.pixels = {0x000A0064, 0x0000FFC8, 0x00C80032};
    runConvolutionPass(row.pixels.data(), row.region(), 1, 1.0, false);
    EXPECT_EQ(row.pixels, (std::vector<uint32_t>{0x000A0064, 0x00397383, 0x00C80032}));

    Image shortRow(2, 1, 255);  // shorter than 2r + 1
    runConvolutionPass(shortRow.pixels.data(), shortRow.region(), 1, 1.0, false);
    EXPECT_EQ(shortRow.pixels, std::vector<uint32_t>(2, 255));
}

TEST(GaussianBlur, HorizontalOnlyKeepsTheEndColumns) {
    // sigma x = 1, y = 0: row y carries channel y, which a vertical pass
    // would mix into row 1.
    Image img(5, 3);
    for (int y = 0; y < 3; ++y) img.at(2, y) = 255u << (8 * y);
    img.at(0, 1) = 0x00001100;
    img.at(4, 2) = 0x00220000;
    img.blur(1.0, 0.0);
    EXPECT_EQ(img.pixels, (std::vector<uint32_t>{
                              0, 69, 115, 69, 0,                                //
                              0x1100, 74 << 8, 115 << 8, 69 << 8, 0,            // 272 * 0.274
                              0, 69 << 16, 115 << 16, 79 << 16, 0x00220000}));  // 289 * 0.274
}

TEST(GaussianBlur, BoxPassesInsetBothEnds) {
    // sigma 2 on 20 white pixels: boxes of 4 keep 255, the box of 5 writes
    // 254 on 5..14; five pixels at each end stay.
    Image row(20, 1, grey(255));
    row.blur(2.0, 0.0);
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(row.at(x, 0), grey(x >= 5 && x <= 14 ? 254 : 255)) << x;
    }
}

TEST(GaussianBlur, NarrowTallRectangleBlursVertically) {
    // 3 x 100 white, sigma y = 3: boxes 6 (loc 3), 6 (skip 3, loc 2), 7 (skip
    // 5, loc 3). Pass 1 writes 254 on rows 3..97; pass 2 reads rows 3..96 and
    // writes 253 on 5..93; pass 3 reads rows 5..94 and writes 252 on 8..90
    // and at row 91 (6 * 253 + 254) * floor(2^24 / 7) / 2^24 = 253.1.
    Image img(3, 100, grey(255));
    img.blur(0.0, 3.0);
    for (int y = 0; y < 100; ++y) {
        const uint32_t v = y <= 2 || y >= 98   ? 255
                           : y <= 4 || y >= 94 ? 254
                           : y <= 7 || y >= 91 ? 253
                                               : 252;
        for (int x = 0; x < 3; ++x) EXPECT_EQ(img.at(x, y), grey(v)) << x << "," << y;
    }
}

TEST(GaussianBlur, UnusableOrHugeDeviationsLeaveThePixels) {
    Image img(64, 48);
    for (size_t i = 0; i < img.pixels.size(); ++i) img.pixels[i] = uint32_t(i * 2654435761u);
    const std::vector<uint32_t> original = img.pixels;
    for (double sigma : {kNaN, -1.0, kInf, -kInf, 0.0, -0.0, 0.3, 1e9, 1e300, 1e308}) {
        img.blur(sigma, sigma, false);
        img.blur(sigma, sigma, true);
    }
    EXPECT_EQ(img.pixels, original);

    Image column(1, 5);  // a bad deviation on one axis does not stop the other
    column.at(0, 2) = 255;
    column.blur(kNaN, 1.0);
    EXPECT_EQ(column.pixels, (std::vector<uint32_t>{0, 69, 115, 69, 0}));
}

TEST(GaussianBlur, RegionsAreCutToThePixelMemory) {
    // Columns 1..100 of a 6 x 2 layout: cut to 1..5 (column 4: 262 * 0.274).
    Image img(6, 2);
    img.pixels = {0, 0, 0, 255, 0, 7, 0, 0, 0, 0, 0, 0};
    gaussianBlur(img.pixels.data(), 12, {1, 0, 100, 50, 6, 2}, 1.0, 0.0, false);
    EXPECT_EQ(img.pixels, (std::vector<uint32_t>{0, 0, 69, 115, 71, 7, 0, 0, 0, 0, 0, 0}));

    // Layouts larger than the memory, negative sizes, no memory.
    const std::vector<uint32_t> original = {0, 0, 0, 255, 0, 7, 0, 0, 0, 0, 0, 0};
    img.pixels = original;
    gaussianBlur(img.pixels.data(), 12, {0, 0, 6, 2, 6, 3}, 1.0, 1.0, false);
    gaussianBlur(img.pixels.data(), 12, {0, 0, -6, 2, 6, 2}, 1.0, 1.0, false);
    gaussianBlur(img.pixels.data(), 12, {0, 0, 6, 2, -6, -2}, 1.0, 1.0, false);
    gaussianBlur(nullptr, 12, img.region(), 1.0, 1.0, false);
    EXPECT_EQ(img.pixels, original);
}

TEST(GaussianBlurEntry, BlursOnlyWithGoodArguments) {
    test::FakeJni jni;
    const jint handle = LUMO(createDataBuffer)(nullptr, nullptr, 5, 2, 0);
    auto* buffer = HandleRegistry::instance().find<DataBuffer>(handle, HandleKind::DataBuffer);
    ASSERT_NE(buffer, nullptr);
    const jintArray region = jni.ints({0, 0, 5, 2, 5, 2});
    auto blur = [&](jint h, jintArray r, double sx = 1.0) {
        LUMO(gaussianBlur)(jni.env(), nullptr, h, r, sx, 0.0, JNI_FALSE);
    };
    blur(handle, region);  // no pixel memory: none is made
    EXPECT_FALSE(buffer->hasPixels());

    buffer->rowBuffer();
    uint32_t* pixels = buffer->pixels();
    pixels[2] = 255;
    const jint image = LUMO(createNativeImage)(nullptr, nullptr, handle);
    const jint dead = LUMO(createDataBuffer)(nullptr, nullptr, 5, 2, 0);
    LUMO(deleteDataBuffer)(nullptr, nullptr, dead);
    for (jint bad : {jint(0), jint(0x7654321), image, dead}) blur(bad, region);
    blur(handle, nullptr);
    blur(handle, jni.ints({0, 0, 5, 2, 5}));     // short region
    blur(handle, jni.ints({0, 0, 5, 2, 5, 3}));  // layout beyond the memory
    blur(handle, jni.ints({5, 0, 5, 2, 5, 2}));  // wholly outside
    blur(handle, region, kNaN);
    EXPECT_EQ((std::vector<uint32_t>(pixels, pixels + 5)),
              (std::vector<uint32_t>{0, 0, 255, 0, 0}));

    // The region is copied with one call, nothing pinned.
    jni.clearEvents();
    blur(handle, region);
    EXPECT_EQ((std::vector<uint32_t>(pixels, pixels + 5)),
              (std::vector<uint32_t>{0, 69, 115, 69, 0}));
    EXPECT_EQ(jni.events().back().type, test::FakeJni::Event::Copy);
    EXPECT_EQ(jni.eventCount(test::FakeJni::Event::Copy), 1);
    EXPECT_EQ(jni.pinned(), 0);
    EXPECT_EQ(jni.violations(), 0);
    LUMO(deleteNativeImage)(nullptr, nullptr, image);
    LUMO(deleteDataBuffer)(nullptr, nullptr, handle);
}

}  // namespace
}  // namespace lumo
