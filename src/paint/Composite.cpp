#include "paint/Composite.h"

#include <cmath>
#include <new>

namespace lumo {

int compositeOperationForRule(int rule) {
    // Index = Java rule; rules 1..12 follow AlphaComposite's numbering.
    static const int operations[27] = {
        sourceOverOperation,
        0,   // CLEAR
        1,   // SRC
        3,   // SRC_OVER
        4,   // DST_OVER
        5,   // SRC_IN
        6,   // DST_IN
        7,   // SRC_OUT
        8,   // DST_OUT
        2,   // DST
        9,   // SRC_ATOP
        10,  // DST_ATOP
        11,  // XOR
        12,
        13,
        14,
        15,
        16,
        17,
        18,
        19,
        20,
        21,
        22,
        23,
        24,
        25,
    };
    if (rule < 1 || rule > 26) return sourceOverOperation;
    return operations[rule];
}

Composite* Composite::create(int operation, float alpha) {
    if (operation < 0 || operation > 25) operation = sourceOverOperation;
    if (std::isnan(alpha)) alpha = 1.0f;
    if (alpha < 0.0f) alpha = 0.0f;
    if (alpha > 1.0f) alpha = 1.0f;
    return new (std::nothrow) Composite(operation, alpha);
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
