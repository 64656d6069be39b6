#pragma once

#include "core/Simd.h"

#include <agg_trans_affine.h>

#include <cmath>

namespace lumo {

// The ends of a gradient span as AGG's linear span interpolator starts it: the centres of
// the span's first pixel and of the one after it mapped into gradient space, each as
// agg::trans_affine::transform works it out, and rounded to 24.8 fixed point as agg::iround
// rounds them.
namespace spanEnds {

// Ends mapping within this many gradient units take the fixed-point steps: in 24.8 fixed
// point both ends and their difference fit an int.
constexpr double interpolatedLimit = 4193280.0;  // 2^22 - 1024

inline bool interpolatable(double x, double y) {
    return std::fabs(x) <= interpolatedLimit && std::fabs(y) <= interpolatedLimit;
}

// A coordinate in 24.8 fixed point, rounded as agg::iround rounds it (half away from 0),
// without its branch on the sign: v - 0.5 is v + (-0.5), the half with v's sign (-0 takes
// -0.5, which truncates to 0 as 0.5 does). The sign of a radial gradient's coordinates
// changes from span to span. |v| at most interpolatedLimit.
inline int fixedPoint(double v) {
    v *= 256.0;
    return int(v + std::copysign(0.5, v));
}

// The ends of a span of `len` pixels from (x, y) in 24.8 fixed point: x1, y1, x2, y2. False,
// with nothing put, when a coordinate of an end lies beyond interpolatedLimit (or is NaN).
inline bool fixedPortable(const agg::trans_affine& m, int x, int y, unsigned len, int ends[4]) {
    const double cx = x + 0.5;
    double x1 = cx, y1 = y + 0.5, x2 = cx + len, y2 = y + 0.5;
    m.transform(&x1, &y1);
    m.transform(&x2, &y2);
    if (!interpolatable(x1, y1) || !interpolatable(x2, y2)) return false;
    ends[0] = fixedPoint(x1);
    ends[1] = fixedPoint(y1);
    ends[2] = fixedPoint(x2);
    ends[3] = fixedPoint(y2);
    return true;
}

#if LUMO_SSE2
// fixedPortable with both coordinates of an end in the two lanes of one register, by the
// same operations in the same order: the same results.
inline bool fixedSse2(const agg::trans_affine& m, int x, int y, unsigned len, int ends[4]) {
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    const __m128d xs = _mm_set_pd(m.shy, m.sx);
    const __m128d ys = _mm_mul_pd(_mm_set1_pd(cy), _mm_set_pd(m.sy, m.shx));
    const __m128d ts = _mm_set_pd(m.ty, m.tx);
    const __m128d p1 = _mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_set1_pd(cx), xs), ys), ts);
    const __m128d p2 = _mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_set1_pd(cx + len), xs), ys), ts);
    const __m128d sign = _mm_set1_pd(-0.0);
    const __m128d limit = _mm_set1_pd(interpolatedLimit);
    const __m128d within = _mm_and_pd(_mm_cmple_pd(_mm_andnot_pd(sign, p1), limit),
                                      _mm_cmple_pd(_mm_andnot_pd(sign, p2), limit));
    if (_mm_movemask_pd(within) != 3) return false;
    // fixedPoint in lanes: the half with the sign of each value, then truncation.
    const __m128d scale = _mm_set1_pd(256.0);
    const __m128d half = _mm_set1_pd(0.5);
    const __m128d v1 = _mm_mul_pd(p1, scale);
    const __m128d v2 = _mm_mul_pd(p2, scale);
    const __m128i i1 = _mm_cvttpd_epi32(_mm_add_pd(v1, _mm_or_pd(half, _mm_and_pd(sign, v1))));
    const __m128i i2 = _mm_cvttpd_epi32(_mm_add_pd(v2, _mm_or_pd(half, _mm_and_pd(sign, v2))));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ends), _mm_unpacklo_epi64(i1, i2));
    return true;
}
#endif

// The quickest of the two the processor has.
inline bool fixed(const agg::trans_affine& m, int x, int y, unsigned len, int ends[4]) {
#if LUMO_SSE2
    return fixedSse2(m, x, y, len, ends);
#else
    return fixedPortable(m, x, y, len, ends);
#endif
}

}  // namespace spanEnds

}  // namespace lumo
