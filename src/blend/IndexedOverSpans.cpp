#include "blend/IndexedOverSpans.h"

#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <cstring>

namespace lumo {

namespace {

#if LUMO_SSE2

// Four table words, the first index's lowest.
inline __m128i gather(const uint32_t* words, uint32_t indices) {
    return _mm_setr_epi32(int(words[indices & 255]), int(words[(indices >> 8) & 255]),
                          int(words[(indices >> 16) & 255]), int(words[indices >> 24]));
}

// Two pixels at full cover: M[d][255 - a] + the full-cover word's lanes.
inline __m128i fullPair(__m128i d, __m128i word) {
    const int aaaa = _MM_SHUFFLE(3, 3, 3, 3);
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(word, aaaa), aaaa);
    return over::sse2::blendPair(d, _mm_sub_epi16(_mm_set1_epi16(255), alpha), word);
}

// The whole groups of four from the start of the span; returns their pixels.
unsigned indexedGroups(agg::int8u* p, unsigned len, const agg::int8u* indices,
                       const agg::int8u* covers, const IndexedColours& colours) {
    using namespace over::sse2;
    static_assert(sizeof(agg::rgba8) == 4, "a colour is a word");
    const __m128i zero = _mm_setzero_si128();
    const uint32_t* straight = reinterpret_cast<const uint32_t*>(colours.straight);
    unsigned i = 0;
    for (; i + 4 <= len; i += 4, p += 16) {
        uint32_t four, index;
        std::memcpy(&four, covers + i, 4);
        if (four == 0) continue;
        std::memcpy(&index, indices + i, 4);
        if (four == 0xFFFFFFFFu) {
            const __m128i words = gather(colours.fullCover, index);
            if (colours.opaque) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(p), words);
                continue;
            }
            const __m128i d = load(p);
            storeGroup(p, fullPair(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(words, zero)),
                       fullPair(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(words, zero)));
            continue;
        }
        // Partly covered: as colourSpan blends straight colours.
        const __m128i rgba = gather(straight, index);
        __m128i klo, khi, alo, ahi;
        spreadCovers(covers + i, klo, khi);
        const __m128i clo = colourPairLanes<false>(_mm_unpacklo_epi8(rgba, zero), alo);
        const __m128i chi = colourPairLanes<false>(_mm_unpackhi_epi8(rgba, zero), ahi);
        const __m128i d = load(p);
        storeGroup(p, blendCovered<false>(_mm_unpacklo_epi8(d, zero), clo, alo, klo),
                   blendCovered<false>(_mm_unpackhi_epi8(d, zero), chi, ahi, khi));
    }
    return i;
}

#endif

void pixels(agg::int8u* p, unsigned from, unsigned len, const agg::int8u* indices,
            const agg::int8u* covers, const IndexedColours& colours) {
    for (unsigned i = from; i < len; ++i) {
        overIndexedPixel(p + 4 * size_t(i), colours, indices[i], covers[i]);
    }
}

}  // namespace

void overIndexedSpan(agg::int8u* p, unsigned len, const agg::int8u* indices,
                     const agg::int8u* covers, const IndexedColours& colours) {
    unsigned i = 0;
#if LUMO_SSE2
    i = indexedGroups(p, len, indices, covers, colours);
#endif
    pixels(p, i, len, indices, covers, colours);
}

namespace over::portable {

void indexedSpan(agg::int8u* p, unsigned len, const agg::int8u* indices, const agg::int8u* covers,
                 const IndexedColours& colours) {
    // The reference pixel by pixel, straight colours alone.
    for (unsigned i = 0; i < len; ++i) {
        over::colourPixel<false>(p + 4 * size_t(i), colours.straight[indices[i]], covers[i]);
    }
}

}  // namespace over::portable

}  // namespace lumo
