#pragma once

// Source-over four pixels at a time with SSE2, for the spans of OverSpans.cpp. Each function
// blends the longest run of whole groups of four from the start of its span and returns how
// many pixels that was; the caller finishes the rest pixel by pixel with the same results.
//
// Two pixels fill a register as eight 16-bit lanes (b, g, r, a, b, g, r, a). Every pixel of
// source-over at cover k is then, for a colour whose alpha is a and effective alpha
// e = M[a][k]:
//   out = M[d][255 - e] + M[C][S]
// lane by lane, with C = (b, g, r, 255) and S = e for a straight colour, and C = (b, g, r, a)
// (each colour capped at a) and S = k for a premultiplied one. The alpha lane's share comes out
// as M[255][e] = e or M[a][k] = e, the colour lanes' as the scalar code has them (M[c][255] = c
// covers a premultiplied colour at full cover), and at e = 255 the sum is the opaque colour
// itself, so transparent, opaque and partly covered pixels need no separate cases.
// SimdKernelsTest compares these spans with the portable ones (over::portable) on random data.

#include "blend/SourceOver.h"
#include "core/RedBlueSwap.h"
#include "core/Simd.h"

#include <cstdint>
#include <cstring>

#if LUMO_SSE2

namespace lumo::over::sse2 {

static_assert(sizeof(agg::rgba8) == 4, "colours are read four at a time as bytes r, g, b, a");

// M[x][y] lane by lane: t = x y + 128 then (t + (t >> 8)) >> 8, which is the high half of
// t * 257. t stays below 65536 for bytes x and y.
inline __m128i products(__m128i x, __m128i y) {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, y), _mm_set1_epi16(128));
    return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

// Two pixels blended: M[d][keep] + share.
inline __m128i blendPair(__m128i d, __m128i keep, __m128i share) {
    return _mm_add_epi16(products(d, keep), share);
}

inline __m128i load(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

inline void storeGroup(agg::int8u* p, __m128i lo, __m128i hi) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(lo, hi));
}

// Four covers as one word (the first in the lowest byte), each repeated across its pixel's
// four lanes: pixels 0-1 in lo, 2-3 in hi.
inline void spreadCoverWord(uint32_t word, __m128i& lo, __m128i& hi) {
    const __m128i k = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(word)), _mm_setzero_si128());
    const __m128i pairs = _mm_unpacklo_epi16(k, k);
    lo = _mm_unpacklo_epi32(pairs, pairs);
    hi = _mm_unpackhi_epi32(pairs, pairs);
}

// The same for four covers in memory.
inline void spreadCovers(const agg::int8u* covers, __m128i& lo, __m128i& hi) {
    uint32_t word;
    std::memcpy(&word, covers, 4);
    spreadCoverWord(word, lo, hi);
}

// Applies `group` (which writes four pixels of full cover at the address it is given) over a run
// of full covers at the start of `len` pixels, the first four of which are known to be full:
// sixteen pixels per step while whole blocks of sixteen are full, else those four. Returns the
// pixels written, a multiple of four.
template <class Group>
inline unsigned fullRun(agg::int8u* p, unsigned len, const agg::int8u* covers, const Group& group) {
    const __m128i full = _mm_set1_epi8(char(0xFF));
    unsigned n = 0;
    for (; n + 16 <= len; n += 16, p += 64, covers += 16) {
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(load(covers), full)) != 0xFFFF) break;
        group(p);
        group(p + 16);
        group(p + 32);
        group(p + 48);
    }
    if (n > 0) return n;
    group(p);
    return 4;
}

// The lanes C of a colour for two pixels, and the alpha in every lane.
template <bool Premultiplied>
inline __m128i colourLanes(const Colour<Premultiplied>& c) {
    const short a = Premultiplied ? short(c.a) : short(255);
    return _mm_setr_epi16(short(c.b), short(c.g), short(c.r), a, short(c.b), short(c.g), short(c.r),
                          a);
}

// Two pixels at the covers k (one per pixel, in all its lanes) of a colour with lanes C and
// alpha lanes A.
template <bool Premultiplied>
inline __m128i blendCovered(__m128i d, __m128i colour, __m128i alpha, __m128i k) {
    const __m128i e = products(alpha, k);
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), e);
    return blendPair(d, keep, products(colour, Premultiplied ? k : e));
}

// One colour, a cover per pixel. Groups of four zero covers are skipped; groups of four full
// covers, the inside of a shape, are stored outright with an opaque colour and blended with
// the effective alpha and share worked out once with a translucent one. The lanes are worked
// out once for any number of spans.
template <bool Premultiplied>
class SolidSpan {
public:
    explicit SolidSpan(const Colour<Premultiplied>& c)
        : colour_(colourLanes(c)),
          alpha_(_mm_set1_epi16(short(c.a))),
          opaqueGroup_(_mm_set1_epi32(int(c.opaqueWord()))),
          // At full cover e = a, and the share is M[C][255] = C or M[C][a].
          fullKeep_(_mm_set1_epi16(short(255 - c.a))),
          fullShare_(Premultiplied ? colour_ : products(colour_, alpha_)),
          opaque_(c.a == 255) {}

    // Blends the longest run of whole groups of four; returns its length.
    unsigned run(agg::int8u* p, unsigned len, const agg::int8u* covers) const {
        const __m128i zero = _mm_setzero_si128();
        unsigned i = 0;
        for (; i + 4 <= len; i += 4, p += 16, covers += 4) {
            uint32_t four;
            std::memcpy(&four, covers, 4);
            if (four == 0) continue;
            if (four == 0xFFFFFFFFu) {
                // The inside of a shape: written sixteen pixels per step while the full
                // covers last (the loop steps over the last four written).
                unsigned run;
                if (opaque_) {
                    const __m128i group = opaqueGroup_;
                    run = fullRun(p, len - i, covers, [group](agg::int8u* q) {
                        _mm_storeu_si128(reinterpret_cast<__m128i*>(q), group);
                    });
                } else {
                    const __m128i keep = fullKeep_, share = fullShare_;
                    run = fullRun(p, len - i, covers, [zero, keep, share](agg::int8u* q) {
                        const __m128i d = load(q);
                        storeGroup(q, blendPair(_mm_unpacklo_epi8(d, zero), keep, share),
                                   blendPair(_mm_unpackhi_epi8(d, zero), keep, share));
                    });
                }
                const unsigned skip = run - 4;
                i += skip, p += 4 * skip, covers += skip;
                continue;
            }
            __m128i klo, khi;
            spreadCovers(covers, klo, khi);
            const __m128i d = load(p);
            storeGroup(
                p, blendCovered<Premultiplied>(_mm_unpacklo_epi8(d, zero), colour_, alpha_, klo),
                blendCovered<Premultiplied>(_mm_unpackhi_epi8(d, zero), colour_, alpha_, khi));
        }
        return i;
    }

    // The last one to three pixels of a span (len < 4) in the same lanes, read and written
    // no further than the span.
    void tail(agg::int8u* p, unsigned len, const agg::int8u* covers) const {
        const __m128i zero = _mm_setzero_si128();
        // The last one to three covers gathered in a register: bytes copied into memory and
        // read back as a word would wait for the copy to reach the cache.
        uint32_t four = covers[0];
        if (len >= 2) four |= uint32_t(covers[1]) << 8;
        if (len >= 3) four |= uint32_t(covers[2]) << 16;
        __m128i klo, khi;
        spreadCoverWord(four, klo, khi);
        if (len >= 2) {
            const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            const __m128i out =
                blendCovered<Premultiplied>(_mm_unpacklo_epi8(d, zero), colour_, alpha_, klo);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(out, out));
            if (len == 2) return;
            p += 8;
            klo = khi;
        }
        uint32_t word;
        std::memcpy(&word, p, 4);
        const __m128i d = _mm_cvtsi32_si128(int(word));
        const __m128i out =
            blendCovered<Premultiplied>(_mm_unpacklo_epi8(d, zero), colour_, alpha_, klo);
        store(p, uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out))));
    }

private:
    __m128i colour_, alpha_, opaqueGroup_, fullKeep_, fullShare_;
    bool opaque_;
};

// Two colours (bytes r, g, b, a widened to lanes) as lanes C, with their alphas in A.
template <bool Premultiplied>
inline __m128i colourPairLanes(__m128i rgba, __m128i& alpha) {
    const int bgra = _MM_SHUFFLE(3, 0, 1, 2);
    const __m128i c = _mm_shufflehi_epi16(_mm_shufflelo_epi16(rgba, bgra), bgra);
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, aaaa), aaaa);
    if (Premultiplied) return _mm_min_epi16(c, alpha);
    return _mm_or_si128(c, _mm_setr_epi16(0, 0, 0, 255, 0, 0, 0, 255));
}

// A colour per pixel, with a cover per pixel (covers) or one for all (cover). Groups of four
// transparent colours are skipped; four opaque colours at full cover are stored as they are
// (in pixel byte order).
template <bool Premultiplied>
unsigned colourSpan(agg::int8u* p, unsigned len, const agg::rgba8* colours,
                    const agg::int8u* covers, unsigned cover) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi8(char(0xFF));
    __m128i klo = _mm_set1_epi16(short(cover)), khi = klo;
    unsigned i = 0;
    for (; i + 4 <= len; i += 4, p += 16) {
        const __m128i rgba = load(colours + i);
        const int alphaBytes = 0x8888;
        if ((_mm_movemask_epi8(_mm_cmpeq_epi8(rgba, zero)) & alphaBytes) == alphaBytes) continue;
        bool fullCover = cover == 255;
        if (covers != nullptr) {
            uint32_t four;
            std::memcpy(&four, covers + i, 4);
            if (four == 0) continue;
            fullCover = four == 0xFFFFFFFFu;
            spreadCovers(covers + i, klo, khi);
        }
        if (fullCover &&
            (_mm_movemask_epi8(_mm_cmpeq_epi8(rgba, ones)) & alphaBytes) == alphaBytes) {
            // Opaque colours at full cover are the pixels themselves, straight or premultiplied
            // (no colour byte exceeds an alpha of 255): bytes r, g, b, a stored as b, g, r, a.
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), lumo::sse2::swapRedBlue(rgba));
            continue;
        }
        __m128i alo, ahi;
        const __m128i clo = colourPairLanes<Premultiplied>(_mm_unpacklo_epi8(rgba, zero), alo);
        const __m128i chi = colourPairLanes<Premultiplied>(_mm_unpackhi_epi8(rgba, zero), ahi);
        const __m128i d = load(p);
        storeGroup(p, blendCovered<Premultiplied>(_mm_unpacklo_epi8(d, zero), clo, alo, klo),
                   blendCovered<Premultiplied>(_mm_unpackhi_epi8(d, zero), chi, ahi, khi));
    }
    return i;
}

}  // namespace lumo::over::sse2

#endif
