package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.awt.image.BufferedImage;
import java.util.List;

/** Panels that fill and stroke with textures: wrap modes and textures placed by a matrix. */
final class TexturePanels {
    private static final int RINGS = 16;

    private TexturePanels() {
    }

    static List<Panel> all() {
        Shape word = Outlines.text("Lumo", 52f, 96, 150, Outlines.spikes(96, 150, 34, 14, 8));
        BufferedImage rings = Patterns.image(RINGS, RINGS, Patterns.rings(RINGS));
        BufferedImage heart = Patterns.image(Patterns.HEART_WIDTH, Patterns.HEART_HEIGHT,
                Patterns.heart());
        BufferedImage hues = Patterns.image(24, 1, Patterns.hueBands(24, 1));
        return List.of(
                new ScenePanel("Texture wrap modes", wrapModes(rings),
                        label(6, 92, "repeat"), label(98, 92, "reflect"),
                        label(6, 186, "repeat x, reflect y"), label(98, 186, "edges stretched")),
                new ScenePanel("Rotated, scaled textures", transformed(rings, heart),
                        label(6, 186, "rings, x0.75 at 30\u00b0"), label(124, 186, "hearts")),
                new ScenePanel("Textured strokes and text", strokes(rings, hues, word)));
    }

    /** The rings tile under each wrap mode, doubled, filling rounded squares. */
    private static Scene wrapModes(BufferedImage rings) {
        int[][] wraps = {{ScenePaint.REPEAT, ScenePaint.REPEAT},
            {ScenePaint.REFLECT, ScenePaint.REFLECT}, {ScenePaint.REPEAT, ScenePaint.REFLECT},
            {ScenePaint.PAD, ScenePaint.PAD}};
        Scene s = new Scene();
        for (int i = 0; i < wraps.length; i++) {
            int x = 6 + 92 * (i % 2);
            int y = 6 + 94 * (i / 2);
            // The stretched tile sits in the middle so its edges run out on every side.
            int offset = i == 3 ? 28 : 0;
            s.paint(ScenePaint.texture(rings, new AffineTransform(2, 0, 0, 2, x + offset,
                    y + offset), wraps[i][0], wraps[i][1], Scene.BILINEAR));
            s.fill(new RoundRectangle2D.Double(x, y, 88, 74, 18, 18));
        }
        return s;
    }

    /** A star of rings turned and shrunk, and an oval of hearts scaled up and tilted. */
    private static Scene transformed(BufferedImage rings, BufferedImage heart) {
        Scene s = new Scene();
        s.paint(ScenePaint.texture(rings, placed(RINGS, RINGS, 0.75, 30, 70, 80),
                ScenePaint.REFLECT, ScenePaint.REFLECT, Scene.BILINEAR));
        s.fill(Outlines.spikes(70, 82, 68, 30, 5));
        s.paint(ScenePaint.texture(heart, placed(Patterns.HEART_WIDTH, Patterns.HEART_HEIGHT,
                1.6, -20, 150, 120), ScenePaint.REPEAT, ScenePaint.REPEAT, Scene.BILINEAR));
        Shape oval = new Ellipse2D.Double(116, 56, 70, 114);
        s.fill(oval);
        s.colour(Palette.LIGHT).stroke(2f, SceneStroke.BUTT, SceneStroke.MITER).draw(oval);
        return s;
    }

    /** A wave, a ring and a rectangle stroked with rainbow stripes; text filled with rings. */
    private static Scene strokes(BufferedImage rings, BufferedImage hues, Shape word) {
        Scene s = new Scene();
        s.paint(ScenePaint.texture(hues, placed(24, 1, 3, 45, 0, 0), ScenePaint.REPEAT,
                ScenePaint.REPEAT, Scene.BILINEAR));
        s.stroke(14f, SceneStroke.ROUND, SceneStroke.ROUND_JOIN);
        Path2D.Double wave = new Path2D.Double();
        wave.moveTo(16, 40);
        wave.curveTo(60, -10, 80, 100, 120, 50);
        wave.curveTo(140, 25, 160, 30, 176, 60);
        s.draw(wave);
        s.draw(new Ellipse2D.Double(40, 76, 36, 36));
        s.draw(new Rectangle2D.Double(112, 80, 60, 28));
        // Ring centres on the middle of the word.
        s.paint(ScenePaint.texture(rings, new AffineTransform(2.5, 0, 0, 2.5, 96, 150),
                ScenePaint.REFLECT, ScenePaint.REFLECT, Scene.BILINEAR));
        s.fill(word);
        return s;
    }

    /** {@link Target#placed} as a transform. */
    static AffineTransform placed(int w, int h, double scale, double degrees, double cx,
            double cy) {
        return new AffineTransform(Target.placed(w, h, scale, degrees, cx, cy));
    }
}
