package com.quarn.lumo.demo;

import java.util.Arrays;

/** Test pictures as 0xAARRGGBB words, top row first, and their packed device layouts. */
final class Patterns {
    private Patterns() {
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
