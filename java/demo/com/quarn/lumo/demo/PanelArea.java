package com.quarn.lumo.demo;

import com.quarn.lumo.internal.LUMO;

/**
 * The part of the device a panel draws into. Blits are given in panel coordinates; the area
 * moves them to its place on the device and does not clip them, so panels stay inside.
 */
final class PanelArea {
    final int hdc;
    final BlitTimer timer;
    final int x;
    final int y;
    final int width;
    final int height;

    PanelArea(int hdc, BlitTimer timer, int x, int y, int width, int height) {
        this.hdc = hdc;
        this.timer = timer;
        this.x = x;
        this.y = y;
        this.width = width;
        this.height = height;
    }

    /** Blits a whole 32-bit bitmap (top row first) with its top-left corner at (dx, dy). */
    void blit(int[] bits, int bitmapWidth, int bitmapHeight, int dx, int dy) {
        blit(bits, bitmapWidth, bitmapHeight, dx, dy, bitmapWidth, bitmapHeight, 0, 0);
    }

    /** Blits the rectangle at (sx, sy) of size w x h of a 32-bit bitmap to (dx, dy). */
    void blit(int[] bits, int bitmapWidth, int bitmapHeight, int dx, int dy, int w, int h,
            int sx, int sy) {
        timer.time(() -> LUMO.SetDIBitsToDeviceInt(hdc, x + dx, y + dy, w, h, sx, sy, bits,
                bitmapWidth, bitmapHeight));
    }

    void blit24(byte[] rows, int bitmapWidth, int bitmapHeight, int dx, int dy) {
        timer.time(() -> LUMO.SetDIBitsToDeviceByte(hdc, x + dx, y + dy, bitmapWidth,
                bitmapHeight, 0, 0, rows, bitmapWidth, bitmapHeight));
    }

    void blit16(short[] rows, int bitmapWidth, int bitmapHeight, int dx, int dy) {
        timer.time(() -> LUMO.SetDIBitsToDeviceShort(hdc, x + dx, y + dy, bitmapWidth,
                bitmapHeight, 0, 0, rows, bitmapWidth, bitmapHeight));
    }

    /** Blits the w x h pixels at the top-left of a render target to (dx, dy). */
    void blitImage(int image, int dx, int dy, int w, int h) {
        timer.time(() -> LUMO.SetDIBitsToDevice(hdc, image, x + dx, y + dy, w, h, 0, 0));
    }

    /** Covers the whole area with one colour. */
    void fill(int rgb) {
        blit(Patterns.solid(width, height, rgb), width, height, 0, 0);
    }
}
