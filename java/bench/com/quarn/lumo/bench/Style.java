package com.quarn.lumo.bench;

/** How the shapes of a scene are painted. */
enum Style {
    SOLID("Solid"),
    LINEAR_GRADIENT("LinearGradient"),
    RADIAL_GRADIENT("RadialGradient"),
    TEXTURE_NN("TextureNN"),
    TEXTURE_BILINEAR("TextureBilinear");

    final String label;

    Style(String label) {
        this.label = label;
    }

    boolean textured() {
        return this == TEXTURE_NN || this == TEXTURE_BILINEAR;
    }
}
