#include "context/Graphics.h"
#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
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

// Textured ovals drawn by one drawing object of `image` under the rectangle
// clip x1..x2 (the whole height), through a 1.5 times scaled repeating
// texture sampled by nearest neighbour: many short spans end at the clip's
// edge.
void texturedOvals(jint image, jint texture, double x1, double x2, int seed) {
    test::FakeJni jni;
    const jint g = LUMO(createGraphics)(nullptr, nullptr, image);
    LUMO(setHint)(nullptr, nullptr, g, HINT_ANTIALIAS, 1);
    std::vector<jdouble> scale = {1.5, 0, 0, 1.5, 0.25, 0.5};
    LUMO(setTexture)
    (jni.env(), nullptr, g, texture, static_cast<jdoubleArray>(jni.array(scale)), 0x0101);
    HandleRegistry::instance()
        .find<Graphics>(g, HandleKind::Graphics)
        ->setRectangleClip(x1, 0, x2, 48);
    std::mt19937 random{uint32_t(seed)};
    for (int i = 0; i < 4000; ++i) {
        const double x = std::uniform_real_distribution<double>(0, 60)(random);
        const double y = std::uniform_real_distribution<double>(-2, 44)(random);
        const double w = std::uniform_real_distribution<double>(1, 10)(random);
        const double h = std::uniform_real_distribution<double>(1, 8)(random);
        LUMO(fillOval)(nullptr, nullptr, g, x, y, w, h);
    }
    LUMO(deleteGraphics)(nullptr, nullptr, g);
}

// Two threads drawing into the two halves of one pixel buffer, through two
// targets on it (a target's scratch serves one drawing call at a time), each
// clipped to its own half, write only their own pixels: a span kernel that
// rewrote pixels past a span's end (even with the values it read) could undo
// the other thread's pixels there, which the sanitizer build reports as a
// race and a plain build may show as a lost pixel. The result is the same as
// the two drawings made one after the other.
TEST(Concurrency, ThreadsClippedToTheirOwnPartsOfOneBufferLeaveTheOthersPixels) {
    test::DrawingTarget texture(5, 7, jint(0xFF336699));
    std::mt19937 random(3);
    for (int y = 0; y < 7; ++y) {
        LUMO(setPaint)(nullptr, nullptr, texture.g, jint(random() | 0xFF000000u));
        LUMO(fillRect)(nullptr, nullptr, texture.g, int(random() % 5), y, 1 + int(random() % 4), 1);
    }
    test::DrawingTarget shared(64, 48), sequential(64, 48);
    const jint second = LUMO(createNativeImage)(nullptr, nullptr, shared.buffer);
    for (int round = 0; round < 4; ++round) {
        std::thread left([&] { texturedOvals(shared.image, texture.image, 0, 31, round); });
        std::thread right([&] { texturedOvals(second, texture.image, 31, 64, round + 100); });
        left.join();
        right.join();
        texturedOvals(sequential.image, texture.image, 0, 31, round);
        texturedOvals(sequential.image, texture.image, 31, 64, round + 100);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                ASSERT_EQ(shared.at(x, y), sequential.at(x, y)) << x << ", " << y;
            }
        }
    }
    LUMO(deleteNativeImage)(nullptr, nullptr, second);
}

}  // namespace
}  // namespace lumo
