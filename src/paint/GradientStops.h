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
    const int32_t* positions() const { return positions_; }
    const agg::rgba8* colours() const { return colours_; }
    const ColourTable& opaqueTable() const { return opaqueTable_; }

private:
    // Up to this many stops are kept in the object itself: a client that sets
    // a new gradient of a few stops for every shape allocates one block for
    // them rather than three.
    static constexpr uint32_t held = 4;

    // `positions` and `colours` are null for stops held in the object.
    GradientStops(std::unique_ptr<int32_t[]> positions, std::unique_ptr<agg::rgba8[]> colours,
                  const int32_t* stops, const int32_t* argbColours, uint32_t count);

    // Copies the stops into the room they have (the object's own when the
    // heap arrays are null) and points the accessors at it.
    const int32_t* keepPositions(const int32_t* stops);
    const agg::rgba8* keepColours(const int32_t* argbColours);

    const uint32_t count_;
    const std::unique_ptr<int32_t[]> heapPositions_;
    const std::unique_ptr<agg::rgba8[]> heapColours_;
    int32_t heldPositions_[held];
    agg::rgba8 heldColours_[held];
    // Initialised in this order, after the room above.
    const int32_t* const positions_;
    const agg::rgba8* const colours_;
    const ColourTable opaqueTable_;
};

}  // namespace lumo
