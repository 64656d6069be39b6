package com.quarn.lumo;

import java.awt.Font;
import java.awt.FontMetrics;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.geom.AffineTransform;
import java.awt.image.BufferedImage;

/**
 * What a lumo graphics takes from Java 2D itself: the initial rendering hints of an image's
 * graphics, and font metrics, which depend only on the font, the transform and the hints.
 */
final class Java2DState {
    private static final Graphics2D SCRATCH =
            new BufferedImage(1, 1, BufferedImage.TYPE_INT_ARGB_PRE).createGraphics();
    private static final RenderingHints DEFAULTS = SCRATCH.getRenderingHints();

    private Java2DState() {
    }

    /**
     * The initial hints themselves, never changed: callers copy them before any change, and
     * hand copies to code outside the library.
     */
    static RenderingHints sharedDefaultHints() {
        return DEFAULTS;
    }

    static synchronized FontMetrics fontMetrics(Font font, AffineTransform transform,
            RenderingHints hints) {
        SCRATCH.setTransform(transform);
        SCRATCH.setRenderingHints(hints);
        return SCRATCH.getFontMetrics(font);
    }
}
