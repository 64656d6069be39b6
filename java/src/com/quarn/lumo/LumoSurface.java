package com.quarn.lumo;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.MemoryDevice;
import java.awt.Graphics2D;
import java.awt.GraphicsConfiguration;
import java.awt.image.BufferedImage;
import java.awt.image.DataBufferInt;
import java.lang.ref.Cleaner;

/**
 * A pixel buffer of premultiplied ARGB pixels that lumo draws into, with a
 * {@link java.awt.Graphics2D} face: {@link #createGraphics()} gives a {@link LumoGraphics2D}
 * that any Java 2D program can draw through.
 *
 * <pre>{@code
 * try (LumoSurface surface = new LumoSurface(640, 480)) {
 *     Graphics2D g = surface.createGraphics();
 *     g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, RenderingHints.VALUE_ANTIALIAS_ON);
 *     g.fill(new Ellipse2D.Double(10, 10, 200, 100));
 *     g.dispose();
 *     BufferedImage picture = surface.toImage();
 * }
 * }</pre>
 *
 * <p>A surface and the graphics made from it may be used from several threads: every operation
 * that reaches the pixels or the native objects (a draw with the state it sends, a read, a
 * clear, {@link #close()}, a graphics' {@code create()} and {@code dispose()}) holds the
 * surface's lock, so operations on one surface run one at a time, and never while the
 * program's own shapes, strokes, paints, composites or image observers are called. A graphics
 * shared by threads that change its state at once draws with whichever state each draw finds,
 * as Java 2D's do. After {@code close()} every graphics of the surface draws nothing. A surface
 * that is never closed frees its native objects once it and every graphics made from it are
 * unreachable.
 */
public final class LumoSurface implements AutoCloseable {
    static final Cleaner CLEANER = Cleaner.create();

    private final int width;
    private final int height;
    private final Handles handles;
    private final Cleaner.Cleanable cleanable;
    private GraphicsConfiguration configuration;
    /** A clear asked for and not yet made, and its colour. */
    private boolean clearPending;
    private int clearArgb;
    /** Whether a fill over the whole surface made the native pixels. */
    private boolean pixelsMade;
    /** How many clears a covering fill made unnecessary (read by tests). */
    int skippedClears;

    /**
     * The native objects of a surface, freed by {@link #close()} or by the cleaner. It is also
     * the surface's lock: the cleaner frees them under it, so not while a draw through a
     * graphics that has just become unreachable is still running.
     */
    private static final class Handles implements Runnable {
        final int buffer;
        final int image;
        /** A drawing object for raw pixel writes: identity transform, no clip, source rule. */
        final int raw;
        volatile boolean closed;

        Handles(int buffer, int image, int raw) {
            this.buffer = buffer;
            this.image = image;
            this.raw = raw;
        }

        @Override
        public void run() {
            synchronized (this) {
                closed = true;
                LUMO.deleteGraphics(raw);
                LUMO.deleteNativeImage(image);
                LUMO.deleteDataBuffer(buffer);
            }
        }
    }

    /**
     * A transparent surface of {@code width} x {@code height} pixels.
     *
     * @throws IllegalArgumentException if a side is not positive or the native objects cannot be
     *     made (too large for memory)
     */
    public LumoSurface(int width, int height) {
        if (width <= 0 || height <= 0) {
            throw new IllegalArgumentException("surface size " + width + "x" + height);
        }
        int buffer = LUMO.createDataBuffer(width, height, 0);
        int image = LUMO.createNativeImage(buffer);
        int raw = LUMO.createGraphics(image);
        handles = new Handles(buffer, image, raw);
        if (buffer == 0 || image == 0 || raw == 0) {
            handles.run();
            throw new IllegalArgumentException("cannot make a " + width + "x" + height
                    + " surface");
        }
        LUMO.setComposite(raw, AWT_SRC, 1f);
        this.width = width;
        this.height = height;
        cleanable = CLEANER.register(this, handles);
    }

    /**
     * The lock every operation reaching this surface's native objects holds, the surface's and
     * those of every graphics made from it; reentrant, held only briefly, and never while the
     * program's own code runs.
     */
    Object lock() {
        return handles;
    }

    /** The AlphaComposite rule SRC, which lumo numbers the same way. */
    private static final int AWT_SRC = 2;

    public int getWidth() {
        return width;
    }

    public int getHeight() {
        return height;
    }

    /** A new graphics drawing into the whole surface, with Java 2D's initial state. */
    public LumoGraphics2D createGraphics() {
        return new LumoGraphics2D(this);
    }

    /** A new {@code TYPE_INT_ARGB_PRE} image holding the surface's pixels. */
    public BufferedImage toImage() {
        BufferedImage image = new BufferedImage(width, height, BufferedImage.TYPE_INT_ARGB_PRE);
        int[] argb = ((DataBufferInt) image.getRaster().getDataBuffer()).getData();
        read(0, 0, width, height, argb);
        return image;
    }

    /**
     * Clears every pixel to {@code argb} (0xAARRGGBB, straight alpha). The clear is made when
     * the pixels are next drawn or read, and skipped when that draw is an opaque fill of the
     * whole surface (a repaint that starts with its background), which replaces every pixel.
     */
    public void clear(int argb) {
        synchronized (handles) {
            if (!handles.closed) {
                clearPending = true;
                clearArgb = argb;
            }
        }
    }

    /**
     * Makes a pending clear; called before anything draws into or reads the pixels. The
     * buffer's own clear stores the colour as it is and only promises pixels never made, so it
     * serves opaque and transparent colours over pixels known to exist; other clears fill the
     * surface with the source rule, which premultiplies the colour and makes the pixels.
     */
    void settle() {
        assert Thread.holdsLock(handles);
        if (!clearPending) {
            return;
        }
        clearPending = false;
        if (handles.closed) {
            return;
        }
        int alpha = clearArgb >>> 24;
        if (pixelsMade && (alpha == 255 || alpha == 0)) {
            LUMO.clearDataBuffer(handles.buffer, alpha == 0 ? 0 : clearArgb);
        } else {
            LUMO.setPaint(handles.raw, clearArgb);
            LUMO.fillRect(handles.raw, 0, 0, width, height);
            pixelsMade = true;
        }
    }

    /**
     * Whether the native pixels are known to exist, so that a clear sets them all at once: a
     * clear of pixels never made is only a promise, which reading them back does not see.
     */
    boolean hasPixels() {
        return pixelsMade;
    }

    /** Notes that a draw covering the whole surface made the native pixels. */
    void markPixels() {
        pixelsMade = true;
    }

    /** Drops a pending clear: the next draw replaces every pixel. */
    void discardClear() {
        if (clearPending) {
            clearPending = false;
            skippedClears++;
        }
    }

    /**
     * Puts the rectangle of the surface at ({@code x}, {@code y}) with the given size onto a
     * device context at ({@code xDest}, {@code yDest}): a window's HDC on Windows, a
     * {@link MemoryDevice} on Linux.
     */
    public void blit(int hdc, int xDest, int yDest, int x, int y, int w, int h) {
        synchronized (handles) {
            if (!handles.closed) {
                settle();
                LUMO.SetDIBitsToDevice(hdc, handles.image, xDest, yDest, w, h, x, y);
            }
        }
    }

    /**
     * Reads the w x h rectangle at (x, y), which must lie inside the surface, into {@code argb}
     * as premultiplied 0xAARRGGBB words, top row first.
     */
    void read(int x, int y, int w, int h, int[] argb) {
        if (w <= 0 || h <= 0) {
            return;
        }
        int hdc = MemoryDevice.create(w, h);
        if (hdc == 0) {
            return;
        }
        try {
            synchronized (handles) {
                if (handles.closed) {
                    return;
                }
                settle();
                LUMO.SetDIBitsToDevice(hdc, handles.image, 0, 0, w, h, x, y);
            }
            MemoryDevice.read(hdc, argb);
        } finally {
            MemoryDevice.delete(hdc);
        }
    }

    /**
     * Replaces the w x h rectangle at (x, y) with premultiplied 0xAARRGGBB words, top row first,
     * clipped to the surface.
     */
    void write(int x, int y, int w, int h, int[] argb) {
        if (w <= 0 || h <= 0) {
            return;
        }
        int[] info = {0, w, h, 0, 4 * w, 1, BufferedImage.TYPE_INT_ARGB_PRE};
        double[] place = {1, 0, 0, 1, x, y};
        synchronized (handles) {
            if (!handles.closed) {
                settle();
                LUMO.drawAWTImage(handles.raw, info, place, argb);
            }
        }
    }

    /** The configuration every graphics of this surface reports, made once. */
    GraphicsConfiguration configuration() {
        synchronized (handles) {
            if (configuration == null) {
                configuration = new LumoGraphicsConfig(width, height);
            }
            return configuration;
        }
    }

    /**
     * The render target's handle for drawing into it directly, 0 once closed; a pending clear
     * is made first.
     */
    int image() {
        synchronized (handles) {
            if (handles.closed) {
                return 0;
            }
            settle();
            return handles.image;
        }
    }

    /**
     * The render target's handle for making a drawing object, 0 once closed; the caller holds
     * the lock. Graphics make a pending clear before each draw, not when they are made.
     */
    int target() {
        assert Thread.holdsLock(handles);
        return handles.closed ? 0 : handles.image;
    }

    boolean isClosed() {
        return handles.closed;
    }

    /**
     * Deletes the native objects once no other thread is drawing into or reading the surface;
     * graphics made from it then draw nothing.
     */
    @Override
    public void close() {
        cleanable.clean();
    }
}
