package com.quarn.lumo.bench;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.MemoryDevice;
import java.awt.image.BufferedImage;
import java.awt.image.DataBufferInt;

/**
 * A pixel buffer of the library, a render target on it and one drawing object, with the
 * pixels readable through memory devices (premultiplied 0xAARRGGBB, top row first).
 */
final class LumoCanvas implements AutoCloseable {
    /** Hint keys and values of the drawing object. */
    static final int HINT_ANTIALIAS = 0x1;
    static final int HINT_IMAGE_FILTER = 0xF800;
    static final int FILTER_NEAREST = 0;
    static final int FILTER_BILINEAR = 1;
    static final int FILTER_BICUBIC = 2;
    /** Composite rules, numbered as AlphaComposite's. */
    static final int RULE_SRC = 2;
    static final int RULE_SRC_OVER = 3;

    final int width;
    final int height;
    final int buffer;
    final int image;
    final int g;
    private final int pixelDevice;
    private final int[] pixel = new int[1];

    LumoCanvas(int width, int height, int clearArgb) {
        this.width = width;
        this.height = height;
        buffer = LUMO.createDataBuffer(width, height, clearArgb);
        image = LUMO.createNativeImage(buffer);
        g = LUMO.createGraphics(image);
        pixelDevice = MemoryDevice.create(1, 1);
        if (buffer == 0 || image == 0 || g == 0 || pixelDevice == 0) {
            throw new IllegalStateException("cannot make a " + width + " x " + height
                    + " canvas of the library");
        }
        LUMO.setHint(g, HINT_ANTIALIAS, 1);
    }

    /** A canvas holding the pixels of a premultiplied int ARGB image. */
    static LumoCanvas of(BufferedImage picture) {
        LumoCanvas canvas = new LumoCanvas(picture.getWidth(), picture.getHeight(), 0);
        int[] pixels = ((DataBufferInt) picture.getRaster().getDataBuffer()).getData();
        int[] info = {0, picture.getWidth(), picture.getHeight(), 0, 4 * picture.getWidth(),
            1, BufferedImage.TYPE_INT_ARGB_PRE};
        LUMO.setComposite(canvas.g, RULE_SRC, 1);
        LUMO.drawAWTImage(canvas.g, info, null, pixels);
        LUMO.setComposite(canvas.g, RULE_SRC_OVER, 1);
        return canvas;
    }

    void clear(int argb) {
        LUMO.clearDataBuffer(buffer, argb);
    }

    /** All pixels, top row first. */
    int[] read() {
        int device = MemoryDevice.create(width, height);
        try {
            LUMO.SetDIBitsToDevice(device, image, 0, 0, width, height, 0, 0);
            int[] argb = new int[width * height];
            MemoryDevice.read(device, argb);
            return argb;
        } finally {
            MemoryDevice.delete(device);
        }
    }

    /** The pixel at (x, y), counted from the top left. */
    int pixel(int x, int y) {
        LUMO.SetDIBitsToDevice(pixelDevice, image, 0, 0, 1, 1, x, y);
        MemoryDevice.read(pixelDevice, pixel);
        return pixel[0];
    }

    @Override
    public void close() {
        MemoryDevice.delete(pixelDevice);
        LUMO.deleteGraphics(g);
        LUMO.deleteNativeImage(image);
        LUMO.deleteDataBuffer(buffer);
    }
}
