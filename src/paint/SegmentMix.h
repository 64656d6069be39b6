#pragma once

#include "core/Simd.h"
#include "paint/PremultipliedWords.h"

#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

// The colours of one colour-table segment, t/256 of the way from colour S to
// colour E: each byte is s + floor((e - s) t / 256), kept to its low 8 bits
// (t exceeds 256 only for stops whose positions wrap around as unsigned
// values). SimdKernelsTest compares the two kernels on random colours. Both
// also put four consecutive entries at once (putFour), which a table fills
// segments with, and eight together with their premultiplied words
// (putEight, PremultipliedWords.h), which a table fills short segments with
// in one pass.
namespace lumo::segment {

// The portable kernel.
class PortableMix {
public:
    PortableMix(const agg::rgba8& s, const agg::rgba8& e) : s_(s), e_(e) {}

    void put(agg::rgba8* to, int64_t t) const {
        *to = agg::rgba8(mix(s_.r, e_.r, t), mix(s_.g, e_.g, t), mix(s_.b, e_.b, t),
                         mix(s_.a, e_.a, t));
    }

    void putFour(agg::rgba8* to, int64_t t0, int64_t t1, int64_t t2, int64_t t3) const {
        put(to, t0);
        put(to + 1, t1);
        put(to + 2, t2);
        put(to + 3, t3);
    }

    // Eight entries from t[0..7] (any value congruent modulo 2^16 gives the
    // same entry) and their premultiplied words; whether every alpha is 255.
    bool putEight(agg::rgba8* to, uint32_t* words, const uint16_t* t) const {
        for (int k = 0; k < 8; ++k) put(to + k, t[k]);
        return premultiplied::portable(to, words, 8);
    }

private:
    // The shift of a negative product rounds down.
    static agg::int8u mix(agg::int8u s, agg::int8u e, int64_t t) {
        const int64_t value = int64_t(s) + ((int64_t(e) - int64_t(s)) * t >> 8);
        return static_cast<agg::int8u>(static_cast<uint64_t>(value) & 0xFF);
    }

    agg::rgba8 s_, e_;
};

#if LUMO_SSE2

// The four bytes at once.
class Sse2Mix {
public:
    Sse2Mix(const agg::rgba8& s, const agg::rgba8& e)
        : start_(_mm_setr_epi32(s.r, s.g, s.b, s.a)),
          // Each difference in the low 16 bits of its lane, the high ones 0.
          difference_(_mm_setr_epi32(uint16_t(e.r - s.r), uint16_t(e.g - s.g), uint16_t(e.b - s.b),
                                     uint16_t(e.a - s.a))),
          start16_(_mm_setr_epi16(s.r, s.g, s.b, s.a, s.r, s.g, s.b, s.a)),
          difference16_(_mm_setr_epi16(short(e.r - s.r), short(e.g - s.g), short(e.b - s.b),
                                       short(e.a - s.a), short(e.r - s.r), short(e.g - s.g),
                                       short(e.b - s.b), short(e.a - s.a))),
          start8_{_mm_set1_epi16(s.r), _mm_set1_epi16(s.g), _mm_set1_epi16(s.b),
                  _mm_set1_epi16(s.a)},
          difference8_{_mm_set1_epi16(short(e.r - s.r)), _mm_set1_epi16(short(e.g - s.g)),
                       _mm_set1_epi16(short(e.b - s.b)), _mm_set1_epi16(short(e.a - s.a))} {}

    void put(agg::rgba8* to, int64_t t) const {
        // The low byte of s + floor(d t / 256) depends on d t modulo 2^16
        // alone, and so on t modulo 2^16: one multiply-add of the 16-bit
        // pairs (t, 0) and (d, 0) gives the four products that matter.
        __m128i v = _mm_madd_epi16(difference_, _mm_set1_epi32(int(t & 0xFFFF)));
        v = _mm_and_si128(_mm_add_epi32(start_, _mm_srai_epi32(v, 8)), _mm_set1_epi32(0xFF));
        v = _mm_packs_epi32(v, v);
        v = _mm_packus_epi16(v, v);
        const uint32_t bytes = uint32_t(_mm_cvtsi128_si32(v));
        static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes");
        std::memcpy(static_cast<void*>(to), &bytes, 4);
    }

    // Four entries in 16-bit lanes: the low 16 bits of d t are those of
    // d (t modulo 2^16), and bits 8 to 15 of them are the low byte of
    // floor(d t / 256).
    void putFour(agg::rgba8* to, int64_t t0, int64_t t1, int64_t t2, int64_t t3) const {
        putLanes(to, _mm_setr_epi32(int(t0 & 0xFFFF), int(t1 & 0xFFFF), int(t2 & 0xFFFF),
                                    int(t3 & 0xFFFF)));
    }

    // The same, the four t in 32-bit lanes: any value congruent to t modulo
    // 2^16 gives the same entry.
    void putLanes(agg::rgba8* to, __m128i t) const {
        t = _mm_and_si128(t, _mm_set1_epi32(0xFFFF));
        const int first = _MM_SHUFFLE(0, 0, 0, 0);
        // Lanes t0 x4, t1 x4 and t2 x4, t3 x4.
        const __m128i t01 =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(_mm_unpacklo_epi32(t, t), first), first);
        const __m128i t23 =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(_mm_unpackhi_epi32(t, t), first), first);
        const __m128i low = _mm_set1_epi16(0xFF);
        const __m128i v01 = _mm_and_si128(
            _mm_add_epi16(start16_, _mm_srli_epi16(_mm_mullo_epi16(difference16_, t01), 8)), low);
        const __m128i v23 = _mm_and_si128(
            _mm_add_epi16(start16_, _mm_srli_epi16(_mm_mullo_epi16(difference16_, t23), 8)), low);
        static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes");
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_packus_epi16(v01, v23));
    }

    // Eight entries from t in 16-bit lanes and their premultiplied words,
    // worked out a channel at a time (each channel of the eight entries in
    // the 16-bit lanes of one register) and put together into pixels only at
    // the end. The entries' alphas are ANDed into the 16-bit lanes of
    // `alphas` (they stay 255 while every alpha is).
    void putEight(agg::rgba8* to, uint32_t* words, __m128i t, __m128i& alphas) const {
        const __m128i r = channel(0, t), g = channel(1, t), b = channel(2, t), a = channel(3, t);
        alphas = _mm_and_si128(alphas, a);
        const __m128i rg = _mm_or_si128(r, _mm_slli_epi16(g, 8));
        const __m128i ba = _mm_or_si128(b, _mm_slli_epi16(a, 8));
        static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes");
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi16(rg, ba));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 4), _mm_unpackhi_epi16(rg, ba));
        // The words: bytes b, g, r premultiplied, then a (PremultipliedWords.h).
        const __m128i bg =
            _mm_or_si128(over::sse2::products(b, a), _mm_slli_epi16(over::sse2::products(g, a), 8));
        const __m128i ra = _mm_or_si128(over::sse2::products(r, a), _mm_slli_epi16(a, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(words), _mm_unpacklo_epi16(bg, ra));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(words + 4), _mm_unpackhi_epi16(bg, ra));
    }

private:
    // Channel c (r, g, b, a) of eight entries from their t in 16-bit lanes.
    __m128i channel(int c, __m128i t) const {
        const __m128i mixed =
            _mm_add_epi16(start8_[c], _mm_srli_epi16(_mm_mullo_epi16(difference8_[c], t), 8));
        return _mm_and_si128(mixed, _mm_set1_epi16(0xFF));
    }

    __m128i start_, difference_;
    // The start colour and the differences in 16-bit lanes, twice.
    __m128i start16_, difference16_;
    // Each channel's start and difference in all eight 16-bit lanes.
    __m128i start8_[4], difference8_[4];
};

using Mix = Sse2Mix;

#else

using Mix = PortableMix;

#endif

}  // namespace lumo::segment
