package com.quarn.lumo.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.fail;

import java.util.function.IntConsumer;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/**
 * Pies, open arcs and rounded rectangles, drawn antialiased on a 32 x 32 target and compared
 * pixel by pixel with the coverage of the ideal shape, found by sampling each pixel on a
 * 16 x 16 grid. Angles follow the drawing convention: the point at angle t of the oval is
 * (cx + rx cos t, cy + ry sin t) on the y-down target; an arc starts at t = start and runs to
 * t = start - extent.
 */
class CurvedShapeTest {
    private static final int SIZE = 32;
    private static final int SAMPLES = 16;
    /** Slack per pixel for curve flattening and sampling, as a fraction of full coverage. */
    private static final double TOLERANCE = 0.25;

    interface Region {
        boolean contains(double x, double y);
    }

    private static int[] draw(IntConsumer drawing) {
        try (Canvas c = new Canvas(SIZE, SIZE).hints(true, 0)) {
            LUMO.setPaint(c.g, 0xFFFFFFFF);
            drawing.accept(c.g);
            return c.read();
        }
    }

    private static void assertCoverage(Region region, int[] pixels, String what) {
        double drawnArea = 0;
        double modelArea = 0;
        for (int y = 0; y < SIZE; y++) {
            for (int x = 0; x < SIZE; x++) {
                int inside = 0;
                for (int j = 0; j < SAMPLES; j++) {
                    for (int i = 0; i < SAMPLES; i++) {
                        if (region.contains(x + (i + 0.5) / SAMPLES, y + (j + 0.5) / SAMPLES)) {
                            inside++;
                        }
                    }
                }
                double expected = inside / (double) (SAMPLES * SAMPLES);
                double actual = Canvas.alpha(pixels[y * SIZE + x]) / 255.0;
                if (Math.abs(expected - actual) > TOLERANCE) {
                    fail(String.format("%s: pixel (%d, %d) has coverage %.2f, expected %.2f",
                            what, x, y, actual, expected));
                }
                drawnArea += actual;
                modelArea += expected;
            }
        }
        assertEquals(modelArea, drawnArea, 0.03 * modelArea + 1, what + ": total coverage");
    }

    /** Whether the oval's parameter angle of (x, y) lies on the arc from start to start - extent. */
    private static boolean onSweep(double x, double y, double cx, double cy, double rx, double ry,
            double start, double extent) {
        if (Math.abs(extent) >= 360) {
            return true;
        }
        double t = Math.toDegrees(Math.atan2((y - cy) / ry, (x - cx) / rx));
        double from = Math.min(start, start - extent);
        return ((t - from) % 360 + 360) % 360 <= Math.abs(extent);
    }

    @ParameterizedTest(name = "fillArc({0}, {1}, {2}, {3}, {4}, {5})")
    @CsvSource({
        "4, 4, 24, 24,   0,   90",  // top right quarter
        "4, 4, 24, 24,  90,   90",  // bottom right quarter
        "4, 4, 24, 24,   0,  -90",  // bottom right quarter, the other way round
        "4, 4, 24, 24,  30,  120",  // from 30 degrees below three o'clock up to twelve
        "2, 8, 28, 16, 200,  100",  // lower left of an oval
        "4, 4, 24, 24,  45,  400",  // a full turn or more is the whole oval
        "4, 4, 24, 24,  10, -360"})
    void pieCoversItsSectorOfTheOval(int x, int y, int w, int h, int start, int extent) {
        double rx = w / 2.0;
        double ry = h / 2.0;
        double cx = x + rx;
        double cy = y + ry;
        Region pie = (px, py) -> Math.pow((px - cx) / rx, 2) + Math.pow((py - cy) / ry, 2) <= 1
                && onSweep(px, py, cx, cy, rx, ry, start, extent);
        assertCoverage(pie, draw(g -> LUMO.fillArc(g, x, y, w, h, start, extent)), "pie");
    }

    @ParameterizedTest(name = "drawArc(4, 4, 24, 24, {0}, {1})")
    @CsvSource({
        " 90,   90",  // from six o'clock round to three o'clock
        "  0,   90",  // from three o'clock round to twelve
        "-45, -180",  // from half past one clockwise on screen to half past seven
        "300,  360"}) // the whole circle
    void openArcRunsFromItsStartToItsEnd(int start, int extent) {
        // Width 2 with butt caps: the stroke is the ring 11..13 about (16, 16), cut radially.
        Region arc = (px, py) -> {
            double r = Math.hypot(px - 16, py - 16);
            return r >= 11 && r <= 13 && onSweep(px, py, 16, 16, 12, 12, start, extent);
        };
        int[] pixels = draw(g -> {
            LUMO.setStroke(g, 2, 0, 0, 10, null, 0);
            LUMO.drawArc(g, 4, 4, 24, 24, start, extent);
        });
        assertCoverage(arc, pixels, "arc");
    }

    @ParameterizedTest(name = "fillRoundRect(4, 6, 24, 18, {0}, {1})")
    @CsvSource({"12, 8", "8, 16", "100, 50", "0, 0"})
    void roundRectFillHasQuarterOvalCorners(int arcW, int arcH) {
        // Corner diameters are limited to the width and height: 100 x 50 makes an oval.
        double rx = Math.min(arcW, 24) / 2.0;
        double ry = Math.min(arcH, 18) / 2.0;
        Region rounded = (px, py) -> {
            if (px < 4 || px > 28 || py < 6 || py > 24) {
                return false;
            }
            if (rx == 0 || ry == 0) {
                return true;
            }
            double cx = Math.max(4 + rx, Math.min(px, 28 - rx));
            double cy = Math.max(6 + ry, Math.min(py, 24 - ry));
            return Math.pow((px - cx) / rx, 2) + Math.pow((py - cy) / ry, 2) <= 1;
        };
        assertCoverage(rounded, draw(g -> LUMO.fillRoundRect(g, 4, 6, 24, 18, arcW, arcH)),
                "rounded rectangle");
    }

    @ParameterizedTest(name = "drawRoundRect(4, 6, 24, 18, {0}, {0})")
    @CsvSource({"8", "0"})
    void roundRectOutlineFollowsTheRoundedBoundary(int arc) {
        // Within half a pixel of the boundary of the box (4, 6)..(28, 24) with corner radius r.
        double r = arc / 2.0;
        Region outline = (px, py) -> {
            double qx = Math.abs(px - 16) - 12 + r;
            double qy = Math.abs(py - 15) - 9 + r;
            double distance = Math.hypot(Math.max(qx, 0), Math.max(qy, 0))
                    + Math.min(Math.max(qx, qy), 0) - r;
            return Math.abs(distance) <= 0.5;
        };
        assertCoverage(outline, draw(g -> LUMO.drawRoundRect(g, 4, 6, 24, 18, arc, arc)),
                "rounded outline");
    }

    @ParameterizedTest(name = "extent {0}")
    @CsvSource({"360", "-360", "725"})
    void fullTurnArcsAreTheOval(int extent) {
        assertArrayEquals(draw(g -> LUMO.fillOval(g, 3, 5, 26, 20)),
                draw(g -> LUMO.fillArc(g, 3, 5, 26, 20, 77, extent)), "fillArc");
        assertArrayEquals(draw(g -> LUMO.drawOval(g, 3, 5, 26, 20)),
                draw(g -> LUMO.drawArc(g, 3, 5, 26, 20, 77, extent)), "drawArc");
    }
}
