#include "blend/CompositePixelFormat.h"

#include "core/LookupTables.h"
#include "doubles/PixelCanvas.h"

#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

// The multiply table is filled by the load-time hook, before any test runs.
//
// Pixels are words 0xAARRGGBB. Hand computations write M(x, y) = round(x y / 255) and list
// channels b, g, r, a. Every test starts from the premultiplied pixel
// D = 0xC8A06428: b 40, g 100, r 160, a 200.

namespace lumo {
namespace {

constexpr uint32_t D = 0xC8A06428;

struct Canvas : PixelCanvas {
    Canvas(int width, int height, uint32_t fill = D) : PixelCanvas(width, height, fill) {}
};

// Straight (50, 100, 200; 128) as b, g, r, a, and the same colour premultiplied:
// M(128, 50) = 25, M(128, 100) = 50, M(128, 200) = 100.
const agg::rgba8 straightColour(200, 100, 50, 128);
const agg::rgba8 premultipliedColour(100, 50, 25, 128);

// Source-over of that colour on D at full cover (e = 128): M(127, d) + M(128, c) =
// 20 + 25, 50 + 50, 80 + 100; alpha 200 + 128 - M(128, 200) = 328 - 100 = 228.
constexpr uint32_t overFull = 0xE4B4642D;
// At cover 128: e = M(128, 128) = 64 (64.25); M(191, d) + M(64, c) = 30 + 13, 75 + 25,
// 120 + 50; alpha 200 + 64 - M(64, 200) = 264 - 50 = 214.
constexpr uint32_t overHalf = 0xD6AA642B;

TEST(CompositePixelFormat, SourceOverAgreesOnEveryEntryPoint) {
    // The premultiplied colour gives the same words: at full cover c + M(127, d) = 25 + 20,
    // 50 + 50, 100 + 80; at cover 128 M(191, d) + M(128, c) = 30 + 13, 75 + 25, 120 + 50.
    // Premultiplying it again would give M(128, 25) = 13 instead of 25.
    for (bool premultiplied : {false, true}) {
        const agg::rgba8 colour = premultiplied ? premultipliedColour : straightColour;
        Canvas canvas(4, 3);
        CompositePixelFormat pixels(canvas.rows(), CompositeRule::SrcOver, premultiplied);
        const agg::int8u covers[3] = {255, 128, 0};
        pixels.blend_pixel(0, 0, colour, 255);
        pixels.blend_pixel(1, 0, colour, 128);
        pixels.blend_hline(0, 1, 2, colour, 255);
        pixels.blend_hline(2, 1, 2, colour, 128);
        pixels.blend_solid_hspan(0, 2, 3, colour, covers);
        pixels.blend_solid_vspan(3, 0, 1, colour, covers + 1);
        EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>{overFull, overHalf, D, overHalf}));
        EXPECT_EQ(canvas.row(1), (std::vector<uint32_t>{overFull, overFull, overHalf, overHalf}));
        EXPECT_EQ(canvas.row(2), (std::vector<uint32_t>{overFull, overHalf, D, D}))
            << "premultiplied " << premultiplied;
    }
}

// Source-over of colour bytes (b, g, r, a) at cover k onto pixel bytes d, straight from the
// table: the reference the inline arithmetic must match exactly.
std::array<int, 4> overByTable(std::array<int, 4> d, std::array<int, 4> c, int k,
                               bool premultiplied) {
    const auto& M = lookupTables.multiply;
    const int a = c[3];
    if (a == 0) return d;
    const int e = k == 255 ? a : M[a][k];
    if (e == 255) return {c[0], c[1], c[2], 255};
    if (e == 0) return d;
    for (int i = 0; i < 3; ++i) d[i] = M[255 - e][d[i]] + (premultiplied ? M[k][c[i]] : M[e][c[i]]);
    d[3] = d[3] + e - M[e][d[3]];
    return d;
}

std::array<int, 4> bytesOf(uint32_t word) {
    return {int(word & 0xFF), int((word >> 8) & 0xFF), int((word >> 16) & 0xFF), int(word >> 24)};
}

TEST(CompositePixelFormat, SourceOverMatchesTheTableForEveryAlphaAndCover) {
    agg::int8u covers[256];
    for (int k = 0; k < 256; ++k) covers[k] = agg::int8u(k);
    for (uint32_t destination : {D, 0x7F7F3F00u}) {
        for (bool premultiplied : {false, true}) {
            for (int a = 0; a < 256; ++a) {
                // Premultiplied colours stay within their alpha.
                const std::array<int, 4> c = premultiplied ? std::array<int, 4>{a / 3, a, a / 2, a}
                                                           : std::array<int, 4>{85, 255, 128, a};
                const agg::rgba8 colour(c[2], c[1], c[0], c[3]);
                Canvas canvas(256, 3, destination);
                CompositePixelFormat pixels(canvas.rows(), CompositeRule::SrcOver, premultiplied);
                pixels.blend_solid_hspan(0, 0, 256, colour, covers);
                for (int k = 0; k < 256; ++k) pixels.blend_hline(k, 1, 1, colour, agg::int8u(k));
                const std::vector<agg::rgba8> colours(256, colour);
                pixels.blend_color_hspan(0, 2, 256, colours.data(), covers, 0);
                for (int k = 0; k < 256; ++k) {
                    const auto expected = overByTable(bytesOf(destination), c, k, premultiplied);
                    ASSERT_EQ(bytesOf(canvas.at(k, 0)), expected)
                        << "span, a " << a << " k " << k << " premultiplied " << premultiplied;
                    ASSERT_EQ(bytesOf(canvas.at(k, 1)), expected)
                        << "line, a " << a << " k " << k << " premultiplied " << premultiplied;
                    ASSERT_EQ(bytesOf(canvas.at(k, 2)), expected)
                        << "colours, a " << a << " k " << k << " premultiplied " << premultiplied;
                }
            }
        }
    }
}

TEST(CompositePixelFormat, SourceOverSkipsTransparentAndStoresOpaque) {
    for (bool premultiplied : {false, true}) {
        Canvas canvas(4, 1);
        CompositePixelFormat pixels(canvas.rows(), CompositeRule::SrcOver, premultiplied);
        const agg::rgba8 clear(90, 90, 90, 0);
        const agg::rgba8 opaque(10, 20, 30, 255);
        const agg::int8u covers[2] = {255, 64};
        pixels.blend_hline(0, 0, 4, clear, 255);
        pixels.blend_pixel(0, 0, clear, 128);
        EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>(4, D)));
        // Opaque at full cover replaces the pixel. At cover 64, e = 64:
        // M(191, d) + M(64, c) = 30 + 8 (7.5), 75 + 5, 120 + 3 (2.5); 200 + 64 - 50 = 214.
        pixels.blend_hline(0, 0, 2, opaque, 255);
        pixels.blend_solid_hspan(2, 0, 2, opaque, covers);
        EXPECT_EQ(canvas.row(0),
                  (std::vector<uint32_t>{0xFF0A141E, 0xFF0A141E, 0xFF0A141E, 0xD67B5026}))
            << "premultiplied " << premultiplied;
    }
}

TEST(CompositePixelFormat, ColourSpansUseTheirCoversOrOneCoverForAll) {
    const agg::rgba8 colours[3] = {straightColour, straightColour, agg::rgba8(1, 2, 3, 0)};
    const agg::int8u covers[3] = {255, 128, 255};
    for (CompositeRule op : {CompositeRule::SrcOver, CompositeRule::Src}) {
        Canvas canvas(5, 2);
        CompositePixelFormat pixels(canvas.rows(), op, false);
        pixels.blend_color_hspan(1, 0, 3, colours, covers, 0);
        pixels.blend_color_hspan(1, 1, 2, colours, nullptr, 128);
        if (op == CompositeRule::SrcOver) {
            EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>{D, overFull, overHalf, D, D}));
            EXPECT_EQ(canvas.row(1), (std::vector<uint32_t>{D, overHalf, overHalf, D, D}));
        } else {
            // src stores the premultiplied colour (25, 50, 100; 128) at full cover, clears with
            // the transparent one, and at cover 128 mixes (P (255 - 128) + S 128) / 255 by
            // (x y + 255) >> 8: 20 + 13, 50 + 25, 80 + 50, 100 + 64.
            const uint32_t half = 0xA4824B21;
            EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>{D, 0x80643219, half, 0, D}));
            EXPECT_EQ(canvas.row(1), (std::vector<uint32_t>{D, half, half, D, D}));
        }
    }
}

TEST(CompositePixelFormat, VerticalSpansTouchOnlyTheirColumn) {
    Canvas canvas(3, 4);
    CompositePixelFormat pixels(canvas.rows(), CompositeRule::SrcOver, false);
    const agg::rgba8 colours[2] = {straightColour, straightColour};
    const agg::int8u covers[2] = {128, 255};
    pixels.blend_color_vspan(1, 1, 2, colours, covers, 0);
    pixels.blend_vline(2, 0, 1, straightColour, 255);
    EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>{D, D, overFull}));
    EXPECT_EQ(canvas.row(1), (std::vector<uint32_t>{D, overHalf, D}));
    EXPECT_EQ(canvas.row(2), (std::vector<uint32_t>{D, overFull, D}));
    EXPECT_EQ(canvas.row(3), (std::vector<uint32_t>{D, D, D}));
}

TEST(CompositePixelFormat, OtherOperatorsGetAPremultipliedColourAndTheCover) {
    // multiply with (100, 60, 120; 160) premultiplied on D at full cover: m(s, d) + m(s, 55)
    // + m(d, 95), m(x, y) = (x y + 255) >> 8: 16 + 22 + 15, 24 + 13 + 38, 75 + 26 + 60;
    // alpha 160 + 200 - m(160, 200) = 235.
    Canvas canvas(4, 1);
    CompositePixelFormat pixels(canvas.rows(), CompositeRule::Multiply, true);
    const agg::int8u covers[3] = {255, 0, 255};
    pixels.blend_solid_hspan(1, 0, 3, agg::rgba8(120, 60, 100, 160), covers);
    EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>{D, 0xEBA14B35, D, 0xEBA14B35}));

    // src with a straight colour stores it premultiplied: (25, 50, 100; 128).
    Canvas straight(2, 1);
    CompositePixelFormat source(straight.rows(), CompositeRule::Src, false);
    source.blend_hline(0, 0, 1, straightColour, 255);
    EXPECT_EQ(straight.row(0), (std::vector<uint32_t>{0x80643219, D}));
}

TEST(CompositePixelFormat, OperationsOutOfRangeAreSourceOver) {
    for (int op : {-1, compositeRuleCount, 1000}) {
        Canvas canvas(2, 1);
        CompositePixelFormat pixels(canvas.rows(), CompositeRule(op), false);
        EXPECT_EQ(pixels.rule(), CompositeRule::SrcOver);
        pixels.blend_pixel(0, 0, straightColour, 255);
        EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>{overFull, D})) << "op " << op;
    }
}

TEST(CompositePixelFormat, CopiesStorePremultipliedColoursWhateverTheOperation) {
    Canvas canvas(4, 2);
    CompositePixelFormat pixels(canvas.rows(), CompositeRule::Dst, false);
    const agg::rgba8 colours[2] = {straightColour, agg::rgba8(10, 20, 30, 255)};
    pixels.copy_hline(1, 0, 2, straightColour);
    pixels.copy_color_hspan(2, 1, 2, colours);
    EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>{D, 0x80643219, 0x80643219, D}));
    EXPECT_EQ(canvas.row(1), (std::vector<uint32_t>{D, D, 0x80643219, 0xFF0A141E}));
    const agg::rgba8 stored = pixels.pixel(1, 0);
    EXPECT_EQ(stored.r, 100);
    EXPECT_EQ(stored.g, 50);
    EXPECT_EQ(stored.b, 25);
    EXPECT_EQ(stored.a, 128);
}

TEST(CompositePixelFormat, DrawsAntialiasedShapesThroughAgg) {
    // A rectangle from (1, 1) to (3.5, 3): pixels (1..2, 1..2) fully inside, column 3 half
    // inside (cover 128). Opaque (30, 20, 10) at cover 128: M(127, d) + M(128, c) = 20 + 15,
    // 50 + 10, 80 + 5; alpha 200 + 128 - 100 = 228.
    Canvas canvas(5, 4);
    CompositePixelFormat pixels(canvas.rows(), CompositeRule::SrcOver, false);
    agg::renderer_base<CompositePixelFormat> renderer(pixels);
    agg::rasterizer_scanline_aa<> rasterizer;
    agg::scanline_u8 scanline;
    // Wound so that the accumulated covers are positive: AGG shifts them left.
    rasterizer.move_to_d(1, 1);
    rasterizer.line_to_d(1, 3);
    rasterizer.line_to_d(3.5, 3);
    rasterizer.line_to_d(3.5, 1);
    agg::render_scanlines_aa_solid(rasterizer, scanline, renderer, agg::rgba8(10, 20, 30, 255));
    const uint32_t inside = 0xFF0A141E, edge = 0xE4553C23;
    EXPECT_EQ(canvas.row(0), (std::vector<uint32_t>(5, D)));
    for (int y : {1, 2}) {
        EXPECT_EQ(canvas.row(y), (std::vector<uint32_t>{D, inside, inside, edge, D})) << y;
    }
    EXPECT_EQ(canvas.row(3), (std::vector<uint32_t>(5, D)));
}

}  // namespace
}  // namespace lumo
