#include "blend/BlendFunctions.h"

#include <gtest/gtest.h>

#include <array>

// The multiply table is filled by the load-time hook, before any test runs.
//
// Hand computations below write m(x, y) = (x y + 255) >> 8 and M(x, y) = round(x y / 255);
// colours are premultiplied and listed b, g, r, a like the pixel bytes.

namespace lumo {
namespace {

using Bytes = std::array<int, 4>;  // b, g, r, a

Bytes blend(CompositeRule rule, Bytes pixel, Bytes source, unsigned cover = 255) {
    agg::int8u p[4];
    for (int i = 0; i < 4; ++i) p[i] = agg::int8u(pixel[i]);
    blendFunctions[ruleIndex(rule)](p, source[2], source[1], source[0], source[3], cover);
    return {p[0], p[1], p[2], p[3]};
}

// Destination used throughout, and two sources: S1 for the Porter-Duff operators, S2 (blue
// raised) so that the branching blend modes take different branches on different channels.
constexpr Bytes D = {40, 100, 160, 200};
constexpr Bytes S1 = {30, 60, 120, 160};
constexpr Bytes S2 = {100, 60, 120, 160};

struct Case {
    CompositeRule op;
    Bytes source;
    Bytes expected;
};

TEST(BlendFunctions, TableHasOneFunctionPerOperationThenNull) {
    for (int op = 0; op < compositeRuleCount; ++op) EXPECT_NE(blendFunctions[op], nullptr) << op;
    EXPECT_EQ(blendFunctions[compositeRuleCount], nullptr);
}

TEST(BlendFunctions, PorterDuffOperatorsAtFullCover) {
    // 1 - Sa = 95, 1 - Da = 55, and Sa + Da - Sa.Da = 160 + 200 - m(160, 200) = 360 - 125 = 235.
    const Case cases[] = {
        {CompositeRule::Clear, S1, {0, 0, 0, 0}},
        {CompositeRule::Src, S1, S1},
        {CompositeRule::Dst, S1, D},
        // s + M(95, d): 30 + 15, 60 + 37 (37.25), 120 + 60 (59.6); 360 - M(160, 200) = 360 - 125.
        {CompositeRule::SrcOver, S1, {45, 97, 180, 235}},
        // d + m(s, 55): 40 + 7 (1905 >> 8), 100 + 13 (3555 >> 8), 160 + 26 (6855 >> 8).
        {CompositeRule::DstOver, S1, {47, 113, 186, 235}},
        // m(s, 200): 6255 >> 8, 12255 >> 8, 24255 >> 8; m(160, 200) = 32255 >> 8.
        {CompositeRule::SrcIn, S1, {24, 47, 94, 125}},
        // m(d, 160): 6655 >> 8, 16255 >> 8, 25855 >> 8; m(200, 160) = 125.
        {CompositeRule::DstIn, S1, {25, 63, 100, 125}},
        // m(s, 55) and m(160, 55) = 9055 >> 8.
        {CompositeRule::SrcOut, S1, {7, 13, 26, 35}},
        // m(d, 95): 4055 >> 8, 9755 >> 8, 15455 >> 8; m(200, 95) = 19255 >> 8.
        {CompositeRule::DstOut, S1, {15, 38, 60, 75}},
        // M(s, 200) + M(95, d): 24 (23.5) + 15, 47 + 37, 94 + 60; alpha Da.
        {CompositeRule::SrcAtop, S1, {39, 84, 154, 200}},
        // m(d, 160) + m(s, 55): 25 + 7, 63 + 13, 100 + 26; alpha Sa.
        {CompositeRule::DstAtop, S1, {32, 76, 126, 160}},
        // m(s, 55) + m(d, 95): 7 + 15, 13 + 38, 26 + 60; 360 - 2 m(160, 200) = 110.
        {CompositeRule::Xor, S1, {22, 51, 86, 110}},
        // 30 + 40, 60 + 100, 120 + 160 = 280 -> 255; 360 -> 255.
        {CompositeRule::Plus, S1, {70, 160, 255, 255}},
        // d - s: 10, 40, 40.
        {CompositeRule::Minus, S1, {10, 40, 40, 235}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(blend(c.op, D, c.source), c.expected) << "op " << ruleIndex(c.op);
}

TEST(BlendFunctions, BlendModesAtFullCover) {
    // With S2 = (100, 60, 120; 160) over D = (40, 100, 160; 200): Sa.Da = 32000 (m: 125), the
    // alpha is 235 throughout but for contrast, and the outside part m(s, 55) + m(d, 95) is
    // 22 + 15 = 37, 13 + 38 = 51, 26 + 60 = 86. Products m(s, d): 16, 24, 75 (4255, 6255,
    // 19455 >> 8); m(s, 200): 79, 47, 94; m(d, 160): 25, 63, 100.
    const Case cases[] = {
        // m(s, d) + outside: 16 + 37, 24 + 51, 75 + 86.
        {CompositeRule::Multiply, S2, {53, 75, 161, 235}},
        // s + d - m(s, d): 140 - 16, 160 - 24, 280 - 75.
        {CompositeRule::Screen, S2, {124, 136, 205, 235}},
        // 2d <= Da on blue (80) and green (200, the boundary): 2 m(s, d) + outside = 32 + 37,
        // 48 + 51. Red (320): m(160, 200) - 2 m(200 - 160, 160 - 120) + 86 = 125 - 14 + 86.
        {CompositeRule::Overlay, S2, {69, 99, 197, 235}},
        // All M: min(M(s, 200), M(d, 160)) + M(s, 55) + M(d, 95):
        // min(78, 25) + 22 + 15, min(47, 63) + 13 + 37, min(94, 100) + 26 + 60.
        {CompositeRule::Darken, S2, {62, 97, 180, 235}},
        // max(m(s, 200), m(d, 160)) + outside: 79 + 37, 63 + 51, 100 + 86.
        {CompositeRule::Lighten, S2, {116, 114, 186, 235}},
        // s.Da + d.Sa against 32000. Blue 26400: 40 * 160^2 / (255 * 60) = 66.9 -> 67, + 37.
        // Green 28000: 100 * 160^2 / (255 * 100) = 100.4 -> 100, + 51. Red 49600: 125 + 86.
        {CompositeRule::ColorDodge, S2, {104, 151, 211, 235}},
        // Blue and green at most 32000: outside only. Red: 160 * (49600 - 32000) / (255 * 120)
        // = 92.03 -> 92, + 86.
        {CompositeRule::ColorBurn, S2, {37, 51, 178, 235}},
        // 2s <= Sa on green only (120 <= 160): 48 + 51. Blue: 125 - 2 m(200 - 40, 160 - 100)
        // + 37 = 125 - 2 * 38 + 37. Red as overlay: 197.
        {CompositeRule::HardLight, S2, {86, 99, 197, 235}},
        // In 0..255 units, outside part exact: (s * 55 + d * 95) / 255.
        // Blue, 2s > Sa and 4d <= Da, m = 0.2, 16m^3 - 12m^2 + 3m = 0.248:
        //   (40 * 160 + 200 * 40 * 0.248) / 255 + 9300 / 255 = 32.88 + 36.47 = 69.35 -> 69.
        // Green, 2s <= Sa, m = 0.5: 100 * (160 - 40 * 0.5) / 255 + 12800 / 255 = 54.90 + 50.20
        //   = 105.10 -> 105.
        // Red, 2s > Sa and 4d > Da: (160 * 160 + 80 * (sqrt(160 * 200) - 160)) / 255
        //   + 21800 / 255 = 106.32 + 85.49 = 191.81 -> 192.
        {CompositeRule::SoftLight, S2, {69, 105, 192, 235}},
        // s + d - 2 min(M(s, 200), M(d, 160)): 140 - 50, 160 - 94, 280 - 188.
        {CompositeRule::Difference, S2, {90, 66, 92, 235}},
        // m(s, 200) + m(d, 160) - 2 m(s, d) + outside: 79 + 25 - 32 + 37, 47 + 63 - 48 + 51,
        // 94 + 100 - 150 + 86.
        {CompositeRule::Exclusion, S2, {109, 113, 130, 235}},
        // d2a = 100, s2a = 80. Blue: floor(-60 * (40 + 255) / 256) = floor(-69.1) = -70, + 100.
        // Green: 0 + 100. Red: floor(60 * (80 + 255) / 256) = 78, + 100. Alpha Da.
        {CompositeRule::Contrast, S2, {30, 100, 178, 200}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(blend(c.op, D, c.source), c.expected) << "op " << ruleIndex(c.op);
}

TEST(BlendFunctions, SoftLightUsesThePolynomialUpToAQuarter) {
    // Opaque white on opaque (33, 0, 128): the result is Dca + Da (sqrt-or-polynomial part),
    // in 0..255 units. Blue, m = 33/255 = 0.1294 (4d <= Da < 8d): 16m^3 - 12m^2 + 3m = 0.22195,
    // 33 + 56.60 = 89.60 -> 90; the square root would give 33 + (sqrt(33 * 255) - 33) = 91.7.
    // Green stays black. Red, m = 0.502: sqrt(128 * 255) = 180.67 -> 181.
    EXPECT_EQ(blend(CompositeRule::SoftLight, {33, 0, 128, 255}, {255, 255, 255, 255}),
              (Bytes{90, 0, 181, 255}));
}

TEST(BlendFunctions, MixingOperatorsBlendTheirResultWithThePixelByCover) {
    // src at cover 128: m(P, 127) + m(S1, 128) = 20 + 15, 50 + 30, 80 + 60, 100 + 80.
    EXPECT_EQ(blend(CompositeRule::Src, D, S1, 128), (Bytes{35, 80, 140, 180}));
    // dst_in with a transparent source would clear a fully covered pixel; at cover 64 three
    // quarters stay: m(P, 191) = 7895 >> 8, 19355 >> 8, 30815 >> 8, 38455 >> 8.
    EXPECT_EQ(blend(CompositeRule::DstIn, D, {0, 0, 0, 0}, 255), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(blend(CompositeRule::DstIn, D, {0, 0, 0, 0}, 64), (Bytes{30, 75, 120, 150}));
}

TEST(BlendFunctions, ScalingOperatorsScaleTheSourceByCover) {
    // src_over at cover 128: S1 becomes m(S1, 128) = (15, 30, 60; 80); then s + M(175, d):
    // 15 + 27 (27.5), 30 + 69 (68.6), 60 + 110 (109.8); 80 + 200 - M(80, 200) = 280 - 63.
    EXPECT_EQ(blend(CompositeRule::SrcOver, D, S1, 128), (Bytes{42, 99, 170, 217}));
}

TEST(BlendFunctions, ZeroCoverLeavesEveryPixelAlone) {
    // Contrast changes a pixel even for a transparent source, so zero cover must stop it.
    for (int op = 0; op < compositeRuleCount; ++op) {
        EXPECT_EQ(blend(CompositeRule(op), D, S2, 0), D) << "op " << op;
    }
}

TEST(BlendFunctions, ResultsStayPremultipliedBytes) {
    // Any source, including colours above their alpha, on any premultiplied pixel: every
    // result colour is at most its alpha.
    const int values[] = {0, 1, 51, 127, 128, 200, 254, 255};
    for (int op = 0; op < compositeRuleCount; ++op) {
        for (int s : values) {
            for (int sa : values) {
                for (int d : values) {
                    for (int da : values) {
                        if (d > da) continue;
                        const Bytes pixel = {d, da - d, d / 2, da};
                        const Bytes source = {s, 255 - s, s / 2, sa};
                        for (unsigned cover : {255u, 128u}) {
                            const Bytes out = blend(CompositeRule(op), pixel, source, cover);
                            for (int i = 0; i < 3; ++i) {
                                ASSERT_LE(out[i], out[3])
                                    << "op " << op << " s " << s << " sa " << sa << " d " << d
                                    << " da " << da << " cover " << cover << " channel " << i;
                            }
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace lumo
