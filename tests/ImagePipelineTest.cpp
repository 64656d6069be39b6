#include "blend/CompositePixelFormat.h"
#include "context/Graphics.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "coverage/CoverageScratch.h"
#include "coverage/RasterizeSource.h"
#include "doubles/DrawingTarget.h"
#include "doubles/FakeJni.h"
#include "geometry/EllipseShape.h"
#include "geometry/RectShape.h"
#include "geometry/TransformedSource.h"
#include "native/EntryPoints.h"
#include "render/ImageRenderer.h"
#include "render/RenderCoverage.h"
#include "render/ScanlineSpans.h"
#include "span/ImageAccessors.h"
#include "span/ImageRowSource.h"
#include "span/TranslatedImageSpan.h"

#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_span_allocator.h>
#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name

namespace lumo {
namespace {

constexpr jint ruleSrc = 2;
constexpr jint hintImageFilter = 0xF800;

// An int-RGB image (AWT kind 1) whose pixel (x, y) is 0xRRGGBB with red = x
// and green = y, so every pixel says where it came from.
struct PositionImage {
    PositionImage(int w, int h) : pixels(size_t(w) * h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels[size_t(y) * w + x] = (x << 16) | (y << 8);
        image.kind = IMAGE_INT_RGB;
        image.width = w;
        image.height = h;
        image.bytesPerLine = w * 4;
        image.data = reinterpret_cast<const uint8_t*>(pixels.data());
    }
    std::vector<int32_t> pixels;
    ImageDescriptor image;
};

// Red and green bytes of a row-source pixel (bytes b, g, r, a).
int redAt(const uint8_t* row, int x) {
    return row[4 * x + 2];
}
int greenAt(const uint8_t* row, int x) {
    return row[4 * x + 1];
}

TEST(ImageRowSource, ReadsInPlaceOnlyWhatNeedsNoConversion) {
    std::vector<uint32_t> argb = {0x80FF0000u, 0xFF00FF00u};
    ImageDescriptor image;
    image.kind = IMAGE_INT_ARGB_PRE;
    image.alpha = 1;
    image.width = 1;
    image.height = 2;
    image.bytesPerLine = 4;
    image.data = reinterpret_cast<const uint8_t*>(argb.data());

    ImageRowSource whole(image, 1.0, nullptr);
    ASSERT_TRUE(whole.usable());
    EXPECT_TRUE(whole.inPlace());
    EXPECT_EQ(whole.row(1), image.data + 4);

    // Half alpha converts: premultiplied bytes are scaled with the alpha.
    ImageRowSource faded(image, 0.5, nullptr);
    ASSERT_FALSE(faded.inPlace());
    const uint8_t* row = faded.row(0);
    EXPECT_EQ(row[3], (0x80 * 128 + 255) >> 8);
    EXPECT_EQ(row[2], (0xFF * 128 + 255) >> 8);

    // Straight pixels read in place stay straight unless filters ask for
    // premultiplied rows.
    image.kind = IMAGE_INT_ARGB;
    image.alpha = 0;
    ImageRowSource straight(image, 1.0, nullptr);
    EXPECT_TRUE(straight.inPlace());
    EXPECT_FALSE(straight.premultiplied());
    ImageRowSource filtered(image, 1.0, nullptr, true);
    ASSERT_FALSE(filtered.inPlace());
    EXPECT_TRUE(filtered.premultiplied());
    EXPECT_EQ(filtered.row(0)[2], 128);  // red 255 at alpha 0x80

    // Unknown kinds and missing data give nothing to draw.
    image.kind = 12;
    EXPECT_FALSE(ImageRowSource(image, 1.0, nullptr).usable());
}

TEST(ImageRowSource, WindowOfRowsMovesUpAndDown) {
    PositionImage tall(4, 300);
    ImageRowSource rows(tall.image, 1.0, nullptr);
    ASSERT_TRUE(rows.usable());
    EXPECT_EQ(rows.slotCount(), 11u);  // unit vertical scale, taller than 1024 / width
    const int order[] = {0, 1, 11, 0, 150, 140, 161, 12, 299, 298, 0, 5, 16, 5};
    for (int y : order) {
        const uint8_t* row = rows.row(y);
        EXPECT_EQ(greenAt(row, 0), y & 0xFF) << "row " << y;
        EXPECT_EQ(redAt(row, 3), 3);
    }

    // Scaled vertically, every row gets its own slot.
    agg::trans_affine stretch = agg::trans_affine_scaling(1, 2);
    EXPECT_EQ(ImageRowSource(tall.image, 1.0, &stretch).slotCount(), 300u);
    PositionImage shortImage(4, 200);
    EXPECT_EQ(ImageRowSource(shortImage.image, 1.0, nullptr).slotCount(), 200u);
}

TEST(ImageAccessors, EdgesClampOrWrap) {
    PositionImage small(3, 2);
    ImageRowSource rows(small.image, 1.0, nullptr);
    RowSourcePixels pixels(rows);

    ClampAccessor clamp(pixels);
    EXPECT_EQ(redAt(clamp.span(-5, 7, 1), 0), 0);
    EXPECT_EQ(greenAt(clamp.span(-5, 7, 1), 0), 1);
    EXPECT_EQ(greenAt(clamp.span(1, -3, 1), 0), 0);
    // A run reaching past the last column: that column repeats.
    const uint8_t* p = clamp.span(1, 0, 3);
    EXPECT_EQ(redAt(p, 0), 1);
    EXPECT_EQ(redAt(clamp.next_x(), 0), 2);
    EXPECT_EQ(redAt(clamp.next_x(), 0), 2);  // stays on the last column
    // The next row starts again at the span's first column.
    const uint8_t* below = clamp.next_y();
    EXPECT_EQ(redAt(below, 0), 1);
    EXPECT_EQ(greenAt(below, 0), 1);
    // A run inside the image, on both rows.
    EXPECT_EQ(redAt(clamp.span(0, 0, 3), 0), 0);
    EXPECT_EQ(redAt(clamp.next_x(), 0), 1);
    below = clamp.next_y();
    EXPECT_EQ(redAt(below, 0), 0);
    EXPECT_EQ(greenAt(below, 0), 1);
    EXPECT_EQ(greenAt(clamp.next_y(), 0), 1);  // past the last row

    WrapAccessor<agg::wrap_mode_repeat, agg::wrap_mode_reflect> wrap(pixels);
    // x: 0 1 2 | 0 1 2 repeating; y: 0 1 | 1 0 reflecting.
    EXPECT_EQ(redAt(wrap.span(-1, 0, 1), 0), 2);
    EXPECT_EQ(redAt(wrap.span(4, 0, 1), 0), 1);
    EXPECT_EQ(greenAt(wrap.span(0, 2, 1), 0), 1);
    EXPECT_EQ(greenAt(wrap.span(0, 3, 1), 0), 0);
    EXPECT_EQ(greenAt(wrap.span(0, -1, 1), 0), 0);
    EXPECT_EQ(greenAt(wrap.span(0, -2, 1), 0), 1);
}

TEST(TranslatedImageSpan, CopiesOrFadesPixels) {
    std::vector<uint32_t> argb = {0xFF102030u, 0x80402010u};
    ImageDescriptor image;
    image.kind = IMAGE_INT_ARGB_PRE;
    image.alpha = 1;
    image.width = 2;
    image.height = 1;
    image.bytesPerLine = 8;
    image.data = reinterpret_cast<const uint8_t*>(argb.data());
    ImageRowSource rows(image, 1.0, nullptr);
    RowSourcePixels pixels(rows);
    ClampAccessor accessor(pixels);

    agg::rgba8 span[4];
    // Offset (1, 0): device x 0 is left of the image and shows its first column.
    TranslatedImageSpan<ClampAccessor> copy(accessor, 1, 0, 255, true);
    copy.generate(span, 0, 0, 4);
    const agg::rgba8 expected[4] = {{0x10, 0x20, 0x30, 0xFF},
                                    {0x10, 0x20, 0x30, 0xFF},
                                    {0x40, 0x20, 0x10, 0x80},
                                    {0x40, 0x20, 0x10, 0x80}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(span[i].r, expected[i].r);
        EXPECT_EQ(span[i].a, expected[i].a);
    }

    TranslatedImageSpan<ClampAccessor> half(accessor, 0, 0, 128, true);
    half.generate(span, 0, 0, 2);
    // round(255 * 128 / 255) = 128, round(128 * 128 / 255) = 64, round(64 * 128 / 255) = 32.
    EXPECT_EQ(span[0].a, 128);
    EXPECT_EQ(span[1].a, 64);
    EXPECT_EQ(span[1].r, 32);

    TranslatedImageSpan<ClampAccessor> none(accessor, 0, 0, 0, true);
    none.generate(span, 0, 0, 2);
    EXPECT_EQ(span[0].a, 0);
    EXPECT_EQ(span[0].r, 0);
    EXPECT_EQ(span[1].g, 0);
}

// Drawing through the entry points onto a small target.
class ImageDrawing : public ::testing::Test, protected test::DrawingTarget {
protected:
    static constexpr int W = 16, H = 16;

    ImageDrawing() : DrawingTarget(W, H) {}
    void SetUp() override { ASSERT_NE(g, 0); }

    // Draws 4 x 4 opaque int-RGB pixels 0xFF0000 + 16 * index at (x, y).
    void drawRgb(std::vector<double> matrix, std::vector<jint> info = {0, 4, 4, 32, 16, 0, 1},
                 size_t pixelCount = 16) {
        std::vector<jint> pixels(pixelCount);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = jint(0xFF0000 + 16 * i);
        jdoubleArray m = matrix.empty() ? nullptr : static_cast<jdoubleArray>(jni.array(matrix));
        LUMO(drawAWTImage__I_3I_3D_3I)(jni.env(), nullptr, g, jni.ints(info), m, jni.ints(pixels));
    }

    // A 2 x height render target, its left column red, its right one blue.
    static std::unique_ptr<test::DrawingTarget> redAndBlueColumns(int height) {
        auto source = std::make_unique<test::DrawingTarget>(2, height);
        LUMO(setPaint)(nullptr, nullptr, source->g, jint(0xFFFF0000));
        LUMO(fillRect)(nullptr, nullptr, source->g, 0, 0, 1, height);
        LUMO(setPaint)(nullptr, nullptr, source->g, jint(0xFF0000FF));
        LUMO(fillRect)(nullptr, nullptr, source->g, 1, 0, 1, height);
        return source;
    }

    test::FakeJni jni;
};

TEST_F(ImageDrawing, WholePixelOffsetsCopyWhateverTheFilter) {
    for (jint hint : {0, 1, 2, 5, 16, 20}) {
        LUMO(setHint)(nullptr, nullptr, g, hintImageFilter, hint);
        LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
        drawRgb({1, 0, 0, 1, 3, 5});
        for (int i = 0; i < 16; ++i) {
            ASSERT_EQ(at(3 + i % 4, 5 + i / 4), 0xFFFF0000u + 16 * i) << "hint " << hint;
        }
        EXPECT_EQ(painted(), 16);
    }
}

TEST_F(ImageDrawing, HalfPixelOffsetSamplesNearestOrBilinear) {
    // A black-to-white step drawn half a pixel to the right.
    auto drawStep = [&](jint hint) {
        LUMO(setHint)(nullptr, nullptr, g, hintImageFilter, hint);
        LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
        std::vector<jint> pixels = {0, 0, 0xFFFFFF, 0xFFFFFF};
        LUMO(drawAWTImage__I_3I_3D_3I)
        (jni.env(), nullptr, g, jni.ints({0, 4, 1, 32, 16, 0, 1}),
         static_cast<jdoubleArray>(jni.array(std::vector<double>{1, 0, 0, 1, 0.5, 0})),
         jni.ints(pixels));
        return at(2, 0) & 0xFF;  // the pixel straddling the step
    };
    EXPECT_TRUE(drawStep(0) == 0 || drawStep(0) == 0xFF);
    EXPECT_EQ(drawStep(1), 0x80u);  // halfway between black and white
}

TEST_F(ImageDrawing, FiltersSampleEveryRowAtTheSameColumns) {
    // Columns of grey levels 0, 80, 160, 240, the same in every row: drawn
    // at (0.5, 0.5) and scaled, every filter gives all rows inside the image
    // the same values, give or take the rounding of its weights.
    std::vector<jint> pixels(32);
    for (int i = 0; i < 32; ++i) pixels[i] = jint(0x010101 * 80 * (i % 4));
    for (jint hint : {1, 2, 5, 15}) {
        LUMO(setHint)(nullptr, nullptr, g, hintImageFilter, hint);
        LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
        LUMO(drawAWTImage__I_3I_3D_3I)
        (jni.env(), nullptr, g, jni.ints({0, 4, 8, 32, 16, 0, 1}),
         static_cast<jdoubleArray>(jni.array(std::vector<double>{3, 0, 0, 1.5, 0.5, 0.5})),
         jni.ints(pixels));
        for (int y = 3; y < 10; ++y) {
            for (int x = 1; x < 12; ++x) {
                for (int shift = 0; shift < 32; shift += 8) {
                    ASSERT_NEAR(double((at(x, y) >> shift) & 0xFF),
                                double((at(x, 2) >> shift) & 0xFF), 1)
                        << x << ", " << y << " hint " << hint;
                }
            }
        }
    }
}

TEST_F(ImageDrawing, FiltersWorkOnPremultipliedColour) {
    // A uniform half-transparent red from straight-alpha data, scaled up with
    // a weighted filter: colour may not be cut down to the alpha before the
    // blend premultiplies it.
    LUMO(setComposite)(nullptr, nullptr, g, ruleSrc, 1.0f);
    for (jint hint : {1, 2, 5, 14}) {
        LUMO(setHint)(nullptr, nullptr, g, hintImageFilter, hint);
        std::vector<jint> pixels(4, jint(0x80FF0000));
        LUMO(drawAWTImage__I_3I_3D_3I)
        (jni.env(), nullptr, g, jni.ints({0, 2, 2, 32, 8, 0, 2}),
         static_cast<jdoubleArray>(jni.array(std::vector<double>{7.5, 0, 0, 7.5, 0, 0})),
         jni.ints(pixels));
        // Premultiplied red 128 at alpha 128, give or take the weights' rounding.
        const uint32_t p = at(7, 7);
        EXPECT_NEAR(double(p >> 24), 128, 1) << "hint " << hint;
        EXPECT_NEAR(double((p >> 16) & 0xFF), 128, 1) << "hint " << hint;
    }
}

TEST_F(ImageDrawing, UnusableImagesDrawNothing) {
    drawRgb({}, {0, 4, 4, 32, 16, 0, 1}, 15);          // one pixel short
    drawRgb({}, {0, 4, 4, 32, 12, 0, 1});              // rows too short for the width
    drawRgb({}, {0, 4, 4, 32, 16, 0});                 // info too short
    drawRgb({}, {0, 1 << 30, 1 << 30, 32, 16, 0, 1});  // sizes far beyond the data
    drawRgb({}, {0, -4, 4, 32, 16, 0, 1});             // negative width
    drawRgb({}, {0, 4, 4, 32, 16, 0, 10});             // no reader for the kind
    drawRgb({}, {0, 4, 4, 32, 16, 1, 14});             // render targets come by handle
    drawRgb({0, 0, 0, 0, 1, 1});                       // singular
    drawRgb({1, 0, 0, 1, 2});                          // transform too short
    const double nan = std::numeric_limits<double>::quiet_NaN();
    drawRgb({nan, 0, 0, 1, 0, 0});
    drawRgb({1, 0, 0, 1, 1e300, -1e300});
    EXPECT_EQ(painted(), 0);

    // Pinned arrays are all released, also after a failed pin (the pixels';
    // info and matrix are small enough to be copied).
    jni.failPin(1);
    drawRgb({1, 0, 0, 1, 0, 0});
    EXPECT_EQ(jni.pinned(), 0);
    EXPECT_EQ(painted(), 0);
}

TEST_F(ImageDrawing, FarAndStretchedPlacementsStayBounded) {
    // Far outside the image, or squeezed a billion times, a repeated texture
    // still shows only its own pixels, as every filter samples them.
    const auto columns = redAndBlueColumns(1);
    const jint source = columns->image;
    const double c = std::cos(0.3), s = std::sin(0.3);
    const std::vector<std::vector<double>> placements = {
        {1e-9, 0, 0, 1e-9, 0, 0},
        {c * 1e7, s * 1e7, -s * 1e7, c * 1e7, -3e7, 3e7},
        {c, s, -s, c, 1e15, -3e14},
        {1e9, 0, 0, 1e-9, 2, 2}};
    for (jint hint : {0, 2}) {
        LUMO(setHint)(nullptr, nullptr, g, hintImageFilter, hint);
        for (const auto& m : placements) {
            LUMO(setTexture)
            (jni.env(), nullptr, g, source, static_cast<jdoubleArray>(jni.array(m)), 0x0101);
            LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
            for (int y = 0; y < H; ++y) {
                for (int x = 0; x < W; ++x) {
                    // Colours of the texture, or in between for bicubic.
                    const uint32_t p = at(x, y);
                    ASSERT_EQ(p >> 24, 0xFFu);
                    ASSERT_EQ((p >> 8) & 0xFF, 0u);
                    if (hint == 0) {
                        ASSERT_TRUE(p == 0xFFFF0000u || p == 0xFF0000FFu);
                    }
                }
            }
        }
    }
    // A whole number of periods away the tiles fall exactly where they did.
    LUMO(setHint)(nullptr, nullptr, g, hintImageFilter, 0);
    LUMO(setTexture)
    (jni.env(), nullptr, g, source,
     static_cast<jdoubleArray>(jni.array(std::vector<double>{1, 0, 0, 1, 2e9 + 1, 4e12})), 0x0101);
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
    for (int x = 0; x < W; ++x) EXPECT_EQ(at(x, 4), x % 2 ? 0xFFFF0000u : 0xFF0000FFu);
    LUMO(setHint)(nullptr, nullptr, g, hintImageFilter, 1);
    LUMO(setTexture)
    (jni.env(), nullptr, g, source,
     static_cast<jdoubleArray>(jni.array(std::vector<double>{1, 0, 0, 1, 4e15 + 0.5, 1e15})),
     0x0101);
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
    // Half a pixel off: bilinear mixes neighbours, always one red, one blue.
    for (int x = 1; x < W; ++x) EXPECT_EQ(at(x, 4), 0xFF800080u) << x;
}

// The image's placed rectangle in the target's shape rasteriser, under the
// clip box; false when it has an unusable coordinate.
bool rasterizeImageRect(Graphics& graphics, const ImageDescriptor& image) {
    GraphicsState& state = graphics.state();
    agg::trans_affine placement = image.transform;
    placement *= state.transform;
    RectShape rect(0, 0, image.width, image.height);
    TransformedSource<RectShape> placed(rect, &placement, 0.0, 0.0);
    Rasterizer& rasterizer = CoverageScratch::of(*graphics.liveTarget())->rasterizerForShape();
    const agg::rect_d& clip = state.clipBox;
    rasterizer.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
    rasterizer.filling_rule(agg::fill_non_zero);
    return rasterizeSource(rasterizer, placed);
}

// The image's rectangle swept by the rasteriser and filled through the
// general image renderer, whatever shortcut drawImage would take.
void drawImageThroughRasterizer(Graphics& graphics, const ImageDescriptor& image) {
    if (rasterizeImageRect(graphics, image)) {
        renderImage(graphics.state(), *graphics.liveTarget(), image, WRAP_NONE, WRAP_NONE);
    }
}

// A random w x h image of 32-bit ARGB pixels (premultiplied or straight),
// one pixel in `opaqueOneIn` opaque, held in `pixels`.
template <class Pick>
ImageDescriptor randomArgbImage(Pick& pick, bool premultiplied, int w, int h, int opaqueOneIn,
                                std::vector<uint32_t>& pixels) {
    pixels.assign(size_t(w) * h, 0);
    for (uint32_t& p : pixels) {
        const uint32_t a = uint32_t(pick(0, opaqueOneIn - 1) == 0 ? 255 : pick(0, 255));
        const uint32_t top = premultiplied ? a : 255;
        p = a << 24 | uint32_t(pick(0, int(top))) << 16 | uint32_t(pick(0, int(top))) << 8 |
            uint32_t(pick(0, int(top)));
    }
    ImageDescriptor image;
    image.kind = premultiplied ? IMAGE_INT_ARGB_PRE : IMAGE_INT_ARGB;
    image.alpha = premultiplied ? 1 : 0;
    image.width = w;
    image.height = h;
    image.bytesPerLine = 4 * w;
    image.data = reinterpret_cast<const uint8_t*>(pixels.data());
    return image;
}

TEST(ImageCopy, WholePixelDrawsMatchTheGeneralPathOnRandomInput) {
    // Straight and premultiplied images of random pixels (some with runs of
    // transparent ones) at random whole and fractional offsets, under random
    // rectangle clips, rules and extra alphas (0 and 1 among them), over a
    // random background: drawImage gives exactly the pixels of the rasterised
    // rectangle through the general renderer.
    constexpr int size = 40;
    std::mt19937 random(16);
    const double identity[6] = {1, 0, 0, 1, 0, 0};
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    test::DrawingTarget fast(size, size), reference(size, size);
    for (int trial = 0; trial < 600; ++trial) {
        for (test::DrawingTarget* t : {&fast, &reference}) {
            std::mt19937 background(trial);
            for (int y = 0; y < size; y += 3) {
                const jint argb = jint(background() & 0xFFFFFFFFu);
                t->graphics().state().setTransform(identity);
                LUMO(setComposite)(nullptr, nullptr, t->g, ruleSrc, 1.0f);
                LUMO(setPaint)(nullptr, nullptr, t->g, argb);
                LUMO(fillRect)(nullptr, nullptr, t->g, 0, y, size, 3);
            }
        }
        const bool premultiplied = pick(0, 1) == 1;
        const int w = pick(0, 3) == 0 ? pick(1, 9) : pick(8, 50), h = pick(1, 30);
        std::vector<uint32_t> pixels;
        ImageDescriptor image = randomArgbImage(pick, premultiplied, w, h, 4, pixels);
        if (pick(0, 2) == 0) {
            // A run of transparent pixels, keeping the colour of straight ones.
            const int from = pick(0, w * h - 1), to = std::min(w * h, from + pick(1, 3 * w));
            for (int i = from; i < to; ++i) pixels[size_t(i)] &= premultiplied ? 0 : 0xFFFFFFu;
        }
        const double fraction = pick(0, 4) == 0 ? 0.5 : 0.0;
        image.transform =
            agg::trans_affine_translation(pick(-12, size) + fraction, pick(-32, size));
        const double ctmX = pick(0, 2) == 0 ? pick(-3, 3) : 0.0;
        const jint rule = pick(0, 2) == 0 ? ruleSrc : 3;
        const int alphaPick = pick(0, 5);
        const float alpha = alphaPick == 0   ? 0.0f
                            : alphaPick == 1 ? 0.6f
                            : alphaPick == 2 ? float(pick(1, 254)) / 255.0f
                                             : 1.0f;
        const bool clipped = pick(0, 3) != 0;
        const double x1 = pick(-4, size), y1 = pick(-4, size);
        const double x2 = x1 + pick(0, size), y2 = y1 + pick(0, size);
        const double clipFraction = pick(0, 5) == 0 ? 0.25 : 0.0;
        for (test::DrawingTarget* t : {&fast, &reference}) {
            Graphics& graphics = t->graphics();
            const double ctm[6] = {1, 0, 0, 1, ctmX, 0};
            graphics.state().setTransform(ctm);
            LUMO(setComposite)(nullptr, nullptr, t->g, rule, alpha);
            if (clipped) {
                graphics.setRectangleClip(x1 + clipFraction, y1, x2, y2);
            } else {
                graphics.resetClip();
            }
        }
        fast.graphics().drawImage(image);
        drawImageThroughRasterizer(reference.graphics(), image);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                ASSERT_EQ(fast.at(x, y), reference.at(x, y))
                    << "trial " << trial << " at " << x << ", " << y;
            }
        }
    }
}

// Sweeps the coverage the drawing object prepared through AGG's scan-line
// renderer with `spans`, blending in the state's rule.
template <class Spans>
void renderThroughAgg(Graphics& graphics, const ImageRowSource& rows, Spans& spans) {
    using Base = agg::renderer_base<CompositePixelFormat>;
    RenderTarget& target = *graphics.liveTarget();
    GraphicsState& state = graphics.state();
    CompositePixelFormat format(*target.getDataBuffer()->rowBuffer(), state.composite->rule(),
                                rows.premultiplied());
    Base base(format);
    agg::span_allocator<agg::rgba8> allocator;
    agg::renderer_scanline_aa<Base, agg::span_allocator<agg::rgba8>, Spans> renderer(
        base, allocator, spans);
    renderCoverage(state, target, renderer);
}

// The image's rectangle swept by the rasteriser and filled through AGG's
// own bilinear span generator, as the image renderer fills a placement that
// does not fall on whole pixels: rows premultiplied with the extra alpha,
// through the clip path when there is one.
void drawImageThroughAggBilinear(Graphics& graphics, const ImageDescriptor& image) {
    using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;
    using Spans = agg::span_image_filter_rgba_bilinear<ClampAccessor, Interpolator>;
    GraphicsState& state = graphics.state();
    if (!rasterizeImageRect(graphics, image)) return;
    ImageRowSource rows(image, state.composite->alpha(), &state.transform, true);
    ASSERT_TRUE(rows.usable());
    RowSourcePixels pixels(rows);
    ClampAccessor accessor(pixels);
    agg::trans_affine deviceToImage = image.transform;
    deviceToImage *= state.transform;
    deviceToImage.invert();
    Interpolator interpolator(deviceToImage);
    Spans spans(accessor, interpolator);
    renderThroughAgg(graphics, rows, spans);
}

// The image's rectangle swept by the rasteriser and filled by the span
// generator of whole-pixel offsets through AGG's scan-line renderer: the
// image's colours made row by row, faded, then blended.
void drawImageThroughTranslatedSpans(Graphics& graphics, const ImageDescriptor& image) {
    using Spans = TranslatedImageSpan<ClampAccessor>;
    GraphicsState& state = graphics.state();
    if (!rasterizeImageRect(graphics, image)) return;
    ImageRowSource rows(image, 1.0, &state.transform, false);
    ASSERT_TRUE(rows.usable());
    RowSourcePixels pixels(rows);
    ClampAccessor accessor(pixels);
    agg::trans_affine placement = image.transform;
    placement *= state.transform;
    Spans spans(accessor, int(placement.tx), int(placement.ty), alphaByte(state.composite->alpha()),
                rows.premultiplied());
    renderThroughAgg(graphics, rows, spans);
}

TEST(ImageCopy, WholePixelDrawsAreTheBilinearFilter) {
    // At whole-pixel offsets every pixel centre falls on an image pixel's
    // centre, where the bilinear filter gives that pixel: drawImage copies
    // instead, under any clip. Random straight and premultiplied images at
    // random whole offsets (in the image's placement and the transform),
    // with no clip, rectangle clips on and off whole pixels and elliptic
    // clip paths, source-over and source at random extra alphas, against
    // AGG's bilinear filter on the general path, and exactly against the
    // span generator of whole-pixel offsets through AGG's scan-line renderer.
    constexpr int size = 24;
    std::mt19937 random(29);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    test::DrawingTarget fast(size, size), reference(size, size), spans(size, size);
    for (int trial = 0; trial < 400; ++trial) {
        for (test::DrawingTarget* t : {&fast, &reference, &spans}) {
            std::mt19937 background(trial);
            const double identity[6] = {1, 0, 0, 1, 0, 0};
            t->graphics().state().setTransform(identity);
            t->graphics().resetClip();
            for (int y = 0; y < size; y += 2) {
                LUMO(setComposite)(nullptr, nullptr, t->g, ruleSrc, 1.0f);
                LUMO(setPaint)(nullptr, nullptr, t->g, jint(background() & 0xFFFFFFFFu));
                LUMO(fillRect)(nullptr, nullptr, t->g, 0, y, size, 2);
            }
        }
        const bool premultiplied = pick(0, 1) == 1;
        const int w = pick(1, 30), h = pick(1, 30);
        std::vector<uint32_t> pixels;
        ImageDescriptor image = randomArgbImage(pick, premultiplied, w, h, 3, pixels);
        image.transform = agg::trans_affine_translation(pick(-12, size), pick(-12, size));
        const double ctm[6] = {1, 0, 0, 1, double(pick(-3, 3)), double(pick(-3, 3))};
        const jint rule = pick(0, 2) == 0 ? ruleSrc : 3;
        const float alpha = pick(0, 1) == 0 ? 1.0f : float(pick(0, 255)) / 255.0f;
        const int clip = pick(0, 3);
        const double x1 = pick(-4, size) + (clip == 2 ? 0.25 : 0.0), y1 = pick(-4, size);
        const double x2 = x1 + pick(1, size), y2 = y1 + pick(1, size) + (clip == 2 ? 0.5 : 0.0);
        for (test::DrawingTarget* t : {&fast, &reference, &spans}) {
            Graphics& graphics = t->graphics();
            LUMO(setHint)(nullptr, nullptr, t->g, hintImageFilter, 1);
            LUMO(setComposite)(nullptr, nullptr, t->g, rule, alpha);
            if (clip == 3) {
                EllipseShape ellipse((x1 + x2) / 2, (y1 + y2) / 2, (x2 - x1) / 2 + 1,
                                     (y2 - y1) / 2 + 1);
                graphics.setPathClip(ellipse, agg::fill_non_zero);
            } else if (clip != 0) {
                graphics.setRectangleClip(x1, y1, x2, y2);
            }
            graphics.state().setTransform(ctm);
        }
        fast.graphics().drawImage(image);
        drawImageThroughAggBilinear(reference.graphics(), image);
        drawImageThroughTranslatedSpans(spans.graphics(), image);
        // Premultiplied pixels at full alpha are the same. Under an extra
        // alpha the copy fades each pixel in one step where the filter fades
        // the rows first, and it blends straight colours where the filter
        // rounds them to premultiplied ones: two levels apart at most.
        const int slack = alpha == 1.0f && premultiplied ? 0 : 2;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const uint32_t got = fast.at(x, y), want = reference.at(x, y);
                ASSERT_EQ(got, spans.at(x, y))
                    << "trial " << trial << " at " << x << ", " << y << ", clip " << clip
                    << ", alpha " << alpha << ", rule " << rule;
                for (int shift = 0; shift < 32; shift += 8) {
                    ASSERT_LE(std::abs(int(got >> shift & 0xFF) - int(want >> shift & 0xFF)), slack)
                        << std::hex << got << " instead of " << want << std::dec << ", trial "
                        << trial << " at " << x << ", " << y << ", clip " << clip << ", alpha "
                        << alpha << ", rule " << rule;
                }
            }
        }
    }
}

TEST_F(ImageDrawing, SwtPaletteIndicesBeyondThePaletteReadBlack) {
    LUMO(setComposite)(nullptr, nullptr, g, ruleSrc, 1.0f);
    // Depth 8, indexed, two palette entries; pixel values 0, 1, 2, 255.
    std::vector<jbyte> data = {0, 1, 2, jbyte(255)};
    LUMO(drawSWTImage)
    (jni.env(), nullptr, g, jni.ints({0, 4, 1, 8, 4, -1, -1}), nullptr, jni.bytes(data),
     jni.ints({0x112233, 0x445566}), nullptr);
    EXPECT_EQ(at(0, 0), 0xFF112233u);
    EXPECT_EQ(at(1, 0), 0xFF445566u);
    EXPECT_EQ(at(2, 0), 0xFF000000u);
    EXPECT_EQ(at(3, 0), 0xFF000000u);

    // Direct palettes need their six masks and shifts; short alpha data
    // draws nothing.
    LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
    LUMO(drawSWTImage)
    (jni.env(), nullptr, g, jni.ints({1, 4, 1, 8, 4, -1, -1}), nullptr, jni.bytes(data),
     jni.ints({0xE0, 0, 0x1C, 3, 0x03, 6, 0}), jni.bytes({1, 2, 3}));
    LUMO(drawSWTImage)
    (jni.env(), nullptr, g, jni.ints({1, 4, 1, 8, 4, -1, -1}), nullptr, jni.bytes(data),
     jni.ints({0xE0, 0, 0x1C}), nullptr);
    EXPECT_EQ(painted(), 0);
}

TEST_F(ImageDrawing, RenderTargetsDrawAndTextureWithTheirPixels) {
    auto columns = redAndBlueColumns(2);
    const jint source = columns->image;

    LUMO(drawImage)(jni.env(), nullptr, g, source, nullptr);
    EXPECT_EQ(at(0, 1), 0xFFFF0000u);
    EXPECT_EQ(at(1, 1), 0xFF0000FFu);
    EXPECT_EQ(painted(), 4);

    // Repeating along x and reflecting along y: columns alternate red, blue.
    LUMO(setTexture)(jni.env(), nullptr, g, source, nullptr, 0x0102);
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
    for (int x = 0; x < W; ++x) EXPECT_EQ(at(x, 9), x % 2 ? 0xFF0000FFu : 0xFFFF0000u);
    // Reflecting along x: red, blue, blue, red, …
    LUMO(setTexture)(jni.env(), nullptr, g, source, nullptr, 0x0201);
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
    for (int x = 0; x < W; ++x) {
        EXPECT_EQ(at(x, 3), (x % 4 == 1 || x % 4 == 2) ? 0xFF0000FFu : 0xFFFF0000u);
    }
    // Without wrapping the last column stretches to the right.
    LUMO(setTexture)(jni.env(), nullptr, g, source, nullptr, 0);
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
    EXPECT_EQ(at(W - 1, H - 1), 0xFF0000FFu);

    // The paint reads the source when it draws, and keeps it alive.
    LUMO(setTexture)(jni.env(), nullptr, g, source, nullptr, 0x0101);
    LUMO(setPaint)(nullptr, nullptr, columns->g, jint(0xFF00FF00));
    LUMO(fillRect)(nullptr, nullptr, columns->g, 0, 0, 2, 2);
    columns.reset();
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
    EXPECT_EQ(at(5, 5), 0xFF00FF00u);
}

TEST_F(ImageDrawing, EmptyRenderTargetsDrawNothingWhateverTheirWidth) {
    // Valid buffers with no pixels, one wider than a row's byte count holds.
    for (const auto& [width, height] : {std::pair{600000000, 0}, std::pair{0, 7}}) {
        const jint buffer = LUMO(createDataBuffer)(nullptr, nullptr, width, height, -1);
        const jint source = LUMO(createNativeImage)(nullptr, nullptr, buffer);
        ASSERT_NE(source, 0);
        LUMO(drawImage)(jni.env(), nullptr, g, source, nullptr);
        LUMO(setTexture)(jni.env(), nullptr, g, source, nullptr, 0x0101);
        LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
        LUMO(setLinePattern)(nullptr, nullptr, g, source, 1, 0, 1);
        LUMO(drawLine)(nullptr, nullptr, g, 0, 8, W, 8);
        LUMO(deleteNativeImage)(nullptr, nullptr, source);
        LUMO(deleteDataBuffer)(nullptr, nullptr, buffer);
    }
    EXPECT_EQ(painted(), 0);
}

// Rows of one column touched by a line pattern of the given image height.
class LinePatterns : public ImageDrawing {
protected:
    void SetUp() override {
        ImageDrawing::SetUp();
        patternBuffer = LUMO(createDataBuffer)(nullptr, nullptr, 4, 4, jint(0xFF00FF00));
        pattern = LUMO(createNativeImage)(nullptr, nullptr, patternBuffer);
        LUMO(setLinePattern)(nullptr, nullptr, g, pattern, 1, 2, 3);
    }
    void TearDown() override {
        LUMO(deleteNativeImage)(nullptr, nullptr, pattern);
        LUMO(deleteDataBuffer)(nullptr, nullptr, patternBuffer);
        ImageDrawing::TearDown();
    }
    int paintedInColumn(int x) {
        int count = 0;
        for (int y = 0; y < H; ++y) count += (at(x, y) >> 24) == 0xFF;
        return count;
    }
    void setPolygonClip(std::vector<double> coords) {
        std::vector<jbyte> types(coords.size() / 2, 1);
        types[0] = 0;
        types.push_back(4);
        LUMO(setClip)
        (jni.env(), nullptr, g, jint(types.size()), jni.bytes(types),
         static_cast<jdoubleArray>(jni.array(coords)), true);
    }

    jint patternBuffer = 0, pattern = 0;
};

TEST_F(LinePatterns, LinesAreAsWideAsTheImageIsHigh) {
    const float widths[] = {1.0f, 9.0f};
    for (float width : widths) {
        LUMO(clearDataBuffer)(nullptr, nullptr, buffer, 0);
        LUMO(setStroke)(jni.env(), nullptr, g, width, 0, 0, 10.0f, nullptr, 0.0f);
        LUMO(drawLine)(nullptr, nullptr, g, 2, 8, 14, 8);
        EXPECT_EQ(paintedInColumn(8), 4) << "width " << width;
        EXPECT_EQ(at(8, 8), 0xFF00FF00u);
    }
}

TEST_F(LinePatterns, PathClipsAreFollowedExactlyAsTheyChange) {
    // Two clips of different sizes in turn; each line stays inside its own.
    setPolygonClip({0, 0, 6, 0, 6, 16, 0, 16});
    LUMO(drawLine)(nullptr, nullptr, g, 0, 4, 16, 4);
    setPolygonClip({9, 0, 16, 0, 16, 11, 9, 11});
    LUMO(drawLine)(nullptr, nullptr, g, 0, 9, 16, 9);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const bool first = x < 6 && y >= 2 && y < 6;
            const bool second = x >= 9 && y >= 7 && y < 11;
            EXPECT_EQ(at(x, y) != 0, first || second) << x << ", " << y;
        }
    }
}

TEST_F(LinePatterns, FillsTileTheImage) {
    LUMO(fillRect)(nullptr, nullptr, g, 0, 0, W, H);
    EXPECT_EQ(painted(), W * H);
    EXPECT_EQ(at(15, 15), 0xFF00FF00u);
}

// A renderer double that counts how the coverage reaches it: scan-lines
// (render) or single spans from the sweep (blend), with the pixels and the
// sum of the covers of each.
struct CountingRenderer {
    void prepare() { ++prepared; }
    template <class Scanline>
    void render(const Scanline& sl) {
        ++scanlines;
        forEachSpan(sl, [&](int, int, int len, const agg::int8u* covers, agg::int8u cover) {
            for (int i = 0; i < len; ++i) scanlineCovers += covers != nullptr ? covers[i] : cover;
            scanlinePixels += len;
        });
    }
    void blend(int, int, unsigned len, const agg::int8u* covers) {
        ++spans;
        for (unsigned i = 0; i < len; ++i) spanCovers += covers[i];
        spanPixels += len;
    }
    int prepared = 0, scanlines = 0, spans = 0;
    int64_t scanlinePixels = 0, scanlineCovers = 0, spanPixels = 0, spanCovers = 0;
};

// Under a rectangle clip, renderers that take single spans (the image
// renderer's) are handed them straight from the sweep, no scan-line; under
// a clip path they read scan-lines. Either way they see the same pixels.
TEST(ImageCoverageRoute, RectangleClipsHandSpansStraightFromTheSweep) {
    test::DrawingTarget target(60, 50);
    Graphics& graphics = target.graphics();
    RenderTarget& device = *graphics.liveTarget();
    const auto addShape = [&] {
        Rasterizer& rasterizer = CoverageScratch::of(device)->rasterizerForShape();
        rasterizer.move_to_d(3.3, 2.5);
        rasterizer.line_to_d(55.1, 10.7);
        rasterizer.line_to_d(20.2, 47.9);
        rasterizer.move_to_d(30.0, 15.0);
        rasterizer.line_to_d(40.0, 30.0);
        rasterizer.line_to_d(25.0, 35.0);
    };
    addShape();
    CountingRenderer straight;
    renderCoverageSpans(graphics.state(), device, straight);
    EXPECT_EQ(straight.scanlines, 0);
    EXPECT_EQ(straight.prepared, 1);
    EXPECT_GT(straight.spans, 40);

    addShape();
    CountingRenderer scanned;
    renderCoverage(graphics.state(), device, scanned);
    EXPECT_EQ(scanned.spans, 0);
    EXPECT_EQ(straight.spanPixels, scanned.scanlinePixels);
    EXPECT_EQ(straight.spanCovers, scanned.scanlineCovers);

    EllipseShape ellipse(30.0, 25.0, 25.0, 20.0);
    graphics.setPathClip(ellipse, agg::fill_non_zero);
    addShape();
    CountingRenderer clipped;
    renderCoverageSpans(graphics.state(), device, clipped);
    EXPECT_EQ(clipped.spans, 0);
    EXPECT_GT(clipped.scanlines, 20);
}

}  // namespace
}  // namespace lumo
