#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"
#include "ops/PixelFilters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

using Pixels = std::vector<uint32_t>;

// A pixel word from its channels.
uint32_t px(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return a << 24 | r << 16 | g << 8 | b;
}

std::vector<float> identity() {
    return {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
}

// Table i -> 255 - i, as Java bytes.
std::vector<jbyte> invert(size_t size = 256) {
    std::vector<jbyte> t(size);
    for (size_t i = 0; i < size; ++i) t[i] = static_cast<jbyte>(255 - i);
    return t;
}

class PixelFilters : public ::testing::Test {
protected:
    PixelFilters() { jni.handOutCopies(true); }

    void TearDown() override {
        EXPECT_EQ(jni.pinned(), 0);
        EXPECT_EQ(jni.violations(), 0);
        for (jint h : handles) LUMO(deleteDataBuffer)(nullptr, nullptr, h);
    }

    JNIEnv* env() { return jni.env(); }

    // A width x height buffer whose pixel memory (exactly that many words)
    // holds `pixels`, or none when `pixels` is empty.
    jint buffer(int width, int height, const Pixels& pixels) {
        const jint h = LUMO(createDataBuffer)(nullptr, nullptr, width, height, 0);
        handles.push_back(h);
        if (!pixels.empty()) {
            bufferOf(h)->rowBuffer();
            std::copy(pixels.begin(), pixels.end(), bufferOf(h)->pixels());
        }
        return h;
    }
    static DataBuffer* bufferOf(jint h) {
        return HandleRegistry::instance().find<DataBuffer>(h, HandleKind::DataBuffer);
    }
    static Pixels pixelsOf(jint h) {
        const DataBuffer* b = bufferOf(h);
        return Pixels(b->pixels(), b->pixels() + size_t(b->width()) * b->height());
    }

    jintArray region(std::vector<jint> values) { return jni.ints(values); }
    // A whole 1-row buffer of n pixels.
    jintArray whole(int n) { return region({0, 0, n, 1, n, 1}); }
    jfloatArray floats(const std::vector<float>& values) {
        return static_cast<jfloatArray>(jni.array(values));
    }

    // Runs colorMatrix over a whole 1-row buffer of `pixels`.
    Pixels matrix(const std::vector<float>& m, const Pixels& pixels, bool premultiplied = false) {
        const int n = int(pixels.size());
        const jint h = buffer(n, 1, pixels);
        LUMO(colorMatrix)(env(), nullptr, h, whole(n), floats(m), premultiplied);
        return pixelsOf(h);
    }

    test::FakeJni jni;
    std::vector<jint> handles;
};

TEST_F(PixelFilters, ApplyLutUsesTheSrgbCurves) {
    // Decoding: 128 -> 55, 255 -> 255, 0 -> 0; encoding 55 -> 128. Alpha
    // stays, and without the flag an alpha-0 pixel's colour is looked up too.
    const jint h = buffer(2, 1, {px(128, 255, 0, 77), px(128, 128, 128, 0)});
    LUMO(applyLut)(env(), nullptr, h, whole(2), false, false);
    EXPECT_EQ(pixelsOf(h), (Pixels{px(55, 255, 0, 77), px(55, 55, 55, 0)}));
    LUMO(applyLut)(env(), nullptr, h, whole(2), true, false);
    EXPECT_EQ(pixelsOf(h)[0], px(128, 255, 0, 77));

    // Premultiplied: alpha 128 unpremultiplies 64 -> 128 and 128 -> 255;
    // alpha 0 gives entry 0; alpha 255 is looked up directly.
    const jint p = buffer(3, 1, {px(64, 128, 0, 128), px(0x33, 0x33, 0x33, 0), px(128, 0, 0, 255)});
    LUMO(applyLut)(env(), nullptr, p, whole(3), false, true);
    EXPECT_EQ(pixelsOf(p), (Pixels{px(55, 255, 0, 128), 0, px(55, 0, 0, 255)}));
}

TEST_F(PixelFilters, MatrixEntriesAreQuantised) {
    EXPECT_EQ(matrixEntryToFixed(-0.0001f), 0);
    EXPECT_EQ(matrixEntryToFixed(-0.0002f), -13);       // -13.107
    EXPECT_EQ(matrixEntryToFixed(27.0f / 131072), 14);  // 13.5, half away from zero
    EXPECT_EQ(matrixEntryToFixed(-27.0f / 131072), -14);
    EXPECT_EQ(matrixEntryToFixed(NAN), 0);
    EXPECT_EQ(matrixEntryToFixed(1e30f), INT32_MAX);
    EXPECT_EQ(matrixOffsetToByte(10.5f), 11);
    EXPECT_EQ(matrixOffsetToByte(NAN), 0);

    // Red = c * red + 10.99 (720241 in 16.16, 655 short of 11): c = 0.0002
    // adds 13 * 255 = 3315 and reaches 11; c = 0.0001 adds nothing (7 * 255
    // unquantised would reach 11 too).
    auto red = [&](float c) {
        std::vector<float> m = identity();
        m[0] = c;
        m[4] = 10.99f;
        return matrix(m, {px(255, 7, 9, 255)})[0];
    };
    EXPECT_EQ(red(0.0002f), px(11, 7, 9, 255));
    EXPECT_EQ(red(0.0001f), px(10, 7, 9, 255));
}

TEST_F(PixelFilters, MatrixOffsetsInBothForms) {
    // Constant form: offsets become bytes 255, 0, 11; alpha row keeps alpha.
    std::vector<float> m(20, 0.0f);
    m[4] = 300;
    m[9] = -5;
    m[14] = 10.5f;
    m[18] = 1;
    EXPECT_EQ(matrix(m, {px(1, 2, 3, 200), px(7, 7, 7, 0)}),
              (Pixels{px(255, 0, 11, 200), px(255, 0, 11, 0)}));
    // General form (red coefficient 1): 1 + 300 -> 255, -5 -> 0, 10.5 -> 10;
    // alpha 200 + 20. A transparent pixel still becomes the byte offsets.
    m[0] = 1;
    m[19] = 20;
    EXPECT_EQ(matrix(m, {px(1, 2, 3, 200), px(7, 7, 7, 0)}),
              (Pixels{px(255, 0, 10, 220), px(255, 0, 11, 20)}));
}

TEST_F(PixelFilters, MatrixReadsInputsAndStoresStraight) {
    EXPECT_EQ(matrix(identity(), {px(10, 20, 30, 40), px(255, 0, 128, 255), px(9, 9, 9, 0)}),
              (Pixels{px(10, 20, 30, 40), px(255, 0, 128, 255), 0}));
    // Swap red and blue, halve alpha: each output uses the original inputs.
    std::vector<float> swap(20, 0.0f);
    swap[2] = 1;
    swap[10] = 1;
    swap[18] = 0.5f;
    EXPECT_EQ(matrix(swap, {px(10, 20, 200, 200)})[0], px(200, 0, 10, 100));

    const Pixels premultiplied{px(64, 64, 64, 128), px(64, 64, 64, 255)};
    EXPECT_EQ(matrix(identity(), premultiplied, true),
              (Pixels{px(128, 128, 128, 128), px(64, 64, 64, 255)}));
    EXPECT_EQ(matrix(identity(), premultiplied, false), premultiplied);

    // Huge entries saturate instead of overflowing the sums; NaN acts as 0.
    std::vector<float> huge = identity();
    for (int i = 0; i < 5; ++i) huge[i] = 30000;
    huge[5] = -1e30f;
    huge[10] = NAN;
    huge[14] = 5;
    EXPECT_EQ(matrix(huge, {px(1, 1, 1, 255)})[0], px(255, 0, 6, 255));
}

TEST_F(PixelFilters, TransColorLooksUpOnlyGivenTables) {
    const std::vector<jbyte> inverted = invert();
    std::vector<jbyte> half(256);
    for (int i = 0; i < 256; ++i) half[i] = jbyte(i / 2);
    for (bool premultiplied : {false, true}) {
        const jint h = buffer(1, 1, {px(10, 20, 30, 200)});
        LUMO(transColor)
        (env(), nullptr, h, whole(1), nullptr, nullptr, nullptr, jni.bytes(inverted),
         premultiplied);
        EXPECT_EQ(pixelsOf(h)[0], px(10, 20, 30, 55)) << premultiplied;
    }
    const jint s = buffer(1, 1, {px(10, 100, 30, 128)});
    LUMO(transColor)
    (env(), nullptr, s, whole(1), jni.bytes(inverted), jni.bytes(half), nullptr, nullptr, false);
    EXPECT_EQ(pixelsOf(s)[0], px(245, 50, 30, 128));

    // Premultiplied: red 64 at alpha 128 is 128 straight -> 127; green and
    // blue have no table and stay premultiplied; alpha maps from its old value.
    const jint p = buffer(2, 1, {px(64, 64, 64, 128), px(64, 64, 64, 255)});
    LUMO(transColor)
    (env(), nullptr, p, whole(2), jni.bytes(inverted), nullptr, nullptr, jni.bytes(inverted), true);
    EXPECT_EQ(pixelsOf(p), (Pixels{px(127, 64, 64, 127), px(191, 64, 64, 0)}));

    // A short table (even beside a good one) or no table at all: nothing.
    LUMO(transColor)
    (env(), nullptr, s, whole(1), jni.bytes(invert(255)), nullptr, nullptr, jni.bytes(inverted),
     false);
    LUMO(transColor)
    (env(), nullptr, s, whole(1), nullptr, nullptr, nullptr, nullptr, false);
    EXPECT_EQ(pixelsOf(s)[0], px(245, 50, 30, 128));
}

// Each filter, set up to change every pixel it touches.
std::vector<std::function<void(JNIEnv*, test::FakeJni&, jint, jintArray)>> allFilters() {
    return {
        [](JNIEnv* env, test::FakeJni&, jint h, jintArray r) {
            LUMO(filterAlpha)(env, nullptr, h, r);
        },
        [](JNIEnv* env, test::FakeJni& jni, jint h, jintArray r) {
            std::vector<float> m(20, 0.0f);
            m[4] = 1;
            LUMO(colorMatrix)(env, nullptr, h, r, static_cast<jfloatArray>(jni.array(m)), false);
        },
        [](JNIEnv* env, test::FakeJni&, jint h, jintArray r) {
            LUMO(applyLut)(env, nullptr, h, r, false, false);
        },
        [](JNIEnv* env, test::FakeJni& jni, jint h, jintArray r) {
            LUMO(transColor)
            (env, nullptr, h, r, nullptr, nullptr, nullptr, jni.bytes(invert()), false);
        },
    };
}

TEST_F(PixelFilters, RegionsAreCutToTheirLayoutAndTheBuffer) {
    const uint32_t grey = px(128, 128, 128, 128);
    const Pixels start(6, grey);
    // Which of the 6 words of a 3 x 2 buffer each region reaches.
    const std::vector<std::pair<std::vector<jint>, std::vector<int>>> cases = {
        {{1, 0, 2, 2, 3, 2}, {1, 2, 4, 5}},
        {{1, 1, 1, 2, 2, 3}, {3, 5}},  // a narrower layout: stride 2
        {{2, 1, 5, 5, 3, 2}, {5}},     // past the right and top
        {{-1, -1, 2, 2, 3, 2}, {0}},   // before the start
        {{0, 0, 3, 2, 4, 2}, {}},      // layout larger than the memory
        {{0, 0, 0, 2, 3, 2}, {}},      // width 0
        {{0, 0, 3, -1, 3, 2}, {}},     // negative height
        {{0, 0, 3, 2, -3, -2}, {}},    // negative layout
        {{0, 0, 3, 2, 3}, {}},         // five ints
    };
    int filter = 0;
    for (const auto& run : allFilters()) {
        for (const auto& [values, touched] : cases) {
            const jint h = buffer(3, 2, start);
            run(env(), jni, h, region(values));
            const Pixels after = pixelsOf(h);
            for (int i = 0; i < 6; ++i) {
                const bool changed = after[i] != grey;
                const bool expected = std::find(touched.begin(), touched.end(), i) != touched.end();
                EXPECT_EQ(changed, expected) << "filter " << filter << " word " << i;
            }
        }
        ++filter;
    }
}

TEST_F(PixelFilters, BadHandlesArraysAndPinsChangeNothing) {
    const Pixels start{px(1, 2, 3, 4)};
    const jint h = buffer(1, 1, start);
    const jint empty = buffer(1, 1, {});
    const jint image = LUMO(createNativeImage)(nullptr, nullptr, h);
    const jint stale = buffer(1, 1, start);
    LUMO(deleteDataBuffer)(nullptr, nullptr, stale);
    for (const auto& run : allFilters()) {
        for (jint handle : {jint(0), empty, image, stale}) {
            run(env(), jni, handle, whole(1));
        }
        run(env(), jni, h, nullptr);
        run(env(), jni, h, jni.ints({0, 0, 1, 1, 1}));  // short region
    }
    EXPECT_FALSE(bufferOf(empty)->hasPixels());
    const std::vector<jbyte> table = invert();
    const jintArray all = whole(1);
    LUMO(colorMatrix)(env(), nullptr, h, all, nullptr, false);
    LUMO(colorMatrix)(env(), nullptr, h, all, floats(std::vector<float>(19, 0.0f)), false);
    LUMO(transColor)
    (env(), nullptr, h, all, jni.bytes(std::vector<jbyte>(255)), nullptr, nullptr, nullptr, false);
    EXPECT_EQ(pixelsOf(h), start);

    // Regions, matrices and tables are small enough to be copied, each with
    // one call: the filters pin no array.
    jni.clearEvents();
    LUMO(colorMatrix)(env(), nullptr, h, whole(1), floats(std::vector<float>(20, 0.0f)), false);
    LUMO(transColor)
    (env(), nullptr, h, whole(1), jni.bytes(table), nullptr, jni.bytes(table), nullptr, false);
    EXPECT_EQ(jni.eventCount(test::FakeJni::Event::Pin), 0);
    // Region and matrix; region and two tables.
    EXPECT_EQ(jni.eventCount(test::FakeJni::Event::Copy), 5);
    EXPECT_NE(pixelsOf(h), start);
    LUMO(deleteNativeImage)(nullptr, nullptr, image);
}

}  // namespace
}  // namespace lumo
