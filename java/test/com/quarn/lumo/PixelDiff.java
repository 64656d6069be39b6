package com.quarn.lumo;

import java.awt.image.BufferedImage;
import java.awt.image.DataBufferInt;

/**
 * How far two premultiplied ARGB pictures of one size differ: the mean absolute difference of
 * their channels (of 255) and the share of pixels with a channel off by more than 32.
 */
record PixelDiff(double mean, double offShare) {
    static PixelDiff of(BufferedImage a, BufferedImage b) {
        int[] p = pixels(a);
        int[] q = pixels(b);
        if (p.length != q.length) {
            throw new IllegalArgumentException("pictures of different sizes");
        }
        long sum = 0;
        int off = 0;
        for (int i = 0; i < p.length; i++) {
            int worst = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                int d = Math.abs(((p[i] >>> shift) & 0xFF) - ((q[i] >>> shift) & 0xFF));
                sum += d;
                worst = Math.max(worst, d);
            }
            if (worst > 32) {
                off++;
            }
        }
        return new PixelDiff(sum / (4.0 * p.length), (double) off / p.length);
    }

    /** The pixels as premultiplied 0xAARRGGBB words, converting when the type differs. */
    static int[] pixels(BufferedImage image) {
        if (image.getType() != BufferedImage.TYPE_INT_ARGB_PRE) {
            BufferedImage copy = new BufferedImage(image.getWidth(), image.getHeight(),
                    BufferedImage.TYPE_INT_ARGB_PRE);
            java.awt.Graphics2D g = copy.createGraphics();
            g.setComposite(java.awt.AlphaComposite.Src);
            g.drawImage(image, 0, 0, null);
            g.dispose();
            image = copy;
        }
        return ((DataBufferInt) image.getRaster().getDataBuffer()).getData();
    }

    @Override
    public String toString() {
        return String.format("mean difference %.3f, %.2f%% of pixels off by more than 32", mean,
                100 * offShare);
    }
}
