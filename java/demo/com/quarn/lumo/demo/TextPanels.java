package com.quarn.lumo.demo;

import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.util.List;

/** A panel of text outlines: sizes from small to large, turned text and outlined text. */
final class TextPanels {
    private TextPanels() {
    }

    static List<Panel> all() {
        return List.of(new ScenePanel("Text outlines", text()));
    }

    /**
     * Lines of text at 9 to 22 pixels, where antialiasing decides legibility; a line turned by
     * 20 degrees; large text filled with a gradient and outlined. Text is drawn from glyph
     * outlines, so it falls back to stars without fonts.
     */
    private static Scene text() {
        Scene s = new Scene();
        int[] sizes = {9, 11, 14, 18, 22};
        int y = 16;
        for (int size : sizes) {
            s.colour(Palette.LIGHT).fill(line(size + "px quick fox", size, 8, y));
            y += size + 5;
        }
        Shape turned = line("turned 20\u00b0", 14, 0, 0);
        AffineTransform at = AffineTransform.getTranslateInstance(100, 142);
        at.rotate(Math.toRadians(-20));
        s.transform(at).colour(Palette.YELLOW).fill(turned).transform(null);

        Shape big = Outlines.text("Ag", 46f, 48, 150, Outlines.spikes(48, 150, 22, 10, 6));
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.PAD, 0, 128, 0, 170,
                0, Palette.ORANGE, 255, Palette.RED));
        s.fill(big);
        s.colour(Palette.LIGHT).stroke(1.5f, SceneStroke.BUTT, SceneStroke.ROUND_JOIN).draw(big);
        return s;
    }

    /** Text of {@code size} pixels whose baseline starts at (x, y); a star without fonts. */
    private static Shape line(String text, int size, double x, double y) {
        Shape outline = Outlines.line(text, size, x, y);
        return outline != null ? outline
                : Outlines.spikes(x + size / 2.0, y - size / 2.0, size / 2.0, size / 4.0, 5);
    }
}
