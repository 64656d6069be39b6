package com.quarn.lumo.demo;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.MemoryDevice;

/**
 * A pixel buffer, a render target on it and one drawing object, for panels that draw with the
 * library and then put the target onto the device. Drawing starts antialiased.
 */
final class Target implements AutoCloseable {
    static final int ANTIALIAS = 1;
    static final int DEVICE_STROKE = 8;
    static final int STROKE_OFFSET = 0x600;

    static final int CAP_BUTT = 0;
    static final int CAP_ROUND = 1;
    static final int CAP_SQUARE = 2;
    static final int JOIN_MITER = 0;
    static final int JOIN_ROUND = 1;
    static final int JOIN_BEVEL = 2;

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

    /** Sets a solid stroke. */
    void stroke(float width, int cap, int join) {
        LUMO.setStroke(g, width, cap, join, 10f, null, 0f);
    }

    /** Sets a dashed stroke with mitred joins. */
    void dashed(float width, int cap, float[] dash, float phase) {
        LUMO.setStroke(g, width, cap, JOIN_MITER, 10f, dash, phase);
    }

    /** Sets the transform that maps (x, y) to (sx x + shx y + tx, shy x + sy y + ty). */
    void transform(double sx, double shy, double shx, double sy, double tx, double ty) {
        LUMO.setTransform(g, new double[] {sx, shy, shx, sy, tx, ty});
    }

    void identity() {
        transform(1, 0, 0, 1, 0, 0);
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
