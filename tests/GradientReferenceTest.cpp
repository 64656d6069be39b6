// The colour table and the gradient span loops against straightforward
// copies of their earlier forms (a double division per table entry; AGG's
// span interpolator, a switch per pixel over the cycle rules and AGG's
// square root), which every layout, transform, kind and cycle must match
// byte for byte.

#include "paint/ColourTable.h"
#include "paint/GradientPaint.h"
#include "paint/PremultipliedWords.h"
#include "span/FocalRadial.h"
#include "span/GradientCycles.h"
#include "span/GradientFunctions.h"
#include "span/GradientSpanGenerator.h"
#include "span/RadialIndexTable.h"

#include "blend/CompositePixelFormat.h"
#include "blend/IndexedOverSpans.h"
#include "blend/SourceOver.h"
#include "coverage/Rasterizer.h"
#include "coverage/RectilinearCoverage.h"
#include "paint/Composite.h"
#include "render/CoverageSpanSink.h"
#include "render/GradientRendererOver.h"
#include "render/SpanColours.h"

#include <agg_math.h>
#include <agg_path_storage.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>
#include <agg_span_interpolator_linear.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace lumo {
namespace {

using Rgba = agg::rgba8;

uint32_t word(const Rgba& c) {
    return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16 | uint32_t(c.a) << 24;
}

// ---- Reference colour table: t from a double division for every entry.

int64_t floorDiv256(int64_t a) {
    return a >= 0 ? a / 256 : -((-a + 255) / 256);
}

agg::int8u referenceMix(agg::int8u s, agg::int8u e, int64_t t) {
    const int64_t value = int64_t(s) + floorDiv256((int64_t(e) - int64_t(s)) * t);
    return static_cast<agg::int8u>(static_cast<uint64_t>(value) & 0xFF);
}

std::array<uint32_t, 256> referenceTable(const std::vector<int32_t>& positions,
                                         const std::vector<Rgba>& colours, float extraAlpha) {
    std::array<uint32_t, 256> out{};
    auto colour = [&](size_t k) { return withExtraAlpha(colours[k], extraAlpha); };
    const size_t count = positions.size();
    if (count == 1) {
        out.fill(word(colour(0)));
        return out;
    }
    Rgba startColour = colour(0);
    int64_t start = 0;
    size_t k = positions[0] == 0 ? 1 : 0;
    Rgba endColour = colour(k);
    int64_t end = positions[k];
    for (int i = 0; i < 256; ++i) {
        const int64_t width = end - start;
        if (width > 0 && uint32_t(i) <= static_cast<uint32_t>(end)) {
            const double fraction = double(i - start) / double(width);
            const int64_t t = int64_t(fraction * 256.0 + 0.5);
            out[i] = word(Rgba(referenceMix(startColour.r, endColour.r, t),
                               referenceMix(startColour.g, endColour.g, t),
                               referenceMix(startColour.b, endColour.b, t),
                               referenceMix(startColour.a, endColour.a, t)));
            continue;
        }
        out[i] = word(endColour);
        if (++k == count) {
            for (int j = i + 1; j < 256; ++j) out[j] = word(endColour);
            return out;
        }
        startColour = endColour;
        start = end;
        endColour = colour(k);
        end = positions[k];
    }
    return out;
}

// Compares the table for one layout with the reference; true when equal.
bool sameTable(const std::vector<int32_t>& positions, const std::vector<Rgba>& colours,
               float extraAlpha) {
    const ColourTable table(positions.data(), colours.data(), uint32_t(positions.size()),
                            extraAlpha);
    const std::array<uint32_t, 256> expected = referenceTable(positions, colours, extraAlpha);
    for (int i = 0; i < 256; ++i) {
        if (word(table[i]) != expected[i]) {
            ADD_FAILURE() << "entry " << i << " of a table of " << positions.size()
                          << " stops, first at " << positions[0] << ", second at "
                          << (positions.size() > 1 ? positions[1] : 0);
            return false;
        }
    }
    // The premultiplied words, made with the entries or after them, and the
    // opacity, from the entries.
    std::vector<Rgba> entries(256);
    for (int i = 0; i < 256; ++i) entries[i] = table[i];
    std::vector<uint32_t> words(256);
    const bool opaque = premultiplied::portable(entries.data(), words.data(), 256);
    for (int i = 0; i < 256; ++i) {
        if (table.premultiplied()[i] != words[i]) {
            ADD_FAILURE() << "premultiplied entry " << i << " of a table of " << positions.size()
                          << " stops, first at " << positions[0];
            return false;
        }
    }
    if (table.opaque() != opaque) {
        ADD_FAILURE() << "opacity of a table of " << positions.size() << " stops";
        return false;
    }
    return true;
}

Rgba randomColour(std::mt19937& random) {
    const uint32_t v = random();
    return Rgba(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, v >> 24);
}

TEST(ColourTableReference, EveryTwoStopSegmentWithinTheTable) {
    // Every start and end from 0 to 300, both colour directions per channel:
    // every width and offset the stepped fraction meets in a plain gradient.
    const std::vector<Rgba> colours = {Rgba(0, 255, 17, 200), Rgba(255, 0, 230, 3)};
    for (int32_t a = 0; a <= 300; ++a) {
        for (int32_t b = a + 1; b <= 300; ++b) {
            if (!sameTable({a, b}, colours, 1.0f)) return;
        }
    }
}

TEST(ColourTableReference, RandomStopLayouts) {
    std::mt19937 random(7);
    // Positions mostly in range, sometimes repeated, falling or far outside,
    // where the fraction grows far past 1 and the bytes wrap.
    auto position = [&]() -> int32_t {
        switch (random() % 8) {
            case 0:
                return int32_t(random());
            case 1:
                return -int32_t(random() % 1000);
            case 2:
                return int32_t(random() % 5) == 0 ? INT_MIN : INT_MAX - int32_t(random() % 300);
            case 3:
                return 256 + int32_t(random() % 100000);
            default:
                return int32_t(random() % 256);
        }
    };
    const float alphas[] = {1.0f, 0.5f, 0.0f, 0.33f};
    for (int n = 0; n < 20000; ++n) {
        const size_t count = 1 + random() % 9;
        std::vector<int32_t> positions(count);
        std::vector<Rgba> colours(count);
        for (size_t k = 0; k < count; ++k) {
            positions[k] = position();
            colours[k] = randomColour(random);
            // Opaque stops now and then: opaque tables.
            if (n % 7 == 3) colours[k].a = 255;
        }
        if (n % 2 == 0) std::sort(positions.begin(), positions.end());
        if (n % 5 == 0) positions[0] = 0;
        if (!sameTable(positions, colours, alphas[n % 4])) return;
    }
}

// ---- Reference span generator: AGG's interpolator and a switch per pixel.

int referenceIndex(int64_t v, GradientCycle cycle) {
    int64_t c = v >> 4;
    switch (cycle) {
        case CYCLE_REPEAT:
            if (v < 0) {
                c = 255 - (-c) % 256;
            } else if (v > 4095) {
                c %= 256;
            }
            break;
        case CYCLE_REFLECT:
            if (v < 0) c = -c;
            if (c > 511) c %= 512;
            if (c > 255) c = 511 - c;
            break;
        default:
            break;
    }
    if (c < 0) return 0;
    if (c > 255) return 255;
    return static_cast<int>(c);
}

int64_t referenceRoot(int64_t value) {
    if (value <= int64_t(UINT32_MAX)) return agg::fast_sqrt(static_cast<unsigned>(value));
    return static_cast<int64_t>(std::sqrt(static_cast<double>(value)));
}

int64_t referencePosition(GradientKind kind, const FocalRadial* focal, int64_t x, int64_t y) {
    const int64_t ax = x < 0 ? -x : x, ay = y < 0 ? -y : y;
    switch (kind) {
        case GRADIENT_RADIAL:
            return focal != nullptr ? (*focal)(x, y) : referenceRoot(x * x + y * y);
        case GRADIENT_DIAMOND:
            return ax > ay ? ax : ay;
        case GRADIENT_CONIC:
            return static_cast<int64_t>(
                std::floor(std::fabs(std::atan2(double(y), double(x))) * 4096.0 / agg::pi + 0.5));
        case GRADIENT_XY:
            return ax * ay / 4096;
        case GRADIENT_SQRT_XY:
            return referenceRoot(ax * ay);
        default:
            return x;
    }
}

int64_t referenceStepped(double v) {
    if (!(v >= -67108864.0)) v = -67108864.0;
    if (v > 67108864.0) v = 67108864.0;
    return static_cast<int64_t>(std::round(v * 256.0)) >> 4;
}

bool referenceInterpolatable(double x, double y) {
    return std::fabs(x) <= 4193280.0 && std::fabs(y) <= 4193280.0;
}

std::vector<uint32_t> referenceSpan(const agg::trans_affine& m, GradientKind kind,
                                    GradientCycle cycle, const FocalRadial* focal,
                                    const ColourTable& table, int x, int y, unsigned len) {
    std::vector<uint32_t> out(len);
    agg::trans_affine transform = m;
    const double cx = x + 0.5, cy = y + 0.5;
    double x1 = cx, y1 = cy, x2 = cx + len, y2 = cy;
    transform.transform(&x1, &y1);
    transform.transform(&x2, &y2);
    if (referenceInterpolatable(x1, y1) && referenceInterpolatable(x2, y2)) {
        agg::span_interpolator_linear<> interpolator(transform);
        interpolator.begin(cx, cy, len);
        for (unsigned i = 0; i < len; ++i) {
            int gx, gy;
            interpolator.coordinates(&gx, &gy);
            const int64_t v = referencePosition(kind, focal, gx >> 4, gy >> 4);
            out[i] = word(table[referenceIndex(v, cycle)]);
            ++interpolator;
        }
        return out;
    }
    for (unsigned i = 0; i < len; ++i) {
        const int64_t gx = referenceStepped(x1 + m.sx * i);
        const int64_t gy = referenceStepped(y1 + m.shy * i);
        out[i] = word(table[referenceIndex(referencePosition(kind, focal, gx, gy), cycle)]);
    }
    return out;
}

TEST(GradientCyclesReference, EveryRuleMatchesTheSwitch) {
    std::vector<int64_t> values;
    for (int64_t v = -20000; v <= 20000; ++v) values.push_back(v);
    for (int shift = 12; shift < 62; ++shift) {
        for (int64_t d = -17; d <= 17; ++d) {
            values.push_back((int64_t(1) << shift) + d);
            values.push_back(-(int64_t(1) << shift) + d);
        }
    }
    const GradientCycle cycles[] = {CYCLE_PAD, CYCLE_REPEAT, CYCLE_REFLECT};
    for (int64_t v : values) {
        for (GradientCycle c : cycles) {
            ASSERT_EQ(colourIndex(v, c), referenceIndex(v, c)) << v << ", cycle " << c;
        }
    }
}

TEST(GradientFunctionsReference, SquareRootMatchesAggs) {
    std::vector<uint32_t> values;
    for (uint32_t v = 0; v < (1u << 20); ++v) values.push_back(v);
    for (uint64_t v = 1u << 20; v <= UINT32_MAX; v += 4099) values.push_back(uint32_t(v));
    for (int bit = 0; bit < 32; ++bit) {
        for (int d = -3; d <= 3; ++d) values.push_back(uint32_t((uint64_t(1) << bit) + d));
    }
    values.push_back(UINT32_MAX);
    for (uint32_t v : values) {
        ASSERT_EQ(gradient::squareRoot(v), int64_t(agg::fast_sqrt(v))) << v;
    }
}

TEST(GradientFunctionsReference, RadialIndexByKeyMatchesAggsRoot) {
    // Every sum below 2^22, then sums up to 2^32 - 1 at a stride prime to
    // every power of two, and each power of two and its neighbours.
    std::vector<uint32_t> values;
    for (uint32_t v = 0; v < (1u << 22); ++v) values.push_back(v);
    for (uint64_t v = 1u << 22; v <= UINT32_MAX; v += 1021) values.push_back(uint32_t(v));
    for (int bit = 0; bit < 32; ++bit) {
        for (int d = -3; d <= 3; ++d) values.push_back(uint32_t((uint64_t(1) << bit) + d));
    }
    values.push_back(UINT32_MAX);
    const uint8_t* pad = radialIndex::table<cycle::Pad>();
    const uint8_t* repeat = radialIndex::table<cycle::Repeat>();
    const uint8_t* reflect = radialIndex::table<cycle::Reflect>();
    for (uint32_t v : values) {
        const int64_t root = agg::fast_sqrt(v);
        const int k = radialIndex::key(double(v));
        ASSERT_LT(k, radialIndex::keys) << v;
        ASSERT_EQ(pad[k], referenceIndex(root, CYCLE_PAD)) << v;
        ASSERT_EQ(repeat[k], referenceIndex(root, CYCLE_REPEAT)) << v;
        ASSERT_EQ(reflect[k], referenceIndex(root, CYCLE_REFLECT)) << v;
    }
    EXPECT_GE(radialIndex::key(4294967296.0), radialIndex::keys);
}

// A table whose entries all differ: red falls by one or two per entry, and
// green tells the last two apart.
const ColourTable& distinctTable() {
    static const int32_t positions[] = {0, 255};
    static const Rgba colours[] = {Rgba(255, 0, 200, 255), Rgba(0, 255, 40, 128)};
    static const ColourTable table(positions, colours, 2, 1.0f);
    return table;
}

// Colours for blending from indices: random, opaque or not, with their
// full-cover words.
struct BlendColours {
    std::vector<Rgba> straight = std::vector<Rgba>(256);
    std::vector<uint32_t> fullCover = std::vector<uint32_t>(256);
    IndexedColours colours;

    BlendColours(std::mt19937& random, bool opaque) {
        for (int i = 0; i < 256; ++i) {
            const uint32_t v = random();
            Rgba& c = straight[i];
            c = Rgba(v & 255, (v >> 8) & 255, (v >> 16) & 255, opaque ? 255 : v >> 24);
            fullCover[i] = over::pack(over::product(c.b, c.a), over::product(c.g, c.a),
                                      over::product(c.r, c.a), c.a);
        }
        colours = IndexedColours{straight.data(), fullCover.data(), opaque};
    }
};

// The span blended straight from the generator (generateOver) against the
// portable indexed span over the same indices: random covers (runs of full
// and zero cover, and random ones) over random premultiplied pixels.
void expectBlendedSpan(GradientSpanGenerator& generator, const std::vector<agg::int8u>& indices,
                       const IndexedColours& colours, std::mt19937& random, int x, int y) {
    const unsigned len = unsigned(indices.size());
    std::vector<agg::int8u> covers(len);
    const unsigned style = random() % 3;
    for (unsigned i = 0; i < len; ++i) {
        const unsigned r = random();
        covers[i] = style == 0 ? 255 : style == 1 && r % 8 != 0 ? ((r >> 8) % 2) * 255 : r >> 8;
    }
    std::vector<agg::int8u> pixels(4 * size_t(len));
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const uint32_t v = random();
        const agg::int8u a = agg::int8u(v >> 24);
        for (int k = 0; k < 3; ++k) pixels[i + k] = agg::int8u(((v >> (8 * k)) & 255) * a / 255);
        pixels[i + 3] = a;
    }
    std::vector<agg::int8u> expected = pixels;
    over::portable::indexedSpan(expected.data(), len, indices.data(), covers.data(), colours);
    generator.generateOver(pixels.data(), covers.data(), colours, x, y, len);
    ASSERT_EQ(pixels, expected) << "span (" << x << ", " << y << ") length " << len
                                << (colours.opaque ? ", opaque" : "");
}

TEST(GradientSpansReference, RandomTransformsKindsAndCycles) {
    const ColourTable& table = distinctTable();
    for (int i = 1; i < 256; ++i) ASSERT_NE(word(table[i]), word(table[i - 1])) << i;

    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const GradientKind kinds[] = {GRADIENT_RADIAL, GRADIENT_LINEAR, GRADIENT_DIAMOND,
                                  GRADIENT_CONIC,  GRADIENT_XY,     GRADIENT_SQRT_XY};
    const GradientCycle cycles[] = {CYCLE_PAD, CYCLE_REPEAT, CYCLE_REFLECT};
    int far = 0, near = 0;
    const BlendColours blend[2] = {BlendColours(random, false), BlendColours(random, true)};
    for (int n = 0; n < 3000; ++n) {
        // Gradient units per pixel from 1/1000 to 100000, rotated and sheared,
        // and placed up to 10^7 units away.
        const double scale = std::pow(10.0, 5.0 * unit(random) + 1.0);
        const double shift = std::pow(10.0, 7.0 * std::fabs(unit(random)));
        const agg::trans_affine m(scale * unit(random), scale * unit(random), scale * unit(random),
                                  scale * unit(random), shift * unit(random), shift * unit(random));
        const GradientKind kind = kinds[n % 6];
        const GradientCycle cycle = cycles[(n / 6) % 3];
        GradientFocus focus{std::fabs(unit(random)) * 400.0, unit(random) * 300.0,
                            unit(random) * 300.0};
        const bool focused = kind == GRADIENT_RADIAL && (n / 18) % 2 == 1;
        const FocalRadial focal(focus.radius, focus.x, focus.y);

        GradientSpanGenerator generator(m, kind, cycle, focused ? &focus : nullptr, table);
        for (int s = 0; s < 4; ++s) {
            const int x = int(unit(random) * (s == 0 ? 50 : 5000));
            const int y = int(unit(random) * (s == 0 ? 50 : 5000));
            const unsigned len = 1 + random() % (s == 3 ? 2000 : 300);
            std::vector<Rgba> span(len), portable(len);
            generator.generate(span.data(), x, y, len);
            generator.generatePortable(portable.data(), x, y, len);
            std::vector<agg::int8u> indices(len);
            generator.generateIndices(indices.data(), x, y, len);
            const std::vector<uint32_t> expected =
                referenceSpan(m, kind, cycle, focused ? &focal : nullptr, table, x, y, len);
            double x1 = x + 0.5, y1 = y + 0.5, x2 = x1 + len, y2 = y1;
            m.transform(&x1, &y1);
            m.transform(&x2, &y2);
            (referenceInterpolatable(x1, y1) && referenceInterpolatable(x2, y2) ? near : far)++;
            for (unsigned i = 0; i < len; ++i) {
                ASSERT_EQ(word(portable[i]), expected[i]) << "one by one, pixel " << i;
                ASSERT_EQ(word(table[indices[i]]), expected[i]) << "index, pixel " << i;
                ASSERT_EQ(word(span[i]), expected[i])
                    << "kind " << kind << (focused ? " focal" : "") << ", cycle " << cycle
                    << ", span (" << x << ", " << y << ") length " << len << ", pixel " << i
                    << ", transform " << m.sx << " " << m.shy << " " << m.shx << " " << m.sy << " "
                    << m.tx << " " << m.ty;
            }
            // The indices are right (the table's entries all differ): the
            // same pixels blended as they are worked out.
            expectBlendedSpan(generator, indices, blend[n % 2].colours, random, x, y);
        }
    }
    // Both the fixed-point and the double-precision ways were taken often.
    EXPECT_GT(near, 2000);
    EXPECT_GT(far, 2000);
}

// Spans as fills meet them: a few gradient units per pixel round gradients a
// few table lengths across, spans of every length up to 70 at any offset
// (whole blocks of four and the pixels after them), and radial sums of
// squares about 2^32, where the table-driven root hands over to the exact one;
// each span also blended source-over as its indices are worked out.
TEST(GradientSpansReference, ShortSpansAtFillScales) {
    const ColourTable& table = distinctTable();
    std::mt19937 random(23);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const GradientKind kinds[] = {GRADIENT_RADIAL, GRADIENT_LINEAR, GRADIENT_DIAMOND,
                                  GRADIENT_CONIC,  GRADIENT_XY,     GRADIENT_SQRT_XY};
    const GradientCycle cycles[] = {CYCLE_PAD, CYCLE_REPEAT, CYCLE_REFLECT};
    const BlendColours blend[2] = {BlendColours(random, false), BlendColours(random, true)};
    for (int n = 0; n < 4000; ++n) {
        const double scale = std::pow(2.0, 6.0 * unit(random));
        const double angle = unit(random) * 3.2;
        // Every fourth transform places the span about 4096 units out.
        const double out = n % 4 == 0 ? 4096.0 + 64.0 * unit(random) : 600.0 * unit(random);
        const double turn = unit(random) * 3.2;
        const agg::trans_affine m(scale * std::cos(angle), scale * std::sin(angle),
                                  -scale * std::sin(angle) * (1.0 + 0.3 * unit(random)),
                                  scale * std::cos(angle), out * std::cos(turn),
                                  out * std::sin(turn));
        const GradientKind kind = kinds[n % 6];
        const GradientCycle cycle = cycles[(n / 6) % 3];
        GradientFocus focus{20.0 + std::fabs(unit(random)) * 400.0, unit(random) * 300.0,
                            unit(random) * 300.0};
        const bool focused = kind == GRADIENT_RADIAL && (n / 18) % 2 == 1;
        const FocalRadial focal(focus.radius, focus.x, focus.y);
        GradientSpanGenerator generator(m, kind, cycle, focused ? &focus : nullptr, table);
        const int x = int(unit(random) * 300), y = int(unit(random) * 300);
        // Two lengths: the second takes every length for every kind.
        for (const unsigned len : {1 + unsigned(n) % 70, 1 + unsigned(n / 6) % 70}) {
            std::vector<Rgba> span(len), portable(len);
            generator.generate(span.data(), x, y, len);
            generator.generatePortable(portable.data(), x, y, len);
            std::vector<agg::int8u> indices(len);
            generator.generateIndices(indices.data(), x, y, len);
            const std::vector<uint32_t> expected =
                referenceSpan(m, kind, cycle, focused ? &focal : nullptr, table, x, y, len);
            for (unsigned i = 0; i < len; ++i) {
                ASSERT_EQ(word(portable[i]), expected[i]) << "one by one, pixel " << i;
                ASSERT_EQ(word(table[indices[i]]), expected[i]) << "index, pixel " << i;
                ASSERT_EQ(word(span[i]), expected[i])
                    << "kind " << kind << (focused ? " focal" : "") << ", cycle " << cycle
                    << ", span (" << x << ", " << y << ") length " << len << ", pixel " << i;
            }
            // The same pixels blended as they are worked out.
            expectBlendedSpan(generator, indices, blend[n % 2].colours, random, x, y);
        }
    }
}

// An alpha, 0 and 255 often.
agg::int8u pickAlpha(std::mt19937& random) {
    const unsigned r = random() % 4;
    return r == 0 ? 0 : r == 1 ? 255 : agg::int8u(random());
}

// The renderer that blends gradients from their table indices against AGG's
// scan-line renderer with the same generator: random polygons, partly
// outside the target and the clip box, over random premultiplied pixels;
// some targets are wide enough for spans longer than the colours the
// renderer holds inline.
// Random premultiplied pixels (b, g, r, a bytes) for width x height.
std::vector<uint8_t> randomPremultipliedPixels(int width, int height, std::mt19937& random) {
    std::vector<uint8_t> pixels(size_t(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const uint32_t v = random();
        const uint8_t a = uint8_t(v >> 24);
        for (int k = 0; k < 3; ++k) pixels[i + k] = uint8_t(((v >> (8 * k)) & 255) * a / 255);
        pixels[i + 3] = a;
    }
    return pixels;
}

TEST(GradientRendererOverReference, MatchesAggsScanlineRenderer) {
    constexpr int height = 61;
    std::mt19937 random(31);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const GradientKind kinds[] = {GRADIENT_RADIAL, GRADIENT_LINEAR, GRADIENT_DIAMOND,
                                  GRADIENT_CONIC,  GRADIENT_XY,     GRADIENT_SQRT_XY};
    const GradientCycle cycles[] = {CYCLE_PAD, CYCLE_REPEAT, CYCLE_REFLECT};
    using Base = agg::renderer_base<CompositePixelFormat>;
    for (int n = 0; n < 600; ++n) {
        const int width = n % 8 == 7 ? 97 + int(SpanColours::held) : 97;
        std::vector<int32_t> positions = {0, int32_t(random() % 256), 255};
        std::sort(positions.begin(), positions.end());
        std::vector<Rgba> colours(3);
        // Opaque tables half the time, else alphas from 0 to 255.
        const bool opaque = n % 4 < 2;
        for (Rgba& c : colours) {
            c = Rgba(random() & 255, random() & 255, random() & 255,
                     opaque ? 255 : pickAlpha(random));
        }
        if (!opaque) colours[random() % 3].a = agg::int8u(random() % 255);
        const ColourTable table(positions.data(), colours.data(), 3, 1.0f);
        ASSERT_EQ(table.opaque(), opaque);

        const double scale = std::pow(2.0, 4.0 * unit(random));
        const agg::trans_affine m(scale * unit(random), scale * unit(random), scale * unit(random),
                                  scale * unit(random), 200.0 * unit(random), 200.0 * unit(random));
        const GradientKind kind = kinds[n % 6];
        const GradientCycle cycle = cycles[(n / 6) % 3];
        GradientFocus focus{50.0 + 100.0 * std::fabs(unit(random)), 30.0 * unit(random),
                            30.0 * unit(random)};
        const bool focused = kind == GRADIENT_RADIAL && (n / 18) % 2 == 1;
        GradientSpanGenerator generator(m, kind, cycle, focused ? &focus : nullptr, table);

        agg::rasterizer_scanline_aa<> rasterizer;
        const int corners = 3 + int(random() % 7);
        for (int c = 0; c < corners; ++c) {
            const double px = width * (0.5 + 0.7 * unit(random));
            const double py = height * (0.5 + 0.7 * unit(random));
            if (c == 0) {
                rasterizer.move_to_d(px, py);
            } else {
                rasterizer.line_to_d(px, py);
            }
        }
        std::vector<uint8_t> pixels = randomPremultipliedPixels(width, height, random);
        std::vector<uint8_t> expected = pixels;
        const int clip[4] = {int(random() % 20), int(random() % 20), width - 1 - int(random() % 20),
                             height - 1 - int(random() % 20)};
        {
            RowBuffer rows(expected.data(), width, height, width * 4);
            CompositePixelFormat format(rows, CompositeRule::SrcOver, false);
            Base base(format);
            if (n % 2 == 1) base.clip_box(clip[0], clip[1], clip[2], clip[3]);
            agg::span_allocator<Rgba> allocator;
            agg::scanline_u8 scanline;
            agg::render_scanlines_aa(rasterizer, scanline, base, allocator, generator);
        }
        {
            RowBuffer rows(pixels.data(), width, height, width * 4);
            CompositePixelFormat format(rows, CompositeRule::SrcOver, false);
            Base base(format);
            if (n % 2 == 1) base.clip_box(clip[0], clip[1], clip[2], clip[3]);
            SpanColours allocator;
            agg::scanline_u8 scanline;
            GradientRendererOver<Base> renderer(base, rows, allocator, generator, table);
            agg::render_scanlines(rasterizer, scanline, renderer);
        }
        for (size_t i = 0; i < pixels.size(); ++i) {
            ASSERT_EQ(pixels[i], expected[i])
                << "kind " << kind << (focused ? " focal" : "") << ", cycle " << cycle
                << ", pixel (" << (i / 4) % width << ", " << (i / 4) / width << ")";
        }
    }
}

// Gradients under a rectangle clip are blended straight from the coverage
// sweep (CoverageSpanSink) rather than through a scan-line: the same pixels
// as the scan-line way for the rasteriser's random polygons (clip boxes
// reaching past the pixels) and for rectangles of the rectilinear coverage,
// whose alike rows come together, with every kind and cycle, opaque tables
// and translucent ones; polygons in the rasteriser's grid also as whole spans.
TEST(GradientRendererOverReference, CoverageSinkMatchesTheScanlineWay) {
    constexpr int width = 90, height = 70;
    std::mt19937 random(37);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const GradientKind kinds[] = {GRADIENT_RADIAL, GRADIENT_LINEAR, GRADIENT_DIAMOND,
                                  GRADIENT_CONIC,  GRADIENT_XY,     GRADIENT_SQRT_XY};
    const GradientCycle cycles[] = {CYCLE_PAD, CYCLE_REPEAT, CYCLE_REFLECT};
    using Base = agg::renderer_base<CompositePixelFormat>;
    int rectangles = 0, spanned = 0;
    for (int n = 0; n < 600; ++n) {
        std::vector<int32_t> positions = {0, int32_t(random() % 256), 255};
        std::sort(positions.begin(), positions.end());
        std::vector<Rgba> colours(3);
        const bool opaque = n % 3 == 0;
        for (Rgba& c : colours) {
            c = Rgba(random() & 255, random() & 255, random() & 255,
                     opaque ? 255 : pickAlpha(random));
        }
        const ColourTable table(positions.data(), colours.data(), 3, 1.0f);
        const double scale = std::pow(2.0, 4.0 * unit(random));
        const agg::trans_affine m(scale * unit(random), scale * unit(random), scale * unit(random),
                                  scale * unit(random), 200.0 * unit(random), 200.0 * unit(random));
        GradientFocus focus{50.0 + 100.0 * std::fabs(unit(random)), 30.0 * unit(random),
                            30.0 * unit(random)};
        const GradientKind kind = kinds[n % 6];
        const bool focused = kind == GRADIENT_RADIAL && (n / 6) % 2 == 1;
        GradientSpanGenerator generator(m, kind, cycles[(n / 12) % 3], focused ? &focus : nullptr,
                                        table);

        // A clip box from well inside the pixels to past their edges.
        const double clip[4] = {-10.0 + 30.0 * std::fabs(unit(random)),
                                -10.0 + 30.0 * std::fabs(unit(random)),
                                width + 10.0 - 30.0 * std::fabs(unit(random)),
                                height + 10.0 - 30.0 * std::fabs(unit(random))};
        agg::path_storage path;
        const bool rectangle = n % 3 == 2;
        if (rectangle) {
            const double x1 = width * (0.5 + 0.7 * unit(random));
            const double y1 = height * (0.5 + 0.7 * unit(random));
            const double x2 = width * (0.5 + 0.7 * unit(random));
            const double y2 = height * (0.5 + 0.7 * unit(random));
            path.move_to(x1, y1);
            path.line_to(x2, y1);
            path.line_to(x2, y2);
            path.line_to(x1, y2);
            path.close_polygon();
        } else {
            for (int c = 3 + int(random() % 7); c > 0; --c) {
                const double px = width * (0.5 + 0.7 * unit(random));
                const double py = height * (0.5 + 0.7 * unit(random));
                if (path.total_vertices() == 0) {
                    path.move_to(px, py);
                } else {
                    path.line_to(px, py);
                }
            }
        }
        Rasterizer rasterizer;
        RectilinearCoverage rectilinear;
        rasterizer.clip_box(clip[0], clip[1], clip[2], clip[3]);
        const agg::rect_d box(clip[0], clip[1], clip[2], clip[3]);
        if (rectangle && rectilinear.set(path, box, agg::fill_non_zero)) ++rectangles;
        rasterizer.add_path(path);

        std::vector<uint8_t> pixels = randomPremultipliedPixels(width, height, random);
        std::vector<uint8_t> expected = pixels;
        // 0: through a scan-line; 1: through the sink in pieces; 2: through the sink as whole
        // spans where the rasteriser's grid holds the shape.
        auto draw = [&](std::vector<uint8_t>& bytes, int way) {
            RowBuffer rows(bytes.data(), width, height, width * 4);
            CompositePixelFormat format(rows, CompositeRule::SrcOver, false);
            Base base(format);
            SpanColours allocator;
            GradientRendererOver<Base> renderer(base, rows, allocator, generator, table);
            if (way != 0) {
                CoverageSpanSink<GradientRendererOver<Base>> spans(renderer);
                if (rectilinear.active()) {
                    rectilinear.sweepRows(spans);
                } else if (way == 2 && rasterizer.sweepSpans(spans)) {
                    ++spanned;
                } else {
                    rasterizer.sweepRows(spans);
                }
                spans.finish();
                return;
            }
            agg::scanline_u8 scanline;
            if (rectilinear.active()) {
                agg::render_scanlines(rectilinear, scanline, renderer);
            } else {
                agg::render_scanlines(rasterizer, scanline, renderer);
            }
        };
        std::vector<uint8_t> whole = pixels;
        draw(expected, 0);
        draw(pixels, 1);
        draw(whole, 2);
        for (size_t i = 0; i < pixels.size(); ++i) {
            ASSERT_EQ(pixels[i], expected[i])
                << (rectilinear.active() ? "rectangle" : "polygon") << ", kind " << kind
                << ", pixel (" << (i / 4) % width << ", " << (i / 4) / width << ")";
            ASSERT_EQ(whole[i], expected[i]) << "whole spans, kind " << kind << ", pixel ("
                                             << (i / 4) % width << ", " << (i / 4) / width << ")";
        }
    }
    EXPECT_GT(rectangles, 150);
    EXPECT_GT(spanned, 300);
}

}  // namespace
}  // namespace lumo
