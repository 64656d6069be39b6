#pragma once

#include <cstdint>

namespace lumo {

// The rules by which a source is composited onto a destination: the Porter-Duff operators,
// plus, minus and the blend modes. The numbers index the blend tables (blendFunctions,
// blendSpans); Java numbers the rules differently (compositeRuleFromJava).
enum class CompositeRule : int32_t {
    Clear,
    Src,
    Dst,
    SrcOver,
    DstOver,
    SrcIn,
    DstIn,
    SrcOut,
    DstOut,
    SrcAtop,
    DstAtop,
    Xor,
    Plus,
    Minus,
    Multiply,
    Screen,
    Overlay,
    Darken,
    Lighten,
    ColorDodge,
    ColorBurn,
    HardLight,
    SoftLight,
    Difference,
    Exclusion,
    Contrast,
};

constexpr int compositeRuleCount = 26;
static_assert(int(CompositeRule::Contrast) + 1 == compositeRuleCount, "rules are numbered 0..25");

// The rule's index into the blend tables.
constexpr int ruleIndex(CompositeRule rule) {
    return static_cast<int>(rule);
}

// The rule itself for one of 0..25, source-over for any other number.
constexpr CompositeRule validRule(CompositeRule rule) {
    return ruleIndex(rule) >= 0 && ruleIndex(rule) < compositeRuleCount ? rule
                                                                        : CompositeRule::SrcOver;
}

// Maps a Java composite rule to a rule: 1..12 are Java's AlphaComposite constants (CLEAR, SRC,
// SRC_OVER, DST_OVER, SRC_IN, DST_IN, SRC_OUT, DST_OUT, DST, SRC_ATOP, DST_ATOP, XOR), 13..26
// the further operators from Plus on, in order; any other number is source-over.
CompositeRule compositeRuleFromJava(int32_t javaRule);

}  // namespace lumo
