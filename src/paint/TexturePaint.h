#pragma once

#include "core/Ref.h"
#include "core/RenderTarget.h"
#include "paint/Paint.h"

#include <agg_trans_affine.h>

#include <cstdint>
#include <new>

namespace lumo {

// How an image continues beyond its edges, per axis.
enum WrapMode : int {
    WRAP_NONE = 0,
    WRAP_REPEAT = 1,
    WRAP_REFLECT = 2,
};

// A 4-bit Java wrap code: 1 repeats, 2 reflects, anything else stretches the
// edge pixels.
inline WrapMode wrapModeFromCode(uint32_t code) {
    code &= 0xF;
    return code == 1 ? WRAP_REPEAT : (code == 2 ? WRAP_REFLECT : WRAP_NONE);
}

// Fills with the pixels of another render target, placed in user space by a
// transform and wrapped (or not) beyond its edges. The pixels are read when
// drawn, so later drawing into the source shows; the paint keeps the source
// alive.
class TexturePaint : public Paint {
public:
    // A new paint (reference count 0), or null when memory runs out.
    static TexturePaint* create(RenderTarget& source, const agg::trans_affine& transform,
                                WrapMode wrapX, WrapMode wrapY) {
        return new (std::nothrow) TexturePaint(source, transform, wrapX, wrapY);
    }

    PaintKind kind() const override { return PAINT_TEXTURE; }
    RenderTarget& source() const { return *source_; }
    // Image pixels to user space.
    const agg::trans_affine& transform() const { return transform_; }
    WrapMode wrapX() const { return wrapX_; }
    WrapMode wrapY() const { return wrapY_; }

protected:
    TexturePaint(RenderTarget& source, const agg::trans_affine& transform, WrapMode wrapX,
                 WrapMode wrapY)
        : source_(&source), transform_(transform), wrapX_(wrapX), wrapY_(wrapY) {}

private:
    const Ref<RenderTarget> source_;
    const agg::trans_affine transform_;
    const WrapMode wrapX_;
    const WrapMode wrapY_;
};

}  // namespace lumo
