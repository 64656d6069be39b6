#pragma once

#include "core/Simd.h"

#include <cstdint>

namespace lumo {

// Turns a pixel's accumulated coverage, (cover << 9) - area as a 32-bit sum
// that wraps like the rasteriser's int sums, into its alpha: the fill rule
// (non-zero: the magnitude, clamped to 255; even-odd: folded every 512), then
// the gamma table, which must map 0 to 0. `group` does the same for the 16
// grid sums of a pixel group at once: running sum, zeroing the grid, alphas;
// it returns a bit per pixel whose alpha is zero (with SSE2 where built, else
// the portable twin, which is always built and tested against it).
template <bool EvenOdd>
struct CoverageAlpha {
    const uint8_t* gamma;
    bool identity;  // the gamma table changes nothing

    static int cover(uint32_t sum) {
        int c = int32_t(sum) >> 9;
        if (c < 0) c = -c;
        if (EvenOdd) {
            c &= 511;
            if (c > 256) c = 512 - c;
        }
        return c > 255 ? 255 : c;
    }

    unsigned value(uint32_t sum) const { return gamma[cover(sum)]; }

    unsigned group(uint32_t* cells, uint32_t& sum, uint8_t* out) const {
#if LUMO_SSE2
        return groupSse2(cells, sum, out);
#else
        return groupPortable(cells, sum, out);
#endif
    }

    unsigned groupPortable(uint32_t* cells, uint32_t& sum, uint8_t* out) const {
        unsigned zeros = 0;
        for (int i = 0; i < 16; ++i) {
            sum += cells[i];
            cells[i] = 0;
            out[i] = uint8_t(gamma[cover(sum)]);
            if (out[i] == 0) zeros |= 1u << i;
        }
        return zeros;
    }

#if LUMO_SSE2
    unsigned groupSse2(uint32_t* cells, uint32_t& sum, uint8_t* out) const {
        const __m128i zero = _mm_setzero_si128();
        // Each block of four lanes' running sum and its total (in every lane) first, apart
        // from the sum so far: the sum carried from group to group then waits for one
        // addition per group, not for the whole group.
        __m128i v[4], total[4];
        for (int k = 0; k < 4; ++k) {
            __m128i* p = reinterpret_cast<__m128i*>(cells) + k;
            v[k] = _mm_loadu_si128(p);
            _mm_storeu_si128(p, zero);
            v[k] = _mm_add_epi32(v[k], _mm_slli_si128(v[k], 4));
            v[k] = _mm_add_epi32(v[k], _mm_slli_si128(v[k], 8));
            total[k] = _mm_shuffle_epi32(v[k], 0xff);
        }
        const __m128i upTo2 = _mm_add_epi32(total[0], total[1]);
        const __m128i upTo3 = _mm_add_epi32(upTo2, total[2]);
        const __m128i before = _mm_set1_epi32(int(sum));
        sum += uint32_t(_mm_cvtsi128_si32(_mm_add_epi32(upTo3, total[3])));
        v[0] = _mm_add_epi32(v[0], before);
        v[1] = _mm_add_epi32(v[1], _mm_add_epi32(before, total[0]));
        v[2] = _mm_add_epi32(v[2], _mm_add_epi32(before, upTo2));
        v[3] = _mm_add_epi32(v[3], _mm_add_epi32(before, upTo3));
        // Whole covers (sum >> 9), two blocks to a register of 16-bit lanes; saturating packs
        // keep every magnitude from 255 up at 255 or more.
        __m128i low, high;
        if (EvenOdd) {
            // The low nine bits of a cover and of its magnitude fold to the same value
            // (min(c, 512 - c) on 0..511 gives c and 512 - c alike), so no magnitude is taken.
            const __m128i bits = _mm_set1_epi32(511);
            low = _mm_packs_epi32(_mm_and_si128(_mm_srai_epi32(v[0], 9), bits),
                                  _mm_and_si128(_mm_srai_epi32(v[1], 9), bits));
            high = _mm_packs_epi32(_mm_and_si128(_mm_srai_epi32(v[2], 9), bits),
                                   _mm_and_si128(_mm_srai_epi32(v[3], 9), bits));
            const __m128i full = _mm_set1_epi16(512);
            low = _mm_min_epi16(low, _mm_sub_epi16(full, low));
            high = _mm_min_epi16(high, _mm_sub_epi16(full, high));
        } else {
            // Magnitudes of the saturated covers; negating saturates too (-32768 to 32767).
            low = _mm_packs_epi32(_mm_srai_epi32(v[0], 9), _mm_srai_epi32(v[1], 9));
            high = _mm_packs_epi32(_mm_srai_epi32(v[2], 9), _mm_srai_epi32(v[3], 9));
            low = _mm_max_epi16(low, _mm_subs_epi16(zero, low));
            high = _mm_max_epi16(high, _mm_subs_epi16(zero, high));
        }
        __m128i alphas = _mm_packus_epi16(low, high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), alphas);
        if (!identity) {
            for (int i = 0; i < 16; ++i) out[i] = gamma[out[i]];
            alphas = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
        }
        return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(alphas, zero)));
    }
#endif
};

}  // namespace lumo
