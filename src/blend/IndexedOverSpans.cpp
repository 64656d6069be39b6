#include "blend/IndexedOverSpans.h"

#include "blend/IndexedOverAvx2.h"
#include "blend/IndexedOverGroup.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"

#include <cstring>

namespace lumo {

namespace {

#if LUMO_SSE2

// The span in blocks of four (eight with AVX2), the last one to three pixels as a block of
// their own.
void indexedBlocks(agg::int8u* p, unsigned len, const agg::int8u* indices, const agg::int8u* covers,
                   const IndexedColours& colours) {
    unsigned i = 0;
#if LUMO_AVX2
    if (len >= 16 && cpuHasAvx2) {
        i = over::avx2::indexedSpan(p, len, indices, covers, colours);
        p += 4 * size_t(i);
    }
#endif
    for (; i + 4 <= len; i += 4, p += 16) {
        uint32_t four;
        std::memcpy(&four, covers + i, 4);
        over::sse2::indexedFour(p, colours, indices[i], indices[i + 1], indices[i + 2],
                                indices[i + 3], four);
    }
    if (i == len) return;
    uint32_t index = 0, cover = 0;
    for (unsigned k = 0; i + k < len; ++k) {
        index |= uint32_t(indices[i + k]) << (8 * k);
        cover |= uint32_t(covers[i + k]) << (8 * k);
    }
    over::sse2::indexedFirst(p, colours, len - i, index, cover);
}

#else

void pixels(agg::int8u* p, unsigned len, const agg::int8u* indices, const agg::int8u* covers,
            const IndexedColours& colours) {
    for (unsigned i = 0; i < len; ++i) {
        overIndexedPixel(p + 4 * size_t(i), colours, indices[i], covers[i]);
    }
}

#endif

}  // namespace

void overIndexedSpan(agg::int8u* p, unsigned len, const agg::int8u* indices,
                     const agg::int8u* covers, const IndexedColours& colours) {
#if LUMO_SSE2
    indexedBlocks(p, len, indices, covers, colours);
#else
    pixels(p, len, indices, covers, colours);
#endif
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
