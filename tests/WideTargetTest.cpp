#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

// Targets may be wider than 32767 pixels, past which 16-bit scan-line
// positions and lengths would wrap. Each draw fills a rectangle of such a
// target through a route that hands its coverage over in scan-lines (a rule
// other than source-over, aliased coverage, a clip path) and must paint
// exactly that rectangle.
TEST(WideTarget, ScanLinesReachPastSixteenBitPositions) {
    constexpr int W = 40000, H = 4;
    struct Case {
        const char* name;
        int rule;
        bool antialias;
        bool clipPath;
        int x, width;
    };
    const Case cases[] = {
        {"source rule", 2, true, false, 33000, 10},
        {"source rule, aliased", 2, false, false, 33000, 10},
        {"source rule, span longer than 32767", 2, true, false, 5, W - 10},
        {"source-over under a clip path", 3, true, true, 33000, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FakeJni jni;
        test::DrawingTarget target(W, H);
        LUMO(setHint)(nullptr, nullptr, target.g, 1, c.antialias ? 1 : 0);
        LUMO(setComposite)(nullptr, nullptr, target.g, c.rule, 1.0f);
        if (c.clipPath) {
            // A slanted quadrilateral holding the rectangle with room to spare.
            const std::vector<jbyte> codes = {0, 1, 1, 1};
            const std::vector<double> xy = {32990, 0, 33030, 0, 33025, 4, 32990, 4};
            LUMO(setClip)
            (jni.env(), nullptr, target.g, 4, static_cast<jbyteArray>(jni.array(codes)),
             static_cast<jdoubleArray>(jni.array(xy)), true);
        }
        LUMO(setPaint)(nullptr, nullptr, target.g, int32_t(0xFF336699));
        LUMO(fillRect)(nullptr, nullptr, target.g, c.x, 1, c.width, 2);
        int inside = 0, outside = 0;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const bool in = x >= c.x && x < c.x + c.width && y >= 1 && y < 3;
                (in ? inside : outside) += target.at(x, y) == 0xFF336699u;
            }
        }
        EXPECT_EQ(inside, 2 * c.width);
        EXPECT_EQ(outside, 0);
    }
}

}  // namespace
}  // namespace lumo
