// The library's bilinear and nearest-neighbour image span generators against
// AGG's, pixel for pixel: random premultiplied images of many shapes, random
// placements, every edge mode, spans reaching past the image on either side,
// and wrapped images sampled far from their first tile.
#include "paint/ImageAccessors.h"
#include "paint/ImageRowSource.h"
#include "paint/SampledSpans.h"

#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace lumo {
namespace {

using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;
using Repeat = agg::wrap_mode_repeat;
using Reflect = agg::wrap_mode_reflect;

// A random premultiplied image. Kept as 32-bit premultiplied ARGB it is read
// in place; as straight ARGB drawn through filters its rows are converted
// into slots, which exercises the row cache.
struct RandomImage {
    RandomImage(int w, int h, std::mt19937& random, bool converted) : words(size_t(w) * h) {
        for (uint32_t& word : words) {
            const uint32_t a = pick(random);
            const uint32_t r = pick(random) % (a + 1), g = pick(random) % (a + 1);
            const uint32_t b = pick(random) % (a + 1);
            word = converted ? (a << 24) | (pick(random) << 16) | (pick(random) << 8) | pick(random)
                             : (a << 24) | (r << 16) | (g << 8) | b;
        }
        image.kind = converted ? IMAGE_INT_ARGB : IMAGE_INT_ARGB_PRE;
        image.alpha = converted ? 0 : 1;
        image.width = w;
        image.height = h;
        image.bytesPerLine = w * 4;
        image.data = reinterpret_cast<const uint8_t*>(words.data());
    }
    // Bytes biased to the extremes, where rounding slips show.
    static uint32_t pick(std::mt19937& random) {
        const uint32_t v = random() % 300;
        return v < 256 ? v : (v < 278 ? 0 : 255);
    }
    std::vector<uint32_t> words;
    ImageDescriptor image;
};

// One side of a comparison: its own rows, accessor and interpolator.
template <class Accessor>
struct Side {
    Side(const ImageDescriptor& image, const agg::trans_affine& deviceToImage)
        : rows(image, 1.0, nullptr, true),
          pixels(rows),
          accessor(pixels),
          transform(deviceToImage),
          interpolator(transform) {}
    ImageRowSource rows;
    RowSourcePixels pixels;
    Accessor accessor;
    agg::trans_affine transform;
    Interpolator interpolator;
};

struct Span {
    int x, y;
    unsigned len;
};

// The first pixel that differs, or an empty string.
template <class Mine, class Agg>
std::string firstDifference(Mine& mine, Agg& agg, const std::vector<Span>& spans) {
    std::vector<agg::rgba8> a, b;
    for (const Span& s : spans) {
        a.assign(s.len, agg::rgba8(1, 2, 3, 4));
        b.assign(s.len, agg::rgba8(5, 6, 7, 8));
        mine.generate(a.data(), s.x, s.y, s.len);
        agg.generate(b.data(), s.x, s.y, s.len);
        for (unsigned i = 0; i < s.len; ++i) {
            const agg::rgba8 &p = a[i], &q = b[i];
            if (p.r != q.r || p.g != q.g || p.b != q.b || p.a != q.a) {
                return "span (" + std::to_string(s.x) + ", " + std::to_string(s.y) + ", " +
                       std::to_string(s.len) + ") pixel " + std::to_string(i) + ": " +
                       std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) +
                       "," + std::to_string(p.a) + " instead of " + std::to_string(q.r) + "," +
                       std::to_string(q.g) + "," + std::to_string(q.b) + "," + std::to_string(q.a);
            }
        }
    }
    return "";
}

// One filter: the library's generator and AGG's sample the same spans
// through equal but separate sides.
template <class Accessor, class Mine, class Theirs>
void compareFilter(const ImageDescriptor& image, const agg::trans_affine& deviceToImage,
                   const std::vector<Span>& spans, const std::string& what) {
    Side<Accessor> mine(image, deviceToImage), agg(image, deviceToImage);
    ASSERT_TRUE(mine.rows.usable());
    Mine ours(mine.accessor, mine.interpolator, mine.pixels);
    Theirs theirs(agg.accessor, agg.interpolator);
    const std::string difference = firstDifference(ours, theirs, spans);
    EXPECT_EQ(difference, "") << what;
}

// Both filters over one accessor kind, with the generators the renderer
// picks for it.
template <class Accessor>
void compareFilters(const ImageDescriptor& image, const agg::trans_affine& deviceToImage,
                    const std::vector<Span>& spans, const std::string& what) {
    compareFilter<Accessor, typename SampledSpans<Accessor>::Bilinear,
                  agg::span_image_filter_rgba_bilinear<Accessor, Interpolator>>(
        image, deviceToImage, spans, "bilinear, " + what);
    compareFilter<Accessor, typename SampledSpans<Accessor>::Nearest,
                  agg::span_image_filter_rgba_nn<Accessor, Interpolator>>(
        image, deviceToImage, spans, "nearest, " + what);
}

void compareEveryEdgeMode(const ImageDescriptor& image, const agg::trans_affine& deviceToImage,
                          const std::vector<Span>& spans, const std::string& what) {
    compareFilters<ClampAccessor>(image, deviceToImage, spans, what + ", clamped");
    compareFilters<WrapAccessor<Repeat, Repeat>>(image, deviceToImage, spans,
                                                 what + ", repeat/repeat");
    compareFilters<WrapAccessor<Repeat, Reflect>>(image, deviceToImage, spans,
                                                  what + ", repeat/reflect");
    compareFilters<WrapAccessor<Reflect, Repeat>>(image, deviceToImage, spans,
                                                  what + ", reflect/repeat");
    compareFilters<WrapAccessor<Reflect, Reflect>>(image, deviceToImage, spans,
                                                   what + ", reflect/reflect");
}

// A random placement: scale (up, down, mirrored, huge or tiny), rotation or
// shear now and then, and a fractional offset that may leave the image partly
// outside the device area the spans cover.
agg::trans_affine randomPlacement(std::mt19937& random, int w, int h) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    static const double scales[] = {1.0, 1.7, 0.77, 0.3, 2.5, 3.99, 0.05, 37.0, 0.004, 250.0};
    const double sx = scales[random() % 10] * (random() % 4 == 0 ? -1 : 1);
    const double sy =
        (random() % 3 == 0 ? scales[random() % 10] : std::fabs(sx)) * (random() % 4 == 0 ? -1 : 1);
    agg::trans_affine t = agg::trans_affine_translation(-w * unit(random), -h * unit(random));
    t *= agg::trans_affine_scaling(sx, sy);
    switch (random() % 4) {
        case 0:
            t *= agg::trans_affine_rotation(unit(random) * 6.283185307179586);
            break;
        case 1:
            t *= agg::trans_affine_skewing(unit(random) - 0.5, 0.0);
            break;
        default:
            break;  // scaled and translated only: rows stay put along a span
    }
    t *= agg::trans_affine_translation(unit(random) * 60.0 - 10.0, unit(random) * 60.0 - 10.0);
    return t;
}

// Spans over the device area the placed image covers and a margin around it,
// whole rows starting left and right of the image, long rows far beyond it
// and short spans anywhere.
std::vector<Span> spansAround(const agg::trans_affine& imageToDevice, int w, int h,
                              std::mt19937& random) {
    double xs[4] = {0, double(w), 0, double(w)}, ys[4] = {0, 0, double(h), double(h)};
    for (int i = 0; i < 4; ++i) imageToDevice.transform(&xs[i], &ys[i]);
    auto limit = [](double v) { return int(std::max(-100.0, std::min(200.0, v))); };
    const int left = limit(std::floor(*std::min_element(xs, xs + 4))) - 3;
    const int right = limit(std::ceil(*std::max_element(xs, xs + 4))) + 3;
    const int top = limit(std::floor(*std::min_element(ys, ys + 4))) - 3;
    const int bottom = limit(std::ceil(*std::max_element(ys, ys + 4))) + 3;
    std::vector<Span> spans;
    const int rowStep = std::max(1, (bottom - top) / 40);
    for (int y = top; y <= bottom; y += rowStep) {
        spans.push_back({left, y, unsigned(right - left + 1)});
        const int from = left + int(random() % unsigned(right - left + 1));
        spans.push_back({from, y, unsigned(right - from + 1)});
    }
    // Long spans far around the image, over the tiles of wrapped images.
    for (int i = 0; i < 6; ++i) spans.push_back({-100, -100 + int(random() % 300), 300});
    for (int i = 0; i < 40; ++i) {
        const int x = left + int(random() % unsigned(right - left + 1));
        const int y = top + int(random() % unsigned(bottom - top + 1));
        spans.push_back({x, y, 1 + unsigned(random() % 6)});
    }
    return spans;
}

void compareRandomPlacements(int w, int h, bool converted, unsigned seed, int placements) {
    std::mt19937 random(seed);
    RandomImage image(w, h, random, converted);
    for (int i = 0; i < placements; ++i) {
        const agg::trans_affine imageToDevice = randomPlacement(random, w, h);
        agg::trans_affine deviceToImage = imageToDevice;
        deviceToImage.invert();
        const std::vector<Span> spans = spansAround(imageToDevice, w, h, random);
        compareEveryEdgeMode(
            image.image, deviceToImage, spans,
            std::to_string(w) + "x" + std::to_string(h) + " placement " + std::to_string(i));
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(ImageSpans, DegenerateImagesMatchAgg) {
    compareRandomPlacements(1, 1, false, 11, 12);
    compareRandomPlacements(1, 9, false, 12, 12);
    compareRandomPlacements(9, 1, false, 13, 12);
    compareRandomPlacements(2, 2, false, 14, 12);
}

TEST(ImageSpans, SmallAndMediumImagesMatchAgg) {
    compareRandomPlacements(5, 3, false, 21, 30);
    compareRandomPlacements(37, 23, false, 22, 30);
    compareRandomPlacements(160, 97, false, 23, 10);
}

TEST(ImageSpans, ConvertedRowsMatchAgg) {
    // Straight pixels are premultiplied into cached rows; a tall image drawn
    // at unit vertical scale gets a short window of them.
    compareRandomPlacements(7, 31, true, 31, 20);
    compareRandomPlacements(3, 700, true, 32, 10);
}

// Placements that keep every sample on exact pixel edges or centres, where
// the fractions are 0 and the blocks end exactly at the last column.
TEST(ImageSpans, WholeAndHalfPixelPlacementsMatchAgg) {
    std::mt19937 random(41);
    RandomImage image(13, 8, random, false);
    const double offsets[] = {0.0, 0.5, -0.5, 3.0, -7.25};
    const double scales[] = {1.0, 2.0, -1.0, 0.5};
    for (double s : scales) {
        for (double o : offsets) {
            agg::trans_affine imageToDevice = agg::trans_affine_scaling(s, std::fabs(s));
            imageToDevice *= agg::trans_affine_translation(o + 20.0, o + 10.0);
            agg::trans_affine deviceToImage = imageToDevice;
            deviceToImage.invert();
            compareEveryEdgeMode(image.image, deviceToImage,
                                 spansAround(imageToDevice, 13, 8, random),
                                 "scale " + std::to_string(s) + " offset " + std::to_string(o));
        }
    }
}

// ---------------------------------------------------------------------------
// Wrapped images far from their first tile.

void compareWrapModes(const ImageDescriptor& image, const agg::trans_affine& deviceToImage,
                      const std::vector<Span>& spans, const std::string& what) {
    compareFilters<WrapAccessor<Repeat, Repeat>>(image, deviceToImage, spans,
                                                 what + ", repeat/repeat");
    compareFilters<WrapAccessor<Repeat, Reflect>>(image, deviceToImage, spans,
                                                  what + ", repeat/reflect");
    compareFilters<WrapAccessor<Reflect, Repeat>>(image, deviceToImage, spans,
                                                  what + ", reflect/repeat");
    compareFilters<WrapAccessor<Reflect, Reflect>>(image, deviceToImage, spans,
                                                   what + ", reflect/reflect");
}

// A placement whose device origin lands up to `far` image pixels away from
// the first tile, on either side: scaled (down to many tiles per device
// pixel), often rotated or sheared.
agg::trans_affine farPlacement(std::mt19937& random, double far) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    static const double scales[] = {1.0, 1.5, 0.77, 0.3, 2.5, 0.05, 11.0, 0.013};
    const double sx = scales[random() % 8] * (random() % 4 == 0 ? -1 : 1);
    const double sy =
        (random() % 3 == 0 ? scales[random() % 8] : std::fabs(sx)) * (random() % 4 == 0 ? -1 : 1);
    agg::trans_affine t =
        agg::trans_affine_translation(far * (2 * unit(random) - 1), far * (2 * unit(random) - 1));
    t *= agg::trans_affine_scaling(sx, sy);
    switch (random() % 3) {
        case 0:
            t *= agg::trans_affine_rotation(unit(random) * 6.283185307179586);
            break;
        case 1:
            t *= agg::trans_affine_skewing(unit(random) - 0.5, unit(random) - 0.5);
            break;
        default:
            break;
    }
    return t;
}

// Long and short spans anywhere on the device, left and right of its origin.
std::vector<Span> spansAnywhere(std::mt19937& random) {
    std::vector<Span> spans;
    for (int i = 0; i < 24; ++i) {
        spans.push_back({int(random() % 4001) - 2000, int(random() % 4001) - 2000,
                         1 + unsigned(random() % 1200)});
    }
    for (int i = 0; i < 24; ++i) {
        spans.push_back(
            {int(random() % 401) - 200, int(random() % 401) - 200, 1 + unsigned(random() % 5)});
    }
    return spans;
}

void compareFarPlacements(int w, int h, bool converted, unsigned seed, int placements, double far) {
    std::mt19937 random(seed);
    RandomImage image(w, h, random, converted);
    for (int i = 0; i < placements; ++i) {
        agg::trans_affine deviceToImage = farPlacement(random, far);
        deviceToImage.invert();
        compareWrapModes(
            image.image, deviceToImage, spansAnywhere(random),
            std::to_string(w) + "x" + std::to_string(h) + " far placement " + std::to_string(i));
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(ImageSpans, WrappedTilesFarFromTheFirstMatchAgg) {
    compareFarPlacements(5, 3, false, 51, 30, 3000.0);
    compareFarPlacements(37, 23, false, 52, 30, 2000000.0);
    compareFarPlacements(64, 64, false, 53, 20, 300000.0);
}

TEST(ImageSpans, TinyWrappedImagesMatchAgg) {
    compareFarPlacements(1, 1, false, 61, 20, 1000.0);
    compareFarPlacements(1, 6, false, 62, 20, 100000.0);
    compareFarPlacements(6, 1, false, 63, 20, 100000.0);
    compareFarPlacements(2, 2, false, 64, 20, 1000000.0);
    compareFarPlacements(2, 1, false, 65, 20, 50.0);
}

// Converted rows come from a row cache: a block's two rows must both be
// held, and 694 rows in a window of eleven slots put the last row in the
// first row's slot, so the wrapped block joining them cannot be.
TEST(ImageSpans, WrappedConvertedRowsMatchAgg) {
    compareFarPlacements(7, 31, true, 71, 20, 5000.0);
    compareFarPlacements(3, 694, true, 72, 10, 5000.0);
    std::mt19937 random(73);
    RandomImage image(3, 694, random, true);
    for (double offset : {693.5, 693.0, 692.75, -0.5, 1387.25}) {
        // Unit scale, so that rows stay put along spans and blocks straddle
        // the last and first rows.
        const agg::trans_affine deviceToImage = agg::trans_affine_translation(0.3, offset);
        compareWrapModes(image.image, deviceToImage, {{-20, 0, 60}, {-5, 1, 9}, {0, -1, 3}},
                         "offset " + std::to_string(offset));
    }
}

// Periods too long to reduce into an int of 24.8 positions are sampled
// through the accessor. Mirrored spans over the last column of the first
// such period would take a reduced position past the int's range.
TEST(ImageSpans, LongPeriodsMatchAgg) {
    std::mt19937 random(81);
    const int w = int(WrappedSpanSteps::maxPeriod) + 1;
    RandomImage image(w, 1, random, false);
    const agg::trans_affine mirrored =
        agg::trans_affine_scaling(-1.0, 1.0) * agg::trans_affine_translation(w + 0.25, 0.5);
    compareWrapModes(image.image, mirrored, {{-3, 0, 9}, {0, 0, 2}, {-1, 0, 1}},
                     "mirrored over the last column");
    for (int i = 0; i < 3; ++i) {
        agg::trans_affine deviceToImage = farPlacement(random, 3000000.0);
        deviceToImage.invert();
        compareWrapModes(image.image, deviceToImage, spansAnywhere(random),
                         "long placement " + std::to_string(i));
    }
}

}  // namespace
}  // namespace lumo
