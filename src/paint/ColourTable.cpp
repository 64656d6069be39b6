#include "paint/ColourTable.h"

#include "paint/Composite.h"

namespace lumo {

namespace {

// floor(a / 256) for any sign of a.
int64_t floorDiv256(int64_t a) {
    return a >= 0 ? a / 256 : -((-a + 255) / 256);
}

// One byte moved t/256 of the way from s to e, kept to its low 8 bits (t
// exceeds 256 only for stops whose positions wrap around as unsigned values).
agg::int8u mix(agg::int8u s, agg::int8u e, int64_t t) {
    const int64_t value = int64_t(s) + floorDiv256((int64_t(e) - int64_t(s)) * t);
    return static_cast<agg::int8u>(static_cast<uint64_t>(value) & 0xFF);
}

}  // namespace

ColourTable::ColourTable(const int32_t* positions, const agg::rgba8* colours, uint32_t count,
                         float extraAlpha) {
    auto colour = [&](uint32_t k) { return withExtraAlpha(colours[k], extraAlpha); };
    if (count == 1) {
        for (agg::rgba8& entry : entries_) entry = colour(0);
        return;
    }

    // The segment being filled: from colour S at position s to E at e; k is
    // the index of stop E.
    agg::rgba8 startColour = colour(0);
    int64_t start = 0;
    uint32_t k = positions[0] == 0 ? 1 : 0;
    agg::rgba8 endColour = colour(k);
    int64_t end = positions[k];

    for (int i = 0; i < size; ++i) {
        const int64_t width = end - start;
        // Positions compare as unsigned 32-bit values: a negative end lies
        // past every entry.
        if (width > 0 && uint32_t(i) <= static_cast<uint32_t>(end)) {
            // The fraction is never negative here (the segment starts at or
            // before i), so truncating rounds it down, as floor would.
            const double fraction = double(i - start) / double(width);
            const int64_t t = int64_t(fraction * 256.0 + 0.5);
            entries_[i] =
                agg::rgba8(mix(startColour.r, endColour.r, t), mix(startColour.g, endColour.g, t),
                           mix(startColour.b, endColour.b, t), mix(startColour.a, endColour.a, t));
            continue;
        }
        entries_[i] = endColour;
        if (++k == count) {
            for (int j = i + 1; j < size; ++j) entries_[j] = endColour;
            return;
        }
        startColour = endColour;
        start = end;
        endColour = colour(k);
        end = positions[k];
    }
}

}  // namespace lumo
