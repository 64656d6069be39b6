// Wrapped bilinear textures blended block by block along rectangle coverage
// against AGG's pipeline over the same coverage: its bilinear span generator
// over the wrapping accessor and its scan-line renderer, blending through
// the library's pixel format. Random textures (opaque, translucent, straight
// ones converted, faded by an extra alpha), every wrap combination, scales
// up, down and mirrored at fractional offsets, rectangles, rectangle
// outlines and pairs of them at whole and fractional positions under clip
// boxes inside and across the canvas; now and then a canvas wider than the
// sink's buffers or a texture placed beyond the reach of whole spans, which
// the sink hands back to the image span renderer.
#include "ImageSpanComparison.h"
#include "blend/CompositePixelFormat.h"
#include "coverage/RectilinearCoverage.h"
#include "render/ImageSpanRenderer.h"
#include "render/WrappedBilinearRowsSink.h"
#include "span/BoundedImageSpans.h"
#include "span/ImageAccessors.h"
#include "span/ImageRowSource.h"
#include "span/WrappedBilinearSpans.h"

#include <agg_path_storage.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>
#include <agg_span_image_filter_rgba.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace lumo {
namespace {

using Base = agg::renderer_base<CompositePixelFormat>;
using spancheck::Interpolator;

// The image span renderer, counting the rows handed back to it.
template <class Inner>
struct CountingRenderer {
    void prepare() { inner.prepare(); }
    template <class Scanline>
    void render(const Scanline& sl) {
        ++rows;
        inner.render(sl);
    }
    Inner& inner;
    int rows = 0;
};

struct Case {
    int width, height;
    std::vector<uint32_t> texture;
    ImageDescriptor image;
    double alpha;
    agg::trans_affine deviceToImage;
    agg::path_storage path;
    agg::rect_d clip;
    std::vector<uint8_t> background;
    bool far;
};

void randomTexture(std::mt19937& random, Case& c) {
    const int w = 1 + int(random() % 24), h = 1 + int(random() % 24);
    const bool premultiplied = random() % 4 != 0;
    const int opacity = int(random() % 3);  // opaque, some translucent, all translucent
    c.texture.resize(size_t(w) * h);
    for (uint32_t& word : c.texture) {
        uint32_t a = 255;
        if (opacity == 2 || (opacity == 1 && random() % 8 == 0)) a = random() % 256;
        const uint32_t limit = premultiplied ? a : 255;
        word = a << 24 | (random() % (limit + 1)) << 16 | (random() % (limit + 1)) << 8 |
               (random() % (limit + 1));
    }
    c.image.kind = premultiplied ? IMAGE_INT_ARGB_PRE : IMAGE_INT_ARGB;
    c.image.alpha = premultiplied ? 1 : 0;
    c.image.width = w;
    c.image.height = h;
    c.image.bytesPerLine = w * 4;
    c.image.data = reinterpret_cast<const uint8_t*>(c.texture.data());
    c.alpha = random() % 4 == 0 ? double(random() % 256) / 255.0 : 1.0;
}

// Device to image: scaled (mirrored now and then) and translated, the
// translation reduced into one period as the image renderer reduces it.
agg::trans_affine randomPlacement(std::mt19937& random, const Case& c, bool reflectX,
                                  bool reflectY) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    static const double scales[] = {1.5, 1.5, 1.0, 2.0, 3.0, 0.7, 0.3, 1.7, 4.25, 0.05};
    const double sx = scales[random() % 10] * (random() % 5 == 0 ? -1 : 1);
    const double sy =
        (random() % 3 == 0 ? scales[random() % 10] : std::fabs(sx)) * (random() % 5 == 0 ? -1 : 1);
    const double dx = random() % 3 == 0 ? double(random() % 90) : unit(random) * 90 - 10;
    const double dy = random() % 3 == 0 ? double(random() % 90) : unit(random) * 90 - 10;
    agg::trans_affine t = agg::trans_affine_scaling(sx, sy);
    t *= agg::trans_affine_translation(dx, dy);
    t.invert();
    const double periodX = c.image.width * (reflectX ? 2.0 : 1.0);
    const double periodY = c.image.height * (reflectY ? 2.0 : 1.0);
    t.tx = std::fmod(t.tx, periodX);
    t.ty = std::fmod(t.ty, periodY);
    return t;
}

// A rectangle or its outline (an inner rectangle the other way round), at
// whole or fractional positions; now and then a second one beside it.
void randomShape(std::mt19937& random, Case& c) {
    std::uniform_real_distribution<double> across(-6.0, c.width + 6.0), down(-6.0, c.height + 6.0);
    const int shapes = random() % 4 == 0 ? 2 : 1;
    for (int n = 0; n < shapes; ++n) {
        double x0 = across(random), y0 = down(random), x1 = across(random), y1 = down(random);
        if (random() % 2 == 0) x0 = int(x0), y0 = int(y0), x1 = int(x1), y1 = int(y1);
        c.path.move_to(x0, y0);
        c.path.line_to(x1, y0);
        c.path.line_to(x1, y1);
        c.path.line_to(x0, y1);
        c.path.close_polygon();
        if (random() % 2 == 0) {
            const double inset = random() % 3 == 0 ? 0.25 + (random() % 6) * 0.5 : 1.5;
            const double sx = x1 > x0 ? inset : -inset, sy = y1 > y0 ? inset : -inset;
            c.path.move_to(x0 + sx, y0 + sy);
            c.path.line_to(x0 + sx, y1 - sy);
            c.path.line_to(x1 - sx, y1 - sy);
            c.path.line_to(x1 - sx, y0 + sy);
            c.path.close_polygon();
        }
    }
}

void randomCanvas(std::mt19937& random, Case& c) {
    c.clip = agg::rect_d(0, 0, c.width, c.height);
    if (random() % 3 == 0) {
        // Inside the canvas, or reaching past its edges (the sink and the
        // renderer both keep to the buffer).
        std::uniform_real_distribution<double> across(-20.0, c.width + 20.0);
        std::uniform_real_distribution<double> down(-20.0, c.height + 20.0);
        c.clip = agg::rect_d(std::floor(across(random)), std::floor(down(random)),
                             std::floor(across(random)), std::floor(down(random)));
        c.clip.normalize();
    }
    c.background.resize(size_t(c.width) * c.height * 4);
    for (size_t i = 0; i < c.background.size(); i += 4) {
        const uint8_t a = random() % 2 == 0 ? 255 : uint8_t(random());
        for (int k = 0; k < 3; ++k) c.background[i + k] = uint8_t(random() % (a + 1u));
        c.background[i + 3] = a;
    }
}

struct Canvas {
    Canvas(const Case& c) : bytes(c.background) {
        rows.attach(bytes.data(), unsigned(c.width), unsigned(c.height), c.width * 4);
    }
    std::vector<uint8_t> bytes;
    RowBuffer rows;
};

std::string firstDifference(const Case& c, const Canvas& got, const Canvas& expected) {
    for (size_t i = 0; i < got.bytes.size(); ++i) {
        if (got.bytes[i] != expected.bytes[i]) {
            const size_t pixel = i / 4;
            return "pixel (" + std::to_string(pixel % size_t(c.width)) + ", " +
                   std::to_string(pixel / size_t(c.width)) + ") byte " + std::to_string(i % 4) +
                   ": " + std::to_string(got.bytes[i]) + " instead of " +
                   std::to_string(expected.bytes[i]);
        }
    }
    return "";
}

// The case through the sink; `handedBack` counts the rows it gave to the
// image span renderer.
template <class WrapX, class WrapY>
std::string compare(Case& c, int& handedBack) {
    using Accessor = WrapAccessor<WrapX, WrapY>;
    using Spans = WrappedBilinearSpans<WrapX, WrapY>;
    ImageRowSource rows(c.image, c.alpha, nullptr, true);
    if (!rows.usable()) return "unusable texture";
    RowSourcePixels pixels(rows);
    Accessor accessor(pixels);
    agg::trans_affine transform = c.deviceToImage, shift;
    Interpolator interpolator(transform), shifted(shift);
    RectilinearCoverage coverage;
    if (!coverage.set(c.path, c.clip, agg::fill_non_zero)) return "not rectilinear";
    AaScanline scanline;

    Canvas expected(c), got(c);
    {
        // AGG's generator and scan-line renderer; beyond the reach of whole
        // spans the image span renderer, which AGG's interpolator cannot
        // follow there.
        CompositePixelFormat format(expected.rows, CompositeRule::SrcOver, rows.premultiplied());
        Base base(format);
        agg::span_allocator<agg::rgba8> allocator;
        Spans whole(accessor, interpolator, pixels), single(accessor, shifted, pixels);
        BoundedImageSpans<Spans> bounded(whole, single, transform, shift);
        ImageSpanRenderer<Base, BoundedImageSpans<Spans>> renderer(base, bounded, expected.rows,
                                                                   true, rows.premultiplied());
        agg::span_image_filter_rgba_bilinear<Accessor, Interpolator> reference(accessor,
                                                                               interpolator);
        agg::renderer_scanline_aa<Base, agg::span_allocator<agg::rgba8>,
                                  agg::span_image_filter_rgba_bilinear<Accessor, Interpolator>>
            aggRenderer(base, allocator, reference);
        if (c.far) {
            agg::render_scanlines(coverage, scanline, renderer);
        } else {
            agg::render_scanlines(coverage, scanline, aggRenderer);
        }
    }
    {
        CompositePixelFormat format(got.rows, CompositeRule::SrcOver, rows.premultiplied());
        Base base(format);
        Spans whole(accessor, interpolator, pixels), single(accessor, shifted, pixels);
        BoundedImageSpans<Spans> bounded(whole, single, transform, shift);
        using Inner = ImageSpanRenderer<Base, BoundedImageSpans<Spans>>;
        Inner inner(base, bounded, got.rows, true, rows.premultiplied());
        CountingRenderer<Inner> renderer{inner};
        using Sink = WrappedBilinearRowsSink<WrapX, WrapY, CountingRenderer<Inner>>;
        if (!Sink::serves(transform, pixels)) return "not served";
        Sink sink(got.rows, pixels, transform, renderer, scanline, coverage.min_x(),
                  coverage.max_x());
        coverage.sweepRows(sink);
        sink.finish();
        handedBack = renderer.rows;
    }
    return firstDifference(c, got, expected);
}

TEST(WrappedBilinearRowsSink, BlendsAsAggsPipelineOverTheSameCoverage) {
    std::mt19937 random(2026);
    using Repeat = agg::wrap_mode_repeat;
    using Reflect = agg::wrap_mode_reflect;
    int served = 0, wideOrFar = 0;
    for (int round = 0; round < 3000; ++round) {
        Case c;
        const bool wide = round % 50 == 49;
        c.width = wide ? 1100 + int(random() % 200) : 24 + int(random() % 60);
        c.height = wide ? 6 : 24 + int(random() % 60);
        c.far = round % 50 == 24;
        const int wrap = int(random() % 4);
        randomTexture(random, c);
        c.deviceToImage = randomPlacement(random, c, wrap & 1, wrap & 2);
        if (c.far) {
            // Across the reach of whole spans: the sink hands such blocks back.
            const double offset = 2097152.0 - 40.0 + double(random() % 80);
            c.deviceToImage.tx += c.deviceToImage.sx > 0 ? offset : -offset;
        }
        randomShape(random, c);
        randomCanvas(random, c);
        int handedBack = 0;
        std::string difference;
        switch (wrap) {
            case 0:
                difference = compare<Repeat, Repeat>(c, handedBack);
                break;
            case 1:
                difference = compare<Reflect, Repeat>(c, handedBack);
                break;
            case 2:
                difference = compare<Repeat, Reflect>(c, handedBack);
                break;
            default:
                difference = compare<Reflect, Reflect>(c, handedBack);
                break;
        }
        if (difference == "not rectilinear") continue;
        ASSERT_EQ(difference, "") << "round " << round;
        // Premultiplied rows read in place are always held in pairs: only
        // wide blocks and far placements go back to the renderer.
        const bool inPlace = c.image.kind == IMAGE_INT_ARGB_PRE && c.alpha == 1.0;
        if (inPlace && !wide && !c.far) {
            ASSERT_EQ(handedBack, 0) << "round " << round;
            ++served;
        }
        if (handedBack > 0) ++wideOrFar;
    }
    // Both routes were taken.
    EXPECT_GT(served, 1000);
    EXPECT_GT(wideOrFar, 20);
}

}  // namespace
}  // namespace lumo
