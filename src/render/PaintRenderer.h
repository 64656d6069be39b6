#pragma once

namespace lumo {

class GraphicsState;
class RenderTarget;

// Fills the area held in the target's rasteriser with the state's paint,
// blended through its composite into the target's pixels.
void renderPaint(GraphicsState& state, RenderTarget& target);

}  // namespace lumo
