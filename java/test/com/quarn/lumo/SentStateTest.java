package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;

import java.awt.AlphaComposite;
import java.awt.BasicStroke;
import java.awt.Color;
import java.awt.Font;
import java.awt.GradientPaint;
import java.awt.Graphics2D;
import java.awt.LinearGradientPaint;
import java.awt.MultipleGradientPaint;
import java.awt.RenderingHints;
import java.awt.geom.AffineTransform;
import java.awt.geom.Area;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Path2D;
import java.awt.geom.Point2D;
import java.util.ArrayList;
import java.util.List;
import java.util.Random;
import java.util.function.Consumer;
import org.junit.jupiter.api.Test;

/**
 * A graphics sends its state to lumo only when a draw needs it and it differs from what it
 * last sent, and some draws (glyph, dash and paint images, copyArea) change the native state
 * behind the user's back. On random sequences of state changes and draws of every kind, one
 * graphics kept for the whole sequence must give exactly the pixels of drawing each step
 * through a new graphics given the whole state so far.
 */
class SentStateTest {
    private static final int W = 56;
    private static final int H = 44;

    /** A random change of state. */
    private static Consumer<Graphics2D> change(Random r) {
        double a = r.nextDouble();
        int i = r.nextInt(1 << 20);
        Color c = new Color(r.nextInt(), r.nextInt(3) == 0);
        switch (r.nextInt(12)) {
            case 0:
                return g -> g.translate(i % 7 - 3 + (a < 0.5 ? 0.5 : 0), i % 5 - 2);
            case 1:
                return g -> g.scale(0.7 + a * 0.6, 0.7 + a * 0.5);
            case 2:
                return g -> g.rotate(a - 0.5, W / 2.0, H / 2.0);
            case 3:
                // What a client does around each node it paints: a transform, then back.
                return g -> {
                    AffineTransform saved = g.getTransform();
                    g.translate(3, 2);
                    g.setTransform(saved);
                };
            case 4:
                return g -> g.setTransform(new AffineTransform());
            case 5:
                return g -> g.setColor(c);
            case 6:
                return g -> g.setPaint(new GradientPaint(i % W, 0, c, W - i % 9, H, Color.BLUE));
            case 7:
                // Interpolated in linear RGB: drawn through its paint context, as a texture.
                return g -> g.setPaint(new LinearGradientPaint(new Point2D.Double(0, 0),
                        new Point2D.Double(W, i % H), new float[] {0, 1},
                        new Color[] {c, Color.YELLOW}, MultipleGradientPaint.CycleMethod.NO_CYCLE,
                        MultipleGradientPaint.ColorSpaceType.LINEAR_RGB, new AffineTransform()));
            case 8:
                return g -> g.setStroke(a < 0.5 ? new BasicStroke(1 + i % 3)
                        : new BasicStroke(1, BasicStroke.CAP_BUTT, BasicStroke.JOIN_MITER, 10,
                                new float[] {4, 3}, i % 5));
            case 9:
                return g -> g.setComposite(a < 0.3 ? AlphaComposite.SrcOver.derive(0.6f)
                        : AlphaComposite.SrcOver);
            case 10:
                return g -> g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, a < 0.8
                        ? RenderingHints.VALUE_ANTIALIAS_ON : RenderingHints.VALUE_ANTIALIAS_OFF);
            default:
                return g -> {
                    if (a < 0.4) {
                        g.setClip(null);
                    } else {
                        g.clipRect(i % 9, i % 7, W - 6, H - 4);
                    }
                };
        }
    }

    /** A random draw: outlines, strokes, text, dashed lines, copies. */
    private static Consumer<Graphics2D> draw(Random r) {
        int x = r.nextInt(W - 10);
        int y = r.nextInt(H - 10);
        int k = r.nextInt(1 << 20);
        switch (r.nextInt(7)) {
            case 0:
                return g -> {
                    Path2D.Double p = new Path2D.Double(
                            k % 2 == 0 ? Path2D.WIND_EVEN_ODD : Path2D.WIND_NON_ZERO);
                    p.moveTo(x, y);
                    p.curveTo(x + 30, y - 10, x - 10, y + 30, x + 20, y + 25);
                    p.quadTo(x + 5, y + 40, x + 3, y + 2);
                    p.closePath();
                    // An area, not a path: small paths filled again come from shared coverage
                    // images, which would differ between the first and later sequences.
                    g.fill(new Area(p));
                };
            case 1:
                return g -> g.draw(new Ellipse2D.Double(x, y, 20 + k % 9, 12));
            case 2:
                return g -> g.fillRect(x, y, 5 + k % 20, 4 + k % 13);
            case 3:
                return g -> {
                    g.setFont(new Font(Font.SANS_SERIF, Font.PLAIN, 9 + k % 6));
                    g.drawString("Ag8", (float) x, y + 10.5f);
                };
            case 4:
                return g -> g.drawLine(x, y, x + 25, y);
            case 5:
                return g -> g.drawLine(x, y, x + 7, y + 18);
            default:
                return g -> {
                    // Under a rotation copyArea throws, as Java 2D's does.
                    AffineTransform t = g.getTransform();
                    if (t.getShearX() == 0 && t.getShearY() == 0) {
                        g.copyArea(x, y, 12, 9, k % 7 - 3, k % 5 - 2);
                    }
                };
        }
    }

    private static int[] pixels(LumoSurface surface) {
        return surface.toImage().getRGB(0, 0, W, H, null, 0, W);
    }

    @Test
    void oneGraphicsDrawsAsNewOnesGivenTheSameState() {
        for (long seed = 0; seed < 150; seed++) {
            Random r = new Random(seed);
            List<Consumer<Graphics2D>> state = new ArrayList<>();
            try (LumoSurface kept = new LumoSurface(W, H);
                    LumoSurface fresh = new LumoSurface(W, H)) {
                kept.clear(0xFF406080);
                fresh.clear(0xFF406080);
                Graphics2D g = kept.createGraphics();
                for (int step = 0; step < 24; step++) {
                    if (r.nextInt(3) == 0) {
                        Consumer<Graphics2D> d = draw(r);
                        d.accept(g);
                        Graphics2D f = fresh.createGraphics();
                        state.forEach(s -> s.accept(f));
                        d.accept(f);
                        f.dispose();
                    } else {
                        Consumer<Graphics2D> s = change(r);
                        s.accept(g);
                        state.add(s);
                    }
                }
                g.dispose();
                assertArrayEquals(pixels(fresh), pixels(kept), "seed " + seed);
            }
        }
    }
}
