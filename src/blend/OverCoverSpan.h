#pragma once

#include "blend/OverSpansSse2.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <agg_basics.h>
#include <agg_color_rgba.h>

#include <cstdint>

namespace lumo::over {

// Source-over of one colour with a cover per pixel (the antialiased fill), prepared once for
// any number of spans: the same pixels as over::pixel pixel by pixel. With Simd (where SSE2 is
// built) every pixel goes through the SSE2 lanes worked out here once, four at a time and the
// last one to three alike; without it every pixel goes the portable way, which
// SimdKernelsTest compares with it.
template <bool Premultiplied, bool Simd = LUMO_SSE2 != 0>
class CoverSpan {
public:
    explicit CoverSpan(const agg::rgba8& colour)
        : c_(colour)
#if LUMO_SSE2
          ,
          lanes_(c_)
#endif
    {
    }

    void apply(agg::int8u* p, unsigned len, const agg::int8u* covers) const {
        if (c_.a == 0) return;
        unsigned i = 0;
#if LUMO_SSE2
        if (Simd) {
            i = lanes_.run(p, len, covers);
            if (i < len) lanes_.tail(p + 4 * i, len - i, covers + i);
            return;
        }
#endif
        p += 4 * i;
        if (c_.a == 255) {
            // The effective alpha is the cover itself, and a straight colour and a
            // premultiplied one are the same.
            const uint32_t word = c_.opaqueWord();
            for (; i < len; ++i, p += 4) {
                const unsigned k = covers[i];
                if (k == 255) {
                    store(p, word);
                } else {
                    c_.blend(p, k, k);
                }
            }
            return;
        }
        // Translucent: no pixel is stored outright, and a zero cover blends nothing, so the
        // loop has no branches.
        for (; i < len; ++i, p += 4) {
            const unsigned k = covers[i];
            c_.blend(p, k, product(c_.a, k));
        }
    }

private:
    Colour<Premultiplied> c_;
#if LUMO_SSE2
    sse2::SolidSpan<Premultiplied> lanes_;
#endif
};

}  // namespace lumo::over
