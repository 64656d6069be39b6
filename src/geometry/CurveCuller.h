#pragma once

#include <agg_basics.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace lumo {

// Keeps the flattening of huge curves bounded for fills. Curve flattening
// makes a number of segments that grows with the square root of a curve's
// size, so a curve millions of pixels long would take seconds, although only
// the part near the visible box matters. This adapter, placed before the
// flattener, hands small curves on unchanged; a big one is split in halves
// until each piece either lies wholly outside the box, where it is replaced
// by its control polygon, or is small enough to flatten. The control polygon
// and the curve piece bound a region inside the piece's hull, which does not
// reach the box, so the winding of every visible point, and with it the
// filled area, stays exactly as it was.
template <class Source>
class CurveCuller {
public:
    // Curves whose control points span no more than this many pixels are
    // left alone.
    static constexpr double smallCurve = 1 << 20;
    // Per draw, the most halvings, and the most split pieces handed on as
    // curves (each may flatten into a couple of thousand segments).
    static constexpr size_t maxSplits = 1 << 16;
    static constexpr size_t maxSplitCurves = 4096;

    // `unitsPerPixel` converts the threshold to the units of the source.
    CurveCuller(Source& source, const agg::rect_d& box, double unitsPerPixel = 1.0)
        : source_(&source), box_(box), smallSpan_(smallCurve * unitsPerPixel) {}

    void rewind(unsigned pathId) {
        source_->rewind(pathId);
        queue_.clear();
        head_ = 0;
        smallNext_ = smallPiece_.points = 0;
        lastX_ = lastY_ = 0.0;
        splitsLeft_ = maxSplits;
        curvesLeft_ = maxSplitCurves;
    }

    unsigned vertex(double* x, double* y) {
        if (smallNext_ < smallPiece_.points) return nextSmall(x, y);
        if (head_ < queue_.size()) return next(x, y);
        if (!queue_.empty()) {
            queue_.clear();
            head_ = 0;
        }
        const unsigned cmd = source_->vertex(x, y);
        if (agg::is_curve(cmd)) return curve(cmd, *x, *y, x, y);
        if (agg::is_vertex(cmd)) {
            lastX_ = *x;
            lastY_ = *y;
        }
        return cmd;
    }

private:
    struct Vertex {
        double x, y;
        unsigned cmd;
    };
    // The vertices waiting to be handed on: a small curve's fit inline, only
    // split curves need the heap.
    class Queue {
    public:
        void push_back(const Vertex& v) {
            if (spill_.empty() && size_ < inlineSize) {
                inline_[size_++] = v;
                return;
            }
            if (spill_.empty()) spill_.assign(inline_, inline_ + size_);
            spill_.push_back(v);
            ++size_;
        }
        const Vertex& operator[](size_t i) const { return spill_.empty() ? inline_[i] : spill_[i]; }
        size_t size() const { return size_; }
        bool empty() const { return size_ == 0; }
        void clear() {
            size_ = 0;
            spill_.clear();
        }

    private:
        static constexpr size_t inlineSize = 4;
        Vertex inline_[inlineSize];
        size_t size_ = 0;
        std::vector<Vertex> spill_;
    };

    // A quadratic (3 points) or cubic (4 points) piece, start point first.
    struct Piece {
        agg::point_d p[4];
        int points;
    };

    unsigned next(double* x, double* y) {
        const Vertex& v = queue_[head_++];
        *x = v.x;
        *y = v.y;
        if (agg::is_vertex(v.cmd)) {
            lastX_ = v.x;
            lastY_ = v.y;
        }
        return v.cmd;
    }

    unsigned nextSmall(double* x, double* y) {
        const agg::point_d& p = smallPiece_.p[smallNext_++];
        *x = lastX_ = p.x;
        *y = lastY_ = p.y;
        return smallCmd_;
    }

    // Reads the rest of a curve that began with (cmd, x, y) and queues what
    // replaces it.
    unsigned curve(unsigned cmd, double x, double y, double* outX, double* outY) {
        // Built where a small one is handed on from (all of it was).
        Piece& piece = smallPiece_;
        smallNext_ = 1;
        piece.p[0] = agg::point_d(lastX_, lastY_);
        piece.p[1] = agg::point_d(x, y);
        piece.points = agg::is_curve4(cmd) ? 4 : 3;
        for (int i = 2; i < piece.points; ++i) {
            // Read in place: copying a point just written by halves would
            // stall the load that reads it whole.
            piece.p[i] = agg::point_d(0, 0);
            const unsigned more = source_->vertex(&piece.p[i].x, &piece.p[i].y);
            if (more != cmd) {
                const double px = piece.p[i].x, py = piece.p[i].y;
                // A curve cut short: pass on what came, as the flattener would
                // take it (the point of the command that ended it completes
                // the curve), and that command. Too big to flatten, the points
                // go on as lines instead.
                piece.points = i + 1;
                const unsigned as =
                    span(piece) <= smallSpan_ ? cmd : unsigned(agg::path_cmd_line_to);
                for (int j = 1; j < i; ++j) queue_.push_back({piece.p[j].x, piece.p[j].y, as});
                queue_.push_back({px, py, more});
                piece.points = 0;
                return next(outX, outY);
            }
        }
        if (span(piece) <= smallSpan_) {
            // Handed on from the piece itself, the usual case.
            smallCmd_ = cmd;
            return nextSmall(outX, outY);
        }
        const Piece whole = piece;
        piece.points = 0;
        split(whole, cmd);
        return next(outX, outY);
    }

    static double span(const Piece& piece) {
        double x1 = piece.p[0].x, x2 = x1, y1 = piece.p[0].y, y2 = y1;
        for (int i = 1; i < piece.points; ++i) {
            x1 = std::min(x1, piece.p[i].x);
            x2 = std::max(x2, piece.p[i].x);
            y1 = std::min(y1, piece.p[i].y);
            y2 = std::max(y2, piece.p[i].y);
        }
        return std::max(x2 - x1, y2 - y1);
    }

    bool outsideBox(const Piece& piece) const {
        bool left = true, right = true, above = true, below = true;
        for (int i = 0; i < piece.points; ++i) {
            left = left && piece.p[i].x < box_.x1;
            right = right && piece.p[i].x > box_.x2;
            above = above && piece.p[i].y < box_.y1;
            below = below && piece.p[i].y > box_.y2;
        }
        return left || right || above || below;
    }

    void emit(const Piece& piece, unsigned cmd) {
        for (int i = 1; i < piece.points; ++i) queue_.push_back({piece.p[i].x, piece.p[i].y, cmd});
    }

    void emitPolygon(const Piece& piece) {
        for (int i = 1; i < piece.points; ++i) {
            queue_.push_back({piece.p[i].x, piece.p[i].y, agg::path_cmd_line_to});
        }
    }

    // Halves at t = 0.5 (de Casteljau); the halves share the middle point
    // exactly, so the pieces stay joined.
    static void halve(const Piece& piece, Piece& first, Piece& second) {
        agg::point_d q[4][4];
        for (int i = 0; i < piece.points; ++i) q[0][i] = piece.p[i];
        for (int level = 1; level < piece.points; ++level) {
            for (int i = 0; i < piece.points - level; ++i) {
                q[level][i] = agg::point_d((q[level - 1][i].x + q[level - 1][i + 1].x) * 0.5,
                                           (q[level - 1][i].y + q[level - 1][i + 1].y) * 0.5);
            }
        }
        const int n = piece.points;
        first.points = second.points = n;
        for (int i = 0; i < n; ++i) {
            first.p[i] = q[i][0];
            second.p[i] = q[n - 1 - i][i];
        }
    }

    // Depth first, first half first, so pieces come out in path order. Each
    // level halves the span, so the depth is bounded by the exponent range of
    // doubles; only pieces near the box are split further.
    void split(const Piece& whole, unsigned cmd) {
        constexpr int maxDepth = 2100;
        std::vector<std::pair<Piece, int>> stack;
        stack.push_back({whole, 0});
        while (!stack.empty()) {
            const Piece piece = stack.back().first;
            const int depth = stack.back().second;
            stack.pop_back();
            if (outsideBox(piece)) {
                emitPolygon(piece);
            } else if (span(piece) <= smallSpan_ && curvesLeft_ > 0) {
                --curvesLeft_;
                emit(piece, cmd);
            } else if (depth >= maxDepth || splitsLeft_ == 0 || curvesLeft_ == 0) {
                // Out of budget (a box so large that most of a giant curve is
                // near it): the control polygon keeps the draw bounded.
                emitPolygon(piece);
            } else {
                --splitsLeft_;
                Piece first, second;
                halve(piece, first, second);
                stack.push_back({second, depth + 1});
                stack.push_back({first, depth + 1});
            }
        }
    }

    Source* source_;
    agg::rect_d box_;
    double smallSpan_;
    size_t splitsLeft_ = maxSplits;
    size_t curvesLeft_ = maxSplitCurves;
    Queue queue_;
    size_t head_ = 0;
    // A small curve being handed on: its points after the start.
    Piece smallPiece_ = {};
    int smallNext_ = 0;
    unsigned smallCmd_ = 0;
    double lastX_ = 0.0, lastY_ = 0.0;
};

}  // namespace lumo
