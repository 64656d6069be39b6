#pragma once

#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

namespace lumo::over {

// Source-over of one colour at one cover along runs of pixels, with the effective alpha and
// the colour's share worked out once: the same pixels as over::pixel at that cover, for any
// number of runs (a column of edge pixels, the rows of a rectangle, which all take the same
// runs). With Simd (where SSE2 is built) four pixels at a time and the last one to three
// pixels in the same lanes; without it the portable loop, which SimdKernelsTest compares with
// it.
template <bool Premultiplied, bool Simd = LUMO_SSE2 != 0>
class Run {
public:
    // Blends nothing.
    Run() = default;
    Run(const agg::rgba8& colour, unsigned cover) {
        const Colour<Premultiplied> c(colour);
        e_ = product(c.a, cover);
        opaque_ = c.opaqueWord();
        const unsigned scale = Premultiplied ? cover : e_;
        cb_ = product(c.b, scale);
        cg_ = product(c.g, scale);
        cr_ = product(c.r, scale);
#if LUMO_SSE2
        keep_ = _mm_set1_epi16(short(255 - e_));
        share_ = _mm_setr_epi16(short(cb_), short(cg_), short(cr_), short(e_), short(cb_),
                                short(cg_), short(cr_), short(e_));
#endif
    }

    // Nothing to blend: the effective alpha is zero.
    bool empty() const {
        return e_ == 0;
    }

    void apply(agg::int8u* p, unsigned len) const {
        if (e_ == 0) return;
        if (e_ == 255) {
            for (unsigned i = 0; i < len; ++i, p += 4) store(p, opaque_);
            return;
        }
#if LUMO_SSE2
        if (Simd) return applySse2(p, len);
#endif
        for (unsigned i = 0; i < len; ++i, p += 4) over::apply(p, e_, cb_, cg_, cr_);
    }

private:
#if LUMO_SSE2
    void applySse2(agg::int8u* p, unsigned len) const {
        const __m128i zero = _mm_setzero_si128();
        unsigned i = 0;
        for (; i + 4 <= len; i += 4, p += 16) {
            const __m128i d = sse2::load(p);
            sse2::storeGroup(p, sse2::blendPair(_mm_unpacklo_epi8(d, zero), keep_, share_),
                             sse2::blendPair(_mm_unpackhi_epi8(d, zero), keep_, share_));
        }
        if (len - i >= 2) {
            const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            const __m128i out = sse2::blendPair(_mm_unpacklo_epi8(d, zero), keep_, share_);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(out, out));
            i += 2, p += 8;
        }
        if (i < len) {
            uint32_t word;
            std::memcpy(&word, p, 4);
            const __m128i d = _mm_cvtsi32_si128(int(word));
            const __m128i out = sse2::blendPair(_mm_unpacklo_epi8(d, zero), keep_, share_);
            store(p, uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out))));
        }
    }

    __m128i keep_ = _mm_setzero_si128(), share_ = _mm_setzero_si128();
#endif
    unsigned e_ = 0, cb_ = 0, cg_ = 0, cr_ = 0;
    uint32_t opaque_ = 0;
};

}  // namespace lumo::over
