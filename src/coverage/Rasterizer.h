#pragma once

#include "coverage/SweepRasterizer.h"

namespace lumo {

// The scan-line rasteriser every drawing call goes through: AGG's coverage,
// without its cell sort (SweepRasterizer). Clipping happens in double
// precision before the conversion to 24.8 fixed point, so far-away
// coordinates cannot overflow. A shape too large for its storage is cut, and
// the next shape draws normally; reset() gives back the storage a huge shape
// needed.
using Rasterizer = SweepRasterizer;

}  // namespace lumo
