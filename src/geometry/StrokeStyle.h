#pragma once

#include "core/SharedObject.h"

#include <agg_math_stroke.h>

#include <cstdint>
#include <memory>

namespace lumo {

// How outlines are stroked: width, caps, joins, miter limit and dashes.
// Immutable and counted: setStroke always builds a new one.
class StrokeStyle final : public SharedObject {
public:
    // The most (dash, gap) pairs the dash generator takes; further pairs are
    // stored but not used.
    static constexpr uint32_t maxUsedDashPairs = 16;

    // The default stroke: width 1, miter limit 10, square caps, miter joins,
    // no dashes. Null when memory runs out.
    static StrokeStyle* createDefault();
    // A stroke from Java's values. The dash values (count may be 0, values
    // null then) are stored twice in a row when their count is odd, so the
    // pattern always has whole (dash, gap) pairs; without dashes the phase
    // is 0. Null when memory runs out.
    static StrokeStyle* create(float width, int javaCap, int javaJoin, float miterLimit,
                               const float* dashes, uint32_t dashCount, float dashPhase);

    float width() const { return width_; }
    float miterLimit() const { return miterLimit_; }
    float dashPhase() const { return dashPhase_; }
    uint32_t dashPairs() const { return dashPairs_; }
    const float* dashes() const { return dashes_.get(); }
    agg::line_cap_e cap() const { return cap_; }
    agg::line_join_e join() const { return join_; }

    // True when the pattern can cut an outline into dashes: it has pairs,
    // and the pairs the generator uses are finite, not negative and not all
    // zero. Other patterns would stall the dash generator; outlines are then
    // drawn solid.
    bool dashed() const { return dashUsable_; }
    // Length of the pattern the generator uses (meaningful when dashed()).
    double patternLength() const { return patternLength_; }
    // The (dash, gap) pairs the generator uses: the first maxUsedDashPairs.
    uint32_t usedDashPairs() const { return usedDashPairs_; }
    // Where the pattern starts: the phase reduced to one pattern length,
    // keeping its sign (a negative phase runs the pattern on from one
    // sub-path into the next). The dash generator walks the phase dash by
    // dash, so a huge phase would stall it; a phase that is not finite
    // starts at 0. Meaningful when dashed().
    double dashStart() const { return dashStart_; }

private:
    StrokeStyle() = default;
    void storeDashes(const float* dashes, uint32_t count);

    float width_ = 1.0f;
    float miterLimit_ = 10.0f;
    float dashPhase_ = 0.0f;
    uint32_t dashPairs_ = 0;
    std::unique_ptr<float[]> dashes_;
    agg::line_cap_e cap_ = agg::square_cap;
    agg::line_join_e join_ = agg::miter_join;
    bool dashUsable_ = false;
    double patternLength_ = 0.0;
    uint32_t usedDashPairs_ = 0;
    double dashStart_ = 0.0;
};

// Java's BasicStroke cap and join constants mapped to AGG's.
agg::line_cap_e capFromJava(int cap);
agg::line_join_e joinFromJava(int join);

}  // namespace lumo
