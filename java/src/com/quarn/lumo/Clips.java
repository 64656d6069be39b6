package com.quarn.lumo;

import java.awt.Rectangle;
import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Area;
import java.awt.geom.NoninvertibleTransformException;
import java.awt.geom.Path2D;
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

    static Shape toDevice(Shape user, AffineTransform transform) {
        return map(user, transform);
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
        Area area = new Area(a);
        area.intersect(new Area(b));
        return area.isRectangular() ? area.getBounds2D() : area;
    }
}
