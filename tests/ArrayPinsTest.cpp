#include "doubles/FakeJni.h"
#include "native/ArrayPins.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace lumo {
namespace {

using Event = test::FakeJni::Event;

TEST(ArrayPins, ReleasesInReverseOrderReadOnlyArraysWithAbort) {
    test::FakeJni jni;
    jarray first = jni.ints({1, 2});
    jarray second = jni.bytes({3});
    jarray third = jni.ints({4});
    {
        ArrayPins pins(jni.env());
        EXPECT_EQ(pins.pin<jint>(first)[1], 2);
        EXPECT_EQ(pins.pin<jint>(nullptr), nullptr);  // optional array: not a failure
        EXPECT_EQ(pins.pin<jbyte>(second)[0], 3);
        pins.pinForWriting<jint>(third)[0] = 40;
        EXPECT_TRUE(pins.ok());
        EXPECT_EQ(jni.pinned(), 3);
    }
    const auto& e = jni.events();
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[3].array, third);
    EXPECT_EQ(e[3].mode, 0);
    EXPECT_EQ(e[4].array, second);
    EXPECT_EQ(e[4].mode, JNI_ABORT);
    EXPECT_EQ(e[5].array, first);
    EXPECT_EQ(e[5].mode, JNI_ABORT);
    EXPECT_EQ(jni.pinned(), 0);
    EXPECT_EQ(jni.violations(), 0);
    EXPECT_EQ(jni.contents<jint>(third)[0], 40);
}

TEST(ArrayPins, WritesReachJavaWhenTheJvmHandsOutCopies) {
    test::FakeJni jni;
    jni.handOutCopies(true);
    jarray target = jni.ints({0, 0});
    jarray source = jni.ints({5, 6});
    {
        ArrayPins pins(jni.env());
        const jint* in = pins.pin<jint>(source);
        jint* out = pins.pinForWriting<jint>(target);
        out[0] = in[1];
        const_cast<jint*>(in)[0] = 99;  // a stray write to a read-only array is dropped
    }
    EXPECT_EQ(jni.contents<jint>(target), (std::vector<jint>{6, 0}));
    EXPECT_EQ(jni.contents<jint>(source), (std::vector<jint>{5, 6}));
}

TEST(ArrayPins, AFailedPinReleasesWhatWasPinnedAndSkipsTheRest) {
    test::FakeJni jni;
    jarray a = jni.ints({1});
    jarray b = jni.ints({2});
    jarray c = jni.ints({3});
    jni.failPin(2);
    {
        ArrayPins pins(jni.env());
        EXPECT_NE(pins.pin<jint>(a), nullptr);
        EXPECT_EQ(pins.pin<jint>(b), nullptr);
        EXPECT_EQ(pins.pin<jint>(c), nullptr);
        EXPECT_FALSE(pins.ok());
    }
    const auto& e = jni.events();
    ASSERT_EQ(e.size(), 3u);  // pin a, failed pin b, release a; c never asked for
    EXPECT_EQ(e[2].type, Event::Release);
    EXPECT_EQ(e[2].array, a);
    EXPECT_EQ(jni.pinned(), 0);
}

TEST(ArrayPins, LengthsAreReadWithoutPinning) {
    test::FakeJni jni;
    jarray a = jni.shorts({1, 2, 3});
    EXPECT_EQ(arrayLength(jni.env(), a), 3);
    EXPECT_EQ(arrayLength(jni.env(), nullptr), -1);
    EXPECT_TRUE(holds(jni.env(), a, 3));
    EXPECT_FALSE(holds(jni.env(), a, 4));
    EXPECT_FALSE(holds(jni.env(), a, -1));
    EXPECT_FALSE(holds(jni.env(), nullptr, 0));
    EXPECT_EQ(jni.violations(), 0);
}

TEST(ArrayPins, SmallArraysAreCopiedAndTheRestPinned) {
    test::FakeJni jni;
    jni.handOutCopies(true);
    const std::vector<jbyte> codes = {0, 1, 1, 4, 9};
    const std::vector<double> small(6, 1.5), large(ArrayPins::copyBytes / sizeof(double), 2.5);
    jarray c = jni.array(codes), s = jni.array(small), l = jni.array(large);
    jarray after = jni.ints({7, 8});
    {
        ArrayPins pins(jni.env());
        // Only the elements asked for, and never more than the array holds.
        const jbyte* readCodes = pins.read<jbyte>(c, 4, 5);
        EXPECT_EQ(std::vector<jbyte>(readCodes, readCodes + 4),
                  std::vector<jbyte>(codes.begin(), codes.begin() + 4));
        const double* readSmall = pins.read<double>(s, 1000, 6);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(readSmall) % alignof(double), 0u);
        EXPECT_EQ(std::vector<double>(readSmall, readSmall + 6), small);
        EXPECT_EQ(pins.read<double>(nullptr, 6, -1), nullptr);  // optional array
        EXPECT_EQ(jni.pinned(), 0);
        // The buffer is partly used: a full buffer's worth is pinned, and
        // so is every array after it.
        EXPECT_EQ(pins.read<double>(l, int64_t(large.size()), int64_t(large.size()))[0], 2.5);
        EXPECT_EQ(pins.read<jint>(after, 2, 2)[1], 8);
        EXPECT_EQ(jni.pinned(), 2);
        EXPECT_TRUE(pins.ok());
        // Earlier copies stay intact.
        EXPECT_EQ(readCodes[3], 4);
        EXPECT_EQ(readSmall[5], 1.5);
    }
    using Event = test::FakeJni::Event;
    std::vector<Event::Type> types;
    for (const Event& e : jni.events()) types.push_back(e.type);
    EXPECT_EQ(types, (std::vector<Event::Type>{Event::Copy, Event::Copy, Event::Pin, Event::Pin,
                                               Event::Release, Event::Release}));
    EXPECT_EQ(jni.events()[0].count, 4);
    EXPECT_EQ(jni.events()[1].count, 6);
    EXPECT_EQ(jni.copies(), 2);
    EXPECT_EQ(jni.pinned(), 0);
    EXPECT_EQ(jni.violations(), 0);
}

TEST(ArrayPins, AFullBufferOfOneArrayIsCopied) {
    test::FakeJni jni;
    const std::vector<double> full(ArrayPins::copyBytes / sizeof(double), 3.0);
    jarray a = jni.array(full);
    ArrayPins pins(jni.env());
    const double* values = pins.read<double>(a, int64_t(full.size()), int64_t(full.size()));
    EXPECT_EQ(std::vector<double>(values, values + full.size()), full);
    EXPECT_EQ(jni.copies(), 1);
    EXPECT_EQ(jni.pinned(), 0);
}

TEST(FakeJni, CopiesInsideACriticalRegionOrPastTheEndAreViolations) {
    test::FakeJni jni;
    jintArray a = jni.ints({1, 2, 3});
    jint out[4] = {};
    jni.env()->GetIntArrayRegion(a, 0, 4, out);
    EXPECT_EQ(jni.violations(), 1);
    EXPECT_EQ(out[0], 0);
    void* p = jni.env()->GetPrimitiveArrayCritical(a, nullptr);
    jni.env()->GetIntArrayRegion(a, 0, 3, out);
    jni.env()->ReleasePrimitiveArrayCritical(a, p, JNI_ABORT);
    EXPECT_EQ(jni.violations(), 2);
    EXPECT_EQ(out[2], 3);
}

}  // namespace
}  // namespace lumo
