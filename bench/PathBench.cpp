// General paths, gradients and path clips drawn two ways in the same process:
// through the library's exported calls, and with the same geometry and
// colours handed straight to AGG. Every shape is one benchmark iteration;
// after the runs a table gives both times per shape, the ratio library / AGG
// and a pixel comparison of the two sides.
//
// Scenes, each at 32, 128 and 256 pixels across, at seeded positions inside
// the 512x512 target, antialiased, source-over:
//   Poly10, Poly40   star polygons of 10 and 40 corners that wind three times
//                    round their centre (so the fill rule matters), filled
//                    with the non-zero and the even-odd rule (drawPath);
//   Path300cubic     a closed outline of 300 cubic curves (drawPath; AGG
//                    flattens it with conv_curve);
//   GradientLinear,  squares filled with a two-stop gradient along the
//   GradientRadial   target's diagonal, or round its centre (setGradient
//                    once, then fillRect; AGG: span_gradient with
//                    gradient_x / gradient_radial and a 256-colour array);
//   ClipCircle       solid squares through a circular clip path of radius 200
//                    about the centre (setClip once, then fillRect; AGG:
//                    sbool_intersect_shapes_aa with the circle in a second
//                    rasteriser whose gamma is gamma_threshold(1.0), both
//                    rasterised for every square as the library does).
#include "BenchSupport.h"

#include <agg_array.h>
#include <agg_basics.h>
#include <agg_conv_curve.h>
#include <agg_gamma_functions.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_boolean_algebra.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace lumo_bench;

constexpr jint kColour = jint(0xFF2E6FB4u);  // opaque blue
constexpr int kSizes[] = {32, 128, 256};
constexpr size_t kShapes = 256;  // per scene and size, a power of two, cycled through
constexpr double kTwoPi = 6.283185307179586;

// Gradient stops: table positions and opaque colours (the same premultiplied
// or not). The linear gradient runs along the diagonal, the radial one
// reaches the middle of each edge.
constexpr jint kStopPositions[] = {0, 255};
constexpr jint kStopColours[] = {jint(0xFF2E6FB4u), jint(0xFFE8C547u)};
constexpr double kLinearPoints[] = {0, 0, kTarget, kTarget, 0, 0};
constexpr double kRadialPoints[] = {kTarget / 2, kTarget / 2, kTarget,
                                    kTarget / 2, kTarget / 2, kTarget / 2};

constexpr double kClipCentre = kTarget / 2, kClipRadius = 200;

// drawPath segment codes and flags.
enum : jbyte { SEG_MOVE = 0, SEG_LINE = 1, SEG_CUBIC = 3, SEG_CLOSE = 4 };
enum : jint { PATH_FILL = 0x01, PATH_CURVES = 0x20, PATH_POLYGONAL = 0x40 };

// ---------------------------------------------------------------------------
// Geometry: paths in the arrays drawPath and setClip take.

struct JavaPath {
    std::vector<jbyte> types;
    std::vector<double> coords;

    void moveTo(double x, double y) { add(SEG_MOVE, {x, y}); }
    void lineTo(double x, double y) { add(SEG_LINE, {x, y}); }
    void cubicTo(double x1, double y1, double x2, double y2, double x3, double y3) {
        add(SEG_CUBIC, {x1, y1, x2, y2, x3, y3});
    }
    void close() { types.push_back(SEG_CLOSE); }

private:
    void add(jbyte type, std::initializer_list<double> points) {
        types.push_back(type);
        coords.insert(coords.end(), points);
    }
};

// The same path as an AGG vertex source, read straight from the arrays.
using JavaPathSource = PathArraysSource<JavaPath>;

// A star polygon of n corners, the corners 3/n of a turn apart at random
// distances from the centre, within size / 2 of it.
JavaPath starPolygon(SplitMix& random, int n, int size) {
    const double r = size * 0.5;
    const double cx = random.uniform(r, kTarget - r), cy = random.uniform(r, kTarget - r);
    const double start = random.uniform(0, kTwoPi);
    JavaPath path;
    for (int i = 0; i < n; ++i) {
        const double a = start + i * 3 * kTwoPi / n;
        const double d = r * random.uniform(0.55, 1.0);
        if (i == 0) {
            path.moveTo(cx + d * std::cos(a), cy + d * std::sin(a));
        } else {
            path.lineTo(cx + d * std::cos(a), cy + d * std::sin(a));
        }
    }
    path.close();
    return path;
}

// A closed wavy outline of n cubic curves round a centre: end and control
// points at random distances, all within size / 2 of the centre.
JavaPath curvedOutline(SplitMix& random, int n, int size) {
    const double r = size * 0.5;
    const double cx = random.uniform(r, kTarget - r), cy = random.uniform(r, kTarget - r);
    auto point = [&](double a, double lo, double hi, double* x, double* y) {
        const double d = r * random.uniform(lo, hi);
        *x = cx + d * std::cos(a);
        *y = cy + d * std::sin(a);
    };
    JavaPath path;
    double x, y;
    point(0, 0.6, 0.9, &x, &y);
    const double first[2] = {x, y};
    path.moveTo(x, y);
    for (int i = 0; i < n; ++i) {
        const double a = i * kTwoPi / n, step = kTwoPi / n;
        double x1, y1, x2, y2;
        point(a + step / 3, 0.4, 1.0, &x1, &y1);
        point(a + 2 * step / 3, 0.4, 1.0, &x2, &y2);
        if (i + 1 == n) {
            x = first[0], y = first[1];
        } else {
            point(a + step, 0.6, 0.9, &x, &y);
        }
        path.cubicTo(x1, y1, x2, y2, x, y);
    }
    path.close();
    return path;
}

// The clip: a circle of four cubic curves.
JavaPath clipCircle() {
    const double c = kClipCentre, r = kClipRadius, k = r * 0.5522847498307936;
    JavaPath path;
    path.moveTo(c + r, c);
    path.cubicTo(c + r, c + k, c + k, c + r, c, c + r);
    path.cubicTo(c - k, c + r, c - r, c + k, c - r, c);
    path.cubicTo(c - r, c - k, c - k, c - r, c, c - r);
    path.cubicTo(c + k, c - r, c + r, c - k, c + r, c);
    path.close();
    return path;
}

// ---------------------------------------------------------------------------
// Scenes.

enum class Kind { Polygon, Curves, LinearGradient, RadialGradient, CircleClip };

struct Scene {
    const char* name;
    Kind kind;
    int count;  // corners or curves
    bool nonZero;
};

const Scene kScenes[] = {
    {"Poly10/nonzero", Kind::Polygon, 10, true},
    {"Poly10/evenodd", Kind::Polygon, 10, false},
    {"Poly40/nonzero", Kind::Polygon, 40, true},
    {"Poly40/evenodd", Kind::Polygon, 40, false},
    {"Path300cubic", Kind::Curves, 300, true},
    {"GradientLinear", Kind::LinearGradient, 0, true},
    {"GradientRadial", Kind::RadialGradient, 0, true},
    {"ClipCircle", Kind::CircleClip, 0, true},
};

bool drawsPaths(const Scene& scene) {
    return scene.kind == Kind::Polygon || scene.kind == Kind::Curves;
}

// What one scene draws at one size: kShapes paths, or kShapes square corners.
struct Work {
    std::vector<JavaPath> paths;
    std::vector<agg::point_i> corners;
};

Work makeWork(const Scene& scene, int size) {
    SplitMix random(0x9A7B0000u + uint64_t(size) * 131u + uint64_t(scene.count) * 7u +
                    uint64_t(scene.kind));
    Work work;
    for (size_t i = 0; i < kShapes; ++i) {
        switch (scene.kind) {
            case Kind::Polygon:
                work.paths.push_back(starPolygon(random, scene.count, size));
                break;
            case Kind::Curves:
                work.paths.push_back(curvedOutline(random, scene.count, size));
                break;
            default:
                work.corners.emplace_back(int(random.next() % uint64_t(kTarget - size + 1)),
                                          int(random.next() % uint64_t(kTarget - size + 1)));
        }
    }
    return work;
}

// ---------------------------------------------------------------------------
// The library side.

class LumoScene : public LumoCanvas {
public:
    LumoScene(const Scene& scene, int size, Work& work)
        : scene_(scene), size_(size), work_(work), g_(graphics()) {
        LUMO(setPaint)(nullptr, nullptr, g_, kColour);
        if (scene.kind == Kind::LinearGradient || scene.kind == Kind::RadialGradient) {
            const bool linear = scene.kind == Kind::LinearGradient;
            double points[6];
            std::copy_n(linear ? kLinearPoints : kRadialPoints, 6, points);
            jint positions[2], colours[2];
            std::copy_n(kStopPositions, 2, positions);
            std::copy_n(kStopColours, 2, colours);
            BenchArray a, b, c;
            LUMO(setGradient)
            (benchEnv(), nullptr, g_, linear ? 2 : 1, 0, asArray<jdoubleArray>(a, points, 6),
             asArray<jintArray>(b, positions, 2), asArray<jintArray>(c, colours, 2), nullptr);
        } else if (scene.kind == Kind::CircleClip) {
            JavaPath circle = clipCircle();
            BenchArray a, b;
            LUMO(setClip)
            (benchEnv(), nullptr, g_, jint(circle.types.size()),
             asArray<jbyteArray>(a, circle.types.data(), circle.types.size()),
             asArray<jdoubleArray>(b, circle.coords.data(), circle.coords.size()), JNI_TRUE);
        }
    }

    void draw(size_t i) {
        if (!drawsPaths(scene_)) {
            const agg::point_i& p = work_.corners[i];
            LUMO(fillRect)(nullptr, nullptr, g_, p.x, p.y, size_, size_);
            return;
        }
        // The arrays as Java hands them over: pinned for the call.
        JavaPath& path = work_.paths[i];
        BenchArray types, coords;
        LUMO(drawPath)
        (benchEnv(), nullptr, g_, jint(path.types.size()),
         asArray<jbyteArray>(types, path.types.data(), path.types.size()),
         asArray<jdoubleArray>(coords, path.coords.data(), path.coords.size()),
         scene_.nonZero ? JNI_TRUE : JNI_FALSE,
         PATH_FILL | (scene_.kind == Kind::Curves ? PATH_CURVES : PATH_POLYGONAL));
    }

private:
    const Scene& scene_;
    const jint size_;
    Work& work_;
    const jint g_;
};

// ---------------------------------------------------------------------------
// The AGG side. Rasterisers, scan-lines, span allocator and colour array are
// kept for the whole run.

// The gradient colours: the two stops interpolated over 256 entries, each
// byte moved round(256 i / 255) / 256 of the way, rounded down.
using ColourArray = agg::pod_auto_array<agg::rgba8, 256>;

ColourArray gradientColours() {
    const agg::rgba8 s = rgba8FromArgb(kStopColours[0]), e = rgba8FromArgb(kStopColours[1]);
    auto mix = [](int from, int to, int t) {
        const int d = (to - from) * t;
        return agg::int8u(from + (d >= 0 ? d / 256 : -((-d + 255) / 256)));
    };
    ColourArray colours;
    for (int i = 0; i < 256; ++i) {
        const int t = int(std::floor(i * 256.0 / 255.0 + 0.5));
        colours[i] =
            agg::rgba8(mix(s.r, e.r, t), mix(s.g, e.g, t), mix(s.b, e.b, t), mix(s.a, e.a, t));
    }
    return colours;
}

// Gradient space, where the points' axis runs from (0, 0) to (256, 0), to
// device space.
agg::trans_affine gradientPlacement(const double* points) {
    const double dx = points[2] - points[0], dy = points[3] - points[1];
    agg::trans_affine m = agg::trans_affine_scaling(std::sqrt(dx * dx + dy * dy) / 256.0);
    m *= agg::trans_affine_rotation(std::atan2(dy, dx));
    m *= agg::trans_affine_translation(points[0], points[1]);
    return m;
}

class AggScene : public AggCanvas {
public:
    using Rasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;
    using Interpolator = agg::span_interpolator_linear<>;

    AggScene(const Scene& scene, int size, Work& work)
        : scene_(scene),
          size_(size),
          work_(work),
          colour_(rgba8FromArgb(kColour)),
          colours_(gradientColours()),
          circle_(clipCircle()) {
        rasterizer_.clip_box(0, 0, kTarget, kTarget);
        rasterizer_.filling_rule(scene.nonZero ? agg::fill_non_zero : agg::fill_even_odd);
        clipRasterizer_.clip_box(0, 0, kTarget, kTarget);
        clipRasterizer_.gamma(agg::gamma_threshold(1.0));
        const bool linear = scene.kind == Kind::LinearGradient;
        gradientInverse_ = gradientPlacement(linear ? kLinearPoints : kRadialPoints);
        gradientInverse_.invert();
    }

    bool valid() const { return true; }

    void draw(size_t i) {
        switch (scene_.kind) {
            case Kind::Polygon: {
                JavaPathSource polygon(work_.paths[i]);
                fill(polygon);
                break;
            }
            case Kind::Curves: {
                JavaPathSource path(work_.paths[i]);
                agg::conv_curve<JavaPathSource> flattened(path);
                fill(flattened);
                break;
            }
            case Kind::LinearGradient:
                gradient(square(i), linear_);
                break;
            case Kind::RadialGradient:
                gradient(square(i), radial_);
                break;
            case Kind::CircleClip: {
                JavaPathSource source(circle_);
                agg::conv_curve<JavaPathSource> circle(source);
                clipRasterizer_.add_path(circle);
                RectPath rect = square(i);
                rasterizer_.add_path(rect);
                agg::renderer_scanline_aa_solid<Renderer> solid(renderer());
                solid.color(colour_);
                agg::sbool_intersect_shapes_aa(clipRasterizer_, rasterizer_, clipScanline_,
                                               shapeScanline_, scanline_, solid);
                break;
            }
        }
    }

private:
    RectPath square(size_t i) const {
        const agg::point_i& p = work_.corners[i];
        return RectPath(p.x, p.y, size_, size_);
    }

    template <class Source>
    void fill(Source& source) {
        rasterizer_.add_path(source);
        agg::render_scanlines_aa_solid(rasterizer_, scanline_, renderer(), colour_);
    }

    template <class Function>
    void gradient(RectPath rect, Function& function) {
        Interpolator interpolator(gradientInverse_);
        agg::span_gradient<agg::rgba8, Interpolator, Function, ColourArray> spans(
            interpolator, function, colours_, 0, 256);
        rasterizer_.add_path(rect);
        agg::render_scanlines_aa(rasterizer_, scanline_, renderer(), allocator_, spans);
    }

    const Scene& scene_;
    const int size_;
    const Work& work_;
    const agg::rgba8 colour_;
    ColourArray colours_;
    agg::gradient_x linear_;
    agg::gradient_radial radial_;
    const JavaPath circle_;
    agg::trans_affine gradientInverse_;
    Rasterizer rasterizer_;
    Rasterizer clipRasterizer_;
    agg::scanline_u8 scanline_, clipScanline_, shapeScanline_;
    agg::span_allocator<agg::rgba8> allocator_;
};

// ---------------------------------------------------------------------------
// The benchmarks.

template <class Side>
void drawShapes(benchmark::State& state, const Scene* scene, int size) {
    Work work = makeWork(*scene, size);
    Side side(*scene, size, work);
    if (!side.valid()) {
        state.SkipWithError("the library did not create a drawing object");
        return;
    }
    // The first draw creates the pixel memory and grows the cell storage:
    // keep that out of the timing.
    side.draw(0);
    side.clear();
    size_t i = 0;
    for (auto _ : state) {
        side.draw(i++ & (kShapes - 1));
        benchmark::ClobberMemory();
    }
    setShapeCounters(state);
}

std::string benchmarkName(const Scene& scene, const char* side, int size) {
    return lumo_bench::benchmarkName(scene.name, side, size);
}

// Every shape of a scene drawn both ways.
Comparison compare(const Scene& scene, int size) {
    Work work = makeWork(scene, size);
    LumoScene lumo(scene, size, work);
    AggScene agg(scene, size, work);
    if (!lumo.valid()) return Comparison();
    for (size_t i = 0; i < kShapes; ++i) {
        lumo.draw(i);
        agg.draw(i);
    }
    return comparePixels(lumo.read(), agg.read());
}

void printPathSummary(const std::map<std::string, double>& times) {
    SummaryTable table;
    for (const Scene& scene : kScenes) {
        for (int size : kSizes) {
            table.row(times, scene.name, size, [&] { return compare(scene, size); });
        }
    }
}

bool registerPathBenchmarks() {
    for (const Scene& scene : kScenes) {
        for (int size : kSizes) {
            benchmark::RegisterBenchmark(benchmarkName(scene, "lumo", size).c_str(),
                                         drawShapes<LumoScene>, &scene, size)
                ->Unit(benchmark::kNanosecond);
            benchmark::RegisterBenchmark(benchmarkName(scene, "agg", size).c_str(),
                                         drawShapes<AggScene>, &scene, size)
                ->Unit(benchmark::kNanosecond);
        }
    }
    return addSummary(printPathSummary);
}

[[maybe_unused]] const bool registered = registerPathBenchmarks();

}  // namespace
