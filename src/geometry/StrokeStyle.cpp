#include "geometry/StrokeStyle.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace lumo {

agg::line_cap_e capFromJava(int cap) {
    switch (cap) {
        case 0:
            return agg::butt_cap;
        case 1:
            return agg::round_cap;
        default:
            return agg::square_cap;
    }
}

agg::line_join_e joinFromJava(int join) {
    switch (join) {
        case 1:
            return agg::round_join;
        case 2:
            return agg::bevel_join;
        default:
            return agg::miter_join;
    }
}

StrokeStyle* StrokeStyle::createDefault() {
    return new (std::nothrow) StrokeStyle();
}

StrokeStyle* StrokeStyle::create(float width, int javaCap, int javaJoin, float miterLimit,
                                 const float* dashes, uint32_t dashCount, float dashPhase) {
    StrokeStyle* stroke = new (std::nothrow) StrokeStyle();
    if (stroke == nullptr) return nullptr;
    stroke->width_ = width;
    stroke->cap_ = capFromJava(javaCap);
    stroke->join_ = joinFromJava(javaJoin);
    stroke->miterLimit_ = miterLimit;
    if (dashes != nullptr && dashCount > 0) {
        stroke->storeDashes(dashes, dashCount);
        if (stroke->dashes_ == nullptr) {
            delete stroke;
            return nullptr;
        }
        stroke->dashPhase_ = dashPhase;
        if (stroke->dashUsable_ && std::isfinite(dashPhase)) {
            stroke->dashStart_ = std::fmod(double(dashPhase), stroke->patternLength_);
        }
    }
    return stroke;
}

void StrokeStyle::storeDashes(const float* dashes, uint32_t count) {
    const uint64_t stored = (count % 2 == 1) ? uint64_t(count) * 2 : count;
    dashes_.reset(new (std::nothrow) float[stored]);
    if (dashes_ == nullptr) return;
    for (uint64_t i = 0; i < stored; ++i) dashes_[i] = dashes[i % count];
    dashPairs_ = static_cast<uint32_t>(stored / 2);

    double total = 0.0;
    bool usable = true;
    usedDashPairs_ = std::min(dashPairs_, maxUsedDashPairs);
    for (uint32_t i = 0; i < usedDashPairs_ * 2; ++i) {
        const double length = dashes_[i];
        if (!std::isfinite(length) || length < 0.0) usable = false;
        total += length;
    }
    dashUsable_ = usable && total > 0.0 && std::isfinite(total);
    patternLength_ = dashUsable_ ? total : 0.0;
}

}  // namespace lumo
