package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;

import java.awt.AlphaComposite;
import java.awt.BasicStroke;
import java.awt.Color;
import java.awt.GradientPaint;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.geom.Area;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;
import java.awt.image.BufferedImage;
import java.util.Random;
import org.junit.jupiter.api.Test;

/**
 * A graphics made by {@code create()} starts from a copy of its parent's native drawing object
 * and sends only what differs from what the parent sent. On random states and drawings, a
 * parent that has drawn, a copy changed and drawn, and the parent drawing again after the copy
 * is gone must give exactly the pixels of the same drawing where the copy is a new graphics
 * given the parent's state from scratch.
 */
class GraphicsCopyTest {
    private static final int W = 48;
    private static final int H = 40;

    /** One random change of state. */
    private static void change(Graphics2D g, Random r) {
        switch (r.nextInt(10)) {
            case 0 -> g.translate(r.nextInt(9) - 4 + (r.nextBoolean() ? 0.5 : 0), r.nextInt(9) - 4);
            case 1 -> g.scale(0.6 + r.nextDouble(), 0.6 + r.nextDouble());
            case 2 -> g.rotate(r.nextDouble() - 0.5, W / 2.0, H / 2.0);
            case 3 -> {
                switch (r.nextInt(3)) {
                    case 0 -> g.clipRect(r.nextInt(10), r.nextInt(10), 20 + r.nextInt(30),
                            20 + r.nextInt(30));
                    case 1 -> g.clip(new Ellipse2D.Double(r.nextInt(10), r.nextInt(10), 40, 30));
                    default -> g.setClip(null);
                }
            }
            case 4 -> g.setColor(new Color(r.nextInt(), r.nextBoolean()));
            case 5 -> g.setPaint(new GradientPaint(r.nextInt(W), 0, new Color(r.nextInt(), true),
                    r.nextInt(W), H, new Color(r.nextInt()), r.nextBoolean()));
            case 6 -> g.setStroke(r.nextBoolean() ? new BasicStroke(r.nextInt(5))
                    : new BasicStroke(1 + r.nextInt(3), BasicStroke.CAP_BUTT,
                            BasicStroke.JOIN_ROUND, 10, new float[] {3, 2}, r.nextInt(4)));
            case 7 -> g.setComposite(switch (r.nextInt(4)) {
                case 0 -> AlphaComposite.Src;
                case 1 -> AlphaComposite.DstOver;
                case 2 -> AlphaComposite.SrcOver.derive(0.5f);
                default -> AlphaComposite.SrcOver;
            });
            case 8 -> g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, r.nextBoolean()
                    ? RenderingHints.VALUE_ANTIALIAS_ON : RenderingHints.VALUE_ANTIALIAS_OFF);
            default -> g.setRenderingHint(RenderingHints.KEY_STROKE_CONTROL, r.nextBoolean()
                    ? RenderingHints.VALUE_STROKE_PURE : RenderingHints.VALUE_STROKE_NORMALIZE);
        }
    }

    /** One random drawing; shapes of both filling rules, strokes and the shortcuts. */
    private static void draw(Graphics2D g, Random r) {
        switch (r.nextInt(5)) {
            case 0 -> {
                Path2D.Double p = new Path2D.Double(
                        r.nextBoolean() ? Path2D.WIND_EVEN_ODD : Path2D.WIND_NON_ZERO);
                p.moveTo(r.nextInt(W), r.nextInt(H));
                for (int i = 0; i < 5; i++) {
                    p.quadTo(r.nextInt(W), r.nextInt(H), r.nextInt(W), r.nextInt(H));
                }
                p.closePath();
                // An Area, not a path: small paths filled again come from shared coverage
                // images, which would make the first and second painting differ.
                g.fill(new Area(p));
            }
            case 1 -> g.draw(new Ellipse2D.Double(r.nextInt(20), r.nextInt(20), 25, 15));
            case 2 -> g.drawLine(r.nextInt(W), r.nextInt(H), r.nextInt(W), r.nextInt(H));
            case 3 -> g.drawRect(r.nextInt(20), r.nextInt(20), r.nextInt(25), r.nextInt(20));
            default -> g.fill(new Rectangle2D.Double(r.nextInt(W) - 5, r.nextInt(H) - 5,
                    r.nextInt(30) + 0.5, r.nextInt(30)));
        }
    }

    /**
     * Parent changes and draws, then a child (a copy, or a new graphics given the same
     * changes) changes and draws, then the parent draws again.
     */
    private static int[] paint(long seed, boolean copy) {
        try (LumoSurface surface = new LumoSurface(W, H)) {
            surface.clear(0xFF203040);
            Graphics2D parent = surface.createGraphics();
            Random parentSteps = new Random(seed);
            Random parentDraws = new Random(seed + 1);
            int n = 1 + parentSteps.nextInt(8);
            for (int i = 0; i < n; i++) {
                change(parent, parentSteps);
                if (parentDraws.nextBoolean()) {
                    draw(parent, parentDraws);
                }
            }
            Graphics2D child;
            if (copy) {
                child = (Graphics2D) parent.create();
            } else {
                child = surface.createGraphics();
                Random replay = new Random(seed);
                replay.nextInt(8);
                for (int i = 0; i < n; i++) {
                    change(child, replay);
                }
            }
            Random childSteps = new Random(seed + 2);
            for (int i = 0, m = childSteps.nextInt(4); i < m; i++) {
                change(child, childSteps);
            }
            Random childDraws = new Random(seed + 3);
            draw(child, childDraws);
            draw(child, childDraws);
            child.dispose();
            draw(parent, parentDraws);
            parent.dispose();
            BufferedImage image = surface.toImage();
            return image.getRGB(0, 0, W, H, null, 0, W);
        }
    }

    @Test
    void copiesDrawAsNewGraphicsWithTheSameState() {
        for (long seed = 0; seed < 400; seed++) {
            assertArrayEquals(paint(seed * 7919, false), paint(seed * 7919, true),
                    "seed " + seed * 7919);
        }
    }
}
