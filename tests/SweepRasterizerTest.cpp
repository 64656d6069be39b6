// lumo's coverage rasteriser against AGG's rasterizer_scanline_aa: the same
// scan-lines, span by span and cover by cover, for thousands of random shapes
// (self-intersecting polygons with up to thousands of edges, sub-pixel and
// huge shapes, curves, stroked and dashed outlines with every join and cap)
// under both fill rules, the gammas lumo uses, both scan-line kinds, clip
// boxes inside and beyond the target, and through the scan-line intersection
// lumo draws clip paths with; and the whole spans the grid hands paints
// (sweepSpans) are AGG's scan-line spans. Two behaviours differ on purpose and are tested
// apart: a huge shape no longer disables the shapes after it, and lines wider
// than 16,384 px count once.
#include "coverage/SweepRasterizer.h"

#include "RasterizerShapes.h"

#include <gtest/gtest.h>

#include <agg_conv_curve.h>
#include <agg_ellipse.h>
#include <agg_gamma_functions.h>
#include <agg_path_storage.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_bin.h>
#include <agg_scanline_boolean_algebra.h>
#include <agg_scanline_u.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace lumo {
namespace {

using AggRasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kShapes = 1500;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr int kShapes = 1500;
#else
constexpr int kShapes = 2500;
#endif
#else
constexpr int kShapes = 2500;
#endif

// A renderer for AGG's render_scanlines and the intersections that records
// every scan-line: row, then x, length and covers of each span.
struct SpanRecorder {
    std::vector<int> spans;
    std::vector<uint8_t> covers;

    void prepare() {}
    // Scan-lines with covers (scanline_u8, scanline32_u8).
    template <class Scanline>
    void render(const Scanline& sl) {
        spans.push_back(sl.y());
        spans.push_back(int(sl.num_spans()));
        auto span = sl.begin();
        for (unsigned i = 0; i < sl.num_spans(); ++i, ++span) {
            spans.push_back(span->x);
            spans.push_back(span->len);
            covers.insert(covers.end(), span->covers, span->covers + span->len);
        }
    }
    void render(const agg::scanline_bin& sl) {
        spans.push_back(sl.y());
        spans.push_back(int(sl.num_spans()));
        auto span = sl.begin();
        for (unsigned i = 0; i < sl.num_spans(); ++i, ++span) {
            spans.push_back(span->x);
            spans.push_back(span->len);
        }
    }
    bool operator==(const SpanRecorder& o) const { return spans == o.spans && covers == o.covers; }
};

// Where two recordings first differ, for the failure message.
std::string firstDifference(const SpanRecorder& a, const SpanRecorder& b) {
    size_t i = 0;
    while (i < a.spans.size() && i < b.spans.size() && a.spans[i] == b.spans[i]) ++i;
    if (i < a.spans.size() || i < b.spans.size()) {
        return "span data differ at " + std::to_string(i) + " of " +
               std::to_string(a.spans.size()) + " / " + std::to_string(b.spans.size());
    }
    size_t k = 0;
    while (k < a.covers.size() && k < b.covers.size() && a.covers[k] == b.covers[k]) ++k;
    return "covers differ at " + std::to_string(k);
}

// Records what sweepRows hands over, row by row, as render_scanlines would
// record it: each row with pixels, through a scan-line.
struct RowRecorder {
    agg::scanline_u8 sl;
    SpanRecorder out;
    int y = 0;
    bool open = false;
    int blocks = 0;

    void rows(int row, int count) {
        finish();
        blocks += count != 1;
        y = row;
        sl.reset_spans();
        open = true;
    }
    void add_cell(int x, unsigned cover) { sl.add_cell(x, cover); }
    void add_span(int x, unsigned len, unsigned cover) { sl.add_span(x, len, cover); }
    void add_cells(int x, unsigned len, const uint8_t* covers) { sl.add_cells(x, len, covers); }
    void finish() {
        if (open && sl.num_spans()) {
            sl.finalize(y);
            out.render(sl);
        }
        open = false;
    }
};

SpanRecorder sweepRows(SweepRasterizer& ras) {
    RowRecorder rows;
    if (!ras.rewind_scanlines()) return rows.out;
    rows.sl.reset(ras.min_x(), ras.max_x());
    ras.sweepRows(rows);
    rows.finish();
    EXPECT_EQ(rows.blocks, 0);
    return rows.out;
}

// Records what sweepSpans hands over, row by row, as render_scanlines would record it: each
// row with spans. False when the shape did not go through the grid.
struct WholeSpanRecorder {
    SpanRecorder out;
    std::vector<int> spans;
    std::vector<uint8_t> covers;
    int y = 0;

    void row(int r) {
        finish();
        y = r;
    }
    void span(int x, int len, const uint8_t* c) {
        spans.push_back(x);
        spans.push_back(len);
        covers.insert(covers.end(), c, c + len);
    }
    void finish() {
        if (!spans.empty()) {
            out.spans.push_back(y);
            out.spans.push_back(int(spans.size() / 2));
            out.spans.insert(out.spans.end(), spans.begin(), spans.end());
            out.covers.insert(out.covers.end(), covers.begin(), covers.end());
        }
        spans.clear();
        covers.clear();
    }
};

bool sweepSpans(SweepRasterizer& ras, SpanRecorder& out) {
    WholeSpanRecorder spans;
    const bool grid = ras.sweepSpans(spans);
    spans.finish();
    out = spans.out;
    return grid;
}

template <class Rasterizer, class Scanline>
SpanRecorder sweep(Rasterizer& ras) {
    SpanRecorder out;
    Scanline sl;
    agg::render_scanlines(ras, sl, out);
    return out;
}

template <class Rasterizer>
void load(Rasterizer& ras, const test::RasterShape& shape) {
    ras.clip_box(shape.clip.x1, shape.clip.y1, shape.clip.x2, shape.clip.y2);
    ras.filling_rule(shape.evenOdd ? agg::fill_even_odd : agg::fill_non_zero);
    switch (shape.gamma) {
        case 0:
            ras.gamma(agg::gamma_none());
            break;
        case 1:
            ras.gamma(agg::gamma_threshold(1.0));
            break;
        default:
            ras.gamma(agg::gamma_power(1.7));
            break;
    }
    for (const test::RasterShape::Vertex& v : shape.vertices) ras.add_vertex(v.x, v.y, v.cmd);
}

// The bounds both report and both scan-line kinds, and the whole spans of a shape in the grid
// (counted in `spanned`). AGG reports no scan-lines when its cells cancel out (a shape beside
// the clip box leaves only lines on the box's edge, up and down); this rasteriser then sweeps
// empty scan-lines.
void expectSameCoverage(AggRasterizer& agg, SweepRasterizer& ours, const std::string& what,
                        size_t* spanned = nullptr) {
    if (agg.rewind_scanlines()) {
        ASSERT_TRUE(ours.rewind_scanlines()) << what;
        ASSERT_EQ(agg.min_x(), ours.min_x()) << what;
        ASSERT_EQ(agg.min_y(), ours.min_y()) << what;
        ASSERT_EQ(agg.max_x(), ours.max_x()) << what;
        ASSERT_EQ(agg.max_y(), ours.max_y()) << what;
    }
    const SpanRecorder a = sweep<AggRasterizer, agg::scanline_u8>(agg);
    const SpanRecorder b = sweep<SweepRasterizer, agg::scanline_u8>(ours);
    ASSERT_TRUE(a == b) << what << ": " << firstDifference(a, b);
    const SpanRecorder rows = sweepRows(ours);
    ASSERT_TRUE(a == rows) << what << " (rows): " << firstDifference(a, rows);
    SpanRecorder whole;
    if (sweepSpans(ours, whole)) {
        ASSERT_TRUE(a == whole) << what << " (whole spans): " << firstDifference(a, whole);
        if (spanned != nullptr && !a.spans.empty()) ++*spanned;
    }
    const SpanRecorder abin = sweep<AggRasterizer, agg::scanline_bin>(agg);
    const SpanRecorder bbin = sweep<SweepRasterizer, agg::scanline_bin>(ours);
    ASSERT_TRUE(abin == bbin) << what << " (binary): " << firstDifference(abin, bbin);
}

TEST(SweepRasterizer, MatchesAggOnRandomShapes) {
    std::mt19937 random(20261209);
    // One pair of rasterisers for all shapes, as a render target keeps them.
    AggRasterizer agg;
    SweepRasterizer ours;
    size_t nonEmpty = 0, spanned = 0, filledInPieces = 0;
    for (int i = 0; i < kShapes; ++i) {
        const test::RasterShape shape = test::randomRasterShape(random);
        // The grid or the sorted cells, in bands of their choice or of a few
        // rows, where lines resume in the middle; a grid in one band with
        // its lines walked by kind.
        ours.forceLayout(i % 4 == 1, i % 4 >= 2 ? 1 + i % 7 : 0, i % 8 == 4);
        // Half the shapes as thin outlines, whose short lines are cut into row pieces.
        ours.thinOutline(i % 16 < 8);
        const uint64_t piecesBefore = ours.rowSegmentLines();
        load(agg, shape);
        load(ours, shape);
        expectSameCoverage(agg, ours, "shape " + std::to_string(i) + " (" + shape.kind + ")",
                           &spanned);
        if (HasFatalFailure()) return;
        if (agg.rewind_scanlines()) ++nonEmpty;
        ASSERT_FALSE(ours.cut());
        // Filled outlines of many lines are cut into row pieces too.
        if (i % 16 >= 8 && ours.rowSegmentLines() > piecesBefore) ++filledInPieces;
    }
    // The generator makes visible shapes most of the time, and most go through the grid.
    EXPECT_GT(nonEmpty, size_t(kShapes) / 2);
    EXPECT_GT(spanned, nonEmpty / 2);
    // Many shapes' lines go through the grid's row pieces.
    EXPECT_GT(ours.rowSegmentLines(), uint64_t(kShapes) * 10);
    EXPECT_GT(filledInPieces, size_t(kShapes) / 100);
}

// Drawing through a clip path intersects two rasterisers' scan-lines, with
// antialiased and with binary scan-lines.
TEST(SweepRasterizer, MatchesAggInScanlineIntersections) {
    std::mt19937 random(77);
    AggRasterizer aggShape, aggClip;
    SweepRasterizer shape, clip;
    for (int i = 0; i < kShapes / 8; ++i) {
        const test::RasterShape s = test::randomRasterShape(random);
        test::RasterShape c = test::randomRasterShape(random);
        shape.forceLayout(i % 3 == 1, i % 3 == 2 ? 5 : 0);
        clip.forceLayout(i % 3 == 2, i % 3 == 1 ? 3 : 0);
        c.clip = s.clip;
        load(aggShape, s);
        load(shape, s);
        load(aggClip, c);
        load(clip, c);
        SpanRecorder a, b, abin, bbin;
        agg::scanline_u8 sl1, sl2, sl;
        agg::sbool_intersect_shapes_aa(aggClip, aggShape, sl1, sl2, sl, a);
        agg::sbool_intersect_shapes_aa(clip, shape, sl1, sl2, sl, b);
        ASSERT_TRUE(a == b) << "pair " << i << ": " << firstDifference(a, b);
        agg::scanline_bin bl1, bl2, bl;
        agg::sbool_intersect_shapes_bin(aggClip, aggShape, bl1, bl2, bl, abin);
        agg::sbool_intersect_shapes_bin(clip, shape, bl1, bl2, bl, bbin);
        ASSERT_TRUE(abin == bbin) << "pair " << i << " (binary): " << firstDifference(abin, bbin);
    }
}

// Sweeping a shape again gives it again, also after a sweep stopped half-way
// (as an intersection stops when one shape ends); adding a vertex after a
// sweep starts a new shape.
TEST(SweepRasterizer, SweepsAgainAndStartsAfresh) {
    SweepRasterizer ours;
    AggRasterizer agg;
    agg::ellipse big(300, 300, 290, 250, 200);
    ours.add_path(big);
    agg.add_path(big);
    agg::scanline_u8 sl;
    ASSERT_TRUE(ours.rewind_scanlines());
    sl.reset(ours.min_x(), ours.max_x());
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(ours.sweep_scanline(sl));
    const SpanRecorder a = sweep<AggRasterizer, agg::scanline_u8>(agg);
    const SpanRecorder b = sweep<SweepRasterizer, agg::scanline_u8>(ours);
    EXPECT_TRUE(a == b) << firstDifference(a, b);
    agg::ellipse small(40.3, 50.6, 9.2, 7.1, 30);
    ours.add_path(small);
    agg.add_path(small);
    const SpanRecorder c = sweep<AggRasterizer, agg::scanline_u8>(agg);
    const SpanRecorder d = sweep<SweepRasterizer, agg::scanline_u8>(ours);
    EXPECT_TRUE(c == d) << firstDifference(c, d);
    EXPECT_EQ(ours.min_y(), 43);
}

// A zigzag of 3000 edges across a 2000 px square overflows AGG's cell storage,
// after which AGG's rasteriser draws nothing at all. Here the zigzag is drawn
// whole (as AGG draws it when allowed more cells) and the next shape draws as
// on a fresh rasteriser.
TEST(SweepRasterizer, ShapeAfterAggsCellLimitDraws) {
    SweepRasterizer ours;
    AggRasterizer unlimited(1 << 14);
    auto zigzag = [](auto& ras) {
        ras.clip_box(0, 0, 2000, 2000);
        for (int i = 0; i <= 3000; ++i) {
            const double x = i * 1999.0 / 3000, y = (i % 2) ? 2000 : 0;
            if (i == 0) {
                ras.move_to_d(x, y);
            } else {
                ras.line_to_d(x, y);
            }
        }
    };
    zigzag(ours);
    zigzag(unlimited);
    const SpanRecorder whole = sweep<AggRasterizer, agg::scanline_u8>(unlimited);
    const SpanRecorder drawn = sweep<SweepRasterizer, agg::scanline_u8>(ours);
    EXPECT_FALSE(ours.cut());
    EXPECT_TRUE(whole == drawn) << firstDifference(whole, drawn);

    AggRasterizer fresh;
    agg::ellipse oval(125, 125, 25, 25, 64);
    ours.clip_box(0, 0, 2000, 2000);
    fresh.clip_box(0, 0, 2000, 2000);
    ours.add_path(oval);
    fresh.add_path(oval);
    const SpanRecorder a = sweep<AggRasterizer, agg::scanline_u8>(fresh);
    const SpanRecorder b = sweep<SweepRasterizer, agg::scanline_u8>(ours);
    EXPECT_FALSE(a.spans.empty());
    EXPECT_TRUE(a == b) << firstDifference(a, b);
}

// More edges, or edges crossing more cells, than the rasteriser keeps: the
// shape is cut (and says so), the next one draws normally.
TEST(SweepRasterizer, ShapeBeyondItsStorageIsCutAndTheNextDraws) {
    SweepRasterizer ours;
    ours.clip_box(0, 0, 100, 100);
    ours.move_to_d(0, 0);
    for (size_t i = 0; i <= EdgeStore::kMaxLines; ++i)
        ours.line_to_d((i % 97) + 0.5, (i % 89) + 0.5);
    ASSERT_TRUE(ours.rewind_scanlines());
    EXPECT_TRUE(ours.cut());

    // Few lines, but too many cells: 600 lines of 70,000 rows each.
    ours.clip_box(0, 0, 100, 70000);
    ours.move_to_d(0, 0);
    for (int i = 1; i <= 600; ++i) ours.line_to_d(i * 0.15, i % 2 ? 70000 : 0);
    ASSERT_TRUE(ours.rewind_scanlines());
    EXPECT_TRUE(ours.cut());
    EXPECT_LE(ours.max_y() - ours.min_y(), 70000);
    agg::scanline_u8 sl;
    sl.reset(ours.min_x(), ours.max_x());
    int rows = 0;
    while (ours.sweep_scanline(sl)) ++rows;
    EXPECT_GT(rows, 60000);
    // Whole spans of the cut shape, which ends short of balancing its rows, are its
    // scan-lines' spans.
    {
        SpanRecorder whole;
        const SpanRecorder lines = sweep<SweepRasterizer, agg::scanline_u8>(ours);
        if (sweepSpans(ours, whole)) {
            EXPECT_TRUE(lines == whole) << firstDifference(lines, whole);
        }
    }

    AggRasterizer fresh;
    agg::ellipse oval(50, 50, 20, 10, 64);
    ours.clip_box(0, 0, 100, 100);
    fresh.clip_box(0, 0, 100, 100);
    ours.add_path(oval);
    fresh.add_path(oval);
    const SpanRecorder a = sweep<AggRasterizer, agg::scanline_u8>(fresh);
    const SpanRecorder b = sweep<SweepRasterizer, agg::scanline_u8>(ours);
    EXPECT_FALSE(ours.cut());
    EXPECT_TRUE(a == b) << firstDifference(a, b);
}

// A scan-line that records the columns it is handed, for checking they lie
// where the rasteriser says its shape does.
struct ColumnRange {
    int low = INT32_MAX, high = INT32_MIN;
    unsigned spans = 0;
    void reset_spans() { spans = 0; }
    void add_cell(int x, unsigned) { add_span(x, 1, 0); }
    void add_cells(int x, unsigned len, const agg::int8u*) { add_span(x, len, 0); }
    void add_span(int x, unsigned len, unsigned) {
        low = std::min(low, x);
        high = std::max(high, x + int(len) - 1);
        ++spans;
    }
    unsigned num_spans() const { return spans; }
    void finalize(int) {}
};

// Outlines left open leave rows whose cover does not return to zero after
// their last cell, as a shape cut short by the edge store does: nothing is
// handed beyond the column after the rightmost cell, where a scan-line made
// for the shape's columns (min_x to max_x, and one more) ends; whole spans
// are the scan-lines' spans.
TEST(SweepRasterizer, UnbalancedRowsStayWithinTheShapesColumns) {
    std::mt19937 random(23);
    std::uniform_real_distribution<double> place(0.0, 40.0);
    int spanned = 0;
    for (int i = 0; i < 400; ++i) {
        SweepRasterizer ours;
        ours.auto_close(false);
        ours.clip_box(0, 0, 64, 64);
        ours.filling_rule(i % 2 ? agg::fill_even_odd : agg::fill_non_zero);
        ours.move_to_d(place(random), place(random));
        for (int k = 0, n = 1 + i % 5; k < n; ++k) ours.line_to_d(place(random), place(random));
        if (!ours.rewind_scanlines()) continue;
        const SpanRecorder lines = sweep<SweepRasterizer, agg::scanline_u8>(ours);
        SpanRecorder whole;
        if (sweepSpans(ours, whole)) {
            ++spanned;
            ASSERT_TRUE(lines == whole) << "shape " << i << ": " << firstDifference(lines, whole);
        }
        ASSERT_TRUE(ours.rewind_scanlines());
        ColumnRange range;
        while (ours.sweep_scanline(range)) {
        }
        if (range.high < range.low) continue;
        EXPECT_GE(range.low, ours.min_x()) << "shape " << i;
        EXPECT_LE(range.high, ours.max_x() + 1) << "shape " << i;
    }
    EXPECT_GT(spanned, 200);
}

// A line wider than 16,384 px is halved and each half counted once. AGG also
// adds the whole line again, so its triangle below differs; AGG given the
// halves as edges of their own is the reference.
TEST(SweepRasterizer, WideLinesCountOnce) {
    const double y1 = 10.25, y2 = 30.75;
    for (double width : {20000.0, 40000.0, 70000.0}) {
        SweepRasterizer ours;
        AggRasterizer split, whole;
        for (AggRasterizer* r : {&split, &whole}) r->clip_box(-10, 0, width + 10, 50);
        ours.clip_box(-10, 0, width + 10, 50);
        ours.move_to_d(0, y1);
        ours.line_to_d(width, y2);
        ours.line_to_d(0, y2);
        whole.move_to_d(0, y1);
        whole.line_to_d(width, y2);
        whole.line_to_d(0, y2);
        // The halves at the same 24.8 points the rasteriser halves at: all
        // coordinates are multiples of 1/128 px, so the midpoints are exact.
        split.move_to_d(0, y1);
        const int parts = width > 65536 ? 8 : width > 32768 ? 4 : 2;
        for (int k = 1; k <= parts; ++k) {
            split.line_to_d(width * k / parts, y1 + (y2 - y1) * k / parts);
        }
        split.line_to_d(0, y2);
        const SpanRecorder reference = sweep<AggRasterizer, agg::scanline32_u8>(split);
        const SpanRecorder b = sweep<SweepRasterizer, agg::scanline32_u8>(ours);
        const SpanRecorder doubled = sweep<AggRasterizer, agg::scanline32_u8>(whole);
        EXPECT_TRUE(reference == b) << width << ": " << firstDifference(reference, b);
        EXPECT_FALSE(doubled == b) << width;
    }
}

#if LUMO_SSE2
// The SSE2 group kernel of the coverage grid against its portable twin:
// running sums from any start (wrapping), both fill rules, identity and other
// gamma tables; alphas, zero masks, the sum carried on and the zeroed grid.
template <bool EvenOdd>
void compareGroupKernels(std::mt19937& random) {
    uint8_t identity[256], power[256];
    for (int i = 0; i < 256; ++i) {
        identity[i] = uint8_t(i);
        power[i] = uint8_t(agg::uround(agg::gamma_power(1.7)(i / 255.0) * 255));
    }
    std::uniform_int_distribution<uint32_t> any;
    for (int round = 0; round < 20000; ++round) {
        const bool plain = round % 2 == 0;
        const CoverageAlpha<EvenOdd> alpha{plain ? identity : power, plain};
        uint32_t a[16], b[16];
        const int kind = round % 5;
        for (int i = 0; i < 16; ++i) {
            // Small steps, whole pixels of cover, anything.
            a[i] = kind == 0   ? any(random)
                   : kind == 1 ? uint32_t(int(any(random) % 1024) - 512) * 512
                               : uint32_t(int(any(random) % 131072) - 65536);
            if (kind == 3 && i % 3) a[i] = 0;
            b[i] = a[i];
        }
        uint32_t sumA = kind == 4 ? any(random) : 0, sumB = sumA;
        uint8_t outA[16], outB[16];
        const unsigned zerosA = alpha.groupSse2(a, sumA, outA);
        const unsigned zerosB = alpha.groupPortable(b, sumB, outB);
        ASSERT_EQ(zerosA, zerosB) << round;
        ASSERT_EQ(sumA, sumB) << round;
        for (int i = 0; i < 16; ++i) {
            ASSERT_EQ(outA[i], outB[i]) << round << " " << i;
            ASSERT_EQ(a[i], 0u);
        }
    }
}

TEST(SimdKernels, CoverageGroupsMatchThePortableGroups) {
    std::mt19937 random(5);
    compareGroupKernels<false>(random);
    compareGroupKernels<true>(random);
}
#endif

}  // namespace
}  // namespace lumo
