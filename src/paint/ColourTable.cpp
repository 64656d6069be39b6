#include "paint/ColourTable.h"

#include "paint/Composite.h"
#include "paint/PremultipliedWords.h"
#include "paint/SegmentMix.h"

namespace lumo {

// Entry i of a segment from s to e (s < e, s <= i, and i <= e as unsigned
// values) lies t/256 of the way, defined in double precision as
// t = floor(fl(fl((i - s) / (e - s)) * 256 + 1/2)). With n = i - s and
// w = e - s (both below 2^32) that equals t = floor((512 n + w) / (2 w)) for
// every n and w: the roundings err by less than the distance to the next whole
// number. ColourTableReference (GradientReferenceTest) compares the table with
// the double-precision definition. The table steps the quotient and remainder
// of that division along the segment: one division per segment, none per entry.
ColourTable::ColourTable(const int32_t* positions, const agg::rgba8* colours, uint32_t count,
                         float extraAlpha) {
    interpolate(positions, colours, count, extraAlpha);
    opaque_ = premultiplied::words(entries_, premultiplied_, size);
}

void ColourTable::interpolate(const int32_t* positions, const agg::rgba8* colours, uint32_t count,
                              float extraAlpha) {
    auto colour = [&](uint32_t k) { return withExtraAlpha(colours[k], extraAlpha); };
    if (count == 1) {
        const agg::rgba8 only = colour(0);
        for (agg::rgba8& entry : entries_) entry = only;
        return;
    }

    // The segment being filled: from colour S at position s to E at e; k is
    // the index of stop E.
    agg::rgba8 startColour = colour(0);
    int64_t start = 0;
    uint32_t k = positions[0] == 0 ? 1 : 0;
    agg::rgba8 endColour = colour(k);
    int64_t end = positions[k];

    int i = 0;
    while (i < size) {
        const int64_t width = end - start;
        // Positions compare as unsigned 32-bit values: a negative end lies
        // past every entry. The segment starts at or before i.
        if (width > 0 && uint32_t(i) <= static_cast<uint32_t>(end)) {
            const int last = end < 0 || end >= size - 1 ? size - 1 : int(end);
            const int64_t divisor = 2 * width;
            const int64_t numerator = 512 * (i - start) + width;
            int64_t t = numerator / divisor;
            int64_t remainder = numerator % divisor;
            const int64_t stepQuotient = 512 / divisor;
            const int64_t stepRemainder = 512 % divisor;
            const segment::Mix colourAt(startColour, endColour);
            // Steps t past entry i (once more after the last: harmless).
            auto step = [&] {
                // Without a branch: the carries of most widths follow no
                // pattern a predictor learns.
                t += stepQuotient;
                remainder += stepRemainder;
                if (remainder >= divisor) {
                    remainder -= divisor;
                    ++t;
                }
            };
            for (; last - i >= 3; i += 4) {
                const int64_t t0 = t;
                step();
                const int64_t t1 = t;
                step();
                const int64_t t2 = t;
                step();
                const int64_t t3 = t;
                step();
                colourAt.putFour(entries_ + i, t0, t1, t2, t3);
            }
            for (; i <= last; ++i) {
                colourAt.put(entries_ + i, t);
                step();
            }
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
        ++i;
    }
}

}  // namespace lumo
