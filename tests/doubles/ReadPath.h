#pragma once

#include <agg_basics.h>
#include <gtest/gtest.h>

#include <vector>

namespace lumo::test {

struct PathVertex {
    unsigned cmd;
    double x, y;
};

// Reads a path from rewind to its first stop (at most 1000 commands),
// checking that commands without a vertex leave the coordinates alone and
// that the path stays stopped.
template <class Source>
std::vector<PathVertex> readPath(Source& source) {
    const double untouched = -777.0;
    std::vector<PathVertex> path;
    source.rewind(0);
    for (;;) {
        PathVertex v{0, untouched, untouched};
        v.cmd = source.vertex(&v.x, &v.y);
        if (!agg::is_vertex(v.cmd)) {
            EXPECT_EQ(v.x, untouched) << "command " << v.cmd;
            EXPECT_EQ(v.y, untouched) << "command " << v.cmd;
        }
        if (v.cmd == agg::path_cmd_stop) break;
        path.push_back(v);
        if (path.size() > 1000) {
            ADD_FAILURE() << "path does not stop";
            break;
        }
    }
    double x = untouched, y = untouched;
    EXPECT_EQ(source.vertex(&x, &y), agg::path_cmd_stop);
    EXPECT_EQ(source.vertex(&x, &y), agg::path_cmd_stop);
    return path;
}

}  // namespace lumo::test
