#pragma once

#include <agg_array.h>
#include <agg_color_rgba.h>

namespace lumo {

// Room for the colours of one span, handed out as AGG's span_allocator
// hands it out (the same call, so AGG's scan-line renderers take it too):
// spans of up to `held` pixels get an array kept in the object itself, on
// the drawing call's stack, longer ones a heap buffer grown in steps of 256
// colours and kept for the rest of the draw. A draw of small shapes then
// allocates nothing for its spans, where a span allocator's first buffer
// took a heap allocation of a kilobyte on every draw.
class SpanColours {
public:
    static constexpr unsigned held = 256;

    SpanColours() = default;
    SpanColours(const SpanColours&) = delete;
    SpanColours& operator=(const SpanColours&) = delete;

    agg::rgba8* allocate(unsigned len) {
        if (len <= held) return held_;
        if (len > heap_.size()) heap_.resize(((len + 255) >> 8) << 8);
        return &heap_[0];
    }

private:
    agg::rgba8 held_[held];
    agg::pod_array<agg::rgba8> heap_;
};

}  // namespace lumo
