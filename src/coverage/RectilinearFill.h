#pragma once

#include "coverage/RectilinearCoverage.h"

namespace lumo {

// Renders through the rectilinear coverage that `set` sets up (true when it
// took the shape): calls `render` while the coverage is active and returns
// true; false, having rendered nothing, when `set` declines. A shape whose
// `check` reports a fault once read is drawn not at all (and true is
// returned).
template <class Set, class Check, class Render>
bool renderRectilinearSet(RectilinearCoverage& coverage, Set set, const Check& check,
                          Render render) {
    if (!set()) return false;
    if (check.faulty()) {
        coverage.deactivate();
        return true;
    }
    // Inactive again however the rendering ends.
    struct Deactivate {
        RectilinearCoverage& coverage;
        ~Deactivate() { coverage.deactivate(); }
    } deactivate{coverage};
    render();
    return true;
}

// Renders a device-space source whose edges are all horizontal or vertical,
// under a rectangle clip (`rectangleClip`, the clip box), through the
// rectilinear coverage instead of the rasteriser (same pixels, without
// building and sorting cells): calls `render` while the coverage is active
// and returns true. False, having rendered nothing, for any other source or
// clip. A source whose `check` reports a fault once read is drawn not at all
// (and true is returned).
template <class Source, class Check, class Render>
bool renderRectilinear(RectilinearCoverage& coverage, bool rectangleClip,
                       const agg::rect_d& clipBox, Source& source, agg::filling_rule_e rule,
                       const Check& check, Render render) {
    if (!rectangleClip) return false;
    return renderRectilinearSet(
        coverage, [&] { return coverage.set(source, clipBox, rule); }, check, render);
}

// For sources that cannot fault.
struct NoFault {
    bool faulty() const { return false; }
};

}  // namespace lumo
