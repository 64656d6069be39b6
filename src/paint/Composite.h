#pragma once

#include "core/SharedObject.h"

#include <agg_color_rgba.h>

namespace lumo {

// The blend operation of source-over, the default and the one with a fast path.
constexpr int sourceOverOperation = 3;

// Maps a Java composite rule to a blend operation index 0..25: rules 1..12
// are Java's AlphaComposite constants, 13..26 the further operators; any
// other rule is source-over.
int compositeOperationForRule(int rule);

// How a drawing state blends: a blend operation and an extra alpha that
// scales the paint. Immutable and counted like the paints.
class Composite final : public SharedObject {
public:
    // A new composite (reference count 0) with the alpha limited to 0..1
    // (a NaN alpha becomes 1), or null when memory runs out. An operation
    // outside 0..25 becomes source-over.
    static Composite* create(int operation, float alpha);

    int operation() const { return operation_; }
    float alpha() const { return alpha_; }

private:
    Composite(int operation, float alpha) : operation_(operation), alpha_(alpha) {}

    const int operation_;
    const float alpha_;
};

// The colour with the extra alpha folded into its alpha byte: 0 when the
// extra alpha is 0 or less, floor(alpha * a + 0.5) below 1, unchanged at 1.
agg::rgba8 withExtraAlpha(agg::rgba8 colour, float alpha);

}  // namespace lumo
