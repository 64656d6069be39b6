#pragma once

// The gradient span loop's fixed-point steps eight pixels at a time with AVX2, for processors
// that have it (cpuHasAvx2): the linear and diamond positions and the cycle rules in 32-bit
// lanes, and the radial indices by the keys of their sums of squares, each block of eight
// indices blended source-over as it is worked out (over::avx2::indexedEight) or stored. The same
// integers as the four-lane blocks (GradientBlocks.h) and the scalar steps; GradientReferenceTest
// compares the spans with AGG's and with the portable ones.

#include "blend/IndexedOverAvx2.h"
#include "core/Simd.h"
#include "span/DdaLanes.h"
#include "span/DdaSteps.h"
#include "span/GradientCycles.h"
#include "span/GradientFunctions.h"
#include "span/GradientOutputs.h"
#include "span/RadialIndexTable.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

#if LUMO_AVX2

namespace lumo::gradientAvx2 {

// Eight consecutive values of a DdaSteps sequence that step eight places at a time: lane k
// holds the values at positions k, k + 8, k + 16 and so on (DdaLanes with twice the lanes).
struct DdaEights {
    __m256i y, mod, lift, rem, count;
};

// Lanes at the current position of `d` and the seven after it: the four lanes of DdaLanes
// and the same lanes one step of four on. Two steps of four add 2 rem' = q count + r
// (rem' below count, so q is 0 or 1, and 0 <= r < count): a step of lift'' = 2 lift' + q,
// rem'' = r, after which one carry at most follows, as after a step of four. `d.count` must
// be below 2^28.
LUMO_TARGET_AVX2 inline DdaEights ddaEights(const DdaSteps& d) {
    DdaLanes four(d);
    const __m128i y0 = four.values(), mod0 = four.remainders();
    four.next();
    DdaEights e;
    e.y = _mm256_inserti128_si256(_mm256_castsi128_si256(y0), four.values(), 1);
    e.mod = _mm256_inserti128_si256(_mm256_castsi128_si256(mod0), four.remainders(), 1);
    e.count = _mm256_set1_epi32(d.count);
    // In unsigned arithmetic: the lanes' values wrap as the scalar ones would if they did.
    const unsigned n = unsigned(d.count), twoRem = 2u * unsigned(four.fourRem());
    const unsigned q = unsigned(twoRem >= n);
    e.lift = _mm256_set1_epi32(int(2u * unsigned(four.fourLift()) + q));
    e.rem = _mm256_set1_epi32(int(twoRem - q * n));
    return e;
}

LUMO_TARGET_AVX2 inline void next(DdaEights& e) {
    e.mod = _mm256_add_epi32(e.mod, e.rem);
    e.y = _mm256_add_epi32(e.y, e.lift);
    // All ones where the remainder carries: one more, and count less.
    const __m256i carry = _mm256_cmpgt_epi32(e.mod, _mm256_setzero_si256());
    e.y = _mm256_sub_epi32(e.y, carry);
    e.mod = _mm256_sub_epi32(e.mod, _mm256_and_si256(carry, e.count));
}

// The gradient functions whose positions come out of a few integer steps.
template <class Function>
struct Positions {
    static constexpr bool built = false;
};

template <>
struct Positions<gradient::Linear> {
    static constexpr bool built = true;
    static constexpr bool readsY = false;
    LUMO_TARGET_AVX2 static __m256i of(__m256i gx, __m256i) { return _mm256_srai_epi32(gx, 4); }
};

// max(|x|, |y|): coordinates below 2^26 in magnitude.
template <>
struct Positions<gradient::Diamond> {
    static constexpr bool built = true;
    static constexpr bool readsY = true;
    LUMO_TARGET_AVX2 static __m256i of(__m256i gx, __m256i gy) {
        return _mm256_max_epi32(_mm256_abs_epi32(_mm256_srai_epi32(gx, 4)),
                                _mm256_abs_epi32(_mm256_srai_epi32(gy, 4)));
    }
};

// The cycle rules as lanes (lanes::CycleLanes), the index limited to 0..255.
template <class Cycle>
struct Indices;

template <>
struct Indices<cycle::Pad> {
    LUMO_TARGET_AVX2 static __m256i of(__m256i v) {
        const __m256i c = _mm256_srai_epi32(v, 4);
        return _mm256_min_epi32(_mm256_max_epi32(c, _mm256_setzero_si256()),
                                _mm256_set1_epi32(255));
    }
};

template <>
struct Indices<cycle::Repeat> {
    LUMO_TARGET_AVX2 static __m256i of(__m256i v) {
        const __m256i c = _mm256_add_epi32(_mm256_srai_epi32(v, 4), _mm256_srai_epi32(v, 31));
        return _mm256_and_si256(c, _mm256_set1_epi32(255));
    }
};

template <>
struct Indices<cycle::Reflect> {
    LUMO_TARGET_AVX2 static __m256i of(__m256i v) {
        const __m256i sign = _mm256_srai_epi32(v, 31);
        const __m256i c = _mm256_srai_epi32(v, 4);
        const __m256i a = _mm256_and_si256(_mm256_sub_epi32(_mm256_xor_si256(c, sign), sign),
                                           _mm256_set1_epi32(511));
        const __m256i upper = _mm256_sub_epi32(_mm256_setzero_si256(), _mm256_srli_epi32(a, 8));
        return _mm256_and_si256(_mm256_xor_si256(a, upper), _mm256_set1_epi32(255));
    }
};

// Indices 0..255 in 32-bit lanes as the bytes of a word, the first lowest.
LUMO_TARGET_AVX2 inline uint64_t packed(__m256i index) {
    const __m128i sixteen =
        _mm_packus_epi32(_mm256_castsi256_si128(index), _mm256_extracti128_si256(index, 1));
    return uint64_t(_mm_cvtsi128_si64(_mm_packus_epi16(sixteen, sixteen)));
}

// The radial gradient's table indices of eight pixels by the keys of their sums of squares
// (lanes::RadialKeys with twice the lanes): the squares of coordinates below 2^26 and their sum
// are exact in double precision, and the high word of the sum, shifted down to its exponent and
// nine bits, less the key offset, is its key (below 0, the sum 0, made 0). False when a sum is
// 2^32 or more, whose root is computed otherwise.
LUMO_TARGET_AVX2 inline __m256d sumOfSquares(__m128i x, __m128i y) {
    const __m256d dx = _mm256_cvtepi32_pd(x), dy = _mm256_cvtepi32_pd(y);
    return _mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy));
}

LUMO_TARGET_AVX2 inline bool radialKeys(__m256i gx, __m256i gy, __m256i* keys) {
    const __m256i x = _mm256_srai_epi32(gx, 4), y = _mm256_srai_epi32(gy, 4);
    const __m256d low = sumOfSquares(_mm256_castsi256_si128(x), _mm256_castsi256_si128(y));
    const __m256d high =
        sumOfSquares(_mm256_extracti128_si256(x, 1), _mm256_extracti128_si256(y, 1));
    // The high words of the eight sums: pixels 0, 1, 4, 5 in the low half and 2, 3, 6, 7 in
    // the high one, put in order.
    const __m256i words = _mm256_permute4x64_epi64(
        _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castpd_ps(low), _mm256_castpd_ps(high),
                                              _MM_SHUFFLE(3, 1, 3, 1))),
        _MM_SHUFFLE(3, 1, 2, 0));
    *keys = _mm256_max_epi32(
        _mm256_sub_epi32(_mm256_srli_epi32(words, 11), _mm256_set1_epi32(1022 * 512)),
        _mm256_setzero_si256());
    return _mm256_movemask_epi8(
               _mm256_cmpgt_epi32(*keys, _mm256_set1_epi32(radialIndex::keys - 1))) == 0;
}

// The indices of eight pixels as the bytes of a word, the first lowest: looked up by their keys
// in `table` (radialIndex::table<Cycle>()), or from the scalar function and cycle.
template <class Cycle>
LUMO_TARGET_AVX2 inline uint64_t radialEight(const uint8_t* table, __m256i gx, __m256i gy) {
    __m256i k;
    if (radialKeys(gx, gy, &k)) {
        alignas(32) uint32_t key[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(key), k);
        uint64_t indices = 0;
        for (int j = 0; j < 8; ++j) indices |= uint64_t(table[key[j]]) << (8 * j);
        return indices;
    }
    alignas(32) int x[8], y[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(x), gx);
    _mm256_store_si256(reinterpret_cast<__m256i*>(y), gy);
    uint64_t indices = 0;
    for (int j = 0; j < 8; ++j) {
        const int index = Cycle::index(gradient::Radial()(int64_t(x[j] >> 4), int64_t(y[j] >> 4)));
        indices |= uint64_t(index) << (8 * j);
    }
    return indices;
}

// The table indices of eight pixels, as the bytes of a word (the first lowest), from their
// fixed-point coordinates: the functions with positions (Positions) by the cycle rules in
// lanes, the radial gradient by the keys of its sums of squares in `table`.
template <class Function, class Cycle>
struct EightIndices {
    using P = Positions<Function>;
    static constexpr bool built = P::built;
    static constexpr bool readsY = P::readsY;
    LUMO_TARGET_AVX2 static uint64_t of(const uint8_t*, __m256i gx, __m256i gy) {
        return packed(Indices<Cycle>::of(P::of(gx, gy)));
    }
};

template <class Cycle>
struct EightIndices<gradient::Radial, Cycle> {
    static constexpr bool built = true;
    static constexpr bool readsY = true;
    LUMO_TARGET_AVX2 static uint64_t of(const uint8_t* table, __m256i gx, __m256i gy) {
        return radialEight<Cycle>(table, gx, gy);
    }
};

// The shortest span of a function blended as it is worked out that takes the eight-pixel
// loop: shorter linear and diamond spans go quicker in fours, whose lanes cost less to set up;
// radial ones, whose look-ups take longer, gain from one block of eight.
template <class Function>
constexpr unsigned shortestEights = std::is_same<Function, gradient::Radial>::value ? 8 : 16;

// Whether a function and output have the eight-pixel loop.
template <class Function, class Output>
constexpr bool eights =
    EightIndices<Function, cycle::Pad>::built&& std::is_same<Output, gradientOutput::Over>::value;

// Every pixel of a span (len from 8, count below 2^28) blended source-over from the
// fixed-point steps gx and gy, eight at a time; the last one to seven pixels from the lanes of
// one more block, as a block of four and the first of another (the output's SSE2 blocks),
// reading and writing no pixel past the span. Radial indices are looked up in `table`,
// radialIndex::table<Cycle>().
template <class Function, class Cycle>
LUMO_TARGET_AVX2 void fillEights(const uint8_t* table, const gradientOutput::Over& out,
                                 const DdaSteps& gx, const DdaSteps& gy, unsigned len) {
    using P = EightIndices<Function, Cycle>;
    DdaEights x = ddaEights(gx);
    DdaEights y = ddaEights(P::readsY ? gy : DdaSteps(0, 0, 1));
    unsigned i = 0;
    for (; i + 8 <= len; i += 8) {
        uint64_t covers;
        std::memcpy(&covers, out.covers + i, 8);
        over::avx2::indexedEight(out.pixels + 4 * size_t(i), out.colours, P::of(table, x.y, y.y),
                                 covers);
        next(x);
        if (P::readsY) next(y);
    }
    if (i == len) return;
    const uint64_t indices = P::of(table, x.y, y.y);
    uint32_t four = uint32_t(indices);
    if (len - i >= 4) {
        out.four(i, four);
        i += 4;
        four = uint32_t(indices >> 32);
    }
    if (i < len) out.some(i, len - i, four);
}

// The table indices of every pixel of a radial span (len from 8, count below 2^28) from the
// fixed-point steps gx and gy, eight at a time; the last one to seven from one more block, of
// which only the span's own are stored.
template <class Cycle>
LUMO_TARGET_AVX2 void radialIndices(const uint8_t* table, agg::int8u* span, const DdaSteps& gx,
                                    const DdaSteps& gy, unsigned len) {
    DdaEights x = ddaEights(gx);
    DdaEights y = ddaEights(gy);
    unsigned i = 0;
    for (; i + 8 <= len; i += 8) {
        const uint64_t indices = radialEight<Cycle>(table, x.y, y.y);
        std::memcpy(span + i, &indices, 8);
        next(x);
        next(y);
    }
    if (i == len) return;
    const uint64_t indices = radialEight<Cycle>(table, x.y, y.y);
    std::memcpy(span + i, &indices, len - i);
}

}  // namespace lumo::gradientAvx2

#endif
