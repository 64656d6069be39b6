#pragma once

namespace lumo {

// The integers AGG's forward-adjusted dda2_line_interpolator steps through
// from y1 towards y2 in `count` steps (count at least 1), the same sequence,
// held in a plain value that a span loop keeps in registers.
struct DdaSteps {
    int y;     // the current value
    int lift;  // whole step
    int rem;   // remainder of each step, 1..count
    int mod;   // accumulated remainder, -count < mod <= 0
    int count;

    DdaSteps(int y1, int y2, int n) : y(y1), lift((y2 - y1) / n), rem((y2 - y1) % n), count(n) {
        mod = rem;
        if (mod <= 0) {
            mod += count;
            rem += count;
            --lift;
        }
        mod -= count;
    }

    void next() {
        mod += rem;
        y += lift;
        if (mod > 0) {
            mod -= count;
            ++y;
        }
    }
};

}  // namespace lumo
