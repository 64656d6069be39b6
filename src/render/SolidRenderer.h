#pragma once

#include <agg_color_rgba.h>

namespace lumo {

class GraphicsState;
class RenderTarget;

// Fills the rasterised area with one straight colour: antialiased with
// per-pixel coverage when the state's antialias hint is on, otherwise aliased
// (every touched pixel at full coverage).
void renderSolid(const agg::rgba8& colour, GraphicsState& state, RenderTarget& target);

}  // namespace lumo
