package com.quarn.lumo.internal;

import static com.quarn.lumo.internal.Canvas.alpha;
import static com.quarn.lumo.internal.Canvas.channel;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.ArrayList;
import java.util.List;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;
import org.junit.jupiter.params.provider.ValueSource;

/**
 * Composite rules applied by fillRect(2, 2, 4, 4) on an 8 x 8 target, checked against the
 * compositing formulas on premultiplied colours: Porter-Duff S * Fa + D * Fb, and for the
 * separable blend modes S (1 - Da) + D (1 - Sa) + Sa Da B(s, d) on straight s and d.
 */
class CompositeTest {
    private static final int CLEAR = 1;
    private static final int SRC = 2;
    private static final int SRC_OVER = 3;
    private static final int SRC_IN = 5;
    private static final int DST_IN = 6;
    private static final int SRC_OUT = 7;
    private static final int DST_ATOP = 11;
    private static final int XOR = 12;
    private static final int PLUS = 13;

    private static final int BACKDROP = 0xFF40C8FF;
    /** The last paint has no channel at 0 or 1, where the dodge and burn formulas have cases. */
    private static final int[] PAINTS = {0xFFFF8000, 0x80FF8000, 0xFF60A040};
    private static final String[] NAMES = {null, "clear", "src", "src over", "dst over",
        "src in", "dst in", "src out", "dst out", "dst", "src atop", "dst atop", "xor", "plus",
        null, "multiply", "screen", "overlay", "darken", "lighten", "color dodge", "color burn",
        "hard light",
        null, "difference", "exclusion"};

    /** Porter-Duff fractions {Fa, Fb} of rules 1..12. */
    private static double[] fractions(int rule, double sa, double da) {
        switch (rule) {
            case 1: return new double[] {0, 0};
            case 2: return new double[] {1, 0};
            case 3: return new double[] {1, 1 - sa};
            case 4: return new double[] {1 - da, 1};
            case 5: return new double[] {da, 0};
            case 6: return new double[] {0, sa};
            case 7: return new double[] {1 - da, 0};
            case 8: return new double[] {0, 1 - sa};
            case 9: return new double[] {0, 1};
            case 10: return new double[] {da, 1 - sa};
            case 11: return new double[] {1 - da, sa};
            default: return new double[] {1 - da, 1 - sa};
        }
    }

    private static double hardLight(double s, double d) {
        return s <= 0.5 ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d);
    }

    /** Blend function B of the separable modes on straight channels. */
    private static double blend(int rule, double s, double d) {
        switch (rule) {
            case 15: return s * d;
            case 16: return s + d - s * d;
            case 17: return hardLight(d, s);
            case 18: return Math.min(s, d);
            case 19: return Math.max(s, d);
            case 20: return Math.min(1, d / (1 - s));
            case 21: return 1 - Math.min(1, (1 - d) / s);
            case 22: return hardLight(s, d);
            case 24: return Math.abs(s - d);
            default: return s + d - 2 * s * d;
        }
    }

    /** The premultiplied pixel after composing a straight paint over a premultiplied pixel. */
    static int compose(int rule, int paint, int pixel) {
        double sa = alpha(paint) / 255.0;
        double da = alpha(pixel) / 255.0;
        int[] result = new int[4];
        for (int i = 0; i < 4; i++) {
            double s = i == 0 ? sa : channel(paint, i) / 255.0 * sa;
            double d = channel(pixel, i) / 255.0;
            double r;
            if (rule <= 12) {
                double[] f = fractions(rule, sa, da);
                r = s * f[0] + d * f[1];
            } else if (rule == PLUS) {
                r = Math.min(1, s + d);
            } else if (i == 0) {
                r = sa + da - sa * da;
            } else {
                double both = sa * da == 0 ? 0 : sa * da * blend(rule, s / sa, d / da);
                r = s * (1 - da) + d * (1 - sa) + both;
            }
            result[i] = (int) Math.round(255 * r);
        }
        return Canvas.argb(result[0], result[1], result[2], result[3]);
    }

    /** {@code rule} with {@code alpha} in force, filling the middle 4 x 4 square. */
    private static int[] fill(int rule, float alpha, int paint, int backdrop, double[] matrix) {
        try (Canvas c = new Canvas(8, 8, backdrop).hints(true, 0)) {
            LUMO.fillRect(c.g, 7, 7, 1, 1); // a black corner pixel, drawn source-over
            LUMO.setComposite(c.g, rule, alpha);
            LUMO.setPaint(c.g, paint);
            LUMO.setTransform(c.g, matrix);
            LUMO.fillRect(c.g, 2, 2, 4, 4);
            return c.read();
        }
    }

    static Stream<Arguments> cases() {
        List<Arguments> cases = new ArrayList<>();
        for (int rule = 1; rule < NAMES.length; rule++) {
            for (int paint : PAINTS) {
                for (int backdrop : new int[] {BACKDROP, 0}) {
                    boolean dodgeOrBurn = rule == 20 || rule == 21;
                    if (NAMES[rule] != null && (!dodgeOrBurn || paint == PAINTS[2])) {
                        cases.add(Arguments.of(NAMES[rule], rule, paint, backdrop));
                    }
                }
            }
        }
        return cases.stream();
    }

    @ParameterizedTest(name = "{0}: {2} onto {3}")
    @MethodSource("cases")
    void ruleComposesAsItsFormulaUnderTheShapeOnly(String name, int rule, int paint,
            int backdrop) {
        int[] pixels = fill(rule, 1, paint, backdrop, null);
        int inside = compose(rule, paint, backdrop);
        for (int y = 0; y < 8; y++) {
            for (int x = 0; x < 8; x++) {
                String at = name + " at (" + x + ", " + y + ")";
                if (x >= 2 && x < 6 && y >= 2 && y < 6) {
                    Canvas.assertNear(inside, pixels[y * 8 + x], 2, at);
                } else {
                    assertEquals(x == 7 && y == 7 ? 0xFF000000 : backdrop, pixels[y * 8 + x], at);
                }
            }
        }
    }

    /**
     * Shifted right by half a pixel the square covers columns 2 and 6 by half: there a rule's
     * result is mixed half and half with the pixel, and outside the square nothing changes,
     * even for rules that would clear an uncovered destination.
     */
    @ParameterizedTest(name = "rule {0}")
    @ValueSource(ints = {CLEAR, SRC, SRC_OVER, SRC_IN, DST_IN, SRC_OUT, DST_ATOP, XOR})
    void partialCoverageMixesTheResultWithThePixel(int rule) {
        int paint = 0x80FF8000;
        int[] pixels = fill(rule, 1, paint, BACKDROP, new double[] {1, 0, 0, 1, 0.5, 0});
        int full = compose(rule, paint, BACKDROP);
        int half = 0;
        for (int i = 0; i < 4; i++) {
            half |= Math.round((channel(full, i) + channel(BACKDROP, i)) / 2f) << (24 - 8 * i);
        }
        for (int y = 0; y < 8; y++) {
            for (int x = 0; x < 7; x++) {
                boolean row = y >= 2 && y < 6;
                int expected = !row || x < 2 ? BACKDROP : x == 2 || x == 6 ? half : full;
                Canvas.assertNear(expected, pixels[y * 8 + x], 2,
                        "rule " + rule + " at (" + x + ", " + y + ")");
            }
        }
    }

    @Test
    void compositeAlphaScalesThePaintAlpha() {
        // floor(0.5 * 255 + 0.5) = 128: opaque red becomes 128 red premultiplied by 128/255.
        assertEquals(0x80800000, fill(SRC_OVER, 0.5f, 0xFFFF0000, 0, null)[3 * 8 + 3]);
        Canvas.assertNear(compose(SRC_OVER, 0x80FF0000, BACKDROP),
                fill(SRC_OVER, 0.5f, 0xFFFF0000, BACKDROP, null)[3 * 8 + 3], 2, "onto backdrop");

        // 0.3 * 192 + 0.5 = 58.1: white at alpha 58, which src writes as it is.
        assertEquals(0x3A3A3A3A, fill(SRC, 0.3f, 0xC0FFFFFF, 0, null)[3 * 8 + 3], "0.3 of 192");

        // Alpha is clamped to 0..1.
        assertArrayEquals(fill(SRC_OVER, 1, 0xC0FF8000, BACKDROP, null),
                fill(SRC_OVER, 7.5f, 0xC0FF8000, BACKDROP, null), "alpha above 1");
        assertArrayEquals(fill(SRC_OVER, 0, 0xC0FF8000, BACKDROP, null),
                fill(SRC_OVER, -2, 0xC0FF8000, BACKDROP, null), "alpha below 0");
        assertEquals(BACKDROP, fill(SRC_OVER, -2, 0xC0FF8000, BACKDROP, null)[3 * 8 + 3]);
        // With no paint alpha left, src still replaces the pixel: with transparency.
        assertEquals(0, fill(SRC, 0, 0xFFFF8000, BACKDROP, null)[3 * 8 + 3], "src, alpha 0");
        // Clear ignores the paint and the composite alpha.
        assertEquals(0, fill(CLEAR, 0.5f, 0xFFFF8000, BACKDROP, null)[3 * 8 + 3], "clear");
    }

    @ParameterizedTest(name = "rule {0}")
    @ValueSource(ints = {0, -1, 27, 1000, Integer.MIN_VALUE})
    void unknownRulesComposeSourceOver(int rule) {
        assertArrayEquals(fill(SRC_OVER, 0.75f, 0x80FF8000, BACKDROP, null),
                fill(rule, 0.75f, 0x80FF8000, BACKDROP, null));
    }
}
