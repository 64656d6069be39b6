#pragma once

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>

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
