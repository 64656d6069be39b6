#pragma once

#include <agg_basics.h>
#include <agg_color_rgba.h>

namespace lumo {

// Source-over along a row of pixels (bytes b, g, r, a, premultiplied), with the same result as
// over::pixel (SourceOver.h) pixel by pixel. Premultiplied tells how the colours handed in are
// to be read. Where the processor has SSE2 the spans blend four pixels at a time.
// over::portable has the same spans without SSE2, always built: the reference the SSE2 spans
// are tested against (and what builds without SSE2 run).

// One colour at one cover.
template <bool Premultiplied>
void overHline(agg::int8u* p, unsigned len, const agg::rgba8& colour, unsigned cover);

// One colour, a cover per pixel: the antialiased fill.
template <bool Premultiplied>
void overSolidHspan(agg::int8u* p, unsigned len, const agg::rgba8& colour,
                    const agg::int8u* covers);

// A colour per pixel, with a cover per pixel or, without covers, `cover` for all of them.
template <bool Premultiplied>
void overColorHspan(agg::int8u* p, unsigned len, const agg::rgba8* colours,
                    const agg::int8u* covers, unsigned cover);

namespace over::portable {

template <bool Premultiplied>
void hline(agg::int8u* p, unsigned len, const agg::rgba8& colour, unsigned cover);
template <bool Premultiplied>
void solidHspan(agg::int8u* p, unsigned len, const agg::rgba8& colour, const agg::int8u* covers);
template <bool Premultiplied>
void colorHspan(agg::int8u* p, unsigned len, const agg::rgba8* colours, const agg::int8u* covers,
                unsigned cover);

}  // namespace over::portable

}  // namespace lumo
