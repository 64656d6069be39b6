package com.quarn.lumo.demo;

import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.image.BufferedImage;
import java.util.List;

/**
 * Pixel arrays put straight onto the device: 32-, 24- and 16-bit rows, offsets and clipping.
 * Java 2D draws the same pixels as buffered images of those layouts, and the same source
 * rectangles of them.
 */
final class BlitPanels {
    private BlitPanels() {
    }

    static List<Panel> all() {
        return List.of(
                new SimplePanel("Blits of 32-, 24-, 16-bit rows", BlitPanels::depths,
                        SimplePanel.label(4, 12, "32-bit"), SimplePanel.label(4, 76, "24-bit"),
                        SimplePanel.label(4, 140, "16-bit (5-5-5)"))
                        .java2d(BlitPanels::depthsJava2D),
                new SimplePanel("Blits: offsets, clipping", BlitPanels::offsets)
                        .java2d(BlitPanels::offsetsJava2D));
    }

    /**
     * The channel ramps as 32-bit words, as 24-bit rows and as 16-bit rows, one band each. The
     * odd width makes every 24- and 16-bit row carry padding.
     */
    private static void depths(PanelArea area) {
        int w = area.width - 1;
        int h = 48;
        int[] pixels = Patterns.channelRamps(w, h);
        area.fill(Palette.PANEL & 0xFFFFFF);
        area.blit(pixels, w, h, 0, 16);
        area.blit24(Patterns.toRgb24(pixels, w, h), w, h, 0, 80);
        area.blit16(Patterns.toRgb555(pixels, w, h), w, h, 0, 144);
    }

    /**
     * Left, a checkerboard cut into a 4 x 4 grid blitted tile by tile in reverse order, each
     * from its own source offset; right, rectangles asked from past the edges of a small
     * bitmap, of which only the pixels that exist are copied.
     */
    private static void offsets(PanelArea area) {
        area.fill(Palette.PANEL & 0xFFFFFF);
        int size = 88;
        int[] bits = Patterns.checkerboard(size, size, 11);
        int tile = size / 4;
        for (int row = 0; row < 4; row++) {
            for (int col = 0; col < 4; col++) {
                area.blit(bits, size, size, 4 + (3 - col) * tile + 1, 4 + (3 - row) * tile + 1,
                        tile - 2, tile - 2, col * tile + 1, row * tile + 1);
            }
        }
        area.blit(bits, size, size, 100, 4);

        int half = 44;
        int[] bands = Patterns.hueBands(half, half);
        int[] frame = Patterns.solid(2 * half + 4, 2 * half + 4, 0x404858);
        area.blit(frame, 2 * half + 4, 2 * half + 4, 50, 98);
        // Top left asks for a rectangle starting left of and above the bitmap.
        area.blit(bands, half, half, 52, 100, half, half, -half / 2, -half / 2);
        // Bottom right asks for one reaching past its right and bottom edges.
        area.blit(bands, half, half, 52 + half, 100 + half, half, half, half / 2, half / 2);
        area.blit(bands, half, half, 52 + half, 100);
        area.blit(bands, half, half, 52, 100 + half);
    }

    private static BufferedImage depthsJava2D(int size) {
        int w = size - 1;
        int h = 48;
        int[] pixels = Patterns.channelRamps(w, h);
        BufferedImage out = Patterns.image(BufferedImage.TYPE_INT_RGB, size, size,
                Patterns.solid(size, size, Palette.PANEL & 0xFFFFFF));
        Graphics2D g = out.createGraphics();
        try {
            g.drawImage(Patterns.image(BufferedImage.TYPE_INT_RGB, w, h, pixels), 0, 16, null);
            g.drawImage(Patterns.image(BufferedImage.TYPE_3BYTE_BGR, w, h, pixels), 0, 80, null);
            g.drawImage(Patterns.image(BufferedImage.TYPE_USHORT_555_RGB, w, h, pixels), 0, 144,
                    null);
        } finally {
            g.dispose();
        }
        return out;
    }

    private static BufferedImage offsetsJava2D(int size) {
        BufferedImage out = Patterns.image(BufferedImage.TYPE_INT_RGB, size, size,
                Patterns.solid(size, size, Palette.PANEL & 0xFFFFFF));
        Graphics2D g = out.createGraphics();
        try {
            int s = 88;
            BufferedImage bits = Patterns.image(BufferedImage.TYPE_INT_RGB, s, s,
                    Patterns.checkerboard(s, s, 11));
            int tile = s / 4;
            for (int row = 0; row < 4; row++) {
                for (int col = 0; col < 4; col++) {
                    draw(g, bits, 4 + (3 - col) * tile + 1, 4 + (3 - row) * tile + 1, tile - 2,
                            tile - 2, col * tile + 1, row * tile + 1);
                }
            }
            g.drawImage(bits, 100, 4, null);

            int half = 44;
            BufferedImage bands = Patterns.image(BufferedImage.TYPE_INT_RGB, half, half,
                    Patterns.hueBands(half, half));
            g.setColor(new Color(0x404858));
            g.fillRect(50, 98, 2 * half + 4, 2 * half + 4);
            draw(g, bands, 52, 100, half, half, -half / 2, -half / 2);
            draw(g, bands, 52 + half, 100 + half, half, half, half / 2, half / 2);
            g.drawImage(bands, 52 + half, 100, null);
            g.drawImage(bands, 52, 100 + half, null);
        } finally {
            g.dispose();
        }
        return out;
    }

    /** The w x h rectangle at (sx, sy) of an image, of which only what exists, to (dx, dy). */
    private static void draw(Graphics2D g, BufferedImage image, int dx, int dy, int w, int h,
            int sx, int sy) {
        int x0 = Math.max(sx, 0);
        int y0 = Math.max(sy, 0);
        int x1 = Math.min(sx + w, image.getWidth());
        int y1 = Math.min(sy + h, image.getHeight());
        if (x0 < x1 && y0 < y1) {
            g.drawImage(image, dx + x0 - sx, dy + y0 - sy, dx + x1 - sx, dy + y1 - sy, x0, y0, x1,
                    y1, null);
        }
    }
}
