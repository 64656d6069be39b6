#pragma once

#include "geometry/VertexSource.h"

namespace lumo {

class GraphicsState;
class RenderTarget;

// Largest coordinate of a line-pattern outline, in device pixels: AGG's
// outline renderer limits its coordinates to about a million pixels.
constexpr double maxPatternLineCoordinate = 1e6;
// Longest line-pattern outline one draw may have, in device pixels (closing
// segments aside): lines are drawn in pieces of at most 256 pixels.
constexpr double maxPatternLineLength = 1e9;

// Draws a device-space centre line (already flattened and dashed) with the
// state's line-pattern paint: the image runs along the line and spans its
// width, so the line is as wide as the image is high. A clip path is applied
// through the target's clip mask.
void drawLinePatternOutline(GraphicsState& state, RenderTarget& target, VertexSource& line);

// Lets a converter chain of any type be handed on as a VertexSource.
template <class Source>
class VertexSourceRef final : public VertexSource {
public:
    explicit VertexSourceRef(Source& source) : source_(source) {}
    void rewind(unsigned pathId) override { source_.rewind(pathId); }
    unsigned vertex(double* x, double* y) override { return source_.vertex(x, y); }
    bool has_curves() const override { return false; }

private:
    Source& source_;
};

}  // namespace lumo
