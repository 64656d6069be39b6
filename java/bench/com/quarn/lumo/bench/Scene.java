package com.quarn.lumo.bench;

import java.awt.BasicStroke;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;

/**
 * The shape scenes, in the order that fixes their index (and with it their random seeds).
 * Each makes the outline of one operation from the box (x, y, size, size) and the random
 * numbers that follow the placement and colour of the operation; the stroked ones also say
 * how they are outlined.
 */
enum Scene {
    FILL_RECT_A("FillRectA"),
    FILL_RECT_U("FillRectU"),
    FILL_RECT_ROT("FillRectRot"),
    FILL_ROUND_U("FillRoundU"),
    FILL_TRIANGLE("FillTriangle"),
    FILL_POLY10_NZ("FillPoly10NZ"),
    FILL_POLY10_EO("FillPoly10EO"),
    FILL_POLY40_NZ("FillPoly40NZ"),
    FILL_POLY40_EO("FillPoly40EO"),
    FILL_PATH("FillPath"),
    STROKE_RECT_U("StrokeRectU", 3, BasicStroke.CAP_BUTT, BasicStroke.JOIN_MITER, null),
    STROKE_POLY10("StrokePoly10", 3, BasicStroke.CAP_BUTT, BasicStroke.JOIN_MITER, null),
    STROKE_PATH("StrokePath", 3, BasicStroke.CAP_ROUND, BasicStroke.JOIN_ROUND, null),
    DASH("Dash", 2, BasicStroke.CAP_BUTT, BasicStroke.JOIN_MITER, new float[] {6, 3});

    static final float MITER_LIMIT = 10;

    final String label;
    /** Width of the outline; 0 for the filled scenes. */
    final float strokeWidth;
    /** Cap and join in {@link BasicStroke}'s numbering, which the library shares. */
    final int cap;
    final int join;
    /** The dash pattern (phase 0), or null for a solid line. */
    final float[] dash;

    Scene(String label) {
        this(label, 0, BasicStroke.CAP_BUTT, BasicStroke.JOIN_MITER, null);
    }

    Scene(String label, float strokeWidth, int cap, int join, float[] dash) {
        this.label = label;
        this.strokeWidth = strokeWidth;
        this.cap = cap;
        this.join = join;
        this.dash = dash;
    }

    boolean stroked() {
        return strokeWidth > 0;
    }

    /** The index that seeds the scene's random numbers. */
    int index() {
        return ordinal();
    }

    /** The Java 2D stroke of a stroked scene. */
    BasicStroke basicStroke() {
        return new BasicStroke(strokeWidth, cap, join, MITER_LIMIT, dash, 0);
    }

    /** The outline of one operation whose box is (x, y, size, size). */
    Outline outline(SceneRandom random, double x, double y, int size) {
        switch (this) {
            case FILL_RECT_A:
                return Outline.ofIntRect((int) Math.floor(x), (int) Math.floor(y), size, size);
            case FILL_RECT_U:
            case STROKE_RECT_U:
                return Outline.of(new Rectangle2D.Double(x, y, size - 0.5, size - 0.5));
            case FILL_RECT_ROT:
                return rotatedSquare(random.next() * 2 * Math.PI, x, y, size);
            case FILL_ROUND_U:
                return Outline.of(new RoundRectangle2D.Double(x, y, size, size, size / 2.0,
                        size / 2.0));
            case FILL_TRIANGLE:
                return Outline.polygon(points(random, 3, x, y, size), true);
            case FILL_POLY10_NZ:
                return Outline.polygon(points(random, 10, x, y, size), true);
            case FILL_POLY10_EO:
                return Outline.polygon(points(random, 10, x, y, size), false);
            case FILL_POLY40_NZ:
                return Outline.polygon(points(random, 40, x, y, size), true);
            case FILL_POLY40_EO:
                return Outline.polygon(points(random, 40, x, y, size), false);
            case FILL_PATH:
                Path2D.Double path = curves(random, 200, x, y, size);
                path.closePath();
                return Outline.of(path);
            case STROKE_POLY10:
                return Outline.polygon(points(random, 10, x, y, size), true);
            case STROKE_PATH:
                return Outline.of(curves(random, 20, x, y, size));
            case DASH:
                return Outline.openPolyline(points(random, 10, x, y, size));
            default:
                throw new AssertionError(this);
        }
    }

    /** n random points in the box, each x then y. */
    private static double[] points(SceneRandom random, int n, double x, double y, int size) {
        double[] xy = new double[2 * n];
        for (int i = 0; i < xy.length; i += 2) {
            xy[i] = x + random.next() * size;
            xy[i + 1] = y + random.next() * size;
        }
        return xy;
    }

    /** A move to a random point of the box and n cubics through random points of it. */
    private static Path2D.Double curves(SceneRandom random, int n, double x, double y,
            int size) {
        double[] start = points(random, 1, x, y, size);
        Path2D.Double path = new Path2D.Double(Path2D.WIND_NON_ZERO);
        path.moveTo(start[0], start[1]);
        for (int i = 0; i < n; i++) {
            double[] p = points(random, 3, x, y, size);
            path.curveTo(p[0], p[1], p[2], p[3], p[4], p[5]);
        }
        return path;
    }

    /** The size x size square centred in the box, turned by {@code angle}. */
    private static Outline rotatedSquare(double angle, double x, double y, int size) {
        double half = size / 2.0;
        double cx = x + half;
        double cy = y + half;
        double cos = Math.cos(angle);
        double sin = Math.sin(angle);
        double[] corners = {-half, -half, half, -half, half, half, -half, half};
        double[] xy = new double[8];
        for (int i = 0; i < 8; i += 2) {
            xy[i] = cx + corners[i] * cos - corners[i + 1] * sin;
            xy[i + 1] = cy + corners[i] * sin + corners[i + 1] * cos;
        }
        return Outline.polygon(xy, true);
    }
}
