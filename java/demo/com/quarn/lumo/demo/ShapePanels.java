package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import java.util.List;

/** Panels that draw shapes into a render target: antialiasing, arcs, pies, rounded corners. */
final class ShapePanels {
    private static final int ZOOM = 4;
    private static final int ZOOMED = 18;

    private ShapePanels() {
    }

    static List<Panel> all() {
        return List.of(
                new SimplePanel("Antialiasing off and on", ShapePanels::antialiasing,
                        label(4, 12, "aliased"), label(100, 12, "antialiased"),
                        label(4, 188, "zoom " + ZOOM + "x"), label(100, 188, "zoom " + ZOOM + "x")),
                new SimplePanel("Arcs, pies, rounded corners", ShapePanels::curves));
    }

    /**
     * The same disc, pie and fan of thin lines drawn aliased on the left and antialiased on
     * the right, with the centre of each pie magnified below.
     */
    private static void antialiasing(PanelArea area) {
        int half = area.width / 2;
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            for (int side = 0; side < 2; side++) {
                int x = side * half;
                LUMO.setHint(t.g, Target.ANTIALIAS, side);
                LUMO.setPaint(t.g, Palette.BLUE);
                LUMO.fillOval(t.g, x + 4, 18, 40, 40);
                // A pie whose missing wedge faces three o'clock.
                LUMO.setPaint(t.g, Palette.ORANGE);
                LUMO.fillArc(t.g, x + 48, 18, 40, 40, -30, 300);
                // One-pixel lines through pixel centres.
                LUMO.setHint(t.g, Target.STROKE_OFFSET, 3);
                LUMO.setPaint(t.g, Palette.LIGHT);
                t.stroke(1f, Target.CAP_BUTT, Target.JOIN_MITER);
                for (int i = 0; i <= 5; i++) {
                    double a = Math.toRadians(i * 15);
                    LUMO.drawLine(t.g, x + 6, 96, x + 6 + (int) Math.round(84 * Math.cos(a)),
                            96 - (int) Math.round(32 * Math.sin(a)));
                }
            }
            t.show(area, 0, 0);

            // Magnify the centre of each pie, where its two straight edges meet.
            int[] pixels = t.read();
            for (int side = 0; side < 2; side++) {
                int dx = side * half + 4;
                int size = ZOOMED * ZOOM;
                area.blit(Patterns.solid(size + 2, size + 2, Palette.GUIDE & 0xFFFFFF),
                        size + 2, size + 2, dx - 1, 101);
                int[] zoomed = Patterns.magnify(pixels, t.width, side * half + 64, 29,
                        ZOOMED, ZOOMED, ZOOM);
                area.blit(zoomed, size, size, dx, 102);
            }
        }
    }

    /** A pie chart, open arcs of growing extent and rectangles with growing corner arcs. */
    private static void curves(PanelArea area) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            // Slices follow each other counter-clockwise from three o'clock. Start angles grow
            // clockwise, so each slice starts where the one before ended: at its start minus
            // its extent.
            int[] extents = {100, 70, 60, 80, 50};
            int[] colours = {Palette.BLUE, Palette.ORANGE, Palette.GREEN, Palette.RED,
                Palette.PURPLE};
            int start = 0;
            for (int i = 0; i < extents.length; i++) {
                LUMO.setPaint(t.g, colours[i]);
                LUMO.fillArc(t.g, 8, 8, 80, 80, start, extents[i]);
                start -= extents[i];
            }

            // Rings from twelve o'clock over their tracks: positive extents run
            // counter-clockwise.
            t.stroke(6f, Target.CAP_ROUND, Target.JOIN_ROUND);
            int[] arcs = {90, 180, 270};
            for (int i = 0; i < arcs.length; i++) {
                int inset = 11 * i;
                int size = 80 - 2 * inset;
                LUMO.setPaint(t.g, Palette.TRACK);
                LUMO.drawOval(t.g, 104 + inset, 8 + inset, size, size);
                LUMO.setPaint(t.g, colours[i]);
                LUMO.drawArc(t.g, 104 + inset, 8 + inset, size, size, -90, arcs[i]);
            }

            // Corner diameters up to the full height, which rounds the ends into half circles.
            int[] corners = {0, 12, 24, 34};
            for (int i = 0; i < corners.length; i++) {
                int x = 8 + 46 * i;
                LUMO.setPaint(t.g, Palette.YELLOW);
                LUMO.fillRoundRect(t.g, x, 104, 40, 34, corners[i], corners[i]);
                LUMO.setPaint(t.g, Palette.LIGHT);
                t.stroke(3f, Target.CAP_BUTT, Target.JOIN_MITER);
                LUMO.drawRoundRect(t.g, x + 2, 150, 36, 34, corners[i], corners[i]);
            }
            t.show(area, 0, 0);
        }
    }
}
