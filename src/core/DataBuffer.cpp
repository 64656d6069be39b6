#include "core/DataBuffer.h"

#include "core/Colour.h"
#include "core/PixelFill.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <new>

namespace lumo {

bool DataBuffer::validSize(int width, int height) {
    // Divided rather than multiplied by 4: the product of two int limits
    // times four overflows 64 bits.
    return width >= 0 && height >= 0 && int64_t(width) * height <= maxPixelBytes / 4;
}

DataBuffer* DataBuffer::create(int width, int height) {
    if (!validSize(width, height)) return nullptr;
    return new (std::nothrow) DataBuffer(width, height);
}

DataBuffer::~DataBuffer() {
    std::free(pixels());
}

void DataBuffer::clear(const agg::rgba8& colour) {
    clearColour_ = colour;
    if (uint32_t* pixels = this->pixels()) {
        fillPixels(pixels, size_t(width_) * size_t(height_), pixelFromRgba8(colour));
    }
}

uint32_t* DataBuffer::pixels() const {
    return pixels_.load(std::memory_order_acquire);
}

RowBuffer* DataBuffer::rowBuffer() {
    return pixels() != nullptr ? &rows_ : createMemory();
}

RowBuffer* DataBuffer::createMemory() {
    // Threads that read a buffer never written yet may get here together:
    // each fills memory of its own, and the first to take the lock attaches
    // its memory; the others free theirs.
    static std::mutex attaching;
    const size_t count = size_t(width_) * size_t(height_);
    // An empty buffer still gets a block, so that it counts as having pixels.
    auto* memory = static_cast<uint32_t*>(std::malloc(std::max<size_t>(count, 1) * 4));
    if (memory == nullptr) return &rows_;
    fillPixels(memory, count, pixelFromRgba8(clearColour_));

    std::lock_guard<std::mutex> lock(attaching);
    if (pixels_.load(std::memory_order_relaxed) != nullptr) {
        std::free(memory);
        return &rows_;
    }
    try {
        auto* bytes = reinterpret_cast<agg::int8u*>(memory);
        if (height_ == 0) {
            // AGG takes the address of the first row pointer even for zero
            // rows, so give it room for one; no stride is needed.
            rows_.attach(bytes, 0, 1, 0);
            rows_.attach(bytes, unsigned(width_), 0, 0);
        } else {
            // Negative stride: row 0 (the top) is the last row in memory.
            rows_.attach(bytes, unsigned(width_), unsigned(height_), -4 * width_);
        }
    } catch (const std::bad_alloc&) {
        std::free(memory);
        return &rows_;
    }
    pixels_.store(memory, std::memory_order_release);
    return &rows_;
}

}  // namespace lumo
