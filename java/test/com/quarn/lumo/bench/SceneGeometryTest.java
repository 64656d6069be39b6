package com.quarn.lumo.bench;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quarn.lumo.internal.ShapePath;
import java.awt.geom.Rectangle2D;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.EnumSource;

/** The outlines the scenes make: their segments, fill rules and where they lie. */
class SceneGeometryTest {
    private static final int SIZE = 40;

    @ParameterizedTest
    @EnumSource(Scene.class)
    void outlinesStayInTheirBox(Scene scene) {
        SceneRandom random = SceneRandom.forScene(scene.index(), SIZE);
        for (int i = 0; i < 200; i++) {
            double x = random.next() * (ShapeBatch.CANVAS - SIZE);
            double y = random.next() * (ShapeBatch.CANVAS - SIZE);
            Outline outline = scene.outline(random, x, y, SIZE);
            // A turned square reaches (sqrt 2 - 1) / 2 of its side beyond the box; the
            // aligned rectangle moves its corner down to whole pixels.
            double slack = scene == Scene.FILL_RECT_ROT ? SIZE * 0.2072
                    : scene == Scene.FILL_RECT_A ? 1 : 1e-9;
            Rectangle2D box = new Rectangle2D.Double(x - slack, y - slack, SIZE + 2 * slack,
                    SIZE + 2 * slack);
            for (int c = 0; c < outline.coords.length; c += 2) {
                assertTrue(box.contains(outline.coords[c], outline.coords[c + 1]),
                        scene + " point " + c / 2 + " of operation " + i);
            }
        }
    }

    /** Segment codes: 0 move, 1 line, 3 cubic, 4 close. */
    @ParameterizedTest
    @EnumSource(Scene.class)
    void outlinesHaveTheirSegmentsAndRule(Scene scene) {
        Outline outline = scene.outline(new SceneRandom(7), 100.25, 50.5, SIZE);
        int lines = 0;
        int cubics = 0;
        int closes = 0;
        for (byte type : outline.types) {
            lines += type == 1 ? 1 : 0;
            cubics += type == 3 ? 1 : 0;
            closes += type == 4 ? 1 : 0;
        }
        assertEquals(0, outline.types[0], "starts with a move");
        int[] expected; // lines, cubics, closes
        switch (scene) {
            case FILL_RECT_A:
            case FILL_RECT_U:
            case STROKE_RECT_U:
                // A rectangle's own outline closes with a line back to its corner.
                expected = new int[] {4, 0, 1};
                break;
            case FILL_RECT_ROT:
                expected = new int[] {3, 0, 1};
                break;
            case FILL_ROUND_U:
                expected = new int[] {lines, 4, 1};
                break;
            case FILL_TRIANGLE:
                expected = new int[] {2, 0, 1};
                break;
            case FILL_POLY10_NZ:
            case FILL_POLY10_EO:
            case STROKE_POLY10:
                expected = new int[] {9, 0, 1};
                break;
            case FILL_POLY40_NZ:
            case FILL_POLY40_EO:
                expected = new int[] {39, 0, 1};
                break;
            case FILL_PATH:
                expected = new int[] {0, 200, 1};
                break;
            case STROKE_PATH:
                expected = new int[] {0, 20, 0};
                break;
            case DASH:
                expected = new int[] {9, 0, 0};
                break;
            default:
                throw new AssertionError(scene);
        }
        assertArrayEquals(expected, new int[] {lines, cubics, closes}, scene.label);
        assertEquals(cubics > 0 ? ShapePath.CURVES : ShapePath.POLYGONAL, outline.shapeFlag);
        assertEquals(scene != Scene.FILL_POLY10_EO && scene != Scene.FILL_POLY40_EO,
                outline.nonZero, scene.label + " fill rule");
    }

    @ParameterizedTest
    @EnumSource(Scene.class)
    void onlyTheAlignedRectangleIsDrawnAsIntegers(Scene scene) {
        Outline outline = scene.outline(new SceneRandom(3), 10.75, 20.25, SIZE);
        if (scene == Scene.FILL_RECT_A) {
            assertArrayEquals(new int[] {10, 20, SIZE, SIZE}, outline.intRect);
        } else {
            assertNull(outline.intRect);
        }
        if (scene == Scene.FILL_RECT_U || scene == Scene.STROKE_RECT_U) {
            assertEquals(new Rectangle2D.Double(10.75, 20.25, SIZE - 0.5, SIZE - 0.5),
                    outline.shape.getBounds2D());
        }
    }
}
