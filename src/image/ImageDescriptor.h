#pragma once

#include "core/Ref.h"
#include "core/RenderTarget.h"

#include <agg_trans_affine.h>

#include <cstdint>

namespace lumo {

// Image kinds: SWT image data, the nine AWT buffered-image layouts (the
// values of Java's BufferedImage.TYPE_* constants) and the pixels of a render
// target.
enum ImageKind : int32_t {
    IMAGE_SWT = 0,
    IMAGE_INT_RGB = 1,
    IMAGE_INT_ARGB = 2,
    IMAGE_INT_ARGB_PRE = 3,
    IMAGE_INT_BGR = 4,
    IMAGE_3BYTE_BGR = 5,
    IMAGE_4BYTE_ABGR = 6,
    IMAGE_4BYTE_ABGR_PRE = 7,
    IMAGE_USHORT_565_RGB = 8,
    IMAGE_USHORT_555_RGB = 9,
    IMAGE_RENDER_TARGET = 14,
};

// Describes one source image of any kind: where its rows are, how its pixels
// are laid out and where it sits in user space. It points into memory it
// does not own (pinned Java arrays, or a render target's pixels, which the
// owner reference keeps alive).
struct ImageDescriptor {
    int32_t kind = IMAGE_SWT;
    int32_t width = 0;
    int32_t height = 0;
    // Distance in bytes between the starts of two rows.
    int32_t bytesPerLine = 0;
    // Bits per pixel (SWT).
    int32_t depth = 0;
    // SWT: the palette is direct (masks and shifts) rather than indexed.
    bool isDirect = false;
    // SWT: global alpha 0..255 or -1. Other kinds: 1 when the pixels are
    // premultiplied.
    int32_t alpha = -1;
    // SWT: the pixel value drawn fully transparent, or -1.
    int32_t transparentPixel = -1;
    int32_t redMask = 0, greenMask = 0, blueMask = 0;
    int32_t redShift = 0, greenShift = 0, blueShift = 0;
    // Image pixels to user space.
    agg::trans_affine transform;
    // First byte of the rows; for render targets the bottom row, which comes
    // first in memory.
    const uint8_t* data = nullptr;
    // SWT per-pixel alpha, width bytes per row without padding, or null.
    const uint8_t* alphaData = nullptr;
    // SWT indexed palette, 0x00RRGGBB entries; indices at or beyond
    // paletteLength read as black.
    const int32_t* palette = nullptr;
    int64_t paletteLength = 0;
    // Keeps a render target's pixels alive while they are read.
    Ref<RenderTarget> owner;

    // The pixels carry premultiplied colour.
    bool premultiplied() const { return kind != IMAGE_SWT && alpha == 1; }
};

}  // namespace lumo
