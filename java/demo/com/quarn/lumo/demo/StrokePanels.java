package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import java.util.List;

/** Panels that stroke outlines: caps, joins, miter limits, dashes, strokes under transforms. */
final class StrokePanels {
    private StrokePanels() {
    }

    static List<Panel> all() {
        return List.of(
                new SimplePanel("Caps and joins", StrokePanels::capsAndJoins,
                        label(4, 26, "butt"), label(4, 52, "round"), label(4, 78, "square"),
                        label(16, 186, "miter"), label(76, 186, "round"),
                        label(136, 186, "bevel")),
                new SimplePanel("Miter limits and dashes", StrokePanels::mitersAndDashes,
                        label(12, 72, "limit 4"), label(108, 72, "limit 2")),
                new SimplePanel("User and device strokes", StrokePanels::userAndDevice,
                        label(4, 12, "user space"), label(4, 108, "device space")));
    }

    /** Thick lines with each cap over their thin centre lines, and squares with each join. */
    private static void capsAndJoins(PanelArea area) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            int[] caps = {Target.CAP_BUTT, Target.CAP_ROUND, Target.CAP_SQUARE};
            // Guides at the end points: butt caps stop there, the others reach past them.
            LUMO.setHint(t.g, Target.STROKE_OFFSET, 3);
            t.stroke(1f, Target.CAP_BUTT, Target.JOIN_MITER);
            LUMO.setPaint(t.g, Palette.GUIDE);
            LUMO.drawLine(t.g, 64, 8, 64, 88);
            LUMO.drawLine(t.g, 170, 8, 170, 88);
            LUMO.setHint(t.g, Target.STROKE_OFFSET, 0);
            for (int i = 0; i < caps.length; i++) {
                int y = 22 + 26 * i;
                t.stroke(14f, caps[i], Target.JOIN_MITER);
                LUMO.setPaint(t.g, Palette.BLUE);
                LUMO.drawLine(t.g, 64, y, 170, y);
                t.stroke(1f, Target.CAP_BUTT, Target.JOIN_MITER);
                LUMO.setPaint(t.g, Palette.LIGHT);
                LUMO.drawLine(t.g, 64, y, 170, y);
            }

            int[] joins = {Target.JOIN_MITER, Target.JOIN_ROUND, Target.JOIN_BEVEL};
            for (int i = 0; i < joins.length; i++) {
                int x = 16 + 60 * i;
                t.stroke(16f, Target.CAP_BUTT, joins[i]);
                LUMO.setPaint(t.g, Palette.ORANGE);
                LUMO.drawRect(t.g, x, 114, 40, 50);
                t.stroke(1f, Target.CAP_BUTT, Target.JOIN_MITER);
                LUMO.setPaint(t.g, Palette.LIGHT);
                LUMO.drawRect(t.g, x, 114, 40, 50);
            }
            t.show(area, 0, 0);
        }
    }

    /**
     * Sheared rectangles stroked in device space, so their sharp corners meet the miter limit,
     * then dash patterns, dashed ovals and one pattern at three phases.
     */
    private static void mitersAndDashes(PanelArea area) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            // Corners of 45 degrees need a miter limit of 2.6 to stay sharp.
            LUMO.setHint(t.g, Target.DEVICE_STROKE, 1);
            float[] limits = {4f, 2f};
            for (int i = 0; i < limits.length; i++) {
                t.transform(1, 0, 1, 1, 18 + 96 * i, 18);
                LUMO.setStroke(t.g, 8f, Target.CAP_BUTT, Target.JOIN_MITER, limits[i], null, 0f);
                LUMO.setPaint(t.g, Palette.GREEN);
                LUMO.drawRect(t.g, 0, 0, 30, 34);
            }
            t.identity();
            LUMO.setHint(t.g, Target.DEVICE_STROKE, 0);

            LUMO.setPaint(t.g, Palette.LIGHT);
            t.dashed(4f, Target.CAP_BUTT, new float[] {12, 6}, 0);
            LUMO.drawLine(t.g, 10, 92, 122, 92);
            t.dashed(5f, Target.CAP_ROUND, new float[] {0.5f, 8}, 0);
            LUMO.drawLine(t.g, 10, 106, 122, 106);
            t.dashed(3f, Target.CAP_BUTT, new float[] {16, 4, 4, 4}, 0);
            LUMO.drawLine(t.g, 10, 120, 122, 120);

            LUMO.setPaint(t.g, Palette.YELLOW);
            t.dashed(3f, Target.CAP_ROUND, new float[] {8, 6}, 0);
            LUMO.drawOval(t.g, 134, 86, 48, 48);
            t.dashed(2f, Target.CAP_BUTT, new float[] {3, 3}, 0);
            LUMO.drawOval(t.g, 146, 98, 24, 24);

            // The same pattern started 0, 6 and 12 units into it.
            LUMO.setPaint(t.g, Palette.BLUE);
            for (int i = 0; i < 3; i++) {
                t.dashed(6f, Target.CAP_BUTT, new float[] {18, 6}, 6 * i);
                LUMO.drawLine(t.g, 10, 150 + 14 * i, 182, 150 + 14 * i);
            }
            t.show(area, 0, 0);
        }
    }

    /**
     * A rectangle, a dashed oval and a rounded rectangle, stretched and rotated by one
     * transform: stroked in user space the width and dashes stretch with the shapes, stroked
     * in device space they keep their size.
     */
    private static void userAndDevice(PanelArea area) {
        double angle = Math.toRadians(-25);
        double cos = Math.cos(angle);
        double sin = Math.sin(angle);
        double sx = 2.4;
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            for (int row = 0; row < 2; row++) {
                LUMO.setHint(t.g, Target.DEVICE_STROKE, row);
                double cy = 56 + 96 * row;
                for (int i = 0; i < 3; i++) {
                    double cx = 34 + 62 * i;
                    // Rotation after a stretch along x, about the centre (cx, cy).
                    t.transform(sx * cos, sx * sin, -sin, cos, cx, cy);
                    switch (i) {
                        case 0:
                            t.stroke(3f, Target.CAP_BUTT, Target.JOIN_MITER);
                            LUMO.setPaint(t.g, Palette.BLUE);
                            LUMO.drawRect(t.g, -10, -14, 20, 28);
                            break;
                        case 1:
                            t.dashed(3f, Target.CAP_BUTT, new float[] {5, 3}, 0);
                            LUMO.setPaint(t.g, Palette.YELLOW);
                            LUMO.drawOval(t.g, -10, -16, 20, 32);
                            break;
                        default:
                            t.stroke(3f, Target.CAP_BUTT, Target.JOIN_MITER);
                            LUMO.setPaint(t.g, Palette.RED);
                            LUMO.drawRoundRect(t.g, -10, -14, 20, 28, 10, 10);
                            break;
                    }
                }
            }
            t.show(area, 0, 0);
        }
    }
}
