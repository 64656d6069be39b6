package com.quarn.lumo.internal;

import static com.quarn.lumo.internal.Canvas.alpha;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.fail;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.ValueSource;

/** Polygons, polylines and general paths: fill rules, curves and arrays that fall short. */
class PathTest {
    private static final int SIZE = 48;
    private static final int COLOUR = 0xFF3060C0;
    private static final int FILL = 1;
    private static final byte MOVE = 0;
    private static final byte LINE = 1;
    private static final byte QUAD = 2;
    private static final byte CUBIC = 3;
    private static final byte CLOSE = 4;

    /** The five points of a star about (24, 24) of radius 20, in the order that draws it. */
    private static double[] star() {
        double[] coords = new double[10];
        for (int k = 0; k < 5; k++) {
            double angle = Math.toRadians(-90 + 144 * k);
            coords[2 * k] = 24 + 20 * Math.cos(angle);
            coords[2 * k + 1] = 24 + 20 * Math.sin(angle);
        }
        return coords;
    }

    private static int[] rounded(double[] coords, int offset) {
        int[] values = new int[coords.length / 2];
        for (int i = 0; i < values.length; i++) {
            values[i] = (int) Math.round(coords[2 * i + offset]);
        }
        return values;
    }

    private static int at(int[] pixels, int x, int y) {
        return pixels[y * SIZE + x];
    }

    /**
     * The inner pentagon of the star has apothem 20 cos 72 = 6.18 about the centre, so the
     * 4 x 4 pixels about (24, 24) lie inside it; the pixels about (24, 12) lie in the upper
     * arm.
     */
    private static void assertStar(int[] pixels, boolean centreFilled, String what) {
        for (int y = 22; y < 26; y++) {
            for (int x = 22; x < 26; x++) {
                assertEquals(centreFilled ? COLOUR : 0, at(pixels, x, y),
                        what + ": centre pixel (" + x + ", " + y + ")");
            }
        }
        for (int x = 23; x < 25; x++) {
            assertEquals(COLOUR, at(pixels, x, 12), what + ": arm pixel (" + x + ", 12)");
        }
        assertEquals(0, at(pixels, 4, 4), what + ": outside");
    }

    @ParameterizedTest(name = "nonZero {0}")
    @ValueSource(booleans = {false, true})
    void aStarPathLeavesItsCentreToTheFillRule(boolean nonZero) {
        try (Canvas c = new Canvas(SIZE, SIZE).hints(true, 0)) {
            LUMO.setPaint(c.g, COLOUR);
            byte[] types = {MOVE, LINE, LINE, LINE, LINE, CLOSE};
            LUMO.drawPath(c.g, types.length, types, star(), nonZero, FILL);
            assertStar(c.read(), nonZero, "drawPath");

            // The rule stays for the polygon drawn next.
            LUMO.clearDataBuffer(c.buffer, 0);
            double[] star = star();
            LUMO.fillPolygon(c.g, 5, rounded(star, 0), rounded(star, 1));
            assertStar(c.read(), nonZero, "fillPolygon after drawPath");
        }
    }

    @Test
    void fillPolygonPaintsTheTriangleItEncloses() {
        try (Canvas c = new Canvas(SIZE, SIZE).hints(false, 0)) {
            LUMO.setPaint(c.g, COLOUR);
            // The right-angled triangle below x + y = 40 with corner (4, 4).
            LUMO.fillPolygon(c.g, 3, new int[] {4, 36, 4}, new int[] {4, 4, 36});
            int[] pixels = c.read();
            for (int y = 0; y < SIZE; y++) {
                for (int x = 0; x < SIZE; x++) {
                    String at = "(" + x + ", " + y + ")";
                    if (x >= 4 && y >= 4 && x + y + 2 <= 40) {
                        assertEquals(COLOUR, at(pixels, x, y), "inside " + at);
                    } else if (x < 4 || y < 4 || x + y >= 40) {
                        assertEquals(0, at(pixels, x, y), "outside " + at);
                    }
                }
            }
        }
    }

    @Test
    void onlyThePolygonClosesItsOutline() {
        int[] xs = {8, 40, 40};
        int[] ys = {8, 8, 40};
        int[][] drawn = new int[2][];
        for (int closed = 0; closed < 2; closed++) {
            try (Canvas c = new Canvas(SIZE, SIZE).hints(true, 3)) {
                if (closed == 1) {
                    LUMO.drawPolygon(c.g, 3, xs, ys);
                } else {
                    LUMO.drawPolyline(c.g, 3, xs, ys);
                }
                drawn[closed] = c.read();
            }
        }
        for (int k = 12; k <= 36; k++) {
            for (int closed = 0; closed < 2; closed++) {
                String what = (closed == 1 ? "polygon" : "polyline") + " at " + k;
                assertEquals(0xFF000000, at(drawn[closed], k, 8), what + ", top edge");
                assertEquals(0xFF000000, at(drawn[closed], 40, k), what + ", right edge");
                assertEquals(0, at(drawn[closed], k, k + 3), what + ", below the diagonal");
            }
            // The closing segment from (40, 40) to (8, 8) runs through the pixel centres
            // (k + 0.5, k + 0.5): a 1-wide line leaves two corners of 1 - 1 / sqrt 2 each
            // side, covering 1 - (1 - 1 / sqrt 2)^2 = 91.4 % of the pixel.
            assertEquals(0, at(drawn[0], k, k), "polyline on the diagonal at " + k);
            assertEquals(233, alpha(at(drawn[1], k, k)), 8, "polygon on the diagonal at " + k);
        }
    }

    /**
     * A lens between two parabolas through (4, 24) and (44, 24), peaking 18 above and below:
     * a quadratic up and a cubic (the same parabola mirrored, raised to degree three) back.
     * It is the region |y - 24| <= 18 (1 - ((x - 24) / 20)^2), of area 2 * 2/3 * 40 * 18.
     */
    @Test
    void curvedSegmentsFillTheirArea() {
        byte[] types = {MOVE, QUAD, CUBIC, CLOSE};
        double c1 = 24 + 2.0 / 3 * 36; // control points of the cubic: 2/3 towards (24, 60)
        double[] coords = {4, 24, 24, -12, 44, 24, 44 - 2.0 / 3 * 20, c1, 4 + 2.0 / 3 * 20, c1,
            4, 24};
        int[] pixels;
        try (Canvas c = new Canvas(SIZE, SIZE).hints(true, 0)) {
            LUMO.drawPath(c.g, types.length, types, coords, false, FILL);
            pixels = c.read();
        }
        int samples = 8;
        double drawnArea = 0;
        for (int y = 0; y < SIZE; y++) {
            for (int x = 0; x < SIZE; x++) {
                int inside = 0;
                for (int j = 0; j < samples; j++) {
                    for (int i = 0; i < samples; i++) {
                        double px = x + (i + 0.5) / samples;
                        double py = y + (j + 0.5) / samples;
                        double u = (px - 24) / 20;
                        if (Math.abs(py - 24) <= 18 * (1 - u * u)) {
                            inside++;
                        }
                    }
                }
                double expected = inside / (double) (samples * samples);
                double actual = alpha(at(pixels, x, y)) / 255.0;
                if (Math.abs(expected - actual) > 0.25) {
                    fail(String.format("pixel (%d, %d) has coverage %.2f, expected %.2f", x, y,
                            actual, expected));
                }
                drawnArea += actual;
            }
        }
        assertEquals(2 * 2.0 / 3 * 40 * 18, drawnArea, 8, "total coverage");
    }

    @Test
    void missingOrShortArraysDrawNothing() {
        try (Canvas c = new Canvas(SIZE, SIZE)) {
            int[] three = {4, 40, 4};
            int[] two = {4, 40};
            for (int n : new int[] {3, 4, Integer.MAX_VALUE, -1, Integer.MIN_VALUE}) {
                LUMO.fillPolygon(c.g, n, three, two);
                LUMO.fillPolygon(c.g, n, two, three);
                LUMO.drawPolygon(c.g, n, null, three);
                LUMO.drawPolyline(c.g, n, three, null);
            }
            LUMO.fillPolygon(c.g, 2, three, three);
            LUMO.drawPolygon(c.g, 1, three, three);
            LUMO.drawPolyline(c.g, 0, three, three);

            byte[] types = {MOVE, LINE, LINE, CLOSE};
            double[] six = {4, 4, 40, 4, 4, 40};
            double[] five = {4, 4, 40, 4, 4};
            // Even-odd requests, last, that must not reach the state.
            LUMO.drawPath(c.g, 4, types, five, false, FILL);
            LUMO.drawPath(c.g, 5, types, six, false, FILL);
            LUMO.drawPath(c.g, Integer.MAX_VALUE, types, six, false, FILL);
            LUMO.drawPath(c.g, 4, null, six, false, FILL);
            LUMO.drawPath(c.g, 4, types, null, false, FILL);
            LUMO.drawPath(c.g, 0, types, six, false, FILL);
            LUMO.drawPath(c.g, -4, types, six, false, FILL);
            LUMO.drawPath(0, 4, types, six, false, FILL);
            // Nothing drawn: the buffer has not even made its pixel memory, or it is clear.
            int[] pixels = c.read();
            for (int i = 0; i < pixels.length; i++) {
                if (pixels[i] != 0 && pixels[i] != Canvas.UNWRITTEN) {
                    fail(String.format("pixel (%d, %d) is %08X", i % SIZE, i / SIZE, pixels[i]));
                }
            }

            // The fill rule is still non-zero: the star's centre fills.
            LUMO.setPaint(c.g, COLOUR);
            double[] star = star();
            LUMO.fillPolygon(c.g, 5, rounded(star, 0), rounded(star, 1));
            assertNotEquals(0, at(c.read(), 24, 24), "star centre");
        }
    }
}
