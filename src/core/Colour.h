#pragma once

#include <agg_color_rgba.h>

#include <cstdint>

namespace lumo {

// Java colours are 0xAARRGGBB ints with straight alpha; AGG colours are the
// bytes r, g, b, a.
inline agg::rgba8 rgba8FromArgb(int32_t argb) {
    const uint32_t v = static_cast<uint32_t>(argb);
    return agg::rgba8((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, v >> 24);
}

// The pixel word whose little-endian bytes are b, g, r, a: 0xAARRGGBB.
inline uint32_t pixelFromRgba8(const agg::rgba8& c) {
    return (uint32_t(c.a) << 24) | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | uint32_t(c.b);
}

}  // namespace lumo
