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

    /**
     * An outline in one colour at sub-pixel place {@code phase}: the first {@code typeCount}
     * segment codes and {@code coordCount} key coordinates of its arrays. The cache's keys own
     * arrays of that length; a graphics looks up with one reused probe.
     */
    private static final class Key {
        byte[] types;
        int typeCount;
        int[] coords;
        int coordCount;
        boolean nonZero;
        int argb;
        int phase;
        int hash;

        /** Takes the outline's hash once its fields are set. */
        void rehash() {
            int h = argb * 31 + (nonZero ? 1 : 0);
            for (int i = 0; i < coordCount; i++) {
                h = h * 31 + coords[i];
            }
            for (int i = 0; i < typeCount; i++) {
                h = h * 31 + types[i];
            }
            hash = h * 31 + phase;
        }

        /** A key of its own arrays, for the cache. */
        Key copy() {
            Key k = new Key();
            k.types = Arrays.copyOf(types, typeCount);
            k.typeCount = typeCount;
            k.coords = Arrays.copyOf(coords, coordCount);
            k.coordCount = coordCount;
            k.nonZero = nonZero;
            k.argb = argb;
            k.phase = phase;
            k.hash = hash;
            return k;
        }

        /**
         * A 64-bit digest of the outline and colour, whatever its place, all an outline seen
         * once keeps: two outlines of the same digest only make an image one sighting early.
         */
        long digest() {
            long h = argb * 31L + (nonZero ? 1 : 0);
            for (int i = 0; i < coordCount; i++) {
                h = (h ^ coords[i]) * 0x9E3779B97F4A7C15L;
            }
            for (int i = 0; i < typeCount; i++) {
                h = (h ^ types[i]) * 0x9E3779B97F4A7C15L;
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
                    && Arrays.equals(coords, 0, coordCount, k.coords, 0, k.coordCount)
                    && Arrays.equals(types, 0, typeCount, k.types, 0, k.typeCount);
        }
    }

    /** What one graphics reuses from one look-up to the next. */
    static final class Scratch {
        private double[] device = new double[64];
        private final Key probe = new Key();

        {
            probe.coords = new int[64];
        }

        private void ensure(int n) {
            if (device.length < n) {
                device = new double[n];
                probe.coords = new int[n];
            }
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

    private static final ImageCache<Key, CoverageImage> IMAGES =
            new ImageCache<>(CAPACITY, PIXEL_BUDGET, c -> c.pixels);

    private ShapeImages() {
    }

    /** {@link #find(PathBuffer, AffineTransform, int, int[], Scratch)} with arrays of its own. */
    static CoverageImage find(PathBuffer path, AffineTransform transform, int argb,
            int[] place) {
        return find(path, transform, argb, place, new Scratch());
    }

    /**
     * The image of outline {@code path} mapped to device pixels by {@code transform} and filled
     * antialiased in {@code argb}, its top-left device pixel put in {@code place}; null when
     * the outline is to be filled instead (too large, first seen, or the image cannot be made).
     */
    static CoverageImage find(PathBuffer path, AffineTransform transform, int argb, int[] place,
            Scratch scratch) {
        int n = path.coordinateCount();
        if (n < 2 || n > MAX_COORDINATES) {
            return null;
        }
        scratch.ensure(n);
        double[] device = scratch.device;
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
        Key key = scratch.probe;
        int[] coords = key.coords;
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
        key.types = path.types();
        key.typeCount = path.segments();
        key.coordCount = n;
        key.nonZero = path.isNonZero();
        key.argb = argb;
        key.phase = phaseX * PHASES + phaseY;
        key.rehash();
        CoverageImage image = IMAGES.get(key);
        if (image == null) {
            synchronized (SEEN) {
                if (SEEN.put(key.digest(), Boolean.TRUE) == null) {
                    return null;
                }
            }
            image = render(path, Arrays.copyOf(device, n), argb, (double) phaseX / PHASES,
                    (double) phaseY / PHASES, minX, minY, maxX, maxY);
            if (image == null) {
                return null;
            }
            Key owned = key.copy();
            IMAGES.put(owned, image);
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
