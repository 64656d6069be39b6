#pragma once

namespace lumo {

// Constants of the Gaussian blur, computed once at load.
struct BlurConstants {
    double sqrt2Pi = 0;   // sqrt(2 pi), the Gaussian's normalisation
    double boxScale = 0;  // sqrt(2 pi) * 3/4: box size per unit of deviation
};

extern BlurConstants blurConstants;

void initialiseBlurConstants();

}  // namespace lumo
