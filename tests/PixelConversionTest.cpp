#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

using Words = std::vector<jint>;

jint word(uint32_t value) {
    return static_cast<jint>(value);
}

// Pixels written (b, g, r, a) as in memory; the word is 0xAARRGGBB.
jint bgra(uint32_t b, uint32_t g, uint32_t r, uint32_t a) {
    return word(a << 24 | r << 16 | g << 8 | b);
}

// The fake JVM hands out copies of pinned arrays, so results written into a
// Java array reach it only through a release that copies them back.
class PixelConversion : public ::testing::Test {
protected:
    PixelConversion() { jni.handOutCopies(true); }
    ~PixelConversion() override {
        for (jint handle : handles) LUMO(deleteDataBuffer)(nullptr, nullptr, handle);
    }
    void TearDown() override {
        EXPECT_EQ(jni.pinned(), 0);
        EXPECT_EQ(jni.violations(), 0);
    }

    JNIEnv* env() { return jni.env(); }
    jintArray ints(const Words& values) { return jni.ints(values); }
    Words contents(jarray array) { return jni.contents<jint>(array); }

    // A buffer with the given clear colour; with `memory` its pixels exist,
    // numbered 1, 2, 3 ... in memory order unless `fill` is false.
    jint buffer(int width, int height, uint32_t clear, bool memory, bool fill = true) {
        const jint handle = LUMO(createDataBuffer)(nullptr, nullptr, width, height, word(clear));
        handles.push_back(handle);
        if (memory) {
            object(handle)->rowBuffer();
            if (fill) {
                for (int i = 0; i < width * height; ++i) object(handle)->pixels()[i] = i + 1;
            }
        }
        return handle;
    }
    DataBuffer* object(jint handle) {
        return HandleRegistry::instance().find<DataBuffer>(handle, HandleKind::DataBuffer);
    }
    Words pixels(jint handle) {
        const DataBuffer* b = object(handle);
        return Words(b->pixels(), b->pixels() + b->width() * b->height());
    }

    test::FakeJni jni;
    std::vector<jint> handles;
};

const jint straight = bgra(255, 128, 0, 128);
const jint premultiplied = bgra(128, 64, 0, 128);

TEST_F(PixelConversion, PremultiplyAndBackThroughAJavaArray) {
    const jint clearAlpha = bgra(0x56, 0x34, 0x12, 0);
    const jint opaque = bgra(1, 2, 3, 255);
    jintArray pixels = ints({straight, clearAlpha, opaque});
    LUMO(coerceData___3I_3IZ)(env(), nullptr, pixels, ints({0, 0, 3, 1, 3, 1}), JNI_TRUE);
    EXPECT_EQ(contents(pixels), (Words{premultiplied, 0, opaque}));

    jintArray back = ints({premultiplied, clearAlpha, opaque});
    LUMO(coerceData___3I_3IZ)(env(), nullptr, back, ints({0, 0, 3, 1, 3, 1}), JNI_FALSE);
    EXPECT_EQ(contents(back), (Words{straight, clearAlpha, opaque}));

    // A transparent first pixel does not shift the rest of the row.
    jintArray row = ints({clearAlpha, premultiplied, premultiplied});
    LUMO(coerceData___3I_3IZ)(env(), nullptr, row, ints({0, 0, 3, 1, 3, 1}), JNI_FALSE);
    EXPECT_EQ(contents(row), (Words{clearAlpha, straight, straight}));
}

TEST_F(PixelConversion, JavaArrayRegionsAreCutToTheArray) {
    // A 3 x 2 layout; the rectangle from column 2 reaches past the row end.
    jintArray pixels = ints({straight, straight, straight, straight, straight, straight});
    LUMO(coerceData___3I_3IZ)(env(), nullptr, pixels, ints({2, 1, 5, 5, 3, 2}), JNI_TRUE);
    EXPECT_EQ(contents(pixels),
              (Words{straight, straight, straight, straight, straight, premultiplied}));

    // Layouts larger than the array, negative sizes, short or null arrays.
    const Words before = contents(pixels);
    for (const Words& region : {Words{0, 0, 1, 1, 3, 3}, Words{0, 0, -1, 1, 3, 2},
                                Words{0, 0, 1, 1, -3, -2}, Words{0, 0, 3, 2, 3}}) {
        LUMO(coerceData___3I_3IZ)(env(), nullptr, pixels, ints(region), JNI_TRUE);
    }
    LUMO(coerceData___3I_3IZ)(env(), nullptr, pixels, nullptr, JNI_TRUE);
    LUMO(coerceData___3I_3IZ)(env(), nullptr, nullptr, ints({0, 0, 1, 1, 1, 1}), JNI_TRUE);
    // The region is copied; a failed pin of the pixels changes nothing.
    jni.failPin(1);
    LUMO(coerceData___3I_3IZ)(env(), nullptr, pixels, ints({0, 0, 3, 2, 3, 2}), JNI_TRUE);
    EXPECT_EQ(jni.pinned(), 0);
    EXPECT_EQ(contents(pixels), before);
}

TEST_F(PixelConversion, PixelBufferFormNeverCreatesMemory) {
    const jint empty = buffer(2, 1, uint32_t(straight), false);
    LUMO(coerceData__I_3IZ)(env(), nullptr, empty, ints({0, 0, 2, 1, 2, 1}), JNI_TRUE);
    EXPECT_FALSE(object(empty)->hasPixels());

    const jint full = buffer(2, 1, uint32_t(straight), true, false);
    LUMO(coerceData__I_3IZ)(env(), nullptr, full, ints({1, 0, 1, 1, 2, 1}), JNI_TRUE);
    EXPECT_EQ(pixels(full), (Words{straight, premultiplied}));
    LUMO(coerceData__I_3IZ)(env(), nullptr, full, ints({1, 0, 1, 1, 2, 1}), JNI_FALSE);
    EXPECT_EQ(pixels(full), (Words{straight, straight}));
    // Layout beyond the buffer, handle 0 and a stale handle.
    LUMO(coerceData__I_3IZ)(env(), nullptr, full, ints({0, 0, 2, 2, 2, 2}), JNI_TRUE);
    LUMO(coerceData__I_3IZ)(env(), nullptr, 0, ints({0, 0, 2, 1, 2, 1}), JNI_TRUE);
    const jint stale = LUMO(createDataBuffer)(nullptr, nullptr, 2, 1, 0);
    LUMO(deleteDataBuffer)(nullptr, nullptr, stale);
    LUMO(coerceData__I_3IZ)(env(), nullptr, stale, ints({0, 0, 2, 1, 2, 1}), JNI_TRUE);
    EXPECT_EQ(pixels(full), (Words{straight, straight}));
}

// An 8-bit indexed SWT image, 3 x 2 with rows padded to 4 bytes, palette
// red, green, blue, index 1 transparent.
struct SwtImage {
    Words info{0, 3, 2, 8, 4, -1, 1};
    std::vector<jbyte> data{0, 1, 2, 0, 2, 2, 0, 0};
    Words palette{0xFF0000, 0x00FF00, 0x0000FF};
};

TEST_F(PixelConversion, ConvertDataDecodesIndexedRowsWithTheirAlpha) {
    SwtImage image;
    jintArray out = ints(Words(6, -1));
    LUMO(convertData)
    (env(), nullptr, out, ints(image.info), jni.bytes(image.data), ints(image.palette), nullptr);
    const jint red = word(0xFFFF0000), green = word(0x0000FF00), blue = word(0xFF0000FF);
    EXPECT_EQ(contents(out), (Words{red, green, blue, blue, blue, red}));

    // Per-pixel alpha when there is no global alpha; the transparent pixel
    // still wins.
    jintArray withAlpha = ints(Words(6, -1));
    LUMO(convertData)
    (env(), nullptr, withAlpha, ints(image.info), jni.bytes(image.data), ints(image.palette),
     jni.bytes({16, 32, 48, 64, 80, 96}));
    EXPECT_EQ(contents(withAlpha), (Words{word(0x10FF0000), green, word(0x300000FF),
                                          word(0x400000FF), word(0x500000FF), word(0x60FF0000)}));
}

TEST_F(PixelConversion, ConvertDataWritesNothingForBadInput) {
    SwtImage image;
    auto convert = [&](Words info, std::vector<jbyte> data, Words palette, jintArray out) {
        LUMO(convertData)
        (env(), nullptr, out, ints(info), jni.bytes(data), ints(palette),
         jni.bytes({1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(jni.pinned(), 0);
        for (jint value : contents(out)) EXPECT_EQ(value, -1);
    };
    convert(image.info, image.data, image.palette, ints(Words(5, -1)));  // destination short
    convert({0, 3, 2, 8, 4, -1}, image.data, image.palette, ints(Words(6, -1)));
    convert(image.info, {0, 1, 2, 0, 2, 2, 0}, image.palette, ints(Words(6, -1)));
    convert({0, 3, 2, 3, 4, -1, 1}, image.data, image.palette, ints(Words(6, -1)));  // depth 3
    convert({1, 3, 2, 8, 4, -1, 1}, image.data, {0xE0, -5, 0x1C, -2, 3}, ints(Words(6, -1)));
    // The info is copied; a failed pin of any of the other four arrays.
    for (int n = 1; n <= 4; ++n) {
        jni.failPin(n);
        convert(image.info, image.data, image.palette, ints(Words(6, -1)));
    }
    jintArray out = ints(Words(6, -1));
    LUMO(convertData)
    (env(), nullptr, out, ints(image.info), jni.bytes(image.data), nullptr, nullptr);
    LUMO(convertData)
    (env(), nullptr, out, nullptr, jni.bytes(image.data), ints(image.palette), nullptr);
    EXPECT_EQ(contents(out), Words(6, -1));
}

TEST_F(PixelConversion, SetDataClearsOrFillsTheRegion) {
    // The whole buffer: only the clear colour changes, no memory is made.
    const jint whole = buffer(3, 2, 0, false);
    LUMO(setData)(env(), nullptr, whole, ints({0, 0, 3, 2, 3, 2}), word(0x80112233));
    EXPECT_FALSE(object(whole)->hasPixels());
    EXPECT_EQ(object(whole)->clearColour().r, 0x11);
    EXPECT_EQ(object(whole)->clearColour().a, 0x80);

    // Transparent onto a buffer that clears to transparent: still no memory.
    const jint transparent = buffer(3, 2, 0, false);
    LUMO(setData)(env(), nullptr, transparent, ints({1, 0, 1, 1, 3, 2}), 0);
    EXPECT_FALSE(object(transparent)->hasPixels());

    // Another clear colour must survive outside the region.
    const jint blue = buffer(3, 2, 0xFF0000FF, false);
    LUMO(setData)(env(), nullptr, blue, ints({1, 0, 1, 1, 3, 2}), 0);
    const jint b = word(0xFF0000FF);
    EXPECT_EQ(pixels(blue), (Words{b, 0, b, b, b, b}));

    // A partial fill stores the colour as given, cut to the layout.
    const jint numbered = buffer(3, 2, 0, true);
    LUMO(setData)(env(), nullptr, numbered, ints({2, 1, 5, 5, 3, 2}), word(0x80FFFFFF));
    EXPECT_EQ(pixels(numbered), (Words{1, 2, 3, 4, 5, word(0x80FFFFFF)}));

    // A layout larger than the buffer touches nothing and makes no memory.
    const jint untouched = buffer(3, 2, 0xFF0000FF, false);
    LUMO(setData)(env(), nullptr, untouched, ints({0, 0, 1, 1, 4, 2}), 7);
    LUMO(setData)(env(), nullptr, untouched, ints({0, 0, 1, 1, 3}), 7);
    LUMO(setData)(env(), nullptr, untouched, nullptr, 7);
    EXPECT_FALSE(object(untouched)->hasPixels());
}

TEST_F(PixelConversion, CopyDataCopiesTheCommonPart) {
    const jint source = buffer(10, 10, 0, true);
    const jint target = buffer(4, 20, 0xFF000000, false);
    LUMO(copyData)
    (env(), nullptr, source, target, ints({0, 0, 10, 10, 10, 10}), ints({0, 0, 4, 20, 4, 20}));
    const Words copied = pixels(target);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 4; ++x) {
            const jint expected = y < 10 ? y * 10 + x + 1 : word(0xFF000000);
            EXPECT_EQ(copied[y * 4 + x], expected) << x << "," << y;
        }
    }

    // Offsets in both regions: source (1..2, 1) to target (0..1, 0).
    const jint small = buffer(3, 1, 0, true, false);
    LUMO(copyData)
    (env(), nullptr, source, small, ints({1, 1, 2, 2, 10, 10}), ints({0, 0, 3, 1, 3, 1}));
    EXPECT_EQ(pixels(small), (Words{12, 13, 0}));
}

TEST_F(PixelConversion, CopyDataIgnoresBadArguments) {
    const jint source = buffer(2, 2, 0, true);
    const jint target = buffer(2, 2, 0, false);
    const Words region{0, 0, 2, 2, 2, 2};
    LUMO(copyData)(env(), nullptr, source, source, ints(region), ints({1, 0, 1, 2, 2, 2}));
    EXPECT_EQ(pixels(source), (Words{1, 2, 3, 4}));
    LUMO(copyData)(env(), nullptr, source, target, ints({0, 0, 2, 3, 2, 3}), ints(region));
    LUMO(copyData)(env(), nullptr, source, target, ints(region), ints({0, 0, 2, 2, 2}));
    LUMO(copyData)(env(), nullptr, source, target, nullptr, ints(region));
    LUMO(copyData)(env(), nullptr, 0, target, ints(region), ints(region));
    EXPECT_FALSE(object(target)->hasPixels());
    // Regions with nothing in common still give the target its memory.
    LUMO(copyData)(env(), nullptr, source, target, ints(region), ints({2, 0, 2, 2, 2, 2}));
    ASSERT_TRUE(object(target)->hasPixels());
    EXPECT_EQ(pixels(target), (Words{0, 0, 0, 0}));

    // Both regions are copied, one call each; nothing is pinned.
    jni.clearEvents();
    LUMO(copyData)(env(), nullptr, source, target, ints(region), ints(region));
    EXPECT_EQ(jni.eventCount(test::FakeJni::Event::Pin), 0);
    EXPECT_EQ(jni.eventCount(test::FakeJni::Event::Copy), 2);
    EXPECT_EQ(pixels(target), (Words{1, 2, 3, 4}));
}

}  // namespace
}  // namespace lumo
