package com.quarn.lumo.demo;

import java.awt.image.BufferedImage;
import java.util.Arrays;

/** Test pictures as 0xAARRGGBB words, top row first, and their packed device layouts. */
final class Patterns {
    private Patterns() {
    }

    /** A TYPE_INT_ARGB image of straight 0xAARRGGBB words, top row first. */
    static BufferedImage image(int width, int height, int[] argb) {
        return image(BufferedImage.TYPE_INT_ARGB, width, height, argb);
    }

    /** An image of the given type holding the words as setRGB stores them. */
    static BufferedImage image(int type, int width, int height, int[] argb) {
        BufferedImage image = new BufferedImage(width, height, type);
        image.setRGB(0, 0, width, height, argb, 0, width);
        return image;
    }

    static int[] solid(int width, int height, int rgb) {
        int[] pixels = new int[width * height];
        Arrays.fill(pixels, 0xFF000000 | rgb);
        return pixels;
    }

    /** Fully saturated hue from left to right, fading to black towards the bottom. */
    static int[] hueBands(int width, int height) {
        int[] pixels = new int[width * height];
        for (int y = 0; y < height; y++) {
            double value = 1.0 - (double) y / height;
            for (int x = 0; x < width; x++) {
                pixels[y * width + x] = hsv(6.0 * x / width, 1.0, value);
            }
        }
        return pixels;
    }

    /** Horizontal bands of red, green, blue and grey ramps, left dark, right bright. */
    static int[] channelRamps(int width, int height) {
        int[] masks = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
        int[] pixels = new int[width * height];
        for (int y = 0; y < height; y++) {
            int mask = masks[y * masks.length / height];
            for (int x = 0; x < width; x++) {
                int level = x * 255 / Math.max(1, width - 1);
                pixels[y * width + x] = 0xFF000000 | level * 0x010101 & mask;
            }
        }
        return pixels;
    }

    /** A checkerboard with a few coloured rectangles on top. */
    static int[] checkerboard(int width, int height, int cell) {
        int[] pixels = new int[width * height];
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                boolean light = (x / cell + y / cell) % 2 == 0;
                pixels[y * width + x] = light ? 0xFFE8E8E8 : 0xFF303030;
            }
        }
        fillRect(pixels, width, width / 8, height / 8, width / 3, height / 4, 0xFFE04030);
        fillRect(pixels, width, width / 2, height / 3, width / 3, height / 3, 0xFF30A0E0);
        fillRect(pixels, width, width / 4, height * 5 / 8, width / 4, height / 4, 0xFFF0C020);
        return pixels;
    }

    static void fillRect(int[] pixels, int width, int x0, int y0, int w, int h, int argb) {
        for (int y = y0; y < y0 + h; y++) {
            Arrays.fill(pixels, y * width + x0, y * width + x0 + w, argb);
        }
    }

    /**
     * The w x h rectangle at (x, y) of a picture {@code width} pixels wide, each pixel
     * repeated {@code factor} times across and down.
     */
    static int[] magnify(int[] pixels, int width, int x, int y, int w, int h, int factor) {
        int outWidth = w * factor;
        int[] out = new int[outWidth * h * factor];
        for (int j = 0; j < h * factor; j++) {
            for (int i = 0; i < outWidth; i++) {
                out[j * outWidth + i] = pixels[(y + j / factor) * width + x + i / factor];
            }
        }
        return out;
    }

    /** B, G, R bytes per pixel, each row padded to a multiple of 4 bytes. */
    static byte[] toRgb24(int[] pixels, int width, int height) {
        int stride = (width * 3 + 3) & ~3;
        byte[] rows = new byte[stride * height];
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                int argb = pixels[y * width + x];
                int at = y * stride + x * 3;
                rows[at] = (byte) argb;
                rows[at + 1] = (byte) (argb >> 8);
                rows[at + 2] = (byte) (argb >> 16);
            }
        }
        return rows;
    }

    /** 5-5-5 words, each row padded to a multiple of 4 bytes. */
    static short[] toRgb555(int[] pixels, int width, int height) {
        int stride = (width + 1) & ~1;
        short[] rows = new short[stride * height];
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                int argb = pixels[y * width + x];
                int r = argb >> 19 & 31;
                int g = argb >> 11 & 31;
                int b = argb >> 3 & 31;
                rows[y * stride + x] = (short) (r << 10 | g << 5 | b);
            }
        }
        return rows;
    }

    static final int HEART_WIDTH = 16;
    static final int HEART_HEIGHT = 12;
    /** Pixel art; each letter is an entry of HEART_COLOURS, '.' the background. */
    private static final String[] HEART = {
        "................",
        "...kkk....kkk...",
        "..krrrk..krrrk..",
        ".krwwrrkkrrrrrk.",
        ".krwrrrrrrrrrsk.",
        ".krrrrrrrrrrrsk.",
        "..krrrrrrrrrsk..",
        "...krrrrrrrsk...",
        "....krrrrrsk....",
        ".....krrrsk.....",
        "......krsk......",
        ".......kk.......",
    };
    private static final String HEART_KEYS = ".ksrw";
    /** Background (unused), outline, shade, red and highlight. */
    static final int[] HEART_COLOURS = {0, 0xFF1E1A2A, 0xFF9C1C3C, 0xFFE8364E, 0xFFFFF4EC};

    /** The heart as indices into HEART_COLOURS, one byte a pixel, top row first. */
    static byte[] heartIndices() {
        byte[] indices = new byte[HEART_WIDTH * HEART_HEIGHT];
        for (int i = 0; i < indices.length; i++) {
            indices[i] = (byte) HEART_KEYS.indexOf(HEART[i / HEART_WIDTH].charAt(i % HEART_WIDTH));
        }
        return indices;
    }

    /** The heart on a diagonal pastel rainbow. */
    static int[] heart() {
        return heart(255);
    }

    /** The heart on a diagonal pastel rainbow of the given alpha, 0 for none. */
    static int[] heart(int backgroundAlpha) {
        byte[] indices = heartIndices();
        int[] pixels = new int[indices.length];
        for (int i = 0; i < pixels.length; i++) {
            int x = i % HEART_WIDTH;
            int y = i / HEART_WIDTH;
            pixels[i] = indices[i] != 0 ? HEART_COLOURS[indices[i]]
                    : backgroundAlpha << 24
                            | hsv(6.0 * (x + y) / (HEART_WIDTH + HEART_HEIGHT), 0.5, 1.0)
                            & 0xFFFFFF;
        }
        return pixels;
    }

    /** A colour wheel fading from opaque at the centre to transparent at the rim. */
    static int[] hueDisc(int width, int height) {
        int[] pixels = new int[width * height];
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                double dx = (x + 0.5) / width - 0.5;
                double dy = (y + 0.5) / height - 0.5;
                double hue = 3 + 3 * Math.atan2(dy, dx) / Math.PI;
                int alpha = channel(1 - 2 * Math.hypot(dx, dy));
                pixels[y * width + x] = alpha << 24 | hsv(hue, 0.8, 1.0) & 0xFFFFFF;
            }
        }
        return pixels;
    }

    /** Rainbow rings around the top-left corner, which reflect into whole circles. */
    static int[] rings(int size) {
        int[] pixels = new int[size * size];
        for (int y = 0; y < size; y++) {
            for (int x = 0; x < size; x++) {
                double d = Math.hypot(x + 0.5, y + 0.5) / size;
                pixels[y * size + x] = d < 1 ? hsv(5.5 * d, 0.7, 1.0) : 0xFF2E3442;
            }
        }
        return pixels;
    }

    /**
     * A line pattern: chevrons pointing along +x, alternately yellow and orange, between
     * light rails, with the gaps between them translucent.
     */
    static int[] chevrons(int width, int height) {
        int[] pixels = new int[width * height];
        int period = width / 2;
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                int along = x + (int) Math.abs(y - (height - 1) / 2.0);
                int colour = along % period >= period / 2 ? 0x50101420
                        : along / period % 2 == 0 ? Palette.YELLOW : Palette.ORANGE;
                pixels[y * width + x] = y == 0 || y == height - 1 ? Palette.LIGHT : colour;
            }
        }
        return pixels;
    }

    /** Hue in [0, 6), saturation and value in [0, 1], as an opaque colour. */
    static int hsv(double hue, double saturation, double value) {
        int sector = (int) Math.floor(hue) % 6;
        double f = hue - Math.floor(hue);
        double p = value * (1 - saturation);
        double q = value * (1 - saturation * f);
        double t = value * (1 - saturation * (1 - f));
        double[] rgb;
        switch (sector) {
            case 0: rgb = new double[] {value, t, p}; break;
            case 1: rgb = new double[] {q, value, p}; break;
            case 2: rgb = new double[] {p, value, t}; break;
            case 3: rgb = new double[] {p, q, value}; break;
            case 4: rgb = new double[] {t, p, value}; break;
            default: rgb = new double[] {value, p, q}; break;
        }
        return 0xFF000000 | channel(rgb[0]) << 16 | channel(rgb[1]) << 8 | channel(rgb[2]);
    }

    private static int channel(double v) {
        return (int) Math.round(Math.max(0, Math.min(1, v)) * 255);
    }
}
