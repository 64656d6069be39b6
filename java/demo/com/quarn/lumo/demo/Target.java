package com.quarn.lumo.demo;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.MemoryDevice;
import java.awt.geom.AffineTransform;

/**
 * A pixel buffer, a render target on it and one drawing object, for panels that draw with the
 * library and then put the target onto the device. Drawing starts antialiased.
 */
final class Target implements AutoCloseable {
    static final int ANTIALIAS = 1;
    static final int DEVICE_STROKE = 8;
    static final int STROKE_OFFSET = 0x600;
    static final int CLIP_ANTIALIAS = 4;

    static final int CAP_BUTT = 0;
    static final int JOIN_MITER = 0;

    static final int SOURCE = 2;
    static final int SOURCE_OVER = 3;

    static final int IMAGE_FILTER = 0xF800;
    static final int BILINEAR = 1;

    /** Buffered-image type of 0xAARRGGBB words with straight alpha. */
    private static final int INT_ARGB = 2;

    final int width;
    final int height;
    final int buffer;
    final int image;
    final int g;

    /** A target whose pixels start as {@code clearArgb} (0xAARRGGBB, 0 for transparent). */
    Target(int width, int height, int clearArgb) {
        this.width = width;
        this.height = height;
        buffer = LUMO.createDataBuffer(width, height, clearArgb);
        image = LUMO.createNativeImage(buffer);
        g = LUMO.createGraphics(image);
        if (buffer == 0 || image == 0 || g == 0) {
            close();
            throw new IllegalStateException("could not create a " + width + "x" + height
                    + " render target");
        }
        LUMO.setHint(g, ANTIALIAS, 1);
    }

    /** A target holding a picture of straight 0xAARRGGBB words, top row first. */
    static Target of(int width, int height, int[] argb) {
        Target t = new Target(width, height, 0);
        LUMO.setComposite(t.g, SOURCE, 1f);
        LUMO.drawAWTImage(t.g, new int[] {0, width, height, 0, 4 * width, 0, INT_ARGB}, null,
                argb);
        LUMO.setComposite(t.g, SOURCE_OVER, 1f);
        return t;
    }

    /** The wrap code of a texture: {@code x} and {@code y} are pad 0, repeat 1 or reflect 2. */
    static int wrap(int x, int y) {
        return x << 8 | y;
    }

    /**
     * The matrix that scales a w x h image by {@code scale}, turns it by {@code degrees}
     * clockwise about its centre and puts that centre at (cx, cy).
     */
    static double[] placed(int w, int h, double scale, double degrees, double cx, double cy) {
        AffineTransform m = AffineTransform.getTranslateInstance(cx, cy);
        m.rotate(Math.toRadians(degrees));
        m.scale(scale, scale);
        m.translate(-w / 2.0, -h / 2.0);
        double[] flat = new double[6];
        m.getMatrix(flat);
        return flat;
    }

    /** Light and dark grey squares over the rectangle, to show transparency against. */
    void checkerboard(int x, int y, int w, int h, int cell) {
        LUMO.setPaint(g, 0xFF8E949E);
        LUMO.fillRect(g, x, y, w, h);
        LUMO.setPaint(g, 0xFF5C626E);
        for (int j = 0; j * cell < h; j++) {
            for (int i = j % 2; i * cell < w; i += 2) {
                LUMO.fillRect(g, x + i * cell, y + j * cell, Math.min(cell, w - i * cell),
                        Math.min(cell, h - j * cell));
            }
        }
    }

    /** Sets a solid stroke. */
    void stroke(float width, int cap, int join) {
        LUMO.setStroke(g, width, cap, join, 10f, null, 0f);
    }

    /** Clips to the rectangle from (x1, y1) to (x2, y2), in target pixels. */
    void clipRect(double x1, double y1, double x2, double y2) {
        LUMO.setClip(g, 4, null, new double[] {x1, y1, x2, y2}, true);
    }

    /** Lets drawing reach the whole target again. */
    void noClip() {
        LUMO.setClip(g, 0, null, null, true);
    }

    /** Puts the whole target onto the device with its top-left corner at (dx, dy) of the area. */
    void show(PanelArea area, int dx, int dy) {
        area.blitImage(image, dx, dy, width, height);
    }

    /** The pixels as premultiplied 0xAARRGGBB words, top row first, read through a device. */
    int[] read() {
        int hdc = MemoryDevice.create(width, height);
        if (hdc == 0) {
            throw new IllegalStateException("could not create a " + width + "x" + height
                    + " memory device");
        }
        try {
            LUMO.SetDIBitsToDevice(hdc, image, 0, 0, width, height, 0, 0);
            int[] argb = new int[width * height];
            MemoryDevice.read(hdc, argb);
            return argb;
        } finally {
            MemoryDevice.delete(hdc);
        }
    }

    @Override
    public void close() {
        LUMO.deleteGraphics(g);
        LUMO.deleteNativeImage(image);
        LUMO.deleteDataBuffer(buffer);
    }
}
