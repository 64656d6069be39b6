#include "paint/ColourTable.h"

#include "core/Simd.h"
#include "paint/Composite.h"
#include "paint/PremultipliedWords.h"
#include "paint/SegmentMix.h"

namespace lumo {

#if LUMO_SSE2

namespace {

// Segments whose divisor is below this step in 32-bit lanes: a remainder
// plus a step's stays below twice the divisor.
constexpr int64_t maxLanesDivisor = int64_t(1) << 30;

// Entries i to last of a segment, four at a time from i on, while four
// remain: lane k holds the fraction t of entry i + k (its value modulo 2^32,
// which is all the colours depend on) and its remainder, and steps four
// entries on at once, adding four steps' quotient and remainder (512 times
// four units of numerator) and carrying at most once, as the scalar steps
// do. `t` and `remainder` are those of entry i, the step those of one
// entry. Returns the first entry not filled.
int fillLanes(const segment::Mix& colourAt, agg::rgba8* entries, int i, int last, int64_t t,
              int64_t remainder, int64_t stepQuotient, int64_t stepRemainder, int64_t divisor) {
    int ts[4], remainders[4];
    for (int k = 0; k < 4; ++k) {
        ts[k] = int(uint32_t(uint64_t(t)));
        remainders[k] = int(remainder);
        t += stepQuotient;
        remainder += stepRemainder;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++t;
        }
    }
    const __m128i quotient4 = _mm_set1_epi32(int(uint32_t(uint64_t(2048 / divisor))));
    const __m128i remainder4 = _mm_set1_epi32(int(2048 % divisor));
    const __m128i lanesDivisor = _mm_set1_epi32(int(divisor));
    const __m128i belowDivisor = _mm_set1_epi32(int(divisor - 1));
    __m128i tl = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ts));
    __m128i rl = _mm_loadu_si128(reinterpret_cast<const __m128i*>(remainders));
    for (; last - i >= 3; i += 4) {
        colourAt.putLanes(entries + i, tl);
        tl = _mm_add_epi32(tl, quotient4);
        rl = _mm_add_epi32(rl, remainder4);
        // All ones where the remainder reached the divisor.
        const __m128i carry = _mm_cmpgt_epi32(rl, belowDivisor);
        tl = _mm_sub_epi32(tl, carry);
        rl = _mm_sub_epi32(rl, _mm_and_si128(carry, lanesDivisor));
    }
    return i;
}

}  // namespace

#endif

// Entry i of a segment from s to e (s < e, s <= i, and i <= e as unsigned
// values) lies t/256 of the way, defined in double precision as
// t = floor(fl(fl((i - s) / (e - s)) * 256 + 1/2)). With n = i - s and
// w = e - s (both below 2^32) that equals t = floor((512 n + w) / (2 w)) for
// every n and w: the roundings err by less than the distance to the next whole
// number. ColourTableReference (GradientReferenceTest) compares the table with
// the double-precision definition. The table steps the quotient and remainder
// of that division along the segment: one division per segment (one more
// where four entries step at a time in SSE2 lanes), none per entry.
ColourTable::ColourTable(const int32_t* positions, const agg::rgba8* colours, uint32_t count,
                         float extraAlpha) {
    interpolate(positions, colours, count, extraAlpha);
    opaque_ = premultiplied::words(entries_, premultiplied_, size);
}

void ColourTable::interpolate(const int32_t* positions, const agg::rgba8* colours, uint32_t count,
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
            const segment::Mix colourAt(startColour, endColour);
            // Steps t past entry i (once more after the last: harmless).
            auto step = [&] {
                // Without a branch: the carries of most widths follow no
                // pattern a predictor learns.
                t += stepQuotient;
                remainder += stepRemainder;
                if (remainder >= divisor) {
                    remainder -= divisor;
                    ++t;
                }
            };
#if LUMO_SSE2
            if (divisor < maxLanesDivisor && last - i >= 7) {
                i = fillLanes(colourAt, entries_, i, last, t, remainder, stepQuotient,
                              stepRemainder, divisor);
                const int64_t at = 512 * (i - start) + width;
                t = at / divisor;
                remainder = at % divisor;
            }
#endif
            for (; last - i >= 3; i += 4) {
                const int64_t t0 = t;
                step();
                const int64_t t1 = t;
                step();
                const int64_t t2 = t;
                step();
                const int64_t t3 = t;
                step();
                colourAt.putFour(entries_ + i, t0, t1, t2, t3);
            }
            for (; i <= last; ++i) {
                colourAt.put(entries_ + i, t);
                step();
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
