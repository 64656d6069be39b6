// Object lifetimes through the entry points: every kind created, used and
// deleted many times leaves no handle and no counted object behind, drawing
// objects outlive their targets harmlessly, and paints keep deleted sources
// alive exactly as long as they are set. Under LeakSanitizer a leak of
// anything not counted here (pixel memory, clip paths, dash arrays, weak
// control blocks, devices) fails the test as well.
#include "core/HandleRegistry.h"
#include "core/SharedObject.h"
#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name
#define DEVICE(name) Java_com_quarn_lumo_internal_MemoryDevice_##name

constexpr int cycles = 40;
constexpr jint green = jint(0xFF00FF00);
constexpr jint blue = jint(0xFF0000FF);

class Lifetime : public ::testing::Test {
protected:
    // Live handles and counted objects more than when the test started.
    int64_t extraHandles() const {
        return int64_t(HandleRegistry::instance().size()) - int64_t(handlesAtStart_);
    }
    int64_t extraObjects() const { return SharedObject::liveCount() - objectsAtStart_; }

    jdoubleArray doubles(std::vector<double> values) {
        return static_cast<jdoubleArray>(jni.array(values));
    }

    // A buffer, render target and drawing object, without the double's
    // destructor, so that tests can delete them in any order.
    struct Target {
        jint buffer, image, g;
    };
    Target makeTarget(int size, jint argb = 0) {
        Target t;
        t.buffer = LUMO(createDataBuffer)(nullptr, nullptr, size, size, argb);
        t.image = LUMO(createNativeImage)(nullptr, nullptr, t.buffer);
        t.g = LUMO(createGraphics)(nullptr, nullptr, t.image);
        EXPECT_TRUE(t.buffer != 0 && t.image != 0 && t.g != 0);
        return t;
    }
    // A uniform source whose drawing object is already gone.
    Target makeSource(jint argb) {
        Target s = makeTarget(4);
        LUMO(setPaint)(nullptr, nullptr, s.g, argb);
        LUMO(fillRect)(nullptr, nullptr, s.g, 0, 0, 4, 4);
        LUMO(deleteGraphics)(nullptr, nullptr, s.g);
        s.g = 0;
        return s;
    }
    void deleteTarget(const Target& t) {
        LUMO(deleteGraphics)(nullptr, nullptr, t.g);
        LUMO(deleteNativeImage)(nullptr, nullptr, t.image);
        LUMO(deleteDataBuffer)(nullptr, nullptr, t.buffer);
    }

    test::FakeJni jni;

private:
    const uint32_t handlesAtStart_ = HandleRegistry::instance().size();
    const int64_t objectsAtStart_ = SharedObject::liveCount();
};

bool dead(jint handle) {
    return HandleRegistry::instance().find(handle, 0xFF).object == nullptr;
}

TEST_F(Lifetime, CreateUseAndDeleteCyclesOfEveryKindLeaveNothingBehind) {
    const jintArray region = jni.ints({0, 0, 2, 2, 8, 8});
    const jdoubleArray matrix = doubles({0.8, 0.6, -0.6, 0.8, 3, 1});
    const jdoubleArray points = doubles({0, 0, 8, 4, 2, 2});
    const jintArray stops = jni.ints({0, 255});
    const jintArray colours = jni.ints({green, blue});
    const jbyteArray pathTypes = jni.bytes({0, 1, 2, 3, 4});
    const jdoubleArray pathCoords = doubles({1, 1, 7, 1, 8, 4, 7, 7, 4, 8, 1, 6});
    const jfloatArray dashes = static_cast<jfloatArray>(jni.array(std::vector<float>{2, 1, 3}));
    const jintArray deviceOut = jni.ints(std::vector<jint>(16));

    const std::vector<std::pair<std::string, std::function<void(int)>>> kinds = {
        {"data buffer",
         [&](int i) {
             const jint b = LUMO(createDataBuffer)(nullptr, nullptr, 8, 8, i);
             LUMO(setData)(jni.env(), nullptr, b, region, blue);  // makes its memory
             LUMO(deleteDataBuffer)(nullptr, nullptr, b);
         }},
        {"native image, deleted before or after its buffer",
         [&](int i) {
             const jint b = LUMO(createDataBuffer)(nullptr, nullptr, 8, 8, 0);
             const jint image = LUMO(createNativeImage)(nullptr, nullptr, b);
             const jint second = LUMO(createNativeImage)(nullptr, nullptr, b);
             EXPECT_TRUE(b != 0 && image != 0 && second != 0);
             LUMO(deleteDataBuffer)(nullptr, nullptr, i % 2 ? image : b);
             LUMO(deleteNativeImage)(nullptr, nullptr, i % 2 ? b : image);
             LUMO(deleteNativeImage)(nullptr, nullptr, second);
         }},
        {"graphics",
         [&](int) {
             const Target t = makeTarget(8);
             LUMO(fillOval)(nullptr, nullptr, t.g, 0, 0, 8, 8);
             deleteTarget(t);
         }},
        {"clone, deleted before or after its original",
         [&](int i) {
             const Target t = makeTarget(8);
             const jint copy = LUMO(cloneGraphics)(nullptr, nullptr, t.g);
             const jint copyOfCopy = LUMO(cloneGraphics)(nullptr, nullptr, copy);
             LUMO(fillRect)(nullptr, nullptr, copyOfCopy, 1, 1, 3, 3);
             if (i % 2) LUMO(deleteGraphics)(nullptr, nullptr, copy);
             deleteTarget(t);
             LUMO(deleteGraphics)(nullptr, nullptr, copy);
             LUMO(deleteGraphics)(nullptr, nullptr, copyOfCopy);
         }},
        {"device",
         [&](int) {
             const Target t = makeTarget(4, blue);
             LUMO(fillRect)(nullptr, nullptr, t.g, 0, 0, 1, 1);
             const jint hdc = DEVICE(create)(nullptr, nullptr, 4, 4);
             EXPECT_NE(hdc, 0);
             LUMO(SetDIBitsToDevice)(nullptr, nullptr, hdc, t.image, 0, 0, 4, 4, 0, 0);
             DEVICE(read)(jni.env(), nullptr, hdc, deviceOut);
             DEVICE(delete)(nullptr, nullptr, hdc);
             deleteTarget(t);
         }},
        {"gradient paints",
         [&](int i) {
             const Target t = makeTarget(8);
             for (jint kind : {1, 2, 4}) {
                 LUMO(setGradient)
                 (jni.env(), nullptr, t.g, kind, i % 3, points, stops, colours, matrix);
                 LUMO(fillRect)(nullptr, nullptr, t.g, 0, 0, 8, 8);
             }
             deleteTarget(t);
         }},
        {"texture and line-pattern paints",
         [&](int i) {
             const Target t = makeTarget(8);
             const Target source = makeSource(green);
             LUMO(setTexture)(jni.env(), nullptr, t.g, source.image, matrix, 0x0102);
             LUMO(fillRect)(nullptr, nullptr, t.g, 0, 0, 8, 8);
             LUMO(setLinePattern)(nullptr, nullptr, t.g, source.image, 1, 2, 3);
             LUMO(drawLine)(nullptr, nullptr, t.g, 0, 4, 8, 4);
             LUMO(drawImage)(jni.env(), nullptr, t.g, source.image, matrix);
             // Source or target first: whichever goes last frees the source.
             if (i % 2) deleteTarget(source);
             deleteTarget(t);
             if (i % 2 == 0) deleteTarget(source);
         }},
        {"clip paths",
         [&](int i) {
             const Target t = makeTarget(8);
             LUMO(setHint)(nullptr, nullptr, t.g, 0x4, i % 2);  // clip antialiasing
             LUMO(setClip)(jni.env(), nullptr, t.g, 5, pathTypes, pathCoords, i % 2);
             LUMO(fillRect)(nullptr, nullptr, t.g, 0, 0, 8, 8);
             const jint copy = LUMO(cloneGraphics)(nullptr, nullptr, t.g);
             LUMO(setLinePattern)(nullptr, nullptr, copy, t.image, 0, 0, 0);
             LUMO(drawLine)(nullptr, nullptr, copy, 0, 0, 8, 8);  // builds the clip mask
             LUMO(setClip)(jni.env(), nullptr, t.g, 5, pathTypes, pathCoords, true);
             LUMO(deleteGraphics)(nullptr, nullptr, copy);
             deleteTarget(t);
         }},
        {"dashed strokes and composites",
         [&](int i) {
             const Target t = makeTarget(8);
             const jint copy = LUMO(cloneGraphics)(nullptr, nullptr, t.g);
             LUMO(setStroke)(jni.env(), nullptr, t.g, 2.0f, i % 3, i % 3, 4.0f, dashes, 0.5f);
             LUMO(setComposite)(nullptr, nullptr, t.g, 1 + i % 26, 0.5f);
             LUMO(drawPath)(jni.env(), nullptr, t.g, 5, pathTypes, pathCoords, false, 0x02);
             LUMO(setStroke)(jni.env(), nullptr, copy, 3.0f, 1, 1, 4.0f, dashes, 0.0f);
             LUMO(drawOval)(nullptr, nullptr, copy, 1, 1, 6, 6);
             deleteTarget(t);
             LUMO(deleteGraphics)(nullptr, nullptr, copy);
         }},
    };

    for (const auto& [name, cycle] : kinds) {
        for (int i = 0; i < cycles; ++i) cycle(i);
        EXPECT_EQ(extraHandles(), 0) << name;
        EXPECT_EQ(extraObjects(), 0) << name;
    }
    EXPECT_EQ(jni.pinned(), 0);
}

TEST_F(Lifetime, DrawingObjectsOutliveTheirTargetAndDrawNothing) {
    // Two targets on one buffer: the second shows what the first's drawing
    // objects do once their own target is gone.
    const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, 8, 8, 0);
    const jint image = LUMO(createNativeImage)(nullptr, nullptr, buffer);
    const jint witness = LUMO(createNativeImage)(nullptr, nullptr, buffer);
    const jint g = LUMO(createGraphics)(nullptr, nullptr, image);
    const jint copy = LUMO(cloneGraphics)(nullptr, nullptr, g);
    LUMO(setPaint)(nullptr, nullptr, g, green);
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, 8, 8);
    const auto* pixels =
        HandleRegistry::instance().find<DataBuffer>(buffer, HandleKind::DataBuffer)->pixels();
    ASSERT_EQ(pixels[0], uint32_t(green));
    const int64_t objectsWithTarget = extraObjects();

    LUMO(deleteNativeImage)(nullptr, nullptr, image);
    LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
    EXPECT_EQ(extraObjects(), objectsWithTarget - 1);  // the target; the witness keeps the buffer

    // Setters still work, drawing and cloning do nothing.
    LUMO(setPaint)(nullptr, nullptr, g, blue);
    LUMO(setStroke)
    (jni.env(), nullptr, g, 2.0f, 0, 0, 4.0f,
     static_cast<jfloatArray>(jni.array(std::vector<float>{1, 1})), 0.0f);
    LUMO(setClip)(jni.env(), nullptr, g, 4, nullptr, doubles({0, 0, 4, 4}), false);
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, 8, 8);
    LUMO(drawOval)(nullptr, nullptr, copy, 0, 0, 8, 8);
    LUMO(drawImage)(jni.env(), nullptr, copy, witness, nullptr);
    EXPECT_EQ(LUMO(cloneGraphics)(nullptr, nullptr, g), 0);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(pixels[i], uint32_t(green)) << i;

    LUMO(deleteGraphics)(nullptr, nullptr, g);
    LUMO(deleteGraphics)(nullptr, nullptr, copy);
    LUMO(deleteNativeImage)(nullptr, nullptr, witness);
    EXPECT_TRUE(dead(g) && dead(copy) && dead(image) && dead(buffer) && dead(witness));
    EXPECT_EQ(extraHandles(), 0);
    EXPECT_EQ(extraObjects(), 0);
}

// The paint setters that hold a source: texture and line pattern. Each draws
// one full-width line of the source through the target's drawing object.
struct SourcePaint {
    const char* name;
    std::function<void(test::FakeJni&, jint g, jint source)> set;
    std::function<void(jint g)> draw;
};

const std::vector<SourcePaint>& sourcePaints() {
    static const std::vector<SourcePaint> paints = {
        {"texture",
         [](test::FakeJni& jni, jint g, jint source) {
             LUMO(setTexture)(jni.env(), nullptr, g, source, nullptr, 0x0101);
         },
         [](jint g) {
             LUMO(fillRect)
             (nullptr, nullptr, g, 0, 8, 16, 1);
         }},
        {"line pattern",
         [](test::FakeJni&, jint g, jint source) {
             LUMO(setLinePattern)(nullptr, nullptr, g, source, 1, 2, 3);
         },
         [](jint g) {
             LUMO(drawLine)
             (nullptr, nullptr, g, 0, 8, 16, 8);
         }},
    };
    return paints;
}

TEST_F(Lifetime, PaintsKeepADeletedSourceAliveUntilReplaced) {
    for (const SourcePaint& paint : sourcePaints()) {
        SCOPED_TRACE(paint.name);
        {
            test::DrawingTarget target(16, 16);
            const Target source = makeSource(green);
            paint.set(jni, target.g, source.image);
            const int64_t objectsWithSource = extraObjects();
            LUMO(deleteNativeImage)(nullptr, nullptr, source.image);
            LUMO(deleteDataBuffer)(nullptr, nullptr, source.buffer);
            EXPECT_TRUE(dead(source.image) && dead(source.buffer));
            EXPECT_EQ(extraObjects(), objectsWithSource);  // held by the paint

            paint.draw(target.g);
            EXPECT_EQ(target.at(5, 8), uint32_t(green));

            // A clone shares the paint: replacing it in one keeps the source.
            const jint copy = LUMO(cloneGraphics)(nullptr, nullptr, target.g);
            LUMO(setPaint)(nullptr, nullptr, target.g, blue);
            LUMO(clearDataBuffer)(nullptr, nullptr, target.buffer, 0);
            paint.draw(copy);
            EXPECT_EQ(target.at(5, 8), uint32_t(green));
            LUMO(setPaint)(nullptr, nullptr, copy, blue);
            // Source target, its buffer and the texture paint are gone; each
            // drawing object got a solid paint.
            EXPECT_EQ(extraObjects(), objectsWithSource - 1);
            LUMO(deleteGraphics)(nullptr, nullptr, copy);
        }
        EXPECT_EQ(extraHandles(), 0);
        EXPECT_EQ(extraObjects(), 0);
    }
}

TEST_F(Lifetime, DeletingTheDrawingObjectFreesTheSourceItsPaintHeld) {
    for (const SourcePaint& paint : sourcePaints()) {
        SCOPED_TRACE(paint.name);
        const Target target = makeTarget(16);
        const Target source = makeSource(green);
        paint.set(jni, target.g, source.image);
        // The target is deleted first as well: nothing but the paint is left
        // holding anything.
        LUMO(deleteDataBuffer)(nullptr, nullptr, source.buffer);
        LUMO(deleteNativeImage)(nullptr, nullptr, source.image);
        LUMO(deleteNativeImage)(nullptr, nullptr, target.image);
        LUMO(deleteDataBuffer)(nullptr, nullptr, target.buffer);
        paint.draw(target.g);  // no target: nothing
        EXPECT_GT(extraObjects(), 0);
        LUMO(deleteGraphics)(nullptr, nullptr, target.g);
        EXPECT_EQ(extraHandles(), 0);
        EXPECT_EQ(extraObjects(), 0);
    }
}

TEST_F(Lifetime, ImagesDrawFromATargetWhoseBufferHandleIsGone) {
    test::DrawingTarget target(16, 16);
    const int64_t objectsOfTarget = extraObjects();
    const Target source = makeSource(green);
    LUMO(deleteDataBuffer)(nullptr, nullptr, source.buffer);  // the image keeps it
    LUMO(drawImage)(jni.env(), nullptr, target.g, source.image, doubles({2, 0, 0, 2, 4, 4}));
    EXPECT_EQ(target.at(4, 4), uint32_t(green));
    EXPECT_EQ(target.at(11, 11), uint32_t(green));
    EXPECT_EQ(target.painted(), 64);

    LUMO(deleteNativeImage)(nullptr, nullptr, source.image);
    LUMO(clearDataBuffer)(nullptr, nullptr, target.buffer, 0);
    LUMO(drawImage)(jni.env(), nullptr, target.g, source.image, nullptr);
    EXPECT_EQ(target.painted(), 0);
    EXPECT_EQ(extraObjects(), objectsOfTarget);
}

}  // namespace
}  // namespace lumo
