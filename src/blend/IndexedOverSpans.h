#pragma once

#include "blend/SourceOver.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

namespace lumo {

// A table of 256 straight colours as source-over spans read it: the colours
// themselves, and for each the word (bytes b, g, r, a) it adds to a pixel at
// full cover, M[b][a], M[g][a], M[r][a], a (M the multiply table): its
// premultiplied form.
struct IndexedColours {
    const agg::rgba8* straight;
    const uint32_t* fullCover;
    // Every alpha is 255: the full-cover words are the pixels themselves.
    bool opaque;
};

// Source-over of the colour `index` selects onto one pixel at cover k: the
// same pixel as over::colourPixel<false> with the straight colour. At full
// cover the effective alpha is the colour's own and its contribution the
// products the full-cover word holds, so the word is added as it stands,
// with no product worked out for the colour.
inline void overIndexedPixel(agg::int8u* p, const IndexedColours& colours, unsigned index,
                             unsigned k) {
    if (k != agg::cover_full) {
        over::colourPixel<false>(p, colours.straight[index], k);
        return;
    }
    const uint32_t word = colours.fullCover[index];
    agg::int8u bgra[4];
    std::memcpy(bgra, &word, 4);
    if (bgra[3] == 255) {
        over::store(p, word);
    } else if (bgra[3] != 0) {
        over::apply(p, bgra[3], bgra[0], bgra[1], bgra[2]);
    }
}

// Source-over along a row of pixels (bytes b, g, r, a, premultiplied) of the
// colours `indices` select from `colours`, a cover per pixel: the same
// pixels as overColorHspan<false> with the colours looked up. Where the
// processor has SSE2, four pixels at a time; groups of four at full cover
// blend the full-cover words, so no colour is premultiplied there.
void overIndexedSpan(agg::int8u* p, unsigned len, const agg::int8u* indices,
                     const agg::int8u* covers, const IndexedColours& colours);

namespace over::portable {

// The same pixel by pixel, always built: the twin the SSE2 span is tested
// against.
void indexedSpan(agg::int8u* p, unsigned len, const agg::int8u* indices, const agg::int8u* covers,
                 const IndexedColours& colours);

}  // namespace over::portable

}  // namespace lumo
