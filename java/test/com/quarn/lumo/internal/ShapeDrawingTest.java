package com.quarn.lumo.internal;

import static com.quarn.lumo.internal.Canvas.alpha;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTimeoutPreemptively;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.time.Duration;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.CsvSource;
import org.junit.jupiter.params.provider.MethodSource;
import org.junit.jupiter.params.provider.ValueSource;

/** Rectangles, ovals and lines: pixel coverage, antialiasing, stroke offset, width, dashes. */
class ShapeDrawingTest {
    private static final int BLACK = 0xFF000000;

    /** Sets every pixel of a rectangle, clipped to the image, to {@code word}. */
    private static void put(int[] pixels, int width, int x, int y, int w, int h, int word) {
        int height = pixels.length / width;
        for (int j = Math.max(y, 0); j < Math.min(y + h, height); j++) {
            for (int i = Math.max(x, 0); i < Math.min(x + w, width); i++) {
                pixels[j * width + i] = word;
            }
        }
    }

    @ParameterizedTest(name = "antialias {0}")
    @ValueSource(booleans = {false, true})
    void fillRectCoversExactlyItsPixels(boolean antialias) {
        // The stroke offset moves outlines only, never fills.
        try (Canvas c = new Canvas(16, 16).hints(antialias, 3)) {
            LUMO.fillRect(c.g, 12, 12, 2, 2); // default paint: opaque black
            LUMO.setPaint(c.g, 0xFF336699);
            LUMO.fillRect(c.g, 2, 3, 4, 5);
            LUMO.fillRect(c.g, -3, 14, 6, 5); // partly outside the target
            LUMO.setPaint(c.g, 0x80FF0000);
            LUMO.fillRect(c.g, 9, 1, 3, 2);

            int[] expected = new int[16 * 16];
            put(expected, 16, 12, 12, 2, 2, BLACK);
            put(expected, 16, 2, 3, 4, 5, 0xFF336699);
            put(expected, 16, -3, 14, 6, 5, 0xFF336699);
            put(expected, 16, 9, 1, 3, 2, 0x80800000); // red 255 premultiplied by 128/255
            assertArrayEquals(expected, c.read());
        }
    }

    @Test
    void antialiasingChangesOnlyTheEdgeOfAnOval() {
        int colour = 0xFF2060A0;
        int[][] drawn = new int[2][];
        for (int aa = 0; aa < 2; aa++) {
            try (Canvas c = new Canvas(32, 32).hints(aa == 1, 0)) {
                LUMO.setPaint(c.g, colour);
                LUMO.fillOval(c.g, 4, 4, 24, 24); // circle of radius 12 about (16, 16)
                drawn[aa] = c.read();
            }
        }
        int[] aliased = drawn[0];
        int[] smooth = drawn[1];
        double area = 0;
        int partial = 0;
        for (int y = 0; y < 32; y++) {
            for (int x = 0; x < 32; x++) {
                // Distances from the centre to the nearest and farthest points of the pixel.
                double near = Math.hypot(Math.max(Math.max(x - 16, 15 - x), 0),
                        Math.max(Math.max(y - 16, 15 - y), 0));
                double far = Math.hypot(Math.max(Math.abs(x - 16), Math.abs(x - 15)),
                        Math.max(Math.abs(y - 16), Math.abs(y - 15)));
                int a = aliased[y * 32 + x];
                int s = smooth[y * 32 + x];
                String at = " at (" + x + ", " + y + ")";
                area += alpha(s) / 255.0;
                if (far <= 11.75) {
                    assertEquals(colour, a, "aliased interior" + at);
                    assertEquals(colour, s, "antialiased interior" + at);
                } else if (near >= 12.25) {
                    assertEquals(0, a, "aliased exterior" + at);
                    assertEquals(0, s, "antialiased exterior" + at);
                } else {
                    assertTrue(a == 0 || a == colour, "aliased edge is all or nothing" + at);
                    if (alpha(s) >= 32) {
                        assertEquals(colour, a, "aliased drawing paints every touched pixel" + at);
                    }
                    if (alpha(s) > 0 && alpha(s) < 255) {
                        partial++;
                        Canvas.assertNear(Canvas.premultiplied(colour, alpha(s)), s, 1,
                                "partly covered edge pixel" + at);
                    }
                }
            }
        }
        assertTrue(partial >= 40, partial + " partly covered pixels on a 75-pixel rim");
        // Coverage is the area inside the circle, give or take flattening of the curve.
        assertEquals(Math.PI * 144, area, 2 * Math.PI * 12 * 0.25, "sum of coverage");
    }

    @ParameterizedTest(name = "offset {0}, antialias {1}")
    @CsvSource({"0, true", "1, true", "2, true", "3, true", "0, false", "3, false"})
    void strokeOffsetMovesOnePixelLinesOntoPixelRows(int offset, boolean antialias) {
        try (Canvas c = new Canvas(16, 16).hints(antialias, offset)) {
            LUMO.drawLine(c.g, 2, 5, 13, 5); // along y = 5
            LUMO.drawLine(c.g, 10, 9, 10, 14); // along x = 10
            int[] pixels = c.read();
            // Half a pixel down puts the horizontal line on row 5 alone, half right the
            // vertical one on column 10; otherwise each straddles two rows (columns) at half
            // coverage, which aliased drawing paints in full.
            int straddling = antialias ? 128 : 255;
            for (int y = 2; y <= 7; y++) {
                for (int x = 4; x <= 11; x++) {
                    int expected = (offset & 2) != 0 ? (y == 5 ? 255 : 0)
                            : (y == 4 || y == 5 ? straddling : 0);
                    assertEquals(expected, alpha(pixels[y * 16 + x]), 1,
                            "horizontal line at (" + x + ", " + y + ")");
                }
            }
            for (int y = 10; y <= 12; y++) {
                for (int x = 7; x <= 13; x++) {
                    int expected = (offset & 1) != 0 ? (x == 10 ? 255 : 0)
                            : (x == 9 || x == 10 ? straddling : 0);
                    assertEquals(expected, alpha(pixels[y * 16 + x]), 1,
                            "vertical line at (" + x + ", " + y + ")");
                }
            }
        }
    }

    interface Outline {
        void draw(int g, int x, int y, int w, int h);
    }

    static Stream<Arguments> outlines() {
        return Stream.of(
                Arguments.of("drawRect", (Outline) LUMO::drawRect),
                Arguments.of("drawOval", (Outline) LUMO::drawOval),
                Arguments.of("drawRoundRect",
                        (Outline) (g, x, y, w, h) -> LUMO.drawRoundRect(g, x, y, w, h, 4, 4)));
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("outlines")
    void zeroAndNegativeSizesFollowTheGuards(String name, Outline outline) {
        try (Canvas c = new Canvas(16, 16).hints(true, 3)) {
            // Square caps reach half a pixel past the ends.
            outline.draw(c.g, 12, 2, 0, 6); // a line down column 12, rows 2..8
            outline.draw(c.g, 2, 12, 6, 0); // a line along row 12, columns 2..8
            outline.draw(c.g, 5, 5, 0, 0);
            outline.draw(c.g, 5, 5, -2, 4);
            outline.draw(c.g, 5, 5, 4, -2);
            LUMO.fillRect(c.g, 5, 5, 0, 4);
            LUMO.fillRect(c.g, 5, 5, 4, -1);
            LUMO.fillOval(c.g, 5, 5, 0, 4);
            LUMO.fillOval(c.g, 5, 5, -4, 4);
            LUMO.fillArc(c.g, 5, 5, 4, 0, 0, 90);
            LUMO.fillRoundRect(c.g, 5, 5, -4, 4, 2, 2);
            LUMO.drawArc(c.g, 5, 5, -4, 4, 0, 90);

            int[] expected = new int[16 * 16];
            put(expected, 16, 12, 2, 1, 7, BLACK);
            put(expected, 16, 2, 12, 7, 1, BLACK);
            assertArrayEquals(expected, c.read());
        }
    }

    @ParameterizedTest(name = "antialias {0}")
    @ValueSource(booleans = {false, true})
    void linesFarBeyondTheTargetStillCoverTheirRowAndColumn(boolean antialias) {
        try (Canvas c = new Canvas(32, 8).hints(antialias, 3)) {
            LUMO.drawLine(c.g, -2_000_000_000, 5, 2_000_000_000, 5);
            LUMO.drawLine(c.g, 20, 2_000_000_000, 20, -2_000_000_000);
            int[] expected = new int[32 * 8];
            put(expected, 32, 0, 5, 32, 1, BLACK);
            put(expected, 32, 20, 0, 1, 8, BLACK);
            assertArrayEquals(expected, c.read());
        }
    }

    /**
     * The line from (2, 3) to (10, 3) through a transform: a stroke of width 1 built in user
     * space is as wide as the transform stretches it across the line; with the device stroke
     * hint it is 1 pixel wide whatever the transform. Width and centre are measured across the
     * middle of the line as summed coverage.
     */
    @ParameterizedTest(name = "{0}")
    @CsvSource({
        "identity,            1, 0,  0, 1,  0, 0, 1",
        "scale 2,             2, 0,  0, 2,  0, 0, 2",
        "scale y by 3,        1, 0,  0, 3,  0, 0, 3",
        "quarter turn,        0, 1, -1, 0, 32, 0, 1",
        "quarter turn by 2,   0, 2, -2, 0, 32, 0, 2"})
    void strokeWidthFollowsTheTransformUnlessBuiltInDeviceSpace(String name, double sx,
            double shy, double shx, double sy, double tx, double ty, double userWidth) {
        double[] m = {sx, shy, shx, sy, tx, ty};
        // Device end points and the middle of the line.
        double x1 = sx * 2 + shx * 3 + tx;
        double y1 = shy * 2 + sy * 3 + ty;
        double x2 = sx * 10 + shx * 3 + tx;
        double y2 = shy * 10 + sy * 3 + ty;
        boolean horizontal = Math.abs(x2 - x1) > Math.abs(y2 - y1);
        int across = (int) Math.floor(horizontal ? (x1 + x2) / 2 : (y1 + y2) / 2);
        for (int run = 0; run < 4; run++) {
            int device = run & 1;
            int offset = run < 2 ? 0 : 3; // half a pixel right and down, after the transform
            double centre = (horizontal ? y1 : x1) + (offset == 3 ? 0.5 : 0);
            try (Canvas c = new Canvas(32, 32).hints(true, offset)) {
                LUMO.setHint(c.g, Canvas.DEVICE_STROKE, device);
                LUMO.setTransform(c.g, m);
                LUMO.drawLine(c.g, 2, 3, 10, 3);
                int[] pixels = c.read();
                double sum = 0;
                double moment = 0;
                for (int k = 0; k < 32; k++) {
                    int a = alpha(horizontal ? pixels[k * 32 + across] : pixels[across * 32 + k]);
                    sum += a / 255.0;
                    moment += (k + 0.5) * a / 255.0;
                }
                String what = (device == 1 ? ", device stroke" : "") + ", offset " + offset;
                assertEquals(device == 1 ? 1 : userWidth, sum, 0.03, "width" + what);
                assertEquals(centre, moment / sum, 0.03, "centre line" + what);
            }
        }
    }

    @ParameterizedTest(name = "cap {0}")
    @CsvSource({"0, 4, 11, 0", "1, 4, 11, 200", "2, 3, 12, 0", "-5, 3, 12, 0"})
    void capsEndAWideLine(int cap, int first, int last, int roundEnd) {
        try (Canvas c = new Canvas(16, 16).hints(true, 0)) {
            LUMO.setStroke(c.g, 2, cap, 0, 10, null, 0);
            LUMO.drawLine(c.g, 4, 8, 12, 8); // covers rows 7 and 8
            int[] pixels = c.read();
            for (int y = 6; y <= 9; y++) {
                for (int x = 0; x < 16; x++) {
                    boolean row = y == 7 || y == 8;
                    // A round cap is a half disc of radius 1: a quarter disc in each end pixel.
                    int expected = !row ? 0 : x >= first && x <= last ? 255
                            : x == first - 1 || x == last + 1 ? roundEnd : 0;
                    assertEquals(expected, alpha(pixels[y * 16 + x]), roundEnd > 0 ? 30 : 1,
                            "(" + x + ", " + y + ")");
                }
            }
        }
    }

    /**
     * The outer corner of a width-4 rectangle outline through (4, 4): the stroke spans 2..6,
     * so the corner square is pixels 2..3. A bevel cuts it along x + y = 6, a round join keeps
     * the disc of radius 2 about (4, 4): coverage pi/3 - (sqrt 3 - 1) of pixel (2, 2) and
     * sqrt(3)/2 + pi/3 - 1 of pixel (3, 2).
     */
    @ParameterizedTest(name = "join {0}")
    @CsvSource({"0, 255, 255", "1, 80, 233", "2, 0, 128", "9, 255, 255"})
    void joinsShapeTheCornersOfAWideOutline(int join, int corner, int beside) {
        try (Canvas c = new Canvas(16, 16).hints(true, 0)) {
            LUMO.setStroke(c.g, 4, 0, join, 10, null, 0);
            LUMO.drawRect(c.g, 4, 4, 8, 8);
            int[] pixels = c.read();
            int tolerance = join == 1 ? 30 : 1;
            // The four corners alike, mirrored about the centre (8, 8).
            for (int[] corner4 : new int[][] {{2, 2, 1, 1}, {13, 2, -1, 1}, {2, 13, 1, -1},
                {13, 13, -1, -1}}) {
                int x = corner4[0];
                int y = corner4[1];
                int dx = corner4[2];
                int dy = corner4[3];
                String at = " at corner (" + x + ", " + y + ")";
                assertEquals(corner, alpha(pixels[y * 16 + x]), tolerance, "outer pixel" + at);
                assertEquals(beside, alpha(pixels[y * 16 + x + dx]), tolerance, "beside" + at);
                assertEquals(beside, alpha(pixels[(y + dy) * 16 + x]), tolerance, "below" + at);
                assertEquals(255, alpha(pixels[(y + dy) * 16 + x + dx]), "inner" + at);
                assertEquals(0, alpha(pixels[(y + 4 * dy) * 16 + x + 4 * dx]), "inside" + at);
            }
        }
    }

    /** Row 5 of a 16-pixel line with butt caps, 'X' full and '.' empty; all else empty. */
    private static void assertRow5(String expected, int[] pixels) {
        for (int y = 0; y < 16; y++) {
            for (int x = 0; x < 16; x++) {
                int want = y == 5 && expected.charAt(x) == 'X' ? BLACK : 0;
                assertEquals(want, pixels[y * 16 + x], "(" + x + ", " + y + ") of " + expected);
            }
        }
    }

    private static int[] dashedLine(float[] dash, float phase) {
        try (Canvas c = new Canvas(16, 16).hints(true, 2)) {
            LUMO.setStroke(c.g, 1, 0, 0, 10, dash, phase);
            assertTimeoutPreemptively(Duration.ofSeconds(10),
                    () -> LUMO.drawLine(c.g, 0, 5, 16, 5));
            return c.read();
        }
    }

    @ParameterizedTest(name = "phase {0}")
    @CsvSource({"0, XX..XX..XX..XX..", "1, X..XX..XX..XX..X", "6, ..XX..XX..XX..XX",
        "1e30, XX..XX..XX..XX.."}) // 1e30f is a multiple of the pattern length 4
    void dashesFollowTheirPatternFromThePhase(float phase, String expected) {
        assertRow5(expected, dashedLine(new float[] {2, 2}, phase));
    }

    static Stream<float[]> unusableDashes() {
        return Stream.of(null, new float[0], new float[] {0, 0}, new float[] {0},
                new float[] {4, -1}, new float[] {-2, -2});
    }

    @ParameterizedTest
    @MethodSource("unusableDashes")
    void unusableDashArraysStrokeSolid(float[] dash) {
        assertRow5("XXXXXXXXXXXXXXXX", dashedLine(dash, 0));
    }

    @ParameterizedTest
    @ValueSource(floats = {Float.MAX_VALUE, -Float.MAX_VALUE, Float.POSITIVE_INFINITY,
        Float.NaN})
    void extremeDashPhasesFinishWithWholeDashes(float phase) {
        int[] pixels = dashedLine(new float[] {2, 2}, phase);
        for (int i = 0; i < pixels.length; i++) {
            assertTrue(pixels[i] == 0 || (pixels[i] == BLACK && i / 16 == 5),
                    "pixel (" + i % 16 + ", " + i / 16 + ")");
        }
    }
}
