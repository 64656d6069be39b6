#include "core/Colour.h"
#include "core/DataBuffer.h"
#include "core/NativeImage.h"
#include "core/PixelFill.h"
#include "core/Ref.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumo {
namespace {

TEST(DataBuffer, PixelMemoryIsCreatedOnFirstUseWithTheClearColour) {
    Ref<DataBuffer> buffer(DataBuffer::create(2, 2));
    buffer->clear(rgba8FromArgb(int32_t(0x80112233)));
    EXPECT_FALSE(buffer->hasPixels());

    RowBuffer* rows = buffer->rowBuffer();
    ASSERT_TRUE(buffer->hasPixels());
    const agg::int8u* memory = rows->buf();
    ASSERT_EQ(memory, reinterpret_cast<agg::int8u*>(buffer->pixels()));
    const agg::int8u expected[4] = {0x33, 0x22, 0x11, 0x80};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(std::memcmp(memory + 4 * i, expected, 4), 0) << i;
    // Bottom row first in memory: the top row starts one row in.
    EXPECT_EQ(rows->row_ptr(0), memory + 8);
    EXPECT_EQ(rows->row_ptr(1), memory);
    EXPECT_EQ(rows->stride(), -8);
    EXPECT_EQ(buffer->rowBuffer(), rows);
}

TEST(DataBuffer, ClearRewritesExistingPixelsOrOnlyRecordsTheColour) {
    Ref<DataBuffer> buffer(DataBuffer::create(3, 2));
    buffer->clear(rgba8FromArgb(int32_t(0xFF0000FF)));
    buffer->clear(rgba8FromArgb(int32_t(0xFF00FF00)));
    EXPECT_FALSE(buffer->hasPixels());
    buffer->rowBuffer();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(buffer->pixels()[i], 0xFF00FF00u);
    buffer->clear(rgba8FromArgb(0x12345678));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(buffer->pixels()[i], 0x12345678u);
}

// Every count around the seed and copy block sizes, with values whose bytes are alike (the
// memset route) and not, leaves exactly the counted pixels set and the next one untouched.
TEST(DataBuffer, PixelFillWritesExactlyTheCountedPixels) {
    const size_t counts[] = {0,   1,    3,    63,   64,   65,   127,   128,
                             129, 4095, 4096, 4097, 8191, 8193, 12345, 70001};
    const uint32_t values[] = {0u, 0xFFFFFFFFu, 0x80808080u, 0x12345678u, 0xFF000000u, 0x000000FFu};
    for (size_t count : counts) {
        for (uint32_t value : values) {
            std::vector<uint32_t> pixels(count + 1, 0xA5A5A5A4u);
            fillPixels(pixels.data(), count, value);
            ASSERT_EQ(std::count(pixels.begin(), pixels.end() - 1, value), std::ptrdiff_t(count))
                << count << " " << value;
            ASSERT_EQ(pixels.back(), 0xA5A5A5A4u) << count << " " << value;
        }
    }
}

TEST(DataBuffer, SizesAreChecked) {
    EXPECT_EQ(DataBuffer::create(-1, 4), nullptr);
    EXPECT_EQ(DataBuffer::create(4, -1), nullptr);
    EXPECT_EQ(DataBuffer::create(70000, 70000), nullptr);
    EXPECT_EQ(DataBuffer::create(INT32_MAX, 1), nullptr);
    EXPECT_EQ(DataBuffer::create(INT32_MAX, INT32_MAX), nullptr);  // no overflow on the way
    EXPECT_TRUE(DataBuffer::validSize(16384, 16384 - 1));
    EXPECT_FALSE(DataBuffer::validSize(32768, 16384));
}

TEST(DataBuffer, EmptyBufferGetsPixelsButNoRows) {
    Ref<DataBuffer> buffer(DataBuffer::create(0, 5));
    RowBuffer* rows = buffer->rowBuffer();
    EXPECT_TRUE(buffer->hasPixels());
    EXPECT_EQ(rows->width(), 0u);
    Ref<DataBuffer> flat(DataBuffer::create(5, 0));
    EXPECT_EQ(flat->rowBuffer()->height(), 0u);
}

TEST(NativeImage, KeepsItsBufferAliveAfterJavaLetsGo) {
    DataBuffer* buffer = DataBuffer::create(4, 3);
    buffer->addRef();  // Java's reference
    buffer->clear(rgba8FromArgb(int32_t(0xFF102030)));
    NativeImage* image = NativeImage::create(buffer);
    image->addRef();
    EXPECT_EQ(image->width(), 4);
    EXPECT_EQ(image->height(), 3);
    EXPECT_FALSE(image->hasPixels());

    buffer->release();  // Java deletes the buffer first
    {
        Ref<DataBuffer> held = image->getDataBuffer();
        held->rowBuffer();
        EXPECT_TRUE(image->hasPixels());
        EXPECT_EQ(held->pixels()[11], 0xFF102030u);
    }
    image->release();  // frees the buffer too; a sanitizer build checks it
}

TEST(NativeImage, NeedsABuffer) {
    EXPECT_EQ(NativeImage::create(nullptr), nullptr);
}

}  // namespace
}  // namespace lumo
