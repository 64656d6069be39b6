#pragma once

#include "core/Simd.h"
#include "span/FocalRadial.h"
#include "span/GradientCycles.h"
#include "span/GradientFunctions.h"
#include "span/RadialIndexTable.h"

#include <cstdint>

#if LUMO_SSE2

namespace lumo {

// The gradient functions and cycle rules of GradientFunctions.h and
// GradientCycles.h four pixels at a time, in SSE2 lanes, with the same
// results. Coordinates come in as the span loop's 24.8 fixed-point ints
// (below 2^30 in magnitude), positions leave as 32-bit lanes; the functions
// that take a root leave as keys to RadialIndexTable.h instead.
namespace lanes {

// |v| lane by lane.
inline __m128i absolute(__m128i v) {
    const __m128i sign = _mm_srai_epi32(v, 31);
    return _mm_sub_epi32(_mm_xor_si128(v, sign), sign);
}

// A gradient function as lanes: position(gx, gy) gives the positions of four
// pixels, or false where one of them does not fit 32 bits; the span loop then
// takes the scalar function for those four.
template <class Function>
struct Lanes;

template <>
struct Lanes<gradient::Linear> {
    static constexpr bool readsY = false;
    bool position(__m128i gx, __m128i, __m128i* v) const {
        *v = _mm_srai_epi32(gx, 4);
        return true;
    }
};

template <>
struct Lanes<gradient::Diamond> {
    static constexpr bool readsY = true;
    bool position(__m128i gx, __m128i gy, __m128i* v) const {
        const __m128i ax = absolute(_mm_srai_epi32(gx, 4));
        const __m128i ay = absolute(_mm_srai_epi32(gy, 4));
        const __m128i xWins = _mm_cmpgt_epi32(ax, ay);
        *v = _mm_or_si128(_mm_and_si128(xWins, ax), _mm_andnot_si128(xWins, ay));
        return true;
    }
};

// Coordinates in 1/16 units (below 2^26) as doubles, pixels 0-1 and 2-3.
struct Doubles {
    __m128d x01, x23, y01, y23;
    Doubles(__m128i x, __m128i y)
        : x01(_mm_cvtepi32_pd(x)),
          x23(_mm_cvtepi32_pd(_mm_shuffle_epi32(x, _MM_SHUFFLE(3, 2, 3, 2)))),
          y01(_mm_cvtepi32_pd(y)),
          y23(_mm_cvtepi32_pd(_mm_shuffle_epi32(y, _MM_SHUFFLE(3, 2, 3, 2)))) {}
};

// The keys of four whole numbers below 2^53 held exactly in doubles
// (radialIndex::key), or false when one is 2^32 or more.
inline bool keysOf(__m128d v01, __m128d v23, __m128i* k) {
    // The high words of the four values, shifted down to exponent and nine
    // bits, less the key offset; below 0 (the value 0) made 0.
    const __m128i high = _mm_castps_si128(
        _mm_shuffle_ps(_mm_castpd_ps(v01), _mm_castpd_ps(v23), _MM_SHUFFLE(3, 1, 3, 1)));
    const __m128i offset = _mm_sub_epi32(_mm_srli_epi32(high, 11), _mm_set1_epi32(1022 * 512));
    *k = _mm_andnot_si128(_mm_srai_epi32(offset, 31), offset);
    return _mm_movemask_epi8(_mm_cmpgt_epi32(*k, _mm_set1_epi32(radialIndex::keys - 1))) == 0;
}

// The squares of coordinates below 2^26 (in 1/16 units) and their sum, below
// 2^53, are exact in double precision, and the sum's top bits are its key to
// the index (RadialIndexTable.h). Sums from 2^32 on, whose root is computed
// otherwise, leave the lanes.
struct RadialKeys {
    bool keys(__m128i gx, __m128i gy, __m128i* k) const {
        const Doubles d(_mm_srai_epi32(gx, 4), _mm_srai_epi32(gy, 4));
        return keysOf(_mm_add_pd(_mm_mul_pd(d.x01, d.x01), _mm_mul_pd(d.y01, d.y01)),
                      _mm_add_pd(_mm_mul_pd(d.x23, d.x23), _mm_mul_pd(d.y23, d.y23)), k);
    }
};

// The root of |x| |y| (gradient::SqrtXy) by the same keys: the product,
// below 2^52, is exact too.
struct ProductKeys {
    bool keys(__m128i gx, __m128i gy, __m128i* k) const {
        const Doubles d(absolute(_mm_srai_epi32(gx, 4)), absolute(_mm_srai_epi32(gy, 4)));
        return keysOf(_mm_mul_pd(d.x01, d.y01), _mm_mul_pd(d.x23, d.y23), k);
    }
};

// |x| |y| / 4096 rounded down (gradient::Xy), as a position that fits 32
// bits and has the same table index under every cycle rule: with the exact
// product p = 2^25 t + r (0 <= r < 2^25), the position's value modulo 8192,
// r >> 12, plus 8192 when t > 0, which takes a padded index to the end of
// the table and leaves repeated and reflected ones (their period divides
// 8192) as they were.
template <>
struct Lanes<gradient::Xy> {
    static constexpr bool readsY = true;
    bool position(__m128i gx, __m128i gy, __m128i* v) const {
        const Doubles d(absolute(_mm_srai_epi32(gx, 4)), absolute(_mm_srai_epi32(gy, 4)));
        const __m128i t01 = _mm_cvttpd_epi32(_mm_mul_pd(_mm_mul_pd(d.x01, d.y01), down()));
        const __m128i t23 = _mm_cvttpd_epi32(_mm_mul_pd(_mm_mul_pd(d.x23, d.y23), down()));
        const __m128i r01 = _mm_cvttpd_epi32(remainder(_mm_mul_pd(d.x01, d.y01), t01));
        const __m128i r23 = _mm_cvttpd_epi32(remainder(_mm_mul_pd(d.x23, d.y23), t23));
        const __m128i t = _mm_unpacklo_epi64(t01, t23);
        const __m128i r = _mm_unpacklo_epi64(r01, r23);
        const __m128i beyond = _mm_cmpgt_epi32(t, _mm_setzero_si128());
        *v = _mm_or_si128(_mm_srli_epi32(r, 12), _mm_and_si128(beyond, _mm_set1_epi32(8192)));
        return true;
    }

private:
    static __m128d down() { return _mm_set1_pd(1.0 / 33554432.0); }
    // p - 2^25 t, exact.
    static __m128d remainder(__m128d p, __m128i t) {
        return _mm_sub_pd(p, _mm_mul_pd(_mm_cvtepi32_pd(t), _mm_set1_pd(33554432.0)));
    }
};

// The focal function's double-precision steps two lanes at a time, each
// operation the scalar one (FocalRadial::operator()). The position is never
// negative, so truncation is its floor; positions from 2^31 on leave the lanes.
class FocalLanes {
public:
    explicit FocalLanes(const FocalRadial& f)
        : r_(_mm_set1_pd(f.radius())),
          fx_(_mm_set1_pd(f.focusX())),
          fy_(_mm_set1_pd(f.focusY())),
          gap_(_mm_set1_pd(f.gap())),
          none_(f.radius() == 0.0) {}

    static constexpr bool readsY = true;
    bool position(__m128i gx, __m128i gy, __m128i* v) const {
        if (none_) {
            *v = _mm_setzero_si128();
            return true;
        }
        const __m128i x = _mm_srai_epi32(gx, 4);
        const __m128i y = _mm_srai_epi32(gy, 4);
        const __m128d q01 = pair(_mm_cvtepi32_pd(x), _mm_cvtepi32_pd(y));
        const __m128d q23 = pair(_mm_cvtepi32_pd(_mm_shuffle_epi32(x, _MM_SHUFFLE(3, 2, 3, 2))),
                                 _mm_cvtepi32_pd(_mm_shuffle_epi32(y, _MM_SHUFFLE(3, 2, 3, 2))));
        const __m128d limit = _mm_set1_pd(2147483648.0);
        if (_mm_movemask_pd(_mm_or_pd(_mm_cmpge_pd(q01, limit), _mm_cmpge_pd(q23, limit))) != 0) {
            return false;
        }
        *v = _mm_unpacklo_epi64(_mm_cvttpd_epi32(q01), _mm_cvttpd_epi32(q23));
        return true;
    }

private:
    // The position plus one half for two pixels.
    __m128d pair(__m128d x, __m128d y) const {
        const __m128d dx = _mm_sub_pd(x, fx_);
        const __m128d dy = _mm_sub_pd(y, fy_);
        const __m128d dot = _mm_add_pd(_mm_mul_pd(fx_, dx), _mm_mul_pd(fy_, dy));
        const __m128d root = _mm_sqrt_pd(
            _mm_add_pd(_mm_mul_pd(dot, dot),
                       _mm_mul_pd(gap_, _mm_add_pd(_mm_mul_pd(dx, dx), _mm_mul_pd(dy, dy)))));
        const __m128d position = _mm_div_pd(_mm_mul_pd(r_, _mm_add_pd(dot, root)), gap_);
        return _mm_add_pd(position, _mm_set1_pd(0.5));
    }

    __m128d r_, fx_, fy_, gap_;
    bool none_;
};

// A cycle rule as lanes: the table indices of four positions (Pad leaves
// them to packIndices to limit).
template <class Cycle>
struct CycleLanes;

template <>
struct CycleLanes<cycle::Pad> {
    static __m128i index(__m128i v) { return _mm_srai_epi32(v, 4); }
};

// One less below 0: the sign (0 or -1) added.
template <>
struct CycleLanes<cycle::Repeat> {
    static __m128i index(__m128i v) {
        const __m128i c = _mm_add_epi32(_mm_srai_epi32(v, 4), _mm_srai_epi32(v, 31));
        return _mm_and_si128(c, _mm_set1_epi32(255));
    }
};

// a = |c| mod 512 (c negated below 0); 511 - a from 256 on is a with its low
// eight bits inverted.
template <>
struct CycleLanes<cycle::Reflect> {
    static __m128i index(__m128i v) {
        const __m128i sign = _mm_srai_epi32(v, 31);
        const __m128i c = _mm_srai_epi32(v, 4);
        const __m128i a =
            _mm_and_si128(_mm_sub_epi32(_mm_xor_si128(c, sign), sign), _mm_set1_epi32(511));
        const __m128i upper = _mm_sub_epi32(_mm_setzero_si128(), _mm_srli_epi32(a, 8));
        return _mm_and_si128(_mm_xor_si128(a, upper), _mm_set1_epi32(255));
    }
};

// Four indices, limited to 0..255 (which leaves those in range alone), as the
// bytes of a word, the first pixel's lowest.
inline uint32_t packIndices(__m128i index) {
    const __m128i sixteen = _mm_packs_epi32(index, index);
    return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(sixteen, sixteen)));
}

}  // namespace lanes

}  // namespace lumo

#endif
