package com.quarn.lumo;

import java.awt.AlphaComposite;
import java.awt.Color;
import java.awt.Composite;
import java.awt.CompositeContext;
import java.awt.Graphics2D;
import java.awt.Paint;
import java.awt.PaintContext;
import java.awt.Rectangle;
import java.awt.RenderingHints;
import java.awt.geom.AffineTransform;
import java.awt.geom.Rectangle2D;
import java.awt.image.BufferedImage;
import java.awt.image.ColorModel;
import java.awt.image.DataBufferInt;
import java.awt.image.Raster;
import java.awt.image.WritableRaster;
import java.util.Hashtable;
import java.util.function.Consumer;

/**
 * The slow paths for what lumo does not do itself: paints through their {@link PaintContext},
 * composites through their {@link CompositeContext}, and XOR mode. They work on one device
 * rectangle at a time, as premultiplied 0xAARRGGBB words, top row first.
 */
final class Compositor {
    private Compositor() {
    }

    /** A premultiplied ARGB image over {@code argb}, w x h. */
    static BufferedImage wrap(int[] argb, int w, int h) {
        DataBufferInt data = new DataBufferInt(argb, argb.length);
        WritableRaster raster = Raster.createPackedRaster(data, w, h, w,
                new int[] {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, null);
        return new BufferedImage(LumoGraphicsConfig.ARGB_PRE, raster, true, new Hashtable<>());
    }

    /** The pixels {@code paint} gives the device rectangle {@code r}. */
    static int[] paint(Paint paint, Rectangle r, Rectangle2D userBounds, AffineTransform transform,
            RenderingHints hints) {
        int[] out = new int[r.width * r.height];
        if (paint instanceof Color) {
            java.util.Arrays.fill(out, premultiply(((Color) paint).getRGB()));
            return out;
        }
        PaintContext context = paint.createContext(LumoGraphicsConfig.ARGB_PRE, r, userBounds,
                new AffineTransform(transform), hints);
        try {
            copy(image(context, r), out);
        } finally {
            context.dispose();
        }
        return out;
    }

    /**
     * Passes {@code use} the pixels {@code paint} gives the device rectangle {@code r} as a
     * premultiplied ARGB image, valid only during the call. A paint context that already gives
     * premultiplied ARGB (what it is asked for) passes its own raster, not a copy.
     */
    static void paint(Paint paint, Rectangle r, Rectangle2D userBounds, AffineTransform transform,
            RenderingHints hints, Consumer<BufferedImage> use) {
        if (paint instanceof Color) {
            use.accept(wrap(paint(paint, r, userBounds, transform, hints), r.width, r.height));
            return;
        }
        PaintContext context = paint.createContext(LumoGraphicsConfig.ARGB_PRE, r, userBounds,
                new AffineTransform(transform), hints);
        try {
            BufferedImage source = image(context, r);
            if (source.getType() != BufferedImage.TYPE_INT_ARGB_PRE) {
                int[] out = new int[r.width * r.height];
                copy(source, out);
                source = wrap(out, r.width, r.height);
            }
            use.accept(source);
        } finally {
            context.dispose();
        }
    }

    /** The context's pixels over {@code r} as an image with its origin at r's corner. */
    private static BufferedImage image(PaintContext context, Rectangle r) {
        Raster raster = context.getRaster(r.x, r.y, r.width, r.height);
        ColorModel cm = context.getColorModel();
        WritableRaster writable = raster instanceof WritableRaster
                ? ((WritableRaster) raster).createWritableChild(raster.getMinX(),
                        raster.getMinY(), r.width, r.height, 0, 0, null)
                : copyOf(raster, r.width, r.height);
        return new BufferedImage(cm, writable, cm.isAlphaPremultiplied(), new Hashtable<>());
    }

    /** Copies {@code source}'s pixels, premultiplied ARGB, into {@code out}. */
    private static void copy(BufferedImage source, int[] out) {
        Graphics2D g = wrap(out, source.getWidth(), source.getHeight()).createGraphics();
        g.setComposite(AlphaComposite.Src);
        g.drawImage(source, 0, 0, null);
        g.dispose();
    }

    private static WritableRaster copyOf(Raster raster, int w, int h) {
        WritableRaster copy = raster.createCompatibleWritableRaster(w, h);
        copy.setRect(-raster.getMinX(), -raster.getMinY(), raster);
        return copy;
    }

    static int premultiply(int argb) {
        int a = argb >>> 24;
        if (a == 255) {
            return argb;
        }
        int r = ((argb >> 16) & 0xFF) * a + 127;
        int g = ((argb >> 8) & 0xFF) * a + 127;
        int b = (argb & 0xFF) * a + 127;
        return a << 24 | (r / 255) << 16 | (g / 255) << 8 | b / 255;
    }

    /**
     * Composes {@code source} onto the surface's rectangle {@code r} through {@code composite}'s
     * context; {@code coverage} (0 to 255 a pixel) weighs the result against the pixel before.
     */
    static void compose(LumoSurface surface, Rectangle r, int[] source, int[] coverage,
            Composite composite, RenderingHints hints) {
        int n = r.width * r.height;
        int[] before = new int[n];
        surface.read(r.x, r.y, r.width, r.height, before);
        int[] after = new int[n];
        CompositeContext context = composite.createContext(LumoGraphicsConfig.ARGB_PRE,
                LumoGraphicsConfig.ARGB_PRE, hints);
        try {
            context.compose(wrap(source, r.width, r.height).getRaster(),
                    wrap(before.clone(), r.width, r.height).getRaster(),
                    wrap(after, r.width, r.height).getRaster());
        } finally {
            context.dispose();
        }
        for (int i = 0; i < n; i++) {
            after[i] = mix(before[i], after[i], coverage[i]);
        }
        surface.write(r.x, r.y, r.width, r.height, after);
    }

    /**
     * XOR mode: every pixel the shape covers at least half has its colour bits exclusive-ored
     * with those of the source and the XOR colour; alpha stays.
     */
    static void xor(LumoSurface surface, Rectangle r, int[] source, int[] coverage, Color xor) {
        int n = r.width * r.height;
        int[] pixels = new int[n];
        surface.read(r.x, r.y, r.width, r.height, pixels);
        int x = premultiply(xor.getRGB());
        for (int i = 0; i < n; i++) {
            if (coverage[i] >= 128) {
                pixels[i] ^= (source[i] ^ x) & 0x00FFFFFF;
            }
        }
        surface.write(r.x, r.y, r.width, r.height, pixels);
    }

    /** {@code before} and {@code after} mixed channel by channel in the ratio 255 - k : k. */
    static int mix(int before, int after, int k) {
        if (k >= 255) {
            return after;
        }
        if (k <= 0) {
            return before;
        }
        int out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            int b = (before >>> shift) & 0xFF;
            int a = (after >>> shift) & 0xFF;
            out |= ((b * (255 - k) + a * k + 127) / 255) << shift;
        }
        return out;
    }
}
