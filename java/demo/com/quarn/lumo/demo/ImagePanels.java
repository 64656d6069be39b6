package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.ShapePath;
import java.util.List;

/** Panels that draw one render target into another: filters, rotation, clips and alpha. */
final class ImagePanels {
    private static final int W = Patterns.HEART_WIDTH;
    private static final int H = Patterns.HEART_HEIGHT;

    private ImagePanels() {
    }

    static List<Panel> all() {
        return List.of(
                new SimplePanel("Image filters at 5.5x", ImagePanels::filters,
                        label(6, 13, "nearest"), label(98, 13, "bilinear"),
                        label(6, 109, "bicubic"), label(98, 109, "lanczos")),
                new SimplePanel("Rotated images", ImagePanels::rotated),
                new SimplePanel("Images under clips and alpha", ImagePanels::clipsAndAlpha,
                        label(6, 186, "60% alpha"), label(100, 186, "multiply")));
    }

    /** The 16 x 12 heart magnified with four of the filters. */
    private static void filters(PanelArea area) {
        int[] filters = {Target.NEAREST, Target.BILINEAR, Target.BICUBIC, Target.LANCZOS};
        try (Target heart = Target.of(W, H, Patterns.heart());
                Target t = new Target(area.width, area.height, Palette.PANEL)) {
            for (int i = 0; i < filters.length; i++) {
                LUMO.setHint(t.g, Target.IMAGE_FILTER, filters[i]);
                LUMO.drawImage(t.g, heart.image,
                        new double[] {5.5, 0, 0, 5.5, 6 + 92 * (i % 2), 18 + 96 * (i / 2)});
            }
            t.show(area, 0, 0);
        }
    }

    /**
     * A ring of hearts without their background, turned to follow the circle, around a larger
     * tilted one with it; bicubic.
     */
    private static void rotated(PanelArea area) {
        try (Target heart = Target.of(W, H, Patterns.heart());
                Target bare = Target.of(W, H, Patterns.heart(0));
                Target t = new Target(area.width, area.height, Palette.PANEL)) {
            LUMO.setHint(t.g, Target.IMAGE_FILTER, Target.BICUBIC);
            for (int k = 0; k < 10; k++) {
                double a = 36 * k;
                double r = Math.toRadians(a);
                LUMO.drawImage(t.g, bare.image, Target.placed(W, H, 2.6, a + 90,
                        96 + 72 * Math.cos(r), 96 + 72 * Math.sin(r)));
            }
            LUMO.drawImage(t.g, heart.image, Target.placed(W, H, 5, -18, 96, 96));
            t.show(area, 0, 0);
        }
    }

    /**
     * Above, the heart through a clip shaped like a seal; below, at 60% alpha over stripes
     * and with the multiply rule over a gradient.
     */
    private static void clipsAndAlpha(PanelArea area) {
        try (Target heart = Target.of(W, H, Patterns.heart());
                Target t = new Target(area.width, area.height, Palette.PANEL)) {
            LUMO.setHint(t.g, Target.CLIP_ANTIALIAS, 1);
            ShapePath.of(Outlines.spikes(96, 56, 50, 42, 14)).clip(t.g);
            LUMO.drawImage(t.g, heart.image, Target.placed(W, H, 8, 0, 96, 56));
            t.noClip();

            t.clipRect(6, 118, 92, 174);
            LUMO.setPaint(t.g, Palette.BLUE);
            t.stroke(5f, Target.CAP_BUTT, Target.JOIN_MITER);
            for (int x = -60; x < 90; x += 12) {
                LUMO.drawLine(t.g, 6 + x, 174, 62 + x, 118);
            }
            t.noClip();
            t.gradient(Target.LINEAR, Target.PAD, 100, 0, 186, 0, 0, Palette.YELLOW,
                    255, Palette.GREEN);
            LUMO.fillRect(t.g, 100, 118, 86, 56);
            LUMO.setComposite(t.g, Target.SOURCE_OVER, 0.6f);
            LUMO.drawImage(t.g, heart.image, Target.placed(W, H, 5, 0, 50, 146));
            LUMO.setComposite(t.g, Target.MULTIPLY, 1f);
            LUMO.drawImage(t.g, heart.image, Target.placed(W, H, 5, 0, 143, 146));
            t.show(area, 0, 0);
        }
    }
}
