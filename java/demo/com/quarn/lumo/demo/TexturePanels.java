package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.ShapePath;
import java.awt.Shape;
import java.awt.geom.Path2D;
import java.util.List;

/** Panels that fill and stroke with textures: wrap modes and textures placed by a matrix. */
final class TexturePanels {
    private static final int RINGS = 16;

    private TexturePanels() {
    }

    static List<Panel> all() {
        Shape word = Outlines.text("Lumo", 52f, 96, 150, Outlines.spikes(96, 150, 34, 14, 8));
        return List.of(
                new SimplePanel("Texture wrap modes", TexturePanels::wrapModes,
                        label(6, 92, "repeat"), label(98, 92, "reflect"),
                        label(6, 186, "repeat x, reflect y"), label(98, 186, "edges stretched")),
                new SimplePanel("Rotated, scaled textures", TexturePanels::transformed,
                        label(6, 186, "rings, x0.75 at 30\u00b0"),
                        label(124, 186, "hearts")),
                new SimplePanel("Textured strokes and text", area -> strokes(area, word)));
    }

    /** The rings tile under each wrap mode, doubled, filling rounded squares. */
    private static void wrapModes(PanelArea area) {
        int[] wraps = {Target.wrap(Target.REPEAT, Target.REPEAT),
            Target.wrap(Target.REFLECT, Target.REFLECT),
            Target.wrap(Target.REPEAT, Target.REFLECT), Target.wrap(Target.PAD, Target.PAD)};
        try (Target rings = Target.of(RINGS, RINGS, Patterns.rings(RINGS));
                Target t = new Target(area.width, area.height, Palette.PANEL)) {
            LUMO.setHint(t.g, Target.IMAGE_FILTER, Target.BILINEAR);
            for (int i = 0; i < wraps.length; i++) {
                int x = 6 + 92 * (i % 2);
                int y = 6 + 94 * (i / 2);
                // The stretched tile sits in the middle so its edges run out on every side.
                int offset = i == 3 ? 28 : 0;
                LUMO.setTexture(t.g, rings.image,
                        new double[] {2, 0, 0, 2, x + offset, y + offset}, wraps[i]);
                LUMO.fillRoundRect(t.g, x, y, 88, 74, 18, 18);
            }
            t.show(area, 0, 0);
        }
    }

    /** A star of rings turned and shrunk, and an oval of hearts scaled up and tilted. */
    private static void transformed(PanelArea area) {
        try (Target rings = Target.of(RINGS, RINGS, Patterns.rings(RINGS));
                Target heart = Target.of(Patterns.HEART_WIDTH, Patterns.HEART_HEIGHT,
                        Patterns.heart());
                Target t = new Target(area.width, area.height, Palette.PANEL)) {
            LUMO.setHint(t.g, Target.IMAGE_FILTER, Target.BILINEAR);
            LUMO.setTexture(t.g, rings.image, Target.placed(RINGS, RINGS, 0.75, 30, 70, 80),
                    Target.wrap(Target.REFLECT, Target.REFLECT));
            ShapePath.of(Outlines.spikes(70, 82, 68, 30, 5)).fill(t.g);
            LUMO.setTexture(t.g, heart.image, Target.placed(Patterns.HEART_WIDTH,
                    Patterns.HEART_HEIGHT, 1.6, -20, 150, 120),
                    Target.wrap(Target.REPEAT, Target.REPEAT));
            LUMO.fillOval(t.g, 116, 56, 70, 114);
            LUMO.setPaint(t.g, Palette.LIGHT);
            t.stroke(2f, Target.CAP_BUTT, Target.JOIN_MITER);
            LUMO.drawOval(t.g, 116, 56, 70, 114);
            t.show(area, 0, 0);
        }
    }

    /** A wave, a ring and a rectangle stroked with rainbow stripes; text filled with rings. */
    private static void strokes(PanelArea area, Shape word) {
        try (Target rings = Target.of(RINGS, RINGS, Patterns.rings(RINGS));
                Target hues = Target.of(24, 1, Patterns.hueBands(24, 1));
                Target t = new Target(area.width, area.height, Palette.PANEL)) {
            LUMO.setHint(t.g, Target.IMAGE_FILTER, Target.BILINEAR);
            LUMO.setTexture(t.g, hues.image, Target.placed(24, 1, 3, 45, 0, 0),
                    Target.wrap(Target.REPEAT, Target.REPEAT));
            t.stroke(14f, Target.CAP_ROUND, Target.JOIN_ROUND);
            Path2D.Double wave = new Path2D.Double();
            wave.moveTo(16, 40);
            wave.curveTo(60, -10, 80, 100, 120, 50);
            wave.curveTo(140, 25, 160, 30, 176, 60);
            ShapePath.of(wave).stroke(t.g);
            LUMO.drawOval(t.g, 40, 76, 36, 36);
            LUMO.drawRect(t.g, 112, 80, 60, 28);
            // Ring centres on the middle of the word.
            LUMO.setTexture(t.g, rings.image, new double[] {2.5, 0, 0, 2.5, 96, 150},
                    Target.wrap(Target.REFLECT, Target.REFLECT));
            ShapePath.of(word).fill(t.g);
            t.show(area, 0, 0);
        }
    }
}
