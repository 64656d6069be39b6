package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import java.awt.geom.Line2D;
import java.awt.geom.Rectangle2D;
import java.awt.image.BufferedImage;
import java.util.List;

/** Panels that draw one image into another: rotation, clips, alpha and a blend mode. */
final class ImagePanels {
    private static final int W = Patterns.HEART_WIDTH;
    private static final int H = Patterns.HEART_HEIGHT;

    private ImagePanels() {
    }

    static List<Panel> all() {
        BufferedImage heart = Patterns.image(W, H, Patterns.heart());
        BufferedImage bare = Patterns.image(W, H, Patterns.heart(0));
        return List.of(
                new ScenePanel("Rotated images", rotated(heart, bare)),
                new ScenePanel("Images: clips and alpha", clipsAndAlpha(heart),
                        label(6, 186, "60% alpha"), label(100, 186, "multiply")));
    }

    /**
     * A ring of hearts without their background, turned to follow the circle, around a larger
     * tilted one with it; bicubic.
     */
    private static Scene rotated(BufferedImage heart, BufferedImage bare) {
        Scene s = new Scene();
        s.filter(Scene.BICUBIC);
        for (int k = 0; k < 10; k++) {
            double a = 36 * k;
            double r = Math.toRadians(a);
            s.image(bare, TexturePanels.placed(W, H, 2.6, a + 90, 96 + 72 * Math.cos(r),
                    96 + 72 * Math.sin(r)));
        }
        s.image(heart, TexturePanels.placed(W, H, 5, -18, 96, 96));
        return s;
    }

    /**
     * Above, the heart through a clip shaped like a seal; below, at 60% alpha over stripes
     * and with the multiply rule over a gradient.
     */
    private static Scene clipsAndAlpha(BufferedImage heart) {
        Scene s = new Scene();
        s.clip(Outlines.spikes(96, 56, 50, 42, 14), true);
        s.image(heart, TexturePanels.placed(W, H, 8, 0, 96, 56));

        s.clipRect(6, 118, 92, 174).colour(Palette.BLUE);
        s.stroke(5f, SceneStroke.BUTT, SceneStroke.MITER);
        for (int x = -60; x < 90; x += 12) {
            s.draw(new Line2D.Double(6 + x, 174, 62 + x, 118));
        }
        s.noClip();
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.PAD, 100, 0, 186, 0,
                0, Palette.YELLOW, 255, Palette.GREEN));
        s.fill(new Rectangle2D.Double(100, 118, 86, 56));
        s.composite(3, 0.6f).image(heart, TexturePanels.placed(W, H, 5, 0, 50, 146));
        s.composite(15, 1f).image(heart, TexturePanels.placed(W, H, 5, 0, 143, 146));
        return s;
    }
}
