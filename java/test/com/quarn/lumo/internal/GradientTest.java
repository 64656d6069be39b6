package com.quarn.lumo.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/** Gradient paints: stops, cycles, radial gradients, extra alpha and bad arguments. */
class GradientTest {
    private static final int LINEAR = 2;
    private static final int RADIAL = 1;
    private static final int[] STOPS = {0, 255};
    private static final int[] BLACK_TO_RED = {0xFF000000, 0xFFFF0000};

    private static int at(int[] pixels, int width, int x, int y) {
        return pixels[y * width + x];
    }

    /**
     * Black to red from x 0 to x 16: pixel x sits at table entry 16 x + 8, whose red byte is
     * floor(255 t / 256) with t = floor(256 i / 255 + 0.5).
     */
    @ParameterizedTest(name = "cycle {0}")
    @CsvSource({
        "0, 0xFF070000, 0xFF880000, 0xFFF80000, 0xFFFF0000, 0xFFFF0000", // pad
        "1, 0xFF070000, 0xFF880000, 0xFFF80000, 0xFF070000, 0xFFF80000", // repeat
        "2, 0xFF070000, 0xFF880000, 0xFFF80000, 0xFFF70000, 0xFF060000", // reflect
    })
    void horizontalLinearGradientAcrossARectangle(int cycle, long at0, long at8, long at15,
            long at16, long at31) {
        try (Canvas c = new Canvas(32, 4)) {
            LUMO.setGradient(c.g, LINEAR, cycle, new double[] {0, 0, 16, 0, 0, 0}, STOPS,
                    BLACK_TO_RED, null);
            LUMO.fillRect(c.g, 0, 0, 32, 4);
            int[] p = c.read();
            for (int y = 0; y < 4; y++) {
                assertEquals((int) at0, at(p, 32, 0, y), "x 0");
                assertEquals((int) at8, at(p, 32, 8, y), "x 8");
                assertEquals((int) at15, at(p, 32, 15, y), "x 15");
                assertEquals((int) at16, at(p, 32, 16, y), "x 16");
                assertEquals((int) at31, at(p, 32, 31, y), "x 31");
            }
        }
    }

    @Test
    void radialGradientRunsFromTheCentreToTheCircle() {
        // Centre (32, 32), radius 16 pixels: one pixel is 16 gradient units.
        try (Canvas c = new Canvas(64, 64)) {
            LUMO.setGradient(c.g, RADIAL, 0, new double[] {32, 32, 48, 32, 32, 32}, STOPS,
                    BLACK_TO_RED, null);
            LUMO.fillRect(c.g, 0, 0, 64, 64);
            int[] p = c.read();
            // The four pixels round the centre are 8 units off on both axes: entry 11.
            assertEquals(0xFF0A0000, at(p, 64, 32, 32));
            assertEquals(0xFF0A0000, at(p, 64, 31, 31));
            // 8.5 pixels out and half a pixel aside, 136.2 units: entry 136, in every direction.
            assertEquals(0xFF880000, at(p, 64, 40, 32));
            assertEquals(0xFF880000, at(p, 64, 23, 32));
            assertEquals(0xFF880000, at(p, 64, 32, 40));
            assertEquals(0xFF880000, at(p, 64, 31, 23));
            // Beyond the circle the gradient pads.
            assertEquals(0xFFFF0000, at(p, 64, 52, 32));
            assertEquals(0xFFFF0000, at(p, 64, 0, 0));
        }
    }

    @Test
    void extraAlphaScalesEveryStop() {
        try (Canvas c = new Canvas(32, 4)) {
            LUMO.setComposite(c.g, 3, 0.5f);
            LUMO.setGradient(c.g, LINEAR, 0, new double[] {0, 0, 16, 0, 0, 0}, STOPS,
                    BLACK_TO_RED, null);
            LUMO.fillRect(c.g, 0, 0, 32, 4);
            int[] p = c.read();
            assertEquals(0x80800000, at(p, 32, 20, 1)); // red at alpha 128, premultiplied
            Canvas.assertNear(Canvas.premultiplied(0xFF880000, 128), at(p, 32, 8, 1), 1, "x 8");
        }
    }

    @Test
    void aCloneKeepsThePaintItWasMadeWith() {
        try (Canvas c = new Canvas(32, 4)) {
            LUMO.setPaint(c.g, 0xFF00FF00);
            int clone = LUMO.cloneGraphics(c.g);
            LUMO.setGradient(c.g, LINEAR, 0, new double[] {0, 0, 16, 0, 0, 0}, STOPS,
                    BLACK_TO_RED, null);
            LUMO.fillRect(clone, 0, 0, 32, 2);
            LUMO.deleteGraphics(clone);
            LUMO.fillRect(c.g, 0, 2, 32, 2);
            int[] p = c.read();
            assertEquals(0xFF00FF00, at(p, 32, 8, 0));
            assertEquals(0xFF880000, at(p, 32, 8, 3));
        }
    }

    @Test
    void unusableArgumentsKeepThePaint() {
        double[] points = {0, 0, 16, 0, 0, 0};
        try (Canvas c = new Canvas(8, 1)) {
            LUMO.setPaint(c.g, 0xFF0000FF);
            LUMO.setGradient(c.g, LINEAR, 0, points, null, BLACK_TO_RED, null);
            LUMO.setGradient(c.g, LINEAR, 0, points, new int[0], new int[0], null);
            LUMO.setGradient(c.g, LINEAR, 0, points, STOPS, new int[] {-1}, null);
            LUMO.setGradient(c.g, LINEAR, 0, new double[5], STOPS, BLACK_TO_RED, null);
            LUMO.setGradient(c.g, LINEAR, 0, null, STOPS, BLACK_TO_RED, null);
            LUMO.setGradient(c.g, LINEAR, 0, points, STOPS, BLACK_TO_RED, new double[5]);
            LUMO.setGradient(c.g, LINEAR, 0, new double[] {0, 0, Double.NaN, 0, 0, 0}, STOPS,
                    BLACK_TO_RED, null);
            LUMO.setGradient(c.g, LINEAR, 0, points, STOPS, BLACK_TO_RED,
                    new double[] {1, 0, 0, Double.POSITIVE_INFINITY, 0, 0});
            LUMO.setGradient(0, LINEAR, 0, points, STOPS, BLACK_TO_RED, null);
            LUMO.fillRect(c.g, 0, 0, 8, 1);
            int[] p = c.read();
            for (int x = 0; x < 8; x++) {
                assertEquals(0xFF0000FF, p[x], "x " + x);
            }
        }
    }
}
