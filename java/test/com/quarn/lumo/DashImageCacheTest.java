package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;

import java.awt.BasicStroke;
import java.awt.image.BufferedImage;
import java.util.Random;
import org.junit.jupiter.api.Test;

/**
 * Dash coverage images are kept for lines drawn again. On a random walk through the arguments,
 * each step changing one of them (or none), the kept image must be the one made anew: same
 * pixels, same place.
 */
class DashImageCacheTest {
    private static int[] pixels(BufferedImage image) {
        return image.getRGB(0, 0, image.getWidth(), image.getHeight(), null, 0,
                image.getWidth());
    }

    @Test
    void keptImagesAreTheImagesMadeAnew() {
        Random random = new Random(41);
        float[][] patterns = {{4, 3}, {2, 2}, {1, 6, 12, 4}, {3, 1.5f, 0, 2}};
        boolean horizontal = true;
        double start = 4.5;
        double end = 90.5;
        double across = 20.5;
        double width = 1;
        double scale = 1;
        int argb = 0xFF142AA0;
        float phase = 0;
        float[] pattern = patterns[0];
        int[] bounds = {0, 0, 96, 96};
        for (int step = 0; step < 3000; step++) {
            switch (random.nextInt(10)) {
                case 0 -> horizontal = !horizontal;
                case 1 -> start = random.nextInt(40) + random.nextInt(4) / 4.0;
                case 2 -> end = 40 + random.nextInt(60) + random.nextInt(4) / 4.0;
                case 3 -> across = random.nextInt(90) + random.nextInt(4) / 4.0;
                case 4 -> width = 0.25 + random.nextInt(11) / 4.0;
                case 5 -> scale = random.nextBoolean() ? 1 : 0.5 + random.nextInt(4) / 2.0;
                case 6 -> argb = random.nextInt();
                case 7 -> phase = random.nextInt(12) / 2f;
                case 8 -> pattern = patterns[random.nextInt(patterns.length)];
                default -> bounds = new int[] {random.nextInt(30), random.nextInt(30),
                    30 + random.nextInt(66), 30 + random.nextInt(66)};
            }
            BasicStroke stroke = new BasicStroke((float) width, BasicStroke.CAP_BUTT,
                    BasicStroke.JOIN_MITER, 10, pattern, phase);
            int[] kept = new int[2];
            int[] made = new int[2];
            BufferedImage image = DashedLines.image(stroke, horizontal, start, end, across,
                    width, scale, argb, bounds, kept);
            BufferedImage fresh = DashedLines.render(stroke, horizontal, start, end, across,
                    width, scale, argb, bounds, made);
            String where = "step " + step;
            if (fresh == null) {
                assertNull(image, where);
                continue;
            }
            assertEquals(made[0], kept[0], where);
            assertEquals(made[1], kept[1], where);
            assertEquals(fresh.getWidth(), image.getWidth(), where);
            assertEquals(fresh.getHeight(), image.getHeight(), where);
            assertArrayEquals(pixels(fresh), pixels(image), where);
        }
    }
}
