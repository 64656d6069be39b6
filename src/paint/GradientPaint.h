#pragma once

#include "core/Ref.h"
#include "paint/ColourTable.h"
#include "paint/GradientStops.h"
#include "paint/Paint.h"

#include <agg_color_rgba.h>
#include <agg_trans_affine.h>

#include <cstdint>

namespace lumo {

// The function that turns a point of gradient space into a colour-table
// position.
enum GradientKind : int {
    GRADIENT_RADIAL = 1,
    GRADIENT_LINEAR = 2,
    GRADIENT_DIAMOND = 3,
    GRADIENT_CONIC = 4,
    GRADIENT_XY = 5,
    GRADIENT_SQRT_XY = 6,
};

// What happens beyond the ends of the colour table.
enum GradientCycle : int {
    CYCLE_PAD = 0,
    CYCLE_REPEAT = 1,
    CYCLE_REFLECT = 2,
};

// The low byte of a Java kind code, read as a signed byte: 1..6 select that
// kind, any other value the linear gradient.
GradientKind gradientKindFromCode(int32_t code);
// The low byte of a Java cycle code: 1 repeats, 2 reflects, anything else pads.
GradientCycle gradientCycleFromCode(int32_t code);

// The matrix from gradient space to the user space of the points: gradient
// (0, 0) lands on (x1, y1) and (256, 0) on (x2, y2), then `user` applies.
agg::trans_affine gradientMatrix(double x1, double y1, double x2, double y2,
                                 const agg::trans_affine& user);

// The focal point of a radial gradient, in gradient space, and the radius of
// its circle.
struct GradientFocus {
    double radius;
    double x;
    double y;
};

// A gradient: a function of gradient space, a cycle rule, the matrix that
// places gradient space in user space and a list of colour stops (positions
// in colour-table units 0..255, straight-alpha colours).
class GradientPaint final : public Paint {
public:
    // A new paint (reference count 0) from the points x1, y1, x2, y2, fx, fy
    // (fx, fy: the focus of a radial gradient) and the stops, or null when a
    // point or the user matrix is not finite, there are no stops, or memory
    // runs out. Colours are Java 0xAARRGGBB words. A conic gradient always
    // pads. When `previous` (may be null) has the same stops, the new paint
    // shares them and their colour table instead of building its own.
    static GradientPaint* create(GradientKind kind, GradientCycle cycle, const double* points,
                                 const agg::trans_affine& user, const int32_t* positions,
                                 const int32_t* argbColours, uint32_t count,
                                 const GradientPaint* previous = nullptr);

    PaintKind kind() const override { return PAINT_GRADIENT; }
    GradientKind gradientKind() const { return kind_; }
    GradientCycle cycle() const { return cycle_; }
    // Gradient space to user space.
    const agg::trans_affine& matrix() const { return matrix_; }
    bool hasFocus() const { return hasFocus_; }
    const GradientFocus& focus() const { return focus_; }
    uint32_t stopCount() const { return stops_->count(); }
    const int32_t* positions() const { return stops_->positions(); }
    const agg::rgba8* colours() const { return stops_->colours(); }
    // The colour table without extra alpha, built once with the stops.
    const ColourTable& opaqueTable() const { return stops_->opaqueTable(); }
    const GradientStops& stops() const { return *stops_; }

private:
    GradientPaint(GradientKind kind, GradientCycle cycle, const agg::trans_affine& matrix,
                  const GradientFocus* focus, Ref<GradientStops> stops)
        : kind_(kind),
          cycle_(cycle),
          matrix_(matrix),
          hasFocus_(focus != nullptr),
          focus_(focus != nullptr ? *focus : GradientFocus{0.0, 0.0, 0.0}),
          stops_(std::move(stops)) {}

    const GradientKind kind_;
    const GradientCycle cycle_;
    const agg::trans_affine matrix_;
    const bool hasFocus_;
    const GradientFocus focus_;
    const Ref<GradientStops> stops_;
};

// The paint as a gradient, or null when it is none (or null).
inline const GradientPaint* asGradient(const Paint* paint) {
    return paint != nullptr && paint->kind() == PAINT_GRADIENT
               ? static_cast<const GradientPaint*>(paint)
               : nullptr;
}

}  // namespace lumo
