#pragma once

#include "coverage/RectilinearCoverage.h"

namespace lumo {

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
    if (!coverage.set(source, clipBox, rule)) return false;
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

// For sources that cannot fault.
struct NoFault {
    bool faulty() const { return false; }
};

}  // namespace lumo
