// The library's span generator of the look-up-table image filters (hints 2
// to 16) against AGG's span_image_filter_rgba and span_image_filter_rgba_2x2,
// pixel for pixel: random premultiplied images of many shapes, random
// placements, every edge mode, spans reaching past the image on either side,
// through both the SSE2 and the portable path; and the portable weighing of a
// block against the SSE2 one.
#include "ImageSpanComparison.h"
#include "span/FilterBlock.h"
#include "span/FilterWeights.h"
#include "span/FilteredSpans.h"
#include "span/ImageFilters.h"

#include <agg_span_image_filter_rgba.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace lumo {
namespace {

using namespace spancheck;

using Repeat = agg::wrap_mode_repeat;
using Reflect = agg::wrap_mode_reflect;

constexpr unsigned firstHint = 2, lastHint = 16;

// The filter of one hint, as the renderer builds it.
struct Filter {
    explicit Filter(unsigned hint)
        : lut(), weights((buildImageFilter(hint, lut), lut), imageFilterLayout(hint)) {}
    agg::image_filter_lut lut;
    FilterWeights weights;
};

// The generator's portable path as a generator of its own.
template <class Accessor>
struct PortableSpans {
    void generate(agg::rgba8* span, int x, int y, unsigned len) {
        spans.generatePortable(span, x, y, len);
    }
    FilteredSpans<Accessor>& spans;
};

// The library's generator against AGG's for one filter; with `portable`
// through its portable path.
template <class Accessor>
std::string compareHint(bool portable, const Filter& filter, unsigned hint,
                        const ImageDescriptor& image, const agg::trans_affine& deviceToImage,
                        const std::vector<Span>& spans) {
    Side<Accessor> mine(image, deviceToImage), agg(image, deviceToImage);
    if (!mine.rows.usable()) return "rows unusable";
    FilteredSpans<Accessor> ours(mine.accessor, mine.interpolator, filter.weights, mine.pixels);
    PortableSpans<Accessor> oursPortable{ours};
    auto& lut = const_cast<agg::image_filter_lut&>(filter.lut);
    if (imageFilterLayout(hint) == FilterWeights::TwoByTwo) {
        agg::span_image_filter_rgba_2x2<Accessor, Interpolator> theirs(agg.accessor,
                                                                       agg.interpolator, lut);
        return portable ? firstDifference(oursPortable, theirs, spans)
                        : firstDifference(ours, theirs, spans);
    }
    agg::span_image_filter_rgba<Accessor, Interpolator> theirs(agg.accessor, agg.interpolator, lut);
    return portable ? firstDifference(oursPortable, theirs, spans)
                    : firstDifference(ours, theirs, spans);
}

template <class Accessor>
void expectSame(const Filter& filter, unsigned hint, const ImageDescriptor& image,
                const agg::trans_affine& deviceToImage, const std::vector<Span>& spans,
                const std::string& what) {
    for (bool portable : {false, true}) {
        const std::string difference =
            compareHint<Accessor>(portable, filter, hint, image, deviceToImage, spans);
        EXPECT_EQ(difference, "") << "hint " << hint << ", " << what
                                  << (portable ? ", portable" : "");
    }
}

void compareEveryEdgeMode(const Filter& filter, unsigned hint, const ImageDescriptor& image,
                          const agg::trans_affine& deviceToImage, const std::vector<Span>& spans,
                          const std::string& what) {
    expectSame<ClampAccessor>(filter, hint, image, deviceToImage, spans, what + ", clamped");
    expectSame<WrapAccessor<Repeat, Repeat>>(filter, hint, image, deviceToImage, spans,
                                             what + ", repeat/repeat");
    expectSame<WrapAccessor<Repeat, Reflect>>(filter, hint, image, deviceToImage, spans,
                                              what + ", repeat/reflect");
    expectSame<WrapAccessor<Reflect, Repeat>>(filter, hint, image, deviceToImage, spans,
                                              what + ", reflect/repeat");
    expectSame<WrapAccessor<Reflect, Reflect>>(filter, hint, image, deviceToImage, spans,
                                               what + ", reflect/reflect");
}

// Every hint over `placements` random placements of one random image.
void compareRandomPlacements(int w, int h, bool converted, unsigned seed, int placements) {
    for (unsigned hint = firstHint; hint <= lastHint; ++hint) {
        std::mt19937 random(seed + 1000 * hint);
        RandomImage image(w, h, random, converted);
        const Filter filter(hint);
        forRandomPlacements(w, h, random, placements,
                            [&](const agg::trans_affine& deviceToImage,
                                const std::vector<Span>& spans, const std::string& what) {
                                compareEveryEdgeMode(filter, hint, image.image, deviceToImage,
                                                     spans, what);
                            });
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(FilteredSpans, DegenerateImagesMatchAgg) {
    compareRandomPlacements(1, 1, false, 11, 4);
    compareRandomPlacements(1, 9, false, 12, 4);
    compareRandomPlacements(9, 1, false, 13, 4);
    compareRandomPlacements(3, 3, false, 14, 4);
}

TEST(FilteredSpans, SmallAndMediumImagesMatchAgg) {
    // Wide enough for the largest footprint (8 pixels) to fit inside.
    compareRandomPlacements(9, 8, false, 21, 8);
    compareRandomPlacements(37, 23, false, 22, 6);
    compareRandomPlacements(130, 97, false, 23, 2);
}

TEST(FilteredSpans, ConvertedRowsMatchAgg) {
    // Straight pixels are premultiplied into cached rows; a tall image drawn
    // at unit vertical scale gets a short window of them, which must still
    // hold the tallest footprint.
    compareRandomPlacements(11, 31, true, 31, 4);
    compareRandomPlacements(3, 700, true, 32, 2);
    compareRandomPlacements(12, 1100, true, 33, 2);
}

// Runs of rows fetched for footprints share the slots of a short window with
// the rows single pixels ask for: whichever way they are asked for, in
// whatever order, rows read what the image holds.
TEST(FilteredSpans, RowRunsAndSingleRowsShareTheWindow) {
    std::mt19937 random(35);
    const int w = 5, h = 400;
    RandomImage image(w, h, random, true);
    ImageRowSource rows(image.image, 1.0, nullptr, true),
        reference(image.image, 1.0, nullptr, true);
    ASSERT_TRUE(rows.usable());
    ASSERT_LT(rows.slotCount(), 20u);
    auto expectRow = [&](const uint8_t* row, int y, const std::string& how) {
        const std::vector<uint8_t> got(row, row + 4 * w);
        const uint8_t* want = reference.row(y);
        ASSERT_EQ(got, std::vector<uint8_t>(want, want + 4 * w)) << how << " row " << y;
    };
    for (int i = 0; i < 3000 && !::testing::Test::HasFailure(); ++i) {
        const int y = int(random() % unsigned(h - 8));
        switch (random() % 3) {
            case 0:
                expectRow(rows.row(y), y, "single");
                break;
            case 1: {
                const uint8_t *upper, *lower;
                if (rows.rowPair(y, upper, lower)) {
                    expectRow(upper, y, "upper");
                    expectRow(lower, y + 1, "lower");
                }
                break;
            }
            default: {
                const uint8_t* run[8];
                const int count = 2 + 2 * int(random() % 4);
                ASSERT_TRUE(rows.rowRun(y, count, run));
                for (int j = 0; j < count; ++j) expectRow(run[j], y + j, "run");
            }
        }
    }
}

// Unrotated placements with samples on pixel centres and edges, where the
// fractions are 0 or half and footprints end exactly at the last column or
// row, mirrored too.
TEST(FilteredSpans, WholeAndHalfPixelPlacementsMatchAgg) {
    std::mt19937 random(41);
    RandomImage image(13, 9, random, false);
    const double offsets[] = {0.0, 0.5, -3.5, 7.25};
    const double scales[] = {1.0, 2.0, -1.0, 0.5};
    for (unsigned hint = firstHint; hint <= lastHint; ++hint) {
        const Filter filter(hint);
        for (double s : scales) {
            for (double o : offsets) {
                agg::trans_affine imageToDevice = agg::trans_affine_scaling(s, std::fabs(s));
                imageToDevice *= agg::trans_affine_translation(o + 20.0, o + 10.0);
                agg::trans_affine deviceToImage = imageToDevice;
                deviceToImage.invert();
                compareEveryEdgeMode(filter, hint, image.image, deviceToImage,
                                     spansAround(imageToDevice, 13, 9, random),
                                     "scale " + std::to_string(s) + " offset " + std::to_string(o));
                if (::testing::Test::HasFailure()) return;
            }
        }
    }
}

#if LUMO_SSE2
// The SSE2 weighing of a block against the portable one (the one builds
// without SSE2 use), for every fraction pair of every filter, over random
// blocks biased to 0 and 255; and the filters all fit its 16-bit lanes, so
// that drawing takes the fast path.
template <unsigned D>
void compareBlocks(const Filter& filter, unsigned hint, std::mt19937& random) {
    uint8_t pixels[D][4 * D];
    const uint8_t* rows[D];
    for (unsigned j = 0; j < D; ++j) rows[j] = pixels[j];
    __m128i rowWeights[D];
    for (unsigned fy = 0; fy < 256; fy += 3) {
        const int16_t* wy = filter.weights.weights(fy);
        for (unsigned j = 0; j < D; ++j) rowWeights[j] = filter::rowWeight(wy[j]);
        for (unsigned fx = 0; fx < 256; ++fx) {
            for (auto& row : pixels) {
                for (uint8_t& byte : row) byte = uint8_t(RandomImage::pick(random));
            }
            const int16_t* wx = filter.weights.weights(fx);
            uint8_t expected[4];
            filter::weigh(rows, 0, D, wx, wy, filter.weights.clampsNegative(), expected);
            const uint32_t rgba = filter::weigh<D>(rows, 0, filter::ColumnWeights(wx), rowWeights,
                                                   filter.weights.clampsNegative());
            uint8_t got[4];
            std::memcpy(got, &rgba, 4);
            ASSERT_EQ(std::vector<uint8_t>(got, got + 4),
                      std::vector<uint8_t>(expected, expected + 4))
                << "hint " << hint << ", fractions " << fx << ", " << fy;
        }
    }
}

TEST(FilteredSpans, Sse2BlocksMatchPortableBlocks) {
    std::mt19937 random(51);
    for (unsigned hint = firstHint; hint <= lastHint; ++hint) {
        const Filter filter(hint);
        ASSERT_TRUE(filter.weights.fitsSixteenBits()) << "hint " << hint;
        switch (filter.weights.diameter()) {
            case 2:
                compareBlocks<2>(filter, hint, random);
                break;
            case 4:
                compareBlocks<4>(filter, hint, random);
                break;
            case 6:
                compareBlocks<6>(filter, hint, random);
                break;
            case 8:
                compareBlocks<8>(filter, hint, random);
                break;
            default:
                FAIL() << "hint " << hint << ": diameter " << filter.weights.diameter();
        }
    }
}
#endif

}  // namespace
}  // namespace lumo
