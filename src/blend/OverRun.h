#pragma once

#include "blend/OverRunAvx2.h"
#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

namespace lumo::over {

// Source-over of one colour at one cover along runs of pixels, with the effective alpha e and
// the colour's share worked out once: the same pixels as over::pixel at that cover, for any
// number of runs (a column of edge pixels, the rows of a rectangle, which all take the same
// runs). It is one word, the share's bytes (b, g, r, e) as a pixel is laid out; at e = 255
// that is the opaque colour itself, stored as it is. With Simd (where SSE2 is built) four
// pixels at a time (eight with AVX2 where the processor has it, OverRunAvx2.h) and the last
// one to three in the same lanes; without it the portable loop, which SimdKernelsTest
// compares with it.
template <bool Premultiplied, bool Simd = LUMO_SSE2 != 0>
class Run {
public:
    // Unset: assign one before use.
    Run() = default;
    Run(const agg::rgba8& colour, unsigned cover) {
        const Colour<Premultiplied> c(colour);
        const unsigned e = product(c.a, cover);
        const unsigned scale = Premultiplied ? cover : e;
        share_ = pack(product(c.b, scale), product(c.g, scale), product(c.r, scale), e);
    }

    // Nothing to blend: the effective alpha is zero.
    bool empty() const { return alpha() == 0; }
    // The share's bytes (b, g, r, e) as one word.
    uint32_t word() const { return share_; }

    void apply(agg::int8u* p, unsigned len) const {
        const unsigned e = alpha();
        if (e == 0) return;
        if (e == 255) {
            for (unsigned i = 0; i < len; ++i, p += 4) store(p, share_);
            return;
        }
#if LUMO_SSE2
        if (Simd) return applySse2(p, len, e);
#endif
        agg::int8u s[4];
        std::memcpy(s, &share_, 4);
        for (unsigned i = 0; i < len; ++i, p += 4) over::apply(p, e, s[0], s[1], s[2]);
    }

private:
    unsigned alpha() const {
        agg::int8u s[4];
        std::memcpy(s, &share_, 4);
        return s[3];
    }

#if LUMO_SSE2
    void applySse2(agg::int8u* p, unsigned len, unsigned e) const {
        const __m128i zero = _mm_setzero_si128();
        const __m128i keep = _mm_set1_epi16(short(255 - e));
        const __m128i one = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(share_)), zero);
        const __m128i share = _mm_unpacklo_epi64(one, one);
        unsigned i = 0;
#if LUMO_AVX2
        // Long runs (the rows of a rectangle) eight pixels at a time.
        if (len >= 16 && cpuHasAvx2) {
            i = avx2::run(p, len, share_, e);
            p += 4 * i;
        }
#endif
        for (; i + 4 <= len; i += 4, p += 16) {
            const __m128i d = sse2::load(p);
            sse2::storeGroup(p, sse2::blendPair(_mm_unpacklo_epi8(d, zero), keep, share),
                             sse2::blendPair(_mm_unpackhi_epi8(d, zero), keep, share));
        }
        if (len - i >= 2) {
            const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            const __m128i out = sse2::blendPair(_mm_unpacklo_epi8(d, zero), keep, share);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(out, out));
            i += 2, p += 8;
        }
        if (i < len) {
            uint32_t word;
            std::memcpy(&word, p, 4);
            const __m128i d = _mm_cvtsi32_si128(int(word));
            const __m128i out = sse2::blendPair(_mm_unpacklo_epi8(d, zero), keep, share);
            store(p, uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out))));
        }
    }
#endif

    uint32_t share_;
};

}  // namespace lumo::over
