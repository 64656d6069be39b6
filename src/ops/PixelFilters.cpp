#include "ops/PixelFilters.h"

#include "core/LookupTables.h"

#include <cmath>

namespace lumo {

namespace {

// Runs `filter` on every pixel of the region, bottom row of memory first,
// left to right, replacing each word by what it returns.
template <class Filter>
void forEachPixel(uint32_t* pixels, int64_t pixelCount, PixelRegion region, Filter&& filter) {
    if (pixels == nullptr || !fitRegion(region, pixelCount)) return;
    for (int32_t j = 0; j < region.height; ++j) {
        uint32_t* p = pixels + region.rowStart(j);
        for (uint32_t* const end = p + region.width; p != end; ++p) *p = filter(*p);
    }
}

uint32_t pack(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return a << 24 | r << 16 | g << 8 | b;
}

// One output channel: the row's dot product with the inputs plus its offset,
// shifted out of 16.16 and limited to a byte. 64-bit sums cannot overflow
// even with saturated entries.
uint32_t channel(const int32_t* c, int32_t r, int32_t g, int32_t b, int32_t a) {
    const int64_t sum =
        int64_t(c[0]) * r + int64_t(c[1]) * g + int64_t(c[2]) * b + int64_t(c[3]) * a + c[4];
    const int64_t value = sum >> 16;
    return uint32_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

template <bool constantColour>
void runMatrix(uint32_t* pixels, int64_t pixelCount, const PixelRegion& region,
               const ColourMatrix& m, bool premultiplied) {
    const uint8_t* o = m.offsets;
    const uint32_t transparent = pack(o[0], o[1], o[2], o[3]);
    const uint32_t constant = pack(o[0], o[1], o[2], 0);
    forEachPixel(pixels, pixelCount, region, [&](uint32_t p) -> uint32_t {
        const int32_t a = int32_t(p >> 24);
        if (a == 0) return transparent;
        int32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if (premultiplied && a < 255) {
            const uint8_t* u = lookupTables.unpremultiply[a];
            r = u[r];
            g = u[g];
            b = u[b];
        }
        const uint32_t alpha = channel(m.rows[3], r, g, b, a);
        if (constantColour) return constant | alpha << 24;
        return pack(channel(m.rows[0], r, g, b, a), channel(m.rows[1], r, g, b, a),
                    channel(m.rows[2], r, g, b, a), alpha);
    });
}

// Entries 0..255 mapping to themselves, standing in for a missing table where
// a lookup is as good as leaving the byte alone.
struct IdentityTable {
    uint8_t values[256];
    IdentityTable() {
        for (int i = 0; i < 256; ++i) values[i] = uint8_t(i);
    }
};

const uint8_t* identityTable() {
    static const IdentityTable table;
    return table.values;
}

}  // namespace

int32_t matrixEntryToFixed(float m) {
    if ((m > -0.0002f && m < 0.0002f) || std::isnan(m)) return 0;
    const double scaled = std::round(double(m) * 65536.0);
    if (scaled >= double(INT32_MAX)) return INT32_MAX;
    if (scaled <= double(INT32_MIN)) return INT32_MIN;
    return int32_t(scaled);
}

uint8_t matrixOffsetToByte(float m) {
    if (!(m > 0)) return 0;
    if (m >= 255) return 255;
    return uint8_t(double(m) + 0.5);
}

ColourMatrix ColourMatrix::fromFloats(const float* values) {
    ColourMatrix m{};
    m.constantColour = true;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 5; ++column) {
            const int32_t entry = matrixEntryToFixed(values[row * 5 + column]);
            m.rows[row][column] = entry;
            if (row < 3 && column < 4 && entry != 0) m.constantColour = false;
        }
        m.offsets[row] = matrixOffsetToByte(values[row * 5 + 4]);
    }
    return m;
}

void filterAlpha(uint32_t* pixels, int64_t pixelCount, PixelRegion region) {
    forEachPixel(pixels, pixelCount, region, [](uint32_t p) { return p & 0xFF000000u; });
}

void colorMatrix(uint32_t* pixels, int64_t pixelCount, PixelRegion region,
                 const ColourMatrix& matrix, bool premultiplied) {
    if (matrix.constantColour) {
        runMatrix<true>(pixels, pixelCount, region, matrix, premultiplied);
    } else {
        runMatrix<false>(pixels, pixelCount, region, matrix, premultiplied);
    }
}

void applyLut(uint32_t* pixels, int64_t pixelCount, PixelRegion region, bool toSrgb,
              bool premultiplied) {
    const uint8_t* t = toSrgb ? lookupTables.linearToSrgb : lookupTables.srgbToLinear;
    forEachPixel(pixels, pixelCount, region, [&](uint32_t p) -> uint32_t {
        const uint32_t a = p >> 24;
        uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if (premultiplied && a < 255) {
            // Alpha 0 reads row 0, all zeros: the colour becomes entry 0.
            const uint8_t* u = lookupTables.unpremultiply[a];
            r = u[r];
            g = u[g];
            b = u[b];
        }
        return pack(t[r], t[g], t[b], a);
    });
}

void transColor(uint32_t* pixels, int64_t pixelCount, PixelRegion region,
                const ChannelTables& tables, bool premultiplied) {
    if (!tables.red && !tables.green && !tables.blue && !tables.alpha) return;
    if (!premultiplied) {
        const uint8_t* same = identityTable();
        const uint8_t* tr = tables.red ? tables.red : same;
        const uint8_t* tg = tables.green ? tables.green : same;
        const uint8_t* tb = tables.blue ? tables.blue : same;
        const uint8_t* ta = tables.alpha ? tables.alpha : same;
        forEachPixel(pixels, pixelCount, region, [&](uint32_t p) {
            return pack(tr[(p >> 16) & 0xFF], tg[(p >> 8) & 0xFF], tb[p & 0xFF], ta[p >> 24]);
        });
        return;
    }
    // A colour channel with a table is looked up unpremultiplied (through the
    // alpha read before any change); one without keeps its premultiplied byte.
    const uint8_t* same = identityTable();
    forEachPixel(pixels, pixelCount, region, [&](uint32_t p) {
        const uint32_t a = p >> 24;
        const uint8_t* u = a == 255 ? same : lookupTables.unpremultiply[a];
        uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if (tables.red) r = tables.red[u[r]];
        if (tables.green) g = tables.green[u[g]];
        if (tables.blue) b = tables.blue[u[b]];
        return pack(r, g, b, tables.alpha ? tables.alpha[a] : a);
    });
}

}  // namespace lumo
