#pragma once

namespace lumo {

class GradientPaint;
class GraphicsState;
class RenderTarget;

// Fills the area held in the target's rasteriser with a gradient, placed by
// the paint's matrix followed by the state's transform. A placement that
// cannot be inverted draws nothing.
void renderGradient(const GradientPaint& paint, GraphicsState& state, RenderTarget& target);

}  // namespace lumo
