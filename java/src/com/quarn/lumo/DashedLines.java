package com.quarn.lumo;

import java.awt.BasicStroke;
import java.awt.image.BufferedImage;
import java.awt.image.DataBufferInt;

/**
 * The dashes of a horizontal or vertical line under a dashed stroke with butt caps, as the
 * rectangles they are: appended to an outline that fills as one, or, for lines a few device
 * pixels thin, as an image of their exact coverage in one colour (a rectangle's coverage of a
 * pixel is the product of its coverage along and across the line).
 */
final class DashedLines {
    /** Lines of more dashes than this are left to the stroker. */
    private static final int MAX_DASHES = 4096;
    /** Lines at most this many device pixels thick draw as coverage images. */
    static final double MAX_IMAGE_WIDTH = 3;

    /** The arguments of one coverage image: a chart repaints the same grid lines. */
    private record Key(BasicStroke stroke, boolean horizontal, double start, double end,
            double across, double width, double scale, int argb, int boundsX, int boundsY,
            int boundsWidth, int boundsHeight) {
    }

    /** A coverage image and the device pixel of its top-left corner. */
    private record Placed(BufferedImage image, int x, int y) {
        long pixels() {
            return (long) image.getWidth() * image.getHeight();
        }
    }

    /** The images made lately, at most 1024 of them and 4 M pixels (16 MB) in all. */
    private static final ImageCache<Key, Placed> IMAGES =
            new ImageCache<>(1024, 4L << 20, Placed::pixels);

    private DashedLines() {
    }

    /** Receives one dash, from {@code start} to {@code end} along the line. */
    private interface Dash {
        void accept(double start, double end);
    }

    /** Whether the dashes of lines under stroke {@code s} can be drawn here. */
    static boolean applies(BasicStroke s) {
        float[] dash = s.getDashArray();
        return dash != null && s.getEndCap() == BasicStroke.CAP_BUTT && s.getLineWidth() > 0
                && Float.isFinite(s.getLineWidth()) && Float.isFinite(s.getDashPhase());
    }

    /**
     * Appends to {@code path} the dashes of the line from (x1, y1) to (x2, y2), which is
     * horizontal or vertical, under stroke {@code s}; returns false, leaving the path as it
     * was, when the line is neither or has too many dashes.
     */
    static boolean append(PathBuffer path, BasicStroke s, double x1, double y1, double x2,
            double y2) {
        boolean horizontal = y1 == y2;
        if (!horizontal && x1 != x2) {
            return false;
        }
        double half = s.getLineWidth() / 2.0;
        double direction = horizontal ? Math.signum(x2 - x1) : Math.signum(y2 - y1);
        double length = horizontal ? Math.abs(x2 - x1) : Math.abs(y2 - y1);
        return dashes(s, 1, length, (a, b) -> {
            if (horizontal) {
                path.appendRect(x1 + direction * a, y1 - half, x1 + direction * b, y1 + half);
            } else {
                path.appendRect(x1 - half, y1 + direction * a, x1 + half, y1 + direction * b);
            }
        });
    }

    /**
     * The premultiplied image, in colour {@code argb}, of the dashes of a device-space line
     * from {@code start} to {@code end} along axis x (horizontal) or y, centred at {@code across}
     * on the other axis, {@code width} thick, the dash pattern scaled by {@code scale}; only the
     * part within {@code bounds} device pixels (x, y, width, height). Its top-left device pixel
     * goes to {@code origin}. Null when nothing shows or the dashes are too many. The image
     * may be shared with later calls and is not to be changed.
     */
    static BufferedImage image(BasicStroke s, boolean horizontal, double start, double end,
            double across, double width, double scale, int argb, int[] bounds, int[] origin) {
        Key key = new Key(s, horizontal, start, end, across, width, scale, argb, bounds[0],
                bounds[1], bounds[2], bounds[3]);
        Placed placed = IMAGES.get(key);
        if (placed == null) {
            BufferedImage image = render(s, horizontal, start, end, across, width, scale, argb,
                    bounds, origin);
            if (image == null) {
                return null;
            }
            placed = new Placed(image, origin[0], origin[1]);
            IMAGES.put(key, placed);
        }
        origin[0] = placed.x();
        origin[1] = placed.y();
        return placed.image();
    }

    /** {@link #image} made anew, without the cache. */
    static BufferedImage render(BasicStroke s, boolean horizontal, double start,
            double end, double across, double width, double scale, int argb, int[] bounds,
            int[] origin) {
        double lo = Math.min(start, end);
        double hi = Math.max(start, end);
        int alongMin = horizontal ? bounds[0] : bounds[1];
        int alongMax = alongMin + (horizontal ? bounds[2] : bounds[3]);
        int acrossMin = horizontal ? bounds[1] : bounds[0];
        int acrossMax = acrossMin + (horizontal ? bounds[3] : bounds[2]);
        int a0 = (int) Math.max(Math.floor(lo), alongMin);
        int a1 = (int) Math.min(Math.ceil(hi), alongMax);
        int c0 = (int) Math.max(Math.floor(across - width / 2), acrossMin);
        int c1 = (int) Math.min(Math.ceil(across + width / 2), acrossMax);
        if (a1 <= a0 || c1 <= c0) {
            return null;
        }
        double[] along = new double[a1 - a0];
        double direction = end >= start ? 1 : -1;
        boolean drawn = dashes(s, scale, hi - lo, (a, b) -> {
            double u = Math.min(start + direction * a, start + direction * b);
            double v = Math.max(start + direction * a, start + direction * b);
            int p1 = (int) Math.min(Math.ceil(v), a1);
            for (int p = (int) Math.max(Math.floor(u), a0); p < p1; p++) {
                along[p - a0] += Math.min(v, p + 1) - Math.max(u, p);
            }
        });
        if (!drawn) {
            return null;
        }
        double[] cross = new double[c1 - c0];
        for (int p = c0; p < c1; p++) {
            cross[p - c0] = Math.max(Math.min(across + width / 2, p + 1)
                    - Math.max(across - width / 2, p), 0);
        }
        int w = horizontal ? along.length : cross.length;
        int h = horizontal ? cross.length : along.length;
        BufferedImage image = new BufferedImage(w, h, BufferedImage.TYPE_INT_ARGB_PRE);
        int[] pixels = ((DataBufferInt) image.getRaster().getDataBuffer()).getData();
        int alpha = argb >>> 24;
        // Each coverage level's premultiplied colour, made when first met: a pixel then costs
        // a look-up rather than three divisions.
        int[] levels = new int[alpha + 1];
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                double c = horizontal ? along[x] * cross[y] : cross[x] * along[y];
                int a = (int) (Math.min(c, 1) * alpha + 0.5);
                int colour = levels[a];
                if (colour == 0 && a != 0) {
                    colour = premultiplied(argb, a);
                    levels[a] = colour;
                }
                pixels[y * w + x] = colour;
            }
        }
        origin[0] = horizontal ? a0 : c0;
        origin[1] = horizontal ? c0 : a0;
        return image;
    }

    private static int premultiplied(int argb, int a) {
        int r = ((argb >>> 16) & 0xFF) * a / 255;
        int g = ((argb >>> 8) & 0xFF) * a / 255;
        int b = (argb & 0xFF) * a / 255;
        return a << 24 | r << 16 | g << 8 | b;
    }

    /**
     * Whether a line {@code length} long under stroke {@code s}, its pattern scaled by
     * {@code scale}, has few enough dashes to draw here.
     */
    static boolean fewEnough(BasicStroke s, double length, double scale) {
        float[] dash = s.getDashArray();
        double period = 0;
        for (float d : dash) {
            period += d;
        }
        return length < Double.MAX_VALUE && period > 0 && scale > 0
                && length / (period * scale) * dash.length <= MAX_DASHES;
    }

    /**
     * Calls {@code out} for each dash of a line {@code length} long under stroke {@code s},
     * its pattern scaled by {@code scale}; false, having called nothing, when there are too many.
     */
    private static boolean dashes(BasicStroke s, double scale, double length, Dash out) {
        if (!fewEnough(s, length, scale)) {
            return false;
        }
        float[] dash = s.getDashArray();
        double period = 0;
        for (float d : dash) {
            period += d;
        }
        // Where the phase leaves the pattern at the line's start.
        double phase = s.getDashPhase() % period;
        if (phase < 0) {
            phase += period;
        }
        int index = 0;
        while (phase >= dash[index]) {
            phase -= dash[index];
            index = (index + 1) % dash.length;
        }
        double left = (dash[index] - phase) * scale;
        double at = 0;
        while (at < length) {
            double end = Math.min(at + left, length);
            if (index % 2 == 0 && end > at) {
                out.accept(at, end);
            }
            at = end;
            index = (index + 1) % dash.length;
            left = dash[index] * scale;
        }
        return true;
    }
}
