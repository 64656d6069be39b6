// Images drawn two ways in the same process: through the library's exported
// calls, and with the same pixels, placements and filters handed straight to
// AGG's image span generators. Every image is one benchmark iteration; after
// the runs a table gives both times per image, the ratio library / AGG and a
// pixel comparison of the two sides.
//
// The source is a 256x256 render target drawn through the library (a
// translucent gradient, seeded translucent rectangles and antialiased ovals
// over a transparent background); its premultiplied pixels are read back and
// copied into the buffer AGG samples, so both sides see the same bytes. Each
// side draws source-over onto its own 512x512 opaque white target.
//
// Scenes (drawImage with a six-value transform unless noted):
//   Image/int             whole-pixel offsets (the library's copy path; AGG:
//                         span_image_filter_rgba_nn);
//   Image/scale1.7nn,     scaled by 1.7 at fractional offsets with the nearest
//   Image/scale1.7bilin,  neighbour, bilinear and bicubic filters (AGG:
//   Image/scale1.7bicubic span_image_filter_rgba_nn, _bilinear, and
//                         span_image_filter_rgba with a bicubic weight table
//                         built for every image, as the library does);
//   Image/rot30bilin      rotated 30 degrees about its centre, bilinear;
//   Texture/repeat        a texture repeated both ways (setTexture, wrap
//                         0x0101) filling 400x400 squares under a fractional
//                         translation (AGG: image_accessor_wrap with
//                         wrap_mode_repeat both ways, nearest neighbour).
// Outside the source both sides repeat its edge pixels (image_accessor_clone
// on the AGG side). Placements come from a fixed seed and keep every image
// inside the target.
#include "BenchSupport.h"

#include <agg_basics.h>
#include <agg_conv_transform.h>
#include <agg_image_accessors.h>
#include <agg_image_filters.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>
#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace lumo_bench;

constexpr int kSource = 256;               // the source image is square
constexpr jint kImageFilterHint = 0xF800;  // setHint key of the image filter
constexpr jint kRepeatBothWays = 0x0101;   // setTexture wrap: x above, y below
constexpr int kTextureSize = 400;          // the squares the texture fills
constexpr double kScale = 1.7;
constexpr double kRotationDegrees = 30.0;
constexpr double kFracX = 0.375, kFracY = 0.6875;  // translation of the texture fills
constexpr double kTwoPi = 6.283185307179586;
constexpr size_t kPlacements = 64;  // per scene, a power of two, cycled through
constexpr size_t kCompared = 16;    // images drawn both ways for the comparison

// ---------------------------------------------------------------------------
// Scenes.

enum class Kind { Copy, Scale, Rotate, Texture };

// Values of the image-filter hint.
enum Filter : jint { NEAREST = 0, BILINEAR = 1, BICUBIC = 2 };

struct Scene {
    const char* name;
    Kind kind;
    Filter filter;
};

const Scene kScenes[] = {
    {"Image/int", Kind::Copy, NEAREST},
    {"Image/scale1.7nn", Kind::Scale, NEAREST},
    {"Image/scale1.7bilin", Kind::Scale, BILINEAR},
    {"Image/scale1.7bicubic", Kind::Scale, BICUBIC},
    {"Image/rot30bilin", Kind::Rotate, BILINEAR},
    {"Texture/repeat", Kind::Texture, NEAREST},
};

// Where each image goes: its image-to-device transform, or for textures the
// user-space corner of the filled square (the transform is then the
// fractional translation the drawing object has).
struct Placement {
    agg::trans_affine imageToDevice;
    jint x = 0, y = 0;
};

agg::trans_affine textureTranslation() {
    return agg::trans_affine_translation(kFracX, kFracY);
}

std::vector<Placement> placements(const Scene& scene) {
    SplitMix random(0x1A6E0000u + uint64_t(scene.kind) * 7u + uint64_t(scene.filter));
    std::vector<Placement> result(kPlacements);
    for (Placement& p : result) {
        switch (scene.kind) {
            case Kind::Copy:
                p.imageToDevice = agg::trans_affine_translation(
                    double(random.next() % uint64_t(kTarget - kSource + 1)),
                    double(random.next() % uint64_t(kTarget - kSource + 1)));
                break;
            case Kind::Scale: {
                const double room = kTarget - kSource * kScale;
                p.imageToDevice =
                    agg::trans_affine_scaling(kScale) *
                    agg::trans_affine_translation(random.uniform(0, room), random.uniform(0, room));
                break;
            }
            case Kind::Rotate: {
                // Half the rotated square's extent, plus a pixel.
                const double a = kRotationDegrees * kTwoPi / 360.0;
                const double margin = kSource * 0.5 * (std::cos(a) + std::sin(a)) + 1.0;
                p.imageToDevice =
                    agg::trans_affine_translation(-kSource * 0.5, -kSource * 0.5) *
                    agg::trans_affine_rotation(a) *
                    agg::trans_affine_translation(random.uniform(margin, kTarget - margin),
                                                  random.uniform(margin, kTarget - margin));
                break;
            }
            case Kind::Texture:
                // The fractional translation adds less than a pixel: keep one spare.
                p.x = jint(random.next() % uint64_t(kTarget - kTextureSize));
                p.y = jint(random.next() % uint64_t(kTarget - kTextureSize));
                p.imageToDevice = textureTranslation();
                break;
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// The source image: a render target of the library, drawn into through the
// entry points, and a copy of its pixels (premultiplied b, g, r, a, top row
// first) for AGG.

class SourceImage {
public:
    SourceImage() {
        buffer_ = LUMO(createDataBuffer)(nullptr, nullptr, kSource, kSource, 0);
        image_ = LUMO(createNativeImage)(nullptr, nullptr, buffer_);
        draw();
        read();
        rows_.attach(pixels_.data(), kSource, kSource, kSource * 4);
        format_.attach(rows_);
    }
    ~SourceImage() {
        LUMO(deleteNativeImage)(nullptr, nullptr, image_);
        LUMO(deleteDataBuffer)(nullptr, nullptr, buffer_);
    }
    SourceImage(const SourceImage&) = delete;
    SourceImage& operator=(const SourceImage&) = delete;

    jint image() const { return image_; }
    agg::pixfmt_bgra32_pre& format() { return format_; }

private:
    void draw() {
        const jint g = LUMO(createGraphics)(nullptr, nullptr, image_);
        if (g == 0) return;
        LUMO(setHint)(nullptr, nullptr, g, 1, 1);
        // A translucent gradient over the top three quarters; the rest stays
        // transparent but for the shapes below.
        double points[6] = {0, 0, kSource, kSource, 0, 0};
        jint positions[2] = {0, 255};
        jint colours[2] = {jint(0xA02E6FB4u), jint(0xFFE8C547u)};
        BenchArray a, b, c;
        LUMO(setGradient)
        (benchEnv(), nullptr, g, 2, 0, asArray<jdoubleArray>(a, points, 6),
         asArray<jintArray>(b, positions, 2), asArray<jintArray>(c, colours, 2), nullptr);
        LUMO(fillRect)(nullptr, nullptr, g, 0, 0, kSource, kSource * 3 / 4);
        SplitMix random(0x50C0FFEEu);
        auto colour = [&] {
            // Alpha from 0x40 up, any colour.
            const uint32_t v = uint32_t(random.next());
            return jint((v & 0x00FFFFFFu) | ((0x40u + (v >> 24) % 0xC0u) << 24));
        };
        for (int i = 0; i < 40; ++i) {
            const jint w = jint(8 + random.next() % 64), h = jint(8 + random.next() % 64);
            const jint x = jint(random.next() % uint64_t(kSource - w));
            const jint y = jint(random.next() % uint64_t(kSource - h));
            LUMO(setPaint)(nullptr, nullptr, g, colour());
            LUMO(fillRect)(nullptr, nullptr, g, x, y, w, h);
        }
        for (int i = 0; i < 24; ++i) {
            const jint d = jint(6 + random.next() % 48);
            const jint x = jint(random.next() % uint64_t(kSource - d));
            const jint y = jint(random.next() % uint64_t(kSource - d));
            LUMO(setPaint)(nullptr, nullptr, g, colour());
            LUMO(fillOval)(nullptr, nullptr, g, x, y, d, d);
        }
        LUMO(deleteGraphics)(nullptr, nullptr, g);
    }

    // The pixel words as they are in memory, through a memory device.
    void read() {
        const std::vector<jint> words = readTarget(image_, kSource, kSource);
        pixels_.resize(words.size() * 4);
        for (size_t i = 0; i < words.size(); ++i) {
            const uint32_t v = uint32_t(words[i]);
            pixels_[4 * i + 0] = agg::int8u(v);
            pixels_[4 * i + 1] = agg::int8u(v >> 8);
            pixels_[4 * i + 2] = agg::int8u(v >> 16);
            pixels_[4 * i + 3] = agg::int8u(v >> 24);
        }
    }

    jint buffer_ = 0;
    jint image_ = 0;
    std::vector<agg::int8u> pixels_;
    agg::rendering_buffer rows_;
    agg::pixfmt_bgra32_pre format_{rows_};
};

// ---------------------------------------------------------------------------
// The library side.

class LumoImages : public LumoCanvas {
public:
    LumoImages(const Scene& scene, const SourceImage& source)
        : scene_(scene), source_(source.image()), g_(graphics()) {
        LUMO(setHint)(nullptr, nullptr, g_, kImageFilterHint, scene.filter);
        if (scene.kind == Kind::Texture) {
            double values[6];
            matrixValues(textureTranslation(), values);
            BenchArray array;
            LUMO(setTransform)(benchEnv(), nullptr, g_, asArray<jdoubleArray>(array, values, 6));
            double identity[6] = {1, 0, 0, 1, 0, 0};
            LUMO(setTexture)
            (benchEnv(), nullptr, g_, source_, asArray<jdoubleArray>(array, identity, 6),
             kRepeatBothWays);
        }
    }

    void draw(const Placement& p) {
        if (scene_.kind == Kind::Texture) {
            LUMO(fillRect)(nullptr, nullptr, g_, p.x, p.y, kTextureSize, kTextureSize);
            return;
        }
        double values[6];
        matrixValues(p.imageToDevice, values);
        BenchArray array;
        LUMO(drawImage)(benchEnv(), nullptr, g_, source_, asArray<jdoubleArray>(array, values, 6));
    }

private:
    const Scene& scene_;
    const jint source_;
    const jint g_;
};

// ---------------------------------------------------------------------------
// The AGG side: the placed rectangle rasterised, filled by an image span
// generator over the source pixels. Rasteriser, scan-line and span allocator
// are kept for the whole run.

class AggImages : public AggCanvas {
public:
    using Rasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;
    using Source = agg::pixfmt_bgra32_pre;
    using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;
    using Clone = agg::image_accessor_clone<Source>;
    using Repeat = agg::image_accessor_wrap<Source, agg::wrap_mode_repeat, agg::wrap_mode_repeat>;

    AggImages(const Scene& scene, SourceImage& source)
        : scene_(scene), clone_(source.format()), repeat_(source.format()) {
        rasterizer_.clip_box(0, 0, kTarget, kTarget);
    }

    void draw(const Placement& p) {
        agg::trans_affine imageToDevice = p.imageToDevice;
        agg::trans_affine deviceToImage = imageToDevice;
        deviceToImage.invert();
        Interpolator interpolator(deviceToImage);
        if (scene_.kind == Kind::Texture) {
            RectPath rect(p.x, p.y, kTextureSize, kTextureSize);
            agg::conv_transform<RectPath> device(rect, imageToDevice);
            rasterizer_.add_path(device);
            agg::span_image_filter_rgba_nn<Repeat, Interpolator> spans(repeat_, interpolator);
            return render(spans);
        }
        RectPath rect(0, 0, kSource, kSource);
        agg::conv_transform<RectPath> device(rect, imageToDevice);
        rasterizer_.add_path(device);
        switch (scene_.filter) {
            case NEAREST: {
                agg::span_image_filter_rgba_nn<Clone, Interpolator> spans(clone_, interpolator);
                return render(spans);
            }
            case BILINEAR: {
                agg::span_image_filter_rgba_bilinear<Clone, Interpolator> spans(clone_,
                                                                                interpolator);
                return render(spans);
            }
            case BICUBIC: {
                agg::image_filter_lut filter;
                filter.calculate(agg::image_filter_bicubic(), true);
                agg::span_image_filter_rgba<Clone, Interpolator> spans(clone_, interpolator,
                                                                       filter);
                return render(spans);
            }
        }
    }

private:
    template <class Spans>
    void render(Spans& spans) {
        agg::render_scanlines_aa(rasterizer_, scanline_, renderer(), allocator_, spans);
    }

    const Scene& scene_;
    Clone clone_;
    Repeat repeat_;
    Rasterizer rasterizer_;
    agg::scanline_u8 scanline_;
    agg::span_allocator<agg::rgba8> allocator_;
};

// ---------------------------------------------------------------------------
// The benchmarks.

void setImageCounters(benchmark::State& state) {
    state.counters["per_image"] = benchmark::Counter(
        double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void lumoImages(benchmark::State& state, const Scene& scene) {
    const std::vector<Placement> spots = placements(scene);
    SourceImage source;
    LumoImages target(scene, source);
    if (!target.valid() || source.image() == 0) {
        state.SkipWithError("the library did not create its render targets");
        return;
    }
    // The first draw creates the pixel memory; keep that out of the timing.
    target.draw(spots[0]);
    target.clear();
    size_t i = 0;
    for (auto _ : state) {
        target.draw(spots[i++ & (kPlacements - 1)]);
        benchmark::ClobberMemory();
    }
    setImageCounters(state);
}

void aggImages(benchmark::State& state, const Scene& scene) {
    const std::vector<Placement> spots = placements(scene);
    SourceImage source;
    AggImages target(scene, source);
    // Let the rasteriser grow its cell storage first, as on the library side.
    target.draw(spots[0]);
    target.clear();
    size_t i = 0;
    for (auto _ : state) {
        target.draw(spots[i++ & (kPlacements - 1)]);
        benchmark::DoNotOptimize(target.pixels());
        benchmark::ClobberMemory();
    }
    setImageCounters(state);
}

// Pixel comparison: the first images of a scene drawn both ways.
Comparison compare(const Scene& scene) {
    const std::vector<Placement> spots = placements(scene);
    SourceImage source;
    LumoImages lumo(scene, source);
    AggImages agg(scene, source);
    Comparison result;
    if (!lumo.valid()) return result;
    for (size_t i = 0; i < kCompared; ++i) {
        lumo.draw(spots[i]);
        agg.draw(spots[i]);
    }
    return comparePixels(lumo.read(), agg.read());
}

void printImageSummary(const std::map<std::string, double>& times) {
    SummaryTable table;
    for (const Scene& scene : kScenes) {
        table.row(times, scene.name, kSource, [&] { return compare(scene); });
    }
}

bool registerImageBenchmarks() {
    for (const Scene& scene : kScenes) {
        benchmark::RegisterBenchmark(benchmarkName(scene.name, "lumo", kSource).c_str(), lumoImages,
                                     scene)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(benchmarkName(scene.name, "agg", kSource).c_str(), aggImages,
                                     scene)
            ->Unit(benchmark::kMicrosecond);
    }
    return addSummary(printImageSummary);
}

[[maybe_unused]] const bool registered = registerImageBenchmarks();

}  // namespace
