#pragma once

#include "core/DataBuffer.h"
#include "core/Ref.h"
#include "core/SharedObject.h"
#include "core/TargetScratch.h"

#include <memory>
#include <utility>

namespace lumo {

// Something drawing objects draw into. It owns the scratch machinery all its
// drawing objects share (rasteriser and scan-line containers keep their
// capacity between calls), so calls reaching one target must be serialised.
class RenderTarget : public SharedObject {
public:
    RenderTarget(int width, int height) : width_(width), height_(height) {}

    // True when the pixel memory exists; never creates it.
    virtual bool hasPixels() const = 0;
    // A counted reference to the pixel buffer (empty when there is none).
    virtual Ref<DataBuffer> getDataBuffer() const = 0;
    // The pixel buffer without counting a reference (null when there is
    // none): the target keeps it alive, so it serves while the target lives,
    // as during a draw, without the two atomic counts of getDataBuffer().
    virtual DataBuffer* dataBuffer() const = 0;

    int width() const { return width_; }
    int height() const { return height_; }

    // The drawing scratch attached to this target (null until attached).
    TargetScratch* scratch() const { return scratch_.get(); }
    void attachScratch(std::unique_ptr<TargetScratch> scratch) { scratch_ = std::move(scratch); }

private:
    const int width_;
    const int height_;
    std::unique_ptr<TargetScratch> scratch_;
};

}  // namespace lumo
