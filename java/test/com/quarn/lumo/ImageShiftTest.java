package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;

import com.quarn.lumo.internal.AwtImage;
import com.quarn.lumo.internal.LUMO;
import java.awt.AlphaComposite;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.geom.AffineTransform;
import java.awt.geom.Path2D;
import java.awt.image.BufferedImage;
import java.util.Random;
import org.junit.jupiter.api.Test;

/**
 * Images moved by whole device pixels under the bilinear hint (Batik draws its group and
 * filter tiles so) are copied without the filter: the pixels of lumo's bilinear filter itself,
 * on random images of every type, extra alphas, clips and placements.
 */
class ImageShiftTest {
    private static final int SIZE = 64;
    private static final int BILINEAR = 1;
    private static final int IMAGE_FILTER = 0xF800;
    private static final int[] TYPES = {BufferedImage.TYPE_INT_ARGB,
        BufferedImage.TYPE_INT_ARGB_PRE, BufferedImage.TYPE_INT_RGB,
        BufferedImage.TYPE_4BYTE_ABGR, BufferedImage.TYPE_4BYTE_ABGR_PRE,
        BufferedImage.TYPE_3BYTE_BGR, BufferedImage.TYPE_USHORT_565_RGB,
        BufferedImage.TYPE_BYTE_GRAY};

    private static int[] read(LumoSurface surface) {
        int[] out = new int[SIZE * SIZE];
        surface.read(0, 0, SIZE, SIZE, out);
        return out;
    }

    /** A clip whose corners stay exact when moved by the test's offsets. */
    private static Path2D triangle(double x, double y) {
        Path2D p = new Path2D.Double();
        p.moveTo(x + 3.25, y + 2.5);
        p.lineTo(x + 50.75, y + 9);
        p.lineTo(x + 12.5, y + 47.25);
        p.closePath();
        return p;
    }

    @Test
    void wholePixelShiftsDrawAsTheBilinearFilter() {
        Random random = new Random(11);
        for (int trial = 0; trial < 40; trial++) {
            int type = TYPES[trial % TYPES.length];
            int w = 1 + random.nextInt(50);
            int h = 1 + random.nextInt(50);
            BufferedImage image = new BufferedImage(w, h, type);
            for (int y = 0; y < h; y++) {
                for (int x = 0; x < w; x++) {
                    image.setRGB(x, y, random.nextInt());
                }
            }
            float alpha = random.nextBoolean() ? 1f : random.nextFloat();
            int dx = random.nextInt(40) - 10;
            int dy = random.nextInt(40) - 10;
            double tx = random.nextInt(20) + (random.nextBoolean() ? 0.5 : 0);
            double ty = random.nextInt(20) - (random.nextBoolean() ? 0.25 : 0);
            boolean clipped = random.nextBoolean();
            // Every fourth draw lands between pixels, where the filter stays.
            double between = trial % 4 == 3 ? 0.5 : 0;
            try (LumoSurface viaGraphics = new LumoSurface(SIZE, SIZE);
                    LumoSurface filtered = new LumoSurface(SIZE, SIZE)) {
                viaGraphics.clear(0xFF336699);
                filtered.clear(0xFF336699);
                Graphics2D g = viaGraphics.createGraphics();
                g.setRenderingHint(RenderingHints.KEY_INTERPOLATION,
                        RenderingHints.VALUE_INTERPOLATION_BILINEAR);
                g.setComposite(AlphaComposite.getInstance(AlphaComposite.SRC_OVER, alpha));
                g.translate(tx, ty);
                if (clipped) {
                    g.clip(triangle(0, 0));
                }
                g.drawImage(image, AffineTransform.getTranslateInstance(dx - tx + between, dy - ty),
                        null);
                g.dispose();

                // The same draw with lumo's bilinear filter, through the natives directly.
                int n = LUMO.createGraphics(filtered.image());
                LUMO.setComposite(n, AlphaComposite.SRC_OVER, alpha);
                LUMO.setHint(n, IMAGE_FILTER, BILINEAR);
                LUMO.setHint(n, 4, 1);
                if (clipped) {
                    PathBuffer clip = new PathBuffer().set(triangle(tx, ty), null);
                    clip.clip(n);
                }
                AwtImage.draw(n, Images.readable(image),
                        new double[] {1, 0, 0, 1, dx + between, dy});
                LUMO.deleteGraphics(n);
                assertArrayEquals(read(filtered), read(viaGraphics),
                        "trial " + trial + ", type " + type);
            }
        }
    }
}
