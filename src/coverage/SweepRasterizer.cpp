#include "coverage/SweepRasterizer.h"

#include "coverage/CellWalk.h"
#include "coverage/LineKinds.h"

#include <algorithm>
#include <type_traits>

namespace lumo {

namespace {

// The grid is read by its rows' marks of touched pixel groups, and only
// touched groups are read: it takes the sorted path only when the pixels
// whose marks are scanned outnumber the cells the lines cross many times
// over (huge, nearly empty shapes) or a row is too wide to hold.
constexpr uint64_t kDenseRatio = 1 << 16;
constexpr uint64_t kDenseAllowance = uint64_t(1) << 26;

// A shape in one band of the grid walks its lines by kind (LineKinds.h) when
// it has at least this many lines, at least one per this many grid cells:
// short lines turning every way, as flattened curves and their strokes make,
// packed in a grid that stays in the cache. Longer lines, or a few lines
// repeating one pattern (dashes along a segment), gain nothing from it.
constexpr size_t kKindOrderLines = 256;
constexpr uint64_t kKindOrderCells = 4;

// The line indices kept between shapes: 1 MiB.
constexpr size_t kKeptOrder = size_t(1) << 18;

int firstRow(const EdgeStore::Line& l) {
    return std::min(l.y1, l.y2) >> kSubpixelShift;
}
int lastRow(const EdgeStore::Line& l) {
    return std::max(l.y1, l.y2) >> kSubpixelShift;
}

}  // namespace

SweepRasterizer::SweepRasterizer() {
    for (int i = 0; i < 256; ++i) gamma_[i] = i;
    gammaChanged();
}

void SweepRasterizer::gammaChanged() {
    gammaIdentity_ = true;
    for (int i = 0; i < 256; ++i) {
        gamma8_[i] = uint8_t(gamma_[i]);
        if (gamma_[i] != i) gammaIdentity_ = false;
    }
}

void SweepRasterizer::reset() {
    edges_.reset();
    grid_.trim();
    cells_.trim();
    if (order_.capacity() > kKeptOrder) {
        std::vector<uint32_t>().swap(order_);
        std::vector<uint32_t>().swap(active_);
        std::vector<uint8_t>().swap(kinds_);
    }
    lineTo_ = false;
    swept_ = false;
}

void SweepRasterizer::reset_clipping() {
    reset();
    clipper_.reset_clipping();
}

void SweepRasterizer::clip_box(double x1, double y1, double x2, double y2) {
    reset();
    clipper_.clip_box(x1, y1, x2, y2);
}

void SweepRasterizer::move_to_d(double x, double y) {
    if (swept_) reset();
    if (autoClose_) close_polygon();
    clipper_.move_to(startX_ = x, startY_ = y);
    lineTo_ = false;
}

void SweepRasterizer::close_polygon() {
    if (lineTo_) {
        clipper_.line_to(edges_, startX_, startY_);
        lineTo_ = false;
    }
}

bool SweepRasterizer::rewind_scanlines() {
    if (autoClose_) close_polygon();
    if (edges_.empty()) return false;
    swept_ = true;
    planBands();
    scanY_ = edges_.minY();
    bandEnd_ = scanY_;
    return true;
}

// Chooses between the grid and the sorted cells, and the height of a band.
void SweepRasterizer::planBands() {
    grid_.clear();
    cells_.begin();
    const int64_t height = int64_t(edges_.maxY()) - edges_.minY() + 1;
    const int64_t width = int64_t(edges_.maxX()) - edges_.minX() + 2;
    const uint64_t estimate = edges_.cellEstimate();
    const uint64_t scanned = uint64_t(width + 1023) & ~uint64_t(1023);
    dense_ = width <= CoverageGrid::kMaxWidth &&
             scanned * uint64_t(height) <= kDenseRatio * estimate + kDenseAllowance &&
             !forceSorted_;
    int64_t rows;
    if (dense_) {
        rows = CoverageGrid::bandRows(int(width));
    } else {
        const uint64_t perRow = std::max<uint64_t>(1, estimate / uint64_t(height));
        rows = int64_t(std::max<uint64_t>(1, SparseCells::kMaxCells / 2 / perRow));
    }
    if (forceBandRows_ > 0) rows = std::min<int64_t>(rows, forceBandRows_);
    bandRows_ = int(std::min(rows, height));
    banded_ = bandRows_ < height;
    active_.clear();
    order_.clear();
    nextLine_ = 0;
    const size_t count = edges_.lines().size();
    byKind_ = dense_ && !banded_ &&
              (forceByKind_ || (count >= kKindOrderLines &&
                                uint64_t(width) * uint64_t(height) <= kKindOrderCells * count));
    if (byKind_) {
        orderByKind(edges_.lines(), order_, kinds_);
    } else if (banded_) {
        // Lines in the order of the row they start in, to join the bands
        // they reach.
        const std::vector<EdgeStore::Line>& lines = edges_.lines();
        order_.resize(lines.size());
        for (size_t i = 0; i < lines.size(); ++i) order_[i] = uint32_t(i);
        std::sort(order_.begin(), order_.end(), [&lines](uint32_t a, uint32_t b) {
            return firstRow(lines[a]) < firstRow(lines[b]);
        });
    }
}

template <class Sink>
void SweepRasterizer::walkBand(Sink& sink, int top, int end) {
    const std::vector<EdgeStore::Line>& lines = edges_.lines();
    if (byKind_) {
        for (const uint32_t i : order_) {
            const EdgeStore::Line& l = lines[i];
            walkLine(sink, l.x1, l.y1, l.x2, l.y2, top, end);
        }
        return;
    }
    if (!banded_) {
        if constexpr (std::is_same_v<Sink, CoverageGrid>) {
            if (thinOutline_ || lines.size() >= kPiecesFromLines) {
                walkPieces(sink, top, end);
                return;
            }
        }
        for (const EdgeStore::Line& l : lines) walkLine(sink, l.x1, l.y1, l.x2, l.y2, top, end);
        return;
    }
    while (nextLine_ < order_.size() && firstRow(lines[order_[nextLine_]]) < end) {
        active_.push_back(order_[nextLine_++]);
    }
    size_t kept = 0;
    for (size_t i = 0; i < active_.size(); ++i) {
        const EdgeStore::Line& l = lines[active_[i]];
        walkLine(sink, l.x1, l.y1, l.x2, l.y2, top, end);
        if (lastRow(l) >= end) active_[kept++] = active_[i];
    }
    active_.resize(kept);
}

// A thin outline's short lines cut into row pieces, walked piece by piece of
// one kind; the others walked at once.
void SweepRasterizer::walkPieces(CoverageGrid& grid, int top, int end) {
    for (const EdgeStore::Line& l : edges_.lines()) {
        if (RowSegments::takes(l.x1, l.y1, l.x2, l.y2)) {
            segments_.add(grid, l.x1, l.y1, l.x2, l.y2);
        } else {
            walkLine(grid, l.x1, l.y1, l.x2, l.y2, top, end);
        }
    }
    segments_.walk(grid);
}

void SweepRasterizer::buildBand(int row) {
    const int end = int(std::min<int64_t>(int64_t(edges_.maxY()) + 1, int64_t(row) + bandRows_));
    if (dense_) {
        const int width = int(int64_t(edges_.maxX()) - edges_.minX() + 2);
        grid_.begin(edges_.minX(), width, row, end - row);
        walkBand(grid_, row, end);
    } else {
        cells_.begin();
        walkBand(cells_, row, end);
        cells_.sort();
    }
    bandEnd_ = end;
}

}  // namespace lumo
