#include "blend/BlendSpans.h"
#include "blend/CompositePixelFormat.h"

#include "doubles/PixelCanvas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Every way of blending a row at once (source-over's four-at-a-time spans, and the span
// functions of the other operations) must give the bytes that blending pixel by pixel gives.
// The rows are random: valid premultiplied pixels, colours and covers that come in runs (so
// that whole groups of transparent, opaque, uncovered and fully covered pixels occur as well as
// mixed ones), every length from 0 to 40, at every start offset modulo four.

namespace lumo {
namespace {

constexpr int kWidth = 48;
constexpr int kMaxLength = 40;

class RandomRows {
public:
    explicit RandomRows(uint32_t seed) : random_(seed) {}

    unsigned below(unsigned n) { return unsigned(random_() % n); }

    // 0 or 255 a third of the time each, anything otherwise.
    unsigned extremeOrAny() {
        switch (below(3)) {
            case 0:
                return 0;
            case 1:
                return 255;
            default:
                return below(256);
        }
    }

    // A premultiplied pixel: no colour above its alpha.
    uint32_t pixel() {
        const unsigned a = extremeOrAny();
        const unsigned b = below(a + 1), g = below(a + 1), r = below(a + 1);
        return a << 24 | r << 16 | g << 8 | b;
    }

    // Any colour bytes (above the alpha too: premultiplied sources cap them).
    agg::rgba8 colour(unsigned a) { return agg::rgba8(below(256), below(256), below(256), a); }
    agg::rgba8 colour() { return colour(extremeOrAny()); }

    // Runs of up to nine equal values, each run 0, 255 or anything.
    std::vector<unsigned> runs(unsigned length) {
        std::vector<unsigned> values;
        while (values.size() < length) {
            const unsigned value = extremeOrAny();
            for (unsigned n = 1 + below(9); n > 0 && values.size() < length; --n) {
                values.push_back(value == 0 || value == 255 ? value : below(256));
            }
        }
        return values;
    }

    std::vector<agg::int8u> covers(unsigned length) {
        std::vector<agg::int8u> covers;
        for (unsigned k : runs(length)) covers.push_back(agg::int8u(k));
        return covers;
    }

    std::vector<agg::rgba8> colours(unsigned length) {
        std::vector<agg::rgba8> colours;
        for (unsigned a : runs(length)) colours.push_back(colour(a));
        return colours;
    }

    void fill(PixelCanvas& canvas, int y) {
        for (int x = 0; x < kWidth; ++x) canvas.set(x, y, pixel());
    }

private:
    std::mt19937 random_;
};

// The row entry points of the pixel format, and what each means pixel by pixel.
enum class Span { Line, Solid, ColoursCovered, ColoursOneCover, ColoursFullCover };
const Span kSpans[] = {Span::Line, Span::Solid, Span::ColoursCovered, Span::ColoursOneCover,
                       Span::ColoursFullCover};

// Draws one random span both ways on copies of one random row; returns the rows, span first.
std::pair<std::vector<uint32_t>, std::vector<uint32_t>> drawBothWays(RandomRows& random, int op,
                                                                     bool premultiplied, Span span,
                                                                     int x, unsigned len) {
    PixelCanvas canvas(kWidth, 2, 0);
    random.fill(canvas, 0);
    for (int i = 0; i < kWidth; ++i) canvas.set(i, 1, canvas.at(i, 0));
    CompositePixelFormat pixels(canvas.rows(), CompositeRule(op), premultiplied);

    const agg::rgba8 colour = random.colour();
    const unsigned cover = span == Span::ColoursFullCover ? 255 : random.extremeOrAny();
    const std::vector<agg::int8u> covers = random.covers(len);
    const std::vector<agg::rgba8> colours = random.colours(len);
    switch (span) {
        case Span::Line:
            pixels.blend_hline(x, 0, len, colour, agg::int8u(cover));
            break;
        case Span::Solid:
            pixels.blend_solid_hspan(x, 0, len, colour, covers.data());
            break;
        case Span::ColoursCovered:
            pixels.blend_color_hspan(x, 0, len, colours.data(), covers.data(), 0);
            break;
        case Span::ColoursOneCover:
        case Span::ColoursFullCover:
            pixels.blend_color_hspan(x, 0, len, colours.data(), nullptr, agg::int8u(cover));
            break;
    }
    for (unsigned i = 0; i < len; ++i) {
        const bool solid = span == Span::Line || span == Span::Solid;
        const bool perPixelCover = span == Span::Solid || span == Span::ColoursCovered;
        pixels.blend_pixel(x + int(i), 1, solid ? colour : colours[i],
                           agg::int8u(perPixelCover ? covers[i] : cover));
    }
    return {canvas.row(0), canvas.row(1)};
}

TEST(PixelSpans, SourceOverSpansMatchBlendingPixelByPixel) {
    RandomRows random(1);
    for (bool premultiplied : {false, true}) {
        for (Span span : kSpans) {
            for (unsigned len = 0; len <= kMaxLength; ++len) {
                for (int trial = 0; trial < 24; ++trial) {
                    const int x = trial % 4 + int(random.below(kWidth - kMaxLength - 3));
                    const auto rows = drawBothWays(random, ruleIndex(CompositeRule::SrcOver),
                                                   premultiplied, span, x, len);
                    ASSERT_EQ(rows.first, rows.second)
                        << "premultiplied " << premultiplied << " span " << int(span) << " x " << x
                        << " length " << len;
                }
            }
        }
    }
}

TEST(PixelSpans, EveryOperationsSpansMatchBlendingPixelByPixel) {
    RandomRows random(2);
    for (int op = 0; op < compositeRuleCount; ++op) {
        for (bool premultiplied : {false, true}) {
            for (Span span : kSpans) {
                for (unsigned len = 0; len <= kMaxLength; ++len) {
                    const int x = int(len % 4) + int(random.below(kWidth - kMaxLength - 3));
                    const auto rows = drawBothWays(random, op, premultiplied, span, x, len);
                    ASSERT_EQ(rows.first, rows.second)
                        << "op " << op << " premultiplied " << premultiplied << " span "
                        << int(span) << " x " << x << " length " << len;
                }
            }
        }
    }
}

// The span table straight, source-over's entry included (the pixel format has its own spans
// for that): each entry must be its operation's per-pixel function.
TEST(PixelSpans, SpanTableFollowsTheOperationOrder) {
    RandomRows random(3);
    for (int op = 0; op < compositeRuleCount; ++op) {
        for (int trial = 0; trial < 8; ++trial) {
            std::vector<uint32_t> spanRow(kMaxLength), pixelRow(kMaxLength);
            for (uint32_t& word : spanRow) word = random.pixel();
            pixelRow = spanRow;
            const agg::rgba8 colour = storedColour<false>(random.colour());
            const std::vector<agg::int8u> covers = random.covers(kMaxLength);
            blendSpans[op].solid(reinterpret_cast<agg::int8u*>(spanRow.data()), kMaxLength, colour,
                                 covers.data(), 0);
            for (int i = 0; i < kMaxLength; ++i) {
                blendFunctions[op](reinterpret_cast<agg::int8u*>(&pixelRow[i]), colour.r, colour.g,
                                   colour.b, colour.a, covers[i]);
            }
            ASSERT_EQ(spanRow, pixelRow) << "op " << op;
        }
    }
}

}  // namespace
}  // namespace lumo
