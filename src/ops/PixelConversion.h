#pragma once

#include "image/ImageDescriptor.h"
#include "ops/PixelRegion.h"

#include <cstdint>

namespace lumo {

// Operations on rectangles of pixel memory holding 32-bit words 0xAARRGGBB
// (bytes b, g, r, a). Every region is first cut to its layout and the layout
// checked against the memory it addresses (fitRegion, fitRegionPair), so
// nothing outside `pixelCount` words is ever touched.

// Premultiplies the colour of every pixel in the region: alpha 255 stays as
// it is, alpha 0 becomes 0 in all four bytes, and any other alpha scales
// blue, green and red through the multiplication table.
void premultiplyPixels(uint32_t* pixels, int64_t pixelCount, PixelRegion region);

// The reverse: pixels with alpha 0 or 255 stay as they are; any other alpha
// divides blue, green and red through the unpremultiply table (a colour byte
// at or above its alpha becomes 255).
void unpremultiplyPixels(uint32_t* pixels, int64_t pixelCount, PixelRegion region);

// Stores `colour` in every pixel of the region, unchanged.
void fillPixels(uint32_t* pixels, int64_t pixelCount, PixelRegion region, uint32_t colour);

// Copies the common part of two regions as words, from pixel (i, j) of the
// source region to pixel (i, j) of the destination region. The two memories
// must not overlap.
void copyPixels(const uint32_t* source, int64_t sourcePixels, PixelRegion sourceRegion,
                uint32_t* destination, int64_t destinationPixels, PixelRegion destinationRegion);

// Decodes a whole image into `destination`, width x height words, top row
// first with no padding between rows: straight 0xAARRGGBB pixels as the
// image's row reader produces them. The descriptor must have passed
// imageFitsMemory. False, with nothing written, when the destination is too
// small, the image has no reader, or memory runs out.
bool decodeImage(const ImageDescriptor& image, uint32_t* destination, int64_t destinationPixels);

}  // namespace lumo
