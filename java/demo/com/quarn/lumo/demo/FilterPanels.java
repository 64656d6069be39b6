package com.quarn.lumo.demo;

import java.awt.geom.AffineTransform;
import java.awt.image.BufferedImage;
import java.util.ArrayList;
import java.util.List;

/** The 16 x 12 heart magnified 3.5 times under each of the 17 settings of the image filter. */
final class FilterPanels {
    private static final String[] NAMES = {"nearest", "bilinear", "bicubic", "spline16",
        "spline36", "hanning", "hamming", "hermite", "kaiser", "quadric", "catrom", "gaussian",
        "bessel", "mitchell", "sinc", "lanczos", "blackman"};
    private static final double SCALE = 3.5;

    private FilterPanels() {
    }

    static List<Panel> all() {
        BufferedImage heart = Patterns.image(Patterns.HEART_WIDTH, Patterns.HEART_HEIGHT,
                Patterns.heart());
        return List.of(
                panel("Image filters 0-8", heart, 0, 9),
                panel("Image filters 9-16", heart, 9, 17)
                        .lacking("Its interpolation hints are nearest neighbour, bilinear"
                                + " and bicubic only."));
    }

    private static ScenePanel panel(String title, BufferedImage heart, int first, int end) {
        Scene scene = new Scene();
        List<Panel.Label> labels = new ArrayList<>();
        for (int i = 0; i < 9; i++) {
            int x = 4 + 64 * (i % 3);
            int y = 4 + 62 * (i / 3);
            if (first + i < end) {
                scene.filter(first + i).image(heart, new AffineTransform(SCALE, 0, 0, SCALE, x, y));
                labels.add(new Panel.Label(x, y + 55, NAMES[first + i]));
            } else {
                // A spare cell: the picture at its own size.
                scene.filter(Scene.NEAREST).image(heart, AffineTransform.getTranslateInstance(
                        x + 20, y + 15));
                labels.add(new Panel.Label(x, y + 55, "original"));
            }
        }
        return new ScenePanel(title, scene, labels.toArray(new Panel.Label[0]));
    }
}
