package com.quarn.lumo.bench;

import java.lang.management.ManagementFactory;
import java.lang.management.ThreadMXBean;

/**
 * What a batch is timed with: the CPU time of the drawing thread, which other processes
 * competing for the cores do not inflate (both engines draw on the calling thread), or the
 * wall clock.
 */
enum BenchClock {
    CPU {
        private final ThreadMXBean threads = ManagementFactory.getThreadMXBean();

        @Override
        long nanos() {
            return threads.getCurrentThreadCpuTime();
        }

        @Override
        boolean available() {
            return threads.isCurrentThreadCpuTimeSupported() && threads.isThreadCpuTimeEnabled();
        }
    },
    WALL {
        @Override
        long nanos() {
            return System.nanoTime();
        }

        @Override
        boolean available() {
            return true;
        }
    };

    /** A reading in nanoseconds; only differences of readings mean anything. */
    abstract long nanos();

    abstract boolean available();
}
