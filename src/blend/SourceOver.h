#pragma once

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

// Source-over of one pixel (bytes b, g, r, a, premultiplied), the reference every faster path
// of it must match bit for bit.
namespace lumo::over {

// The 32-bit word whose bytes in memory are b, g, r, a.
inline uint32_t pack(unsigned b, unsigned g, unsigned r, unsigned a) {
    const agg::int8u bytes[4] = {agg::int8u(b), agg::int8u(g), agg::int8u(r), agg::int8u(a)};
    uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

inline void store(agg::int8u* p, uint32_t word) {
    std::memcpy(p, &word, 4);
}

// M[x][y] = round(x y / 255) for bytes x and y (M the multiply table), computed as
// (t + (t >> 8)) >> 8 with t = x y + 128, which equals the table for every pair. Source-over
// uses the arithmetic form so that its pixel loops vectorise, where table lookups would not.
inline unsigned product(unsigned x, unsigned y) {
    const unsigned t = x * y + 128;
    return (t + (t >> 8)) >> 8;
}

// Source-over with effective alpha e of a premultiplied contribution (cb, cg, cr): each colour
// byte x becomes M[255 - e][x] plus its share, and the alpha da becomes M[255 - e][da] + e,
// which is da + e - M[e][da] because M[e][x] + M[255 - e][x] = x for every x (the two
// products' fractions add up to 0 or 1 and are never exactly 1/2, 255 being odd). No byte
// passes 255: M[255 - e][x] <= 255 - e, and every share is at most e. At e = 0 the pixel stays
// as it is, so callers need not test for it.
inline void apply(agg::int8u* p, unsigned e, unsigned cb, unsigned cg, unsigned cr) {
    const unsigned keep = 255 - e;
    p[0] = agg::int8u(product(p[0], keep) + cb);
    p[1] = agg::int8u(product(p[1], keep) + cg);
    p[2] = agg::int8u(product(p[2], keep) + cr);
    p[3] = agg::int8u(product(p[3], keep) + e);
}

// A colour ready for source-over. At cover k a straight colour has the effective alpha
// e = M[a][k] and contributes M[e][c]; a premultiplied one contributes M[k][c], which is c
// itself at full cover, and is capped at its alpha, keeping M[k][c] within e.
template <bool Premultiplied>
struct Colour {
    unsigned r, g, b, a;
    explicit Colour(const agg::rgba8& c) : r(c.r), g(c.g), b(c.b), a(c.a) {
        if (Premultiplied) {
            r = std::min(r, a);
            g = std::min(g, a);
            b = std::min(b, a);
        }
    }
    uint32_t opaqueWord() const { return pack(b, g, r, 255); }
    // Blends at cover k and effective alpha e.
    void blend(agg::int8u* p, unsigned k, unsigned e) const {
        if (Premultiplied && k == 255) {
            apply(p, e, b, g, r);
        } else {
            const unsigned scale = Premultiplied ? k : e;
            apply(p, e, product(b, scale), product(g, scale), product(r, scale));
        }
    }
};

// One pixel at cover k.
template <bool Premultiplied>
inline void pixel(agg::int8u* p, const Colour<Premultiplied>& c, unsigned k) {
    if (c.a == 0) return;
    const unsigned e = k == 255 ? c.a : product(c.a, k);
    if (e == 255) {
        store(p, c.opaqueWord());
    } else if (e != 0) {
        c.blend(p, k, e);
    }
}

template <bool Premultiplied>
inline void colourPixel(agg::int8u* p, const agg::rgba8& colour, unsigned k) {
    pixel<Premultiplied>(p, Colour<Premultiplied>(colour), k);
}

}  // namespace lumo::over
