#pragma once

#include "core/SharedObject.h"

#include <agg_color_rgba.h>
#include <agg_rendering_buffer.h>

#include <atomic>
#include <cstdint>

namespace lumo {

// Rows of a pixel buffer, reached through a table of row pointers.
using RowBuffer = agg::row_ptr_cache<agg::int8u>;

// The pixels of one image: width x height 32-bit words 0xAARRGGBB (bytes
// b, g, r, a), premultiplied wherever blenders write them, bottom row first in
// memory like a bottom-up DIB. The memory is created on first use of
// rowBuffer(), filled with the clear colour. Threads that only read a buffer
// (as the source of textures, images or copies) may do so at once, even when
// their reads are the ones that create the memory.
class DataBuffer final : public SharedObject {
public:
    // Largest pixel memory a buffer may have: row offsets are 32-bit ints.
    static constexpr int64_t maxPixelBytes = INT32_MAX;

    // True for sizes a buffer can be created with: non-negative and within
    // maxPixelBytes.
    static bool validSize(int width, int height);
    // A new buffer (reference count 0), or null for an invalid size or when
    // memory runs out. Never allocates pixel memory.
    static DataBuffer* create(int width, int height);

    ~DataBuffer() override;

    int width() const { return width_; }
    int height() const { return height_; }
    bool hasPixels() const { return pixels() != nullptr; }
    agg::rgba8 clearColour() const { return clearColour_; }

    // Stores the colour, and fills the pixels with it when they exist.
    void clear(const agg::rgba8& colour);
    // Creates the pixel memory on first use and returns the rows. When memory
    // runs out the rows stay unattached (null buffer) and the next call tries
    // again.
    RowBuffer* rowBuffer();

    // The first pixel in memory (the bottom-left one), null without memory.
    uint32_t* pixels() const;

private:
    DataBuffer(int width, int height) : width_(width), height_(height) {}

    // The slow part of rowBuffer(): makes the memory and attaches the rows,
    // unless another thread got there first.
    RowBuffer* createMemory();

    const int width_;
    const int height_;
    RowBuffer rows_;
    // Set once, after the rows are attached to it.
    std::atomic<uint32_t*> pixels_{nullptr};
    agg::rgba8 clearColour_{0, 0, 0, 0};
};

}  // namespace lumo
