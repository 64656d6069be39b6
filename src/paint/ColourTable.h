#pragma once

#include <agg_color_rgba.h>

#include <cstdint>

namespace lumo {

// The 256 straight-alpha colours a gradient looks its positions up in,
// interpolated between colour stops.
class ColourTable {
public:
    static constexpr int size = 256;

    // The table for `count` (at least 1) stops at `positions` (table units,
    // any int: stops need not be in order or in range) with `colours`, each
    // colour's alpha first scaled by the extra alpha. Entries up to the first
    // stop take its colour; between two stops the bytes are interpolated;
    // after the last stop, or from a stop that does not lie past the one
    // before it, the table moves on to the next stop's colour.
    ColourTable(const int32_t* positions, const agg::rgba8* colours, uint32_t count,
                float extraAlpha);

    const agg::rgba8& operator[](int index) const { return entries_[index]; }

    // Whether every entry has alpha 255.
    bool opaque() const { return opaque_; }
    // The entries premultiplied, as words of bytes b, g, r, a: what each
    // adds to a pixel at full cover in source-over (IndexedOverSpans.h).
    const uint32_t* premultiplied() const { return premultiplied_; }

private:
    // Fills the entries; returns a bit for each block of eight entries whose
    // premultiplied words it made too (and folded into opaque_).
    uint32_t interpolate(const int32_t* positions, const agg::rgba8* colours, uint32_t count,
                         float extraAlpha);

    agg::rgba8 entries_[size];
    uint32_t premultiplied_[size];
    bool opaque_;
};

}  // namespace lumo
