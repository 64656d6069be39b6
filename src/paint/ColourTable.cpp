#include "paint/ColourTable.h"

#include "core/Simd.h"
#include "paint/Composite.h"
#include "paint/PremultipliedWords.h"
#include "paint/SegmentMix.h"
#include "paint/SegmentMixAvx2.h"

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

// Segments whose divisor is below this step eight entries at a time in
// 16-bit lanes: a remainder plus a step's stays below twice the divisor,
// which a signed 16-bit lane holds.
constexpr int64_t maxEightsDivisor = int64_t(1) << 14;

// Entries i to last of a segment, eight at a time from i (a multiple of 8)
// while eight remain, with their premultiplied words: as fillLanes, t and the
// remainder in 16-bit lanes (t modulo 2^16 is all the colours depend on),
// each step 8 x 512 units of numerator. Marks the blocks of eight it fills in
// `blocks` and clears `opaque` when one of their alphas is below 255.
// Returns the first entry not filled.
int fillEights(const segment::Mix& colourAt, agg::rgba8* entries, uint32_t* words, int i, int last,
               int64_t t, int64_t remainder, int64_t stepQuotient, int64_t stepRemainder,
               int64_t divisor, uint32_t& blocks, bool& opaque) {
    alignas(16) int16_t ts[8], remainders[8];
    for (int k = 0; k < 8; ++k) {
        ts[k] = int16_t(uint16_t(uint64_t(t)));
        remainders[k] = int16_t(remainder);
        t += stepQuotient;
        remainder += stepRemainder;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++t;
        }
    }
    const __m128i quotient8 = _mm_set1_epi16(int16_t(4096 / divisor));
    const __m128i remainder8 = _mm_set1_epi16(int16_t(4096 % divisor));
    const __m128i lanesDivisor = _mm_set1_epi16(int16_t(divisor));
    const __m128i belowDivisor = _mm_set1_epi16(int16_t(divisor - 1));
    __m128i tl = _mm_load_si128(reinterpret_cast<const __m128i*>(ts));
    __m128i rl = _mm_load_si128(reinterpret_cast<const __m128i*>(remainders));
    __m128i alphas = _mm_set1_epi16(0xFF);
    for (; last - i >= 7; i += 8) {
        colourAt.putEight(entries + i, words + i, tl, alphas);
        blocks |= uint32_t(1) << (i / 8);
        tl = _mm_add_epi16(tl, quotient8);
        rl = _mm_add_epi16(rl, remainder8);
        // All ones where the remainder reached the divisor.
        const __m128i carry = _mm_cmpgt_epi16(rl, belowDivisor);
        tl = _mm_sub_epi16(tl, carry);
        rl = _mm_sub_epi16(rl, _mm_and_si128(carry, lanesDivisor));
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(alphas, _mm_set1_epi16(0xFF))) != 0xFFFF) {
        opaque = false;
    }
    return i;
}

#if LUMO_AVX2

// fillEights with AVX2, sixteen entries a step (16 x 512 units of numerator;
// a remainder plus a step's still stays below twice the divisor).
LUMO_TARGET_AVX2 int fillSixteens(const agg::rgba8& s, const agg::rgba8& e, agg::rgba8* entries,
                                  uint32_t* words, int i, int last, int64_t t, int64_t remainder,
                                  int64_t stepQuotient, int64_t stepRemainder, int64_t divisor,
                                  uint32_t& blocks, bool& opaque) {
    alignas(32) int16_t ts[16], remainders[16];
    for (int k = 0; k < 16; ++k) {
        ts[k] = int16_t(uint16_t(uint64_t(t)));
        remainders[k] = int16_t(remainder);
        t += stepQuotient;
        remainder += stepRemainder;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++t;
        }
    }
    const __m256i quotient16 = _mm256_set1_epi16(int16_t(8192 / divisor));
    const __m256i remainder16 = _mm256_set1_epi16(int16_t(8192 % divisor));
    const __m256i lanesDivisor = _mm256_set1_epi16(int16_t(divisor));
    const __m256i belowDivisor = _mm256_set1_epi16(int16_t(divisor - 1));
    __m256i tl = _mm256_load_si256(reinterpret_cast<const __m256i*>(ts));
    __m256i rl = _mm256_load_si256(reinterpret_cast<const __m256i*>(remainders));
    __m256i alphas = _mm256_set1_epi16(0xFF);
    for (; last - i >= 15; i += 16) {
        segment::avx2::putSixteen(s, e, entries + i, words + i, tl, alphas);
        blocks |= uint32_t(3) << (i / 8);
        tl = _mm256_add_epi16(tl, quotient16);
        rl = _mm256_add_epi16(rl, remainder16);
        const __m256i carry = _mm256_cmpgt_epi16(rl, belowDivisor);
        tl = _mm256_sub_epi16(tl, carry);
        rl = _mm256_sub_epi16(rl, _mm256_and_si256(carry, lanesDivisor));
    }
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi16(alphas, _mm256_set1_epi16(0xFF))) != -1) {
        opaque = false;
    }
    return i;
}

#endif

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
//
// Segments of up to 8191 entries fill their blocks of eight (at multiples of
// 8; sixteen at a time where the processor has AVX2) together with the
// blocks' premultiplied words in one pass; the words of the other entries
// are made after the whole table.
ColourTable::ColourTable(const int32_t* positions, const agg::rgba8* colours, uint32_t count,
                         float extraAlpha) {
    opaque_ = true;
    const uint32_t done = interpolate(positions, colours, count, extraAlpha);
    constexpr int blocks = size / 8;
    for (int b = 0; b < blocks;) {
        if ((done >> b) & 1) {
            ++b;
            continue;
        }
        const int from = b;
        while (b < blocks && ((done >> b) & 1) == 0) ++b;
        const int at = 8 * from, count8 = 8 * (b - from);
        opaque_ = premultiplied::words(entries_ + at, premultiplied_ + at, count8) && opaque_;
    }
}

uint32_t ColourTable::interpolate(const int32_t* positions, const agg::rgba8* colours,
                                  uint32_t count, float extraAlpha) {
    static_assert(size / 8 <= 32, "a bit for each block of eight entries");
    uint32_t done = 0;
    auto colour = [&](uint32_t k) { return withExtraAlpha(colours[k], extraAlpha); };
    if (count == 1) {
        const agg::rgba8 only = colour(0);
        for (agg::rgba8& entry : entries_) entry = only;
        return done;
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
            if (divisor < maxEightsDivisor && last - i >= 7 + (-i & 7)) {
                // One by one up to a multiple of 8.
                for (; (i & 7) != 0; ++i) {
                    colourAt.put(entries_ + i, t);
                    step();
                }
                // Where the processor has AVX2, sixteen at a time first.
                auto restep = [&] {
                    const int64_t at = 512 * (i - start) + width;
                    t = at / divisor;
                    remainder = at % divisor;
                };
#if LUMO_AVX2
                if (cpuHasAvx2 && last - i >= 15) {
                    i = fillSixteens(startColour, endColour, entries_, premultiplied_, i, last, t,
                                     remainder, stepQuotient, stepRemainder, divisor, done,
                                     opaque_);
                    restep();
                }
#endif
                if (last - i >= 7) {
                    i = fillEights(colourAt, entries_, premultiplied_, i, last, t, remainder,
                                   stepQuotient, stepRemainder, divisor, done, opaque_);
                    restep();
                }
            } else if (divisor < maxLanesDivisor && last - i >= 7) {
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
            return done;
        }
        startColour = endColour;
        start = end;
        endColour = colour(k);
        end = positions[k];
        ++i;
    }
    return done;
}

}  // namespace lumo
