#pragma once

#include "image/ImageDescriptor.h"

#include <cstdint>

namespace lumo {

// Entries of the image info array Java describes SWT and AWT sources with:
// palette kind, width, height, depth, bytes per line, alpha (SWT) or
// premultiplied flag (AWT), transparent pixel (SWT) or image kind (AWT).
constexpr int64_t imageInfoLength = 7;

// Copies the entries both source families share (palette kind, width,
// height, depth, bytes per line and entry 5) from an info array.
void describeFromInfo(ImageDescriptor& image, const int32_t* info);

// The pinned arrays of one SWT image and their lengths in elements.
struct SwtImageArrays {
    const int32_t* info = nullptr;  // imageInfoLength ints
    const uint8_t* data = nullptr;
    int64_t dataLength = 0;
    const int32_t* palette = nullptr;
    int64_t paletteLength = 0;
    const uint8_t* alphaData = nullptr;  // optional
    int64_t alphaLength = 0;
};

// Fills an SWT descriptor from its arrays: the info entries, the data, the
// palette (an indexed one with its length, a direct one as masks and
// shifts) and the optional per-pixel alpha. The transform is left alone.
// False when the arrays cannot be read safely: a direct palette without its
// six masks and shifts, or rows and alpha that do not fit the data
// (imageFitsMemory).
bool describeSwtImage(ImageDescriptor& image, const SwtImageArrays& arrays);

}  // namespace lumo
