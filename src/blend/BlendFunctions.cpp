#include "blend/BlendFunctions.h"

#include "blend/BlendOperations.h"

namespace lumo {

extern const BlendFunction blendFunctions[compositeRuleCount + 1] = {
    blend::Mixed<blend::Clear>::blend,        // clear
    blend::Mixed<blend::Src>::blend,          // src
    blend::Unchanged::blend,                  // dst
    blend::Scaled<blend::SrcOver>::blend,     // src_over
    blend::Scaled<blend::DstOver>::blend,     // dst_over
    blend::Mixed<blend::SrcIn<>>::blend,      // src_in
    blend::Mixed<blend::DstIn>::blend,        // dst_in
    blend::Mixed<blend::SrcOut<>>::blend,     // src_out
    blend::Scaled<blend::DstOut>::blend,      // dst_out
    blend::Scaled<blend::SrcAtop>::blend,     // src_atop
    blend::Mixed<blend::DstAtop>::blend,      // dst_atop
    blend::Scaled<blend::Xor<>>::blend,       // xor
    blend::Scaled<blend::Plus>::blend,        // plus
    blend::Scaled<blend::Minus>::blend,       // minus
    blend::Scaled<blend::Multiply<>>::blend,  // multiply
    blend::Scaled<blend::Screen<>>::blend,    // screen
    blend::Scaled<blend::Overlay>::blend,     // overlay
    blend::Scaled<blend::Darken>::blend,      // darken
    blend::Scaled<blend::Lighten<>>::blend,   // lighten
    blend::Scaled<blend::ColorDodge>::blend,  // color_dodge
    blend::Scaled<blend::ColorBurn>::blend,   // color_burn
    blend::Scaled<blend::HardLight>::blend,   // hard_light
    blend::Scaled<blend::SoftLight>::blend,   // soft_light
    blend::Scaled<blend::Difference>::blend,  // difference
    blend::Scaled<blend::Exclusion>::blend,   // exclusion
    blend::Scaled<blend::Contrast>::blend,    // contrast
    nullptr,
};

}  // namespace lumo
