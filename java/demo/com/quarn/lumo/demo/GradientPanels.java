package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Path2D;
import java.awt.geom.RoundRectangle2D;
import java.util.ArrayList;
import java.util.List;

/** Panels of gradient paints: the six kinds under each cycle rule, focal radials, matrices. */
final class GradientPanels {
    private static final int CELL_WIDTH = 60;
    private static final int CELL_HEIGHT = 40;
    private static final int COLUMN = 66;
    private static final int ROW = 60;
    private static final int TOP = 16;
    private static final int[] CYCLES = {ScenePaint.PAD, ScenePaint.REPEAT, ScenePaint.REFLECT};
    private static final String[] CYCLE_NAMES = {"pad", "repeat", "reflect"};

    /** Navy to blue to yellow to orange: the two ends differ, so a repeat shows its seams. */
    private static final int[] STOPS = {0, 0xFF1B2A55, 100, Palette.BLUE, 180, Palette.YELLOW,
        255, Palette.ORANGE};

    private GradientPanels() {
    }

    static List<Panel> all() {
        return List.of(
                cycles("Radial, linear, diamond",
                        new int[] {ScenePaint.RADIAL, ScenePaint.LINEAR, ScenePaint.DIAMOND},
                        new String[] {"radial", "linear", "diamond"}),
                cycles("Conic, xy, square-root xy",
                        new int[] {ScenePaint.CONIC, ScenePaint.XY, ScenePaint.SQRT_XY},
                        new String[] {"conic (always pads)", "xy", "square-root xy"})
                        .lacking("Its gradients are linear and radial only."),
                new ScenePanel("Focal radials, user matrix", focal(),
                        label(14, 74, "centred"), label(74, 74, "upper left"),
                        label(140, 74, "near rim"), label(6, 184, "stretched, turned"),
                        label(102, 184, "focal, repeat")),
                new ScenePanel("Gradient strokes and text", strokes()));
    }

    /** A grid with a row for each kind and a column for each cycle rule. */
    private static ScenePanel cycles(String title, int[] kinds, String[] names) {
        List<Panel.Label> labels = new ArrayList<>();
        for (int c = 0; c < CYCLES.length; c++) {
            labels.add(label(COLUMN * c + 2, 11, CYCLE_NAMES[c]));
        }
        for (int r = 0; r < kinds.length; r++) {
            labels.add(label(2, TOP + ROW * r + CELL_HEIGHT + 11, names[r]));
        }
        return new ScenePanel(title, grid(kinds), labels.toArray(new Panel.Label[0]));
    }

    /**
     * Each cell is a rounded rectangle filled with one kind and one cycle rule. The colour table
     * spans only a short axis from the centre of the cell, so what lies beyond its end shows.
     */
    private static Scene grid(int[] kinds) {
        Scene s = new Scene();
        {
            for (int r = 0; r < kinds.length; r++) {
                for (int c = 0; c < CYCLES.length; c++) {
                    int x = COLUMN * c;
                    int y = TOP + ROW * r;
                    double cx = x + CELL_WIDTH / 2.0;
                    double cy = y + CELL_HEIGHT / 2.0;
                    double[] axis = axisOf(kinds[r]);
                    s.paint(ScenePaint.gradient(kinds[r], CYCLES[c], cx + axis[0],
                            cy + axis[1], cx + axis[2], cy + axis[3], STOPS));
                    s.fill(new RoundRectangle2D.Double(x, y, CELL_WIDTH, CELL_HEIGHT, 10, 10));
                }
            }
        }
        return s;
    }

    /** Start and end of the colour table relative to the centre of a cell, for each kind. */
    private static double[] axisOf(int kind) {
        switch (kind) {
            case ScenePaint.RADIAL:
                return new double[] {0, 0, 13, 0};
            case ScenePaint.LINEAR:
                // Tilted, from upper left to lower right of the centre.
                return new double[] {-8, -4, 8, 4};
            case ScenePaint.DIAMOND:
                // Turned by 20 degrees, so the squares turn with it.
                return new double[] {0, 0, 12 * Math.cos(0.35), 12 * Math.sin(0.35)};
            case ScenePaint.CONIC:
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
    private static Scene focal() {
        Scene s = new Scene();
        {
            int[] colours = {Palette.BLUE, Palette.GREEN, Palette.RED};
            double[][] foci = {{0, 0}, {-0.45, -0.45}, {0.62, -0.62}};
            double r = 26;
            for (int i = 0; i < colours.length; i++) {
                double cx = 32 + 64 * i;
                double cy = 34;
                double fx = cx + r * foci[i][0];
                double fy = cy + r * foci[i][1];
                s.paint(ScenePaint.gradient(ScenePaint.RADIAL, ScenePaint.PAD,
                        new double[] {cx, cy, cx + r, cy, fx, fy}, null, 0, 0xFFF4F6FA, 70,
                        colours[i], 255, darker(colours[i])));
                s.fill(new Ellipse2D.Double(cx - r, cy - r, 2 * r, 2 * r));
            }

            // Rings of radius 10 around the origin, then stretched 2.4 times along x, turned by
            // 30 degrees and moved to the middle of the left box.
            AffineTransform place = AffineTransform.getTranslateInstance(48, 126);
            place.rotate(Math.toRadians(-30));
            place.scale(2.4, 1);
            s.paint(ScenePaint.gradient(ScenePaint.RADIAL, ScenePaint.REFLECT,
                    new double[] {0, 0, 10, 0, 0, 0}, place, STOPS));
            s.fill(new RoundRectangle2D.Double(4, 82, 88, 88, 16, 16));

            // Rings of radius 22 whose focus sits 11 pixels above and left of their centre.
            s.paint(ScenePaint.gradient(ScenePaint.RADIAL, ScenePaint.REPEAT,
                    new double[] {146, 126, 168, 126, 135, 115}, null, STOPS));
            s.fill(new RoundRectangle2D.Double(100, 82, 88, 88, 16, 16));
        }
        return s;
    }

    /**
     * Gradients along thick strokes: a linear one across a wave, a radial one around a ring,
     * a reflected one along a dashed spiral; and a word filled with a repeating gradient.
     */
    private static Scene strokes() {
        Scene s = new Scene();
        Path2D.Double wave = new Path2D.Double();
        wave.moveTo(12, 40);
        wave.curveTo(50, -4, 70, 84, 110, 40);
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.PAD, 12, 0, 110, 0, 0,
                Palette.BLUE, 128, Palette.GREEN, 255, Palette.YELLOW));
        s.stroke(12f, SceneStroke.ROUND, SceneStroke.ROUND_JOIN).draw(wave);

        s.paint(ScenePaint.gradient(ScenePaint.RADIAL, ScenePaint.PAD, 152, 40, 182, 40,
                0, Palette.YELLOW, 255, Palette.RED));
        s.stroke(10f, SceneStroke.BUTT, SceneStroke.MITER).draw(new Ellipse2D.Double(130, 18, 44,
                44));

        Path2D.Double spiral = new Path2D.Double();
        spiral.moveTo(60, 112);
        for (int i = 1; i <= 48; i++) {
            double a = i * Math.PI / 12;
            double r = 4 + 0.55 * i;
            spiral.lineTo(46 + r * Math.cos(a), 112 + r * Math.sin(a));
        }
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.REFLECT, 30, 90, 46, 106,
                0, Palette.PURPLE, 255, Palette.ORANGE));
        s.stroke(SceneStroke.dashed(5f, SceneStroke.ROUND, new float[] {10, 6}, 0)).draw(spiral);

        Shape word = Outlines.text("Lumo", 30f, 140, 112, Outlines.spikes(140, 112, 24, 10, 8));
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.REPEAT, 100, 96, 116, 112,
                0, Palette.ORANGE, 255, Palette.RED));
        s.fill(word);

        Shape band = new RoundRectangle2D.Double(8, 152, 176, 32, 16, 16);
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.PAD, 8, 0, 184, 0,
                0, 0xFF1B2A55, 255, Palette.BLUE));
        s.fill(band);
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.REFLECT, 8, 0, 50, 0,
                0, Palette.YELLOW, 255, Palette.GREEN));
        s.stroke(4f, SceneStroke.BUTT, SceneStroke.ROUND_JOIN).draw(band);
        return s;
    }

    /** The colour at 45 percent of its brightness. */
    private static int darker(int argb) {
        int r = (argb >> 16 & 0xFF) * 45 / 100;
        int g = (argb >> 8 & 0xFF) * 45 / 100;
        int b = (argb & 0xFF) * 45 / 100;
        return argb & 0xFF000000 | r << 16 | g << 8 | b;
    }
}
