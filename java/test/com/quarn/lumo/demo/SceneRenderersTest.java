package com.quarn.lumo.demo;

import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.Polygon;
import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Arc2D;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.awt.image.BufferedImage;
import java.util.function.Consumer;
import java.util.stream.Stream;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * The gallery's two renderers must draw a scene alike, or a panel shows a wrong picture without
 * anyone noticing: the library's shape calls must draw what the Java 2D shapes handed to them
 * outline, and the Java 2D renderer must place paints, textures and strokes where the library
 * does.
 */
class SceneRenderersTest {
    private static final int SIZE = 64;

    private static Arguments scene(String name, Consumer<Scene> drawing) {
        return Arguments.of(name, drawing);
    }

    /** The shape as a plain path, which the library draws through its path call. */
    private static Shape path(Shape shape) {
        return new Path2D.Double(shape);
    }

    static Stream<Arguments> shapes() {
        return Stream.of(
                Arguments.of("pie from 30 degrees", new Arc2D.Double(6, 10, 50, 40, 30, 120,
                        Arc2D.PIE), true),
                Arguments.of("pie turning clockwise", new Arc2D.Double(8, 8, 48, 48, 200, -100,
                        Arc2D.PIE), true),
                Arguments.of("open arc", new Arc2D.Double(8, 8, 48, 40, 90, 200, Arc2D.OPEN),
                        false),
                Arguments.of("oval", new Ellipse2D.Double(4, 12, 56, 30), true),
                Arguments.of("oval outline", new Ellipse2D.Double(4, 12, 56, 30), false),
                Arguments.of("rounded rectangle, corners past its height",
                        new RoundRectangle2D.Double(6, 20, 50, 20, 30, 60), true),
                Arguments.of("rounded rectangle outline",
                        new RoundRectangle2D.Double(6, 10, 50, 40, 20, 14), false),
                Arguments.of("rectangle outline", new Rectangle2D.Double(10, 12, 40, 30), false),
                Arguments.of("line", new Line2D.Double(5, 50, 58, 9), false),
                Arguments.of("polygon", new Polygon(new int[] {6, 58, 30, 44},
                        new int[] {8, 20, 58, 30}, 4), true),
                Arguments.of("polygon outline", new Polygon(new int[] {6, 58, 30, 44},
                        new int[] {8, 20, 58, 30}, 4), false),
                Arguments.of("polyline", new Polyline(new int[] {6, 20, 34, 48, 58},
                        new int[] {50, 10, 50, 10, 50}), false));
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("shapes")
    void shapeCallsDrawWhatTheShapesOutline(String name, Shape shape, boolean fill) {
        Consumer<Scene> call = s -> {
            s.stroke(5f, SceneStroke.BUTT, SceneStroke.MITER).colour(Palette.ORANGE);
            if (fill) {
                s.fill(shape);
            } else {
                s.draw(shape);
            }
        };
        Consumer<Scene> viaPath = s -> {
            s.stroke(5f, SceneStroke.BUTT, SceneStroke.MITER).colour(Palette.ORANGE);
            if (fill) {
                s.fill(path(shape));
            } else {
                s.draw(path(shape));
            }
        };
        assertAlike(name, library(call), library(viaPath), 1.5);
    }

    static Stream<Arguments> scenes() {
        int[] stops = {0, 0xFF1B2A55, 100, Palette.BLUE, 180, Palette.YELLOW, 255,
            Palette.ORANGE};
        BufferedImage heart = Patterns.image(Patterns.HEART_WIDTH, Patterns.HEART_HEIGHT,
                Patterns.heart());
        Rectangle2D all = new Rectangle2D.Double(2, 2, 60, 60);
        return Stream.of(
                scene("linear gradient, reflected", s -> s.paint(ScenePaint.gradient(
                        ScenePaint.LINEAR, ScenePaint.REFLECT, 8, 14, 40, 30, stops)).fill(all)),
                scene("focal radial gradient, padded", s -> s.paint(ScenePaint.gradient(
                        ScenePaint.RADIAL, ScenePaint.PAD, new double[] {32, 32, 58, 32, 24, 22},
                        null, stops)).fill(all)),
                scene("dashed device stroke under a stretch", s -> s.deviceStroke(true)
                        .transform(new AffineTransform(2.2, 0.8, -0.3, 1, 32, 32))
                        .stroke(SceneStroke.dashed(3f, SceneStroke.BUTT, new float[] {6, 3}, 2))
                        .draw(new Ellipse2D.Double(-12, -16, 24, 32))),
                scene("user stroke under a stretch", s -> s
                        .transform(new AffineTransform(2.2, 0.8, -0.3, 1, 32, 32))
                        .stroke(3f, SceneStroke.ROUND, SceneStroke.ROUND_JOIN)
                        .draw(new Rectangle2D.Double(-10, -14, 20, 28))),
                scene("lines on pixel centres, aliased", s -> {
                    s.antialias(false).pixelCentres(true).stroke(SceneStroke.HAIRLINE);
                    for (int i = 0; i < 6; i++) {
                        s.draw(new Line2D.Double(4, 8 + 9 * i, 60, 8 + 9 * i));
                    }
                }),
                scene("image placed, bilinear, through a clip", s -> s.clip(
                        new Ellipse2D.Double(4, 4, 56, 56), false).filter(Scene.BILINEAR)
                        .image(heart, TexturePanels.placed(16, 12, 3.2, 20, 32, 32))),
                scene("Porter-Duff rules in layers", s -> {
                    int[] rules = {1, 2, 4, 5, 6, 7, 8, 10, 11, 12};
                    for (int i = 0; i < rules.length; i++) {
                        Scene cell = new Scene(0);
                        cell.colour(Palette.BLUE).fill(new Ellipse2D.Double(1, 1, 14, 14));
                        cell.composite(rules[i], 0.8f).colour(0xC0F29A38)
                                .fill(new Rectangle2D.Double(6, 5, 10, 10));
                        s.layer(2 + 16 * (i % 4), 2 + 20 * (i / 4), 16, 16, cell);
                    }
                }));
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("scenes")
    void libraryAndJava2DDrawAScenesAlike(String name, Consumer<Scene> drawing) {
        Scene scene = new Scene();
        drawing.accept(scene);
        BufferedImage java2d = Java2DRenderer.render(scene, SIZE, SIZE);
        assertAlike(name, blocks(library(drawing)),
                blocks(java2d.getRGB(0, 0, SIZE, SIZE, null, 0, SIZE)), 4);
    }

    private static final int BLOCK = 4;

    /**
     * The mean colour of each BLOCK x BLOCK square. Java 2D samples gradients and textures at
     * pixel corners, the library at pixel centres: half a pixel apart, which moves sharp
     * texture edges by up to a pixel and ramps by a few levels. The means of small squares
     * hide the first; the gradients here change slowly enough to keep the second inside the
     * limit, which a paint that lies or repeats differently is far outside of. Repeating
     * gradients and textures with sharp edges differ by more and are left to the eye.
     */
    private static int[] blocks(int[] argb) {
        int n = SIZE / BLOCK;
        int[] out = new int[n * n];
        for (int by = 0; by < n; by++) {
            for (int bx = 0; bx < n; bx++) {
                int[] sum = new int[3];
                for (int y = by * BLOCK; y < (by + 1) * BLOCK; y++) {
                    for (int x = bx * BLOCK; x < (bx + 1) * BLOCK; x++) {
                        for (int k = 0; k < 3; k++) {
                            sum[k] += argb[y * SIZE + x] >> 8 * k & 0xFF;
                        }
                    }
                }
                for (int k = 0; k < 3; k++) {
                    out[by * n + bx] |= Math.round(sum[k] / (float) (BLOCK * BLOCK)) << 8 * k;
                }
            }
        }
        return out;
    }

    /** The scene over the panel colour drawn by the library, as opaque 0xAARRGGBB words. */
    private static int[] library(Consumer<Scene> drawing) {
        Scene scene = new Scene();
        drawing.accept(scene);
        try (Target t = LumoRenderer.render(scene, SIZE, SIZE)) {
            return t.read();
        }
    }

    /**
     * The mean difference of the colour channels stays within {@code meanLimit} levels: edges
     * antialiased a little differently stay well inside it, a shape, paint or texture that lies
     * elsewhere or repeats differently does not.
     */
    private static void assertAlike(String name, int[] expected, int[] actual,
            double meanLimit) {
        long sum = 0;
        for (int i = 0; i < expected.length; i++) {
            for (int shift = 0; shift < 24; shift += 8) {
                sum += Math.abs((expected[i] >> shift & 0xFF) - (actual[i] >> shift & 0xFF));
            }
        }
        double mean = sum / (3.0 * expected.length);
        assertTrue(mean <= meanLimit, name + ": mean difference " + mean + " levels");
    }
}
