package com.quarn.lumo;

import com.quarn.lumo.internal.LUMO;
import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.PathIterator;
import java.awt.geom.Rectangle2D;
import java.util.Arrays;

/**
 * The segment codes and coordinates of one outline in the form {@link LUMO#drawPath} and
 * {@link LUMO#setClip} take, in arrays reused from one shape to the next.
 */
final class PathBuffer {
    static final int FILL = 0x01;
    static final int STROKE = 0x02;
    private static final int CURVES = 0x20;
    private static final int POLYGONAL = 0x40;

    private byte[] types = new byte[64];
    private double[] coords = new double[256];
    private final double[] segment = new double[6];
    private int count;
    private int used;
    private boolean curves;
    private boolean nonZero = true;

    /** Replaces the outline with {@code shape} mapped by {@code transform} (none when null). */
    PathBuffer set(Shape shape, AffineTransform transform) {
        clear();
        append(shape.getPathIterator(transform), 0, 0);
        return this;
    }

    void clear() {
        count = 0;
        used = 0;
        curves = false;
        nonZero = true;
    }

    /** Appends the segments of {@code iterator}, moved by (dx, dy); takes its winding rule. */
    void append(PathIterator iterator, double dx, double dy) {
        nonZero = iterator.getWindingRule() == PathIterator.WIND_NON_ZERO;
        for (; !iterator.isDone(); iterator.next()) {
            int code = iterator.currentSegment(segment);
            int n = code == PathIterator.SEG_CLOSE ? 0 : code == PathIterator.SEG_CUBICTO ? 6
                    : code == PathIterator.SEG_QUADTO ? 4 : 2;
            ensure(n);
            types[count++] = (byte) code;
            for (int i = 0; i < n; i += 2) {
                coords[used++] = segment[i] + dx;
                coords[used++] = segment[i + 1] + dy;
            }
            curves |= n > 2;
        }
    }

    /** Appends a path already in this form, moved by (dx, dy). */
    void append(byte[] pathTypes, double[] pathCoords, boolean hasCurves, double dx, double dy) {
        ensure(pathCoords.length);
        if (count + pathTypes.length > types.length) {
            types = Arrays.copyOf(types, Math.max(2 * types.length, count + pathTypes.length));
        }
        System.arraycopy(pathTypes, 0, types, count, pathTypes.length);
        count += pathTypes.length;
        for (int i = 0; i < pathCoords.length; i += 2) {
            coords[used++] = pathCoords[i] + dx;
            coords[used++] = pathCoords[i + 1] + dy;
        }
        curves |= hasCurves;
    }

    /** Appends the closed rectangle with corners (x1, y1) and (x2, y2). */
    void appendRect(double x1, double y1, double x2, double y2) {
        point(PathIterator.SEG_MOVETO, x1, y1);
        point(PathIterator.SEG_LINETO, x2, y1);
        point(PathIterator.SEG_LINETO, x2, y2);
        point(PathIterator.SEG_LINETO, x1, y2);
        ensure(0);
        types[count++] = PathIterator.SEG_CLOSE;
    }

    private void point(int code, double x, double y) {
        ensure(2);
        types[count++] = (byte) code;
        coords[used++] = x;
        coords[used++] = y;
    }

    private void ensure(int n) {
        if (count == types.length) {
            types = Arrays.copyOf(types, 2 * count);
        }
        if (used + n > coords.length) {
            coords = Arrays.copyOf(coords, Math.max(2 * coords.length, used + n));
        }
    }

    /**
     * Moves every end point to the centre of the device pixel it lies in, as Java 2D's
     * normalised strokes do; control points move with their end points (a quadratic's by the
     * mean of both). {@code transform} maps the outline to device pixels.
     */
    void normalize(AffineTransform transform) {
        double a = transform.getScaleX();
        double b = transform.getShearY();
        double c = transform.getShearX();
        double d = transform.getScaleY();
        double det = a * d - b * c;
        if (det == 0 || !Double.isFinite(det)) {
            return;
        }
        double tx = transform.getTranslateX();
        double ty = transform.getTranslateY();
        double previousX = 0;
        double previousY = 0;
        int at = 0;
        for (int i = 0; i < count; i++) {
            int code = types[i];
            int n = code == PathIterator.SEG_CLOSE ? 0 : code == PathIterator.SEG_CUBICTO ? 6
                    : code == PathIterator.SEG_QUADTO ? 4 : 2;
            if (n == 0) {
                continue;
            }
            int end = at + n - 2;
            double x = coords[end];
            double y = coords[end + 1];
            double dx = a * x + c * y + tx;
            double dy = b * x + d * y + ty;
            // The device shift, taken back into user space by the inverse of the linear part.
            double sx = Math.floor(dx) + 0.5 - dx;
            double sy = Math.floor(dy) + 0.5 - dy;
            double ux = (d * sx - c * sy) / det;
            double uy = (a * sy - b * sx) / det;
            if (!Double.isFinite(ux) || !Double.isFinite(uy)) {
                ux = 0;
                uy = 0;
            }
            if (code == PathIterator.SEG_CUBICTO) {
                coords[at] += previousX;
                coords[at + 1] += previousY;
                coords[at + 2] += ux;
                coords[at + 3] += uy;
            } else if (code == PathIterator.SEG_QUADTO) {
                coords[at] += (previousX + ux) / 2;
                coords[at + 1] += (previousY + uy) / 2;
            }
            coords[end] += ux;
            coords[end + 1] += uy;
            previousX = ux;
            previousY = uy;
            at += n;
        }
    }

    /**
     * The outline as an axis-aligned rectangle when it is one: a move and three lines (a fourth
     * back to the start allowed), closed or not. Null for any other outline.
     */
    Rectangle2D rectangle() {
        int n = count > 0 && types[count - 1] == PathIterator.SEG_CLOSE ? count - 1 : count;
        if (n == 5 && types[4] == PathIterator.SEG_LINETO && coords[8] == coords[0]
                && coords[9] == coords[1]) {
            n = 4;
        }
        if (n != 4 || types[0] != PathIterator.SEG_MOVETO || types[1] != PathIterator.SEG_LINETO
                || types[2] != PathIterator.SEG_LINETO || types[3] != PathIterator.SEG_LINETO) {
            return null;
        }
        double[] c = coords;
        boolean across = c[1] == c[3] && c[2] == c[4] && c[5] == c[7] && c[6] == c[0];
        boolean down = c[0] == c[2] && c[3] == c[5] && c[4] == c[6] && c[7] == c[1];
        if (!across && !down) {
            return null;
        }
        return new Rectangle2D.Double(Math.min(c[0], c[4]), Math.min(c[1], c[5]),
                Math.abs(c[4] - c[0]), Math.abs(c[5] - c[1]));
    }

    boolean isEmpty() {
        return count == 0;
    }

    boolean isNonZero() {
        return nonZero;
    }

    void setNonZero(boolean nonZero) {
        this.nonZero = nonZero;
    }

    /** Fills ({@link #FILL}) or strokes ({@link #STROKE}) the outline through {@code g}. */
    void draw(int g, int flags) {
        if (count > 0) {
            LUMO.drawPath(g, count, types, coords, nonZero, flags | (curves ? CURVES : POLYGONAL));
        }
    }

    /** Makes the outline, in device pixels, the clip of {@code g}. */
    void clip(int g) {
        if (count == 0) {
            LUMO.setClip(g, 4, null, new double[] {0, 0, 0, 0}, true);
        } else {
            LUMO.setClip(g, count, types, coords, nonZero);
        }
    }

    /** Copies of the arrays, for caching an outline. */
    byte[] typesCopy() {
        return Arrays.copyOf(types, count);
    }

    double[] coordsCopy() {
        return Arrays.copyOf(coords, used);
    }

    /** The segment codes, {@link #segments()} of them in use. */
    byte[] types() {
        return types;
    }

    int segments() {
        return count;
    }

    /** The coordinates, {@link #coordinateCount()} of them in use. */
    double[] coords() {
        return coords;
    }

    int coordinateCount() {
        return used;
    }

    boolean hasCurves() {
        return curves;
    }
}
