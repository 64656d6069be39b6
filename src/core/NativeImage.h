#pragma once

#include "core/RenderTarget.h"

namespace lumo {

// A render target over one pixel buffer, which it keeps alive.
class NativeImage final : public RenderTarget {
public:
    // A new target on the buffer (reference count 0), or null when the buffer
    // is null or memory runs out.
    static NativeImage* create(DataBuffer* buffer);

    bool hasPixels() const override { return buffer_->hasPixels(); }
    Ref<DataBuffer> getDataBuffer() const override { return buffer_; }
    DataBuffer* dataBuffer() const override { return buffer_.get(); }

private:
    explicit NativeImage(DataBuffer* buffer)
        : RenderTarget(buffer->width(), buffer->height()), buffer_(buffer) {}

    const Ref<DataBuffer> buffer_;
};

}  // namespace lumo
