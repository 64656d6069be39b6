package com.quarn.lumo.bench;

import java.awt.RenderingHints;

/**
 * The image scenes: the 256 x 256 picture scaled by 1.7 about the canvas origin and moved by
 * a random fractional offset, drawn with one filter. Their indices follow the shape scenes.
 */
enum ImageScene {
    DRAW_IMAGE_BILINEAR("DrawImageBilinear", LumoCanvas.FILTER_BILINEAR,
            RenderingHints.VALUE_INTERPOLATION_BILINEAR),
    DRAW_IMAGE_BICUBIC("DrawImageBicubic", LumoCanvas.FILTER_BICUBIC,
            RenderingHints.VALUE_INTERPOLATION_BICUBIC);

    static final double SCALE = 1.7;

    final String label;
    /** The library's image-filter hint value. */
    final int lumoFilter;
    /** Java 2D's interpolation hint value. */
    final Object javaInterpolation;

    ImageScene(String label, int lumoFilter, Object javaInterpolation) {
        this.label = label;
        this.lumoFilter = lumoFilter;
        this.javaInterpolation = javaInterpolation;
    }

    /** The index that seeds the scene's random numbers. */
    int index() {
        return Scene.values().length + ordinal();
    }
}
