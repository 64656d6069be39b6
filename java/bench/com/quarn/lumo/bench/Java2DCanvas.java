package com.quarn.lumo.bench;

import java.awt.AlphaComposite;
import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.image.BufferedImage;

/**
 * The Java 2D side: a premultiplied int ARGB image drawn through {@link Graphics2D} with
 * antialiasing on and everything else at its default (renderer, source-over composite).
 */
final class Java2DCanvas {
    final BufferedImage image;

    Java2DCanvas(int width, int height) {
        image = new BufferedImage(width, height, BufferedImage.TYPE_INT_ARGB_PRE);
    }

    void clear(int argb) {
        Graphics2D g = image.createGraphics();
        g.setComposite(AlphaComposite.Src);
        g.setColor(new Color(argb, true));
        g.fillRect(0, 0, image.getWidth(), image.getHeight());
        g.dispose();
    }

    /** A drawing object with antialiasing on; the caller disposes of it. */
    Graphics2D begin() {
        Graphics2D g = image.createGraphics();
        g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, RenderingHints.VALUE_ANTIALIAS_ON);
        return g;
    }

    /** All pixels, top row first, as premultiplied 0xAARRGGBB words. */
    int[] read() {
        int[] argb = new int[image.getWidth() * image.getHeight()];
        image.getRaster().getDataElements(0, 0, image.getWidth(), image.getHeight(), argb);
        return argb;
    }

    int pixel(int x, int y) {
        return image.getRGB(x, y);
    }
}
