#pragma once

#include "core/Ref.h"
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

    // Puts a colour into a paint field. A solid paint that the field alone
    // holds (no clone of the state shares it) takes the colour in place,
    // which saves an allocation per colour change; otherwise a new paint
    // replaces the field's, unless memory runs out (the field then keeps its
    // paint). Shared paints are never changed.
    static void assign(Ref<Paint>& field, const agg::rgba8& colour) {
        Paint* held = field.get();
        if (held != nullptr && held->kind() == PAINT_SOLID && held->referenceCount() == 1) {
            static_cast<SolidPaint*>(held)->colour_ = colour;
            return;
        }
        if (SolidPaint* made = create(colour)) field = Ref<Paint>(made);
    }

    PaintKind kind() const override { return PAINT_SOLID; }
    const agg::rgba8& colour() const { return colour_; }

private:
    explicit SolidPaint(const agg::rgba8& colour) : colour_(colour) {}

    agg::rgba8 colour_;
};

}  // namespace lumo
