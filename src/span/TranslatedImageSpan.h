#pragma once

#include "core/LookupTables.h"
#include "span/ImageAccessors.h"
#include "span/PixelRunCopy.h"

#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace lumo {

// The span generator for images placed at whole-pixel offsets: device pixel
// (x, y) shows image pixel (x - dx, y - dy) through the accessor, with no
// interpolation. At full extra alpha pixels are copied; otherwise the alpha
// (and premultiplied colour) is scaled by it.
template <class Accessor>
class TranslatedImageSpan {
public:
    TranslatedImageSpan(Accessor& accessor, int dx, int dy, int alpha8, bool premultiplied)
        : accessor_(accessor), dx_(dx), dy_(dy), alpha8_(alpha8), premultiplied_(premultiplied) {}

    void prepare() {}

    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        if (alpha8_ == 0) {
            std::memset(static_cast<void*>(span), 0, len * sizeof(agg::rgba8));
            return;
        }
        fetch(span, x - dx_, y - dy_, len);
        if (alpha8_ < 255) fade(span, len);
    }

private:
    // Pixels b, g, r, a become the colour's r, g, b, a.
    static agg::rgba8 colour(const agg::int8u* p) { return agg::rgba8(p[2], p[1], p[0], p[3]); }

    static void copyRun(agg::rgba8* out, const agg::int8u* p, unsigned n) {
        copyPixelRun(out, p, n);
    }

    void fetch(agg::rgba8* span, int x, int y, unsigned len) {
        if constexpr (std::is_same_v<Accessor, ClampAccessor>) {
            // Left of the image its first column repeats, right of it its
            // last; the middle is one contiguous run of the row.
            const agg::int8u* row = accessor_.rowAt(y);
            const int last = accessor_.lastX();
            unsigned i = 0;
            while (i < len && x + int(i) < 0) span[i++] = colour(row);
            if (i < len && x + int(i) <= last) {
                const unsigned run = std::min<unsigned>(len - i, unsigned(last - (x + int(i))) + 1);
                copyRun(span + i, row + 4 * (x + int(i)), run);
                i += run;
            }
            const agg::rgba8 edge = colour(row + 4 * last);
            while (i < len) span[i++] = edge;
        } else {
            const agg::int8u* p = accessor_.span(x, y, len);
            for (unsigned i = 0; i < len; ++i) {
                span[i] = colour(p);
                p = accessor_.next_x();
            }
        }
    }

    void fade(agg::rgba8* span, unsigned len) const {
        const uint8_t* scale = lookupTables.multiply[alpha8_];
        for (unsigned i = 0; i < len; ++i) {
            agg::rgba8& c = span[i];
            c.a = scale[c.a];
            if (!premultiplied_) continue;
            if (c.a == 0) {
                c.r = c.g = c.b = 0;
            } else {
                c.r = scale[c.r];
                c.g = scale[c.g];
                c.b = scale[c.b];
            }
        }
    }

    Accessor& accessor_;
    int dx_;
    int dy_;
    int alpha8_;
    bool premultiplied_;
};

}  // namespace lumo
