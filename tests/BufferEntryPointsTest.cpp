#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

DataBuffer* bufferOf(jint handle) {
    return HandleRegistry::instance().find<DataBuffer>(handle, HandleKind::DataBuffer);
}
NativeImage* imageOf(jint handle) {
    return HandleRegistry::instance().find<NativeImage>(handle, HandleKind::NativeImage);
}

TEST(BufferEntryPoints, CreateClearDeleteNeverAllocatesPixels) {
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 4, 3, int32_t(0xFF00FF00));
    ASSERT_NE(buffer, 0);
    DataBuffer* object = bufferOf(buffer);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->referenceCount(), 1);
    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0x11223344);
    EXPECT_FALSE(object->hasPixels());
    EXPECT_EQ(object->clearColour().r, 0x22);
    object->rowBuffer();
    EXPECT_EQ(object->pixels()[0], 0x11223344u);
    LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
    EXPECT_EQ(bufferOf(buffer), nullptr);
}

TEST(BufferEntryPoints, BadSizesCreateNothing) {
    const uint32_t before = HandleRegistry::instance().size();
    EXPECT_EQ(LUMO(createDataBuffer)(nullptr, nullptr, -1, 3, 0), 0);
    EXPECT_EQ(LUMO(createDataBuffer)(nullptr, nullptr, 70000, 70000, 0), 0);
    EXPECT_EQ(HandleRegistry::instance().size(), before);
}

TEST(BufferEntryPoints, DeletingTheBufferFirstKeepsItsPixelsForTheRenderTarget) {
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 2, 2, int32_t(0xFF0000FF));
    const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
    ASSERT_NE(image, 0);
    NativeImage* target = imageOf(image);
    target->getDataBuffer()->rowBuffer();
    LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
    // The handle is gone at once; the pixels stay with the target.
    EXPECT_EQ(bufferOf(buffer), nullptr);
    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
    ASSERT_TRUE(target->hasPixels());
    EXPECT_EQ(target->getDataBuffer()->pixels()[3], 0xFF0000FFu);
    EXPECT_EQ(target->getDataBuffer()->referenceCount(), 2);  // target + the temporary
    LUMO(deleteNativeImage)(nullptr, nullptr, image);
    EXPECT_EQ(imageOf(image), nullptr);
}

TEST(BufferEntryPoints, HandlesOfTheWrongKindOrDeadHandlesDoNothing) {
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 2, 2, 0);
    const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
    EXPECT_EQ(LUMO(createNativeImage)(nullptr, nullptr, 0), 0);
    EXPECT_EQ(LUMO(createNativeImage)(nullptr, nullptr, image), 0);
    EXPECT_EQ(LUMO(createNativeImage)(nullptr, nullptr, 0x7654321), 0);
    LUMO(clearDataBuffer)(nullptr, nullptr, image, 0x12345678);  // not a buffer
    EXPECT_EQ(bufferOf(buffer)->clearColour().a, 0);

    // Either delete accepts either counted kind.
    LUMO(deleteDataBuffer)(nullptr, nullptr, image);
    EXPECT_EQ(imageOf(image), nullptr);
    LUMO(deleteNativeImage)(nullptr, nullptr, buffer);
    EXPECT_EQ(bufferOf(buffer), nullptr);
    LUMO(deleteNativeImage)(nullptr, nullptr, buffer);  // twice: harmless
    LUMO(deleteDataBuffer)(nullptr, nullptr, 0);
    EXPECT_EQ(LUMO(createNativeImage)(nullptr, nullptr, buffer), 0);
}

}  // namespace
}  // namespace lumo
