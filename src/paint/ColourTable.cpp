#include "paint/ColourTable.h"

#include "paint/Composite.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumo {

namespace {

#if !defined(__SSE2__)
// One byte moved t/256 of the way from s to e (the move rounded down), kept
// to its low 8 bits (t exceeds 256 only for stops whose positions wrap
// around as unsigned values). The shift of a negative product rounds down.
agg::int8u mix(agg::int8u s, agg::int8u e, int64_t t) {
    const int64_t value = int64_t(s) + ((int64_t(e) - int64_t(s)) * t >> 8);
    return static_cast<agg::int8u>(static_cast<uint64_t>(value) & 0xFF);
}
#endif

// The colours of one segment, t/256 of the way from S to E.
class SegmentMix {
public:
#if defined(__SSE2__)
    SegmentMix(const agg::rgba8& s, const agg::rgba8& e)
        : start_(_mm_setr_epi32(s.r, s.g, s.b, s.a)),
          // Each difference in the low 16 bits of its lane, the high ones 0.
          difference_(_mm_setr_epi32(uint16_t(e.r - s.r), uint16_t(e.g - s.g), uint16_t(e.b - s.b),
                                     uint16_t(e.a - s.a))) {}
#else
    SegmentMix(const agg::rgba8& s, const agg::rgba8& e) : s_(s), e_(e) {}
#endif

    void put(agg::rgba8* to, int64_t t) const {
#if defined(__SSE2__)
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
#else
        *to = agg::rgba8(mix(s_.r, e_.r, t), mix(s_.g, e_.g, t), mix(s_.b, e_.b, t),
                         mix(s_.a, e_.a, t));
#endif
    }

private:
#if defined(__SSE2__)
    __m128i start_, difference_;
#else
    agg::rgba8 s_, e_;
#endif
};

}  // namespace

// Entry i of a segment from s to e (s < e, s <= i, and i <= e as unsigned
// values) lies t/256 of the way, defined in double precision as
// t = floor(fl(fl((i - s) / (e - s)) * 256 + 1/2)). With n = i - s and
// w = e - s (both below 2^32), that is exactly t = floor((512 n + w) / (2 w)):
// the two roundings err by at most (2 q + 1) 2^-53 with q = 256 n / w, less
// than 1 / (2 w) since 1024 n + 2 w < 2^53, while (512 n + w) / (2 w) lies
// at least 1 / (2 w) from any whole number it is not equal to; and when it
// is whole, n / w is a multiple of 1/512, which both roundings keep exact. The table
// steps the quotient and remainder of that division along the segment: one
// division per segment, none per entry.
ColourTable::ColourTable(const int32_t* positions, const agg::rgba8* colours, uint32_t count,
                         float extraAlpha) {
    auto colour = [&](uint32_t k) { return withExtraAlpha(colours[k], extraAlpha); };
    if (count == 1) {
        const agg::rgba8 only = colour(0);
        for (agg::rgba8& entry : entries_) entry = only;
        return;
    }

    // The segment being filled: from colour S at position s to E at e; k is
    // the index of stop E.
    agg::rgba8 startColour = colour(0);
    int64_t start = 0;
    uint32_t k = positions[0] == 0 ? 1 : 0;
    agg::rgba8 endColour = colour(k);
    int64_t end = positions[k];

    int i = 0;
    while (i < size) {
        const int64_t width = end - start;
        // Positions compare as unsigned 32-bit values: a negative end lies
        // past every entry. The segment starts at or before i.
        if (width > 0 && uint32_t(i) <= static_cast<uint32_t>(end)) {
            const int last = end < 0 || end >= size - 1 ? size - 1 : int(end);
            const int64_t divisor = 2 * width;
            const int64_t numerator = 512 * (i - start) + width;
            int64_t t = numerator / divisor;
            int64_t remainder = numerator % divisor;
            const int64_t stepQuotient = 512 / divisor;
            const int64_t stepRemainder = 512 % divisor;
            const SegmentMix colourAt(startColour, endColour);
            for (;;) {
                colourAt.put(entries_ + i, t);
                if (++i > last) break;
                // Without a branch: the carries of most widths follow no
                // pattern a predictor learns.
                t += stepQuotient;
                remainder += stepRemainder;
                if (remainder >= divisor) {
                    remainder -= divisor;
                    ++t;
                }
            }
            continue;
        }
        entries_[i] = endColour;
        if (++k == count) {
            for (int j = i + 1; j < size; ++j) entries_[j] = endColour;
            return;
        }
        startColour = endColour;
        start = end;
        endColour = colour(k);
        end = positions[k];
        ++i;
    }
}

}  // namespace lumo
