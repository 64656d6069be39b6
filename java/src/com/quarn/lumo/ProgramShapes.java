package com.quarn.lumo;

import java.awt.Polygon;
import java.awt.Shape;
import java.awt.geom.Area;
import java.awt.geom.CubicCurve2D;
import java.awt.geom.Line2D;
import java.awt.geom.Path2D;
import java.awt.geom.QuadCurve2D;
import java.awt.geom.RectangularShape;

/**
 * Shapes of classes the program wrote itself, read before a draw takes its surface's lock: their
 * outline may run any code, which could wait for a lock of the program's that another thread
 * holds while it waits to draw into the same surface. The platform's shapes and the program's
 * kinds of its geometry classes are read under the lock as they are.
 */
final class ProgramShapes {
    private static final ClassValue<Boolean> PLATFORM = new ClassValue<>() {
        @Override
        protected Boolean computeValue(Class<?> c) {
            return c.getClassLoader() == null || RectangularShape.class.isAssignableFrom(c)
                    || Path2D.class.isAssignableFrom(c) || Line2D.class.isAssignableFrom(c)
                    || Polygon.class.isAssignableFrom(c) || Area.class.isAssignableFrom(c)
                    || QuadCurve2D.class.isAssignableFrom(c)
                    || CubicCurve2D.class.isAssignableFrom(c);
        }
    };

    private ProgramShapes() {
    }

    /**
     * {@code s} itself when reading it calls none of the program's code, else its outline
     * read now, as a shape of no geometry class (so that it draws the way {@code s} would).
     */
    static Shape detached(Shape s) {
        return PLATFORM.get(s.getClass()) ? s : new ForwardingShape(new Path2D.Double(s));
    }
}
