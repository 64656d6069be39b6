#pragma once

#include "image/ImageDescriptor.h"

#include <cstdint>

namespace lumo {

// Turns one row of a source image into width 32-bit pixels, bytes blue,
// green, red, alpha. SWT readers and the readers of straight AWT kinds write
// straight colour; premultiplied kinds pass their bytes through. One reader
// handles one fixed layout, so converting a row has no per-pixel dispatch.
class RowReader {
public:
    virtual ~RowReader() = default;

    // Whether rows must be converted into memory of the consumer's own
    // before use, given the extra alpha the consumer applies. False means the
    // source rows already are 32-bit pixels and may be read in place.
    virtual bool needsConversion(float alpha) const = 0;
    // Bytes of one converted row: what each row buffer must hold.
    virtual uint32_t rowBytes(const ImageDescriptor& image) const = 0;
    // Converts row y (0 = top) into `out`, which holds rowBytes() bytes. The
    // descriptor is the one the reader was made for and has passed
    // imageFitsMemory.
    virtual void readRow(int32_t y, uint8_t* out, const ImageDescriptor& image) const = 0;
};

// A new reader for the descriptor's kind (and, for SWT data, its depth and
// palette kind), or null when there is none or memory runs out. The caller
// deletes it.
RowReader* createRowReader(const ImageDescriptor& image);

// True when every row a reader may read lies within the memory described:
// width, height and (for SWT) depth are positive, bytesPerLine covers width
// pixels, `dataBytes` holds bytesPerLine x height bytes, and the alpha data,
// when present, holds width x height bytes (`alphaBytes`). A direct SWT
// palette needs its six masks and shifts, which the caller copies before
// asking.
bool imageFitsMemory(const ImageDescriptor& image, int64_t dataBytes, int64_t alphaBytes);

}  // namespace lumo
