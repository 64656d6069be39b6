#pragma once

#include "context/GraphicsState.h"
#include "context/RectilinearCoverage.h"
#include "core/RenderTarget.h"

namespace lumo {

// Renders a device-space source whose edges are all horizontal or vertical,
// under a rectangle clip, through the target's rectilinear coverage instead
// of its rasteriser (same pixels, without building and sorting cells): calls
// `render` while the coverage is active and returns true. False, having
// rendered nothing, for any other source or clip. A source whose `check`
// reports a fault once read is drawn not at all (and true is returned).
template <class Source, class Check, class Render>
bool renderRectilinear(GraphicsState& state, RenderTarget& target, Source& source,
                       agg::filling_rule_e rule, const Check& check, Render render) {
    if (!(state.stateFlags & CLIP_RECT)) return false;
    RectilinearCoverage& coverage = target.rectilinearCoverage();
    if (!coverage.set(source, state.clipBox, rule)) return false;
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
