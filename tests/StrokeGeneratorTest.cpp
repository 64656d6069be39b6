// lumo's stroke generator against AGG's conv_stroke: the same commands and
// vertices, bit for bit, on random paths with every cap, join, inner join,
// width (negative ones included), miter limit and approximation scale; and
// on flattened curves, whose joins turn by small angles (round joins of no
// point between their ends, or of a few, sharing their ends' angles). The
// outline handed over in one loop (forEach) is compared too.
#include "geometry/CurveFlattener.h"
#include "geometry/StrokeGenerator.h"

#include "GeneratorPaths.h"

#include <gtest/gtest.h>

#include <agg_conv_curve.h>
#include <agg_conv_stroke.h>
#include <agg_math.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace lumo {
namespace {

using testing::ListSource;
using testing::PathVertex;
using testing::randomPath;
using testing::record;

template <class Stroke>
void configure(Stroke& stroke, std::mt19937& rng) {
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const double widths[] = {0.0, 0.01, 1.0, 3.5, 32.0, 1e3};
    const double limits[] = {0.0, 0.5, 1.0, 1.5, 4.0, 10.0, 1e3};
    const double scales[] = {1.0, 0.25, 3.0, 1e-4};
    stroke.width(widths[pick(6)] * (pick(3) == 0 ? -1.0 : 1.0));
    stroke.line_cap(agg::line_cap_e(pick(3)));
    stroke.line_join(agg::line_join_e(pick(2) ? 2 * pick(2) : pick(5)));
    stroke.inner_join(agg::inner_join_e(pick(3) == 0 ? pick(4) : agg::inner_miter));
    stroke.miter_limit(limits[pick(7)]);
    stroke.approximation_scale(scales[pick(4)]);
}

TEST(StrokeGeneratorTest, GivesAggsVerticesOnRandomPaths) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < testing::sanitizedRounds(20000); ++round) {
        const auto path = randomPath(rng, false);
        const unsigned settings = rng();
        ListSource aggSource(path), lumoSource(path);
        agg::conv_stroke<ListSource> expected(aggSource);
        StrokeGenerator<ListSource> actual(lumoSource);
        std::mt19937 a(settings), b(settings);
        configure(expected, a);
        configure(actual, b);
        const auto want = record(expected);
        ASSERT_EQ(want, record(actual)) << "round " << round;
        // A second pass over the same generator gives the same outline, in
        // one loop too.
        ASSERT_EQ(want, record(actual)) << "round " << round;
        ASSERT_EQ(want, testing::recordEach(actual)) << "round " << round;
    }
}

TEST(StrokeGeneratorTest, GivesAggsVerticesOnFlattenedCurves) {
    std::mt19937 rng(9122027);
    const double flattening[] = {1.0, 0.25, 4.0};
    for (int round = 0; round < testing::sanitizedRounds(2000); ++round) {
        const auto path = randomPath(rng, true);
        const unsigned settings = rng();
        const double scale = flattening[rng() % 3];
        ListSource aggSource(path), lumoSource(path);
        agg::conv_curve<ListSource> aggCurve(aggSource);
        CurveFlattener<ListSource> lumoCurve(lumoSource);
        aggCurve.approximation_scale(scale);
        lumoCurve.approximation_scale(scale);
        agg::conv_stroke<agg::conv_curve<ListSource>> expected(aggCurve);
        StrokeGenerator<CurveFlattener<ListSource>> actual(lumoCurve);
        std::mt19937 a(settings), b(settings);
        configure(expected, a);
        configure(actual, b);
        const auto want = record(expected, 1000000);
        ASSERT_EQ(want, record(actual, 1000000)) << "round " << round;
        ASSERT_EQ(want, testing::recordEach(actual, 1000000)) << "round " << round;
    }
}

// The length of the miter at v1 of the path v0, v1, v2, computed as the
// stroker computes it, or NaN when its offset lines are parallel.
double miterLength(const PathVertex& v0, const PathVertex& v1, const PathVertex& v2,
                   double halfWidth) {
    const double len1 = agg::calc_distance(v0.x, v0.y, v1.x, v1.y);
    const double len2 = agg::calc_distance(v1.x, v1.y, v2.x, v2.y);
    const double dx1 = halfWidth * (v1.y - v0.y) / len1, dy1 = halfWidth * (v1.x - v0.x) / len1;
    const double dx2 = halfWidth * (v2.y - v1.y) / len2, dy2 = halfWidth * (v2.x - v1.x) / len2;
    double xi = 0.0, yi = 0.0;
    if (!agg::calc_intersection(v0.x + dx1, v0.y - dy1, v1.x + dx1, v1.y - dy1, v1.x + dx2,
                                v1.y - dy2, v2.x + dx2, v2.y - dy2, &xi, &yi)) {
        return std::nan("");
    }
    return agg::calc_distance(v1.x, v1.y, xi, yi);
}

// Miter limits within a few ulps of a corner's miter length, on either side
// and on both sides of the outline (the inner side reverts to a bevel beyond
// its own limit): where the stroker decides without the square root, it must
// decide as AGG does.
TEST(StrokeGeneratorTest, GivesAggsVerticesAtTheMiterLimit) {
    std::mt19937 rng(20261211);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double widths[] = {0.01, 1.0, 3.0, 40.0};
    int rounds = 0;
    for (int round = 0; round < testing::sanitizedRounds(4000); ++round) {
        const double reach = std::pow(10.0, 3.0 * unit(rng));
        const std::vector<PathVertex> path = {
            {unit(rng) * reach, unit(rng) * reach, agg::path_cmd_move_to},
            {unit(rng) * reach, unit(rng) * reach, agg::path_cmd_line_to},
            {unit(rng) * reach, unit(rng) * reach, agg::path_cmd_line_to}};
        const double width = widths[rng() % 4] * (rng() % 4 == 0 ? -1.0 : 1.0);
        const double halfWidth = width / 2;
        const double length = miterLength(path[0], path[1], path[2], halfWidth);
        if (!std::isfinite(length)) continue;
        ++rounds;
        const auto join = rng() % 2 ? agg::miter_join_revert : agg::miter_join;
        double limit = length / std::fabs(halfWidth);
        for (int i = 0; i < 4; ++i) limit = std::nextafter(limit, 0.0);
        for (int step = 0; step < 9; ++step, limit = std::nextafter(limit, HUGE_VAL)) {
            ListSource aggSource(path), lumoSource(path);
            agg::conv_stroke<ListSource> expected(aggSource);
            StrokeGenerator<ListSource> actual(lumoSource);
            expected.width(width);
            actual.width(width);
            expected.line_join(join);
            actual.line_join(join);
            expected.miter_limit(limit);
            actual.miter_limit(limit);
            ASSERT_EQ(record(expected), record(actual)) << "round " << round << " step " << step;
        }
    }
    EXPECT_GT(rounds, testing::sanitizedRounds(4000) / 2);
}

// The compiler computes the cosine and sine of each angle of a round join or
// cap with one sincos call, while AGG's stroker, built elsewhere, may call
// cos and sin apart: the points are the same only if libm gives the same
// values both ways. Checked on random angles of the range arcs reach, on
// tiny and huge ones, and on those within a few ulps of multiples of an
// eighth turn.
TEST(StrokeGeneratorTest, SincosGivesTheValuesOfSeparateSinAndCos) {
    // Called through volatile pointers, which the compiler cannot fuse.
    double (*volatile sine)(double) = ::sin;
    double (*volatile cosine)(double) = ::cos;
    const auto bits = [](double v) {
        uint64_t u;
        std::memcpy(&u, &v, sizeof u);
        return u;
    };
    std::mt19937_64 rng(20261209);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < testing::sanitizedRounds(3000000); ++i) {
        double a;
        if (i % 3 == 0) {
            a = unit(rng) * 4 * agg::pi;
        } else if (i % 3 == 1) {
            a = std::ldexp(unit(rng), int(rng() % 90) - 60);
        } else {
            a = (int(rng() % 33) - 16) * agg::pi / 4;
            for (int k = int(rng() % 9) - 4; k != 0; k += k < 0 ? 1 : -1) {
                a = std::nextafter(a, k < 0 ? -HUGE_VAL : HUGE_VAL);
            }
        }
        double s, c;
        ::sincos(a, &s, &c);
        ASSERT_EQ(bits(sine(a)), bits(s)) << a;
        ASSERT_EQ(bits(cosine(a)), bits(c)) << a;
    }
}

// Both caps of a straight line at once give the points of the cap at each
// end made on its own, bit for bit: on lines of every direction, horizontal
// and vertical ones and ends at signed zeros included, both cap kinds and
// widths of either sign.
TEST(StrokeGeneratorTest, StraightCapsGiveEachCapsPoints) {
    std::mt19937 rng(2122026);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double picks[] = {0.0, -0.0, 1.0, -3.5, 1e-300, 7e5};
    auto coordinate = [&] { return rng() % 3 == 0 ? picks[rng() % 6] : unit(rng) * 100; };
    auto bits = [](double v) {
        uint64_t b;
        std::memcpy(&b, &v, 8);
        return b;
    };
    size_t zeros = 0;
    for (int round = 0; round < 100000; ++round) {
        StrokeJoins joins;
        joins.width(rng() % 4 == 0 ? -2.0 : 0.5 + unit(rng) + 1.0);
        joins.line_cap(rng() % 2 ? agg::square_cap : agg::butt_cap);
        const agg::vertex_dist v0(coordinate(), coordinate());
        agg::vertex_dist v1(coordinate(), coordinate());
        // Many horizontal and vertical lines.
        if (rng() % 3 == 0) v1.x = v0.x;
        if (rng() % 3 == 0) v1.y = v0.y;
        const double len = agg::calc_distance(v0.x, v0.y, v1.x, v1.y);
        if (!(len > agg::vertex_dist_epsilon)) continue;
        agg::point_d want[4], got[4];
        joins.flatCap(v0, v1, len, want[0], want[1]);
        joins.flatCap(v1, v0, len, want[2], want[3]);
        joins.straightCaps(v0, v1, len, got[0], got[1], got[2], got[3]);
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(bits(want[i].x), bits(got[i].x)) << "round " << round << " point " << i;
            ASSERT_EQ(bits(want[i].y), bits(got[i].y)) << "round " << round << " point " << i;
            zeros += want[i].x == 0.0 || want[i].y == 0.0;
        }
    }
    EXPECT_GT(zeros, 1000u);
}

}  // namespace
}  // namespace lumo
