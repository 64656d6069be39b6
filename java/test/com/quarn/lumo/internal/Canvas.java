package com.quarn.lumo.internal;

import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.fail;

/**
 * A pixel buffer, a render target on it and one drawing object for a test, with helpers to
 * read the pixels back (premultiplied 0xAARRGGBB, top row first) through a memory device.
 */
final class Canvas implements AutoCloseable {
    static final int ANTIALIAS = 1;
    static final int DEVICE_STROKE = 8;
    static final int STROKE_OFFSET = 0x600;

    /** What the device shows where the render target has no pixels to give. */
    static final int UNWRITTEN = 0x5A5A5A5A;

    final int width;
    final int height;
    final int buffer;
    final int image;
    final int g;

    /** A canvas whose buffer is cleared to {@code clearArgb} (opaque or 0 in the tests). */
    Canvas(int width, int height, int clearArgb) {
        this.width = width;
        this.height = height;
        buffer = LUMO.createDataBuffer(width, height, clearArgb);
        image = LUMO.createNativeImage(buffer);
        g = LUMO.createGraphics(image);
        assertNotEquals(0, buffer);
        assertNotEquals(0, image);
        assertNotEquals(0, g);
    }

    Canvas(int width, int height) {
        this(width, height, 0);
    }

    int[] read() {
        return read(image, width, height);
    }

    static int[] read(int image, int width, int height) {
        try (Surface surface = new Surface(width, height)) {
            surface.fill(UNWRITTEN);
            LUMO.SetDIBitsToDevice(surface.hdc, image, 0, 0, width, height, 0, 0);
            return surface.read();
        }
    }

    /** Selects antialiasing and the stroke offset (0 none .. 3 half a pixel right and down). */
    Canvas hints(boolean antialias, int strokeOffset) {
        LUMO.setHint(g, ANTIALIAS, antialias ? 1 : 0);
        LUMO.setHint(g, STROKE_OFFSET, strokeOffset);
        return this;
    }

    static int alpha(int argb) {
        return argb >>> 24;
    }

    static int channel(int argb, int index) {
        return argb >>> (24 - 8 * index) & 0xFF;
    }

    static int argb(int a, int r, int g, int b) {
        return a << 24 | r << 16 | g << 8 | b;
    }

    /** The premultiplied word of a straight colour drawn at {@code coverage} (0..255). */
    static int premultiplied(int straight, int coverage) {
        int a = Math.round(alpha(straight) * coverage / 255f);
        int[] c = new int[3];
        for (int i = 0; i < 3; i++) {
            c[i] = Math.round(channel(straight, i + 1) * a / 255f);
        }
        return argb(a, c[0], c[1], c[2]);
    }

    /** Each of the four channels within {@code tolerance} of the expected one. */
    static void assertNear(int expected, int actual, int tolerance, String what) {
        for (int i = 0; i < 4; i++) {
            if (Math.abs(channel(expected, i) - channel(actual, i)) > tolerance) {
                fail(String.format("%s: expected %08X, got %08X (tolerance %d)",
                        what, expected, actual, tolerance));
            }
        }
    }

    @Override
    public void close() {
        LUMO.deleteGraphics(g);
        LUMO.deleteNativeImage(image);
        LUMO.deleteDataBuffer(buffer);
    }
}
