package com.quarn.lumo.internal;

import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.PathIterator;
import java.util.Arrays;

/**
 * The outline of a {@link Shape} as the segment codes and coordinates that
 * {@link LUMO#drawPath} and {@link LUMO#setClip} take. The codes are those of
 * {@link PathIterator} (move 0, line 1, quad 2, cubic 3, close 4), each followed by
 * 2, 2, 4, 6 or 0 coordinates. A path is immutable once made; its arrays are shared, not
 * copied, and must not be changed.
 *
 * <pre>{@code
 * ShapePath.of(new Ellipse2D.Double(0, 0, 40, 20)).fill(g);
 * ShapePath.of(star, deviceTransform).clip(g);
 * }</pre>
 */
public final class ShapePath {
    /** {@link LUMO#drawPath} flag: fill the path (wins over {@link #STROKE}). */
    public static final int FILL = 0x01;
    /** {@link LUMO#drawPath} flag: stroke the path with the current stroke. */
    public static final int STROKE = 0x02;
    /** {@link LUMO#drawPath} flag: the path has quadratic or cubic segments. */
    public static final int CURVES = 0x20;
    /** {@link LUMO#drawPath} flag: the path has straight segments only. */
    public static final int POLYGONAL = 0x40;

    private static final byte[] NO_TYPES = {};
    private static final double[] NO_COORDS = {};
    /** The clip that leaves nothing: an empty rectangle. */
    private static final double[] EMPTY_RECTANGLE = {0, 0, 0, 0};

    private final byte[] types;
    private final double[] coords;
    private final boolean curves;
    private final boolean nonZero;

    private ShapePath(byte[] types, double[] coords, boolean curves, boolean nonZero) {
        this.types = types;
        this.coords = coords;
        this.curves = curves;
        this.nonZero = nonZero;
    }

    /** The outline of {@code shape} in its own coordinates. */
    public static ShapePath of(Shape shape) {
        return of(shape.getPathIterator(null));
    }

    /** The outline of {@code shape} mapped by {@code transform} (none when null). */
    public static ShapePath of(Shape shape, AffineTransform transform) {
        return of(shape.getPathIterator(transform));
    }

    /** The remaining segments of {@code iterator}, which this consumes. */
    public static ShapePath of(PathIterator iterator) {
        boolean nonZero = iterator.getWindingRule() == PathIterator.WIND_NON_ZERO;
        byte[] types = new byte[16];
        double[] coords = new double[64];
        double[] segment = new double[6];
        int count = 0;
        int used = 0;
        boolean curves = false;
        for (; !iterator.isDone(); iterator.next()) {
            int code = iterator.currentSegment(segment);
            int n = coordinatesOf(code);
            if (count == types.length) {
                types = Arrays.copyOf(types, 2 * count);
            }
            if (used + n > coords.length) {
                coords = Arrays.copyOf(coords, 2 * coords.length);
            }
            types[count++] = (byte) code;
            System.arraycopy(segment, 0, coords, used, n);
            used += n;
            curves |= code == PathIterator.SEG_QUADTO || code == PathIterator.SEG_CUBICTO;
        }
        return new ShapePath(count == 0 ? NO_TYPES : Arrays.copyOf(types, count),
                used == 0 ? NO_COORDS : Arrays.copyOf(coords, used), curves, nonZero);
    }

    /** Coordinates that follow a segment code: 2, 2, 4, 6 and 0 for move .. close. */
    public static int coordinatesOf(int code) {
        switch (code) {
            case PathIterator.SEG_MOVETO:
            case PathIterator.SEG_LINETO:
                return 2;
            case PathIterator.SEG_QUADTO:
                return 4;
            case PathIterator.SEG_CUBICTO:
                return 6;
            case PathIterator.SEG_CLOSE:
                return 0;
            default:
                throw new IllegalArgumentException("unknown segment code " + code);
        }
    }

    public int segments() {
        return types.length;
    }

    /** One segment code a segment; shared, do not change. */
    public byte[] types() {
        return types;
    }

    /** The coordinates of all segments in order; shared, do not change. */
    public double[] coords() {
        return coords;
    }

    public boolean hasCurves() {
        return curves;
    }

    /** True for the non-zero winding rule, false for even-odd. */
    public boolean isNonZero() {
        return nonZero;
    }

    /** {@link #CURVES} or {@link #POLYGONAL}, whichever the path is. */
    public int shapeFlag() {
        return curves ? CURVES : POLYGONAL;
    }

    /**
     * Draws the path with {@link #FILL} and/or {@link #STROKE}; the curve flag is added here.
     * A fill uses the path's winding rule. An empty path draws nothing.
     */
    public void draw(int graphics, int flags) {
        LUMO.drawPath(graphics, types.length, types, coords, nonZero,
                flags & ~(CURVES | POLYGONAL) | shapeFlag());
    }

    public void fill(int graphics) {
        draw(graphics, FILL);
    }

    public void stroke(int graphics) {
        draw(graphics, STROKE);
    }

    /**
     * Makes the path, in device pixels, the clip of {@code graphics}, with the path's winding
     * rule. An empty path leaves nothing to draw into.
     */
    public void clip(int graphics) {
        if (types.length == 0) {
            LUMO.setClip(graphics, 4, null, EMPTY_RECTANGLE, true);
        } else {
            LUMO.setClip(graphics, types.length, types, coords, nonZero);
        }
    }
}
