package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;

import java.awt.Color;
import java.awt.GradientPaint;
import java.awt.LinearGradientPaint;
import java.awt.MultipleGradientPaint;
import java.awt.Paint;
import java.awt.PaintContext;
import java.awt.Rectangle;
import java.awt.RenderingHints;
import java.awt.TexturePaint;
import java.awt.Transparency;
import java.awt.geom.AffineTransform;
import java.awt.geom.Point2D;
import java.awt.geom.Rectangle2D;
import java.awt.image.BufferedImage;
import java.awt.image.ColorModel;
import java.awt.image.Raster;
import java.awt.image.WritableRaster;
import java.util.Random;
import org.junit.jupiter.api.Test;

/**
 * The pixels of a paint lumo cannot draw itself reach it as an image: the paint context's own
 * raster when it gives premultiplied ARGB, else a premultiplied copy. On random paints and
 * rectangles, that image must hold exactly the premultiplied words of the copy made for the
 * composite paths, whichever way it was made.
 */
class PaintPixelsTest {
    /**
     * A paint whose context gives premultiplied ARGB rasters of random words, as SVG pattern
     * paints do: made at the origin and moved to the rectangle, or larger than asked for.
     */
    private record RasterPaint(long seed, boolean larger) implements Paint {
        @Override
        public PaintContext createContext(ColorModel cm, Rectangle deviceBounds,
                Rectangle2D userBounds, AffineTransform xform, RenderingHints hints) {
            return new PaintContext() {
                @Override
                public void dispose() {
                }

                @Override
                public ColorModel getColorModel() {
                    return LumoGraphicsConfig.ARGB_PRE;
                }

                @Override
                public Raster getRaster(int x, int y, int w, int h) {
                    int extra = larger ? 3 : 0;
                    WritableRaster raster = LumoGraphicsConfig.ARGB_PRE
                            .createCompatibleWritableRaster(w + extra, h + extra);
                    Random r = new Random(seed);
                    int[] words = new int[(w + extra) * (h + extra)];
                    for (int i = 0; i < words.length; i++) {
                        int a = r.nextInt(256);
                        words[i] = a << 24 | r.nextInt(a + 1) << 16 | r.nextInt(a + 1) << 8
                                | r.nextInt(a + 1);
                    }
                    raster.setDataElements(0, 0, w + extra, h + extra, words);
                    return raster.createWritableTranslatedChild(x, y);
                }
            };
        }

        @Override
        public int getTransparency() {
            return Transparency.TRANSLUCENT;
        }
    }

    private static Paint randomPaint(Random r) {
        Color c1 = new Color(r.nextInt(), true);
        Color c2 = new Color(r.nextInt(), true);
        switch (r.nextInt(5)) {
            case 0:
                return new RasterPaint(r.nextLong(), false);
            case 1:
                return new RasterPaint(r.nextLong(), true);
            case 2:
                return new GradientPaint(r.nextInt(20), r.nextInt(20), c1, 20 + r.nextInt(20),
                        r.nextInt(30), c2, r.nextBoolean());
            case 3:
                return new LinearGradientPaint(new Point2D.Double(0, 0),
                        new Point2D.Double(10 + r.nextInt(30), r.nextInt(30)),
                        new float[] {0, 1}, new Color[] {c1, c2},
                        MultipleGradientPaint.CycleMethod.REFLECT,
                        MultipleGradientPaint.ColorSpaceType.LINEAR_RGB, new AffineTransform());
            default:
                BufferedImage tile = new BufferedImage(3 + r.nextInt(5), 3 + r.nextInt(5),
                        r.nextBoolean() ? BufferedImage.TYPE_INT_ARGB_PRE
                                : BufferedImage.TYPE_INT_ARGB);
                for (int y = 0; y < tile.getHeight(); y++) {
                    for (int x = 0; x < tile.getWidth(); x++) {
                        tile.setRGB(x, y, r.nextInt());
                    }
                }
                return new TexturePaint(tile, new Rectangle2D.Double(r.nextInt(5), r.nextInt(5),
                        tile.getWidth(), tile.getHeight()));
        }
    }

    @Test
    void imagesHoldThePremultipliedWordsOfTheCopy() {
        Random r = new Random(11);
        RenderingHints hints = new RenderingHints(null);
        for (int n = 0; n < 300; n++) {
            Paint paint = randomPaint(r);
            Rectangle rect = new Rectangle(r.nextInt(40) - 10, r.nextInt(40) - 10,
                    1 + r.nextInt(40), 1 + r.nextInt(30));
            AffineTransform t = AffineTransform.getTranslateInstance(r.nextInt(7), r.nextInt(7));
            int[] expected = Compositor.paint(paint, rect, rect, t, hints);
            int[] seen = new int[1];
            String where = "paint " + n + " " + paint;
            Compositor.paint(paint, rect, rect, t, hints, image -> {
                assertEquals(BufferedImage.TYPE_INT_ARGB_PRE, image.getType(), where);
                assertEquals(rect.width, image.getWidth(), where);
                assertEquals(rect.height, image.getHeight(), where);
                int[] words = new int[rect.width * rect.height];
                image.getRaster().getDataElements(0, 0, rect.width, rect.height, words);
                assertArrayEquals(expected, words, where);
                seen[0]++;
            });
            assertEquals(1, seen[0], where);
        }
    }
}
