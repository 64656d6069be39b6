#include "device/MemorySurface.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

BitmapInfo header(int width, int height, int bitCount) {
    BitmapInfo info;
    info.biWidth = width;
    info.biHeight = height;
    info.biBitCount = uint16_t(bitCount);
    return info;
}

// A 3 x 3 surface and a 4 x 3 bitmap whose pixel at column c of the row with
// top-based index r is 0xA0000000 | r << 4 | c.
class MemorySurfaceBlit : public ::testing::Test {
protected:
    static uint32_t value(int row, int column) { return 0xA0000000u | row << 4 | column; }

    std::vector<uint32_t> bitmap(bool topDown) const {
        std::vector<uint32_t> bits;
        for (int i = 0; i < 3; ++i) {
            const int row = topDown ? i : 2 - i;
            for (int c = 0; c < 4; ++c) bits.push_back(value(row, c));
        }
        return bits;
    }

    uint32_t at(int x, int y) const { return surface->pixels()[y * surface->width() + x]; }

    std::unique_ptr<MemorySurface> surface = MemorySurface::create(3, 3);
};

TEST_F(MemorySurfaceBlit, SourceYIsTheLowerLeftCornerCountedFromTheBottomForBothOrientations) {
    for (bool topDown : {false, true}) {
        surface = MemorySurface::create(4, 3);
        const auto bits = bitmap(topDown);
        // Top-based rows 1 and 2 are bottom-based rows 1 and 0: ySrc = 0. Of
        // a bottom-up band GDI counts only the lines up to the rectangle's top.
        EXPECT_EQ(surface->setDIBits(0, 0, 4, 2, 0, 0, 0, 3, bits.data(),
                                     header(4, topDown ? -3 : 3, 32)),
                  topDown ? 3 : 2);
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(at(x, 0), value(1, x)) << topDown;
            EXPECT_EQ(at(x, 1), value(2, x)) << topDown;
            EXPECT_EQ(at(x, 2), 0u) << topDown;
        }
    }
}

TEST_F(MemorySurfaceBlit, ClipsToTheSurfaceAndTheBitmap) {
    const auto bits = bitmap(true);
    // Destination hangs off the top-left; source x 1.
    surface->setDIBits(-1, -1, 3, 3, 1, 0, 0, 3, bits.data(), header(4, -3, 32));
    EXPECT_EQ(at(0, 0), value(1, 2));
    EXPECT_EQ(at(1, 0), value(1, 3));
    EXPECT_EQ(at(0, 1), value(2, 2));
    EXPECT_EQ(at(2, 0), 0u);  // column 4 of the bitmap does not exist
    EXPECT_EQ(at(0, 2), 0u);

    // Source rectangle below the bitmap's bottom row: only existing rows land.
    surface = MemorySurface::create(3, 3);
    surface->setDIBits(0, 0, 1, 3, 0, -1, 0, 3, bits.data(), header(4, -3, 32));
    EXPECT_EQ(at(0, 0), value(1, 0));
    EXPECT_EQ(at(0, 1), value(2, 0));
    EXPECT_EQ(at(0, 2), 0u);
}

TEST_F(MemorySurfaceBlit, FarAwayRectanglesTouchNothing) {
    const auto bits = bitmap(true);
    const BitmapInfo info = header(4, -3, 32);
    surface->setDIBits(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, 0, 0, 0, 3, bits.data(), info);
    surface->setDIBits(INT32_MIN, 0, INT32_MAX, 3, INT32_MIN, 0, 0, 3, bits.data(), info);
    surface->setDIBits(0, 0, 3, 3, INT32_MAX, INT32_MIN, 0, 3, bits.data(), info);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(at(x, y), 0u);
    }
}

TEST_F(MemorySurfaceBlit, ScanLineBandsHoldOnlyTheirRows) {
    // Bottom-up bitmap of 3 rows; bits hold bottom-based rows 1 and 2 only.
    const auto all = bitmap(false);
    const std::vector<uint32_t> band(all.begin() + 4, all.end());
    EXPECT_EQ(surface->setDIBits(0, 0, 1, 3, 0, 0, 1, 2, band.data(), header(4, 3, 32)), 2);
    EXPECT_EQ(at(0, 0), value(0, 0));
    EXPECT_EQ(at(0, 1), value(1, 0));
    EXPECT_EQ(at(0, 2), 0u);  // bottom row not in the band
}

TEST_F(MemorySurfaceBlit, TopDownBandsAreReadFromTheirTopRowAsGdiReadsThem) {
    // Scan lines 1 .. 5 of a 3-row top-down bitmap: GDI reads only the band's
    // top 3 rows (scan lines 5, 4 and 3), from the start of `bits`.
    const auto bits = bitmap(true);
    const BitmapInfo info = header(4, -3, 32);
    EXPECT_EQ(surface->setDIBits(0, 0, 1, 3, 0, 3, 1, 5, bits.data(), info), 5);
    EXPECT_EQ(at(0, 0), value(0, 0));
    EXPECT_EQ(at(0, 2), value(2, 0));
    // Scan lines 0 .. 2 are not read then.
    surface = MemorySurface::create(3, 3);
    EXPECT_EQ(surface->setDIBits(0, 0, 1, 3, 0, 0, 1, 5, bits.data(), info), 0);
    EXPECT_EQ(at(0, 0), 0u);
    // A rectangle wholly below the band copies nothing, but a top-down band
    // still reports its lines.
    EXPECT_EQ(surface->setDIBits(0, 0, 1, 1, 0, 0, 1, 2, bits.data(), info), 2);
    EXPECT_EQ(surface->setDIBits(0, 0, 1, 1, 0, 0, 1, 2, bits.data(), header(4, 3, 32)), 0);
    EXPECT_EQ(at(0, 0), 0u);
}

TEST(MemorySurface, ConvertsTwentyFourAndSixteenBitRows) {
    auto surface = MemorySurface::create(2, 2);
    // 2 x 2 top-down, 24 bits: rows of 6 bytes padded to 8.
    const std::vector<uint8_t> rgb = {1, 2, 3, 4,  5,  6,  0xEE, 0xEE,
                                      7, 8, 9, 10, 11, 12, 0xEE, 0xEE};
    surface->setDIBits(0, 0, 2, 2, 0, 0, 0, 2, rgb.data(), header(2, -2, 24));
    EXPECT_EQ(surface->pixels()[0], 0x00030201u);
    EXPECT_EQ(surface->pixels()[1], 0x00060504u);
    EXPECT_EQ(surface->pixels()[3], 0x000C0B0Au);

    // 16 bits, 5-5-5: pure red, green, blue and white with the top bit set.
    const std::vector<uint16_t> packed = {0x7C00, 0x03E0, 0x001F, 0xFFFF};
    surface->setDIBits(0, 0, 2, 2, 0, 0, 0, 2, packed.data(), header(2, -2, 16));
    EXPECT_EQ(surface->pixels()[0], 0x00FF0000u);
    EXPECT_EQ(surface->pixels()[1], 0x0000FF00u);
    EXPECT_EQ(surface->pixels()[2], 0x000000FFu);
    EXPECT_EQ(surface->pixels()[3], 0x00FFFFFFu);
    const std::vector<uint16_t> mid = {0x4210, 0x4210, 0x4210, 0x4210};  // 16 in each channel
    surface->setDIBits(0, 0, 1, 1, 0, 0, 0, 2, mid.data(), header(2, -2, 16));
    EXPECT_EQ(surface->pixels()[0], 0x00848484u);
}

TEST(MemorySurface, RejectsWhatADeviceWouldReject) {
    auto surface = MemorySurface::create(2, 2);
    const uint32_t bits[4] = {1, 2, 3, 4};
    EXPECT_EQ(surface->setDIBits(0, 0, 2, 2, 0, 0, 0, 2, nullptr, header(2, 2, 32)), 0);
    EXPECT_EQ(surface->setDIBits(0, 0, 2, 2, 0, 0, 0, 2, bits, header(2, 2, 8)), 0);
    EXPECT_EQ(surface->setDIBits(0, 0, 2, 2, 0, 0, 0, 2, bits, header(0, 2, 32)), 0);
    EXPECT_EQ(surface->setDIBits(0, 0, 2, 2, 0, 0, 5, 2, bits, header(2, 2, 32)), 0);
    EXPECT_EQ(surface->setDIBits(0, 0, -2, 2, 0, 0, 0, 2, bits, header(2, 2, 32)), 0);
    EXPECT_EQ(surface->setDIBits(0, 0, 2, 0, 0, 0, 0, 2, bits, header(2, 2, 32)), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(surface->pixels()[i], 0u);

    EXPECT_EQ(MemorySurface::create(0, 5), nullptr);
    EXPECT_EQ(MemorySurface::create(5, -1), nullptr);
    EXPECT_EQ(MemorySurface::create(70000, 70000), nullptr);
    EXPECT_EQ(MemorySurface::create(INT32_MAX, INT32_MAX), nullptr);
}

}  // namespace
}  // namespace lumo
