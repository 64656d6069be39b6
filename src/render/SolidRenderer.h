#pragma once

#include <agg_basics.h>
#include <agg_color_rgba.h>

namespace lumo {

class GraphicsState;
class RenderTarget;

// Fills the rasterised area with one straight colour: antialiased with
// per-pixel coverage when the state's antialias hint is on, otherwise aliased
// (every touched pixel at full coverage).
void renderSolid(const agg::rgba8& colour, GraphicsState& state, RenderTarget& target);

// Fills the whole device pixels of `box` (columns x1 to x2 - 1, rows y1 to y2 - 1, already
// inside the clip box) with one straight colour at full cover, source-over: what renderSolid
// gives for a rectangle with whole-pixel edges, without sweeping its coverage. False, having
// drawn nothing, under any other composite rule.
bool fillSolidPixels(const agg::rgba8& colour, GraphicsState& state, RenderTarget& target,
                     const agg::rect_i& box);

}  // namespace lumo
