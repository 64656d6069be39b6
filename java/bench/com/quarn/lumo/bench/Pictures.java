package com.quarn.lumo.bench;

import java.awt.image.BufferedImage;

/**
 * The opaque source pictures of the benchmark, as premultiplied int ARGB images: the 64 x 64
 * texture of the texture styles and the 256 x 256 picture of the image scenes. Both are a
 * checkerboard whose two kinds of cell carry different colour ramps, so that every filter has
 * edges and gradients to work on.
 */
final class Pictures {
    static final int TEXTURE_SIDE = 64;
    static final int PICTURE_SIDE = 256;

    private Pictures() {
    }

    static BufferedImage texture() {
        return checker(TEXTURE_SIDE, 8);
    }

    static BufferedImage picture() {
        return checker(PICTURE_SIDE, 16);
    }

    /** A side x side checkerboard of cell x cell squares. */
    static BufferedImage checker(int side, int cell) {
        BufferedImage image = new BufferedImage(side, side, BufferedImage.TYPE_INT_ARGB_PRE);
        for (int y = 0; y < side; y++) {
            for (int x = 0; x < side; x++) {
                int u = 255 * x / (side - 1);
                int v = 255 * y / (side - 1);
                boolean dark = ((x / cell) + (y / cell)) % 2 == 0;
                int rgb = dark ? (u << 16 | (255 - v) << 8 | 96)
                        : ((255 - u / 2) << 16 | (64 + v * 3 / 4) << 8 | (255 - u / 3));
                image.setRGB(x, y, 0xFF000000 | rgb);
            }
        }
        return image;
    }
}
