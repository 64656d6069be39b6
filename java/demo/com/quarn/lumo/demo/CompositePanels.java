package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import java.awt.geom.Ellipse2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.util.ArrayList;
import java.util.List;

/**
 * Translucent paint, and three panels of the 26 blend operations in the library's order. Each
 * cell is a transparent layer holding a destination disc, onto which a source square is drawn
 * with the cell's operation; the layer is then laid over a checkerboard, so whatever turned
 * transparent shows.
 */
final class CompositePanels {
    private static final String[] NAMES = {"clear", "src", "dst", "src-over", "dst-over",
        "src-in", "dst-in", "src-out", "dst-out", "src-atop", "dst-atop", "xor", "plus",
        "minus", "multiply", "screen", "overlay", "darken", "lighten", "color-dodge",
        "color-burn", "hard-light", "soft-light", "difference", "exclusion", "contrast"};
    /** The composite rule of each operation: AlphaComposite's numbers, then 13..26. */
    private static final int[] RULES = {1, 2, 9, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16,
        17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
    private static final int CELL_WIDTH = 60;
    private static final int CELL_HEIGHT = 44;
    private static final int PITCH_X = 64;
    private static final int PITCH_Y = 62;

    private CompositePanels() {
    }

    static List<Panel> all() {
        return List.of(
                new ScenePanel("Translucent paint, alpha", translucency(),
                        label(6, 96, "colours of alpha 0.5"),
                        label(6, 186, "composite alpha 0.2, 0.4 ... 1")),
                panel("Blend operations 0-8", 0, 9, -1),
                panel("Blend operations 9-17", 9, 18, -1),
                panel("Blend operations 18-25", 18, 26, 3)
                        .lacking("Its composites are the twelve Porter-Duff rules; these"
                                + " blend modes are not among them."));
    }

    /**
     * The operations from {@code first} up to {@code end}, three to a row; {@code extraRule},
     * when not -1, fills the last cell with that rule at half alpha.
     */
    private static ScenePanel panel(String title, int first, int end, int extraRule) {
        Scene scene = new Scene();
        List<Panel.Label> labels = new ArrayList<>();
        int cells = end - first + (extraRule >= 0 ? 1 : 0);
        for (int i = 0; i < cells; i++) {
            int x = 2 + PITCH_X * (i % 3);
            int y = 2 + PITCH_Y * (i / 3);
            boolean extra = first + i >= end;
            int rule = extra ? extraRule : RULES[first + i];
            scene.checkerboard(x, y, CELL_WIDTH, CELL_HEIGHT, 6);
            scene.layer(x, y, CELL_WIDTH, CELL_HEIGHT, cell(rule, extra ? 0.5f : 1f));
            labels.add(new Panel.Label(x + 1, y + CELL_HEIGHT + 12,
                    extra ? "src-over 50%" : NAMES[first + i]));
        }
        return new ScenePanel(title, scene, labels.toArray(new Panel.Label[0]));
    }

    /**
     * A disc shading from blue to yellow, then a square shading from opaque orange to
     * translucent purple drawn onto it with the rule.
     */
    private static Scene cell(int rule, float alpha) {
        Scene s = new Scene(0);
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.PAD, 6, 0, 38, 0,
                0, Palette.BLUE, 255, Palette.YELLOW));
        s.fill(new Ellipse2D.Double(5, 3, 34, 34));
        s.composite(rule, alpha);
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.PAD, 0, 12, 0, 42,
                0, Palette.ORANGE, 255, 0xA0A77BE0));
        s.fill(new RoundRectangle2D.Double(22, 12, 34, 30, 8, 8));
        return s;
    }

    /**
     * Three discs of half-transparent colour overlapping; a row of squares drawn at composite
     * alpha 0.2 to 1; the same squares with translucent colours at those alphas, over stripes.
     */
    private static Scene translucency() {
        Scene s = new Scene();
        int[] colours = {0xA0E0524A, 0xA06CC070, 0xA04C9BE8};
        double[][] centres = {{72, 34}, {96, 62}, {120, 34}};
        for (int i = 0; i < 3; i++) {
            s.colour(colours[i]).fill(new Ellipse2D.Double(centres[i][0] - 30,
                    centres[i][1] - 30, 60, 60));
        }
        s.colour(Palette.TRACK);
        for (int x = 0; x < 192; x += 16) {
            s.fill(new Rectangle2D.Double(x, 100, 8, 74));
        }
        for (int i = 0; i < 5; i++) {
            float alpha = 0.2f * (i + 1);
            s.composite(3, alpha).colour(Palette.ORANGE);
            s.fill(new RoundRectangle2D.Double(6 + 37 * i, 104, 32, 30, 8, 8));
            s.colour(0x80A77BE0).fill(new RoundRectangle2D.Double(6 + 37 * i, 140, 32, 30, 8,
                    8));
        }
        return s.composite(3, 1f);
    }
}
