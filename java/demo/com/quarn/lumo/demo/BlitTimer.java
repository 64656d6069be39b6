package com.quarn.lumo.demo;

import com.quarn.lumo.internal.LUMO;

/** Adds up the time spent inside the library's blits, in ticks of its high-resolution counter. */
final class BlitTimer {
    private long ticks;
    private int blits;

    void time(Runnable blit) {
        long start = LUMO.queryPerformanceCounter();
        blit.run();
        ticks += LUMO.queryPerformanceCounter() - start;
        blits++;
    }

    int blits() {
        return blits;
    }

    double milliseconds() {
        return ticks * 1000.0 / LUMO.queryPerformanceFrequency();
    }
}
