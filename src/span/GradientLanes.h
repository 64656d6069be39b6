#pragma once

#include "core/Simd.h"
#include "span/FocalRadial.h"
#include "span/GradientCycles.h"
#include "span/GradientFunctions.h"

#include <agg_math.h>

#include <cstdint>

#if LUMO_SSE2

namespace lumo {

// The gradient functions and cycle rules of GradientFunctions.h and
// GradientCycles.h four pixels at a time, in SSE2 lanes, with the same
// results. Coordinates come in as the span loop's 24.8 fixed-point ints
// (below 2^30 in magnitude), positions leave as 32-bit lanes.
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

// The squares of coordinates below 2^26 (in 1/16 units) and their sum, below
// 2^53, are exact in double precision; its exponent is the highest set bit
// that AGG's table-driven root (gradient::tableSquareRoot) shifts by. The
// value scaled down by a power of four and truncated is the table index, and
// the table entry scaled by a power of two and truncated is the entry
// shifted right: both exact. Sums beyond 32 bits, whose root is computed
// otherwise, leave the lanes.
template <>
struct Lanes<gradient::Radial> {
    static constexpr bool readsY = true;
    bool position(__m128i gx, __m128i gy, __m128i* v) const {
        const __m128i x = _mm_srai_epi32(gx, 4);
        const __m128i y = _mm_srai_epi32(gy, 4);
        const __m128i xHigh = _mm_shuffle_epi32(x, _MM_SHUFFLE(3, 2, 3, 2));
        const __m128i yHigh = _mm_shuffle_epi32(y, _MM_SHUFFLE(3, 2, 3, 2));
        const __m128d x01 = _mm_cvtepi32_pd(x), x23 = _mm_cvtepi32_pd(xHigh);
        const __m128d y01 = _mm_cvtepi32_pd(y), y23 = _mm_cvtepi32_pd(yHigh);
        const __m128d s01 = _mm_add_pd(_mm_mul_pd(x01, x01), _mm_mul_pd(y01, y01));
        const __m128d s23 = _mm_add_pd(_mm_mul_pd(x23, x23), _mm_mul_pd(y23, y23));
        const __m128d limit = _mm_set1_pd(4294967295.0);
        if (_mm_movemask_pd(_mm_or_pd(_mm_cmpgt_pd(s01, limit), _mm_cmpgt_pd(s23, limit))) != 0) {
            return false;
        }
        // The high words of the four sums: their exponents, 0 standing for 1.
        const __m128d one = _mm_set1_pd(1.0);
        const __m128i high = _mm_castps_si128(_mm_shuffle_ps(_mm_castpd_ps(_mm_max_pd(s01, one)),
                                                             _mm_castpd_ps(_mm_max_pd(s23, one)),
                                                             _MM_SHUFFLE(3, 1, 3, 1)));
        // Highest bit e; the root's table takes the top 9 or 10 bits, shifted
        // down by 2b with b = max(0, ceil((e - 9) / 2)) = max(0, (e - 8) >> 1).
        const __m128i e = _mm_sub_epi32(_mm_srli_epi32(high, 20), _mm_set1_epi32(1023));
        const __m128i half = _mm_srai_epi32(_mm_sub_epi32(e, _mm_set1_epi32(8)), 1);
        const __m128i b = _mm_andnot_si128(_mm_srai_epi32(half, 31), half);
        // 4^-b as doubles: exponent field 1023 - 2b in each high word.
        const __m128i down =
            _mm_slli_epi32(_mm_sub_epi32(_mm_set1_epi32(1023), _mm_add_epi32(b, b)), 20);
        const __m128i zero = _mm_setzero_si128();
        const __m128i w01 =
            _mm_cvttpd_epi32(_mm_mul_pd(s01, _mm_castsi128_pd(_mm_unpacklo_epi32(zero, down))));
        const __m128i w23 =
            _mm_cvttpd_epi32(_mm_mul_pd(s23, _mm_castsi128_pd(_mm_unpackhi_epi32(zero, down))));
        const __m128i w = _mm_unpacklo_epi64(w01, w23);
        // Table entries (16 bits) into the low halves of the lanes.
        const agg::int16u* table = agg::g_sqrt_table;
        __m128i entries = zero;
        entries = _mm_insert_epi16(entries, table[_mm_extract_epi16(w, 0)], 0);
        entries = _mm_insert_epi16(entries, table[_mm_extract_epi16(w, 2)], 2);
        entries = _mm_insert_epi16(entries, table[_mm_extract_epi16(w, 4)], 4);
        entries = _mm_insert_epi16(entries, table[_mm_extract_epi16(w, 6)], 6);
        // Shifted right by 11 - b: times 2^(b - 11) in single precision.
        const __m128i up = _mm_slli_epi32(_mm_add_epi32(b, _mm_set1_epi32(127 - 11)), 23);
        *v = _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(entries), _mm_castsi128_ps(up)));
        return true;
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
