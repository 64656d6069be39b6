package com.quarn.lumo;

import com.quarn.lumo.internal.AwtImage;
import com.quarn.lumo.internal.LUMO;
import java.awt.AlphaComposite;
import java.awt.Graphics2D;
import java.awt.Image;
import java.awt.image.BufferedImage;
import java.awt.image.ColorModel;
import java.awt.image.ImageObserver;
import java.awt.image.RenderedImage;
import java.awt.image.VolatileImage;
import java.awt.image.WritableRaster;
import java.util.Hashtable;

/** Turns Java images into what lumo reads: one of the nine AWT layouts, as they lie in memory. */
final class Images {
    private Images() {
    }

    /**
     * Whether lumo reads {@code image}'s raster in place: one of its nine types, with the raster
     * starting at the first element of a single bank (not a sub-image at an offset).
     */
    static boolean isDirect(BufferedImage image) {
        int type = image.getType();
        if (type < BufferedImage.TYPE_INT_RGB || type > BufferedImage.TYPE_USHORT_555_RGB) {
            return false;
        }
        WritableRaster r = image.getRaster();
        return r.getSampleModelTranslateX() == 0 && r.getSampleModelTranslateY() == 0
                && r.getDataBuffer().getOffset() == 0 && r.getDataBuffer().getNumBanks() == 1;
    }

    /** {@code image} itself when lumo reads it in place, else a premultiplied ARGB copy. */
    static BufferedImage readable(BufferedImage image) {
        return isDirect(image) ? image : copy(image);
    }

    static BufferedImage copy(BufferedImage image) {
        BufferedImage out = new BufferedImage(image.getWidth(), image.getHeight(),
                BufferedImage.TYPE_INT_ARGB_PRE);
        Graphics2D g = out.createGraphics();
        g.setComposite(AlphaComposite.Src);
        g.drawImage(image, 0, 0, null);
        g.dispose();
        return out;
    }

    /**
     * A buffered image of any Java image: itself, a volatile image's snapshot, a rendered image's
     * data, or a toolkit image drawn once; null while a toolkit image is not loaded or is empty.
     */
    static BufferedImage buffered(Image image, ImageObserver observer) {
        if (image instanceof BufferedImage) {
            return (BufferedImage) image;
        }
        if (image instanceof VolatileImage) {
            return ((VolatileImage) image).getSnapshot();
        }
        int w = image.getWidth(observer);
        int h = image.getHeight(observer);
        if (w < 0 || h < 0) {
            return null;
        }
        if (w == 0 || h == 0) {
            return null;
        }
        BufferedImage out = new BufferedImage(w, h, BufferedImage.TYPE_INT_ARGB_PRE);
        Graphics2D g = out.createGraphics();
        boolean done = g.drawImage(image, 0, 0, observer);
        g.dispose();
        return done ? out : null;
    }

    /** A buffered image holding a rendered image's pixels, with its own origin at (0, 0). */
    static BufferedImage buffered(RenderedImage image) {
        if (image instanceof BufferedImage) {
            return (BufferedImage) image;
        }
        ColorModel cm = image.getColorModel();
        WritableRaster raster = cm.createCompatibleWritableRaster(image.getWidth(),
                image.getHeight());
        image.copyData(raster.createWritableTranslatedChild(image.getMinX(), image.getMinY()));
        return new BufferedImage(cm, raster, cm.isAlphaPremultiplied(), new Hashtable<>());
    }

    /** Draws {@code image} through {@code g}, placed in user space by {@code matrix}. */
    static void draw(int g, BufferedImage image, double[] matrix) {
        if (image.getWidth() > 0 && image.getHeight() > 0) {
            AwtImage.draw(g, readable(image), matrix);
        }
    }

    /**
     * A new render target holding {@code image}'s pixels; the caller deletes it (and its
     * buffer) with {@link #delete}. Returns {0, 0} when it cannot be made.
     */
    static int[] target(BufferedImage image) {
        int buffer = LUMO.createDataBuffer(image.getWidth(), image.getHeight(), 0);
        int target = LUMO.createNativeImage(buffer);
        int g = LUMO.createGraphics(target);
        if (g != 0) {
            // Over a transparent buffer, source-over leaves exactly the source, and it is
            // lumo's fast blend; the source rule goes the general way.
            LUMO.setComposite(g, AlphaComposite.SRC_OVER, 1f);
            draw(g, image, null);
            LUMO.deleteGraphics(g);
        }
        return new int[] {buffer, target};
    }

    static void delete(int[] target) {
        LUMO.deleteNativeImage(target[1]);
        LUMO.deleteDataBuffer(target[0]);
    }
}
