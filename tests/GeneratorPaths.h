#pragma once

// Random paths and vertex recording for the tests that compare lumo's
// stroke, dash and curve generators with AGG's, vertex by vertex.

#include <agg_basics.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace lumo {
namespace testing {

// How many random paths a differential test runs, out of `full`: a quarter
// under the sanitizers, which run several times slower.
constexpr int sanitizedRounds(int full) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return full / 4;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return full / 4;
#else
    return full;
#endif
#else
    return full;
#endif
}

struct PathVertex {
    double x, y;
    unsigned cmd;
};

// A vertex source over a list of commands.
class ListSource {
public:
    explicit ListSource(const std::vector<PathVertex>& vertices) : vertices_(vertices) {}
    void rewind(unsigned) { next_ = 0; }
    unsigned vertex(double* x, double* y) {
        if (next_ >= vertices_.size()) return agg::path_cmd_stop;
        const PathVertex& v = vertices_[next_++];
        if (agg::is_vertex(v.cmd)) {
            *x = v.x;
            *y = v.y;
        }
        return v.cmd;
    }

private:
    const std::vector<PathVertex>& vertices_;
    size_t next_ = 0;
};

// Appends a command to a recording, then, unless it is the stop or the
// recording is past `limit`, its point as bit patterns (zeros for a command
// without a vertex); false when the recording ends there.
inline bool recordCommand(std::vector<uint64_t>& out, unsigned cmd, double x, double y,
                          size_t limit) {
    out.push_back(cmd);
    if (agg::is_stop(cmd) || out.size() > limit) return false;
    if (!agg::is_vertex(cmd)) x = y = 0.0;
    uint64_t bits[2];
    std::memcpy(&bits[0], &x, 8);
    std::memcpy(&bits[1], &y, 8);
    out.push_back(bits[0]);
    out.push_back(bits[1]);
    return true;
}

// Every command a source gives after a rewind, with the coordinates as bit
// patterns (commands without a vertex record zeros).
template <class Source>
std::vector<uint64_t> record(Source& source, size_t limit = 4000000) {
    std::vector<uint64_t> out;
    source.rewind(0);
    for (;;) {
        double x = 0.0, y = 0.0;
        const unsigned cmd = source.vertex(&x, &y);
        if (!recordCommand(out, cmd, x, y, limit)) break;
    }
    return out;
}

// Records the commands an outline hands over in one loop (forEach), as
// recordCommand records them, a quad as the commands it stands for: a
// move-to, three line-tos and a clockwise close.
struct CommandRecorder {
    std::vector<uint64_t> out;
    size_t limit;
    bool add(double x, double y, unsigned cmd) { return recordCommand(out, cmd, x, y, limit); }
    bool quad(const agg::point_d* p) {
        return add(p[0].x, p[0].y, agg::path_cmd_move_to) &&
               add(p[1].x, p[1].y, agg::path_cmd_line_to) &&
               add(p[2].x, p[2].y, agg::path_cmd_line_to) &&
               add(p[3].x, p[3].y, agg::path_cmd_line_to) &&
               add(0.0, 0.0, agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_cw);
    }
    // A polygon as the commands it stands for: a move-to, line-tos and a
    // clockwise close.
    bool polygon(const agg::point_d* p, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            if (!add(p[i].x, p[i].y, i == 0 ? agg::path_cmd_move_to : agg::path_cmd_line_to)) {
                return false;
            }
        }
        return add(0.0, 0.0, agg::path_cmd_end_poly | agg::path_flags_close | agg::path_flags_cw);
    }
};

// Every command an outline hands over in one loop, as record() gives them.
template <class Outline>
std::vector<uint64_t> recordEach(Outline& outline, size_t limit = 4000000) {
    CommandRecorder recorder{{}, limit};
    if (outline.forEach(recorder)) recordCommand(recorder.out, agg::path_cmd_stop, 0, 0, limit);
    return recorder.out;
}

// A random path of a few sub-paths: points on a grid of random pitch (so that
// coinciding, collinear and reversing points come up), near-coinciding
// points, open, closed and end_poly-without-close sub-paths, sub-paths of a
// single point, stray end_poly commands and, when `curves`, quadratic and
// cubic segments. Coordinates range from sub-pixel to a million.
inline std::vector<PathVertex> randomPath(std::mt19937& rng, bool curves) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const double scales[] = {0.01, 1.0, 40.0, 400.0, 1e6};
    const double scale = scales[pick(5)];
    const bool grid = pick(2) == 0;
    auto coordinate = [&] {
        const double v = (unit(rng) * 2.0 - 1.0) * scale;
        return grid ? std::floor(v * 4.0 / scale * 4.0) * scale / 16.0 : v;
    };
    std::vector<PathVertex> path;
    const int subPaths = 1 + pick(4);
    for (int s = 0; s < subPaths; ++s) {
        double x = coordinate(), y = coordinate();
        path.push_back({x, y, agg::path_cmd_move_to});
        const int points = pick(12);
        for (int i = 0; i < points; ++i) {
            const int kind = pick(10);
            if (kind == 0) {
                x += 1e-15 * (pick(3) - 1);  // (almost) the same point again
            } else if (kind == 1) {
                x = path.back().x;  // repeats the last point
                y = path.back().y;
            } else {
                x = coordinate();
                y = coordinate();
            }
            if (curves && kind >= 7) {
                const unsigned cmd = kind == 7 ? agg::path_cmd_curve3 : agg::path_cmd_curve4;
                const int controls = kind == 7 ? 1 : 2;
                for (int c = 0; c < controls; ++c)
                    path.push_back({coordinate(), coordinate(), cmd});
                path.push_back({x, y, cmd});
            } else {
                path.push_back({x, y, agg::path_cmd_line_to});
            }
        }
        const int end = pick(4);
        if (end == 0) path.push_back({0, 0, agg::path_cmd_end_poly | agg::path_flags_close});
        if (end == 1) path.push_back({0, 0, agg::path_cmd_end_poly});
    }
    return path;
}

}  // namespace testing
}  // namespace lumo
