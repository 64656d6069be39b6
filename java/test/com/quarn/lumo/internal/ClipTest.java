package com.quarn.lumo.internal;

import static com.quarn.lumo.internal.Canvas.alpha;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assertions.fail;

import java.awt.Rectangle;
import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Area;
import java.awt.geom.Ellipse2D;
import java.awt.geom.GeneralPath;
import java.awt.geom.Path2D;
import java.awt.geom.PathIterator;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.function.IntConsumer;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * Clips (rectangles and paths in device pixels) and Java 2D shapes drawn through
 * {@link ShapePath}. The whole target is filled through each clip, or each shape is filled,
 * and every pixel is compared with the exact area the Java shape covers of it.
 */
class ClipTest {
    private static final int SIZE = 48;
    private static final int COLOUR = 0xFF2060A0;
    private static final int CLIP_ANTIALIAS = 4;

    // ---------------------------------------------------------------------------------------
    // Exact coverage of the pixels by a shape, under its own winding rule.

    /** Area of an outline as Area builds it: holes run against their outer boundary. */
    private static double areaOf(Shape shape) {
        double sum = 0;
        double[] p = new double[6];
        double startX = 0;
        double startY = 0;
        double lastX = 0;
        double lastY = 0;
        for (PathIterator it = shape.getPathIterator(null, 1e-4); !it.isDone(); it.next()) {
            switch (it.currentSegment(p)) {
                case PathIterator.SEG_MOVETO:
                    startX = lastX = p[0];
                    startY = lastY = p[1];
                    break;
                case PathIterator.SEG_LINETO:
                    sum += lastX * p[1] - p[0] * lastY;
                    lastX = p[0];
                    lastY = p[1];
                    break;
                default: // close
                    sum += lastX * startY - startX * lastY;
                    lastX = startX;
                    lastY = startY;
            }
        }
        return Math.abs(sum) / 2;
    }

    private static final Map<Shape, double[]> COVERAGE = new HashMap<>();

    private static double[] coverage(Shape shape) {
        return COVERAGE.computeIfAbsent(shape, s -> {
            Area area = new Area(s);
            double[] c = new double[SIZE * SIZE];
            for (int y = 0; y < SIZE; y++) {
                for (int x = 0; x < SIZE; x++) {
                    if (area.contains(x, y, 1, 1)) {
                        c[y * SIZE + x] = 1;
                    } else if (area.intersects(x, y, 1, 1)) {
                        Area pixel = new Area(new Rectangle(x, y, 1, 1));
                        pixel.intersect(area);
                        c[y * SIZE + x] = areaOf(pixel);
                    }
                }
            }
            return c;
        });
    }

    // ---------------------------------------------------------------------------------------
    // The shapes, all inside the 48 x 48 target.

    private static Shape nestedSquares(int rule) {
        Path2D.Double p = new Path2D.Double(rule);
        p.append(new Rectangle(4, 4, 40, 40), false);
        p.append(new Rectangle(14, 14, 20, 20), false); // same direction as the outer one
        return p;
    }

    private static Shape triangle() {
        Path2D.Double p = new Path2D.Double();
        p.moveTo(3.3, 2.7);
        p.lineTo(45.1, 9.6);
        p.lineTo(12.4, 44.2);
        p.closePath();
        return p;
    }

    /** A five-pointed star drawn in one stroke: its centre is wound twice. */
    private static Shape star(int rule) {
        GeneralPath p = new GeneralPath(rule);
        for (int k = 0; k < 5; k++) {
            double t = Math.toRadians(-90 + 144 * k);
            double x = 24.2 + 21.5 * Math.cos(t);
            double y = 25.3 + 21.5 * Math.sin(t);
            if (k == 0) {
                p.moveTo(x, y);
            } else {
                p.lineTo(x, y);
            }
        }
        p.closePath();
        return p;
    }

    private static Shape squareWithHole() {
        Area a = new Area(new Rectangle2D.Double(3, 3.5, 42, 41.25));
        a.subtract(new Area(new Ellipse2D.Double(12.5, 10.5, 22, 26)));
        return a;
    }

    static Stream<Arguments> shapes() {
        return Stream.of(
                Arguments.of("nested squares, even-odd", nestedSquares(Path2D.WIND_EVEN_ODD)),
                Arguments.of("nested squares, non-zero", nestedSquares(Path2D.WIND_NON_ZERO)),
                Arguments.of("square on half pixels", new Rectangle2D.Double(4.5, 6.5, 38, 35)),
                Arguments.of("triangle", triangle()),
                Arguments.of("star, even-odd", star(Path2D.WIND_EVEN_ODD)),
                Arguments.of("star, non-zero", star(Path2D.WIND_NON_ZERO)),
                Arguments.of("ellipse", new Ellipse2D.Double(3.5, 6.25, 41, 33)),
                Arguments.of("round rectangle",
                        new RoundRectangle2D.Double(2.5, 4.25, 42, 38, 16, 12)),
                Arguments.of("square with a hole", squareWithHole()));
    }

    // ---------------------------------------------------------------------------------------
    // Drawing modes and what each makes of a pixel the shape covers in part.

    enum Mode {
        /** Antialiased drawing, the clip keeps only pixels it covers fully. */
        CLIP_EDGES_CUT,
        /** Antialiased drawing, the clip blends its edge pixels. */
        CLIP_EDGES_BLENDED,
        /** Aliased drawing: every pixel the clip touches is inside, whatever the clip hint. */
        CLIP_ALIASED,
        /** The shape filled antialiased through drawPath, without a clip. */
        FILL,
        /** The shape filled aliased: every pixel it touches is painted. */
        FILL_ALIASED
    }

    static Stream<Arguments> shapesAndModes() {
        return shapes().flatMap(s -> Stream.of(Mode.values())
                .map(m -> Arguments.of(s.get()[0], s.get()[1], m)));
    }

    private static int[] draw(Mode mode, IntConsumer drawing) {
        try (Canvas c = new Canvas(SIZE, SIZE).hints(mode != Mode.CLIP_ALIASED
                && mode != Mode.FILL_ALIASED, 0)) {
            LUMO.setHint(c.g, CLIP_ANTIALIAS, mode == Mode.CLIP_EDGES_BLENDED ? 1 : 0);
            LUMO.setPaint(c.g, COLOUR);
            drawing.accept(c.g);
            int[] pixels = c.read();
            // A buffer nothing was drawn into has no pixel memory yet: it is all clear.
            return Arrays.stream(pixels).allMatch(p -> p == Canvas.UNWRITTEN)
                    ? new int[pixels.length] : pixels;
        }
    }

    /**
     * Clip paths are in device pixels: the transform, which doubles the fill of the target's
     * top-left quarter to the whole target, leaves the clip where it is. Filled shapes go through
     * both transforms, Java's halving them and the drawing object's doubling them again.
     */
    private static int[] render(Shape shape, Mode mode) {
        return draw(mode, g -> {
            LUMO.setTransform(g, new double[] {2, 0, 0, 2, 0, 0});
            if (mode == Mode.FILL || mode == Mode.FILL_ALIASED) {
                ShapePath.of(shape, AffineTransform.getScaleInstance(0.5, 0.5)).fill(g);
            } else {
                ShapePath.of(shape).clip(g);
                LUMO.fillRect(g, 0, 0, SIZE / 2, SIZE / 2);
            }
        });
    }

    private static boolean curved(Shape shape) {
        return ShapePath.of(shape).hasCurves();
    }

    /** The points where the edges of a polygon cross: corners of its area it does not have. */
    private static List<double[]> crossings(Shape polygon) {
        double[] given = ShapePath.of(polygon).coords();
        List<double[]> result = new ArrayList<>();
        double[] p = new double[6];
        for (PathIterator it = new Area(polygon).getPathIterator(null); !it.isDone();
                it.next()) {
            if (it.currentSegment(p) == PathIterator.SEG_CLOSE) {
                continue;
            }
            boolean corner = false;
            for (int k = 0; k < given.length; k += 2) {
                corner |= Math.abs(given[k] - p[0]) < 1e-6 && Math.abs(given[k + 1] - p[1]) < 1e-6;
            }
            if (!corner) {
                result.add(new double[] {p[0], p[1]});
            }
        }
        return result;
    }

    @ParameterizedTest(name = "{0}, {2}")
    @MethodSource("shapesAndModes")
    void pixelsFollowTheCoverageOfTheShape(String name, Shape shape, Mode mode) {
        double[] cover = coverage(shape);
        int[] pixels = render(shape, mode);
        // Curves are flattened into chords up to a quarter pixel away; pixels that close to the
        // outline may go either way.
        boolean curved = curved(shape);
        double margin = curved ? 0.25 : 0.01;
        double tolerance = curved ? 38 : 3;
        // The rasteriser sums the windings of all edges in a pixel, which is exact unless edges
        // cross in the pixel or next to it.
        List<double[]> crossings = curved ? List.of() : crossings(shape);
        double drawn = 0;
        double exact = 0;
        int partial = 0;
        for (int y = 0; y < SIZE; y++) {
            for (int x = 0; x < SIZE; x++) {
                int i = y * SIZE + x;
                double c = cover[i];
                int p = pixels[i];
                String at = name + ", " + mode + " at (" + x + ", " + y + "), coverage " + c;
                final int px = x;
                final int py = y;
                if (crossings.stream().anyMatch(q -> Math.abs(q[0] - px - 0.5) < 1.5
                        && Math.abs(q[1] - py - 0.5) < 1.5)) {
                    continue;
                }
                drawn += alpha(p) / 255.0;
                exact += c;
                if (p != 0 && p != COLOUR) {
                    Canvas.assertNear(Canvas.premultiplied(COLOUR, alpha(p)), p, 1, at);
                }
                Rectangle2D.Double grown = new Rectangle2D.Double(x - margin, y - margin,
                        1 + 2 * margin, 1 + 2 * margin);
                if (!shape.intersects(grown)) {
                    assertEquals(0, p, "outside " + at);
                    continue;
                }
                if (shape.contains(grown)) {
                    assertEquals(COLOUR, p, "inside " + at);
                    continue;
                }
                if (c > 0.02 && c < 0.98) {
                    partial++;
                }
                switch (mode) {
                    case CLIP_EDGES_CUT:
                        if (c < 0.98 - (curved ? 0.25 : 0)) {
                            assertEquals(0, p, "partly covered pixel " + at);
                        }
                        break;
                    case CLIP_ALIASED:
                    case FILL_ALIASED:
                        if (c > 0.02 + (curved ? 0.25 : 0)) {
                            assertEquals(COLOUR, p, "touched pixel " + at);
                        }
                        break;
                    default:
                        assertEquals(255 * c, alpha(p), tolerance, "coverage " + at);
                }
                if (mode == Mode.CLIP_ALIASED || mode == Mode.FILL_ALIASED) {
                    assertTrue(p == 0 || p == COLOUR, "all or nothing " + at);
                }
            }
        }
        if (mode == Mode.CLIP_EDGES_BLENDED || mode == Mode.FILL) {
            assertEquals(exact, drawn, curved ? 0.01 * exact : 2, name + ": summed coverage");
        }
        if (!name.startsWith("nested")) {
            assertTrue(partial >= 40, name + ": only " + partial + " edge pixels");
        }
    }

    @Test
    void rectangleClipTakesCornersInAnyOrderInDevicePixels() {
        int[] pixels = draw(Mode.FILL, g -> {
            LUMO.setTransform(g, new double[] {0.5, 0, 0, 0.5, 7, 3});
            LUMO.setClip(g, 4, null, new double[] {40, 30, 5, -10}, true);
            LUMO.fillRect(g, -100, -100, 400, 400);
            // Past the right and bottom edges: cut to the target.
            LUMO.setClip(g, 4, null, new double[] {44, 60, 70, 35}, false);
            LUMO.fillRect(g, -100, -100, 400, 400);
        });
        for (int y = 0; y < SIZE; y++) {
            for (int x = 0; x < SIZE; x++) {
                boolean inside = x >= 5 && x < 40 && y < 30 || x >= 44 && y >= 35;
                assertEquals(inside ? COLOUR : 0, pixels[y * SIZE + x], "(" + x + ", " + y + ")");
            }
        }
    }

    /** The pixels drawn by filling the whole target after {@code clipping}. */
    private static int[] filledThrough(IntConsumer clipping) {
        return draw(Mode.FILL, g -> {
            clipping.accept(g);
            LUMO.fillRect(g, 0, 0, SIZE, SIZE);
        });
    }

    private static int[] filled(int x, int y, int w, int h) {
        int[] pixels = new int[SIZE * SIZE];
        for (int j = y; j < y + h; j++) {
            for (int i = x; i < x + w; i++) {
                pixels[j * SIZE + i] = COLOUR;
            }
        }
        return pixels;
    }

    @Test
    void countZeroOrLessRestoresTheWholeTarget() {
        int[] whole = filled(0, 0, SIZE, SIZE);
        for (int count : new int[] {0, -1}) {
            assertArrayEquals(whole, filledThrough(g -> {
                LUMO.setClip(g, 4, null, new double[] {1, 1, 2, 2}, true);
                LUMO.setClip(g, count, null, null, true);
            }), "after a rectangle, count " + count);
            assertArrayEquals(whole, filledThrough(g -> {
                ShapePath.of(triangle()).clip(g);
                LUMO.setClip(g, count, new byte[] {0, 1, 1, 4}, new double[6], false);
            }), "after a path, count " + count);
        }
    }

    @Test
    void pathsThatCannotBeClipsLeaveNothingToDraw() {
        double[] square = {4, 4, 40, 4, 40, 40, 4, 40};
        int[] empty = new int[SIZE * SIZE];
        assertArrayEquals(empty, filledThrough(
                g -> LUMO.setClip(g, 5, new byte[] {1, 1, 1, 1, 4}, square, true)),
                "starts with a line");
        assertArrayEquals(empty, filledThrough(g -> LUMO.setClip(g, 5,
                new byte[] {0, 1, 1, 1, 4}, new double[] {4, 4, 40, 4, Double.NaN, 40, 4, 40},
                true)), "a coordinate that is not a number");
        assertArrayEquals(empty, filledThrough(g -> ShapePath.of(new Path2D.Double()).clip(g)),
                "an empty Java path");
    }

    @Test
    void shortOrMissingArraysLeaveTheClipUnchanged() {
        byte[] types = {0, 1, 1, 1, 4};
        double[] square = {10, 12, 30, 12, 30, 40, 10, 40};
        IntConsumer faulty = g -> {
            LUMO.setClip(g, 4, null, new double[3], true);
            LUMO.setClip(g, 4, null, null, true);
            LUMO.setClip(g, 5, null, square, true);
            LUMO.setClip(g, 5, new byte[] {0, 1, 1, 1}, square, true);
            LUMO.setClip(g, 5, types, new double[7], true);
            LUMO.setClip(g, 5, types, null, true);
            LUMO.setClip(g, 2, new byte[] {0, 3}, new double[7], true); // a cubic needs 8
        };
        int[] expected = filled(10, 12, 20, 28);
        assertArrayEquals(expected, filledThrough(g -> {
            LUMO.setClip(g, 4, null, new double[] {10, 12, 30, 40}, true);
            faulty.accept(g);
        }), "rectangle clip");
        assertArrayEquals(expected, filledThrough(g -> {
            LUMO.setClip(g, 5, types, square, true);
            faulty.accept(g);
        }), "path clip");
        assertArrayEquals(filled(0, 0, SIZE, SIZE), filledThrough(faulty), "no clip");
    }

    @Test
    void fillRuleOfAPathStaysForLaterFillsUntilTheNextPath() {
        // A square wound twice: non-zero fills it, even-odd leaves it empty.
        int[] xs = {8, 40, 40, 8, 8, 40, 40, 8};
        int[] ys = {8, 8, 40, 40, 8, 8, 40, 40};
        Path2D.Double dot = new Path2D.Double(Path2D.WIND_EVEN_ODD);
        dot.append(new Rectangle(0, 0, 2, 2), false);
        ShapePath path = ShapePath.of(dot);
        int[] pixels = draw(Mode.FILL, g -> {
            path.fill(g); // even-odd from here on
            LUMO.fillPolygon(g, 8, xs, ys);
            path.stroke(g); // non-zero again
            LUMO.setTransform(g, new double[] {1, 0, 0, 1, 2, 2});
            LUMO.fillPolygon(g, 8, xs, ys);
        });
        assertEquals(COLOUR, pixels[SIZE + 1], "the dot");
        int[] expected = filled(10, 10, 32, 32);
        for (int y = 4; y < SIZE; y++) { // below the dot and its outline
            for (int x = 0; x < SIZE; x++) {
                assertEquals(expected[y * SIZE + x], pixels[y * SIZE + x],
                        "(" + x + ", " + y + ")");
            }
        }
    }

    @Test
    void shapePathHoldsTheSegmentsOfAnyShape() {
        GeneralPath p = new GeneralPath(Path2D.WIND_EVEN_ODD);
        p.moveTo(1, 2);
        p.lineTo(3, 4);
        p.quadTo(5, 6, 7, 8);
        p.curveTo(9, 10, 11, 12, 13, 14);
        p.closePath();
        ShapePath path = ShapePath.of(p, AffineTransform.getTranslateInstance(100, 0));
        assertEquals(5, path.segments());
        assertArrayEquals(new byte[] {0, 1, 2, 3, 4}, path.types());
        assertArrayEquals(new double[] {101, 2, 103, 4, 105, 6, 107, 8, 109, 10, 111, 12, 113,
            14}, path.coords());
        assertTrue(path.hasCurves());
        assertFalse(path.isNonZero());
        assertEquals(ShapePath.CURVES, path.shapeFlag());

        // Many segments: the arrays grow and end exactly as long as the path.
        Path2D.Float zigzag = new Path2D.Float();
        zigzag.moveTo(0, 0);
        for (int k = 1; k <= 1000; k++) {
            zigzag.lineTo(k, k % 2);
        }
        ShapePath z = ShapePath.of(zigzag);
        assertEquals(1001, z.segments());
        assertEquals(1001, z.types().length);
        assertEquals(2002, z.coords().length);
        assertEquals(1000, z.coords()[2000]);
        assertEquals(0, z.coords()[2001]);
        assertTrue(z.isNonZero());
        assertEquals(ShapePath.POLYGONAL, z.shapeFlag());
        if (z.types()[1000] != PathIterator.SEG_LINETO) {
            fail("last segment " + z.types()[1000]);
        }
    }
}
