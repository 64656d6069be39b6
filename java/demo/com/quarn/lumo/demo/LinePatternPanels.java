package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.ShapePath;
import java.awt.geom.Path2D;
import java.util.List;

/** Panels that draw outlines with a line pattern: an image that runs along each line. */
final class LinePatternPanels {
    private static final int PW = 28;
    private static final int PH = 10;
    private static final String LACKING = "Its strokes are filled with a paint; no image runs"
            + " along them.";

    private LinePatternPanels() {
    }

    static List<Panel> all() {
        return List.of(
                new SimplePanel("Line patterns", LinePatternPanels::shapes).lacking(LACKING),
                new SimplePanel("Line patterns: paths, clip", LinePatternPanels::paths,
                        label(6, 186, "curves"), label(100, 186, "through a star clip"))
                        .lacking(LACKING));
    }

    /** A grid behind, so the transparent gaps of the pattern show. */
    private static void grid(Target t, int x0, int y0, int x1, int y1) {
        LUMO.setPaint(t.g, Palette.TRACK);
        t.stroke(1f, Target.CAP_BUTT, Target.JOIN_MITER);
        for (int x = x0; x <= x1; x += 12) {
            LUMO.drawLine(t.g, x, y0, x, y1);
        }
        for (int y = y0; y <= y1; y += 12) {
            LUMO.drawLine(t.g, x0, y, x1, y);
        }
    }

    /** Chevrons along a line, a rectangle, an oval and a polyline. */
    private static void shapes(PanelArea area) {
        try (Target pattern = Target.of(PW, PH, Patterns.chevrons(PW, PH));
                Target t = new Target(area.width, area.height, Palette.PANEL)) {
            grid(t, 0, 0, 192, 192);
            LUMO.setHint(t.g, Target.IMAGE_FILTER, Target.BILINEAR);
            LUMO.setLinePattern(t.g, pattern.image, 0, 0, 0);
            LUMO.drawLine(t.g, 14, 70, 178, 14);
            LUMO.drawRect(t.g, 14, 92, 70, 84);
            LUMO.drawOval(t.g, 104, 38, 74, 62);
            LUMO.drawPolyline(t.g, 5, new int[] {104, 124, 144, 164, 180},
                    new int[] {176, 116, 164, 120, 170});
            t.show(area, 0, 0);
        }
    }

    /** A spiral and an S curve, then lines through a star clip. */
    private static void paths(PanelArea area) {
        try (Target pattern = Target.of(PW, PH, Patterns.chevrons(PW, PH));
                Target t = new Target(area.width, area.height, Palette.PANEL)) {
            grid(t, 0, 0, 192, 192);
            LUMO.setHint(t.g, Target.IMAGE_FILTER, Target.BILINEAR);
            LUMO.setLinePattern(t.g, pattern.image, 0, 0, 0);
            Path2D.Double spiral = new Path2D.Double();
            spiral.moveTo(60, 86);
            for (int i = 1; i <= 64; i++) {
                double a = i * Math.PI / 16;
                double r = 12 + 0.45 * i;
                spiral.lineTo(48 + r * Math.cos(a), 86 + r * Math.sin(a));
            }
            ShapePath.of(spiral).stroke(t.g);
            Path2D.Double s = new Path2D.Double();
            s.moveTo(110, 20);
            s.curveTo(210, 30, 80, 70, 180, 90);
            ShapePath.of(s).stroke(t.g);

            LUMO.setHint(t.g, Target.CLIP_ANTIALIAS, 1);
            ShapePath.of(Outlines.spikes(144, 136, 44, 20, 5)).clip(t.g);
            for (int y = 96; y < 184; y += 12) {
                LUMO.drawLine(t.g, 96, y, 192, y + 10);
            }
            t.noClip();
            t.show(area, 0, 0);
        }
    }
}
