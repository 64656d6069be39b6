package com.quarn.lumo.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.Test;

class TimerTest {
    @Test
    void frequencyIsNanosecondsAndConstant() {
        assertEquals(1_000_000_000L, LUMO.queryPerformanceFrequency());
        assertEquals(1_000_000_000L, LUMO.queryPerformanceFrequency());
    }

    @Test
    void counterIsPositiveMonotonicAndFollowsWallTime() throws InterruptedException {
        long previous = LUMO.queryPerformanceCounter();
        assertTrue(previous > 0, "counter " + previous);
        for (int i = 0; i < 10_000; i++) {
            long now = LUMO.queryPerformanceCounter();
            assertTrue(now >= previous, now + " after " + previous);
            previous = now;
        }

        long frequency = LUMO.queryPerformanceFrequency();
        long before = LUMO.queryPerformanceCounter();
        Thread.sleep(50);
        long elapsed = LUMO.queryPerformanceCounter() - before;
        assertTrue(elapsed >= frequency * 40 / 1000, "50 ms sleep measured " + elapsed + " ticks");
        assertTrue(elapsed <= frequency * 5, "50 ms sleep measured " + elapsed + " ticks");
    }
}
