#pragma once

#include "geometry/SmallBuffer.h"

#include <agg_basics.h>
#include <agg_math.h>
#include <agg_vertex_sequence.h>

namespace lumo {

// The points of one sub-path, each with the distance to the next one, kept
// in one contiguous block that is reused from sub-path to sub-path. A point
// closer than AGG's vertex_dist_epsilon to the one before it replaces that
// one, exactly as AGG's vertex_sequence<vertex_dist> does, so that the
// stroke and dash generators see the same points as AGG's.
class DistanceSequence {
public:
    using Point = agg::vertex_dist;

    unsigned size() const { return unsigned(points_.size()); }
    const Point& operator[](unsigned i) const { return points_[i]; }
    // The points before and after point i (i < size()), round the sub-path.
    const Point& prev(unsigned i) const { return points_[i == 0 ? size() - 1 : i - 1]; }
    const Point& next(unsigned i) const { return points_[i + 1 == size() ? 0 : i + 1]; }

    // Empties the sequence for a new sub-path.
    void clear() { points_.clear(); }

    void add(double x, double y) {
        if (points_.size() > 1 && !measure(points_.size() - 2, points_.back())) points_.pop_back();
        points_.push_back(Point(x, y));
    }

    void replaceLast(double x, double y) {
        if (!points_.empty()) points_.pop_back();
        add(x, y);
    }

    // Drops the trailing points that coincide with the one before them and,
    // for a closed sub-path, those that coincide with the first point.
    void close(bool closed) {
        while (points_.size() > 1) {
            if (measure(points_.size() - 2, points_.back())) break;
            const Point last = points_.back();
            points_.pop_back();
            replaceLast(last.x, last.y);
        }
        if (!closed) return;
        while (points_.size() > 1) {
            if (measure(points_.size() - 1, points_.front())) break;
            points_.pop_back();
        }
    }

    // Reads one sub-path of `source`: from the pending move-to at (startX,
    // startY) up to the next move-to (whose point and command are kept in
    // startX, startY and nextCmd for the next sub-path), an end of polygon or
    // the end of the path. Returns the end of polygon's close flag (0 for an
    // open sub-path).
    template <class Source>
    unsigned read(Source& source, double& startX, double& startY, unsigned& nextCmd) {
        clear();
        unsigned closed = 0;
        replaceLast(startX, startY);
        double x = 0.0, y = 0.0;
        for (;;) {
            const unsigned cmd = source.vertex(&x, &y);
            if (agg::is_vertex(cmd)) {
                nextCmd = cmd;
                if (agg::is_move_to(cmd)) {
                    startX = x;
                    startY = y;
                    break;
                }
                add(x, y);
            } else if (agg::is_stop(cmd)) {
                nextCmd = agg::path_cmd_stop;
                break;
            } else if (agg::is_end_poly(cmd)) {
                closed = agg::get_close_flag(cmd);
                break;
            }
        }
        close(closed != 0);
        return closed;
    }

private:
    // Stores in point i its distance to `to`; false (and a huge distance)
    // when the two coincide.
    bool measure(size_t i, const Point& to) {
        Point& from = points_[i];
        const double d = from.dist = agg::calc_distance(from.x, from.y, to.x, to.y);
        if (d > agg::vertex_dist_epsilon) return true;
        from.dist = 1.0 / agg::vertex_dist_epsilon;
        return false;
    }

    // A typical sub-path fits without the heap.
    SmallBuffer<Point, 64> points_;
};

}  // namespace lumo
