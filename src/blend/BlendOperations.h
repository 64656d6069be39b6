#pragma once

#include "core/LookupTables.h"

#include <agg_basics.h>

#include <algorithm>
#include <cmath>

// Each operation is written for one colour channel of premultiplied values on 0..255:
// s, sa for the source colour and alpha, d, da for the destination. Products of two such
// values are rounded with mul() below, except where the table M (round(x * y / 255)) is named:
// src_over, src_atop, darken and difference use it, so that at full cover src_over gives what
// the pixel format's inline source-over gives for a premultiplied colour. Quotients round half
// up. The shared driver clamps the alpha to 0..255 and every colour to 0..alpha, which absorbs
// the one-unit overshoots that separately rounded products can produce.
//
// Each operation's blend of one pixel is Scaled<Op>::blend, Mixed<Op>::blend or
// Unchanged::blend, with the signature of a BlendFunction; the per-pixel table
// (BlendFunctions.cpp) and the span functions (BlendSpans.cpp) are made from them.
//
// Array compose (ops/ArrayCompositing.cpp) blends by the same formulas under another product
// policy: the operations it offers take their products from P, RoundedProducts (mul) when
// drawing and TableProducts (the table M) for arrays.

namespace lumo::blend {

inline const auto& M = lookupTables.multiply;

// (x * y) / 255 for 8-bit x and y, as (x * y + 255) >> 8: exact at x or y = 0 or 255, and
// otherwise the floor or the ceiling of the true quotient.
inline int mul(int x, int y) {
    return (x * y + 255) >> 8;
}

// The products of the drawing blends.
struct RoundedProducts {
    static int mul(int x, int y) { return blend::mul(x, y); }
};

// Every product from the table M (which is symmetric). The row is the second factor: the
// formulas make that the alpha, the same for a pixel's three colours.
struct TableProducts {
    static int mul(int x, int y) { return M[y][x]; }
};

// Floor of v / 256, also for negative v.
inline int floorDiv256(int v) {
    return v >= 0 ? v >> 8 : -((-v + 255) >> 8);
}

// The part of the result that neither colour covers alone: Sca(1 - Da) + Dca(1 - Sa).
template <class P = RoundedProducts>
inline int outside(int s, int sa, int d, int da) {
    return P::mul(s, 255 - da) + P::mul(d, 255 - sa);
}

// Sa + Da - Sa.Da, the alpha of dst_over, minus and the separable blend modes.
template <class P = RoundedProducts>
inline int unionAlpha(int sa, int da) {
    return sa + da - P::mul(sa, da);
}

struct Clear {
    static int colour(int, int, int, int) { return 0; }
    static int alpha(int, int) { return 0; }
};

struct Src {
    static int colour(int s, int, int, int) { return s; }
    static int alpha(int sa, int) { return sa; }
};

struct SrcOver {
    static int colour(int s, int sa, int d, int) { return s + M[255 - sa][d]; }
    static int alpha(int sa, int da) { return sa + da - M[sa][da]; }
};

struct DstOver {
    static int colour(int s, int, int d, int da) { return d + mul(s, 255 - da); }
    static int alpha(int sa, int da) { return unionAlpha(sa, da); }
};

template <class P = RoundedProducts>
struct SrcIn {
    static int colour(int s, int, int, int da) { return P::mul(s, da); }
    static int alpha(int sa, int da) { return P::mul(sa, da); }
};

struct DstIn {
    static int colour(int, int sa, int d, int) { return mul(d, sa); }
    static int alpha(int sa, int da) { return mul(da, sa); }
};

template <class P = RoundedProducts>
struct SrcOut {
    static int colour(int s, int, int, int da) { return P::mul(s, 255 - da); }
    static int alpha(int sa, int da) { return P::mul(sa, 255 - da); }
};

struct DstOut {
    static int colour(int, int sa, int d, int) { return mul(d, 255 - sa); }
    static int alpha(int sa, int da) { return mul(da, 255 - sa); }
};

struct SrcAtop {
    static int colour(int s, int sa, int d, int da) { return M[s][da] + M[255 - sa][d]; }
    static int alpha(int, int da) { return da; }
};

struct DstAtop {
    static int colour(int s, int sa, int d, int da) { return mul(d, sa) + mul(s, 255 - da); }
    static int alpha(int sa, int) { return sa; }
};

template <class P = RoundedProducts>
struct Xor {
    static int colour(int s, int sa, int d, int da) { return outside<P>(s, sa, d, da); }
    static int alpha(int sa, int da) { return sa + da - 2 * P::mul(sa, da); }
};

struct Plus {
    static int colour(int s, int, int d, int) { return std::min(s + d, 255); }
    static int alpha(int sa, int da) { return std::min(sa + da, 255); }
};

struct Minus {
    static int colour(int s, int, int d, int) { return std::max(d - s, 0); }
    static int alpha(int sa, int da) { return unionAlpha(sa, da); }
};

// The separable blend modes share the union alpha.
template <class P = RoundedProducts>
struct UnionAlpha {
    static int alpha(int sa, int da) { return unionAlpha<P>(sa, da); }
};

template <class P = RoundedProducts>
struct Multiply : UnionAlpha<P> {
    static int colour(int s, int sa, int d, int da) {
        return P::mul(s, d) + outside<P>(s, sa, d, da);
    }
};

template <class P = RoundedProducts>
struct Screen : UnionAlpha<P> {
    static int colour(int s, int, int d, int) { return s + d - P::mul(s, d); }
};

// Overlay and hard light are the same function with the roles of the colours swapped in the
// test: overlay looks at the destination, hard light at the source.
inline int hardLightTerm(bool dark, int s, int sa, int d, int da) {
    if (dark) return 2 * mul(s, d);
    return mul(sa, da) - 2 * mul(da - d, sa - s);
}

struct Overlay : UnionAlpha<> {
    static int colour(int s, int sa, int d, int da) {
        return hardLightTerm(2 * d <= da, s, sa, d, da) + outside(s, sa, d, da);
    }
};

struct HardLight : UnionAlpha<> {
    static int colour(int s, int sa, int d, int da) {
        return hardLightTerm(2 * s <= sa, s, sa, d, da) + outside(s, sa, d, da);
    }
};

struct Darken {
    static int colour(int s, int sa, int d, int da) {
        return std::min(M[s][da], M[d][sa]) + M[s][255 - da] + M[d][255 - sa];
    }
    static int alpha(int sa, int da) { return sa + da - M[sa][da]; }
};

template <class P = RoundedProducts>
struct Lighten : UnionAlpha<P> {
    static int colour(int s, int sa, int d, int da) {
        return std::max(P::mul(s, da), P::mul(d, sa)) + outside<P>(s, sa, d, da);
    }
};

struct ColorDodge : UnionAlpha<> {
    static int colour(int s, int sa, int d, int da) {
        const int rest = outside(s, sa, d, da);
        if (s * da + d * sa >= sa * da) return mul(sa, da) + rest;
        // Dca.Sa / (1 - Sca/Sa) = Dca.Sa^2 / (Sa - Sca); on the 0..255 scale that is
        // d.sa^2 / (255 (sa - s)). Here s < sa (s = sa takes the branch above), and the
        // quotient stays below sa.da / 255.
        const int divisor = 255 * (sa - s);
        return (d * sa * sa + divisor / 2) / divisor + rest;
    }
};

struct ColorBurn : UnionAlpha<> {
    static int colour(int s, int sa, int d, int da) {
        const int rest = outside(s, sa, d, da);
        const int excess = s * da + d * sa - sa * da;
        if (excess <= 0) return rest;
        // Sa (Sca.Da + Dca.Sa - Sa.Da) / Sca, on the 0..255 scale sa.excess / (255 s). A
        // positive excess = s.da - sa (da - d) needs s > 0, as d <= da.
        const int divisor = 255 * s;
        return (sa * excess + divisor / 2) / divisor + rest;
    }
};

// Soft light as a premultiplied composite of the separable soft-light function B(Cb, Cs) of
// W3C Compositing and Blending: Dca' = Sa.Da.B(Dca/Da, Sca/Sa) + Sca(1 - Da) + Dca(1 - Sa).
// With m = Dca/Da (0 when Da = 0) that is
//   2 Sca <= Sa:            Dca (Sa + (2 Sca - Sa)(1 - m))
//   2 Sca > Sa, 4 Dca <= Da: Dca.Sa + Da (2 Sca - Sa)(16 m^3 - 12 m^2 + 3 m)
//   2 Sca > Sa, 4 Dca > Da:  Dca.Sa + (2 Sca - Sa)(sqrt(Dca.Da) - Dca)
// plus Sca(1 - Da) + Dca(1 - Sa). 16 m^3 - 12 m^2 + 3 m = 4m(4m + 1)(m - 1) + 7m is
// ((16m - 12)m + 4)m - m, which meets sqrt(m) - m at m = 1/4. Computed in doubles.
struct SoftLight : UnionAlpha<> {
    static int colour(int s, int sa, int d, int da) {
        const double sc = s / 255.0, sA = sa / 255.0, dc = d / 255.0, dA = da / 255.0;
        const double m = da > 0 ? dc / dA : 0.0;
        const double light = 2 * sc - sA;
        double blended;
        if (2 * s <= sa) {
            blended = dc * (sA + light * (1 - m));
        } else if (4 * d <= da) {
            blended = dc * sA + dA * light * (((16 * m - 12) * m + 3) * m);
        } else {
            blended = dc * sA + light * (std::sqrt(dc * dA) - dc);
        }
        const double result = blended + sc * (1 - dA) + dc * (1 - sA);
        return int(std::floor(result * 255 + 0.5));
    }
};

struct Difference {
    static int colour(int s, int sa, int d, int da) {
        return s + d - 2 * std::min(M[s][da], M[d][sa]);
    }
    static int alpha(int sa, int da) { return sa + da - M[sa][da]; }
};

struct Exclusion : UnionAlpha<> {
    static int colour(int s, int sa, int d, int da) {
        return mul(s, da) + mul(d, sa) - 2 * mul(s, d) + outside(s, sa, d, da);
    }
};

// Pushes each colour away from (or towards) the middle of the destination's range by a factor
// the source sets: 1/256 for a black source, about 2 for a white one, 1 for mid grey.
struct Contrast {
    static int colour(int s, int sa, int d, int da) {
        const int d2a = da >> 1, s2a = sa >> 1;
        return floorDiv256((d - d2a) * ((s - s2a) * 2 + 255)) + d2a;
    }
    static int alpha(int, int da) { return da; }
};

inline int clampTo(int v, int high) {
    return v < 0 ? 0 : (v > high ? high : v);
}

// Composites source (r, g, b, a) with pixel p by Op and writes the four bytes to out, which may
// be p itself. Colours above their alpha, which premultiplied data should not have, are read
// as equal to it so that no formula sees a negative Sa - Sca or Da - Dca.
template <class Op>
inline void compose(agg::int8u* out, const agg::int8u* p, unsigned r, unsigned g, unsigned b,
                    unsigned a) {
    const int sa = int(std::min(a, 255u));
    const int da = p[3];
    const int source[3] = {int(std::min<unsigned>(b, sa)), int(std::min<unsigned>(g, sa)),
                           int(std::min<unsigned>(r, sa))};
    const int resultAlpha = clampTo(Op::alpha(sa, da), 255);
    for (int i = 0; i < 3; ++i) {
        const int d = std::min<int>(p[i], da);
        out[i] = agg::int8u(clampTo(Op::colour(source[i], sa, d, da), resultAlpha));
    }
    out[3] = agg::int8u(resultAlpha);
}

// Operations that scale the source by the cover, then composite.
template <class Op>
struct Scaled {
    static void blend(agg::int8u* p, unsigned r, unsigned g, unsigned b, unsigned a,
                      unsigned cover) {
        if (cover == 0) return;
        if (cover < 255) {
            r = mul(r, cover);
            g = mul(g, cover);
            b = mul(b, cover);
            a = mul(a, cover);
        }
        compose<Op>(p, p, r, g, b, a);
    }
};

// Operations that composite at full cover, then mix the result R with the old pixel P as
// P (255 - k) / 255 + R k / 255. Both products round by mul(), and their sum stays within 255
// since mul(x, 255 - k) + mul(y, k) <= mul(255, 255 - k) + mul(255, k) = 255.
template <class Op>
struct Mixed {
    static void blend(agg::int8u* p, unsigned r, unsigned g, unsigned b, unsigned a,
                      unsigned cover) {
        if (cover == 0) return;
        if (cover >= 255) {
            compose<Op>(p, p, r, g, b, a);
            return;
        }
        agg::int8u result[4];
        compose<Op>(result, p, r, g, b, a);
        const int keep = 255 - int(cover);
        for (int i = 0; i < 4; ++i) {
            p[i] = agg::int8u(mul(p[i], keep) + mul(result[i], int(cover)));
        }
    }
};

// dst: the pixel stays as it is.
struct Unchanged {
    static void blend(agg::int8u*, unsigned, unsigned, unsigned, unsigned, unsigned) {}
};

}  // namespace lumo::blend
