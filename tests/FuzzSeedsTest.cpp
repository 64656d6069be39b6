#include "core/HandleRegistry.h"
#include "doubles/FakeJni.h"
#include "fuzz/CallPlayer.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/SeedWriter.h"
#include "fuzz/Seeds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace lumo::fuzz {
namespace {

// Numbers written by the seed writer read back as the same numbers, in
// every encoding (small, wide, raw bits), so seeds make the calls they say.
TEST(FuzzEncoding, NumbersReadBackAsWritten) {
    const int32_t ints[] = {0,
                            -32,
                            95,
                            96,
                            -33,
                            -4096,
                            61439,
                            61440,
                            -4097,
                            std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::max()};
    const double reals[] = {0.0,
                            -0.0,
                            95.0,
                            0.5,
                            -511.984375,
                            1e300,
                            1e-300,
                            std::numeric_limits<double>::infinity(),
                            3.141592653589793};
    const float singles[] = {1.0f, 0.25f, 1e-30f, 1e30f, 0.1f};
    SeedWriter w;
    for (int32_t v : ints) w.number(v);
    for (double v : reals) w.real(v);
    w.real(std::numeric_limits<double>::quiet_NaN());
    for (float v : singles) w.single(v);

    FuzzInput in(w.bytes().data(), w.bytes().size());
    for (int32_t v : ints) EXPECT_EQ(in.number(), v);
    for (double v : reals) {
        const double read = in.real();
        EXPECT_EQ(read, v);
        EXPECT_EQ(std::signbit(read), std::signbit(v)) << v;
    }
    EXPECT_TRUE(std::isnan(in.real()));
    for (float v : singles) EXPECT_EQ(in.single(), v);
    EXPECT_TRUE(in.done());
}

// Every seed decodes into the calls written (a misaligned encoding would
// read other calls and a different number of them), leaves no array pinned,
// makes no JNI call inside a critical region and deletes every handle.
TEST(FuzzSeeds, PlayAsWrittenAndCleanUp) {
    const auto seeds = seedInputs();
    ASSERT_GE(seeds.size(), 20u);
    for (const auto& seed : seeds) {
        const uint32_t handles = HandleRegistry::instance().size();
        test::FakeJni jni;
        {
            CallPlayer player(jni);
            EXPECT_EQ(player.play(seed.bytes.data(), seed.bytes.size()), seed.calls) << seed.name;
        }
        EXPECT_EQ(jni.pinned(), 0) << seed.name;
        EXPECT_EQ(jni.violations(), 0) << seed.name;
        EXPECT_EQ(HandleRegistry::instance().size(), handles) << seed.name;
    }
}

// Inputs cut short anywhere, and seeds with bytes flipped, are input the
// fuzzer starts from; each must play safely.
TEST(FuzzSeeds, CutAndFlippedSeedsPlaySafely) {
    const uint32_t handles = HandleRegistry::instance().size();
    for (const auto& seed : seedInputs()) {
        for (size_t cut = 1; cut < seed.bytes.size(); cut += 5) {
            std::vector<uint8_t> bytes(seed.bytes.begin(), seed.bytes.begin() + long(cut));
            bytes.back() ^= uint8_t(cut * 37);
            test::FakeJni jni;
            { CallPlayer(jni).play(bytes.data(), bytes.size()); }
            ASSERT_EQ(jni.pinned() + jni.violations(), 0) << seed.name << " cut at " << cut;
        }
    }
    EXPECT_EQ(HandleRegistry::instance().size(), handles);
}

}  // namespace
}  // namespace lumo::fuzz
