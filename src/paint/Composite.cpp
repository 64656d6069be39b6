#include "paint/Composite.h"

#include <cmath>
#include <new>

namespace lumo {

Composite* Composite::create(CompositeRule rule, float alpha) {
    rule = validRule(rule);
    if (std::isnan(alpha)) alpha = 1.0f;
    if (alpha < 0.0f) alpha = 0.0f;
    if (alpha > 1.0f) alpha = 1.0f;
    return new (std::nothrow) Composite(rule, alpha);
}

agg::rgba8 withExtraAlpha(agg::rgba8 colour, float alpha) {
    if (alpha <= 0.0f) {
        colour.a = 0;
    } else if (alpha < 1.0f && colour.a != 0) {
        colour.a = static_cast<agg::int8u>(std::floor(double(alpha) * colour.a + 0.5));
    }
    return colour;
}

}  // namespace lumo
