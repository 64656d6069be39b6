#include "image/AwtRowReaders.h"
#include "image/RowReader.h"
#include "image/SwtRowReaders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace lumo {
namespace {

using Bytes = std::vector<uint8_t>;

// An image whose rows, alpha data and palette live in exact-size heap
// buffers, so a read past any of them trips the address sanitizer.
struct TestImage {
    ImageDescriptor d;
    Bytes data;
    Bytes alpha;
    std::vector<int32_t> palette;

    TestImage(int32_t kind, int32_t width, int32_t height, int32_t bytesPerLine, Bytes rows)
        : data(std::move(rows)) {
        d.kind = kind;
        d.width = width;
        d.height = height;
        d.bytesPerLine = bytesPerLine;
        if (kind != IMAGE_SWT) d.alpha = 0;
    }

    // Converts row y; only the width pixels a reader writes are returned.
    Bytes row(int32_t y) {
        d.data = data.data();
        d.alphaData = alpha.empty() ? nullptr : alpha.data();
        if (!palette.empty()) {
            d.palette = palette.data();
            d.paletteLength = static_cast<int64_t>(palette.size());
        }
        EXPECT_TRUE(imageFitsMemory(d, static_cast<int64_t>(data.size()),
                                    alpha.empty() ? -1 : static_cast<int64_t>(alpha.size())));
        std::unique_ptr<RowReader> reader(createRowReader(d));
        if (!reader) {
            ADD_FAILURE() << "no reader";
            return {};
        }
        Bytes out(reader->rowBytes(d), 0xEE);
        reader->readRow(y, out.data(), d);
        out.resize(static_cast<size_t>(d.width) * 4);
        return out;
    }
};

TestImage swt(int32_t depth, bool direct, int32_t width, Bytes rows) {
    const int32_t bytesPerLine = static_cast<int32_t>(rows.size());
    TestImage image(IMAGE_SWT, width, 1, bytesPerLine, std::move(rows));
    image.d.depth = depth;
    image.d.isDirect = direct;
    return image;
}

void setMasks(TestImage& image, int32_t red, int32_t green, int32_t blue, int32_t redShift,
              int32_t greenShift, int32_t blueShift) {
    image.d.redMask = red;
    image.d.greenMask = green;
    image.d.blueMask = blue;
    image.d.redShift = redShift;
    image.d.greenShift = greenShift;
    image.d.blueShift = blueShift;
}

// Native-order ints and shorts, as a pinned Java array holds them.
Bytes ints(std::vector<uint32_t> values) {
    Bytes out(values.size() * 4);
    std::memcpy(out.data(), values.data(), out.size());
    return out;
}

Bytes shorts(std::vector<uint16_t> values) {
    Bytes out(values.size() * 2);
    std::memcpy(out.data(), values.data(), out.size());
    return out;
}

TEST(RowReaderSwtDirect, PackedDepthsTakeTheLeftmostPixelFromTheHighBits) {
    TestImage one = swt(1, true, 4, {0xA0});  // 1010 0000
    setMasks(one, 1, 0, 0, 7, 0, 0);
    EXPECT_EQ(one.row(0), (Bytes{0, 0, 128, 255, 0, 0, 0, 255, 0, 0, 128, 255, 0, 0, 0, 255}));

    TestImage two = swt(2, true, 4, {0xE4});  // pixels 3, 2, 1, 0
    setMasks(two, 3, 2, 0, 6, 0, 0);
    EXPECT_EQ(two.row(0), (Bytes{0, 2, 192, 255, 0, 2, 128, 255, 0, 0, 64, 255, 0, 0, 0, 255}));

    TestImage four = swt(4, true, 3, {0x3C, 0x50});  // pixels 3, 12, 5
    setMasks(four, 0xF, 0, 0, 4, 0, 0);
    EXPECT_EQ(four.row(0), (Bytes{0, 0, 0x30, 255, 0, 0, 0xC0, 255, 0, 0, 0x50, 255}));

    // Depth 32: first byte most significant; right shifts are unsigned.
    TestImage wide = swt(32, true, 2, {0x11, 0x22, 0x33, 0x44, 0xF0, 0, 0, 0});
    setMasks(wide, static_cast<int32_t>(0xFF000000u), 0xFF0000, 0xFF00, -24, -16, -8);
    EXPECT_EQ(wide.row(0), (Bytes{0x33, 0x22, 0x11, 255, 0x00, 0x00, 0xF0, 255}));
    // A sign-extending shift would give 0xFF here.
    setMasks(wide, static_cast<int32_t>(0xF0000000u), 0, 0, -28, 0, 0);
    EXPECT_EQ(wide.row(0)[6], 0x0F);
}

TEST(RowReaderSwtDirect, WholeByteDepthsApplyMasksAndShifts) {
    TestImage eight = swt(8, true, 2, {0xFF, 0x25});  // 001 001 01
    setMasks(eight, 0xE0, 0x1C, 0x03, 0, 3, 6);
    EXPECT_EQ(eight.row(0), (Bytes{0xC0, 0xE0, 0xE0, 255, 0x40, 0x20, 0x20, 255}));

    // Depth 16: first byte least significant.
    TestImage sixteen = swt(16, true, 4, {0x00, 0x7C, 0x1F, 0x00, 0xE0, 0x03, 0x23, 0x01});
    setMasks(sixteen, 0x7C00, 0x03E0, 0x001F, -7, -2, 3);
    EXPECT_EQ(sixteen.row(0),
              (Bytes{0, 0, 248, 255, 248, 0, 0, 255, 0, 248, 0, 255, 0x18, 0x48, 0, 255}));
    // Bits shifted left past bit 7 are dropped: 0x0123 << 4 = 0x1230.
    setMasks(sixteen, 0xFFFF, 0, 0, 4, 0, 0);
    EXPECT_EQ(sixteen.row(0)[14], 0x30);

    TestImage twentyFour = swt(24, true, 1, {0x11, 0x22, 0x33});
    setMasks(twentyFour, 0xFF0000, 0xFF00, 0xFF, -16, -8, 0);
    EXPECT_EQ(twentyFour.row(0), (Bytes{0x33, 0x22, 0x11, 0xFF}));
}

TEST(RowReaderSwtDirect, ShiftsOf32BitsOrMoreGiveZero) {
    TestImage image = swt(8, true, 1, {0xFF});
    setMasks(image, 0xFF, 0xFF, 0xFF, 32, -32, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(image.row(0), (Bytes{0, 0, 0, 255}));
    setMasks(image, 0xFF, 0xFF, 0xFF, std::numeric_limits<int32_t>::max(), -40, 31);
    EXPECT_EQ(image.row(0), (Bytes{0, 0, 0, 255}));
}

TEST(RowReaderSwtIndexed, EveryDepthIndexesThePalette) {
    TestImage one = swt(1, false, 2, {0x80});
    one.palette = {0x000000, 0xFFFFFF};
    EXPECT_EQ(one.row(0), (Bytes{255, 255, 255, 255, 0, 0, 0, 255}));

    TestImage two = swt(2, false, 2, {0x90});  // pixels 2, 1
    two.palette = {0, 0x010203, 0x040506, 0};
    EXPECT_EQ(two.row(0), (Bytes{6, 5, 4, 255, 3, 2, 1, 255}));

    TestImage four = swt(4, false, 2, {0x3C});  // pixels 3, 12
    four.palette.assign(16, 0);
    four.palette[3] = 0x112233;
    four.palette[12] = 0xAABBCC;
    EXPECT_EQ(four.row(0), (Bytes{0x33, 0x22, 0x11, 255, 0xCC, 0xBB, 0xAA, 255}));

    TestImage sixteen = swt(16, false, 1, {0x01, 0x01});  // index 0x0101
    sixteen.palette.assign(258, 0);
    sixteen.palette[257] = 0x123456;
    EXPECT_EQ(sixteen.row(0), (Bytes{0x56, 0x34, 0x12, 255}));

    TestImage twentyFour = swt(24, false, 1, {0x00, 0x00, 0x02});
    twentyFour.palette = {0, 0, 0x0A0B0C};
    EXPECT_EQ(twentyFour.row(0), (Bytes{0x0C, 0x0B, 0x0A, 255}));

    TestImage wide = swt(32, false, 1, {0x00, 0x00, 0x00, 0x01});
    wide.palette = {0, 0x7F8081};
    EXPECT_EQ(wide.row(0), (Bytes{0x81, 0x80, 0x7F, 255}));
}

TEST(RowReaderSwtIndexed, IndicesBeyondThePaletteReadBlack) {
    TestImage eight = swt(8, false, 4, {0, 2, 3, 255});
    eight.palette = {0x102030, 0x405060, 0x708090};
    EXPECT_EQ(eight.row(0),
              (Bytes{0x30, 0x20, 0x10, 255, 0x90, 0x80, 0x70, 255, 0, 0, 0, 255, 0, 0, 0, 255}));

    TestImage sixteen = swt(16, false, 1, {0x02, 0x01});
    sixteen.palette.assign(258, 0x777777);
    EXPECT_EQ(sixteen.row(0), (Bytes{0, 0, 0, 255}));

    TestImage wide = swt(32, false, 1, {0xFF, 0xFF, 0xFF, 0xFF});
    wide.palette = {0x777777};
    EXPECT_EQ(wide.row(0), (Bytes{0, 0, 0, 255}));

    TestImage noPalette = swt(8, false, 1, {0});
    EXPECT_EQ(noPalette.row(0), (Bytes{0, 0, 0, 255}));
}

TEST(RowReaderSwtAlpha, TransparentPixelThenGlobalAlphaThenAlphaData) {
    TestImage image = swt(8, false, 3, {0, 1, 2});
    image.palette = {0x010101, 0x020202, 0x030303};
    image.alpha = {10, 20, 30};
    image.d.transparentPixel = 1;
    // The transparent pixel keeps its colour.
    EXPECT_EQ(image.row(0), (Bytes{1, 1, 1, 10, 2, 2, 2, 0, 3, 3, 3, 30}));
    image.d.alpha = 128;
    EXPECT_EQ(image.row(0), (Bytes{1, 1, 1, 128, 2, 2, 2, 0, 3, 3, 3, 128}));
    image.d.alpha = 0x180;  // low 8 bits
    image.d.transparentPixel = -1;
    EXPECT_EQ(image.row(0), (Bytes{1, 1, 1, 0x80, 2, 2, 2, 0x80, 3, 3, 3, 0x80}));
    image.d.alpha = -1;
    image.alpha.clear();
    EXPECT_EQ(image.row(0), (Bytes{1, 1, 1, 255, 2, 2, 2, 255, 3, 3, 3, 255}));
}

TEST(RowReaderSwtAlpha, TransparencyComparesTheAssembledDirectValue) {
    TestImage image = swt(24, true, 2, {0x11, 0x22, 0x33, 0x11, 0x22, 0x34});
    setMasks(image, 0xFF0000, 0xFF00, 0xFF, -16, -8, 0);
    image.d.transparentPixel = 0x112233;
    EXPECT_EQ(image.row(0), (Bytes{0x33, 0x22, 0x11, 0, 0x34, 0x22, 0x11, 255}));

    // Depth 32 values compare as 32-bit patterns; -1 means none.
    TestImage wide = swt(32, true, 2, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF});
    setMasks(wide, 0xFF, 0, 0, 0, 0, 0);
    wide.d.transparentPixel = -2;
    EXPECT_EQ(wide.row(0), (Bytes{0, 0, 0xFE, 0, 0, 0, 0xFF, 255}));
    wide.d.transparentPixel = -1;
    EXPECT_EQ(wide.row(0), (Bytes{0, 0, 0xFE, 255, 0, 0, 0xFF, 255}));
}

TEST(RowReaderSwtAlpha, RowsAreAddressedByBytesPerLineAndAlphaByWidth) {
    // Two rows of two depth-8 pixels, two padding bytes per row.
    TestImage image(IMAGE_SWT, 2, 2, 4, {1, 2, 9, 9, 3, 4, 9, 9});
    image.d.depth = 8;
    image.palette = {0, 0x010101, 0x020202, 0x030303, 0x040404};
    image.alpha = {11, 12, 13, 14};
    EXPECT_EQ(image.row(1), (Bytes{3, 3, 3, 13, 4, 4, 4, 14}));
}

TEST(RowReaderAwt, IntKindsSplitTheirChannels) {
    TestImage rgb(IMAGE_INT_RGB, 2, 2, 8, ints({0, 0, 0x12345678, 0x00FFFFFF}));
    EXPECT_EQ(rgb.row(1), (Bytes{0x78, 0x56, 0x34, 255, 255, 255, 255, 255}));

    for (int32_t kind : {IMAGE_INT_ARGB, IMAGE_INT_ARGB_PRE}) {
        TestImage argb(kind, 1, 1, 4, ints({0x80402010}));
        EXPECT_EQ(argb.row(0), (Bytes{0x10, 0x20, 0x40, 0x80})) << kind;
    }

    TestImage bgr(IMAGE_INT_BGR, 1, 1, 4, ints({0xFF112233}));
    EXPECT_EQ(bgr.row(0), (Bytes{0x11, 0x22, 0x33, 255}));
}

TEST(RowReaderAwt, ByteKindsReorderTheirBytes) {
    // Row 1 of two, one padding byte per row.
    TestImage bgr(IMAGE_3BYTE_BGR, 2, 2, 7, {0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 0});
    EXPECT_EQ(bgr.row(1), (Bytes{1, 2, 3, 255, 4, 5, 6, 255}));

    for (int32_t kind : {IMAGE_4BYTE_ABGR, IMAGE_4BYTE_ABGR_PRE}) {
        TestImage abgr(kind, 1, 1, 4, {0xAA, 0xBB, 0xCC, 0xDD});
        EXPECT_EQ(abgr.row(0), (Bytes{0xBB, 0xCC, 0xDD, 0xAA})) << kind;
    }
}

TEST(RowReaderAwt, ShortKindsMoveChannelBitsToTheTop) {
    TestImage rgb565(IMAGE_USHORT_565_RGB, 4, 1, 8, shorts({0xFFFF, 0xF800, 0x07E0, 0x001F}));
    EXPECT_EQ(rgb565.row(0),
              (Bytes{248, 252, 248, 255, 0, 0, 248, 255, 0, 252, 0, 255, 248, 0, 0, 255}));

    TestImage rgb555(IMAGE_USHORT_555_RGB, 4, 1, 8, shorts({0x7FFF, 0x7C00, 0x03E0, 0x0421}));
    EXPECT_EQ(rgb555.row(0),
              (Bytes{248, 248, 248, 255, 0, 0, 248, 255, 0, 248, 0, 255, 8, 8, 8, 255}));
}

TEST(RowReaderRenderTarget, RowsAreCopiedWholeFromTheBottomUp) {
    // Width 1, 8 bytes per row, three rows; the bottom row comes first.
    Bytes rows(24);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>(i + 1);
    TestImage image(IMAGE_RENDER_TARGET, 1, 3, 8, rows);
    image.d.data = image.data.data();
    std::unique_ptr<RowReader> reader(createRowReader(image.d));
    ASSERT_TRUE(reader);
    ASSERT_EQ(reader->rowBytes(image.d), 8u);
    Bytes out(8);
    reader->readRow(0, out.data(), image.d);
    EXPECT_EQ(out, (Bytes{17, 18, 19, 20, 21, 22, 23, 24}));
    reader->readRow(2, out.data(), image.d);
    EXPECT_EQ(out, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(RowReaderSelection, UnsupportedKindsAndDepthsHaveNoReader) {
    ImageDescriptor image;
    for (int32_t kind : {-1, 10, 11, 12, 13, 15, 100}) {
        image.kind = kind;
        EXPECT_EQ(createRowReader(image), nullptr) << kind;
    }
    image.kind = IMAGE_SWT;
    for (int32_t depth : {0, -8, 3, 5, 12, 31, 64}) {
        for (bool direct : {false, true}) {
            image.depth = depth;
            image.isDirect = direct;
            EXPECT_EQ(createRowReader(image), nullptr) << depth;
        }
    }
    image.depth = 32;
    image.isDirect = false;
    std::unique_ptr<RowReader> reader(createRowReader(image));
    EXPECT_NE(dynamic_cast<SwtIndexedPackedRowReader*>(reader.get()), nullptr);
}

TEST(RowReaderSelection, OnlyIntArgbAndRenderTargetsReadInPlaceWhenOpaque) {
    const float nan = std::nanf("");
    ImageDescriptor image;
    for (int32_t kind : {IMAGE_INT_ARGB, IMAGE_INT_ARGB_PRE, IMAGE_RENDER_TARGET}) {
        image.kind = kind;
        std::unique_ptr<RowReader> reader(createRowReader(image));
        ASSERT_TRUE(reader);
        EXPECT_FALSE(reader->needsConversion(1.0f)) << kind;
        EXPECT_TRUE(reader->needsConversion(0.5f)) << kind;
        EXPECT_FALSE(reader->needsConversion(nan)) << kind;
    }
    for (int32_t kind : {IMAGE_SWT, IMAGE_INT_RGB, IMAGE_INT_BGR, IMAGE_3BYTE_BGR, IMAGE_4BYTE_ABGR,
                         IMAGE_4BYTE_ABGR_PRE, IMAGE_USHORT_565_RGB, IMAGE_USHORT_555_RGB}) {
        image.kind = kind;
        image.depth = 8;
        std::unique_ptr<RowReader> reader(createRowReader(image));
        ASSERT_TRUE(reader);
        EXPECT_TRUE(reader->needsConversion(1.0f)) << kind;
    }
}

TEST(RowReaderSelection, RowBytesCoverEveryPixelTheSourceRowCanHold) {
    ImageDescriptor image;
    image.width = 5;
    image.depth = 4;
    image.bytesPerLine = 3;  // room for 6 pixels
    std::unique_ptr<RowReader> swtReader(createRowReader(image));
    EXPECT_EQ(swtReader->rowBytes(image), 24u);
    image.depth = 24;
    image.width = 3;
    image.bytesPerLine = 10;  // 80 bits: 3 whole pixels
    EXPECT_EQ(swtReader->rowBytes(image), 12u);

    image.kind = IMAGE_3BYTE_BGR;
    image.width = 5;
    image.bytesPerLine = 16;
    std::unique_ptr<RowReader> awtReader(createRowReader(image));
    EXPECT_EQ(awtReader->rowBytes(image), 20u);
}

TEST(RowReaderSelection, ZeroWidthWritesNothing) {
    const uint8_t source[4] = {1, 2, 3, 4};
    ImageDescriptor image;
    image.data = source;
    image.height = 1;
    image.bytesPerLine = 4;
    for (int32_t kind : {0, 1, 2, 4, 5, 6, 8, 9}) {
        image.kind = kind;
        image.depth = 8;
        std::unique_ptr<RowReader> reader(createRowReader(image));
        uint8_t out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        reader->readRow(0, out, image);
        EXPECT_EQ(out[0], 0xEE) << kind;
    }
}

class RowReaderFitsMemory : public ::testing::Test {
protected:
    uint8_t byte = 0;
    ImageDescriptor image;

    void describe(int32_t kind, int32_t width, int32_t height, int32_t bytesPerLine,
                  int32_t depth = 0) {
        image.kind = kind;
        image.width = width;
        image.height = height;
        image.bytesPerLine = bytesPerLine;
        image.depth = depth;
        image.data = &byte;
    }
};

TEST_F(RowReaderFitsMemory, SwtRowsDataAndAlphaMustBeCovered) {
    describe(IMAGE_SWT, 5, 2, 3, 4);  // 20 bits: 3 bytes per row
    EXPECT_TRUE(imageFitsMemory(image, 6, -1));
    EXPECT_FALSE(imageFitsMemory(image, 5, -1));
    image.bytesPerLine = 2;
    EXPECT_FALSE(imageFitsMemory(image, 100, -1));

    image.bytesPerLine = 3;
    image.alphaData = &byte;
    EXPECT_TRUE(imageFitsMemory(image, 6, 10));
    EXPECT_FALSE(imageFitsMemory(image, 6, 9));
    EXPECT_FALSE(imageFitsMemory(image, 6, -1));

    image.alphaData = nullptr;
    for (int32_t depth : {0, -1, 3, 12, 64}) {
        image.depth = depth;
        EXPECT_FALSE(imageFitsMemory(image, 100, -1)) << depth;
    }
}

TEST_F(RowReaderFitsMemory, AwtAndRenderTargetRowsNeedTheirPixelBytes) {
    describe(IMAGE_3BYTE_BGR, 3, 1, 9);
    EXPECT_TRUE(imageFitsMemory(image, 9, -1));
    image.bytesPerLine = 8;
    EXPECT_FALSE(imageFitsMemory(image, 9, -1));
    describe(IMAGE_USHORT_565_RGB, 3, 1, 6);
    EXPECT_TRUE(imageFitsMemory(image, 6, -1));
    describe(IMAGE_INT_ARGB, 3, 1, 11);
    EXPECT_FALSE(imageFitsMemory(image, 100, -1));
    describe(IMAGE_RENDER_TARGET, 2, 2, 8);
    EXPECT_TRUE(imageFitsMemory(image, 16, -1));
    EXPECT_FALSE(imageFitsMemory(image, 15, -1));
    image.bytesPerLine = 7;
    EXPECT_FALSE(imageFitsMemory(image, 100, -1));
    describe(12, 1, 1, 4);
    EXPECT_FALSE(imageFitsMemory(image, 100, -1));
}

TEST_F(RowReaderFitsMemory, EmptyOrMissingImagesAreRejected) {
    describe(IMAGE_INT_RGB, 1, 1, 4);
    EXPECT_TRUE(imageFitsMemory(image, 4, -1));
    image.data = nullptr;
    EXPECT_FALSE(imageFitsMemory(image, 4, -1));
    describe(IMAGE_INT_RGB, 0, 1, 4);
    EXPECT_FALSE(imageFitsMemory(image, 4, -1));
    describe(IMAGE_INT_RGB, 1, 0, 4);
    EXPECT_FALSE(imageFitsMemory(image, 4, -1));
    describe(IMAGE_INT_RGB, -1, 1, 4);
    EXPECT_FALSE(imageFitsMemory(image, 4, -1));
    describe(IMAGE_INT_RGB, 1, 1, -4);
    EXPECT_FALSE(imageFitsMemory(image, 4, -1));
}

TEST_F(RowReaderFitsMemory, SizesBeyond32BitsAreRejectedWithoutOverflow) {
    const int32_t max = std::numeric_limits<int32_t>::max();
    const int64_t huge = std::numeric_limits<int64_t>::max();
    // 2^31 - 1 rows of 2^31 - 1 bytes: the 64-bit product is compared exactly.
    describe(IMAGE_INT_RGB, 1, max, max);
    EXPECT_TRUE(imageFitsMemory(image, int64_t{max} * max, -1));
    EXPECT_FALSE(imageFitsMemory(image, int64_t{max} * max - 1, -1));
    // width * 4 must fit a signed 32-bit count.
    describe(IMAGE_3BYTE_BGR, (1 << 29) - 1, 1, max);
    EXPECT_TRUE(imageFitsMemory(image, huge, -1));
    describe(IMAGE_3BYTE_BGR, 1 << 29, 1, max);
    EXPECT_FALSE(imageFitsMemory(image, huge, -1));
    describe(IMAGE_SWT, max, 1, max, 1);
    EXPECT_FALSE(imageFitsMemory(image, huge, -1));
    // The converted SWT row, (bytesPerLine * 8 / depth) * 4 bytes, must fit 32 bits.
    describe(IMAGE_SWT, 1, 1, (1 << 30) - 1, 8);
    EXPECT_TRUE(imageFitsMemory(image, huge, -1));
    describe(IMAGE_SWT, 1, 1, 1 << 30, 8);
    EXPECT_FALSE(imageFitsMemory(image, huge, -1));
    describe(IMAGE_SWT, 1, 1, 1 << 27, 1);
    EXPECT_FALSE(imageFitsMemory(image, huge, -1));
    // A large width times height of alpha data.
    describe(IMAGE_SWT, 1 << 16, 1 << 16, 1 << 16, 8);
    image.alphaData = &byte;
    EXPECT_FALSE(imageFitsMemory(image, huge, max));
    EXPECT_TRUE(imageFitsMemory(image, huge, int64_t{1} << 32));
}

}  // namespace
}  // namespace lumo
