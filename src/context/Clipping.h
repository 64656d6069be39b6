#pragma once

#include "render/GraphicsState.h"

#include <agg_basics.h>

namespace lumo {

class VertexSource;

// The clip of a drawing state is given in device pixels and replaces the
// previous one; it is never mapped by the transform. A rectangle clip is all
// in clipBox; a path clip keeps its outline (curves unflattened) with its own
// filling rule, and clipBox becomes its bounding box cut to the target.

// The whole target, as a rectangle clip.
void resetClip(GraphicsState& state, uint32_t targetWidth, uint32_t targetHeight);

// A rectangle clip from two corners in any order, cut to the target when
// there is one (it may end up empty: then nothing is drawn).
void setRectangleClip(GraphicsState& state, const agg::rect_d& corners, const uint32_t* targetWidth,
                      const uint32_t* targetHeight);

// A path clip. A path that does not start with a move, or has a coordinate
// that is not finite, clips everything away.
void setPathClip(GraphicsState& state, VertexSource& path, agg::filling_rule_e rule,
                 uint32_t targetWidth, uint32_t targetHeight);

}  // namespace lumo
