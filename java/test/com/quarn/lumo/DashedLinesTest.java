package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;

import java.util.Random;
import org.junit.jupiter.api.Test;

class DashedLinesTest {
    /** Coverages as dashes give them: runs of full, empty and a few partial values. */
    private static double[] coverages(Random random, int n) {
        double[] c = new double[n];
        double value = 1;
        for (int i = 0; i < n; i++) {
            if (random.nextInt(4) == 0) {
                int kind = random.nextInt(5);
                value = kind == 0 ? 0 : kind == 1 ? 1 : kind == 2 ? -0.0 : random.nextDouble();
            }
            c[i] = value;
        }
        return c;
    }

    @Test
    void fillGivesEachPixelItsOwnCoverageLevel() {
        // Rows and pixels taken over from their neighbours hold what each pixel's own
        // coverage makes of the colour, in both directions and any colour alpha.
        Random random = new Random(16);
        for (int round = 0; round < 400; round++) {
            boolean horizontal = random.nextBoolean();
            double[] along = coverages(random, 1 + random.nextInt(60));
            double[] cross = coverages(random, 1 + random.nextInt(4));
            int argb = random.nextInt();
            int w = horizontal ? along.length : cross.length;
            int h = horizontal ? cross.length : along.length;
            int[] got = new int[w * h];
            DashedLines.fill(got, w, h, horizontal, along, cross, argb);
            int[] expected = new int[w * h];
            int alpha = argb >>> 24;
            for (int y = 0; y < h; y++) {
                for (int x = 0; x < w; x++) {
                    double c = horizontal ? along[x] * cross[y] : cross[x] * along[y];
                    int a = (int) (Math.min(c, 1) * alpha + 0.5);
                    int r = ((argb >>> 16) & 0xFF) * a / 255;
                    int g = ((argb >>> 8) & 0xFF) * a / 255;
                    int b = (argb & 0xFF) * a / 255;
                    expected[y * w + x] = a == 0 ? 0 : a << 24 | r << 16 | g << 8 | b;
                }
            }
            assertArrayEquals(expected, got, "round " + round);
        }
    }
}
