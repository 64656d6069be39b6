#pragma once

#include "span/ColumnGather.h"
#include "span/ImageSpanSteps.h"

#include <agg_color_rgba.h>
#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <cmath>
#include <cstdint>
#include <type_traits>

namespace lumo {

// AGG's image span generators map device spans into the image with a linear
// interpolator in 24.8 fixed point, whose coordinates and their differences
// are ints. This generator hands a span to them whole when both of its ends
// map within 2^21 image pixels of the origin, which is every span of any
// image drawn at a sensible place and size. A span reaching farther is
// sampled pixel by pixel, each pixel's image position limited to 2^22 pixels
// (NaN counts as the negative limit; beyond the limit the image shows its
// edge or its wrapped tiles anyway) and handed to a second generator as a
// one-pixel span through a translation, so nothing overflows.
// Whether both ends of a span, mapped into the image, lie within 2^21 image
// pixels of the origin.
inline bool mapsWhole(double x1, double y1, double x2, double y2) {
    constexpr double reach = 2097152.0;  // 2^21 pixels
    return std::fabs(x1) <= reach && std::fabs(y1) <= reach && std::fabs(x2) <= reach &&
           std::fabs(y2) <= reach;
}

inline bool mapsWhole(const SpanEnds& ends) {
    return mapsWhole(ends.x1, ends.y1, ends.x2, ends.y2);
}

// Whether the span of row y from x, len pixels long, is handed to the
// generators whole under `deviceToImage` (its ends at pixel centres).
inline bool spanMapsWhole(const agg::trans_affine& deviceToImage, int x, int y, unsigned len) {
    return mapsWhole(SpanEnds(deviceToImage, x, y, len));
}

template <class Spans>
class BoundedImageSpans {
public:
    // `whole` samples through `deviceToImage`, `single` through `shift`,
    // which this generator sets for every pixel it samples alone.
    BoundedImageSpans(Spans& whole, Spans& single, const agg::trans_affine& deviceToImage,
                      agg::trans_affine& shift)
        : whole_(whole), single_(single), deviceToImage_(deviceToImage), shift_(shift) {}

    void prepare() {
        whole_.prepare();
        single_.prepare();
    }

    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        // Pixel centres, as the span generators sample them.
        const double cx = x + 0.5, cy = y + 0.5;
        double x1 = cx, y1 = cy, x2 = cx + len, y2 = cy;
        deviceToImage_.transform(&x1, &y1);
        deviceToImage_.transform(&x2, &y2);
        if (mapsWhole(x1, y1, x2, y2)) {
            whole_.generate(span, x, y, len);
            return;
        }
        // One device pixel to the right moves (sx, shy) in the image.
        for (unsigned i = 0; i < len; ++i) {
            const double ix = limited(x1 + deviceToImage_.sx * i);
            const double iy = limited(y1 + deviceToImage_.shy * i);
            shift_ = agg::trans_affine_translation(ix - (cx + i), iy - cy);
            single_.generate(span + i, x + int(i), y, 1);
        }
    }

    // The image row and byte offsets in it of the span's pixels, when the
    // generator picks them from one row (see WrappedNearestSpans, which is
    // handed the span's ends as mapped for the check); false
    // when it does not, or the span is sampled pixel by pixel.
    bool rowColumns(int x, int y, unsigned len, RowColumns& picked) {
        if constexpr (HasRowColumns<Spans>::value) {
            const SpanEnds ends(deviceToImage_, x, y, len);
            return mapsWhole(ends) && whole_.rowColumns(ends, x, len, picked);
        } else {
            (void)x, (void)y, (void)len, (void)picked;
            return false;
        }
    }

    // The span put source-over onto `p` by the generator, when it can (see
    // BilinearSpans::blendOver; `colours` has room for len); false, with
    // nothing written, when it cannot, or the span is sampled pixel by pixel.
    bool blendOver(agg::int8u* p, int x, int y, unsigned len, const agg::int8u* covers,
                   unsigned cover, agg::rgba8* colours) {
        if constexpr (HasBlendOver<Spans>::value) {
            return spanMapsWhole(deviceToImage_, x, y, len) &&
                   whole_.blendOver(p, x, y, len, covers, cover, colours);
        } else {
            (void)p, (void)x, (void)y, (void)len, (void)covers, (void)cover, (void)colours;
            return false;
        }
    }

private:
    template <class S, class = void>
    struct HasBlendOver : std::false_type {};
    template <class S>
    struct HasBlendOver<S, std::void_t<decltype(&S::blendOver)>> : std::true_type {};
    template <class S, class = void>
    struct HasRowColumns : std::false_type {};
    template <class S>
    struct HasRowColumns<S, std::void_t<decltype(&S::rowColumns)>> : std::true_type {};

    static constexpr double limit = 4194304.0;  // 2^22 pixels

    static double limited(double v) {
        if (!(v >= -limit)) return -limit;
        return v > limit ? limit : v;
    }

    Spans& whole_;
    Spans& single_;
    const agg::trans_affine& deviceToImage_;
    agg::trans_affine& shift_;
};

}  // namespace lumo
