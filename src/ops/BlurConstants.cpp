#include "ops/BlurConstants.h"

#include <cmath>

namespace lumo {

BlurConstants blurConstants;

void initialiseBlurConstants() {
    blurConstants.sqrt2Pi = std::sqrt(6.283185307179586);
    blurConstants.boxScale = blurConstants.sqrt2Pi * 0.75;
}

}  // namespace lumo
