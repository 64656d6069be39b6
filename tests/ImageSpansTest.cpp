// The library's bilinear and nearest-neighbour image span generators against
// AGG's, pixel for pixel: random premultiplied images of many shapes, random
// placements, every edge mode, spans reaching past the image on either side,
// and wrapped images sampled far from their first tile.
#include "ImageSpanComparison.h"
#include "span/ImageAccessors.h"
#include "span/ImageRowSource.h"
#include "span/SampledSpans.h"

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

using namespace spancheck;
using Repeat = agg::wrap_mode_repeat;
using Reflect = agg::wrap_mode_reflect;

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

void compareRandomPlacements(int w, int h, bool converted, unsigned seed, int placements) {
    std::mt19937 random(seed);
    RandomImage image(w, h, random, converted);
    forRandomPlacements(w, h, random, placements,
                        [&](const agg::trans_affine& deviceToImage, const std::vector<Span>& spans,
                            const std::string& what) {
                            compareEveryEdgeMode(image.image, deviceToImage, spans, what);
                        });
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

// The rows of a filled rectangle: the same span on row after row, which
// may reuse the columns of the row before only where nothing shears x by y;
// and the sides of an outlined one, short spans of one length at two or
// three places in turn, which must not take each other's columns.
TEST(ImageSpans, RowsOfARectangleMatchAgg) {
    std::mt19937 random(81);
    RandomImage image(13, 9, random, false);
    std::vector<Span> rows;
    for (int y = -3; y < 40; ++y) rows.push_back({-7, y, 57});
    for (int y = 0; y < 5; ++y) rows.push_back({2, y, 1});
    for (int y = 0; y < 12; ++y) {
        rows.push_back({-7, y, 4});
        rows.push_back({41, y, 4});
        if (y % 3 == 0) rows.push_back({17 + y, y, 4});
    }
    const agg::trans_affine scaled(1 / 1.5, 0, 0, 1 / 1.7, 3.25, -2.5);
    const agg::trans_affine sheared(1 / 1.5, 0, 0.3, 1 / 1.7, 3.25, -2.5);
    const agg::trans_affine rotated = agg::trans_affine_rotation(0.4) * scaled;
    compareWrapModes(image.image, scaled, rows, "scaled");
    compareWrapModes(image.image, sheared, rows, "sheared");
    compareWrapModes(image.image, rotated, rows, "rotated");
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
