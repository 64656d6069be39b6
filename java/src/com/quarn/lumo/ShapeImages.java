package com.quarn.lumo;

import java.awt.geom.AffineTransform;
import java.util.Arrays;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * Small outlines that come back, such as the glyphs a PDF renderer fills one by one as shapes,
 * kept as coverage images in one colour and drawn as image copies instead of being filled
 * again. An outline is recognised by its segments and its device coordinates relative to its
 * first point (to 1/256 pixel, the rasteriser's own precision), so the same shape at another
 * place matches. Its image is made at the eighth of a pixel nearest the place it is drawn at,
 * so a cached outline lands at most 1/16 pixel from where a fill would put it along each axis.
 * An outline is only made an image the second time it is seen: shapes drawn once cost a
 * look-up, not an image. The least recently used images are dropped beyond a pixel budget.
 */
final class ShapeImages {
    /** Outlines spanning more device pixels than this either way are filled. */
    static final int MAX_SIZE = 64;
    /** Outlines of more coordinates than this are filled. */
    private static final int MAX_COORDINATES = 512;
    /** Sub-pixel places an image is made for, along each axis. */
    private static final int PHASES = 8;
    /** Key coordinates are kept to this fraction of a pixel. */
    private static final double GRID = 256;
    private static final int SEEN_CAPACITY = 8192;
    private static final int CAPACITY = 2048;
    /** The cache drops images beyond this many pixels in all (16 MB). */
    private static final long PIXEL_BUDGET = 4L << 20;

    /** An outline in one colour, at sub-pixel place {@code phase} (-1 for any place). */
    private static final class Key {
        final byte[] types;
        final int[] coords;
        final boolean nonZero;
        final int argb;
        final int phase;
        final int hash;

        Key(byte[] types, int[] coords, boolean nonZero, int argb, int phase) {
            this.types = types;
            this.coords = coords;
            this.nonZero = nonZero;
            this.argb = argb;
            this.phase = phase;
            this.hash = ((Arrays.hashCode(coords) * 31 + Arrays.hashCode(types)) * 31 + argb)
                    * 31 + (nonZero ? 1 : 0) * 17 + phase;
        }

        Key at(int place) {
            return new Key(types, coords, nonZero, argb, place);
        }

        /**
         * A 64-bit digest of the outline and colour, all an outline seen once keeps: two
         * outlines of the same digest only make an image one sighting early.
         */
        long digest() {
            long h = argb * 31L + (nonZero ? 1 : 0);
            for (int c : coords) {
                h = (h ^ c) * 0x9E3779B97F4A7C15L;
            }
            for (byte t : types) {
                h = (h ^ t) * 0x9E3779B97F4A7C15L;
            }
            return h ^ (h >>> 29);
        }

        @Override
        public int hashCode() {
            return hash;
        }

        @Override
        public boolean equals(Object o) {
            if (!(o instanceof Key)) {
                return false;
            }
            Key k = (Key) o;
            return hash == k.hash && argb == k.argb && phase == k.phase && nonZero == k.nonZero
                    && Arrays.equals(coords, k.coords) && Arrays.equals(types, k.types);
        }
    }

    /** Digests of the outlines seen, most recent last. */
    private static final Map<Long, Boolean> SEEN =
            new LinkedHashMap<>(256, 0.75f, true) {
                @Override
                protected boolean removeEldestEntry(Map.Entry<Long, Boolean> eldest) {
                    return size() > SEEN_CAPACITY;
                }
            };

    private static final Map<Key, CoverageImage> IMAGES =
            new LinkedHashMap<>(256, 0.75f, true) {
                @Override
                protected boolean removeEldestEntry(Map.Entry<Key, CoverageImage> eldest) {
                    if (size() > CAPACITY || pixels > PIXEL_BUDGET) {
                        pixels -= eldest.getValue().pixels;
                        return true;
                    }
                    return false;
                }
            };
    /** Pixels of the images in the cache; guarded by {@link #IMAGES}. */
    private static long pixels;

    private ShapeImages() {
    }

    /**
     * The image of outline {@code path} mapped to device pixels by {@code transform} and filled
     * antialiased in {@code argb}, its top-left device pixel put in {@code place}; null when
     * the outline is to be filled instead (too large, first seen, or the image cannot be made).
     */
    static CoverageImage find(PathBuffer path, AffineTransform transform, int argb,
            int[] place) {
        int n = path.coordinateCount();
        if (n < 2 || n > MAX_COORDINATES) {
            return null;
        }
        double[] device = new double[n];
        transform.transform(path.coords(), 0, device, 0, n / 2);
        double x0 = device[0];
        double y0 = device[1];
        if (!(Math.abs(x0) < 1 << 24) || !(Math.abs(y0) < 1 << 24)) {
            return null;
        }
        // Relative to the first point; control points bound the curves they shape.
        double minX = 0;
        double minY = 0;
        double maxX = 0;
        double maxY = 0;
        int[] coords = new int[n];
        for (int i = 0; i < n; i += 2) {
            double x = device[i] - x0;
            double y = device[i + 1] - y0;
            minX = Math.min(minX, x);
            minY = Math.min(minY, y);
            maxX = Math.max(maxX, x);
            maxY = Math.max(maxY, y);
            device[i] = x;
            device[i + 1] = y;
            coords[i] = (int) Math.round(x * GRID);
            coords[i + 1] = (int) Math.round(y * GRID);
        }
        if (!(maxX - minX <= MAX_SIZE) || !(maxY - minY <= MAX_SIZE)) {
            return null;
        }
        // The eighth of a pixel nearest the first point: a whole pixel and a phase within it.
        double qx = Math.floor(x0 * PHASES + 0.5);
        double qy = Math.floor(y0 * PHASES + 0.5);
        int px = (int) Math.floor(qx / PHASES);
        int py = (int) Math.floor(qy / PHASES);
        int phaseX = (int) (qx - (double) px * PHASES);
        int phaseY = (int) (qy - (double) py * PHASES);
        Key shape = new Key(Arrays.copyOf(path.types(), path.segments()), coords,
                path.isNonZero(), argb, -1);
        Key key = shape.at(phaseX * PHASES + phaseY);
        CoverageImage image;
        synchronized (IMAGES) {
            image = IMAGES.get(key);
        }
        if (image == null) {
            synchronized (SEEN) {
                if (SEEN.put(shape.digest(), Boolean.TRUE) == null) {
                    return null;
                }
            }
            image = render(path, device, argb, (double) phaseX / PHASES,
                    (double) phaseY / PHASES, minX, minY, maxX, maxY);
            if (image == null) {
                return null;
            }
            synchronized (IMAGES) {
                pixels += image.pixels;
                CoverageImage replaced = IMAGES.put(key, image);
                if (replaced != null) {
                    pixels -= replaced.pixels;
                }
            }
        }
        place[0] = px + image.x;
        place[1] = py + image.y;
        return image;
    }

    /**
     * The outline with relative device coordinates {@code relative}, its first point at
     * ({@code fx}, {@code fy}) of a pixel, filled into an image with a pixel to spare.
     */
    private static CoverageImage render(PathBuffer path, double[] relative, int argb, double fx,
            double fy, double minX, double minY, double maxX, double maxY) {
        int x = (int) Math.floor(fx + minX) - 1;
        int y = (int) Math.floor(fy + minY) - 1;
        int w = (int) Math.ceil(fx + maxX) + 1 - x;
        int h = (int) Math.ceil(fy + maxY) + 1 - y;
        PathBuffer copy = new PathBuffer();
        copy.append(Arrays.copyOf(path.types(), path.segments()), relative, path.hasCurves(),
                0, 0);
        copy.setNonZero(path.isNonZero());
        return CoverageImage.render(copy, new double[] {1, 0, 0, 1, fx, fy}, argb, x, y, w, h);
    }
}
