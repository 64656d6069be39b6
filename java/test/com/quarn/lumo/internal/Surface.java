package com.quarn.lumo.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;

import java.util.Arrays;

/** A memory device for one test, with helpers to fill it and read it back. */
final class Surface implements AutoCloseable {
    final int width;
    final int height;
    final int hdc;

    Surface(int width, int height) {
        this.width = width;
        this.height = height;
        this.hdc = MemoryDevice.create(width, height);
        assertNotEquals(0, hdc, "MemoryDevice.create(" + width + ", " + height + ")");
    }

    int[] read() {
        int[] argb = new int[width * height];
        MemoryDevice.read(hdc, argb);
        return argb;
    }

    /** Covers the whole surface with one word through a 32-bit blit and checks that it took. */
    int[] fill(int word) {
        int[] words = new int[width * height];
        Arrays.fill(words, word);
        LUMO.SetDIBitsToDeviceInt(hdc, 0, 0, width, height, 0, 0, words, width, height);
        assertArrayEquals(words, read(), "surface filled by a full-size 32-bit blit");
        return words;
    }

    @Override
    public void close() {
        MemoryDevice.delete(hdc);
    }
}
