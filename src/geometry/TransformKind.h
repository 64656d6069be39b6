#pragma once

#include <agg_trans_affine.h>

namespace lumo {

// How much work mapping a point through a matrix takes, from none to a full
// 2x3 product. Orthonormal means a rotation or reflection without scaling.
enum TransformKind : int {
    TRANSFORM_IDENTITY = 8,
    TRANSFORM_TRANSLATE = 16,
    TRANSFORM_ORTHONORMAL = 32,
    TRANSFORM_ORTHONORMAL_TRANSLATE = 48,
    TRANSFORM_GENERAL = 64,
};

// Classifies m. Comparisons are exact except that a rotation or reflection
// whose determinant lies within 1e-7 below magnitude 1 still counts as
// orthonormal. Matrices with a NaN or infinite component are general.
TransformKind classifyTransform(const agg::trans_affine& m);

// True when every component of m is finite.
bool finiteTransform(const agg::trans_affine& m);

// The inverse of m, or false when m collapses the plane or the inverse is
// lost to overflow (a determinant below DBL_MIN has no finite reciprocal).
bool invertTransform(const agg::trans_affine& m, agg::trans_affine& inverse);

}  // namespace lumo
