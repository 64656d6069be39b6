#pragma once

#include <agg_rasterizer_scanline_aa.h>
#include <agg_rasterizer_sl_clip.h>

namespace lumo {

// The scan-line rasteriser every drawing call goes through. Clipping happens
// in double precision before the conversion to 24.8 fixed point, so far-away
// coordinates cannot overflow.
using Rasterizer = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

}  // namespace lumo
