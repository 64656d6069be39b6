package com.quarn.lumo;

import com.quarn.lumo.internal.LUMO;
import java.awt.Color;
import java.awt.GradientPaint;
import java.awt.LinearGradientPaint;
import java.awt.MultipleGradientPaint;
import java.awt.Paint;
import java.awt.RadialGradientPaint;
import java.awt.TexturePaint;
import java.awt.geom.AffineTransform;
import java.awt.geom.Point2D;
import java.awt.geom.Rectangle2D;
import java.awt.image.BufferedImage;

/** Java 2D's gradients and textures as lumo's paints. */
final class Paints {
    private static final int RADIAL = 1;
    private static final int LINEAR = 2;
    private static final int PAD = 0;
    private static final int REPEAT = 1;
    private static final int REFLECT = 2;
    private static final int WRAP_REPEAT_BOTH = 0x0101;
    /** Java 2D keeps a radial focus within this share of the radius. */
    private static final double FOCUS_LIMIT = Math.sqrt(0.99);

    private Paints() {
    }

    /** Whether lumo draws {@code paint} itself. */
    static boolean isNative(Paint paint) {
        if (paint instanceof Color || paint instanceof GradientPaint
                || paint instanceof TexturePaint) {
            return true;
        }
        return (paint instanceof LinearGradientPaint || paint instanceof RadialGradientPaint)
                && ((MultipleGradientPaint) paint).getColorSpace()
                        == MultipleGradientPaint.ColorSpaceType.SRGB;
    }

    /** Sets a paint {@link #isNative} accepts; returns whether it is a texture. */
    static boolean send(int g, Paint paint) {
        if (paint instanceof GradientPaint) {
            GradientPaint p = (GradientPaint) paint;
            Point2D a = p.getPoint1();
            Point2D b = p.getPoint2();
            LUMO.setGradient(g, LINEAR, p.isCyclic() ? REFLECT : PAD,
                    new double[] {a.getX(), a.getY(), b.getX(), b.getY(), a.getX(), a.getY()},
                    new int[] {0, 255},
                    new int[] {p.getColor1().getRGB(), p.getColor2().getRGB()}, null);
        } else if (paint instanceof LinearGradientPaint) {
            LinearGradientPaint p = (LinearGradientPaint) paint;
            Point2D a = p.getStartPoint();
            Point2D b = p.getEndPoint();
            send(g, LINEAR, p, new double[] {a.getX(), a.getY(), b.getX(), b.getY(), a.getX(),
                a.getY()});
        } else if (paint instanceof RadialGradientPaint) {
            RadialGradientPaint p = (RadialGradientPaint) paint;
            Point2D c = p.getCenterPoint();
            Point2D f = p.getFocusPoint();
            double r = p.getRadius();
            double fx = f.getX() - c.getX();
            double fy = f.getY() - c.getY();
            double d = Math.hypot(fx, fy);
            if (d > r * FOCUS_LIMIT) {
                fx *= r * FOCUS_LIMIT / d;
                fy *= r * FOCUS_LIMIT / d;
            }
            send(g, RADIAL, p, new double[] {c.getX(), c.getY(), c.getX() + r, c.getY(),
                c.getX() + fx, c.getY() + fy});
        } else if (paint instanceof TexturePaint) {
            TexturePaint p = (TexturePaint) paint;
            BufferedImage image = p.getImage();
            Rectangle2D anchor = p.getAnchorRect();
            int[] target = Images.target(image);
            LUMO.setTexture(g, target[1], new double[] {anchor.getWidth() / image.getWidth(), 0,
                0, anchor.getHeight() / image.getHeight(), anchor.getX(), anchor.getY()},
                    WRAP_REPEAT_BOTH);
            // The paint keeps the pixels alive; the handles are no longer needed.
            Images.delete(target);
            return true;
        }
        return false;
    }

    private static void send(int g, int kind, MultipleGradientPaint p, double[] points) {
        float[] fractions = p.getFractions();
        Color[] colours = p.getColors();
        int[] positions = new int[fractions.length];
        int[] argb = new int[fractions.length];
        for (int i = 0; i < fractions.length; i++) {
            positions[i] = Math.round(fractions[i] * 255);
            argb[i] = colours[i].getRGB();
        }
        int cycle = p.getCycleMethod() == MultipleGradientPaint.CycleMethod.REPEAT ? REPEAT
                : p.getCycleMethod() == MultipleGradientPaint.CycleMethod.REFLECT ? REFLECT : PAD;
        AffineTransform t = p.getTransform();
        double[] matrix = new double[6];
        t.getMatrix(matrix);
        LUMO.setGradient(g, kind, cycle, points, positions, argb, matrix);
    }
}
