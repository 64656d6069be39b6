#pragma once

#include "image/ImageDescriptor.h"
#include "paint/TexturePaint.h"

namespace lumo {

class GraphicsState;
class RenderTarget;

// Fills the shape held in the target's rasteriser from an image, placed by
// the image's transform followed by the state's, wrapped beyond its edges as
// asked (WRAP_NONE in either direction stretches the edge pixels in both).
// Whole-pixel placements copy pixels; anything else samples through the
// interpolation filter the state's hint selects. Draws nothing for an image
// without a reader or a placement that cannot be inverted.
void renderImage(GraphicsState& state, RenderTarget& target, const ImageDescriptor& image,
                 WrapMode wrapX, WrapMode wrapY);

// Draws the whole image (no wrap) when it lands on whole pixels inside a
// rectangle clip with whole-pixel edges: every pixel it covers is then fully
// covered, so rows go straight to the blender without a coverage sweep, with
// the same pixels. False, having drawn nothing, for any other placement or
// clip.
bool copyImageRect(GraphicsState& state, RenderTarget& target, const ImageDescriptor& image);

// Fills with a texture or line-pattern paint.
void renderTexture(const TexturePaint& paint, GraphicsState& state, RenderTarget& target);

}  // namespace lumo
