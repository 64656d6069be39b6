// Each SSE2 kernel against its portable twin on random data: the source-over
// spans (from colours, from table indices and from per-pixel lanes), the bilinear block
// average and its two-pass form along a row, the colour-table segment mix and the ends of
// gradient spans. (The filtered-span blocks are compared in FilteredSpansTest.) In a build
// without SSE2 the spans compare the portable code with itself and the other kernels are
// skipped.
#include "blend/IndexedOverSpans.h"
#include "blend/OverImageRow.h"
#include "blend/OverLanes.h"
#include "blend/OverRun.h"
#include "blend/OverSpans.h"
#include "blend/OverWords.h"
#include "blend/ShareWords.h"
#include "blend/SourceOver.h"
#include "core/Simd.h"
#include "coverage/RunningSums.h"
#include "paint/PremultipliedWords.h"
#include "paint/SegmentMix.h"
#include "paint/SegmentMixAvx2.h"
#include "render/ColumnsOver.h"
#include "span/BilinearBlock.h"
#include "span/BilinearColumns.h"
#include "span/BilinearColumnsOver.h"
#include "span/ColumnGather.h"
#include "span/DdaLanes.h"
#include "span/DdaSteps.h"
#include "span/FixedSpanEnds.h"
#include "span/GradientBlocksAvx2.h"
#include "span/PixelRunCopy.h"
#include "span/WrapAxis.h"
#include "span/WrappedColumns.h"
#include "span/WrappedSpanSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

namespace lumo {
namespace {

// A byte biased to the values the kernels treat specially.
uint8_t pickByte(std::mt19937& random) {
    const unsigned r = random() % 8;
    if (r == 0) return 0;
    if (r == 1) return 255;
    return uint8_t(random());
}

std::vector<uint8_t> randomBytes(std::mt19937& random, size_t n) {
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) b = pickByte(random);
    return bytes;
}

// Premultiplied destination pixels: every colour byte at most its alpha.
std::vector<uint8_t> randomPixels(std::mt19937& random, unsigned len) {
    std::vector<uint8_t> pixels = randomBytes(random, 4 * size_t(len));
    for (unsigned i = 0; i < len; ++i) {
        uint8_t* p = &pixels[4 * i];
        for (int c = 0; c < 3; ++c) p[c] = uint8_t(p[3] == 0 ? 0 : p[c] % (p[3] + 1));
    }
    return pixels;
}

agg::rgba8 randomColour(std::mt19937& random) {
    return agg::rgba8(pickByte(random), pickByte(random), pickByte(random), pickByte(random));
}

template <bool Premultiplied>
void compareOverSpans(std::mt19937& random) {
    for (int round = 0; round < 3000; ++round) {
        const unsigned len = 1 + random() % 37;
        const std::vector<uint8_t> destination = randomPixels(random, len);
        const std::vector<uint8_t> covers = randomBytes(random, len);
        const agg::rgba8 colour = randomColour(random);
        std::vector<agg::rgba8> colours(len);
        for (agg::rgba8& c : colours) c = randomColour(random);
        const unsigned cover = pickByte(random);

        std::vector<uint8_t> simd = destination, portable = destination;
        overHline<Premultiplied>(simd.data(), len, colour, cover);
        over::portable::hline<Premultiplied>(portable.data(), len, colour, cover);
        ASSERT_EQ(simd, portable) << "hline, round " << round;

        simd = portable = destination;
        overSolidHspan<Premultiplied>(simd.data(), len, colour, covers.data());
        over::portable::solidHspan<Premultiplied>(portable.data(), len, colour, covers.data());
        ASSERT_EQ(simd, portable) << "solid span, round " << round;

        const uint8_t* coversOrNone = round % 2 == 0 ? covers.data() : nullptr;
        simd = portable = destination;
        overColorHspan<Premultiplied>(simd.data(), len, colours.data(), coversOrNone, cover);
        over::portable::colorHspan<Premultiplied>(portable.data(), len, colours.data(),
                                                  coversOrNone, cover);
        ASSERT_EQ(simd, portable) << "colour span, round " << round;
    }
}

// Long spans whose covers are runs of full cover broken by random covers at random places: the
// inside of shapes, which the spans store in blocks; with one colour and with mostly opaque
// colours (an opaque texture), which are stored as they are at full cover.
TEST(SimdKernels, SpansWithLongFullRunsMatchThePortableSpans) {
    std::mt19937 random(13);
    for (int round = 0; round < 4000; ++round) {
        const unsigned len = 1 + random() % 300;
        std::vector<uint8_t> covers(len, 255);
        for (unsigned breaks = random() % 4; breaks > 0; --breaks) {
            covers[random() % len] = pickByte(random);
        }
        const std::vector<uint8_t> destination = randomPixels(random, len);
        agg::rgba8 colour = randomColour(random);
        if (round % 4 != 0) colour.a = 255;
        std::vector<uint8_t> simd = destination, portable = destination;
        if (round % 2 == 0) {
            overSolidHspan<false>(simd.data(), len, colour, covers.data());
            over::portable::solidHspan<false>(portable.data(), len, colour, covers.data());
        } else {
            overSolidHspan<true>(simd.data(), len, colour, covers.data());
            over::portable::solidHspan<true>(portable.data(), len, colour, covers.data());
        }
        ASSERT_EQ(simd, portable) << "round " << round << ", length " << len;

        // Colour spans of mostly opaque colours over the same covers, and without covers.
        std::vector<agg::rgba8> colours(len);
        for (agg::rgba8& c : colours) {
            c = randomColour(random);
            if (random() % 8 != 0) c.a = 255;
        }
        const uint8_t* coversOrNone = round % 3 == 0 ? nullptr : covers.data();
        const unsigned cover = round % 6 == 0 ? pickByte(random) : 255;
        simd = portable = destination;
        if (round % 2 == 0) {
            overColorHspan<false>(simd.data(), len, colours.data(), coversOrNone, cover);
            over::portable::colorHspan<false>(portable.data(), len, colours.data(), coversOrNone,
                                              cover);
        } else {
            overColorHspan<true>(simd.data(), len, colours.data(), coversOrNone, cover);
            over::portable::colorHspan<true>(portable.data(), len, colours.data(), coversOrNone,
                                             cover);
        }
        ASSERT_EQ(simd, portable) << "colour span, round " << round << ", length " << len;
    }
}

TEST(SimdKernels, SourceOverSpansMatchThePortableSpans) {
    std::mt19937 random(7);
    compareOverSpans<false>(random);
    compareOverSpans<true>(random);
}

// Source-over from table indices against the portable span and against the
// colour span on the looked-up colours: opaque and translucent tables, covers
// mostly full with random breaks, or random throughout.
TEST(SimdKernels, IndexedOverSpanMatchesThePortableAndColourSpans) {
    std::mt19937 random(17);
    for (int round = 0; round < 4000; ++round) {
        const bool opaque = round % 3 == 0;
        std::vector<agg::rgba8> straight(256);
        std::vector<uint32_t> fullCover(256);
        for (int i = 0; i < 256; ++i) {
            agg::rgba8& c = straight[i];
            c = randomColour(random);
            if (opaque) c.a = 255;
            fullCover[i] = over::pack(over::product(c.b, c.a), over::product(c.g, c.a),
                                      over::product(c.r, c.a), c.a);
        }
        const IndexedColours colours{straight.data(), fullCover.data(), opaque};
        const unsigned len = 1 + random() % 150;
        std::vector<uint8_t> covers = randomBytes(random, len);
        if (round % 2 == 0) {
            covers.assign(len, 255);
            for (unsigned breaks = random() % 4; breaks > 0; --breaks) {
                covers[random() % len] = pickByte(random);
            }
        }
        std::vector<uint8_t> indices(len);
        std::vector<agg::rgba8> looked(len);
        for (unsigned i = 0; i < len; ++i) {
            indices[i] = uint8_t(random());
            looked[i] = straight[indices[i]];
        }
        const std::vector<uint8_t> destination = randomPixels(random, len);
        std::vector<uint8_t> simd = destination, portable = destination, colour = destination;
        overIndexedSpan(simd.data(), len, indices.data(), covers.data(), colours);
        over::portable::indexedSpan(portable.data(), len, indices.data(), covers.data(), colours);
        over::portable::colorHspan<false>(colour.data(), len, looked.data(), covers.data(), 0);
        ASSERT_EQ(portable, colour) << "round " << round;
        ASSERT_EQ(simd, portable) << "round " << round;
    }
}

// Source-over of image rows against the portable row, at full cover and at
// random covers: straight and premultiplied pixels (some groups transparent
// or opaque throughout, some premultiplied colours above their alpha), extra
// alphas 0, 255 and between.
TEST(SimdKernels, ImageRowOverMatchesThePortableRow) {
    std::mt19937 random(23);
    for (int round = 0; round < 6000; ++round) {
        const bool premultiplied = round % 2 == 0;
        const unsigned len = 1 + random() % 70;
        std::vector<uint8_t> source = randomBytes(random, 4 * size_t(len));
        for (unsigned i = 0; i + 4 <= len; i += 4) {
            const unsigned kind = random() % 6;
            if (kind > 1) continue;
            for (unsigned j = i; j < i + 4; ++j) source[4 * j + 3] = kind == 0 ? 0 : 255;
        }
        const unsigned alpha = round % 3 == 0 ? 255 : pickByte(random);
        const std::vector<uint8_t> destination = randomPixels(random, len);
        std::vector<uint8_t> simd = destination, portable = destination;
        if (premultiplied) {
            overImageRow<true>(simd.data(), source.data(), len, alpha);
            over::portable::imageRow<true>(portable.data(), source.data(), len, alpha);
        } else {
            overImageRow<false>(simd.data(), source.data(), len, alpha);
            over::portable::imageRow<false>(portable.data(), source.data(), len, alpha);
        }
        ASSERT_EQ(simd, portable) << "round " << round << ", alpha " << alpha;

        // Covers per pixel (full with breaks, or random) or one for all.
        std::vector<uint8_t> covers = randomBytes(random, len);
        if (round % 4 == 1) {
            covers.assign(len, 255);
            for (unsigned breaks = random() % 4; breaks > 0; --breaks) {
                covers[random() % len] = pickByte(random);
            }
        }
        const agg::int8u* coversOrNone = round % 5 == 0 ? nullptr : covers.data();
        const unsigned cover = pickByte(random);
        simd = portable = destination;
        if (premultiplied) {
            overImageRowCovered<true>(simd.data(), source.data(), len, alpha, coversOrNone, cover);
            over::portable::imageRowCovered<true>(portable.data(), source.data(), len, alpha,
                                                  coversOrNone, cover);
        } else {
            overImageRowCovered<false>(simd.data(), source.data(), len, alpha, coversOrNone, cover);
            over::portable::imageRowCovered<false>(portable.data(), source.data(), len, alpha,
                                                   coversOrNone, cover);
        }
        ASSERT_EQ(simd, portable) << "covered, round " << round << ", alpha " << alpha;
    }
}

TEST(SimdKernels, PremultipliedWordsMatchThePortableWords) {
#if LUMO_SSE2
    std::mt19937 random(19);
    for (int round = 0; round < 3000; ++round) {
        const int count = 1 + int(random() % 40);
        std::vector<agg::rgba8> colours(count);
        for (agg::rgba8& c : colours) {
            c = randomColour(random);
            if (round % 2 == 0) c.a = 255;
        }
        if (round % 4 == 2) colours[random() % count].a = uint8_t(random() % 255);
        std::vector<uint32_t> simd(count), portable(count);
        const bool simdOpaque = premultiplied::sse2(colours.data(), simd.data(), count);
        const bool portableOpaque = premultiplied::portable(colours.data(), portable.data(), count);
        ASSERT_EQ(simd, portable) << "round " << round;
        ASSERT_EQ(simdOpaque, portableOpaque) << "round " << round;
    }
#else
    GTEST_SKIP() << "no SSE2";
#endif
}

// Per-pixel lanes and share words from random covers of one colour: each
// kernel alike with its portable twin, and alike with source-over at each
// pixel's cover (share words also at cover 0, which leaves a pixel as it is).
TEST(SimdKernels, LanesMatchThePortableLanesAndSourceOver) {
    std::mt19937 random(31);
    for (int round = 0; round < 3000; ++round) {
        const unsigned len = 1 + random() % 37;
        const std::vector<uint8_t> destination = randomPixels(random, len);
        const agg::rgba8 colour = randomColour(random);
        std::vector<uint16_t> keep(4 * len), share(4 * len);
        std::vector<uint32_t> words(len);
        std::vector<uint8_t> covers(len), reference = destination, wordReference = destination;
        for (unsigned i = 0; i < len; ++i) {
            covers[i] = uint8_t(1 + random() % 255);
            over::setLanes(&keep[4 * i], &share[4 * i], over::Run<false>(colour, covers[i]).word());
            over::colourPixel<false>(&reference[4 * i], colour, covers[i]);
            const unsigned wordCover = random() % 5 == 0 ? 0 : covers[i];
            words[i] = over::Run<false>(colour, wordCover).word();
            over::colourPixel<false>(&wordReference[4 * i], colour, wordCover);
        }
        std::vector<uint8_t> simd = destination, portable = destination;
        over::applyLanes<true>(simd.data(), len, keep.data(), share.data());
        over::applyLanesPortable(portable.data(), len, keep.data(), share.data());
        ASSERT_EQ(simd, portable) << "round " << round;
        ASSERT_EQ(portable, reference) << "round " << round;
        simd = portable = destination;
        over::applyWords<true>(simd.data(), len, words.data());
        over::applyWordsPortable(portable.data(), len, words.data());
        ASSERT_EQ(simd, portable) << "words, round " << round;
        ASSERT_EQ(portable, wordReference) << "words, round " << round;
    }
}

// Accumulated values of every size a small shape's row sums (and their negatives, the
// boundaries between covers and the even-odd folds among them, and any 32-bit sum, as many
// windings wrap) under both fill rules.
TEST(SimdKernels, ShareWordsMatchThePortableWords) {
    std::mt19937 random(1207);
    for (int round = 0; round < 4000; ++round) {
        const unsigned n = 1 + random() % 16;
        const bool evenOdd = round % 2 == 1;
        const agg::rgba8 colour = randomColour(random);
        alignas(16) int32_t values[16];
        for (int32_t& v : values) {
            const int32_t magnitude = int32_t(random() % (round % 3 == 0 ? 2048u : (1u << 22)));
            const int32_t near = int32_t(random() % 1024) * 512 + int32_t(random() % 3) - 1;
            v = (random() % 2 ? magnitude : near) * (random() % 2 ? 1 : -1);
            // Sums of many windings, up to the whole 32-bit range they wrap in.
            if (round % 5 == 4) v = int32_t(random());
        }
        alignas(16) uint32_t simd[16], portable[16];
        over::shareWords<true>(values, n, evenOdd, colour, simd);
        over::shareWordsPortable(values, n, evenOdd, colour, portable);
        for (unsigned i = 0; i < n; ++i) {
            ASSERT_EQ(simd[i], portable[i]) << "round " << round << " at " << i;
            ASSERT_EQ(portable[i],
                      over::Run<false>(colour, over::coverAlpha(values[i], evenOdd)).word());
        }
    }
}

// Rows of grid sums of any 32-bit value, their running sums wrapping.
TEST(SimdKernels, RunningSumsMatchThePortableSums) {
    std::mt19937 random(1911);
    for (int round = 0; round < 4000; ++round) {
        alignas(16) uint32_t cells[16];
        for (uint32_t& c : cells) c = round % 2 ? uint32_t(random()) : uint32_t(random() % 4096);
        alignas(16) int32_t simd[16], portable[16];
        runningSums<true>(cells, simd);
        runningSumsPortable(cells, portable);
        uint32_t sum = 0;
        for (int i = 0; i < 16; ++i) {
            ASSERT_EQ(simd[i], portable[i]) << "round " << round << " at " << i;
            ASSERT_EQ(uint32_t(portable[i]), sum += cells[i]) << "round " << round << " at " << i;
        }
    }
}

TEST(SimdKernels, ColumnGatherMatchesThePortableGather) {
#if LUMO_SSE2
    std::mt19937 random(17);
    for (int round = 0; round < 20000; ++round) {
        const unsigned width = 1 + random() % 80, len = random() % 70;
        const std::vector<uint8_t> row = randomBytes(random, 4 * size_t(width));
        std::vector<uint32_t> columns(len);
        for (uint32_t& c : columns) c = 4 * (random() % width);
        // One colour beyond the span, which neither gather may touch.
        const agg::rgba8 unset(1, 2, 3, 4);
        std::vector<agg::rgba8> simd(len + 1, unset), portable(len + 1, unset);
        column::sse2(simd.data(), row.data(), columns.data(), len);
        column::portable(portable.data(), row.data(), columns.data(), len);
        for (unsigned i = 0; i <= len; ++i) {
            ASSERT_TRUE(simd[i].r == portable[i].r && simd[i].g == portable[i].g &&
                        simd[i].b == portable[i].b && simd[i].a == portable[i].a)
                << "round " << round << ", pixel " << i << " of " << len;
        }
    }
#else
    GTEST_SKIP() << "no SSE2 kernels in this build";
#endif
}

TEST(SimdKernels, PixelRunCopyMatchesThePortableCopy) {
#if LUMO_SSE2
    std::mt19937 random(19);
    const agg::rgba8 unset(1, 2, 3, 4);
    for (int round = 0; round < 20000; ++round) {
        const unsigned len = random() % 70;
        const std::vector<uint8_t> row = randomBytes(random, 4 * size_t(len) + 4);
        std::vector<agg::rgba8> simd(len + 1, unset), portable(len + 1, unset);
        pixelRun::sse2(simd.data(), row.data(), len);
        pixelRun::portable(portable.data(), row.data(), len);
        for (unsigned i = 0; i <= len; ++i) {
            ASSERT_TRUE(simd[i].r == portable[i].r && simd[i].g == portable[i].g &&
                        simd[i].b == portable[i].b && simd[i].a == portable[i].a)
                << "round " << round << ", pixel " << i << " of " << len;
        }
    }
#else
    GTEST_SKIP() << "no SSE2 kernels in this build";
#endif
}

TEST(SimdKernels, BilinearAverageMatchesThePortableAverage) {
#if LUMO_SSE2
    std::mt19937 random(11);
    for (int round = 0; round < 200000; ++round) {
        const std::vector<uint8_t> p = randomBytes(random, 16);
        const unsigned fx = random() % 256, fy = random() % 256;
        uint8_t expected[4];
        bilinear::average(&p[0], &p[4], &p[8], &p[12], fx, fy, expected);
        const uint32_t rgba =
            bilinear::average(bilinear::pixelPair(&p[0]), bilinear::pixelPair(&p[8]),
                              bilinear::weights(fx), bilinear::weights(fy));
        uint8_t got[4];
        std::memcpy(got, &rgba, 4);
        ASSERT_EQ(std::vector<uint8_t>(got, got + 4), std::vector<uint8_t>(expected, expected + 4))
            << "round " << round << ", fractions " << fx << ", " << fy;
    }
#else
    GTEST_SKIP() << "built without SSE2";
#endif
}

// Pixels gathered from a random row (opaque mostly, some translucent or
// transparent) and blended over random premultiplied pixels, with covers
// that are full, zero or anything, or one cover for all: the one-pass form
// leaves the pixels of the two steps and says the same about them. The span
// lies anywhere in its destination row, often at its end, and the row's
// other pixels stay as they were. Every length up to 40 comes often.
template <bool Premultiplied>
void compareColumnsOver(std::mt19937& random) {
    for (int round = 0; round < 40000; ++round) {
        const unsigned width = 1 + random() % 50;
        const unsigned len = round % 2 == 0 ? random() % 70 : 1 + round / 2 % 40;
        std::vector<uint8_t> row = randomBytes(random, 4 * size_t(width));
        const unsigned opaqueShare = random() % 3;  // none, most, all
        for (unsigned i = 0; i < width; ++i) {
            if (opaqueShare == 2 || (opaqueShare == 1 && random() % 8 != 0)) row[4 * i + 3] = 255;
            if (Premultiplied) {
                for (int c = 0; c < 3; ++c)
                    row[4 * i + c] = std::min(row[4 * i + c], row[4 * i + 3]);
            }
        }
        std::vector<uint32_t> columns(len);
        for (uint32_t& c : columns) c = 4 * (random() % width);
        std::vector<uint8_t> covers(len);
        const unsigned coverKind = random() % 3;
        for (uint8_t& k : covers) {
            k = coverKind == 0 ? 255
                               : (coverKind == 1 && random() % 4 != 0 ? 255 : pickByte(random));
        }
        const bool perPixel = random() % 3 != 0;
        const unsigned cover = perPixel ? 0 : pickByte(random);
        const uint8_t* coverArray = perPixel ? covers.data() : nullptr;
        // The destination row: pixels before the span, the span, and up to
        // twelve after it (none in a third of the rounds).
        const unsigned before = random() % 5;
        const unsigned after = random() % 3 == 0 ? 0 : random() % 13;
        const std::vector<uint8_t> destination = randomPixels(random, before + len + after);
        std::vector<uint8_t> portable = destination, simd = destination;
        uint8_t* const at = portable.data() + 4 * before;
        const bool portableAsIs = columnsOver::portable<Premultiplied>(
            at, row.data(), columns.data(), len, coverArray, cover);
#if LUMO_SSE2
        const bool simdAsIs =
            columnsOver::sse2<Premultiplied>(simd.data() + 4 * before, row.data(), columns.data(),
                                             len, coverArray, cover, len + after);
#else
        const bool simdAsIs = columnsOver::portable<Premultiplied>(
            simd.data() + 4 * before, row.data(), columns.data(), len, coverArray, cover);
#endif
        ASSERT_EQ(simd, portable) << "round " << round << ", " << len << " pixels, " << after
                                  << " after";
        ASSERT_EQ(simdAsIs, portableAsIs) << "round " << round;
#if LUMO_SSE2
        // The block forms, whichever of them the processor would take.
        const auto compareBlock = [&](auto blend) {
            std::vector<uint8_t> blended = destination;
            const bool asIs = blend(blended.data() + 4 * before);
            ASSERT_EQ(blended, portable) << "round " << round << ", " << len << " pixels, block";
            ASSERT_EQ(asIs, portableAsIs) << "round " << round << ", block";
        };
        if (len >= 8 && len <= 16) {
            compareBlock([&](uint8_t* p) {
                return columnsOver::block::overlapped<Premultiplied>(p, row.data(), columns.data(),
                                                                     len, coverArray, cover);
            });
#if LUMO_AVX2
            if (cpuHasAvx2) {
                compareBlock([&](uint8_t* p) {
                    return columnsOver::avx2::overlapped<Premultiplied>(
                        p, row.data(), columns.data(), len, coverArray, cover);
                });
            }
#endif
        }
        if (len >= 1 && len < 8 && len + after >= 8) {
            compareBlock([&](uint8_t* p) {
                return columnsOver::block::masked<Premultiplied>(p, row.data(), columns.data(), len,
                                                                 coverArray, cover);
            });
        }
#endif
        // As it is means as it is.
        if (portableAsIs) {
            for (unsigned i = 0; i < len; ++i) {
                ASSERT_EQ(std::memcmp(&at[4 * i], &row[columns[i]], 4), 0) << "round " << round;
            }
        }
    }
}

TEST(SimdKernels, ColumnsOverMatchesGatherThenBlend) {
    std::mt19937 random(29);
    compareColumnsOver<false>(random);
    compareColumnsOver<true>(random);
}

// Random rows and blocks (neighbouring columns mostly, any two columns as at
// the edges of wrapped tiles): both two-pass forms give what the block
// average gives for every pixel, and write nothing past the span.
TEST(SimdKernels, BilinearColumnsMatchTheBlockAverage) {
    std::mt19937 random(23);
    const agg::rgba8 unset(1, 2, 3, 4);
    for (int round = 0; round < 20000; ++round) {
        const unsigned count = 1 + random() % 40, len = random() % 40;
        const unsigned fy = random() % 256;
        const std::vector<uint8_t> upper = randomBytes(random, 4 * size_t(count));
        const std::vector<uint8_t> lower = randomBytes(random, 4 * size_t(count));
        std::vector<bilinear::BlockColumn> blocks(len);
        for (bilinear::BlockColumn& b : blocks) {
            const uint32_t c0 = random() % count;
            const uint32_t c1 = random() % 4 == 0 || c0 + 1 == count ? random() % count : c0 + 1;
            b = bilinear::BlockColumn(c0, c1, random() % 256);
        }
        std::vector<int16_t> portableColumns(4 * size_t(count)), columns(4 * size_t(count));
        bilinear::portable::blendRows(portableColumns.data(), upper.data(), lower.data(), count,
                                      fy);
        std::vector<agg::rgba8> portable(len + 1, unset), simd(len + 1, unset);
        bilinear::portable::averageColumns(portable.data(), portableColumns.data(), blocks.data(),
                                           len);
#if LUMO_SSE2
        bilinear::sse2::blendRows(columns.data(), upper.data(), lower.data(), count, fy);
        ASSERT_EQ(columns, portableColumns) << "round " << round;
        bilinear::sse2::averageColumns(simd.data(), columns.data(), blocks.data(), len);
#else
        simd = portable;
#endif
        for (unsigned i = 0; i < len; ++i) {
            const bilinear::BlockColumn& b = blocks[i];
            uint8_t expected[4];
            bilinear::average(&upper[4 * b.c0], &upper[4 * b.c1], &lower[4 * b.c0],
                              &lower[4 * b.c1], b.fx, fy, expected);
            ASSERT_EQ(std::memcmp(&portable[i], expected, 4), 0)
                << "round " << round << ", pixel " << i;
            ASSERT_EQ(std::memcmp(&simd[i], expected, 4), 0)
                << "round " << round << ", pixel " << i;
        }
        ASSERT_EQ(std::memcmp(&portable[len], &unset, 4), 0) << "round " << round;
        ASSERT_EQ(std::memcmp(&simd[len], &unset, 4), 0) << "round " << round;
    }
}

// Averages from random columns put over random premultiplied pixels, with
// covers full, zero or anything, or one cover for all: the one-pass form
// leaves the pixels of averaging and blending one after the other.
TEST(SimdKernels, BilinearColumnsOverMatchesAverageThenBlend) {
    std::mt19937 random(31);
    for (int round = 0; round < 20000; ++round) {
        const unsigned count = 1 + random() % 40, len = random() % 40;
        // Premultiplied rows, so that the averages are premultiplied colours; one
        // round in four opaque.
        const bool opaque = random() % 4 == 0;
        std::vector<uint8_t> upper = randomPixels(random, count),
                             lower = randomPixels(random, count);
        if (opaque) {
            for (unsigned i = 0; i < count; ++i) upper[4 * i + 3] = lower[4 * i + 3] = 255;
        }
        std::vector<int16_t> columns(4 * size_t(count));
        bilinear::portable::blendRows(columns.data(), upper.data(), lower.data(), count,
                                      random() % 256);
        std::vector<bilinear::BlockColumn> blocks(len);
        for (bilinear::BlockColumn& b : blocks) {
            const uint32_t c0 = random() % count;
            b = bilinear::BlockColumn(c0, c0 + 1 == count ? c0 : c0 + 1, random() % 256);
        }
        std::vector<uint8_t> covers(len);
        const unsigned coverKind = random() % 3;
        for (uint8_t& k : covers) {
            k = coverKind == 0 ? 255
                               : (coverKind == 1 && random() % 4 != 0 ? 255 : pickByte(random));
        }
        const bool perPixel = random() % 3 != 0;
        const unsigned cover = perPixel ? 0 : pickByte(random);
        const uint8_t* coverArray = perPixel ? covers.data() : nullptr;
        std::vector<uint8_t> portable = randomPixels(random, len + 1), simd = portable;
        bilinear::portable::averageColumnsOver(portable.data(), columns.data(), blocks.data(), len,
                                               coverArray, cover);
#if LUMO_SSE2
        bilinear::sse2::averageColumnsOver(simd.data(), columns.data(), blocks.data(), len,
                                           coverArray, cover);
#else
        bilinear::portable::averageColumnsOver(simd.data(), columns.data(), blocks.data(), len,
                                               coverArray, cover);
#endif
        ASSERT_EQ(simd, portable) << "round " << round << ", " << len << " pixels";
    }
}

#if LUMO_AVX2
// The values of the eight-lane steps at the first `positions` places (rounded up to eight).
LUMO_TARGET_AVX2 std::vector<int> eightLanes(const DdaSteps& d, int positions) {
    gradientAvx2::DdaEights e = gradientAvx2::ddaEights(d);
    std::vector<int> values(size_t(positions + 7) / 8 * 8);
    for (size_t i = 0; i < values.size(); i += 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(&values[i]), e.y);
        gradientAvx2::next(e);
    }
    return values;
}
#endif

// The lanes (four with SSE2, eight with AVX2) against the scalar steps they
// stand for: ends anywhere within 2^30, counts from 1 to 2^28 (long ones
// stepped only for their first blocks), every lane at a position within the
// count.
TEST(SimdKernels, DdaLanesMatchTheScalarSteps) {
#if LUMO_SSE2
    std::mt19937 random(29);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 20000; ++round) {
        const int range = 1 << int(random() % 31);
        const int y1 = int(int64_t(random() % (2u * unsigned(range) + 1)) - range);
        const int y2 = int(int64_t(random() % (2u * unsigned(range) + 1)) - range);
        const int n = round % 2 == 0 ? 1 + int(random() % 40)
                                     : 1 + int(std::pow(2.0, 28.0 * unit(random))) % (1 << 28);
        DdaSteps scalar(y1, y2, n);
        DdaLanes lanes(scalar);
        const int positions = std::min(n, 400);
        // The eight AVX2 lanes of the same steps, where the processor has them.
        std::vector<int> eights;
#if LUMO_AVX2
        if (cpuHasAvx2) eights = eightLanes(scalar, positions);
#endif
        for (int i = 0; i < positions; i += 4) {
            alignas(16) int values[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(values), lanes.values());
            for (int k = 0; k < 4 && i + k < positions; ++k) {
                ASSERT_EQ(values[k], scalar.y) << "round " << round << ", from " << y1 << " to "
                                               << y2 << " in " << n << ", position " << i + k;
                if (!eights.empty()) {
                    ASSERT_EQ(eights[size_t(i + k)], scalar.y)
                        << "eight lanes, round " << round << ", from " << y1 << " to " << y2
                        << " in " << n << ", position " << i + k;
                }
                scalar.next();
            }
            lanes.next();
        }
    }
#else
    GTEST_SKIP() << "built without SSE2";
#endif
}

// The ends of gradient spans mapped and rounded in lanes against the scalar ends, and those
// against AGG's own transform, limit and rounding: random transforms from far down to far up,
// placed up to 2^23 units out (either side of the fixed-point limit), ends that land exactly
// on half a fixed-point step (rounded away from 0 either side) and on -0.
TEST(SimdKernels, FixedSpanEndsMatchThePortableEndsAndAgg) {
    std::mt19937 random(31);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int within = 0, beyond = 0, halves = 0;
    for (int round = 0; round < 200000; ++round) {
        const int x = int(unit(random) * 5000), y = int(unit(random) * 5000);
        const unsigned len = 1 + random() % (round % 3 == 0 ? 3000 : 8);
        agg::trans_affine m;
        switch (round % 4) {
            case 0: {
                const double scale = std::pow(10.0, 4.0 * unit(random));
                const double shift = std::ldexp(unit(random), 23);
                m = agg::trans_affine(scale * unit(random), scale * unit(random),
                                      scale * unit(random), scale * unit(random), shift,
                                      shift * unit(random));
                break;
            }
            case 1: {
                // A whole number of 1/512 units per pixel from a start on half a 1/256
                // step: every end lies on one.
                const double step = std::ldexp(double(int(random() % 4097) - 2048), -9);
                const double start = std::ldexp(double(2 * int(random() % 2000001) - 2000001), -9);
                m = agg::trans_affine(step, -step, 0.0, 0.0, start - (x + 0.5) * step,
                                      -start + (x + 0.5) * step);
                break;
            }
            case 2:
                // -0 at the first end: every product and sum of x's is -0.
                m = agg::trans_affine(-0.0, unit(random), -0.0, unit(random), -0.0,
                                      unit(random) * 1000.0);
                break;
            default:
                m = agg::trans_affine(unit(random) * 3.0, unit(random) * 3.0, unit(random) * 3.0,
                                      unit(random) * 3.0, unit(random) * 4000.0,
                                      unit(random) * 4000.0);
                break;
        }
        int portable[4] = {1, 2, 3, 4};
        const bool fits = spanEnds::fixedPortable(m, x, y, len, portable);
        // AGG's linear span interpolator's own start of the span.
        double x1 = x + 0.5, y1 = y + 0.5, x2 = x + 0.5 + len, y2 = y + 0.5;
        m.transform(&x1, &y1);
        m.transform(&x2, &y2);
        const double ends[4] = {x1, y1, x2, y2};
        bool aggFits = true;
        for (double v : ends) aggFits = aggFits && std::fabs(v) <= spanEnds::interpolatedLimit;
        ASSERT_EQ(fits, aggFits) << "round " << round;
        if (fits) {
            ++within;
            for (int k = 0; k < 4; ++k) {
                ASSERT_EQ(portable[k], agg::iround(ends[k] * 256.0))
                    << "round " << round << ", end value " << k;
                if (ends[k] * 256.0 - std::floor(ends[k] * 256.0) == 0.5) ++halves;
            }
        } else {
            ++beyond;
        }
#if LUMO_SSE2
        int lanes[4] = {5, 6, 7, 8};
        ASSERT_EQ(spanEnds::fixedSse2(m, x, y, len, lanes), fits) << "round " << round;
        if (fits) {
            for (int k = 0; k < 4; ++k) {
                ASSERT_EQ(lanes[k], portable[k]) << "round " << round << ", end value " << k;
            }
        }
#endif
    }
    // Both sides of the limit, and many ends half a step between two values.
    EXPECT_GT(within, 100000);
    EXPECT_GT(beyond, 10000);
    EXPECT_GT(halves, 50000);
}

// The columns of wrapped nearest spans stepped four lanes at a time against
// the pixel-by-pixel steps, and those against the positions WrappedSpanSteps
// gives the span generators, and the columns of short spans worked out in
// closed form against them too: images of 1 to 2^22 pixels repeated and
// reflected, scales from far down to far up, mirrored or not, spans of 1 to
// 1100 pixels starting anywhere, both ends reduced into the period.
TEST(SimdKernels, WrappedColumnsMatchThePortableColumns) {
#if LUMO_SSE2
    std::mt19937 random(31);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int shortSpans = 0;
    for (int round = 0; round < 20000; ++round) {
        const unsigned size = round % 4 == 0 ? 1u + random() % (1u << 22)
                                             : 1u + unsigned(std::pow(2.0, 12.0 * unit(random)));
        const double scale = std::pow(2.0, 16.0 * unit(random) - 8.0) * (random() % 3 ? 1 : -1);
        const agg::trans_affine deviceToImage(scale, 0.0, 0.0, 1.0, 1e5 * (unit(random) - 0.5),
                                              0.0);
        const unsigned len = random() % 2 ? 1u + random() % 40 : 1u + random() % 1100;
        const int x = int(random() % 2000) - 1000;
        const bool reflect = round % 2 == 1;
        const RepeatAxis repeat(size);
        const ReflectAxis mirror(size);
        const unsigned period = reflect ? mirror.period() : repeat.period();
        if (period > WrappedSpanSteps::maxPeriod) continue;
        const WrappedSpanSteps steps(deviceToImage, x, 0, len, period, period, 0);
        std::vector<uint32_t> stepped(len + 4, 7), portable(len + 4, 7), simd(len + 4, 7);
        WrappedSpanSteps walk = steps;
        for (unsigned i = 0; i < len; ++i, walk.nextX()) {
            const unsigned at = unsigned(walk.x()) >> 8;
            stepped[i] = 4 * (reflect ? mirror.pixel(at) : repeat.pixel(at));
        }
        if (reflect) {
            wrappedColumns::portable(portable.data(), steps.xLine(), len, mirror);
            wrappedColumns::sse2(simd.data(), steps.xLine(), len, mirror);
        } else {
            wrappedColumns::portable(portable.data(), steps.xLine(), len, repeat);
            wrappedColumns::sse2(simd.data(), steps.xLine(), len, repeat);
        }
        ASSERT_EQ(portable, stepped) << "round " << round << ", size " << size << ", scale "
                                     << scale << ", " << len << " pixels from " << x;
        ASSERT_EQ(simd, portable) << "round " << round << ", size " << size << ", scale " << scale
                                  << ", " << len << " pixels from " << x;
        // Short spans in closed form, from the unreduced ends.
        const ImageSpanSteps unreduced(deviceToImage, x, 0, len);
        const int v1 = unreduced.x(), v2 = unreduced.xEnd();
        if (!wrappedColumns::fitsShort(v1, v2, len, int(period << 8))) continue;
        ++shortSpans;
        std::vector<uint32_t> closed(16, 7);
        const int start = steps.x();
        if (reflect) {
            wrappedColumns::shortSpan(closed.data(), start, v1, v2, len, int(period << 8), mirror);
        } else {
            wrappedColumns::shortSpan(closed.data(), start, v1, v2, len, int(period << 8), repeat);
        }
        closed.resize(len);
        portable.resize(len);
        ASSERT_EQ(closed, portable) << "closed form, round " << round << ", size " << size
                                    << ", scale " << scale << ", " << len << " pixels from " << x;
    }
    EXPECT_GT(shortSpans, 2000);
#else
    GTEST_SKIP() << "built without SSE2";
#endif
}

#if LUMO_SSE2
// Eight entries of a segment from S to E and their premultiplied words, t
// mostly stepping along the segment, sometimes anywhere: the SSE2 kernel
// alike with the portable one, opacity included.
bool eightAlike(const agg::rgba8& s, const agg::rgba8& e, std::mt19937& random, int round) {
    alignas(16) uint16_t ts[8];
    const unsigned first = random() % 257;
    for (int k = 0; k < 8; ++k) {
        ts[k] = round % 4 == 1 ? uint16_t(random()) : uint16_t(first + k + random() % 2);
    }
    agg::rgba8 expected[8], got[8];
    uint32_t expectedWords[8], gotWords[8];
    const bool expectedOpaque = segment::PortableMix(s, e).putEight(expected, expectedWords, ts);
    __m128i alphas = _mm_set1_epi16(0xFF);
    segment::Sse2Mix(s, e).putEight(got, gotWords,
                                    _mm_load_si128(reinterpret_cast<const __m128i*>(ts)), alphas);
    const bool gotOpaque =
        _mm_movemask_epi8(_mm_cmpeq_epi16(alphas, _mm_set1_epi16(0xFF))) == 0xFFFF;
    EXPECT_EQ(std::memcmp(expected, got, sizeof got), 0) << "eight, round " << round;
    EXPECT_EQ(std::memcmp(expectedWords, gotWords, sizeof gotWords), 0) << "words, round " << round;
    EXPECT_EQ(expectedOpaque, gotOpaque) << "round " << round;
#if LUMO_AVX2
    // Sixteen at once with AVX2: these eight and eight more after them.
    if (cpuHasAvx2) {
        uint16_t more[16];
        for (int k = 0; k < 16; ++k) more[k] = k < 8 ? ts[k] : uint16_t(ts[k - 8] + 9 + k % 3);
        agg::rgba8 expected16[16], got16[16];
        uint32_t expectedWords16[16], gotWords16[16];
        const bool portableOpaque =
            segment::PortableMix(s, e).putEight(expected16, expectedWords16, more) &
            segment::PortableMix(s, e).putEight(expected16 + 8, expectedWords16 + 8, more + 8);
        const bool avx2Opaque = segment::avx2::putSixteenFrom(s, e, got16, gotWords16, more);
        EXPECT_EQ(std::memcmp(expected16, got16, sizeof got16), 0) << "sixteen, round " << round;
        EXPECT_EQ(std::memcmp(expectedWords16, gotWords16, sizeof gotWords16), 0)
            << "sixteen words, round " << round;
        EXPECT_EQ(portableOpaque, avx2Opaque) << "sixteen, round " << round;
    }
#endif
    return !::testing::Test::HasFailure();
}
#endif

TEST(SimdKernels, SegmentMixMatchesThePortableMix) {
#if LUMO_SSE2
    std::mt19937 random(13);
    for (int round = 0; round < 200000; ++round) {
        const agg::rgba8 s = randomColour(random), e = randomColour(random);
        // Mostly 0 to 256, sometimes anywhere (stops whose positions wrap).
        const int64_t t =
            round % 4 == 0 ? int64_t(random()) - (int64_t(1) << 31) : int64_t(random() % 257);
        agg::rgba8 expected, got;
        segment::PortableMix(s, e).put(&expected, t);
        segment::Sse2Mix(s, e).put(&got, t);
        ASSERT_EQ(std::memcmp(&expected, &got, 4), 0) << "round " << round << ", t " << t;
        // Four entries at once, the t of the others near this one or anywhere.
        int64_t ts[4] = {t, t + int64_t(random() % 3), t + 5, int64_t(random()) - 99999};
        if (round % 2 == 0) std::swap(ts[0], ts[3]);
        agg::rgba8 expectedFour[4], gotFour[4];
        segment::PortableMix(s, e).putFour(expectedFour, ts[0], ts[1], ts[2], ts[3]);
        segment::Sse2Mix(s, e).putFour(gotFour, ts[0], ts[1], ts[2], ts[3]);
        ASSERT_EQ(std::memcmp(expectedFour, gotFour, 16), 0) << "round " << round << ", t " << t;
        // Eight entries with their premultiplied words, t in 16-bit lanes;
        // opaque colours every third round.
        if (round % 3 == 0) {
            const agg::rgba8 so(s.r, s.g, s.b, 255), eo(e.r, e.g, e.b, 255);
            if (!eightAlike(so, eo, random, round)) return;
        } else if (!eightAlike(s, e, random, round)) {
            return;
        }
    }
#else
    GTEST_SKIP() << "built without SSE2";
#endif
}

}  // namespace
}  // namespace lumo
