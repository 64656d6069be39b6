package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import java.awt.geom.AffineTransform;
import java.util.ArrayList;
import java.util.List;

/** Panels of gradient paints: the six kinds under each cycle rule, focal radials, matrices. */
final class GradientPanels {
    private static final int CELL_WIDTH = 60;
    private static final int CELL_HEIGHT = 40;
    private static final int COLUMN = 66;
    private static final int ROW = 60;
    private static final int TOP = 16;
    private static final int[] CYCLES = {Target.PAD, Target.REPEAT, Target.REFLECT};
    private static final String[] CYCLE_NAMES = {"pad", "repeat", "reflect"};

    /** Navy to blue to yellow to orange: the two ends differ, so a repeat shows its seams. */
    private static final int[] STOPS = {0, 0xFF1B2A55, 100, Palette.BLUE, 180, Palette.YELLOW,
        255, Palette.ORANGE};

    private GradientPanels() {
    }

    static List<Panel> all() {
        return List.of(
                cycles("Radial, linear, diamond",
                        new int[] {Target.RADIAL, Target.LINEAR, Target.DIAMOND},
                        new String[] {"radial", "linear", "diamond"}),
                cycles("Conic, xy, square-root xy",
                        new int[] {Target.CONIC, Target.XY, Target.SQRT_XY},
                        new String[] {"conic (always pads)", "xy", "square-root xy"}),
                new SimplePanel("Focal radials, user matrix", GradientPanels::focal,
                        label(14, 74, "centred"), label(74, 74, "upper left"),
                        label(140, 74, "near rim"), label(6, 184, "stretched, turned"),
                        label(102, 184, "focal, repeat")));
    }

    /** A grid with a row for each kind and a column for each cycle rule. */
    private static Panel cycles(String title, int[] kinds, String[] names) {
        List<Panel.Label> labels = new ArrayList<>();
        for (int c = 0; c < CYCLES.length; c++) {
            labels.add(label(COLUMN * c + 2, 11, CYCLE_NAMES[c]));
        }
        for (int r = 0; r < kinds.length; r++) {
            labels.add(label(2, TOP + ROW * r + CELL_HEIGHT + 11, names[r]));
        }
        return new SimplePanel(title, area -> grid(area, kinds),
                labels.toArray(new Panel.Label[0]));
    }

    /**
     * Each cell is a rounded rectangle filled with one kind and one cycle rule. The colour table
     * spans only a short axis from the centre of the cell, so what lies beyond its end shows.
     */
    private static void grid(PanelArea area, int[] kinds) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            for (int r = 0; r < kinds.length; r++) {
                for (int c = 0; c < CYCLES.length; c++) {
                    int x = COLUMN * c;
                    int y = TOP + ROW * r;
                    double cx = x + CELL_WIDTH / 2.0;
                    double cy = y + CELL_HEIGHT / 2.0;
                    double[] axis = axisOf(kinds[r]);
                    t.gradient(kinds[r], CYCLES[c], cx + axis[0], cy + axis[1], cx + axis[2],
                            cy + axis[3], STOPS);
                    LUMO.fillRoundRect(t.g, x, y, CELL_WIDTH, CELL_HEIGHT, 10, 10);
                }
            }
            t.show(area, 0, 0);
        }
    }

    /** Start and end of the colour table relative to the centre of a cell, for each kind. */
    private static double[] axisOf(int kind) {
        switch (kind) {
            case Target.RADIAL:
                return new double[] {0, 0, 13, 0};
            case Target.LINEAR:
                // Tilted, from upper left to lower right of the centre.
                return new double[] {-8, -4, 8, 4};
            case Target.DIAMOND:
                // Turned by 20 degrees, so the squares turn with it.
                return new double[] {0, 0, 12 * Math.cos(0.35), 12 * Math.sin(0.35)};
            case Target.CONIC:
                return new double[] {0, 0, 20, 0};
            default:
                // xy and square-root xy: the colour table ends where |x y| = 12 * 12.
                return new double[] {0, 0, 12, 0};
        }
    }

    /**
     * Spheres lit from a focus at the centre, up and to the left and close to the rim; a radial
     * gradient stretched and turned by its own matrix; repeated rings around an off-centre
     * focus.
     */
    private static void focal(PanelArea area) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            int[] colours = {Palette.BLUE, Palette.GREEN, Palette.RED};
            double[][] foci = {{0, 0}, {-0.45, -0.45}, {0.62, -0.62}};
            double r = 26;
            for (int i = 0; i < colours.length; i++) {
                double cx = 32 + 64 * i;
                double cy = 34;
                double fx = cx + r * foci[i][0];
                double fy = cy + r * foci[i][1];
                t.gradient(Target.RADIAL, Target.PAD, new double[] {cx, cy, cx + r, cy, fx, fy},
                        null, 0, 0xFFF4F6FA, 70, colours[i], 255, darker(colours[i]));
                LUMO.fillOval(t.g, (int) (cx - r), (int) (cy - r), (int) (2 * r), (int) (2 * r));
            }

            // Rings of radius 10 around the origin, then stretched 2.4 times along x, turned by
            // 30 degrees and moved to the middle of the left box.
            AffineTransform place = AffineTransform.getTranslateInstance(48, 126);
            place.rotate(Math.toRadians(-30));
            place.scale(2.4, 1);
            double[] matrix = new double[6];
            place.getMatrix(matrix);
            t.gradient(Target.RADIAL, Target.REFLECT, new double[] {0, 0, 10, 0, 0, 0}, matrix,
                    STOPS);
            LUMO.fillRoundRect(t.g, 4, 82, 88, 88, 16, 16);

            // Rings of radius 22 whose focus sits 11 pixels above and left of their centre.
            t.gradient(Target.RADIAL, Target.REPEAT,
                    new double[] {146, 126, 168, 126, 135, 115}, null, STOPS);
            LUMO.fillRoundRect(t.g, 100, 82, 88, 88, 16, 16);
            t.show(area, 0, 0);
        }
    }

    /** The colour at 45 percent of its brightness. */
    private static int darker(int argb) {
        int r = (argb >> 16 & 0xFF) * 45 / 100;
        int g = (argb >> 8 & 0xFF) * 45 / 100;
        int b = (argb & 0xFF) * 45 / 100;
        return argb & 0xFF000000 | r << 16 | g << 8 | b;
    }
}
