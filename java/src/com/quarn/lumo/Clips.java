package com.quarn.lumo;

import java.awt.Rectangle;
import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Area;
import java.awt.geom.NoninvertibleTransformException;
import java.awt.geom.Path2D;
import java.awt.geom.PathIterator;
import java.awt.geom.Rectangle2D;

/**
 * Clips as Java 2D keeps them: in device space, rectangles staying rectangles under transforms
 * that keep edges on the axes, other intersections made with {@link Area}.
 */
final class Clips {
    private static final int NON_RECTILINEAR =
            AffineTransform.TYPE_GENERAL_TRANSFORM | AffineTransform.TYPE_GENERAL_ROTATION;

    private Clips() {
    }

    /** {@code s} mapped by {@code t}; rectangles stay rectangles where they can. */
    static Shape map(Shape s, AffineTransform t) {
        if (s instanceof Rectangle2D && (t.getType() & NON_RECTILINEAR) == 0) {
            Rectangle2D r = (Rectangle2D) s;
            double[] p = {r.getX(), r.getY(), r.getX() + r.getWidth(), r.getY() + r.getHeight()};
            t.transform(p, 0, p, 0, 2);
            double x1 = Math.min(p[0], p[2]);
            double y1 = Math.min(p[1], p[3]);
            double w = r.getWidth() < 0 ? 0 : Math.abs(p[2] - p[0]);
            double h = r.getHeight() < 0 ? 0 : Math.abs(p[3] - p[1]);
            if (r.getWidth() < 0 || r.getHeight() < 0) {
                return new Rectangle2D.Double(p[0], p[1], w, h);
            }
            return new Rectangle2D.Double(x1, y1, w, h);
        }
        if (t.isIdentity()) {
            return s instanceof Rectangle2D ? (Shape) ((Rectangle2D) s).clone()
                    : new Path2D.Double(s);
        }
        return t.createTransformedShape(s);
    }

    /**
     * The user clip in device space. An outline that is an axis-aligned rectangle becomes a
     * rectangle, which lumo clips to without scan-line intersection, as Java 2D's regions do.
     */
    static Shape toDevice(Shape user, AffineTransform transform) {
        Shape device = map(user, transform);
        if (device instanceof Rectangle2D) {
            return device;
        }
        Rectangle2D r = rectangleOf(device);
        return r == null ? device : r;
    }

    /** The rectangle {@code s} outlines, or null when it outlines anything else. */
    static Rectangle2D rectangleOf(Shape s) {
        double[] c = new double[6];
        double[] xs = new double[5];
        double[] ys = new double[5];
        int n = 0;
        boolean closed = false;
        for (PathIterator i = s.getPathIterator(null); !i.isDone(); i.next()) {
            int code = i.currentSegment(c);
            if (closed) {
                return null;
            }
            if (code == PathIterator.SEG_CLOSE) {
                closed = true;
            } else if ((code == PathIterator.SEG_MOVETO) == (n == 0)
                    && (code == PathIterator.SEG_MOVETO || code == PathIterator.SEG_LINETO)
                    && n < 5) {
                xs[n] = c[0];
                ys[n] = c[1];
                n++;
            } else {
                return null;
            }
        }
        if (n == 5 && xs[4] == xs[0] && ys[4] == ys[0]) {
            n = 4;
        }
        if (n != 4) {
            return null;
        }
        Rectangle2D r = rectangleOf(xs, ys);
        return r != null || !snapToPixels(xs, ys) ? r : rectangleOf(xs, ys);
    }

    /**
     * Moves four corners that all lie within a thousandth of a pixel of whole pixels onto them,
     * and says whether it did. Rectangles that went to user space and back, through a rotation
     * or a client's float coordinates, come back like this; the rasteriser places outline
     * points on a grid of 1/256 px, where they lie on the whole pixels already, so the outline
     * covers exactly the whole-pixel rectangle's pixels.
     */
    private static boolean snapToPixels(double[] xs, double[] ys) {
        for (int k = 0; k < 4; k++) {
            if (!(Math.abs(xs[k] - Math.rint(xs[k])) < 1e-3)
                    || !(Math.abs(ys[k] - Math.rint(ys[k])) < 1e-3)) {
                return false;
            }
        }
        for (int k = 0; k < 4; k++) {
            xs[k] = Math.rint(xs[k]);
            ys[k] = Math.rint(ys[k]);
        }
        return true;
    }

    /** The rectangle the corners xs, ys outline, or null. */
    private static Rectangle2D rectangleOf(double[] xs, double[] ys) {
        for (int k = 0; k < 4; k++) {
            int m = (k + 1) % 4;
            if (xs[k] != xs[m] && ys[k] != ys[m]) {
                return null;
            }
        }
        // Alternate sides must be horizontal and vertical for a rectangle, not a sliver.
        boolean horizontalFirst = ys[0] == ys[1];
        if (horizontalFirst ? (xs[1] != xs[2] || ys[2] != ys[3]) : (ys[1] != ys[2]
                || xs[2] != xs[3])) {
            return null;
        }
        double x1 = Math.min(Math.min(xs[0], xs[1]), xs[2]);
        double y1 = Math.min(Math.min(ys[0], ys[1]), ys[2]);
        double x2 = Math.max(Math.max(xs[0], xs[1]), xs[2]);
        double y2 = Math.max(Math.max(ys[0], ys[1]), ys[2]);
        return new Rectangle2D.Double(x1, y1, x2 - x1, y2 - y1);
    }

    /** The device clip in user space; null when the transform cannot be inverted. */
    static Shape toUser(Shape device, AffineTransform transform) {
        try {
            return map(device, transform.createInverse());
        } catch (NoninvertibleTransformException e) {
            return null;
        }
    }

    /** The intersection of two device clips. */
    static Shape intersect(Shape a, Shape b) {
        if (b == null) {
            throw new NullPointerException("clip shape");
        }
        if (a instanceof Rectangle2D && b instanceof Rectangle2D) {
            Rectangle2D r = (Rectangle2D) a;
            Rectangle2D q = (Rectangle2D) b;
            double x1 = Math.max(r.getMinX(), q.getMinX());
            double y1 = Math.max(r.getMinY(), q.getMinY());
            double x2 = Math.min(r.getMaxX(), q.getMaxX());
            double y2 = Math.min(r.getMaxY(), q.getMaxY());
            if (a instanceof Rectangle && b instanceof Rectangle) {
                return ((Rectangle) a).intersection((Rectangle) b);
            }
            if (!(x2 - x1 >= 0) || !(y2 - y1 >= 0)) {
                return new Rectangle2D.Double();
            }
            return new Rectangle2D.Double(x1, y1, x2 - x1, y2 - y1);
        }
        Rectangle2D r = rectangleOf(b);
        if (r != null && a instanceof Rectangle2D) {
            return intersect(a, r);
        }
        Area area = new Area(a);
        area.intersect(new Area(b));
        return area.isRectangular() ? area.getBounds2D() : area;
    }
}
