package com.quarn.lumo.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertTimeoutPreemptively;

import java.time.Duration;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.ValueSource;

/** Drawing objects: bad and stale handles, lost render targets, clones, unusable transforms. */
class DrawingStateTest {
    private static final int[] FOREIGN = {0x5EED1234, -7, Integer.MAX_VALUE, Integer.MIN_VALUE};
    private static final int BLACK = 0xFF000000;

    /** An 8 x 8 picture with pixels x 2..3, y 2..3 set to {@code word} and the rest 0. */
    private static int[] square(int word) {
        int[] pixels = new int[64];
        for (int y = 2; y < 4; y++) {
            for (int x = 2; x < 4; x++) {
                pixels[y * 8 + x] = word;
            }
        }
        return pixels;
    }

    /** Changes every part of the state; a red, half-transparent src paint shows on any draw. */
    private static void changeState(int g) {
        LUMO.setHint(g, Canvas.ANTIALIAS, 1);
        LUMO.setHintValue(g, Canvas.STROKE_OFFSET, 3);
        LUMO.setTransform(g, new double[] {1, 0, 0, 1, 1, 1});
        LUMO.setPaint(g, 0xFFFF0000);
        LUMO.setStroke(g, 3, 1, 1, 4, new float[] {2, 1}, 0.5f);
        LUMO.setComposite(g, 2, 0.5f);
    }

    /** Every shape, all within (0.5, 0.5)..(7.5, 7.5) under the identity with a 1-pixel stroke. */
    private static void drawShapes(int g) {
        LUMO.drawLine(g, 1, 1, 7, 7);
        LUMO.drawRect(g, 1, 1, 6, 6);
        LUMO.fillRect(g, 1, 1, 6, 6);
        LUMO.drawOval(g, 1, 1, 6, 6);
        LUMO.fillOval(g, 1, 1, 6, 6);
        LUMO.drawArc(g, 1, 1, 6, 6, 0, 270);
        LUMO.fillArc(g, 1, 1, 6, 6, 0, 270);
        LUMO.drawRoundRect(g, 1, 1, 6, 6, 3, 3);
        LUMO.fillRoundRect(g, 1, 1, 6, 6, 3, 3);
    }

    @Test
    void callsOnBadHandlesChangeNothing() {
        try (Canvas c = new Canvas(8, 8); Surface device = new Surface(2, 2)) {
            LUMO.fillRect(c.g, 2, 2, 2, 2);
            int deleted = LUMO.createGraphics(c.image);
            assertNotEquals(0, deleted);
            LUMO.deleteGraphics(deleted);
            LUMO.deleteGraphics(deleted);

            int[] bad = {0, deleted, c.buffer, c.image, device.hdc, FOREIGN[0], FOREIGN[1],
                FOREIGN[2], FOREIGN[3]};
            for (int handle : bad) {
                changeState(handle);
                drawShapes(handle);
                LUMO.setTransform(handle, null);
            }
            for (int handle : new int[] {0, deleted, c.buffer, device.hdc, FOREIGN[0]}) {
                assertEquals(0, LUMO.createGraphics(handle), "createGraphics(" + handle + ")");
                assertEquals(0, LUMO.cloneGraphics(handle), "cloneGraphics(" + handle + ")");
            }
            assertArrayEquals(square(BLACK), c.read());

            // The live drawing object kept its own state: black, aliased, no transform.
            LUMO.fillRect(c.g, 4, 4, 1, 1);
            int[] expected = square(BLACK);
            expected[4 * 8 + 4] = BLACK;
            assertArrayEquals(expected, c.read());
        }
    }

    @Test
    void drawingObjectOfADeletedRenderTargetDrawsNothing() {
        int buffer = LUMO.createDataBuffer(8, 8, 0);
        int image = LUMO.createNativeImage(buffer);
        int viewer = LUMO.createNativeImage(buffer);
        int g = LUMO.createGraphics(image);
        try {
            LUMO.fillRect(g, 2, 2, 2, 2);
            LUMO.deleteNativeImage(image);
            changeState(g);
            drawShapes(g);
            assertEquals(0, LUMO.cloneGraphics(g));
            assertArrayEquals(square(BLACK), Canvas.read(viewer, 8, 8));
        } finally {
            LUMO.deleteGraphics(g);
            LUMO.deleteGraphics(g);
            LUMO.deleteNativeImage(viewer);
            LUMO.deleteDataBuffer(buffer);
        }
    }

    @Test
    void pixelBufferOutlivesItsHandleWhileARenderTargetUsesIt() {
        int buffer = LUMO.createDataBuffer(8, 8, 0);
        int image = LUMO.createNativeImage(buffer);
        LUMO.deleteDataBuffer(buffer);
        int g = LUMO.createGraphics(image);
        try {
            assertNotEquals(0, g);
            LUMO.fillRect(g, 2, 2, 2, 2);
            assertArrayEquals(square(BLACK), Canvas.read(image, 8, 8));
        } finally {
            LUMO.deleteGraphics(g);
            LUMO.deleteNativeImage(image);
        }
    }

    @Test
    void cloneStartsWithTheStateOfItsSourceAndThenGoesItsOwnWay() {
        try (Canvas c = new Canvas(16, 16)) {
            LUMO.setPaint(c.g, 0xFFFF0000);
            LUMO.setTransform(c.g, new double[] {1, 0, 0, 1, 8, 0});
            LUMO.setComposite(c.g, 3, 0.5f);
            int clone = LUMO.cloneGraphics(c.g);
            assertNotEquals(0, clone);
            assertNotEquals(c.g, clone);

            LUMO.fillRect(clone, 0, 0, 2, 2); // half-transparent red at x 8..9
            LUMO.setPaint(clone, 0xFF0000FF);
            LUMO.setTransform(clone, null);
            LUMO.setComposite(clone, 3, 1);
            LUMO.fillRect(clone, 0, 4, 2, 2); // blue at x 0..1
            LUMO.deleteGraphics(clone);
            LUMO.fillRect(c.g, 0, 8, 2, 2); // the source is unchanged: red at x 8..9

            int[] expected = new int[256];
            for (int y = 0; y < 2; y++) {
                for (int x = 0; x < 2; x++) {
                    expected[y * 16 + 8 + x] = 0x80800000;
                    expected[(4 + y) * 16 + x] = 0xFF0000FF;
                    expected[(8 + y) * 16 + 8 + x] = 0x80800000;
                }
            }
            assertArrayEquals(expected, c.read());
        }
    }

    @Test
    void transformsReplaceEachOtherButShortArraysChangeNothing() {
        try (Canvas c = new Canvas(8, 8)) {
            LUMO.setTransform(c.g, new double[] {1, 0, 0, 1, 3, 0});
            LUMO.setTransform(c.g, new double[] {1, 0, 0, 1, 0, -2});
            LUMO.setTransform(c.g, new double[5]);
            LUMO.setTransform(c.g, new double[0]);
            LUMO.fillRect(c.g, 2, 4, 2, 2); // lands on y 2..3
            int[] expected = square(BLACK);
            assertArrayEquals(expected, c.read());

            LUMO.setTransform(c.g, null);
            LUMO.fillRect(c.g, 6, 6, 1, 1);
            expected[6 * 8 + 6] = BLACK;
            assertArrayEquals(expected, c.read());
        }
    }

    /**
     * Matrices with a NaN or an infinity, or a huge scale or translation that puts every shape
     * far off the target: nothing lands and the calls return.
     */
    @ParameterizedTest(name = "device stroke {0}")
    @ValueSource(ints = {0, 1})
    void unusableTransformsDrawNothing(int deviceStroke) {
        double nan = Double.NaN;
        double inf = Double.POSITIVE_INFINITY;
        double[][] matrices = {
            {1e300, 0, 0, 1e300, 0, 0}, {-1e300, 0, 0, -1e300, 0, 0}, {1, 0, 0, 1, 1e300, 0},
            {1e300, 1e300, -1e300, 1e300, 0, 0}, {nan, 0, 0, nan, 0, 0}, {1, 0, 0, 1, nan, 0},
            {1, nan, 0, 1, 0, 0}, {inf, 0, 0, inf, 0, 0}, {1, 0, 0, 1, -inf, 0}};
        try (Canvas c = new Canvas(8, 8)) {
            LUMO.fillRect(c.g, 2, 2, 2, 2);
            changeState(c.g);
            LUMO.setStroke(c.g, 1, 2, 0, 10, null, 0);
            LUMO.setHint(c.g, Canvas.DEVICE_STROKE, deviceStroke);
            for (double[] m : matrices) {
                LUMO.setTransform(c.g, m);
                assertTimeoutPreemptively(Duration.ofSeconds(10), () -> drawShapes(c.g));
            }
            assertArrayEquals(square(BLACK), c.read());

            // The drawing object is still usable.
            LUMO.setTransform(c.g, null);
            LUMO.setComposite(c.g, 3, 1);
            LUMO.setHint(c.g, Canvas.STROKE_OFFSET, 0);
            LUMO.fillRect(c.g, 6, 6, 1, 1);
            int[] expected = square(BLACK);
            expected[6 * 8 + 6] = 0xFFFF0000;
            assertArrayEquals(expected, c.read());
        }
    }
}
