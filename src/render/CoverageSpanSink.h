#pragma once

#include "geometry/SmallBuffer.h"

#include <agg_basics.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lumo {

// Takes coverage handed over row by row (a coverage sweep's sweepRows: rows(), then add_cell,
// add_span and add_cells in order of x) and hands `Blender` (blend(x, y, len, covers)) the spans
// a scan-line would have held: touching pieces joined into one span with a cover per pixel, as
// AGG's scan-lines join them, so that a span generator that works from a span's ends (the
// gradients' fixed-point steps) sees the same spans. Rows alike (a count above one, as a
// rectangle's) take the same spans one row after another. There is no scan-line object to reset
// and walk for each row. A blender with prefetch(x, y) is asked for each span's first pixel as
// the span starts: the destination then comes to the cache while the rest of the row is swept.
// A shape in the rasteriser's grid comes as whole spans instead (row and span), which go to the
// blender as they come.
template <class Blender>
class CoverageSpanSink {
public:
    explicit CoverageSpanSink(Blender& blender) : blender_(blender) {}
    CoverageSpanSink(const CoverageSpanSink&) = delete;
    CoverageSpanSink& operator=(const CoverageSpanSink&) = delete;

    void rows(int y, int count) {
        flush();
        y_ = y;
        count_ = count;
    }

    void add_cell(int x, unsigned cover) { *extend(x, 1) = agg::int8u(cover); }
    void add_span(int x, unsigned len, unsigned cover) {
        std::memset(extend(x, len), int(cover), len);
    }
    void add_cells(int x, unsigned len, const agg::int8u* covers) {
        std::memcpy(extend(x, len), covers, len);
    }

    // Whole spans, as the grid's span sweep (SweepRasterizer::sweepSpans) finds them already
    // joined: row(y), then span(x, len, covers) for each, blended at once.
    void row(int y) {
        flush();
        y_ = y;
    }
    void span(int x, int len, const agg::int8u* covers) {
        blender_.blend(x, y_, unsigned(len), covers);
    }

    // Hands over what the last rows() still holds.
    void finish() { flush(); }

private:
    struct Span {
        int x;
        unsigned len;
        size_t at;  // first cover in covers_
    };

    // Room for the covers of `len` more pixels from x, joined to the last span when it ends
    // where they start.
    agg::int8u* extend(int x, unsigned len) {
        const size_t at = covers_.size();
        covers_.resize(at + len);
        if (!spans_.empty() && int64_t(x) == end_) {
            spans_.back().len += len;
        } else {
            spans_.push_back(Span{x, len, at});
            prefetch(blender_, x, y_, 0);
        }
        end_ = int64_t(x) + len;
        return &covers_[at];
    }

    template <class B>
    static auto prefetch(B& blender, int x, int y, int) -> decltype(blender.prefetch(x, y)) {
        return blender.prefetch(x, y);
    }
    template <class B>
    static void prefetch(B&, int, int, long) {}

    void flush() {
        for (int r = 0; r < count_; ++r) {
            for (size_t i = 0; i < spans_.size(); ++i) {
                const Span& s = spans_[i];
                blender_.blend(s.x, y_ + r, s.len, &covers_[s.at]);
            }
        }
        spans_.clear();
        covers_.clear();
        count_ = 0;
    }

    Blender& blender_;
    int y_ = 0;
    int count_ = 0;
    int64_t end_ = 0;
    SmallBuffer<Span, 32> spans_;
    SmallBuffer<agg::int8u, 1024> covers_;
};

}  // namespace lumo
