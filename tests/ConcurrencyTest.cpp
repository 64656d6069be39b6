#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name
#define DEVICE(name) Java_com_quarn_lumo_internal_MemoryDevice_##name

// One thread's life: create a buffer and a render target, draw on it through
// drawing objects, blit it to its own device and check it, delete in either
// order, and check that its dead handles stay dead. Returns the number of failed checks.
int churn(int seed, int rounds) {
    test::FakeJni jni;
    int failures = 0;
    const jint hdc = DEVICE(create)(nullptr, nullptr, 8, 8);
    jintArray out = jni.ints(std::vector<jint>(64));
    std::vector<jint> dead;
    for (int i = 0; i < rounds; ++i) {
        const int32_t colour = int32_t(0xFF000000u | uint32_t(seed) << 16 | uint32_t(i & 0xFFFF));
        const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 8, 8, colour);
        const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
        auto* target = HandleRegistry::instance().find<NativeImage>(image, HandleKind::NativeImage);
        if (target == nullptr) {
            ++failures;
            continue;
        }
        // Drawing objects of this thread's target: one fills, a clone strokes
        // and outlives the target by a little.
        const jint g = LUMO(createGraphics)(nullptr, nullptr, image);
        LUMO(setHint)(nullptr, nullptr, g, 1, 1);
        LUMO(setPaint)(nullptr, nullptr, g, colour);
        LUMO(fillRect)(nullptr, nullptr, g, 0, 0, 8, 8);
        const jint clone = LUMO(cloneGraphics)(nullptr, nullptr, g);
        LUMO(deleteGraphics)(nullptr, nullptr, g);
        LUMO(drawOval)(nullptr, nullptr, clone, 2, 2, 4, 4);
        LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, image, 0, 0, 8, 8, 0, 0);
        DEVICE(read)(jni.env(), nullptr, hdc, out);
        const auto pixels = jni.contents<jint>(out);
        if (pixels[0] != colour || pixels[63] != colour) ++failures;
        if (i % 2 == 0) {
            LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
            LUMO(deleteNativeImage)(nullptr, nullptr, image);
        } else {
            LUMO(deleteNativeImage)(nullptr, nullptr, image);
            LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
        }
        LUMO(fillOval)(nullptr, nullptr, clone, 0, 0, 8, 8);  // target gone: nothing
        LUMO(deleteGraphics)(nullptr, nullptr, clone);
        dead.push_back(buffer);
        dead.push_back(image);
        dead.push_back(g);
        dead.push_back(clone);
        if (dead.size() > 64) dead.erase(dead.begin(), dead.begin() + 32);
        for (jint handle : dead) {
            if (HandleRegistry::instance().find(handle, 0xFF).object != nullptr) ++failures;
        }
        LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
        LUMO(deleteDataBuffer)(nullptr, nullptr, image);
    }
    DEVICE(delete)(nullptr, nullptr, hdc);
    return failures + jni.pinned() + jni.violations();
}

TEST(Concurrency, ThreadsCreateUseAndDeleteTheirOwnObjectsAtOnce) {
    constexpr int threads = 6;
    std::atomic<int> failures{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t, &failures] { failures += churn(t + 1, 1500); });
    }
    for (auto& w : workers) w.join();
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace
}  // namespace lumo
