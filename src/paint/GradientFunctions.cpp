#include "paint/GradientFunctions.h"

#include <agg_math.h>

namespace lumo {
namespace gradient {

int64_t squareRoot(int64_t value) {
    if (value <= int64_t(UINT32_MAX)) return agg::fast_sqrt(static_cast<unsigned>(value));
    return static_cast<int64_t>(std::sqrt(static_cast<double>(value)));
}

}  // namespace gradient
}  // namespace lumo
