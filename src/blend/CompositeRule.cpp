#include "blend/CompositeRule.h"

namespace lumo {

CompositeRule compositeRuleFromJava(int32_t javaRule) {
    using R = CompositeRule;
    // Index = Java rule - 1; rules 1..12 follow AlphaComposite's numbering.
    static const CompositeRule rules[26] = {
        R::Clear,     R::Src,        R::SrcOver,   R::DstOver,   R::SrcIn,     R::DstIn,
        R::SrcOut,    R::DstOut,     R::Dst,       R::SrcAtop,   R::DstAtop,   R::Xor,
        R::Plus,      R::Minus,      R::Multiply,  R::Screen,    R::Overlay,   R::Darken,
        R::Lighten,   R::ColorDodge, R::ColorBurn, R::HardLight, R::SoftLight, R::Difference,
        R::Exclusion, R::Contrast,
    };
    if (javaRule < 1 || javaRule > 26) return CompositeRule::SrcOver;
    return rules[javaRule - 1];
}

}  // namespace lumo
