package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import java.awt.geom.AffineTransform;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.util.List;

/** Panels that stroke outlines: caps, joins, miter limits, dashes, strokes under transforms. */
final class StrokePanels {
    private StrokePanels() {
    }

    static List<Panel> all() {
        return List.of(
                new ScenePanel("Caps and joins", capsAndJoins(),
                        label(4, 26, "butt"), label(4, 52, "round"), label(4, 78, "square"),
                        label(16, 186, "miter"), label(76, 186, "round"),
                        label(136, 186, "bevel")),
                new ScenePanel("Miter limits and dashes", mitersAndDashes(),
                        label(12, 72, "limit 4"), label(108, 72, "limit 2")),
                new ScenePanel("User and device strokes", userAndDevice(),
                        label(4, 12, "user space"), label(4, 108, "device space")));
    }

    /** Thick lines with each cap over their thin centre lines, and squares with each join. */
    private static Scene capsAndJoins() {
        Scene s = new Scene();
        int[] caps = {SceneStroke.BUTT, SceneStroke.ROUND, SceneStroke.SQUARE};
        // Guides at the end points: butt caps stop there, the others reach past them.
        s.pixelCentres(true).stroke(SceneStroke.HAIRLINE).colour(Palette.GUIDE);
        s.draw(new Line2D.Double(64, 8, 64, 88)).draw(new Line2D.Double(170, 8, 170, 88));
        s.pixelCentres(false);
        for (int i = 0; i < caps.length; i++) {
            int y = 22 + 26 * i;
            s.stroke(14f, caps[i], SceneStroke.MITER).colour(Palette.BLUE);
            s.draw(new Line2D.Double(64, y, 170, y));
            s.stroke(SceneStroke.HAIRLINE).colour(Palette.LIGHT);
            s.draw(new Line2D.Double(64, y, 170, y));
        }

        int[] joins = {SceneStroke.MITER, SceneStroke.ROUND_JOIN, SceneStroke.BEVEL};
        for (int i = 0; i < joins.length; i++) {
            int x = 16 + 60 * i;
            s.stroke(16f, SceneStroke.BUTT, joins[i]).colour(Palette.ORANGE);
            s.draw(new Rectangle2D.Double(x, 114, 40, 50));
            s.stroke(SceneStroke.HAIRLINE).colour(Palette.LIGHT);
            s.draw(new Rectangle2D.Double(x, 114, 40, 50));
        }
        return s;
    }

    /**
     * Sheared rectangles stroked in device space, so their sharp corners meet the miter limit,
     * then dash patterns, dashed ovals and one pattern at three phases.
     */
    private static Scene mitersAndDashes() {
        Scene s = new Scene();
        // Corners of 45 degrees need a miter limit of 2.6 to stay sharp.
        s.deviceStroke(true).colour(Palette.GREEN);
        float[] limits = {4f, 2f};
        for (int i = 0; i < limits.length; i++) {
            s.transform(new AffineTransform(1, 0, 1, 1, 18 + 96 * i, 18));
            s.stroke(SceneStroke.solid(8f, SceneStroke.BUTT, SceneStroke.MITER).miter(limits[i]));
            s.draw(new Rectangle2D.Double(0, 0, 30, 34));
        }
        s.transform(null).deviceStroke(false);

        s.colour(Palette.LIGHT);
        s.stroke(SceneStroke.dashed(4f, SceneStroke.BUTT, new float[] {12, 6}, 0));
        s.draw(new Line2D.Double(10, 92, 122, 92));
        s.stroke(SceneStroke.dashed(5f, SceneStroke.ROUND, new float[] {0.5f, 8}, 0));
        s.draw(new Line2D.Double(10, 106, 122, 106));
        s.stroke(SceneStroke.dashed(3f, SceneStroke.BUTT, new float[] {16, 4, 4, 4}, 0));
        s.draw(new Line2D.Double(10, 120, 122, 120));

        s.colour(Palette.YELLOW);
        s.stroke(SceneStroke.dashed(3f, SceneStroke.ROUND, new float[] {8, 6}, 0));
        s.draw(new Ellipse2D.Double(134, 86, 48, 48));
        s.stroke(SceneStroke.dashed(2f, SceneStroke.BUTT, new float[] {3, 3}, 0));
        s.draw(new Ellipse2D.Double(146, 98, 24, 24));

        // The same pattern started 0, 6 and 12 units into it.
        s.colour(Palette.BLUE);
        for (int i = 0; i < 3; i++) {
            s.stroke(SceneStroke.dashed(6f, SceneStroke.BUTT, new float[] {18, 6}, 6 * i));
            s.draw(new Line2D.Double(10, 150 + 14 * i, 182, 150 + 14 * i));
        }
        return s;
    }

    /**
     * A rectangle, a dashed oval and a rounded rectangle, stretched and rotated by one
     * transform: stroked in user space the width and dashes stretch with the shapes, stroked
     * in device space they keep their size.
     */
    private static Scene userAndDevice() {
        double angle = Math.toRadians(-25);
        double cos = Math.cos(angle);
        double sin = Math.sin(angle);
        double sx = 2.4;
        Scene s = new Scene();
        for (int row = 0; row < 2; row++) {
            s.deviceStroke(row == 1);
            double cy = 56 + 96 * row;
            for (int i = 0; i < 3; i++) {
                double cx = 34 + 62 * i;
                // Rotation after a stretch along x, about the centre (cx, cy).
                s.transform(new AffineTransform(sx * cos, sx * sin, -sin, cos, cx, cy));
                switch (i) {
                    case 0:
                        s.stroke(3f, SceneStroke.BUTT, SceneStroke.MITER).colour(Palette.BLUE);
                        s.draw(new Rectangle2D.Double(-10, -14, 20, 28));
                        break;
                    case 1:
                        s.stroke(SceneStroke.dashed(3f, SceneStroke.BUTT, new float[] {5, 3}, 0));
                        s.colour(Palette.YELLOW).draw(new Ellipse2D.Double(-10, -16, 20, 32));
                        break;
                    default:
                        s.stroke(3f, SceneStroke.BUTT, SceneStroke.MITER).colour(Palette.RED);
                        s.draw(new RoundRectangle2D.Double(-10, -14, 20, 28, 10, 10));
                        break;
                }
            }
        }
        return s;
    }
}
