package com.quarn.lumo.demo;

import java.awt.Font;
import java.awt.Shape;
import java.awt.font.FontRenderContext;
import java.awt.geom.AffineTransform;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;

/** Java 2D outlines the path and clip panels draw: star polygons and text. */
final class Outlines {
    private Outlines() {
    }

    /**
     * The star polygon {points/step} around (cx, cy): {@code points} corners on a circle of
     * {@code radius}, the first at twelve o'clock, each joined to the one {@code step} corners
     * further on, so the outline crosses itself when {@code step > 1}.
     */
    static Path2D star(double cx, double cy, double radius, int points, int step,
            int windingRule) {
        Path2D.Double path = new Path2D.Double(windingRule);
        for (int i = 0; i < points; i++) {
            double a = 2 * Math.PI * (i * step % points) / points - Math.PI / 2;
            double x = cx + radius * Math.cos(a);
            double y = cy + radius * Math.sin(a);
            if (i == 0) {
                path.moveTo(x, y);
            } else {
                path.lineTo(x, y);
            }
        }
        path.closePath();
        return path;
    }

    /** A star whose outline does not cross itself: tips at {@code outer}, notches at {@code inner}. */
    static Path2D spikes(double cx, double cy, double outer, double inner, int tips) {
        Path2D.Double path = new Path2D.Double();
        for (int i = 0; i < 2 * tips; i++) {
            double r = i % 2 == 0 ? outer : inner;
            double a = Math.PI * i / tips - Math.PI / 2;
            if (i == 0) {
                path.moveTo(cx + r * Math.cos(a), cy + r * Math.sin(a));
            } else {
                path.lineTo(cx + r * Math.cos(a), cy + r * Math.sin(a));
            }
        }
        path.closePath();
        return path;
    }

    /**
     * The outline of {@code text} in a bold sans-serif font of {@code size} points, its ink
     * centred on (cx, cy); {@code fallback} when there is no usable font, as on a system
     * without fonts.
     */
    static Shape text(String text, float size, double cx, double cy, Shape fallback) {
        try {
            Font font = new Font(Font.SANS_SERIF, Font.BOLD, Math.round(size));
            Shape outline = font.createGlyphVector(new FontRenderContext(null, true, true), text)
                    .getOutline();
            Rectangle2D ink = outline.getBounds2D();
            if (ink.isEmpty()) {
                return fallback;
            }
            return AffineTransform.getTranslateInstance(cx - ink.getCenterX(),
                    cy - ink.getCenterY()).createTransformedShape(outline);
        } catch (RuntimeException | Error e) {
            // Without usable fonts the font machinery fails with errors of several kinds.
            return fallback;
        }
    }

    /**
     * The outline of {@code text} in a plain sans-serif font of {@code size} pixels, its
     * baseline starting at (x, y); null when there is no usable font.
     */
    static Shape line(String text, float size, double x, double y) {
        try {
            Font font = new Font(Font.SANS_SERIF, Font.PLAIN, Math.round(size));
            Shape outline = font.createGlyphVector(new FontRenderContext(null, true, true), text)
                    .getOutline((float) x, (float) y);
            return outline.getBounds2D().isEmpty() ? null : outline;
        } catch (RuntimeException | Error e) {
            return null;
        }
    }
}
