#pragma once

#include "geometry/TransformKind.h"
#include "geometry/VertexSource.h"

#include <agg_basics.h>
#include <agg_trans_affine.h>

#include <cmath>

namespace lumo {

// True when each of the six components is within 1e-14 of the identity's.
// (AGG's own test scales its tolerance with the numbers compared, so it does
// not treat tiny translations alike in both directions.)
inline bool nearIdentity(const agg::trans_affine& m) {
    constexpr double e = 1e-14;
    return std::fabs(m.sx - 1.0) <= e && std::fabs(m.sy - 1.0) <= e && std::fabs(m.shx) <= e &&
           std::fabs(m.shy) <= e && std::fabs(m.tx) <= e && std::fabs(m.ty) <= e;
}

// Maps the vertices of another source through an affine matrix, doing only the
// work its kind needs. Source is any type with rewind(unsigned) and
// vertex(double*, double*): a VertexSource or one of AGG's shape generators.
// The source is borrowed and must outlive this object.
template <class Source>
class TransformedSource final : public VertexSource {
public:
    // Applies transform (nullptr for none) followed by a translation by
    // (dx, dy). A transform within 1e-14 of the identity is ignored.
    TransformedSource(Source& source, const agg::trans_affine* transform, double dx, double dy)
        : source_(&source),
          kind_(TRANSFORM_IDENTITY),
          matrix_(agg::trans_affine_translation(dx, dy)) {
        const bool offset = dx != 0.0 || dy != 0.0;
        if (transform != nullptr && !nearIdentity(*transform)) {
            matrix_ = *transform;
            if (offset) matrix_ *= agg::trans_affine_translation(dx, dy);
            kind_ = classifyTransform(matrix_);
        } else if (offset) {
            kind_ = TRANSFORM_TRANSLATE;
        }
    }

    // Applies transform whose kind the caller already knows, saving the
    // classification.
    TransformedSource(Source& source, const agg::trans_affine& transform, TransformKind knownKind)
        : source_(&source), kind_(knownKind), matrix_(transform) {}

    void rewind(unsigned pathId) final { source_->rewind(pathId); }

    unsigned vertex(double* x, double* y) final {
        const unsigned cmd = source_->vertex(x, y);
        if (!agg::is_vertex(cmd)) return cmd;
        switch (kind_) {
            case TRANSFORM_IDENTITY:
                break;
            case TRANSFORM_TRANSLATE:
                *x += matrix_.tx;
                *y += matrix_.ty;
                break;
            default: {
                const double sx = *x;
                *x = matrix_.sx * sx + matrix_.shx * *y + matrix_.tx;
                *y = matrix_.shy * sx + matrix_.sy * *y + matrix_.ty;
                break;
            }
        }
        return cmd;
    }

    // Whoever assembles the pipeline decides on curve flattening from the
    // wrapped shape; the adapter itself adds none.
    bool has_curves() const final { return false; }

    TransformKind kind() const { return kind_; }
    const agg::trans_affine& matrix() const { return matrix_; }

private:
    Source* source_;
    TransformKind kind_;
    agg::trans_affine matrix_;
};

}  // namespace lumo
