package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import java.awt.Shape;
import java.awt.geom.Arc2D;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.util.List;

/** Panels that draw through clips: a rectangle and antialiased paths. */
final class ClipPanels {
    private ClipPanels() {
    }

    static List<Panel> all() {
        // Made here rather than while drawing: the first use of a font takes long.
        Shape text = Outlines.text("clip", 60f, 96, 50, Outlines.spikes(96, 50, 44, 20, 10));
        return List.of(
                new ScenePanel("Rectangle clip", rectangle()),
                new ScenePanel("Path clips: text and stars", paths(text),
                        label(10, 186, "aliased clip"), label(100, 186, "antialiased")));
    }

    /**
     * The same drawing twice: faint without a clip, then at full strength inside a rectangle
     * clip, whose edge is outlined afterwards without one.
     */
    private static Scene rectangle() {
        Scene s = new Scene();
        s.composite(3, 0.22f);
        scene(s);
        s.composite(3, 1f).clipRect(34, 30, 158, 150);
        scene(s);
        s.noClip().colour(Palette.LIGHT);
        s.stroke(SceneStroke.dashed(1f, SceneStroke.BUTT, new float[] {4, 3}, 0));
        s.draw(new Rectangle2D.Double(34, 30, 124, 120));
        return s;
    }

    /** Discs, a pie and a thick stroked star spread over the whole panel. */
    private static void scene(Scene s) {
        s.colour(Palette.BLUE).fill(new Ellipse2D.Double(4, 4, 84, 84));
        s.colour(Palette.ORANGE).fill(new Arc2D.Double(104, 100, 84, 84, -30, 300, Arc2D.PIE));
        s.colour(Palette.GREEN).fill(new RoundRectangle2D.Double(110, 8, 76, 60, 20, 20));
        s.stroke(10f, SceneStroke.ROUND, SceneStroke.ROUND_JOIN).colour(Palette.YELLOW);
        s.draw(Outlines.star(60, 132, 52, 5, 2, Path2D.WIND_NON_ZERO));
    }

    /**
     * Text outlines as an antialiased clip over stripes and a gradient; below, the same star
     * clip over stripes with clip antialiasing off and on.
     */
    private static Scene paths(Shape text) {
        Scene s = new Scene();
        s.clip(text, true);
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.REFLECT, 16, 0, 176, 0,
                0, Palette.PURPLE, 128, Palette.BLUE, 255, Palette.GREEN));
        s.fill(new Rectangle2D.Double(0, 0, 192, 100));
        stripes(s, 0, 0, 192, 100, 0x60FFFFFF);

        for (int side = 0; side < 2; side++) {
            double cx = 48 + 96 * side;
            s.clip(Outlines.spikes(cx, 134, 42, 18, 6), side == 1);
            s.colour(Palette.ORANGE).fill(new Rectangle2D.Double(cx - 48, 88, 96, 92));
            stripes(s, (int) cx - 48, 88, 96, 92, Palette.YELLOW);
        }
        s.noClip();
        return s;
    }

    /** Diagonal stripes over the rectangle at (x, y), drawn with whatever clip is set. */
    private static void stripes(Scene s, int x, int y, int w, int h, int argb) {
        s.colour(argb).stroke(4f, SceneStroke.BUTT, SceneStroke.MITER);
        for (int d = -h; d < w; d += 12) {
            s.draw(new Line2D.Double(x + d, y + h, x + d + h, y));
        }
    }
}
