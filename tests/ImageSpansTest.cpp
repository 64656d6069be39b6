// The library's bilinear and nearest-neighbour image span generators against
// AGG's, pixel for pixel: random premultiplied images of many shapes, random
// placements, every edge mode, spans reaching past the image on either side.
#include "ImageSpanComparison.h"
#include "paint/BilinearSpans.h"
#include "paint/ImageAccessors.h"
#include "paint/ImageRowSource.h"
#include "paint/NearestSpans.h"

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

// Both filters over one accessor kind: the library's and AGG's generators
// sample the same spans through equal but separate sides.
template <class Accessor>
void compareFilters(const ImageDescriptor& image, const agg::trans_affine& deviceToImage,
                    const std::vector<Span>& spans, const std::string& what) {
    {
        Side<Accessor> mine(image, deviceToImage), agg(image, deviceToImage);
        ASSERT_TRUE(mine.rows.usable());
        BilinearSpans<Accessor> ours(mine.accessor, mine.interpolator, mine.pixels);
        agg::span_image_filter_rgba_bilinear<Accessor, Interpolator> theirs(agg.accessor,
                                                                            agg.interpolator);
        const std::string difference = firstDifference(ours, theirs, spans);
        EXPECT_EQ(difference, "") << "bilinear, " << what;
    }
    {
        Side<Accessor> mine(image, deviceToImage), agg(image, deviceToImage);
        NearestSpans<Accessor> ours(mine.accessor, mine.interpolator, mine.pixels);
        agg::span_image_filter_rgba_nn<Accessor, Interpolator> theirs(agg.accessor,
                                                                      agg.interpolator);
        const std::string difference = firstDifference(ours, theirs, spans);
        EXPECT_EQ(difference, "") << "nearest, " << what;
    }
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

}  // namespace
}  // namespace lumo
