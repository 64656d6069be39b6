// The image span renderer against AGG's scan-line renderer over the same
// span generators, nearest and bilinear: random textures (opaque, partly
// and wholly translucent, premultiplied or straight, faded by an extra
// alpha), clamped at their edges and wrapped every way, placed by
// translations, whole and fractional scales, mirrors and rotations, filling
// rectangles, rectangle outlines and polygons by either rule through the
// base renderer's clip box onto random pixels. Spans the renderer samples
// and blends in one pass, or copies from the row above, must leave exactly
// the pixels the two-step path leaves, whether the renderer reads a
// scan-line or is handed the spans straight from lumo's coverage sweep.
#include "ImageSpanComparison.h"
#include "blend/CompositePixelFormat.h"
#include "coverage/Rasterizer.h"
#include "coverage/RectilinearCoverage.h"
#include "render/CoverageSpanSink.h"
#include "render/ImageSpanRenderer.h"
#include "span/BoundedImageSpans.h"
#include "span/ImageAccessors.h"
#include "span/ImageRowSource.h"
#include "span/SampledSpans.h"

#include <agg_path_storage.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace lumo {
namespace {

using Base = agg::renderer_base<CompositePixelFormat>;
using spancheck::Interpolator;
constexpr int kCanvas = 80;

enum class Opacity { Opaque, Mixed, Translucent };

// A texture of w x h words: premultiplied ARGB, or straight ARGB read as it is.
struct Texture {
    Texture(int w, int h, Opacity opacity, bool premultiplied, std::mt19937& random)
        : words(size_t(w) * h) {
        for (uint32_t& word : words) {
            uint32_t a = 255;
            if (opacity == Opacity::Translucent ||
                (opacity == Opacity::Mixed && random() % 16 == 0)) {
                a = random() % 3 == 0 ? 0 : random() % 256;
            }
            const uint32_t limit = premultiplied ? a : 255;
            const uint32_t r = random() % (limit + 1), g = random() % (limit + 1);
            const uint32_t b = random() % (limit + 1);
            word = (a << 24) | (r << 16) | (g << 8) | b;
        }
        image.kind = premultiplied ? IMAGE_INT_ARGB_PRE : IMAGE_INT_ARGB;
        image.alpha = premultiplied ? 1 : 0;
        image.width = w;
        image.height = h;
        image.bytesPerLine = w * 4;
        image.data = reinterpret_cast<const uint8_t*>(words.data());
    }
    std::vector<uint32_t> words;
    ImageDescriptor image;
};

agg::trans_affine randomPlacement(std::mt19937& random) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    static const double scales[] = {1.0, 1.0, 1.5, 2.0, 3.0, 4.0, 0.7, 1.7};
    const double sx = scales[random() % 8] * (random() % 5 == 0 ? -1 : 1);
    const double sy =
        (random() % 3 == 0 ? scales[random() % 8] : sx) * (random() % 5 == 0 ? -1 : 1);
    agg::trans_affine t = agg::trans_affine_scaling(sx, sy);
    if (random() % 6 == 0) t *= agg::trans_affine_rotation(unit(random) * 6.283185307179586);
    const bool whole = random() % 2 == 0;
    const double dx = whole ? double(random() % 90) - 10 : unit(random) * 90 - 10;
    const double dy = whole ? double(random() % 90) - 10 : unit(random) * 90 - 10;
    t *= agg::trans_affine_translation(dx, dy);
    return t;
}

// A shape in AGG's rasteriser and in lumo's: its coverage sweep (a
// rectangle's through the rectilinear coverage, whose alike rows come
// together) feeds the renderer straight through a CoverageSpanSink, in pieces
// (sweepRows) and, from the rasteriser's grid, as whole spans (sweepSpans).
struct Shape {
    agg::rasterizer_scanline_aa<> agg;
    Rasterizer sweep;
    RectilinearCoverage rectilinear;
    // Fills the rasteriser's grid handed over as whole spans (sweepSpans).
    int spanned = 0;
};

// A rectangle (whole pixels or not) or a polygon of three to six points,
// filled by either rule.
void randomShape(std::mt19937& random, Shape& shape) {
    std::uniform_real_distribution<double> coordinate(-8.0, kCanvas + 8.0);
    agg::path_storage path;
    if (random() % 3 != 0) {
        double x0 = coordinate(random), y0 = coordinate(random);
        double x1 = coordinate(random), y1 = coordinate(random);
        if (random() % 2 == 0) x0 = int(x0), y0 = int(y0), x1 = int(x1), y1 = int(y1);
        path.move_to(x0, y0);
        path.line_to(x1, y0);
        path.line_to(x1, y1);
        path.line_to(x0, y1);
        if (random() % 3 == 0) {
            // The outline of a stroked rectangle: an inner one the other way
            // round leaves a short span at either side of each row.
            const double inset = 0.5 + (random() % 8) * 0.75;
            const double sx = x1 > x0 ? inset : -inset, sy = y1 > y0 ? inset : -inset;
            path.close_polygon();
            path.move_to(x0 + sx, y0 + sy);
            path.line_to(x0 + sx, y1 - sy);
            path.line_to(x1 - sx, y1 - sy);
            path.line_to(x1 - sx, y0 + sy);
        }
    } else {
        const int points = 3 + int(random() % 4);
        path.move_to(coordinate(random), coordinate(random));
        for (int i = 1; i < points; ++i) path.line_to(coordinate(random), coordinate(random));
    }
    path.close_polygon();
    const agg::filling_rule_e rule = random() % 3 == 0 ? agg::fill_even_odd : agg::fill_non_zero;
    shape.agg.reset();
    shape.agg.filling_rule(rule);
    shape.agg.add_path(path);
    shape.sweep.reset();
    shape.sweep.filling_rule(rule);
    shape.sweep.add_path(path);
    const agg::rect_d box(-100.0, -100.0, kCanvas + 100.0, kCanvas + 100.0);
    shape.rectilinear.set(path, box, rule);
}

struct Canvas {
    explicit Canvas(const std::vector<uint8_t>& pixels) : bytes(pixels) {
        rows.attach(bytes.data(), kCanvas, kCanvas, kCanvas * 4);
    }
    std::vector<uint8_t> bytes;
    RowBuffer rows;
};

// The first byte that differs, or an empty string.
std::string firstDifference(const Canvas& expected, const Canvas& got, const char* way) {
    for (size_t i = 0; i < expected.bytes.size(); ++i) {
        if (expected.bytes[i] != got.bytes[i]) {
            const size_t pixel = i / 4;
            return std::string(way) + ": pixel (" + std::to_string(pixel % kCanvas) + ", " +
                   std::to_string(pixel / kCanvas) + ") byte " + std::to_string(i % 4) + ": " +
                   std::to_string(got.bytes[i]) + " instead of " +
                   std::to_string(expected.bytes[i]);
        }
    }
    return "";
}

// One fill three ways (AGG's renderer, the image span renderer over a
// scan-line, the same renderer fed by lumo's sweep through a span sink),
// with generators of their own; rows premultiplied for the bilinear filter,
// as the image renderer asks for them, faded by the extra alpha.
template <class Accessor, bool Bilinear>
std::string compareFill(const Texture& texture, const agg::trans_affine& deviceToImage,
                        Shape& shape, const agg::rect_i& clip,
                        const std::vector<uint8_t>& background, double alpha) {
    using Spans = std::conditional_t<Bilinear, typename SampledSpans<Accessor>::Bilinear,
                                     typename SampledSpans<Accessor>::Nearest>;
    ImageRowSource rows(texture.image, alpha, nullptr, Bilinear);
    if (!rows.usable()) return "unusable texture";
    RowSourcePixels pixels(rows);
    Accessor accessor(pixels);
    agg::trans_affine transform = deviceToImage, shift;
    Interpolator interpolator(transform), shifted(shift);

    Canvas expected(background), got(background), sunk(background), joined(background);
    agg::scanline_u8 scanline;
    {
        Spans whole(accessor, interpolator, pixels), single(accessor, shifted, pixels);
        BoundedImageSpans<Spans> spans(whole, single, transform, shift);
        CompositePixelFormat format(expected.rows, CompositeRule::SrcOver, rows.premultiplied());
        Base base(format);
        base.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
        agg::span_allocator<agg::rgba8> allocator;
        agg::renderer_scanline_aa<Base, agg::span_allocator<agg::rgba8>, BoundedImageSpans<Spans>>
            renderer(base, allocator, spans);
        agg::render_scanlines(shape.agg, scanline, renderer);
    }
    {
        Spans whole(accessor, interpolator, pixels), single(accessor, shifted, pixels);
        BoundedImageSpans<Spans> spans(whole, single, transform, shift);
        CompositePixelFormat format(got.rows, CompositeRule::SrcOver, rows.premultiplied());
        Base base(format);
        base.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
        ImageSpanRenderer<Base, BoundedImageSpans<Spans>> renderer(base, spans, got.rows, true,
                                                                   rows.premultiplied());
        agg::render_scanlines(shape.agg, scanline, renderer);
    }
    {
        Spans whole(accessor, interpolator, pixels), single(accessor, shifted, pixels);
        BoundedImageSpans<Spans> spans(whole, single, transform, shift);
        CompositePixelFormat format(sunk.rows, CompositeRule::SrcOver, rows.premultiplied());
        Base base(format);
        base.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
        using Renderer = ImageSpanRenderer<Base, BoundedImageSpans<Spans>>;
        Renderer renderer(base, spans, sunk.rows, true, rows.premultiplied());
        CoverageSpanSink<Renderer> sink(renderer);
        if (shape.rectilinear.active()) {
            shape.rectilinear.sweepRows(sink);
        } else {
            shape.sweep.sweepRows(sink);
        }
        sink.finish();
    }
    if (!shape.rectilinear.active()) {
        Spans whole(accessor, interpolator, pixels), single(accessor, shifted, pixels);
        BoundedImageSpans<Spans> spans(whole, single, transform, shift);
        CompositePixelFormat format(joined.rows, CompositeRule::SrcOver, rows.premultiplied());
        Base base(format);
        base.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
        using Renderer = ImageSpanRenderer<Base, BoundedImageSpans<Spans>>;
        Renderer renderer(base, spans, joined.rows, true, rows.premultiplied());
        CoverageSpanSink<Renderer> sink(renderer);
        if (shape.sweep.sweepSpans(sink)) {
            ++shape.spanned;
        } else {
            shape.sweep.sweepRows(sink);
        }
        sink.finish();
    } else {
        joined.bytes = expected.bytes;
    }
    std::string difference = firstDifference(expected, got, "scan-line");
    if (difference.empty()) difference = firstDifference(expected, sunk, "sweep sink");
    if (difference.empty()) difference = firstDifference(expected, joined, "whole spans");
    return difference;
}

template <class T>
struct Type {
    using type = T;
};

TEST(ImageSpanRenderer, FillsAsTheScanlineRendererDoes) {
    std::mt19937 random(41);
    using Repeat = agg::wrap_mode_repeat;
    using Reflect = agg::wrap_mode_reflect;
    Shape shape;
    for (int round = 0; round < 1500; ++round) {
        const Opacity opacity = Opacity(random() % 3);
        const bool premultiplied = random() % 4 != 0;
        const Texture texture(1 + int(random() % 24), 1 + int(random() % 24), opacity,
                              premultiplied, random);
        agg::trans_affine deviceToImage = randomPlacement(random);
        deviceToImage.invert();
        if (round % 8 == 7) {
            // Far off: the canvas maps across the reach of whole spans
            // (2^21 image pixels) or across half of it, where the renderer
            // stops trusting its clip box, so that spans within the box,
            // beyond it and sampled pixel by pixel meet in one fill.
            const double reach = round % 16 == 7 ? 2097152.0 : 1048576.0;
            const double offset = reach - 60.0 + double(random() % 120);
            deviceToImage *= agg::trans_affine_translation(random() % 2 == 0 ? offset : -offset,
                                                           random() % 2 == 0 ? offset : -offset);
        }
        randomShape(random, shape);
        const double alpha = random() % 4 == 0 ? 0.05 + 0.9 * (random() % 1000) / 1000.0 : 1.0;
        agg::rect_i clip(0, 0, kCanvas - 1, kCanvas - 1);
        if (random() % 3 == 0) {
            clip = agg::rect_i(int(random() % 40), int(random() % 40), 40 + int(random() % 40),
                               40 + int(random() % 40));
        }
        std::vector<uint8_t> background(size_t(kCanvas) * kCanvas * 4);
        for (size_t i = 0; i < background.size(); i += 4) {
            const uint8_t a = random() % 2 == 0 ? 255 : uint8_t(random());
            for (int c = 0; c < 3; ++c) background[i + c] = uint8_t(random() % (a + 1u));
            background[i + 3] = a;
        }
        const auto compare = [&](auto accessor, auto bilinear) {
            using Accessor = typename decltype(accessor)::type;
            return compareFill<Accessor, decltype(bilinear)::value>(texture, deviceToImage, shape,
                                                                    clip, background, alpha);
        };
        const std::true_type bilinear;
        const std::false_type nearest;
        std::string difference;
        switch (random() % 5) {
            case 0:
                difference = compare(Type<WrapAccessor<Repeat, Repeat>>(), nearest);
                if (difference.empty()) {
                    difference = compare(Type<WrapAccessor<Repeat, Repeat>>(), bilinear);
                }
                break;
            case 1:
                difference = compare(Type<WrapAccessor<Repeat, Reflect>>(), nearest);
                if (difference.empty()) {
                    difference = compare(Type<WrapAccessor<Repeat, Reflect>>(), bilinear);
                }
                break;
            case 2:
                difference = compare(Type<WrapAccessor<Reflect, Repeat>>(), nearest);
                if (difference.empty()) {
                    difference = compare(Type<WrapAccessor<Reflect, Repeat>>(), bilinear);
                }
                break;
            case 3:
                difference = compare(Type<WrapAccessor<Reflect, Reflect>>(), nearest);
                if (difference.empty()) {
                    difference = compare(Type<WrapAccessor<Reflect, Reflect>>(), bilinear);
                }
                break;
            default:
                difference = compare(Type<ClampAccessor>(), nearest);
                if (difference.empty()) difference = compare(Type<ClampAccessor>(), bilinear);
                break;
        }
        ASSERT_EQ(difference, "") << "round " << round;
    }
    EXPECT_GT(shape.spanned, 300);
}

// Spans whose ends map beyond what the interpolator holds are sampled pixel
// by pixel through a translation set for each pixel. One-pixel spans at one
// column on successive rows (a thin vertical line of a rotated texture placed
// far away) must not be given the image columns of the pixel before, which
// had another translation: each matches a generator that never saw another.
TEST(ImageSpanRenderer, FarPixelsSampledAloneKeepTheirOwnColumns) {
    std::mt19937 random(43);
    using Repeat = agg::wrap_mode_repeat;
    using Accessor = WrapAccessor<Repeat, Repeat>;
    const Texture texture(13, 11, Opacity::Opaque, true, random);
    for (int round = 0; round < 50; ++round) {
        agg::trans_affine deviceToImage = agg::trans_affine_rotation(0.3 + 0.02 * round);
        deviceToImage *= agg::trans_affine_scaling(3.0 + round % 5);
        deviceToImage *= agg::trans_affine_translation(3e6, -3e6);
        const auto sample = [](auto& generator, int x, int y) {
            agg::rgba8 colour;
            generator.generate(&colour, x, y, 1);
            return colour;
        };
        const auto compare = [&](auto filter) {
            using Spans = std::conditional_t<decltype(filter)::value,
                                             typename SampledSpans<Accessor>::Bilinear,
                                             typename SampledSpans<Accessor>::Nearest>;
            ImageRowSource rows(texture.image, 1.0, nullptr, true);
            RowSourcePixels pixels(rows);
            Accessor accessor(pixels);
            agg::trans_affine transform = deviceToImage, shift;
            Interpolator interpolator(transform), shifted(shift);
            Spans whole(accessor, interpolator, pixels), single(accessor, shifted, pixels);
            BoundedImageSpans<Spans> spans(whole, single, transform, shift);
            for (int y = 0; y < 12; ++y) {
                const agg::rgba8 got = sample(spans, 20, y);
                agg::trans_affine freshShift;
                Interpolator freshShifted(freshShift);
                Spans freshWhole(accessor, interpolator, pixels),
                    freshSingle(accessor, freshShifted, pixels);
                BoundedImageSpans<Spans> fresh(freshWhole, freshSingle, transform, freshShift);
                const agg::rgba8 expected = sample(fresh, 20, y);
                if (std::memcmp(&got, &expected, 4) != 0) return "row " + std::to_string(y);
            }
            return std::string();
        };
        ASSERT_EQ(compare(std::false_type()), "") << "nearest, round " << round;
        ASSERT_EQ(compare(std::true_type()), "") << "bilinear, round " << round;
    }
}

}  // namespace
}  // namespace lumo
