#pragma once

#include "core/Simd.h"
#include "span/DdaLanes.h"
#include "span/DdaSteps.h"
#include "span/FocalRadial.h"
#include "span/GradientBlocksAvx2.h"
#include "span/GradientCycles.h"
#include "span/GradientFunctions.h"
#include "span/GradientLanes.h"
#include "span/GradientOutputs.h"
#include "span/RadialIndexTable.h"

#include <cstdint>
#include <type_traits>

#if LUMO_SSE2

namespace lumo {

// The gradient span loop's fixed-point steps four pixels at a time: the
// coordinates of four pixels stepped in lanes (DdaLanes), their table
// indices from the lanes forms of the functions and cycles where there are
// (GradientLanes.h, RadialIndexTable.h), from the scalar ones otherwise, put
// to an output of GradientOutputs.h.
namespace gradientBlocks {

// The shortest radial span whose indices take the eight-pixel loop: two sets of lanes to set
// up.
constexpr unsigned radialIndicesEights = 32;

// The indices of the first `count` of four pixels from the scalar function
// and cycle, as the bytes of a word (the others 0).
template <class Function, class Cycle>
uint32_t scalarIndices(const Function& function, __m128i gx, __m128i gy, unsigned count = 4) {
    alignas(16) int x[4], y[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(x), gx);
    _mm_store_si128(reinterpret_cast<__m128i*>(y), gy);
    uint32_t indices = 0;
    for (unsigned k = 0; k < count; ++k) {
        const int index = Cycle::index(function(int64_t(x[k] >> 4), int64_t(y[k] >> 4)));
        indices |= uint32_t(index) << (8 * k);
    }
    return indices;
}

// The first `count` (1 to 3) pixels of a block of four put to an output;
// the others are dropped.
template <class Output>
struct FirstOf {
    const Output& out;
    unsigned count;

    LUMO_OUTPUT_INLINE void four(unsigned i, uint32_t indices) const {
        out.some(i, count, indices);
    }
    LUMO_OUTPUT_INLINE void four(unsigned i, int a, int b, int c, int d) const {
        out.some(i, count, uint32_t(a) | uint32_t(b) << 8 | uint32_t(c) << 16 | uint32_t(d) << 24);
    }
};

// Indices from positions in lanes, where `L` has them.
template <class Function, class Cycle, class L>
struct FromPositions {
    static constexpr bool readsY = L::readsY;
    Function function;
    L positions;

    template <class Output>
    LUMO_OUTPUT_INLINE void write(__m128i gx, __m128i gy, const Output& out, unsigned i) const {
        __m128i v;
        out.four(i, positions.position(gx, gy, &v)
                        ? lanes::packIndices(lanes::CycleLanes<Cycle>::index(v))
                        : scalarIndices<Function, Cycle>(function, gx, gy));
    }
};

// Functions without a lanes form: the scalar function for each pixel.
template <class Function, class Cycle>
struct FromScalars {
    static constexpr bool readsY = true;
    Function function;

    template <class Output>
    LUMO_OUTPUT_INLINE void write(__m128i gx, __m128i gy, const Output& out, unsigned i) const {
        out.four(i, scalarIndices<Function, Cycle>(function, gx, gy));
    }
    // A span's last pixels: the function only for those kept.
    template <class Output>
    LUMO_OUTPUT_INLINE void write(__m128i gx, __m128i gy, const FirstOf<Output>& out,
                                  unsigned i) const {
        out.four(i, scalarIndices<Function, Cycle>(function, gx, gy, out.count));
    }
};

// The radial and square-root-of-xy gradients: indices looked up by the keys
// of the values whose root they take (RadialKeys, ProductKeys).
template <class Function, class Cycle, class Keys>
struct FromKeys {
    static constexpr bool readsY = true;
    const uint8_t* indices;  // radialIndex::table<Cycle>()

    template <class Output>
    LUMO_OUTPUT_INLINE void write(__m128i gx, __m128i gy, const Output& out, unsigned i) const {
        __m128i k;
        if (!Keys().keys(gx, gy, &k)) {
            out.four(i, scalarIndices<Function, Cycle>(Function(), gx, gy));
            return;
        }
#if defined(__x86_64__) || defined(_M_X64)
        // Two keys to a 64-bit move rather than one to each extraction.
        const uint64_t k01 = uint64_t(_mm_cvtsi128_si64(k));
        const uint64_t k23 = uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(k, k)));
        out.four(i, indices[uint32_t(k01)], indices[k01 >> 32], indices[uint32_t(k23)],
                 indices[k23 >> 32]);
#else
        out.four(i, indices[_mm_extract_epi16(k, 0)], indices[_mm_extract_epi16(k, 2)],
                 indices[_mm_extract_epi16(k, 4)], indices[_mm_extract_epi16(k, 6)]);
#endif
    }
};

// The writer for each function and cycle.
template <class Function, class Cycle>
struct Writer {
    using type = FromScalars<Function, Cycle>;
    static type make(const FocalRadial&, const uint8_t*) { return type{Function()}; }
};
template <class Cycle>
struct Writer<gradient::Linear, Cycle> {
    using type = FromPositions<gradient::Linear, Cycle, lanes::Lanes<gradient::Linear>>;
    static type make(const FocalRadial&, const uint8_t*) { return type{}; }
};
template <class Cycle>
struct Writer<gradient::Diamond, Cycle> {
    using type = FromPositions<gradient::Diamond, Cycle, lanes::Lanes<gradient::Diamond>>;
    static type make(const FocalRadial&, const uint8_t*) { return type{}; }
};
template <class Cycle>
struct Writer<gradient::Radial, Cycle> {
    using type = FromKeys<gradient::Radial, Cycle, lanes::RadialKeys>;
    static type make(const FocalRadial&, const uint8_t* indices) { return type{indices}; }
};
template <class Cycle>
struct Writer<gradient::SqrtXy, Cycle> {
    using type = FromKeys<gradient::SqrtXy, Cycle, lanes::ProductKeys>;
    static type make(const FocalRadial&, const uint8_t* indices) { return type{indices}; }
};
template <class Cycle>
struct Writer<gradient::Xy, Cycle> {
    using type = FromPositions<gradient::Xy, Cycle, lanes::Lanes<gradient::Xy>>;
    static type make(const FocalRadial&, const uint8_t*) { return type{}; }
};
template <class Cycle>
struct Writer<FocalRadial, Cycle> {
    using type = FromPositions<FocalRadial, Cycle, lanes::FocalLanes>;
    static type make(const FocalRadial& focal, const uint8_t*) {
        return type{focal, lanes::FocalLanes(focal)};
    }
};

// Every pixel of a span in blocks of four from the fixed-point steps gx and
// gy: the last one to three pixels as a block whose other lanes are
// dropped. Those lanes step on past the span's end, where their values may
// wrap (they are then only worked out and thrown away); the lanes within it
// hold the scalar steps' values whatever the length (DdaLanes). The radial
// and square-root-of-xy gradients look their indices up in `radialIndices`,
// radialIndex::table<Cycle>(). Returns the pixels done: all of them.
template <class Function, class Cycle, class Output>
unsigned fillFours(const FocalRadial& focal, const uint8_t* radialIndices, const Output& out,
                   DdaSteps& gx, DdaSteps& gy, unsigned len) {
#if LUMO_AVX2
    // Spans blended as they are worked out take eight pixels at a time where the processor has
    // AVX2, from a length that depends on the function (gradientAvx2::shortestEights).
    if constexpr (gradientAvx2::eights<Function, Output>) {
        if (len >= gradientAvx2::shortestEights<Function> && cpuHasAvx2) {
            gradientAvx2::fillEights<Function, Cycle>(radialIndices, out, gx, gy, len);
            return len;
        }
    }
    // Radial indices likewise.
    if constexpr (std::is_same<Function, gradient::Radial>::value &&
                  std::is_same<Output, gradientOutput::Indices>::value) {
        if (len >= radialIndicesEights && cpuHasAvx2) {
            gradientAvx2::radialIndices<Cycle>(radialIndices, out.span, gx, gy, len);
            return len;
        }
    }
#endif
    using W = Writer<Function, Cycle>;
    constexpr bool readsY = W::type::readsY;
    const typename W::type writer = W::make(focal, radialIndices);
    DdaLanes x(gx);
    DdaLanes y(readsY ? gy : DdaSteps(0, 0, 1));
    unsigned i = 0;
    for (; i + 4 <= len; i += 4) {
        writer.write(x.values(), y.values(), out, i);
        x.next();
        if (readsY) y.next();
    }
    if (i < len) writer.write(x.values(), y.values(), FirstOf<Output>{out, len - i}, i);
    return len;
}

}  // namespace gradientBlocks

}  // namespace lumo

#endif
