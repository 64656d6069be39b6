package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;

import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;
import java.util.Random;
import org.junit.jupiter.api.Test;

/**
 * Clients keep a clip in user space and set it again under other transforms (a rotated text
 * run, float coordinates), so a whole-pixel rectangle comes back a few millionths of a pixel
 * off. lumo clips to such an outline as to the whole-pixel rectangle, which must give exactly
 * the pixels of clipping to that rectangle's outline as a path (with a collinear extra point,
 * which no rectangle test takes), on random rectangles through random rotations and scales and
 * back; rectangles a quarter pixel or more off whole pixels stay outlines.
 */
class RoundTripClipTest {
    private static final int W = 48;
    private static final int H = 40;

    @Test
    void clipsBackFromUserSpaceDrawAsTheirOutlines() {
        Random r = new Random(5);
        int rectangles = 0;
        for (int round = 0; round < 300; round++) {
            double x = r.nextInt(20) - 4;
            double y = r.nextInt(16) - 4;
            double w = 1 + r.nextInt(40);
            double h = 1 + r.nextInt(36);
            // A third of the rectangles lie a quarter pixel or more off whole pixels.
            double off = round % 3 == 0 ? 0.25 + r.nextDouble() / 2 : 0;
            Rectangle2D.Float device = new Rectangle2D.Float((float) (x + off), (float) y,
                    (float) w, (float) h);
            AffineTransform t = new AffineTransform();
            t.scale(0.5 + r.nextDouble() * 3, 0.5 + r.nextDouble() * 3);
            t.rotate(r.nextDouble() * 2 * Math.PI, r.nextDouble() * W, r.nextDouble() * H);
            // Kept in float coordinates, as clients keep it.
            Shape user = new Path2D.Float(Clips.toUser(device, t));
            Shape back = Clips.toDevice(user, t);
            if (!(back instanceof Rectangle2D)) {
                continue;
            }
            rectangles++;
            int seed = r.nextInt();
            boolean antialiasedClip = round % 2 == 0;
            int[] roundTrip = draw(g -> {
                g.setTransform(t);
                g.setClip(user);
            }, antialiasedClip, seed);
            int[] asPath = draw(g -> g.setClip(withMidpoint(device)), antialiasedClip, seed);
            assertArrayEquals(asPath, roundTrip, "round " + round + ", clip " + back);
        }
        assertEquals(200, rectangles, "the clips near whole pixels come back as rectangles");
    }

    /**
     * A drawing under the clip `clip` sets, with antialiasing on before the clip is set (which
     * keeps a path clip's edges antialiased) or after: a few antialiased shapes in device space.
     */
    private static int[] draw(java.util.function.Consumer<Graphics2D> clip,
            boolean antialiasedClip, int seed) {
        Random r = new Random(seed);
        try (LumoSurface surface = new LumoSurface(W, H)) {
            surface.clear(0xFF203040);
            Graphics2D g = surface.createGraphics();
            RenderingHints.Key aa = RenderingHints.KEY_ANTIALIASING;
            if (antialiasedClip) {
                g.setRenderingHint(aa, RenderingHints.VALUE_ANTIALIAS_ON);
            }
            clip.accept(g);
            g.setTransform(new AffineTransform());
            g.setRenderingHint(aa, RenderingHints.VALUE_ANTIALIAS_ON);
            for (int i = 0; i < 4; i++) {
                g.setColor(new Color(r.nextInt(), true));
                g.fill(new Ellipse2D.Double(r.nextDouble() * W - 10, r.nextDouble() * H - 10,
                        10 + r.nextDouble() * W, 10 + r.nextDouble() * H));
            }
            g.setColor(new Color(r.nextInt()));
            g.fillRect(-2, -2, W + 4, H + 4);
            g.dispose();
            return surface.toImage().getRGB(0, 0, W, H, null, 0, W);
        }
    }

    /** The outline of `s` with an extra point halfway along its first side. */
    private static Shape withMidpoint(Shape s) {
        Rectangle2D b = s.getBounds2D();
        Path2D.Double p = new Path2D.Double();
        p.moveTo(b.getMinX(), b.getMinY());
        p.lineTo(b.getCenterX(), b.getMinY());
        p.lineTo(b.getMaxX(), b.getMinY());
        p.lineTo(b.getMaxX(), b.getMaxY());
        p.lineTo(b.getMinX(), b.getMaxY());
        p.closePath();
        return p;
    }
}
