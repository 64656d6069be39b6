package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import java.awt.Polygon;
import java.awt.Shape;
import java.awt.geom.Arc2D;
import java.awt.geom.Area;
import java.awt.geom.CubicCurve2D;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.Path2D;
import java.awt.geom.QuadCurve2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.util.Arrays;
import java.util.List;

/** Panels of general outlines: winding rules, Java 2D shapes, curves, polygons, polylines. */
final class PathPanels {
    private PathPanels() {
    }

    static List<Panel> all() {
        // Made here rather than while drawing: the first use of a font takes long.
        Shape word = Outlines.text("Lumo", 46f, 96, 158, Outlines.spikes(96, 158, 28, 12, 8));
        return List.of(
                new ScenePanel("Even-odd and non-zero", windingRules(),
                        label(26, 12, "even-odd"), label(122, 12, "non-zero")),
                new ScenePanel("Java 2D shapes", javaShapes(word)),
                new ScenePanel("Quadratic and cubic curves", curves(),
                        label(6, 92, "quadratic"), label(100, 92, "cubic"),
                        label(6, 186, "cusp and loop"), label(100, 186, "closed, smooth")),
                new ScenePanel("Polygons and polylines", polygons(),
                        label(6, 84, "fill"), label(66, 84, "polygon"),
                        label(130, 84, "polyline")));
    }

    /**
     * Self-crossing stars filled with each winding rule: even-odd leaves the parts that the
     * outline goes round twice empty, non-zero fills them.
     */
    private static Scene windingRules() {
        Scene s = new Scene();
        int[] rules = {Path2D.WIND_EVEN_ODD, Path2D.WIND_NON_ZERO};
        for (int side = 0; side < 2; side++) {
            double cx = 48 + 96 * side;
            Shape[] shapes = {
                Outlines.star(cx, 54, 38, 5, 2, rules[side]),
                Outlines.star(cx, 140, 40, 7, 3, rules[side]),
            };
            int[] colours = {Palette.ORANGE, Palette.BLUE};
            for (int i = 0; i < shapes.length; i++) {
                s.colour(colours[i]).fill(shapes[i]);
                // The outline itself, thin, to show where it runs.
                s.stroke(SceneStroke.HAIRLINE).colour(Palette.LIGHT).draw(shapes[i]);
            }
        }
        // A rule between the two sides.
        s.colour(Palette.GUIDE).pixelCentres(true).draw(new Line2D.Double(96, 4, 96, 188));
        return s;
    }

    /**
     * Outlines that Java 2D builds: an area made of a disc minus another disc plus a star, a
     * rounded rectangle, curves, an open arc and the outline of some text.
     */
    private static Scene javaShapes(Shape text) {
        Scene s = new Scene();
        Area moon = new Area(new Ellipse2D.Double(8, 8, 68, 68));
        moon.subtract(new Area(new Ellipse2D.Double(30, 0, 60, 60)));
        moon.add(new Area(Outlines.spikes(60, 40, 13, 5.5, 5)));
        s.colour(Palette.YELLOW).fill(moon);

        Shape rounded = new RoundRectangle2D.Double(92.5, 12.5, 90, 56, 24, 24);
        s.colour(Palette.GREEN).fill(rounded);
        s.stroke(4f, SceneStroke.BUTT, SceneStroke.ROUND_JOIN).colour(Palette.LIGHT).draw(rounded);
        s.colour(Palette.PANEL).fill(new Ellipse2D.Double(112.5, 26.5, 50, 28));
        s.stroke(SceneStroke.dashed(2f, SceneStroke.ROUND, new float[] {4, 4}, 0));
        s.colour(Palette.GREEN).draw(new Ellipse2D.Double(118.5, 32.5, 38, 16));

        s.stroke(6f, SceneStroke.ROUND, SceneStroke.ROUND_JOIN);
        s.colour(Palette.BLUE).draw(new CubicCurve2D.Double(10, 112, 40, 70, 60, 150, 92, 100));
        s.colour(Palette.RED).draw(new QuadCurve2D.Double(100, 118, 126, 72, 148, 118));
        s.stroke(3f, SceneStroke.BUTT, SceneStroke.ROUND_JOIN).colour(Palette.PURPLE);
        s.draw(new Arc2D.Double(148.5, 82.5, 36, 36, 90, 270, Arc2D.OPEN));

        s.colour(Palette.ORANGE).fill(text);
        s.stroke(1.5f, SceneStroke.BUTT, SceneStroke.ROUND_JOIN).colour(Palette.LIGHT).draw(text);
        return s;
    }

    /**
     * Curves with their control polygons: a quadratic and a cubic arch, a cubic with a cusp
     * and one with a loop, and a closed blob of smoothly joined cubics.
     */
    private static Scene curves() {
        Scene s = new Scene();
        double[][] quads = {{10, 74, 48, 4, 86, 74}};
        double[][] cubics = {{102, 74, 112, 4, 176, 4, 184, 74},
            {10, 170, 86, 104, 10, 104, 50, 170}, {54, 120, 96, 180, 30, 180, 86, 120}};
        for (double[] q : quads) {
            controls(s, q);
            s.stroke(4f, SceneStroke.ROUND, SceneStroke.ROUND_JOIN).colour(Palette.ORANGE);
            s.draw(new QuadCurve2D.Double(q[0], q[1], q[2], q[3], q[4], q[5]));
        }
        for (int i = 0; i < cubics.length; i++) {
            double[] c = cubics[i];
            controls(s, c);
            s.stroke(4f, SceneStroke.ROUND, SceneStroke.ROUND_JOIN);
            s.colour(i == 0 ? Palette.BLUE : Palette.GREEN);
            s.draw(new CubicCurve2D.Double(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]));
        }
        Path2D.Double blob = new Path2D.Double();
        blob.moveTo(144, 106);
        blob.curveTo(170, 106, 182, 126, 176, 146);
        blob.curveTo(170, 166, 150, 176, 130, 168);
        blob.curveTo(110, 160, 102, 136, 114, 120);
        blob.curveTo(122, 110, 130, 106, 144, 106);
        blob.closePath();
        s.paint(ScenePaint.gradient(ScenePaint.RADIAL, ScenePaint.PAD,
                new double[] {142, 138, 180, 138, 132, 126}, null, 0, 0xFFF0C8FF, 255,
                Palette.PURPLE));
        s.fill(blob);
        s.stroke(2f, SceneStroke.BUTT, SceneStroke.ROUND_JOIN).colour(Palette.LIGHT).draw(blob);
        return s;
    }

    /** The control polygon of a curve given as x, y pairs: thin lines and small squares. */
    private static void controls(Scene s, double[] points) {
        Path2D.Double polygon = new Path2D.Double();
        polygon.moveTo(points[0], points[1]);
        for (int i = 2; i < points.length; i += 2) {
            polygon.lineTo(points[i], points[i + 1]);
        }
        s.stroke(SceneStroke.dashed(1f, SceneStroke.BUTT, new float[] {3, 3}, 0));
        s.colour(Palette.GUIDE).draw(polygon);
        for (int i = 0; i < points.length; i += 2) {
            s.fill(new Rectangle2D.Double(points[i] - 2.5, points[i + 1] - 2.5, 5, 5));
        }
    }

    /**
     * Integer polygons and polylines: a filled hexagon, the same zigzag as a polygon (closed)
     * and as a polyline (open), and an area chart: a filled polygon under a polyline.
     */
    private static Scene polygons() {
        Scene s = new Scene();
        Polygon hexagon = new Polygon();
        for (int i = 0; i < 6; i++) {
            double a = Math.PI / 3 * i;
            hexagon.addPoint(32 + (int) Math.round(28 * Math.cos(a)),
                    44 + (int) Math.round(28 * Math.sin(a)));
        }
        s.colour(Palette.PURPLE).fill(hexagon);

        int[] zx = {0, 12, 24, 36, 48};
        int[] zy = {62, 20, 56, 20, 62};
        s.stroke(5f, SceneStroke.BUTT, SceneStroke.MITER);
        for (int side = 0; side < 2; side++) {
            int[] x = new int[zx.length];
            for (int i = 0; i < x.length; i++) {
                x[i] = zx[i] + 72 + 62 * side;
            }
            if (side == 0) {
                s.colour(Palette.GREEN).draw(new Polygon(x, zy, x.length));
            } else {
                s.colour(Palette.YELLOW).draw(new Polyline(x, zy));
            }
        }

        // Baseline and grid of the chart, one-pixel lines on pixel centres.
        int left = 8;
        int right = 184;
        int base = 184;
        s.pixelCentres(true).stroke(SceneStroke.HAIRLINE).colour(Palette.TRACK);
        for (int y = 104; y < base; y += 20) {
            s.draw(new Line2D.Double(left, y, right, y));
        }
        s.colour(Palette.GUIDE).draw(new Line2D.Double(left, base, right, base));
        s.pixelCentres(false);

        int n = 23;
        int[] cx = new int[n + 2];
        int[] cy = new int[n + 2];
        for (int i = 0; i < n; i++) {
            cx[i] = left + i * (right - left) / (n - 1);
            double v = 0.5 + 0.28 * Math.sin(i * 0.55) + 0.16 * Math.sin(i * 1.7 + 1);
            cy[i] = base - (int) Math.round(72 * v);
        }
        cx[n] = right;
        cy[n] = base;
        cx[n + 1] = left;
        cy[n + 1] = base;
        s.colour(0x704C9BE8).fill(new Polygon(cx, cy, n + 2));
        s.stroke(2.5f, SceneStroke.ROUND, SceneStroke.ROUND_JOIN).colour(Palette.BLUE);
        s.draw(new Polyline(Arrays.copyOf(cx, n), Arrays.copyOf(cy, n)));
        return s;
    }
}
