#pragma once

#include <agg_basics.h>
#include <agg_math.h>
#include <agg_vertex_sequence.h>

#include <vector>

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
    const Point& prev(unsigned i) const { return points_[(i + size() - 1) % size()]; }
    const Point& next(unsigned i) const { return points_[(i + 1) % size()]; }

    // Empties the sequence for a new sub-path. The first one reserves room
    // for a typical sub-path at once, instead of growing point by point.
    void clear() {
        points_.clear();
        if (points_.capacity() < kInitialCapacity) points_.reserve(kInitialCapacity);
    }

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

private:
    static constexpr size_t kInitialCapacity = 64;

    // Stores in point i its distance to `to`; false (and a huge distance)
    // when the two coincide.
    bool measure(size_t i, const Point& to) {
        Point& from = points_[i];
        const double d = from.dist = agg::calc_distance(from.x, from.y, to.x, to.y);
        if (d > agg::vertex_dist_epsilon) return true;
        from.dist = 1.0 / agg::vertex_dist_epsilon;
        return false;
    }

    std::vector<Point> points_;
};

}  // namespace lumo
