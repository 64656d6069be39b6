package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.AlphaComposite;
import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;
import java.awt.image.BufferedImage;
import java.util.Random;
import org.junit.jupiter.api.Test;

/**
 * A clear is made when the surface is next drawn or read, skipped when that draw fills the
 * whole surface opaquely, and such a fill is itself a clear. On random surfaces, states and
 * rectangles (some covering the surface, most not), drawing after a clear over old pixels must
 * give exactly what filling the rectangle as a general outline after a clear made at once gives.
 */
class SurfaceClearTest {
    private static int[] pixels(BufferedImage image) {
        return image.getRGB(0, 0, image.getWidth(), image.getHeight(), null, 0,
                image.getWidth());
    }

    /**
     * One random state and rectangle fill, the same for a given seed; the reference fills the
     * rectangle as a general outline.
     */
    private static void draw(Graphics2D g, long seed, int w, int h, boolean reference) {
        Random r = new Random(seed);
        switch (r.nextInt(4)) {
            case 0 -> g.translate(r.nextInt(5) - 2, r.nextInt(5) - 2);
            case 1 -> g.scale(0.5 + r.nextDouble() * 2, 0.5 + r.nextDouble() * 2);
            case 2 -> {
                g.translate(w, 0);
                g.scale(-1, 1);
            }
            default -> g.rotate(r.nextInt(3) * 0.2);
        }
        switch (r.nextInt(5)) {
            case 0 -> g.setComposite(AlphaComposite.Src);
            case 1 -> g.setComposite(AlphaComposite.SrcOver.derive(0.6f));
            case 2 -> g.setComposite(AlphaComposite.DstOver);
            case 3 -> g.setXORMode(Color.BLUE);
            default -> g.setComposite(AlphaComposite.SrcOver);
        }
        switch (r.nextInt(4)) {
            case 0 -> g.clip(new Rectangle2D.Double(-2, -1, w + 4, h + 3));
            case 1 -> g.clipRect(1, 2, w - 3, h - 2);
            case 2 -> g.clip(new Ellipse2D.Double(-w, -h, 3 * w, 3 * h));
            default -> { }
        }
        g.setColor(new Color(r.nextInt(), r.nextInt(4) != 0));
        int x = r.nextInt(4) - 3;
        int y = r.nextInt(4) - 3;
        int rw = w - x + r.nextInt(5) - 2;
        int rh = h - y + r.nextInt(5) - 2;
        double fx = x + r.nextInt(3) * 0.25;
        int form = r.nextInt(3);
        if (reference) {
            // The same rectangle as an outline no shortcut recognises.
            Path2D.Double p = new Path2D.Double(new Rectangle2D.Double(form == 0 ? x : fx, y,
                    rw, rh));
            p.moveTo(0, 0);
            g.fill(p);
        } else if (form == 0) {
            g.fillRect(x, y, rw, rh);
        } else if (form == 1) {
            g.fill(new Rectangle2D.Double(fx, y, rw, rh));
        } else {
            g.fill(new Path2D.Double(new Rectangle2D.Double(fx, y, rw, rh)));
        }
        g.setPaintMode();
        g.setComposite(AlphaComposite.SrcOver);
        g.setColor(new Color(r.nextInt(), true));
        g.fillOval(2, 3, w / 2, h / 3);
    }

    private static void paintOver(LumoSurface surface, Random random) {
        Graphics2D g = surface.createGraphics();
        g.setColor(new Color(random.nextInt(), true));
        g.fillRect(0, 0, surface.getWidth(), surface.getHeight());
        g.setColor(new Color(random.nextInt(), true));
        g.fillOval(0, 0, surface.getWidth(), surface.getHeight());
        g.dispose();
    }

    @Test
    void drawingAfterAClearIsDrawingOnACleanSurface() {
        Random random = new Random(7);
        int skipped = 0;
        for (int step = 0; step < 600; step++) {
            int w = 8 + random.nextInt(40);
            int h = 8 + random.nextInt(40);
            int clearArgb = random.nextBoolean() ? 0 : random.nextInt();
            long seed = random.nextLong();
            try (LumoSurface used = new LumoSurface(w, h);
                    LumoSurface fresh = new LumoSurface(w, h)) {
                // Different old pixels on each; the reference makes its clear at once.
                paintOver(used, random);
                paintOver(fresh, random);
                used.clear(clearArgb);
                fresh.clear(clearArgb);
                fresh.toImage();
                Graphics2D g = used.createGraphics();
                draw(g, seed, w, h, false);
                g.dispose();
                Graphics2D f = fresh.createGraphics();
                draw(f, seed, w, h, true);
                f.dispose();
                assertArrayEquals(pixels(fresh.toImage()), pixels(used.toImage()),
                        "step " + step);
                skipped += used.skippedClears;
            }
        }
        assertTrue(skipped > 5, "fills that replaced the whole surface: " + skipped);
    }

    /**
     * Covering fills show on surfaces whose pixels were never made (fresh, or drawn only where
     * the clip is empty), the second one too, kept as a clear; a disposed graphics leaves a
     * pending clear alone.
     */
    @Test
    void coveringFillsShowOnSurfacesNeverDrawn() {
        for (int k = 0; k < 3; k++) {
            try (LumoSurface s = new LumoSurface(9, 7)) {
                Graphics2D g = s.createGraphics();
                if (k == 1) {
                    g.setClip(0, 0, 0, 0);
                    g.fillRect(1, 1, 2, 2);
                    g.setClip(null);
                } else if (k == 2) {
                    s.clear(0xFF00FF00);
                }
                g.setColor(new Color(0x336699));
                g.fillRect(-1, -1, 20, 20);
                g.fill(new Rectangle2D.Double(0, 0, 9, 7));
                for (int p : pixels(s.toImage())) {
                    assertEquals(0xFF336699, p, "case " + k);
                }
                Graphics2D d = s.createGraphics();
                d.dispose();
                s.clear(0);
                d.fillRect(0, 0, 9, 7);
                for (int p : pixels(s.toImage())) {
                    assertEquals(0, p, "case " + k + " after a clear");
                }
            }
        }
    }

    /**
     * A clear gives the pixels Java 2D's source rule gives the colour, premultiplied (to the
     * rounding of a channel), whether the surface was drawn before or not.
     */
    @Test
    void clearsPremultiplyTheirColour() {
        Random random = new Random(3);
        for (int step = 0; step < 200; step++) {
            int argb = switch (step % 4) {
                case 0 -> random.nextInt() | 0xFF000000;
                case 1 -> random.nextInt() & 0x00FFFFFF;
                default -> random.nextInt();
            };
            BufferedImage expected = new BufferedImage(5, 4, BufferedImage.TYPE_INT_ARGB_PRE);
            Graphics2D j = expected.createGraphics();
            j.setComposite(AlphaComposite.Src);
            j.setColor(new Color(argb, true));
            j.fillRect(0, 0, 5, 4);
            j.dispose();
            try (LumoSurface s = new LumoSurface(5, 4)) {
                if (step % 3 == 0) {
                    paintOver(s, random);
                }
                s.clear(argb);
                int[] got = new int[20];
                s.read(0, 0, 5, 4, got);
                int[] want = ((java.awt.image.DataBufferInt) expected.getRaster()
                        .getDataBuffer()).getData();
                for (int i = 0; i < got.length; i++) {
                    // lumo rounds the premultiplied channels its own way, at most one off.
                    for (int shift = 0; shift < 32; shift += 8) {
                        int d = ((got[i] >>> shift) & 0xFF) - ((want[i] >>> shift) & 0xFF);
                        assertTrue(Math.abs(d) <= (shift == 24 ? 0 : 1), "step " + step + ", "
                                + Integer.toHexString(argb) + ": " + Integer.toHexString(got[i])
                                + " for " + Integer.toHexString(want[i]));
                    }
                }
            }
        }
    }
}
