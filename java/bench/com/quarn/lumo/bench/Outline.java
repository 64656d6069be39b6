package com.quarn.lumo.bench;

import com.quarn.lumo.internal.ShapePath;
import java.awt.Shape;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;

/**
 * The shape of one operation, ready for both engines: the Java 2D {@link Shape} and the
 * segment codes and coordinates its path iterator gives, which the library draws. An outline
 * made with {@link #ofIntRect} is an integer rectangle that both engines draw through their
 * integer rectangle calls instead.
 */
final class Outline {
    final Shape shape;
    final byte[] types;
    final double[] coords;
    final boolean nonZero;
    /** {@link ShapePath#CURVES} or {@link ShapePath#POLYGONAL}. */
    final int shapeFlag;
    /** x, y, width and height of an integer rectangle, or null. */
    final int[] intRect;

    private Outline(Shape shape, int[] intRect) {
        ShapePath path = ShapePath.of(shape);
        this.shape = shape;
        this.types = path.types();
        this.coords = path.coords();
        this.nonZero = path.isNonZero();
        this.shapeFlag = path.shapeFlag();
        this.intRect = intRect;
    }

    static Outline of(Shape shape) {
        return new Outline(shape, null);
    }

    /** A rectangle of whole pixels. */
    static Outline ofIntRect(int x, int y, int width, int height) {
        return new Outline(new Rectangle2D.Double(x, y, width, height),
                new int[] {x, y, width, height});
    }

    /** A closed polygon through {@code xy} (x0, y0, x1, y1, ...). */
    static Outline polygon(double[] xy, boolean nonZero) {
        Path2D.Double path = polyline(xy, nonZero);
        path.closePath();
        return of(path);
    }

    /** An open polyline through {@code xy}. */
    static Outline openPolyline(double[] xy) {
        return of(polyline(xy, true));
    }

    private static Path2D.Double polyline(double[] xy, boolean nonZero) {
        Path2D.Double path =
                new Path2D.Double(nonZero ? Path2D.WIND_NON_ZERO : Path2D.WIND_EVEN_ODD);
        path.moveTo(xy[0], xy[1]);
        for (int i = 2; i < xy.length; i += 2) {
            path.lineTo(xy[i], xy[i + 1]);
        }
        return path;
    }
}
