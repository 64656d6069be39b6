#pragma once

#include "coverage/CoverageAlpha.h"
#include "coverage/CoverageGrid.h"
#include "coverage/EdgeStore.h"
#include "coverage/LineClipper.h"
#include "coverage/RowSegments.h"
#include "coverage/SparseCells.h"

#include <agg_basics.h>
#include <agg_rasterizer_sl_clip.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumo {

// lumo's scan-line coverage rasteriser: the interface and the exact coverage
// of AGG's rasterizer_scanline_aa with the double-precision clipper, without
// sorting cells. The clipped lines are kept; the sweep turns them into cells
// band by band, accumulates the cells in a dense grid (CoverageGrid) and reads
// each row back with a running sum. Shapes too wide or too sparse for a grid
// take a sorted path (SparseCells), also band by band, so the scratch memory
// stays bounded whatever the shape.
//
// Unlike AGG's rasteriser, a shape too large for the storage is cut without
// disabling the shapes after it, and lines wider than 16,384 px are counted
// once. Gamma functions must map zero coverage to zero.
class SweepRasterizer {
public:
    SweepRasterizer();
    SweepRasterizer(const SweepRasterizer&) = delete;
    SweepRasterizer& operator=(const SweepRasterizer&) = delete;

    void reset();
    void reset_clipping();
    void clip_box(double x1, double y1, double x2, double y2);
    void filling_rule(agg::filling_rule_e rule) { fillRule_ = rule; }
    // Whether the shapes are thin outlines (strokes, dashes), whose short
    // lines turn every way: a grid shape's short lines are then cut into
    // row pieces before their walk (RowSegments). Filled outlines of few
    // lines mostly turn little from one line to the next, which the plain
    // walk predicts; those of many (kPiecesFromLines, a flattened path) are
    // cut into pieces too.
    void thinOutline(bool thin) { thinOutline_ = thin; }
    void auto_close(bool flag) { autoClose_ = flag; }

    template <class GammaF>
    void gamma(const GammaF& function) {
        for (int i = 0; i < 256; ++i) gamma_[i] = int(agg::uround(function(double(i) / 255) * 255));
        gammaChanged();
    }
    unsigned apply_gamma(unsigned cover) const { return unsigned(gamma_[cover]); }

    void move_to_d(double x, double y);
    void line_to_d(double x, double y) {
        clipper_.line_to(edges_, x, y);
        lineTo_ = true;
    }
    // Line-tos to the n points p, in order, as n calls of line_to_d.
    void lines_to_d(const agg::point_d* p, size_t n) {
        if (n == 0) return;
        clipper_.lines_to(edges_, p, n);
        lineTo_ = true;
    }
    void close_polygon();
    void add_vertex(double x, double y, unsigned cmd) {
        if (agg::is_move_to(cmd)) {
            move_to_d(x, y);
        } else if (agg::is_vertex(cmd)) {
            line_to_d(x, y);
        } else if (agg::is_close(cmd)) {
            close_polygon();
        }
    }

    // The closed polygon through the four points p, as a move to the first,
    // lines to the others and a close would add it; in one step when they
    // all lie in the clip box.
    void add_quad(const agg::point_d* p) { addClosed(p, 4); }

    // The same for the n points p (n > 0).
    void add_polygon(const agg::point_d* p, unsigned n) { addClosed(p, n); }

    template <class VertexSource>
    void add_path(VertexSource& source, unsigned pathId = 0) {
        double x = 0.0, y = 0.0;
        unsigned cmd;
        source.rewind(pathId);
        if (swept_) reset();
        while (!agg::is_stop(cmd = source.vertex(&x, &y))) add_vertex(x, y, cmd);
    }

    int min_x() const { return edges_.minX(); }
    int min_y() const { return edges_.minY(); }
    int max_x() const { return edges_.maxX(); }
    int max_y() const { return edges_.maxY(); }

    // For tests: sweeps with sorted cells instead of the grid, and (when
    // `bandRows` is positive) in bands of at most that many rows; with
    // `byKind`, a grid in one band walks its lines by kind whatever their
    // number.
    void forceLayout(bool sortedCells, int bandRows, bool byKind = false) {
        forceSorted_ = sortedCells;
        forceBandRows_ = bandRows;
        forceByKind_ = byKind;
    }

    // A shape of this many lines walks its short lines as row pieces even
    // when it is not a thin outline.
    static constexpr size_t kPiecesFromLines = 64;

    // Lines cut into rows before their walk so far (RowSegments), for tests.
    uint64_t rowSegmentLines() const { return segments_.taken(); }

    // The clipped lines kept so far, for tests.
    const EdgeStore& edgeStore() const { return edges_; }

    // True when the last shape swept was too large for the storage and cut.
    bool cut() const { return edges_.cut() || cells_.cut(); }

    bool rewind_scanlines();

    template <class Scanline>
    bool sweep_scanline(Scanline& sl) {
        for (;;) {
            if (scanY_ > edges_.maxY()) return false;
            if (scanY_ >= bandEnd_) buildBand(scanY_);
            sl.reset_spans();
            withAlpha([&](const auto& alpha) { sweepRow(sl, alpha); });
            if (sl.num_spans()) break;
            ++scanY_;
        }
        sl.finalize(scanY_);
        ++scanY_;
        return true;
    }

    // Sweeps the whole shape into `sink` without a scan-line: sink.rows(y, 1)
    // before each row, then the row's pixels as sweep_scanline hands them to
    // a scan-line (add_cell, add_span, add_cells, in order of x). Rows may
    // come without any pixel.
    template <class Sink>
    void sweepRows(Sink& sink) {
        if (!rewind_scanlines()) return;
        withAlpha([&](const auto& alpha) { sweepAllRows(sink, alpha); });
    }

    // Closes the shape and tells whether its cells lie within `columns` columns from min_x()
    // (and it has any), as sweepValues takes them. Only a whole shape of closed outlines
    // leaves nothing to the right of its cells: one left open or cut short may cover pixels
    // beyond them.
    bool fitsColumns(int columns) {
        if (!autoClose_) return false;
        close_polygon();
        return !edges_.empty() && !edges_.cut() && int64_t(edges_.maxX()) - edges_.minX() < columns;
    }

    // Columns sweepValues hands over.
    static constexpr int kValueColumns = 16;

    // Sweeps a shape whose cells lie within kValueColumns columns from min_x() (fitsColumns)
    // as whole rows of accumulated values: sink.values(y, 1, values, evenOdd) for each row a
    // cell touched, values[i] (i < kValueColumns) being the sum the row's sweep accumulates
    // at column min_x() + i. The same pixels as sweepRows, with no test per cell. With a
    // gamma, cells too sparse for the grid or a shape too wide, the rows go as sweepRows
    // gives them.
    template <class Sink>
    void sweepValues(Sink& sink) {
        static_assert(kValueColumns < CoverageGrid::kTakeWidth, "a row is read in one mark word");
        if (!rewind_scanlines()) return;
        if (!dense_ || !gammaIdentity_ || int64_t(edges_.maxX()) - edges_.minX() >= kValueColumns) {
            sweepRows(sink);
            return;
        }
        const bool evenOdd = fillRule_ == agg::fill_even_odd;
        alignas(16) int32_t values[kValueColumns];
        for (; scanY_ <= edges_.maxY(); ++scanY_) {
            if (scanY_ >= bandEnd_) buildBand(scanY_);
            if (grid_.takeRow(scanY_, values)) sink.values(scanY_, 1, values, evenOdd);
        }
    }

    // Sweeps the whole shape into `sink` group by group of 16 columns, without a scan-line:
    // sink.row(y) for each row, then the alphas of the pixel groups its cells touched and the
    // stretches of one alpha between them (CoverageGrid::sweepGroups). The same pixels as
    // sweepRows, with no scan-line pieces: a thin outline across a wide box touches a few
    // columns of many groups in every row. False, sweeping nothing, for a shape too sparse for
    // the grid; it then goes through sweepRows.
    template <class Sink>
    bool sweepGroups(Sink& sink) {
        if (!rewind_scanlines() || !dense_) return false;
        withAlpha([&](const auto& alpha) { sweepAllGroups(sink, alpha); });
        return true;
    }

    // Sweeps the whole shape into `sink` as whole spans: sink.row(y) for each row, then
    // sink.span(x, length, covers) for each span a scan-line would hold after sweepRows (the
    // maximal runs of columns of non-zero alpha), in order of x (CoverageGrid::sweepSpans).
    // False, sweeping nothing, for a shape too sparse for the grid; it then goes through
    // sweepRows.
    template <class Sink>
    bool sweepSpans(Sink& sink) {
        if (!rewind_scanlines() || !dense_) return false;
        withAlpha([&](const auto& alpha) { sweepAllSpans(sink, alpha); });
        return true;
    }

private:
    // Inlined in each: a quad's four points are handled unrolled.
    __attribute__((always_inline)) void addClosed(const agg::point_d* p, unsigned n) {
        if (swept_) reset();
        if (autoClose_) close_polygon();
        if (n > 1 && clipper_.closedPolygonInside(edges_, p, n)) {
            startX_ = p[0].x;
            startY_ = p[0].y;
            lineTo_ = false;
            return;
        }
        move_to_d(p[0].x, p[0].y);
        for (unsigned i = 1; i < n; ++i) line_to_d(p[i].x, p[i].y);
        close_polygon();
    }

    // Calls f with the alpha calculation of the shape's fill rule and gamma.
    template <class F>
    void withAlpha(F&& f) const {
        if (fillRule_ == agg::fill_even_odd) {
            f(CoverageAlpha<true>{gamma8_, gammaIdentity_});
        } else {
            f(CoverageAlpha<false>{gamma8_, gammaIdentity_});
        }
    }

    template <class Sink, class Alpha>
    void sweepAllRows(Sink& sink, const Alpha& alpha) {
        for (; scanY_ <= edges_.maxY(); ++scanY_) {
            if (scanY_ >= bandEnd_) buildBand(scanY_);
            sink.rows(scanY_, 1);
            sweepRow(sink, alpha);
        }
    }

    template <class Sink, class Alpha>
    void sweepAllGroups(Sink& sink, const Alpha& alpha) {
        for (; scanY_ <= edges_.maxY(); ++scanY_) {
            if (scanY_ >= bandEnd_) buildBand(scanY_);
            sink.row(scanY_);
            grid_.sweepGroups(scanY_, alpha, sink);
        }
    }

    template <class Sink, class Alpha>
    void sweepAllSpans(Sink& sink, const Alpha& alpha) {
        for (; scanY_ <= edges_.maxY(); ++scanY_) {
            if (scanY_ >= bandEnd_) buildBand(scanY_);
            sink.row(scanY_);
            grid_.sweepSpans(scanY_, alpha, sink);
        }
    }

    template <class Scanline, class Alpha>
    void sweepRow(Scanline& sl, const Alpha& alpha) {
        if (dense_) {
            grid_.sweepRow(scanY_, alpha, sl);
        } else {
            cells_.sweepRow(scanY_, alpha, sl);
        }
    }

    void gammaChanged();
    void planBands();
    void buildBand(int row);
    template <class Sink>
    void walkBand(Sink& sink, int top, int end);
    void walkPieces(CoverageGrid& grid, int top, int end);

    EdgeStore edges_;
    LineClipper clipper_;
    int gamma_[256];
    uint8_t gamma8_[256];
    bool gammaIdentity_ = true;
    agg::filling_rule_e fillRule_ = agg::fill_non_zero;
    bool autoClose_ = true;
    bool lineTo_ = false;
    bool swept_ = false;
    double startX_ = 0.0;
    double startY_ = 0.0;

    // The sweep: the current row and band, and how the shape is banded.
    int scanY_ = 0;
    int bandEnd_ = 0;
    int bandRows_ = 1;
    bool dense_ = true;
    bool banded_ = false;
    bool forceSorted_ = false;
    int forceBandRows_ = 0;
    bool forceByKind_ = false;
    bool thinOutline_ = false;
    // Line indices in the order of their first row (banded shapes), the
    // next of them to join a band, and the lines that reach the band being
    // built; or, when `byKind_`, in the order of their kinds (LineKinds.h).
    bool byKind_ = false;
    std::vector<uint32_t> order_;
    std::vector<uint8_t> kinds_;
    size_t nextLine_ = 0;
    std::vector<uint32_t> active_;

    CoverageGrid grid_;
    RowSegments segments_;
    SparseCells cells_;
};

}  // namespace lumo
