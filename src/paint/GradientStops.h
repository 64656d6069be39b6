#pragma once

#include "core/SharedObject.h"
#include "paint/ColourTable.h"

#include <agg_color_rgba.h>

#include <cstdint>
#include <memory>

namespace lumo {

// The colour stops of a gradient (positions in colour-table units,
// straight-alpha colours) and the colour table made from them without extra
// alpha. Immutable and counted: paints made from equal stops share one, so
// a client that sets the same gradient again (before every shape, or with
// another placement) builds no new table.
class GradientStops final : public SharedObject {
public:
    // New stops (reference count 0) from `count` (at least 1) positions and
    // Java 0xAARRGGBB colours, or null when memory runs out.
    static GradientStops* create(const int32_t* positions, const int32_t* argbColours,
                                 uint32_t count);

    // Whether these are the stops the arguments of create would make.
    bool sameAs(const int32_t* positions, const int32_t* argbColours, uint32_t count) const;

    uint32_t count() const { return count_; }
    const int32_t* positions() const { return positions_.get(); }
    const agg::rgba8* colours() const { return colours_.get(); }
    const ColourTable& opaqueTable() const { return opaqueTable_; }

private:
    GradientStops(std::unique_ptr<int32_t[]> positions, std::unique_ptr<agg::rgba8[]> colours,
                  uint32_t count)
        : positions_(std::move(positions)),
          colours_(std::move(colours)),
          count_(count),
          opaqueTable_(positions_.get(), colours_.get(), count_, 1.0f) {}

    const std::unique_ptr<int32_t[]> positions_;
    const std::unique_ptr<agg::rgba8[]> colours_;
    const uint32_t count_;
    const ColourTable opaqueTable_;
};

}  // namespace lumo
