#include "paint/CompositePixelFormat.h"

#include "ops/LookupTables.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lumo {
namespace {

const auto& M = lookupTables.multiply;

// The 32-bit word whose bytes in memory are b, g, r, a.
inline uint32_t packPixel(unsigned b, unsigned g, unsigned r, unsigned a) {
    const agg::int8u bytes[4] = {agg::int8u(b), agg::int8u(g), agg::int8u(r), agg::int8u(a)};
    uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

inline void storePixel(agg::int8u* p, uint32_t word) {
    std::memcpy(p, &word, 4);
}

// M[x][y] = round(x y / 255) for bytes x and y, computed as (t + (t >> 8)) >> 8 with
// t = x y + 128, which equals the table for every pair. Source-over uses the arithmetic form
// so that its pixel loops vectorise, where table lookups would not.
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
inline void over(agg::int8u* p, unsigned e, unsigned cb, unsigned cg, unsigned cr) {
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
struct OverColour {
    unsigned r, g, b, a;
    explicit OverColour(const agg::rgba8& c) : r(c.r), g(c.g), b(c.b), a(c.a) {
        if (Premultiplied) {
            r = std::min(r, a);
            g = std::min(g, a);
            b = std::min(b, a);
        }
    }
    uint32_t opaqueWord() const { return packPixel(b, g, r, 255); }
    // Blends at cover k and effective alpha e.
    void blend(agg::int8u* p, unsigned k, unsigned e) const {
        if (Premultiplied && k == 255) {
            over(p, e, b, g, r);
        } else {
            const unsigned scale = Premultiplied ? k : e;
            over(p, e, product(b, scale), product(g, scale), product(r, scale));
        }
    }
};

// One pixel of source-over at cover k.
template <bool Premultiplied>
inline void overPixel(agg::int8u* p, const OverColour<Premultiplied>& c, unsigned k) {
    if (c.a == 0) return;
    const unsigned e = k == 255 ? c.a : product(c.a, k);
    if (e == 255) {
        storePixel(p, c.opaqueWord());
    } else if (e != 0) {
        c.blend(p, k, e);
    }
}

template <bool Premultiplied>
void overHline(agg::int8u* p, unsigned len, const agg::rgba8& colour, unsigned k) {
    const OverColour<Premultiplied> c(colour);
    const unsigned e = product(c.a, k);
    if (e == 0) return;
    if (e == 255) {
        const uint32_t word = c.opaqueWord();
        for (unsigned i = 0; i < len; ++i, p += 4) storePixel(p, word);
        return;
    }
    const unsigned scale = Premultiplied ? k : e;
    const unsigned cb = product(c.b, scale), cg = product(c.g, scale), cr = product(c.r, scale);
    for (unsigned i = 0; i < len; ++i, p += 4) over(p, e, cb, cg, cr);
}

// The antialiased-fill path: one colour, a cover per pixel, mostly 255 inside the shape.
template <bool Premultiplied>
void overSolidHspan(agg::int8u* p, unsigned len, const agg::rgba8& colour,
                    const agg::int8u* covers) {
    const OverColour<Premultiplied> c(colour);
    if (c.a == 0) return;
    if (c.a == 255) {
        // The effective alpha is the cover itself, and a straight colour and a premultiplied
        // one are the same.
        const uint32_t word = c.opaqueWord();
        for (unsigned i = 0; i < len; ++i, p += 4) {
            const unsigned k = covers[i];
            if (k == 255) {
                storePixel(p, word);
            } else {
                c.blend(p, k, k);
            }
        }
        return;
    }
    // Translucent: no pixel is stored outright, and a zero cover blends nothing, so the loop
    // has no branches.
    for (unsigned i = 0; i < len; ++i, p += 4) {
        const unsigned k = covers[i];
        c.blend(p, k, product(c.a, k));
    }
}

template <bool Premultiplied>
inline void overColourPixel(agg::int8u* p, const agg::rgba8& colour, unsigned k) {
    overPixel<Premultiplied>(p, OverColour<Premultiplied>(colour), k);
}

template <bool Premultiplied>
void overColorHspan(agg::int8u* p, unsigned len, const agg::rgba8* colors, const agg::int8u* covers,
                    unsigned cover) {
    if (covers != nullptr) {
        for (unsigned i = 0; i < len; ++i, p += 4) {
            overColourPixel<Premultiplied>(p, colors[i], covers[i]);
        }
    } else if (cover == 255) {
        // Image spans mostly: the constant cover simplifies every pixel.
        for (unsigned i = 0; i < len; ++i, p += 4)
            overColourPixel<Premultiplied>(p, colors[i], 255);
    } else {
        for (unsigned i = 0; i < len; ++i, p += 4) {
            overColourPixel<Premultiplied>(p, colors[i], cover);
        }
    }
}

}  // namespace

CompositePixelFormat::CompositePixelFormat(RowBuffer& rows, int op, bool sourcePremultiplied)
    : rows_(&rows),
      op_(op >= 0 && op < blendOperationCount ? op : blendSrcOver),
      sourcePremultiplied_(sourcePremultiplied),
      blend_(blendFunctions[op_]) {}

CompositePixelFormat::color_type CompositePixelFormat::stored(const color_type& c) const {
    const unsigned a = c.a;
    if (sourcePremultiplied_) {
        return color_type(std::min<unsigned>(c.r, a), std::min<unsigned>(c.g, a),
                          std::min<unsigned>(c.b, a), a);
    }
    const uint8_t* alphaRow = M[a];
    return color_type(alphaRow[c.r], alphaRow[c.g], alphaRow[c.b], a);
}

void CompositePixelFormat::blendOne(agg::int8u* p, const color_type& c, unsigned cover) const {
    if (op_ == blendSrcOver) {
        if (sourcePremultiplied_) {
            overColourPixel<true>(p, c, cover);
        } else {
            overColourPixel<false>(p, c, cover);
        }
        return;
    }
    const color_type s = stored(c);
    blend_(p, s.r, s.g, s.b, s.a, cover);
}

CompositePixelFormat::color_type CompositePixelFormat::pixel(int x, int y) const {
    const agg::int8u* p = at(x, y);
    return color_type(p[2], p[1], p[0], p[3]);
}

void CompositePixelFormat::copy_pixel(int x, int y, const color_type& c) {
    const color_type s = stored(c);
    storePixel(at(x, y), packPixel(s.b, s.g, s.r, s.a));
}

void CompositePixelFormat::copy_hline(int x, int y, unsigned len, const color_type& c) {
    const color_type s = stored(c);
    const uint32_t word = packPixel(s.b, s.g, s.r, s.a);
    agg::int8u* p = at(x, y);
    for (unsigned i = 0; i < len; ++i, p += 4) storePixel(p, word);
}

void CompositePixelFormat::copy_vline(int x, int y, unsigned len, const color_type& c) {
    const color_type s = stored(c);
    const uint32_t word = packPixel(s.b, s.g, s.r, s.a);
    for (unsigned i = 0; i < len; ++i) storePixel(at(x, y + int(i)), word);
}

void CompositePixelFormat::copy_color_hspan(int x, int y, unsigned len, const color_type* colors) {
    agg::int8u* p = at(x, y);
    for (unsigned i = 0; i < len; ++i, p += 4) {
        const color_type s = stored(colors[i]);
        storePixel(p, packPixel(s.b, s.g, s.r, s.a));
    }
}

void CompositePixelFormat::copy_color_vspan(int x, int y, unsigned len, const color_type* colors) {
    for (unsigned i = 0; i < len; ++i) copy_pixel(x, y + int(i), colors[i]);
}

void CompositePixelFormat::blend_pixel(int x, int y, const color_type& c, agg::int8u cover) {
    blendOne(at(x, y), c, cover);
}

void CompositePixelFormat::blend_hline(int x, int y, unsigned len, const color_type& c,
                                       agg::int8u cover) {
    agg::int8u* p = at(x, y);
    if (op_ == blendSrcOver) {
        if (sourcePremultiplied_) {
            overHline<true>(p, len, c, cover);
        } else {
            overHline<false>(p, len, c, cover);
        }
        return;
    }
    const color_type s = stored(c);
    for (unsigned i = 0; i < len; ++i, p += 4) blend_(p, s.r, s.g, s.b, s.a, cover);
}

void CompositePixelFormat::blend_vline(int x, int y, unsigned len, const color_type& c,
                                       agg::int8u cover) {
    for (unsigned i = 0; i < len; ++i) blendOne(at(x, y + int(i)), c, cover);
}

void CompositePixelFormat::blend_solid_hspan(int x, int y, unsigned len, const color_type& c,
                                             const agg::int8u* covers) {
    agg::int8u* p = at(x, y);
    if (op_ == blendSrcOver) {
        if (sourcePremultiplied_) {
            overSolidHspan<true>(p, len, c, covers);
        } else {
            overSolidHspan<false>(p, len, c, covers);
        }
        return;
    }
    const color_type s = stored(c);
    for (unsigned i = 0; i < len; ++i, p += 4) blend_(p, s.r, s.g, s.b, s.a, covers[i]);
}

void CompositePixelFormat::blend_solid_vspan(int x, int y, unsigned len, const color_type& c,
                                             const agg::int8u* covers) {
    for (unsigned i = 0; i < len; ++i) blendOne(at(x, y + int(i)), c, covers[i]);
}

void CompositePixelFormat::blend_color_hspan(int x, int y, unsigned len, const color_type* colors,
                                             const agg::int8u* covers, agg::int8u cover) {
    agg::int8u* p = at(x, y);
    if (op_ == blendSrcOver) {
        if (sourcePremultiplied_) {
            overColorHspan<true>(p, len, colors, covers, cover);
        } else {
            overColorHspan<false>(p, len, colors, covers, cover);
        }
        return;
    }
    for (unsigned i = 0; i < len; ++i, p += 4) {
        const color_type s = stored(colors[i]);
        blend_(p, s.r, s.g, s.b, s.a, covers != nullptr ? covers[i] : cover);
    }
}

void CompositePixelFormat::blend_color_vspan(int x, int y, unsigned len, const color_type* colors,
                                             const agg::int8u* covers, agg::int8u cover) {
    for (unsigned i = 0; i < len; ++i) {
        blendOne(at(x, y + int(i)), colors[i], covers != nullptr ? covers[i] : cover);
    }
}

}  // namespace lumo
