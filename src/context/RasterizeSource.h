#pragma once

#include "core/RenderTarget.h"
#include "geometry/CheckedSource.h"

#include <agg_basics.h>

namespace lumo {

// Adds a device-space source to the rasteriser, each move starting a new
// polygon that is closed automatically. Returns false when a vertex has a
// coordinate that is not finite or too large to clip exactly; the rasteriser
// then holds a partial shape that the caller discards.
template <class Source>
bool rasterizeSource(Rasterizer& rasterizer, Source& source) {
    double x = 0.0, y = 0.0;
    source.rewind(0);
    unsigned cmd;
    while (!agg::is_stop(cmd = source.vertex(&x, &y))) {
        if (agg::is_vertex(cmd) && !coordinateUsable(x, y, maxEdgeCoordinate)) return false;
        rasterizer.add_vertex(x, y, cmd);
    }
    return true;
}

}  // namespace lumo
