package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.ShapePath;
import java.awt.Shape;
import java.awt.geom.Arc2D;
import java.awt.geom.Area;
import java.awt.geom.CubicCurve2D;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Path2D;
import java.awt.geom.QuadCurve2D;
import java.awt.geom.RoundRectangle2D;
import java.util.List;

/** Panels that draw general outlines: winding rules, Java 2D shapes, polygons and polylines. */
final class PathPanels {
    private PathPanels() {
    }

    static List<Panel> all() {
        // Made here rather than while drawing: the first use of a font takes long.
        Shape word = Outlines.text("Lumo", 46f, 96, 158, Outlines.spikes(96, 158, 28, 12, 8));
        return List.of(
                new SimplePanel("Even-odd and non-zero", PathPanels::windingRules,
                        label(26, 12, "even-odd"), label(122, 12, "non-zero")),
                new SimplePanel("Java 2D shapes", area -> javaShapes(area, word)),
                new SimplePanel("Polygons and polylines", PathPanels::polygons,
                        label(6, 84, "fill"), label(66, 84, "polygon"),
                        label(130, 84, "polyline")));
    }

    /**
     * Self-crossing stars and a path of two circles, filled with each winding rule: even-odd
     * leaves the parts that the outline goes round twice empty, non-zero fills them.
     */
    private static void windingRules(PanelArea area) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            int[] rules = {Path2D.WIND_EVEN_ODD, Path2D.WIND_NON_ZERO};
            for (int side = 0; side < 2; side++) {
                double cx = 48 + 96 * side;
                Shape[] shapes = {
                    Outlines.star(cx, 54, 38, 5, 2, rules[side]),
                    Outlines.star(cx, 140, 40, 7, 3, rules[side]),
                };
                int[] colours = {Palette.ORANGE, Palette.BLUE};
                for (int i = 0; i < shapes.length; i++) {
                    ShapePath path = ShapePath.of(shapes[i]);
                    LUMO.setPaint(t.g, colours[i]);
                    path.fill(t.g);
                    // The outline itself, thin, to show where it runs.
                    t.stroke(1f, Target.CAP_BUTT, Target.JOIN_MITER);
                    LUMO.setPaint(t.g, Palette.LIGHT);
                    path.stroke(t.g);
                }
            }
            // A rule between the two sides.
            LUMO.setPaint(t.g, Palette.GUIDE);
            t.stroke(1f, Target.CAP_BUTT, Target.JOIN_MITER);
            LUMO.setHint(t.g, Target.STROKE_OFFSET, 3);
            LUMO.drawLine(t.g, 96, 4, 96, 188);
            t.show(area, 0, 0);
        }
    }

    /**
     * Outlines that Java 2D builds, filled and stroked through their path iterators: an area
     * made of a disc minus another disc plus a star, a rounded rectangle, curves, an open arc
     * and the outline of some text.
     */
    private static void javaShapes(PanelArea area, Shape text) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            Area moon = new Area(new Ellipse2D.Double(8, 8, 68, 68));
            moon.subtract(new Area(new Ellipse2D.Double(30, 0, 60, 60)));
            moon.add(new Area(Outlines.spikes(60, 40, 13, 5.5, 5)));
            ShapePath areaPath = ShapePath.of(moon);
            LUMO.setPaint(t.g, Palette.YELLOW);
            areaPath.fill(t.g);

            ShapePath rounded = ShapePath.of(new RoundRectangle2D.Double(92, 12, 90, 56, 24, 24));
            LUMO.setPaint(t.g, Palette.GREEN);
            rounded.fill(t.g);
            t.stroke(4f, Target.CAP_BUTT, Target.JOIN_ROUND);
            LUMO.setPaint(t.g, Palette.LIGHT);
            rounded.stroke(t.g);
            LUMO.setPaint(t.g, Palette.PANEL);
            ShapePath.of(new Ellipse2D.Double(112, 26, 50, 28)).fill(t.g);
            t.dashed(2f, Target.CAP_ROUND, new float[] {4, 4}, 0);
            LUMO.setPaint(t.g, Palette.GREEN);
            ShapePath.of(new Ellipse2D.Double(118, 32, 38, 16)).stroke(t.g);

            t.stroke(6f, Target.CAP_ROUND, Target.JOIN_ROUND);
            LUMO.setPaint(t.g, Palette.BLUE);
            ShapePath.of(new CubicCurve2D.Double(10, 112, 40, 70, 60, 150, 92, 100)).stroke(t.g);
            LUMO.setPaint(t.g, Palette.RED);
            ShapePath.of(new QuadCurve2D.Double(100, 118, 126, 72, 148, 118)).stroke(t.g);
            t.stroke(3f, Target.CAP_BUTT, Target.JOIN_ROUND);
            LUMO.setPaint(t.g, Palette.PURPLE);
            ShapePath.of(new Arc2D.Double(148, 82, 36, 36, 90, 270, Arc2D.OPEN)).stroke(t.g);

            ShapePath word = ShapePath.of(text);
            LUMO.setPaint(t.g, Palette.ORANGE);
            word.fill(t.g);
            t.stroke(1.5f, Target.CAP_BUTT, Target.JOIN_ROUND);
            LUMO.setPaint(t.g, Palette.LIGHT);
            word.stroke(t.g);
            t.show(area, 0, 0);
        }
    }

    /**
     * Integer polygons and polylines: a filled hexagon, the same zigzag as a polygon (closed)
     * and as a polyline (open), and an area chart: a filled polygon under a polyline.
     */
    private static void polygons(PanelArea area) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            int[] hx = new int[6];
            int[] hy = new int[6];
            for (int i = 0; i < 6; i++) {
                double a = Math.PI / 3 * i;
                hx[i] = 32 + (int) Math.round(28 * Math.cos(a));
                hy[i] = 44 + (int) Math.round(28 * Math.sin(a));
            }
            LUMO.setPaint(t.g, Palette.PURPLE);
            LUMO.fillPolygon(t.g, 6, hx, hy);

            int[] zx = {0, 12, 24, 36, 48};
            int[] zy = {62, 20, 56, 20, 62};
            t.stroke(5f, Target.CAP_BUTT, Target.JOIN_MITER);
            for (int side = 0; side < 2; side++) {
                int[] x = new int[zx.length];
                for (int i = 0; i < x.length; i++) {
                    x[i] = zx[i] + 72 + 62 * side;
                }
                LUMO.setPaint(t.g, side == 0 ? Palette.GREEN : Palette.YELLOW);
                if (side == 0) {
                    LUMO.drawPolygon(t.g, x.length, x, zy);
                } else {
                    LUMO.drawPolyline(t.g, x.length, x, zy);
                }
            }

            // Baseline and grid of the chart, one-pixel lines on pixel centres.
            int left = 8;
            int right = 184;
            int base = 184;
            LUMO.setHint(t.g, Target.STROKE_OFFSET, 3);
            t.stroke(1f, Target.CAP_BUTT, Target.JOIN_MITER);
            LUMO.setPaint(t.g, Palette.TRACK);
            for (int y = 104; y < base; y += 20) {
                LUMO.drawLine(t.g, left, y, right, y);
            }
            LUMO.setPaint(t.g, Palette.GUIDE);
            LUMO.drawLine(t.g, left, base, right, base);
            LUMO.setHint(t.g, Target.STROKE_OFFSET, 0);

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
            LUMO.setPaint(t.g, 0x704C9BE8);
            LUMO.fillPolygon(t.g, n + 2, cx, cy);
            t.stroke(2.5f, Target.CAP_ROUND, Target.JOIN_ROUND);
            LUMO.setPaint(t.g, Palette.BLUE);
            LUMO.drawPolyline(t.g, n, cx, cy);
            t.show(area, 0, 0);
        }
    }
}
