package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.ShapePath;
import java.awt.Shape;
import java.awt.geom.Path2D;
import java.util.List;

/** Panels that draw through clips: a rectangle and antialiased paths. */
final class ClipPanels {
    private ClipPanels() {
    }

    static List<Panel> all() {
        // Made here rather than while drawing: the first use of a font takes long.
        Shape text = Outlines.text("clip", 60f, 96, 50, Outlines.spikes(96, 50, 44, 20, 10));
        return List.of(
                new SimplePanel("Rectangle clip", ClipPanels::rectangle),
                new SimplePanel("Path clips: text and stars", area -> paths(area, text),
                        label(10, 186, "aliased clip"), label(100, 186, "antialiased")));
    }

    /**
     * The same drawing twice: faint without a clip, then at full strength inside a rectangle
     * clip, whose edge is outlined afterwards without one.
     */
    private static void rectangle(PanelArea area) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            LUMO.setComposite(t.g, Target.SOURCE_OVER, 0.22f);
            scene(t);
            LUMO.setComposite(t.g, Target.SOURCE_OVER, 1f);
            t.clipRect(34, 30, 158, 150);
            scene(t);
            t.noClip();
            LUMO.setPaint(t.g, Palette.LIGHT);
            t.dashed(1f, Target.CAP_BUTT, new float[] {4, 3}, 0);
            LUMO.drawRect(t.g, 34, 30, 124, 120);
            t.show(area, 0, 0);
        }
    }

    /** Discs, a pie and a thick stroked star spread over the whole panel. */
    private static void scene(Target t) {
        LUMO.setPaint(t.g, Palette.BLUE);
        LUMO.fillOval(t.g, 4, 4, 84, 84);
        LUMO.setPaint(t.g, Palette.ORANGE);
        LUMO.fillArc(t.g, 104, 100, 84, 84, 30, 300);
        LUMO.setPaint(t.g, Palette.GREEN);
        LUMO.fillRoundRect(t.g, 110, 8, 76, 60, 20, 20);
        t.stroke(10f, Target.CAP_ROUND, Target.JOIN_ROUND);
        LUMO.setPaint(t.g, Palette.YELLOW);
        ShapePath.of(Outlines.star(60, 132, 52, 5, 2, Path2D.WIND_NON_ZERO)).stroke(t.g);
    }

    /**
     * Text outlines as an antialiased clip over stripes and a gradient; below, the same star
     * clip over stripes with clip antialiasing off and on.
     */
    private static void paths(PanelArea area, Shape text) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            LUMO.setHint(t.g, Target.CLIP_ANTIALIAS, 1);
            ShapePath.of(text).clip(t.g);
            t.gradient(Target.LINEAR, Target.REFLECT, 16, 0, 176, 0, 0, Palette.PURPLE,
                    128, Palette.BLUE, 255, Palette.GREEN);
            LUMO.fillRect(t.g, 0, 0, 192, 100);
            stripes(t, 0, 0, 192, 100, 0x60FFFFFF);
            t.noClip();

            for (int side = 0; side < 2; side++) {
                double cx = 48 + 96 * side;
                LUMO.setHint(t.g, Target.CLIP_ANTIALIAS, side);
                ShapePath.of(Outlines.spikes(cx, 134, 42, 18, 6)).clip(t.g);
                LUMO.setPaint(t.g, Palette.ORANGE);
                LUMO.fillRect(t.g, (int) cx - 48, 88, 96, 92);
                stripes(t, (int) cx - 48, 88, 96, 92, Palette.YELLOW);
                t.noClip();
            }
            t.show(area, 0, 0);
        }
    }

    /** Diagonal stripes over the rectangle at (x, y), drawn with whatever clip is set. */
    private static void stripes(Target t, int x, int y, int w, int h, int argb) {
        LUMO.setPaint(t.g, argb);
        t.stroke(4f, Target.CAP_BUTT, Target.JOIN_MITER);
        for (int d = -h; d < w; d += 12) {
            LUMO.drawLine(t.g, x + d, y + h, x + d + h, y);
        }
    }
}
