#include "geometry/TransformKind.h"

#include <cfloat>
#include <cmath>

namespace lumo {

bool finiteTransform(const agg::trans_affine& m) {
    return std::isfinite(m.sx) && std::isfinite(m.shy) && std::isfinite(m.shx) &&
           std::isfinite(m.sy) && std::isfinite(m.tx) && std::isfinite(m.ty);
}

bool invertTransform(const agg::trans_affine& m, agg::trans_affine& inverse) {
    const double det = m.determinant();
    if (!std::isfinite(det) || std::fabs(det) < DBL_MIN) return false;
    agg::trans_affine result = m;
    result.invert();
    if (!finiteTransform(result)) return false;
    inverse = result;
    return true;
}

TransformKind classifyTransform(const agg::trans_affine& m) {
    // A NaN or infinite translation would otherwise pass the exact tests
    // below as a plain translation or orthonormal map.
    if (!finiteTransform(m)) return TRANSFORM_GENERAL;

    const bool translated = m.tx != 0.0 || m.ty != 0.0;
    if (m.shx == 0.0 && m.shy == 0.0 && m.sx == 1.0 && m.sy == 1.0) {
        return translated ? TRANSFORM_TRANSLATE : TRANSFORM_IDENTITY;
    }

    const double det = m.sx * m.sy - m.shx * m.shy;
    if (det == 0.0) return TRANSFORM_GENERAL;

    bool orthonormal;
    if (m.sx == m.sy && m.shx == -m.shy) {
        // Rotation: [c -s; s c] with c*c + s*s close to 1 from below.
        orthonormal = det >= 0.9999999 && det <= 1.0;
    } else if (m.sx == -m.sy && m.shx == m.shy) {
        // Reflection: [c s; s -c] with determinant close to -1 from above.
        orthonormal = det >= -1.0 && det <= -0.9999999;
    } else {
        orthonormal = false;
    }
    if (!orthonormal) return TRANSFORM_GENERAL;
    return translated ? TRANSFORM_ORTHONORMAL_TRANSLATE : TRANSFORM_ORTHONORMAL;
}

}  // namespace lumo
