#pragma once

#include "blend/CompositeRule.h"
#include "core/SharedObject.h"

#include <agg_color_rgba.h>

namespace lumo {

// How a drawing state blends: a composite rule and an extra alpha that
// scales the paint. Immutable and counted like the paints.
class Composite final : public SharedObject {
public:
    // A new composite (reference count 0) with the alpha limited to 0..1
    // (a NaN alpha becomes 1), or null when memory runs out. A rule outside
    // 0..25 becomes source-over.
    static Composite* create(CompositeRule rule, float alpha);

    CompositeRule rule() const { return rule_; }
    float alpha() const { return alpha_; }

private:
    Composite(CompositeRule rule, float alpha) : rule_(rule), alpha_(alpha) {}

    const CompositeRule rule_;
    const float alpha_;
};

// The colour with the extra alpha folded into its alpha byte: 0 when the
// extra alpha is 0 or less, floor(alpha * a + 0.5) below 1, unchanged at 1.
agg::rgba8 withExtraAlpha(agg::rgba8 colour, float alpha);

}  // namespace lumo
