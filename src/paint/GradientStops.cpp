#include "paint/GradientStops.h"

#include "core/Colour.h"

#include <new>

namespace lumo {

GradientStops* GradientStops::create(const int32_t* positions, const int32_t* argbColours,
                                     uint32_t count) {
    if (count == 0) return nullptr;
    std::unique_ptr<int32_t[]> stops;
    std::unique_ptr<agg::rgba8[]> colours;
    if (count > held) {
        stops.reset(new (std::nothrow) int32_t[count]);
        colours.reset(new (std::nothrow) agg::rgba8[count]);
        if (!stops || !colours) return nullptr;
    }
    return new (std::nothrow)
        GradientStops(std::move(stops), std::move(colours), positions, argbColours, count);
}

GradientStops::GradientStops(std::unique_ptr<int32_t[]> positions,
                             std::unique_ptr<agg::rgba8[]> colours, const int32_t* stops,
                             const int32_t* argbColours, uint32_t count)
    : count_(count),
      heapPositions_(std::move(positions)),
      heapColours_(std::move(colours)),
      positions_(keepPositions(stops)),
      colours_(keepColours(argbColours)),
      opaqueTable_(positions_, colours_, count_, 1.0f) {}

const int32_t* GradientStops::keepPositions(const int32_t* stops) {
    int32_t* room = heapPositions_ ? heapPositions_.get() : heldPositions_;
    for (uint32_t i = 0; i < count_; ++i) room[i] = stops[i];
    return room;
}

const agg::rgba8* GradientStops::keepColours(const int32_t* argbColours) {
    agg::rgba8* room = heapColours_ ? heapColours_.get() : heldColours_;
    for (uint32_t i = 0; i < count_; ++i) room[i] = rgba8FromArgb(argbColours[i]);
    return room;
}

bool GradientStops::sameAs(const int32_t* positions, const int32_t* argbColours,
                           uint32_t count) const {
    if (count != count_) return false;
    for (uint32_t i = 0; i < count; ++i) {
        if (positions[i] != positions_[i]) return false;
        if (pixelFromRgba8(colours_[i]) != static_cast<uint32_t>(argbColours[i])) return false;
    }
    return true;
}

}  // namespace lumo
