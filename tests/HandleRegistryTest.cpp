#include "core/HandleRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace lumo {
namespace {

int objects[4];

TEST(HandleRegistry, FindsLiveHandlesOfTheAskedKindsOnly) {
    HandleRegistry registry;
    const int32_t buffer = registry.add(HandleKind::DataBuffer, &objects[0]);
    const int32_t image = registry.add(HandleKind::NativeImage, &objects[1]);
    ASSERT_NE(buffer, 0);
    ASSERT_NE(image, 0);
    EXPECT_NE(buffer, image);

    EXPECT_EQ(registry.find<int>(buffer, HandleKind::DataBuffer), &objects[0]);
    EXPECT_EQ(registry.find<int>(buffer, HandleKind::NativeImage), nullptr);
    const auto either = kindMask(HandleKind::DataBuffer, HandleKind::NativeImage);
    EXPECT_EQ(registry.find(image, either).object, &objects[1]);
    EXPECT_EQ(registry.find(image, either).kind, HandleKind::NativeImage);
    EXPECT_EQ(registry.size(), 2u);
}

TEST(HandleRegistry, ZeroForeignAndStaleHandlesFindNothing) {
    HandleRegistry registry;
    const uint8_t all = 0xFF;
    EXPECT_EQ(registry.find(0, all).object, nullptr);  // before any chunk exists
    const int32_t handle = registry.add(HandleKind::Graphics, &objects[2]);
    EXPECT_EQ(registry.find(0, all).object, nullptr);
    for (int32_t foreign : {1 << 30, -1, 12345, INT32_MIN, handle + 1, handle ^ (1 << 20)}) {
        EXPECT_EQ(registry.find(foreign, all).object, nullptr) << foreign;
        EXPECT_EQ(registry.remove(foreign, all).object, nullptr) << foreign;
    }
    EXPECT_EQ(registry.remove(handle, all).object, &objects[2]);
    EXPECT_EQ(registry.find(handle, all).object, nullptr);
    EXPECT_EQ(registry.remove(handle, all).object, nullptr);  // deleting twice is harmless
    EXPECT_EQ(registry.size(), 0u);
}

TEST(HandleRegistry, RemoveChecksTheKind) {
    HandleRegistry registry;
    const int32_t device = registry.add(HandleKind::Device, &objects[3]);
    EXPECT_EQ(registry.remove(device, kindMask(HandleKind::DataBuffer)).object, nullptr);
    EXPECT_EQ(registry.find<int>(device, HandleKind::Device), &objects[3]);
}

TEST(HandleRegistry, ReusedSlotsGetNewIdsThatOldHandlesDoNotMatch) {
    HandleRegistry registry;
    std::vector<int32_t> first;
    std::set<int32_t> seen;
    // Enough churn that freed slots are handed out again.
    for (uint32_t i = 0; i < HandleRegistry::reuseDelay + 10; ++i) {
        first.push_back(registry.add(HandleKind::DataBuffer, &objects[0]));
    }
    for (int32_t h : first) registry.remove(h, 0xFF);
    for (int round = 0; round < 3; ++round) {
        std::vector<int32_t> again;
        for (uint32_t i = 0; i < HandleRegistry::reuseDelay + 10; ++i) {
            const int32_t h = registry.add(HandleKind::NativeImage, &objects[1]);
            ASSERT_NE(h, 0);
            ASSERT_TRUE(seen.insert(h).second || round > 0);
            again.push_back(h);
        }
        for (int32_t old : first) ASSERT_EQ(registry.find(old, 0xFF).object, nullptr);
        for (int32_t h : again) registry.remove(h, 0xFF);
    }
    // Slots are reused rather than grown without bound.
    EXPECT_EQ(registry.size(), 0u);
}

TEST(HandleRegistry, AFullRegistryRefusesUntilASlotIsFreed) {
    auto registry = std::make_unique<HandleRegistry>();
    int32_t last = 0;
    for (uint32_t i = 1; i < HandleRegistry::maxSlots; ++i) {
        last = registry->add(HandleKind::DataBuffer, &objects[0]);
        ASSERT_NE(last, 0) << i;
    }
    EXPECT_EQ(registry->add(HandleKind::DataBuffer, &objects[0]), 0);
    registry->remove(last, 0xFF);
    // With no room to grow, a freed slot is reused at once, under a new id.
    const int32_t reused = registry->add(HandleKind::Graphics, &objects[2]);
    EXPECT_NE(reused, 0);
    EXPECT_NE(reused, last);
    EXPECT_EQ(registry->find(last, 0xFF).object, nullptr);
    EXPECT_EQ(registry->size(), HandleRegistry::maxSlots - 1);
}

TEST(HandleRegistry, RejectsNullObjectsAndTheEmptyKind) {
    HandleRegistry registry;
    EXPECT_EQ(registry.add(HandleKind::DataBuffer, nullptr), 0);
    EXPECT_EQ(registry.add(HandleKind::None, &objects[0]), 0);
}

}  // namespace
}  // namespace lumo
