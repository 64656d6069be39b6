#pragma once

#include "blend/OverSpans.h"
#include "core/Simd.h"
#include "span/DdaLanes.h"
#include "span/DdaSteps.h"
#include "span/FocalRadial.h"
#include "span/GradientCycles.h"
#include "span/GradientFunctions.h"
#include "span/GradientLanes.h"
#include "span/RadialIndexTable.h"

#include <agg_color_rgba.h>

#include <cstdint>
#include <cstring>

namespace lumo {

// The gradient span loop's fixed-point steps four pixels at a time: the
// coordinates of four pixels stepped in lanes (DdaLanes), their table
// indices from the lanes forms of the functions and cycles where there are
// (GradientLanes.h, RadialIndexTable.h), from the scalar ones otherwise.
namespace gradientBlocks {

// One colour from the table, copied as a 32-bit word.
inline void put(agg::rgba8* to, const agg::rgba8* table, int index) {
    static_assert(sizeof(agg::rgba8) == 4, "a colour is four bytes");
    std::memcpy(to, table + index, 4);
}

#if LUMO_SSE2

// The indices of four pixels from the scalar function and cycle, as the
// bytes of a word.
template <class Function, class Cycle>
uint32_t scalarIndices(const Function& function, __m128i gx, __m128i gy) {
    alignas(16) int x[4], y[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(x), gx);
    _mm_store_si128(reinterpret_cast<__m128i*>(y), gy);
    uint32_t indices = 0;
    for (int k = 0; k < 4; ++k) {
        const int index = Cycle::index(function(int64_t(x[k] >> 4), int64_t(y[k] >> 4)));
        indices |= uint32_t(index) << (8 * k);
    }
    return indices;
}

inline void putFour(agg::rgba8* to, const agg::rgba8* table, uint32_t indices) {
    put(to, table, int(indices & 255));
    put(to + 1, table, int((indices >> 8) & 255));
    put(to + 2, table, int((indices >> 16) & 255));
    put(to + 3, table, int(indices >> 24));
}

// Writes four colours from positions in lanes, where `L` has them.
template <class Function, class Cycle, class L>
struct FromPositions {
    static constexpr bool readsY = L::readsY;
    Function function;
    L positions;

    void write(__m128i gx, __m128i gy, const agg::rgba8* table, agg::rgba8* span) const {
        __m128i v;
        putFour(span, table,
                positions.position(gx, gy, &v)
                    ? lanes::packIndices(lanes::CycleLanes<Cycle>::index(v))
                    : scalarIndices<Function, Cycle>(function, gx, gy));
    }
};

// Functions without a lanes form: the scalar function for each pixel.
template <class Function, class Cycle>
struct FromScalars {
    static constexpr bool readsY = true;
    Function function;

    void write(__m128i gx, __m128i gy, const agg::rgba8* table, agg::rgba8* span) const {
        putFour(span, table, scalarIndices<Function, Cycle>(function, gx, gy));
    }
};

// The radial gradient: indices looked up by the keys of the sums of squares.
template <class Cycle>
struct FromRadialKeys {
    static constexpr bool readsY = true;
    const uint8_t* indices = radialIndex::table<Cycle>();

    void write(__m128i gx, __m128i gy, const agg::rgba8* table, agg::rgba8* span) const {
        __m128i k;
        if (!lanes::RadialKeys().keys(gx, gy, &k)) {
            putFour(span, table,
                    scalarIndices<gradient::Radial, Cycle>(gradient::Radial(), gx, gy));
            return;
        }
        put(span, table, indices[_mm_extract_epi16(k, 0)]);
        put(span + 1, table, indices[_mm_extract_epi16(k, 2)]);
        put(span + 2, table, indices[_mm_extract_epi16(k, 4)]);
        put(span + 3, table, indices[_mm_extract_epi16(k, 6)]);
    }
};

// The writer for each function and cycle.
template <class Function, class Cycle>
struct Writer {
    using type = FromScalars<Function, Cycle>;
    static type make(const FocalRadial&) { return type{Function()}; }
};
template <class Cycle>
struct Writer<gradient::Linear, Cycle> {
    using type = FromPositions<gradient::Linear, Cycle, lanes::Lanes<gradient::Linear>>;
    static type make(const FocalRadial&) { return type{}; }
};
template <class Cycle>
struct Writer<gradient::Diamond, Cycle> {
    using type = FromPositions<gradient::Diamond, Cycle, lanes::Lanes<gradient::Diamond>>;
    static type make(const FocalRadial&) { return type{}; }
};
template <class Cycle>
struct Writer<gradient::Radial, Cycle> {
    using type = FromRadialKeys<Cycle>;
    static type make(const FocalRadial&) { return type{}; }
};
template <class Cycle>
struct Writer<FocalRadial, Cycle> {
    using type = FromPositions<FocalRadial, Cycle, lanes::FocalLanes>;
    static type make(const FocalRadial& focal) { return type{focal, lanes::FocalLanes(focal)}; }
};

// Blocks go to the span.
struct NoOver {};

// Blocks go source-over into a row of pixels with a cover per pixel, from an
// opaque table: at full cover its swapped entries are the pixels; other
// blocks pass through the span (as scratch) and overColorHspan.
struct Over {
    agg::int8u* pixels;
    const agg::int8u* covers;
    const agg::rgba8* swapped;
};

template <class W>
void writeBlock(const W& writer, __m128i gx, __m128i gy, const agg::rgba8* table, agg::rgba8* span,
                unsigned, NoOver) {
    writer.write(gx, gy, table, span);
}

template <class W>
void writeBlock(const W& writer, __m128i gx, __m128i gy, const agg::rgba8* table, agg::rgba8* span,
                unsigned i, const Over& over) {
    uint32_t covers;
    std::memcpy(&covers, over.covers + i, 4);
    agg::int8u* pixels = over.pixels + 4 * size_t(i);
    if (covers == 0xFFFFFFFFu) {
        writer.write(gx, gy, over.swapped, reinterpret_cast<agg::rgba8*>(pixels));
        return;
    }
    if (covers == 0) return;
    writer.write(gx, gy, table, span);
    overColorHspan<false>(pixels, 4, span, over.covers + i, 0);
}

// Whole blocks of four pixels of a span of at least four, from the
// fixed-point steps gx and gy, which move on past them, to `span` + i or
// through `out` (NoOver or Over). Returns the pixels done.
template <class Function, class Cycle, class Out>
unsigned fillFours(const FocalRadial& focal, agg::rgba8* span, const agg::rgba8* table,
                   const Out& out, DdaSteps& gx, DdaSteps& gy, unsigned len) {
    using W = Writer<Function, Cycle>;
    constexpr bool readsY = W::type::readsY;
    const typename W::type writer = W::make(focal);
    DdaLanes x(gx);
    DdaLanes y(readsY ? gy : DdaSteps(0, 0, 1));
    unsigned i = 0;
    for (; i + 4 <= len; i += 4) {
        writeBlock(writer, x.values(), y.values(), table, span + i, i, out);
        x.next();
        if (readsY) y.next();
    }
    gx = x.first(gx);
    if (readsY) gy = y.first(gy);
    return i;
}

#endif

}  // namespace gradientBlocks

}  // namespace lumo
