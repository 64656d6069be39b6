#include "paint/GradientStops.h"

#include "core/Colour.h"

#include <new>

namespace lumo {

GradientStops* GradientStops::create(const int32_t* positions, const int32_t* argbColours,
                                     uint32_t count) {
    if (count == 0) return nullptr;
    std::unique_ptr<int32_t[]> stops(new (std::nothrow) int32_t[count]);
    std::unique_ptr<agg::rgba8[]> colours(new (std::nothrow) agg::rgba8[count]);
    if (!stops || !colours) return nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        stops[i] = positions[i];
        colours[i] = rgba8FromArgb(argbColours[i]);
    }
    return new (std::nothrow) GradientStops(std::move(stops), std::move(colours), count);
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
