#pragma once

#include <sstream>
#include <string>

namespace lumo::test {

// Every scan-line a sweep yields, written out: row, then (x, length, covers)
// per span, so that two sweeps compare as strings.
template <class Sweep, class Scanline>
std::string sweepAll(Sweep& sweep, Scanline& sl) {
    std::ostringstream out;
    if (!sweep.rewind_scanlines()) return out.str();
    sl.reset(sweep.min_x(), sweep.max_x());
    while (sweep.sweep_scanline(sl)) {
        out << "y" << sl.y() << ":";
        auto span = sl.begin();
        for (unsigned i = 0; i < sl.num_spans(); ++i, ++span) {
            out << " " << span->x << "[" << span->len << ":";
            for (int k = 0; k < span->len; ++k) out << (k ? "," : "") << unsigned(span->covers[k]);
            out << "]";
        }
        out << "\n";
    }
    return out.str();
}

}  // namespace lumo::test
