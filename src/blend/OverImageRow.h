#pragma once

#include <agg_basics.h>

namespace lumo {

// Source-over of a row of image pixels (bytes b, g, r, a, straight or
// premultiplied as Premultiplied says) onto a row of target pixels (bytes
// b, g, r, a, premultiplied), each at full cover after its alpha (and, for a
// premultiplied image, its colour) has been scaled by the extra alpha `alpha`:
// the same pixels as TranslatedImageSpan's colours blended by overColorHspan
// at full cover, without the colours in between. Where the processor has
// SSE2, four pixels at a time (eight with AVX2, OverImageRowAvx2.h).
template <bool Premultiplied>
void overImageRow(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha);

// The same with a cover per pixel (covers) or, without covers, `cover` for
// all of them: the pixels overColorHspan gives the colours at those covers.
template <bool Premultiplied>
void overImageRowCovered(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha,
                         const agg::int8u* covers, unsigned cover);

namespace over::portable {

// The same pixel by pixel, always built: the twin the SSE2 row is tested
// against.
template <bool Premultiplied>
void imageRow(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha);
template <bool Premultiplied>
void imageRowCovered(agg::int8u* p, const agg::int8u* source, unsigned len, unsigned alpha,
                     const agg::int8u* covers, unsigned cover);

}  // namespace over::portable

}  // namespace lumo
