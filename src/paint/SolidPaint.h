#pragma once

#include "paint/Paint.h"

#include <agg_color_rgba.h>

#include <new>

namespace lumo {

// One colour, straight alpha.
class SolidPaint final : public Paint {
public:
    // A new paint (reference count 0), or null when memory runs out.
    static SolidPaint* create(const agg::rgba8& colour) {
        return new (std::nothrow) SolidPaint(colour);
    }

    PaintKind kind() const override { return PAINT_SOLID; }
    const agg::rgba8& colour() const { return colour_; }

private:
    explicit SolidPaint(const agg::rgba8& colour) : colour_(colour) {}

    const agg::rgba8 colour_;
};

}  // namespace lumo
