package com.quarn.lumo;

import java.awt.Font;

/**
 * Glyphs drawn once into small premultiplied images of one colour under one device scale, and
 * shared by every graphics; text then draws as image copies at whole device pixels, as Java 2D
 * blits its cached glyph images. The least recently used are dropped beyond a few thousand; an
 * image's native memory goes when nothing refers to it any more.
 */
final class GlyphImages {
    private static final int CAPACITY = 4096;
    /** The cache drops glyphs beyond this many pixels in all (16 MB). */
    private static final long PIXEL_BUDGET = 4L << 20;
    /** Glyphs larger than this many device pixels across are filled as outlines instead. */
    static final int MAX_SIZE = 160;

    private record Key(Font font, int code, double m00, double m10, double m01, double m11,
            int argb) {
    }

    private static final ImageCache<Key, CoverageImage> GLYPHS =
            new ImageCache<>(CAPACITY, PIXEL_BUDGET, c -> c.pixels);

    private GlyphImages() {
    }

    /**
     * Glyph {@code code} of {@code font} under the linear map {@code m} (m00, m10, m01, m11),
     * antialiased, in colour {@code argb}; null when it is too large to keep as an
     * image or cannot be made.
     */
    static CoverageImage glyph(Font font, int code, double[] m, int argb) {
        Key key = new Key(font, code, m[0], m[1], m[2], m[3], argb);
        CoverageImage g = GLYPHS.get(key);
        if (g != null) {
            return g;
        }
        g = render(GlyphCache.outline(font, code), m, argb);
        if (g != null) {
            GLYPHS.put(key, g);
        }
        return g;
    }

    private static CoverageImage render(GlyphCache.Outline o, double[] m, int argb) {
        double[] c = o.coords;
        if (c.length == 0) {
            return CoverageImage.BLANK;
        }
        // Control points bound the curves they shape.
        double minX = Double.POSITIVE_INFINITY;
        double minY = Double.POSITIVE_INFINITY;
        double maxX = Double.NEGATIVE_INFINITY;
        double maxY = Double.NEGATIVE_INFINITY;
        for (int i = 0; i + 1 < c.length; i += 2) {
            double x = m[0] * c[i] + m[2] * c[i + 1];
            double y = m[1] * c[i] + m[3] * c[i + 1];
            minX = Math.min(minX, x);
            minY = Math.min(minY, y);
            maxX = Math.max(maxX, x);
            maxY = Math.max(maxY, y);
        }
        if (!(maxX - minX <= MAX_SIZE) || !(maxY - minY <= MAX_SIZE)) {
            return null;
        }
        int x0 = (int) Math.floor(minX) - 1;
        int y0 = (int) Math.floor(minY) - 1;
        int w = (int) Math.ceil(maxX) + 1 - x0;
        int h = (int) Math.ceil(maxY) + 1 - y0;
        PathBuffer path = new PathBuffer();
        path.append(o.types, o.coords, o.curves, 0, 0);
        path.setNonZero(true);
        return CoverageImage.render(path, new double[] {m[0], m[1], m[2], m[3], 0, 0}, argb,
                x0, y0, w, h);
    }
}
