package com.quarn.lumo;

import com.quarn.lumo.internal.LUMO;
import java.awt.AlphaComposite;

/**
 * One outline filled antialiased in one colour into a small premultiplied native image, drawn
 * later as an image copy at whole device pixels. Its native memory goes when nothing refers to
 * it any more.
 */
final class CoverageImage {
    private static final int ANTIALIAS = 1;

    /** An image covering no pixel: nothing to draw. */
    static final CoverageImage BLANK = new CoverageImage(0, 0, 0, 0);

    /** Where the image's top-left corner lies from the point it is placed at. */
    final int x;
    final int y;
    /** The native image, 0 for an outline that covers no pixel. */
    final int image;
    /** The image's size in pixels, what a cache budgets. */
    final long pixels;

    private CoverageImage(int x, int y, int image, long pixels) {
        this.x = x;
        this.y = y;
        this.image = image;
        this.pixels = pixels;
    }

    /** The native buffer and image, deleted once the image is unreachable. */
    private static final class Release implements Runnable {
        private final int buffer;
        private final int image;

        Release(int buffer, int image) {
            this.buffer = buffer;
            this.image = image;
        }

        @Override
        public void run() {
            LUMO.deleteNativeImage(image);
            LUMO.deleteDataBuffer(buffer);
        }
    }

    /**
     * The image of {@code path} mapped by {@code matrix} (m00, m10, m01, m11, m02, m12) and
     * filled in {@code argb}, with pixels {@code (x, y)} to {@code (x + w, y + h)} of that
     * space; null when the native objects cannot be made.
     */
    static CoverageImage render(PathBuffer path, double[] matrix, int argb, int x, int y, int w,
            int h) {
        int buffer = LUMO.createDataBuffer(w, h, 0);
        int image = buffer == 0 ? 0 : LUMO.createNativeImage(buffer);
        int g = image == 0 ? 0 : LUMO.createGraphics(image);
        if (g == 0) {
            LUMO.deleteNativeImage(image);
            LUMO.deleteDataBuffer(buffer);
            return null;
        }
        LUMO.setComposite(g, AlphaComposite.SRC_OVER, 1f);
        LUMO.setPaint(g, argb);
        LUMO.setHint(g, ANTIALIAS, 1);
        LUMO.setTransform(g, new double[] {matrix[0], matrix[1], matrix[2], matrix[3],
            matrix[4] - x, matrix[5] - y});
        path.draw(g, PathBuffer.FILL);
        LUMO.deleteGraphics(g);
        CoverageImage c = new CoverageImage(x, y, image, (long) w * h);
        LumoSurface.CLEANER.register(c, new Release(buffer, image));
        return c;
    }
}
