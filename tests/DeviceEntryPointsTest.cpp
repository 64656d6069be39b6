#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name
#define DEVICE(name) Java_com_quarn_lumo_internal_MemoryDevice_##name

// The fake JVM hands out copies of pinned arrays, as HotSpot does under
// -Xcheck:jni, so results written into Java arrays must be released to reach
// Java.
class DeviceEntryPoints : public ::testing::Test {
protected:
    DeviceEntryPoints() { jni.handOutCopies(true); }

    void TearDown() override {
        EXPECT_EQ(jni.pinned(), 0);
        EXPECT_EQ(jni.violations(), 0);
        DEVICE(delete)(env(), nullptr, hdc);
    }

    JNIEnv* env() { return jni.env(); }

    std::vector<jint> readDevice() {
        jintArray out = jni.ints(std::vector<jint>(size_t(width) * height, -1));
        DEVICE(read)(env(), nullptr, hdc, out);
        return jni.contents<jint>(out);
    }

    jint pixel(const std::vector<jint>& surface, int x, int y) const {
        return surface[size_t(y) * width + x];
    }

    test::FakeJni jni;
    int width = 4;
    int height = 3;
    jint hdc = DEVICE(create)(nullptr, nullptr, width, height);
};

// Java's 4 x 3 test bitmap, top row first: 0xFF000000 | row << 8 | column.
std::vector<jint> bitmapRows() {
    std::vector<jint> bits;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) bits.push_back(int32_t(0xFF000000u | r << 8 | c));
    }
    return bits;
}

TEST_F(DeviceEntryPoints, RenderTargetBlitShowsTheRequestedRows) {
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 4, 3, 0);
    const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
    auto* target = HandleRegistry::instance().find<NativeImage>(image, HandleKind::NativeImage);
    RowBuffer* rows = target->getDataBuffer()->rowBuffer();
    for (int y = 0; y < 3; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(rows->row_ptr(y));
        for (int x = 0; x < 4; ++x) row[x] = 0xFF000000u | y << 8 | x;
    }
    // Source y 1, height 2: image rows 1 and 2 land at device rows 0 and 1.
    LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, image, 0, 0, 4, 2, 0, 1);
    auto surface = readDevice();
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(pixel(surface, x, 0), int32_t(0xFF000100u | x));
        EXPECT_EQ(pixel(surface, x, 1), int32_t(0xFF000200u | x));
        EXPECT_EQ(pixel(surface, x, 2), 0);
    }
    // The whole image at an offset, clipped by the surface.
    LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, image, 1, 1, 4, 3, 0, 0);
    surface = readDevice();
    EXPECT_EQ(pixel(surface, 1, 1), int32_t(0xFF000000u));
    EXPECT_EQ(pixel(surface, 3, 2), int32_t(0xFF000102u));
    LUMO(deleteNativeImage)(nullptr, nullptr, image);
    LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
}

TEST_F(DeviceEntryPoints, RenderTargetWithoutPixelsBlitsNothingAndStaysWithout) {
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 4, 3, int32_t(0xFFFFFFFF));
    const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
    LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, image, 0, 0, 4, 3, 0, 0);
    EXPECT_EQ(readDevice(), std::vector<jint>(12, 0));
    auto* target = HandleRegistry::instance().find<NativeImage>(image, HandleKind::NativeImage);
    EXPECT_FALSE(target->hasPixels());
    // Wrong kinds: a buffer handle as the image, an image handle as the device.
    target->getDataBuffer()->rowBuffer();
    LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, buffer, 0, 0, 4, 3, 0, 0);
    LUMO(SetDIBitsToDevice)(nullptr, nullptr, image, image, 0, 0, 4, 3, 0, 0);
    LUMO(SetDIBitsToDevice)(nullptr, nullptr, 0, image, 0, 0, 4, 3, 0, 0);
    EXPECT_EQ(readDevice(), std::vector<jint>(12, 0));
    LUMO(deleteNativeImage)(nullptr, nullptr, image);
    LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, image, 0, 0, 4, 3, 0, 0);  // deleted
    EXPECT_EQ(readDevice(), std::vector<jint>(12, 0));
    LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
}

TEST_F(DeviceEntryPoints, IntArrayBlitCountsSourceYFromTheTopAndPinsOnce) {
    jintArray bits = jni.ints(bitmapRows());
    jni.clearEvents();
    LUMO(SetDIBitsToDeviceInt)(env(), nullptr, hdc, 0, 0, 4, 2, 0, 1, bits, 4, 3);
    // Length read before the pin, one pin, released with JNI_ABORT.
    const auto& events = jni.events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, test::FakeJni::Event::Length);
    EXPECT_EQ(events[1].type, test::FakeJni::Event::Pin);
    EXPECT_EQ(events[2].type, test::FakeJni::Event::Release);
    EXPECT_EQ(events[2].mode, JNI_ABORT);
    auto surface = readDevice();
    EXPECT_EQ(pixel(surface, 2, 0), int32_t(0xFF000102u));
    EXPECT_EQ(pixel(surface, 2, 1), int32_t(0xFF000202u));
    EXPECT_EQ(pixel(surface, 2, 2), 0);
}

TEST_F(DeviceEntryPoints, ByteAndShortRowsArePaddedToWords) {
    // 3 x 2 pixels, 24 bits: rows of 9 bytes padded to 12; the last row may
    // stop after its pixels.
    std::vector<jbyte> rgb(12 + 9, 0);
    rgb[12 + 3] = 0x30;  // row 1, pixel 1: blue
    rgb[12 + 4] = 0x20;  //                 green
    rgb[12 + 5] = 0x10;  //                 red
    LUMO(SetDIBitsToDeviceByte)(env(), nullptr, hdc, 0, 0, 3, 2, 0, 0, jni.bytes(rgb), 3, 2);
    EXPECT_EQ(pixel(readDevice(), 1, 1), 0x00102030);

    // 3 x 2 pixels, 16 bits: rows of 6 bytes padded to 8 (4 shorts).
    std::vector<jshort> packed = {0, 0, 0, 0, 0, 0x7C00, 0};
    LUMO(SetDIBitsToDeviceShort)(env(), nullptr, hdc, 0, 0, 3, 2, 0, 0, jni.shorts(packed), 3, 2);
    EXPECT_EQ(pixel(readDevice(), 1, 1), 0x00FF0000);
}

TEST_F(DeviceEntryPoints, ShortOrMissingArraysAndFailedPinsCopyNothing) {
    auto bits = bitmapRows();
    bits.pop_back();
    LUMO(SetDIBitsToDeviceInt)(env(), nullptr, hdc, 0, 0, 4, 3, 0, 0, jni.ints(bits), 4, 3);
    LUMO(SetDIBitsToDeviceInt)(env(), nullptr, hdc, 0, 0, 4, 3, 0, 0, nullptr, 4, 3);
    LUMO(SetDIBitsToDeviceInt)
    (env(), nullptr, hdc, 0, 0, 4, 3, 0, 0, jni.ints(bitmapRows()), -4, 3);
    LUMO(SetDIBitsToDeviceInt)
    (env(), nullptr, hdc, 0, 0, 4, 3, 0, 0, jni.ints(bitmapRows()), INT32_MAX, INT32_MAX);
    // A byte array one short of its unpadded last row.
    LUMO(SetDIBitsToDeviceByte)
    (env(), nullptr, hdc, 0, 0, 3, 2, 0, 0, jni.bytes(std::vector<jbyte>(20, 1)), 3, 2);
    jni.failPin(1);
    LUMO(SetDIBitsToDeviceInt)(env(), nullptr, hdc, 0, 0, 4, 3, 0, 0, jni.ints(bitmapRows()), 4, 3);
    EXPECT_EQ(readDevice(), std::vector<jint>(12, 0));
}

TEST_F(DeviceEntryPoints, MemoryDeviceReadChecksItsArguments) {
    jintArray small = jni.ints(std::vector<jint>(11, 7));
    DEVICE(read)(env(), nullptr, hdc, small);
    EXPECT_EQ(jni.contents<jint>(small), std::vector<jint>(11, 7));
    jintArray full = jni.ints(std::vector<jint>(12, 7));
    DEVICE(read)(env(), nullptr, 0, full);
    DEVICE(read)(env(), nullptr, hdc + 1, full);
    DEVICE(read)(env(), nullptr, hdc, nullptr);
    EXPECT_EQ(jni.contents<jint>(full), std::vector<jint>(12, 7));
    EXPECT_EQ(DEVICE(create)(nullptr, nullptr, 0, 3), 0);
    EXPECT_EQ(DEVICE(create)(nullptr, nullptr, 70000, 70000), 0);
    // A device handle is not a pixel buffer.
    LUMO(deleteDataBuffer)(nullptr, nullptr, hdc);
    DEVICE(read)(env(), nullptr, hdc, full);
    EXPECT_EQ(jni.contents<jint>(full), std::vector<jint>(12, 0));
}

TEST(Timer, CountsNanosecondsUpwards) {
    EXPECT_EQ(LUMO(queryPerformanceFrequency)(nullptr, nullptr), 1000000000);
    const jlong start = LUMO(queryPerformanceCounter)(nullptr, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const jlong elapsed = LUMO(queryPerformanceCounter)(nullptr, nullptr) - start;
    EXPECT_GT(start, 0);
    EXPECT_GE(elapsed, 20000000);
    EXPECT_LT(elapsed, 5000000000);
}

}  // namespace
}  // namespace lumo
