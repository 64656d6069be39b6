// The row pieces' two-pass walk against walkLine: every cell gets the same
// cover and area sums, for random batches of lines of every direction, every
// kind of row piece and the extremes the pieces take (rows, width, negative
// coordinates), with batches long enough to walk the filings part way.
#include "coverage/RowSegments.h"

#include "coverage/CellWalk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <utility>

namespace lumo {
namespace {

// Per-cell sums of cover and area, in the walk's row / run interface.
struct CellSums {
    std::map<std::pair<int, int>, std::pair<int64_t, int64_t>> cells;
    uint64_t contributions = 0;

    void take(int x, int y, int cover, int area) {
        auto& c = cells[{y, x}];
        c.first += cover;
        c.second += area;
        ++contributions;
    }

    struct Row {
        CellSums* sums;
        int y;
        void step(int incr) { y += incr; }
        void add(int x, int cover, int area) { sums->take(x, y, cover, area); }
        template <int kIncr>
        struct Run {
            CellSums* sums;
            int y;
            int x;
            void add(int cover, int area) {
                sums->take(x, y, cover, area);
                x += kIncr;
            }
            void end() {}
        };
        template <int kIncr>
        Run<kIncr> run(int x) const {
            return Run<kIncr>{sums, y, x};
        }
    };
    Row row(int y) { return Row{this, y}; }
    struct Rows {
        CellSums* sums;
        Row row(int y) const { return Row{sums, y}; }
    };
    Rows rows() { return Rows{this}; }
};

struct Line {
    int x1, y1, x2, y2;
};

// A line RowSegments takes: mostly a few pixels long, as thin outlines' are,
// sometimes up to its limits of rows and width.
Line randomLine(std::mt19937& random) {
    std::uniform_int_distribution<int> pick(0, 9);
    const int kind = pick(random);
    const int reachY = kind < 6 ? 6 * 256 : (RowSegments::kMaxRows - 1) * 256 + 255;
    const int reachX = kind < 6 ? 6 * 256 : kind < 9 ? 40 * 256 : RowSegments::kMaxWidth - 1;
    std::uniform_int_distribution<int> origin(-3000, 3000);
    std::uniform_int_distribution<int> dx(-reachX, reachX), dy(-reachY, reachY);
    Line l;
    for (;;) {
        l.x1 = origin(random);
        l.y1 = origin(random);
        l.x2 = l.x1 + dx(random);
        l.y2 = l.y1 + dy(random);
        // Steep, flat and axis-aligned lines, and lines on cell boundaries.
        if (kind == 3) l.x2 = l.x1 + (l.x2 & 1 ? 1 : -1);
        if (kind == 4) l.y2 = l.y1 + (l.y2 & 255) - (l.y1 & 255);
        if (kind == 5) l.x1 &= ~255;
        if (l.y1 != l.y2 && RowSegments::takes(l.x1, l.y1, l.x2, l.y2)) return l;
    }
}

TEST(RowSegments, CellSumsMatchTheLineWalk) {
    std::mt19937 random(20261210);
    RowSegments segments;
    std::uniform_int_distribution<int> batchSize(1, 600);
    uint64_t contributions = 0;
    for (int batch = 0; batch < 300; ++batch) {
        CellSums expected, actual;
        const int n = batchSize(random);
        for (int i = 0; i < n; ++i) {
            const Line l = randomLine(random);
            walkLine(expected, l.x1, l.y1, l.x2, l.y2, INT32_MIN / 512, INT32_MAX / 512);
            segments.add(actual, l.x1, l.y1, l.x2, l.y2);
        }
        segments.walk(actual);
        // Sums of zero are left out: a cell may take contributions that cancel.
        auto nonZero = [](const CellSums& s) {
            std::map<std::pair<int, int>, std::pair<int64_t, int64_t>> kept;
            for (const auto& c : s.cells) {
                if (c.second.first != 0 || c.second.second != 0) kept.insert(c);
            }
            return kept;
        };
        ASSERT_EQ(nonZero(expected), nonZero(actual)) << "batch " << batch;
        contributions += actual.contributions;
    }
    EXPECT_GT(segments.taken(), uint64_t(30000));
    EXPECT_GT(contributions, uint64_t(100000));
}

TEST(RowSegments, TakesShortLinesOnly) {
    const int rows = RowSegments::kMaxRows * 256;
    EXPECT_TRUE(RowSegments::takes(0, 0, 100, rows - 256));
    EXPECT_FALSE(RowSegments::takes(0, 0, 100, rows));
    EXPECT_FALSE(RowSegments::takes(0, rows, 100, 0));
    EXPECT_TRUE(RowSegments::takes(0, 0, RowSegments::kMaxWidth - 1, 10));
    EXPECT_FALSE(RowSegments::takes(0, 0, RowSegments::kMaxWidth, 10));
    EXPECT_FALSE(RowSegments::takes(RowSegments::kMaxWidth, 0, 0, 10));
    EXPECT_FALSE(RowSegments::takes(INT32_MIN, 0, INT32_MAX, 10));
    EXPECT_FALSE(RowSegments::takes(5, 0, 5, 10));
}

}  // namespace
}  // namespace lumo
