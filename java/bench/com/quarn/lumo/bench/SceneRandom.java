package com.quarn.lumo.bench;

/**
 * The random numbers every scene is generated from: a 64-bit linear congruential generator
 * (state = state * 6364136223846793005 + 1442695040888963407, modulo 2^64) whose top 53 bits
 * make a double in [0, 1). Each (scene, size) pair starts from its own seed, so the scenes
 * come out the same whichever engine draws them and whichever scenes a run selects.
 */
final class SceneRandom {
    private static final long MULTIPLIER = 6364136223846793005L;
    private static final long INCREMENT = 1442695040888963407L;
    private static final long SEED_BASE = 0x9E3779B97F4A7C15L;

    private long state;

    SceneRandom(long seed) {
        state = seed;
    }

    /** The generator of scene {@code sceneIndex} at {@code size}. */
    static SceneRandom forScene(int sceneIndex, int size) {
        return new SceneRandom(SEED_BASE ^ (sceneIndex * 1000L + size));
    }

    /** Advances the state, then returns its top 53 bits as a double in [0, 1). */
    double next() {
        state = state * MULTIPLIER + INCREMENT;
        return (state >>> 11) * 0x1.0p-53;
    }

    /** floor(next() * n): a whole number in [0, n). */
    int nextInt(int n) {
        return (int) Math.floor(next() * n);
    }
}
