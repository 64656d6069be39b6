package com.quarn.lumo.demo;

import java.util.List;

/** Panels that show the array blits: 32-, 24- and 16-bit rows, source offsets and clipping. */
final class BlitPanels {
    private BlitPanels() {
    }

    static List<Panel> all() {
        return List.of(
                new SimplePanel("32-bit hue bands", area -> {
                    int[] bits = Patterns.hueBands(area.width, area.height);
                    area.blit(bits, area.width, area.height, 0, 0);
                }),
                new SimplePanel("32-bit checkerboard", area -> {
                    int[] bits = Patterns.checkerboard(area.width, area.height, 16);
                    area.blit(bits, area.width, area.height, 0, 0);
                }),
                new SimplePanel("Tiles from source offsets", BlitPanels::tiles),
                new SimplePanel("24-bit rows (B, G, R)", area -> {
                    // An odd width makes every row carry padding.
                    int w = area.width - 1;
                    int[] pixels = Patterns.channelRamps(w, area.height);
                    area.fill(0x202020);
                    area.blit24(Patterns.toRgb24(pixels, w, area.height), w, area.height, 0, 0);
                }),
                new SimplePanel("16-bit rows (5-5-5)", area -> {
                    int w = area.width - 1;
                    int[] pixels = Patterns.channelRamps(w, area.height);
                    area.fill(0x202020);
                    area.blit16(Patterns.toRgb555(pixels, w, area.height), w, area.height, 0, 0);
                }),
                new SimplePanel("Source past the bitmap", BlitPanels::clippedSource));
    }

    /**
     * Cuts the checkerboard into a 4 x 4 grid and blits the tiles in reverse order, each with
     * its own source offset, so the picture appears mirrored tile by tile.
     */
    private static void tiles(PanelArea area) {
        int[] bits = Patterns.checkerboard(area.width, area.height, 16);
        int tileW = area.width / 4;
        int tileH = area.height / 4;
        area.fill(0x101010);
        for (int row = 0; row < 4; row++) {
            for (int col = 0; col < 4; col++) {
                int sx = col * tileW;
                int sy = row * tileH;
                int dx = (3 - col) * tileW;
                int dy = (3 - row) * tileH;
                area.blit(bits, area.width, area.height, dx + 1, dy + 1, tileW - 2, tileH - 2,
                        sx + 1, sy + 1);
            }
        }
    }

    /**
     * Asks for rectangles larger than a small bitmap: only pixels that exist are copied and the
     * background shows through the rest.
     */
    private static void clippedSource(PanelArea area) {
        area.fill(0x404858);
        int size = area.width / 2;
        int[] bits = Patterns.hueBands(size, size);
        int half = size / 2;
        // Top-left quadrant asks for a rectangle starting left of and above the bitmap.
        area.blit(bits, size, size, 0, 0, size, size, -half, -half);
        // Bottom-right quadrant asks for one reaching past its right and bottom edges.
        area.blit(bits, size, size, size, size, size, size, half, half);
        // The remaining quadrants get the whole bitmap.
        area.blit(bits, size, size, size, 0);
        area.blit(bits, size, size, 0, size);
    }
}
