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
import java.awt.geom.NoninvertibleTransformException;
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

    /** Whether the paint's placement depends on the transform (see {@link #send}). */
    static boolean followsTransform(Paint paint) {
        return paint instanceof GradientPaint || paint instanceof MultipleGradientPaint;
    }

    /**
     * Sets a paint {@link #isNative} accepts, drawn under {@code transform}; returns whether it
     * is a texture.
     *
     * <p>{@code nearest} says whether a texture is drawn with the nearest texel. Java 2D takes a
     * gradient's colour at the top left corner of each device pixel, lumo at
     * its centre, so gradients are moved by half a device pixel right and down.
     */
    static boolean send(int g, Paint paint, AffineTransform transform, boolean nearest) {
        if (paint instanceof GradientPaint) {
            GradientPaint p = (GradientPaint) paint;
            Point2D a = p.getPoint1();
            Point2D b = p.getPoint2();
            LUMO.setGradient(g, LINEAR, p.isCyclic() ? REFLECT : PAD,
                    new double[] {a.getX(), a.getY(), b.getX(), b.getY(), a.getX(), a.getY()},
                    new int[] {0, 255},
                    new int[] {p.getColor1().getRGB(), p.getColor2().getRGB()},
                    flat(halfPixel(transform, new AffineTransform())));
        } else if (paint instanceof LinearGradientPaint) {
            LinearGradientPaint p = (LinearGradientPaint) paint;
            Point2D a = p.getStartPoint();
            Point2D b = p.getEndPoint();
            send(g, LINEAR, p, transform,
                    new double[] {a.getX(), a.getY(), b.getX(), b.getY(), a.getX(), a.getY()});
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
            send(g, RADIAL, p, transform, new double[] {c.getX(), c.getY(), c.getX() + r, c.getY(),
                c.getX() + fx, c.getY() + fy});
        } else if (paint instanceof TexturePaint) {
            TexturePaint p = (TexturePaint) paint;
            BufferedImage image = p.getImage();
            Rectangle2D anchor = p.getAnchorRect();
            int[] target = Images.target(image);
            double sx = anchor.getWidth() / image.getWidth();
            double sy = anchor.getHeight() / image.getHeight();
            // Java 2D's nearest texel is the one left of and above the pixel centre's position
            // less half a texel; lumo takes the texel under the centre, so the image moves by
            // half a texel.
            double shift = nearest ? 0.5 : 0;
            LUMO.setTexture(g, target[1], new double[] {sx, 0, 0, sy,
                anchor.getX() + shift * sx, anchor.getY() + shift * sy}, WRAP_REPEAT_BOTH);
            // The paint keeps the pixels alive; the handles are no longer needed.
            Images.delete(target);
            return true;
        }
        return false;
    }

    private static void send(int g, int kind, MultipleGradientPaint p, AffineTransform transform,
            double[] points) {
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
        LUMO.setGradient(g, kind, cycle, points, positions, argb,
                flat(halfPixel(transform, p.getTransform())));
    }

    /** {@code paintTransform} followed by half a device pixel right and down, in user space. */
    private static AffineTransform halfPixel(AffineTransform transform,
            AffineTransform paintTransform) {
        try {
            AffineTransform m = transform.createInverse();
            m.translate(0.5, 0.5);
            m.concatenate(transform);
            m.concatenate(paintTransform);
            return m;
        } catch (NoninvertibleTransformException e) {
            return paintTransform;
        }
    }

    private static double[] flat(AffineTransform t) {
        double[] m = new double[6];
        t.getMatrix(m);
        return m;
    }
}
