#include "doubles/FakeJni.h"
#include "native/ArrayPins.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lumo
