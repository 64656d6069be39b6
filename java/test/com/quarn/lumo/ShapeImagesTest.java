package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.Color;
import java.awt.Font;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.Shape;
import java.awt.font.FontRenderContext;
import java.awt.geom.AffineTransform;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;
import java.util.Random;
import org.junit.jupiter.api.Test;

/**
 * Outlines filled again and again (a PDF renderer's glyphs) draw from cached coverage images:
 * the image's pixels against the same outline filled, on random glyphs, sizes, transforms,
 * colours and sub-pixel places.
 */
class ShapeImagesTest {
    private static final int SIZE = 112;

    /** The same outline as a shape of no known class, which lumo always fills. */
    private static final class Plain extends ForwardingShape {
        Plain(Shape s) {
            super(s);
        }
    }

    private static int[] fill(Shape s, AffineTransform t, Color c, Shape seenFirst) {
        try (LumoSurface surface = new LumoSurface(SIZE, SIZE)) {
            Graphics2D g = surface.createGraphics();
            g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, RenderingHints.VALUE_ANTIALIAS_ON);
            g.transform(t);
            g.setColor(c);
            if (seenFirst != null) {
                g.fill(seenFirst);
                surface.clear(0);
            }
            g.fill(s);
            g.dispose();
            int[] pixels = new int[SIZE * SIZE];
            surface.read(0, 0, SIZE, SIZE, pixels);
            return pixels;
        }
    }

    @Test
    void repeatedOutlinesDrawAsTheirFills() {
        Random random = new Random(16);
        FontRenderContext frc = new FontRenderContext(null, true, true);
        String[] families = {Font.SERIF, Font.SANS_SERIF, Font.MONOSPACED};
        String letters = "aegkmsxQRSW&@%8?";
        int cached = 0;
        long worst = 0;
        double worstMean = 0;
        for (int trial = 0; trial < 150; trial++) {
            Font font = new Font(families[random.nextInt(families.length)],
                    random.nextInt(4), 1).deriveFont(6f + 48 * random.nextFloat());
            char letter = letters.charAt(random.nextInt(letters.length()));
            Shape glyph = font.createGlyphVector(frc, String.valueOf(letter)).getOutline();
            AffineTransform t = new AffineTransform();
            if (random.nextInt(3) == 0) {
                t.rotate(random.nextDouble() - 0.5, SIZE / 2.0, SIZE / 2.0);
            }
            double scale = 0.6 + random.nextDouble();
            t.scale(scale, scale);
            Color colour = new Color(random.nextInt(), random.nextBoolean());
            double x = (20 + 40 * random.nextDouble()) / scale;
            double y = (50 + 30 * random.nextDouble()) / scale;
            Path2D first = new Path2D.Float(glyph, AffineTransform.getTranslateInstance(
                    (10 + 60 * random.nextDouble()) / scale, y));
            Path2D drawn = new Path2D.Float(glyph, AffineTransform.getTranslateInstance(x, y));

            int[] viaImage = fill(drawn, t, colour, first);
            int[] filled = fill(new Plain(drawn), t, colour, null);

            PathBuffer path = new PathBuffer().set(drawn, null);
            boolean small = glyph.getBounds2D().getWidth() * scale < ShapeImages.MAX_SIZE / 2.0
                    && glyph.getBounds2D().getHeight() * scale < ShapeImages.MAX_SIZE / 2.0;
            CoverageImage image = ShapeImages.find(path, t, colour.getRGB(), new int[2]);
            if (small) {
                assertNotNull(image, "a small outline seen before is cached, trial " + trial);
                cached++;
            }
            long sum = 0;
            for (int i = 0; i < filled.length; i++) {
                for (int shift = 0; shift < 32; shift += 8) {
                    int d = Math.abs((viaImage[i] >>> shift & 0xFF) - (filled[i] >>> shift & 0xFF));
                    sum += d;
                    worst = Math.max(worst, d);
                    // At most a sixteenth of a pixel away along each axis: an edge pixel's
                    // coverage moves by an eighth at most, plus rounding.
                    assertTrue(d <= 40, "trial " + trial + " pixel " + i + " off by " + d);
                }
            }
            worstMean = Math.max(worstMean, sum / (4.0 * filled.length));
        }
        assertTrue(cached > 80, "outlines drawn from the cache: " + cached);
        assertTrue(worstMean < 0.5, "worst mean difference " + worstMean);
        System.out.printf("shape images: %d cached, worst pixel off by %d, worst mean %.3f%n",
                cached, worst, worstMean);
    }

    @Test
    void outlinesSeenOnceOrTooLargeAreFilled() {
        Path2D once = new Path2D.Double(new Rectangle2D.Double(0.3, 0.3, 5.17, 7.9));
        PathBuffer path = new PathBuffer().set(once, null);
        AffineTransform t = AffineTransform.getTranslateInstance(3.2, 4.4);
        assertNull(ShapeImages.find(path, t, 0xFF123457, new int[2]));
        assertNotNull(ShapeImages.find(path, t, 0xFF123457, new int[2]));

        PathBuffer large = new PathBuffer().set(new Path2D.Double(
                new Rectangle2D.Double(0, 0, ShapeImages.MAX_SIZE + 1, 3)), null);
        for (int i = 0; i < 3; i++) {
            assertNull(ShapeImages.find(large, t, 0xFF123457, new int[2]));
        }
        PathBuffer far = new PathBuffer().set(new Path2D.Double(
                new Rectangle2D.Double(Double.NaN, 0, 2, 3)), null);
        for (int i = 0; i < 3; i++) {
            assertNull(ShapeImages.find(far, t, 0xFF123457, new int[2]));
        }
    }
}
