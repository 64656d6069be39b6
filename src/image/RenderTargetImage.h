#pragma once

#include "image/ImageDescriptor.h"

namespace lumo {

// Describes the pixels of a render target as a source image (premultiplied,
// bottom row first), creating its pixel memory if it has none yet. The
// descriptor keeps the target alive. False when the memory cannot be made.
bool describeRenderTarget(RenderTarget& source, ImageDescriptor& image);

}  // namespace lumo
