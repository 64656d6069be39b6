package com.quarn.lumo.bench;

import java.awt.Graphics2D;
import java.awt.Rectangle;

/**
 * Draws the first operation of a batch with both engines on white and compares the pictures
 * around it, so that a scene one engine draws wrongly (or not at all) shows up before its
 * timing is believed. The measure is the mean absolute difference of the red, green and blue
 * bytes over the operation's bounds; it passes when it stays below a small floor or a
 * fraction of how far Java 2D's picture differs from the white it was drawn on.
 */
final class PictureCheck {
    static final int WHITE = 0xFFFFFFFF;
    /** Differences up to this many levels a channel always pass (edge antialiasing). */
    static final double FLOOR = 4;
    /** Differences up to this share of the drawing's own contrast pass. */
    static final double SHARE = 0.35;

    /** The mean channel difference between the engines and the contrast of Java 2D's drawing. */
    static final class Result {
        final double difference;
        final double contrast;

        Result(double difference, double contrast) {
            this.difference = difference;
            this.contrast = contrast;
        }

        boolean passed() {
            return difference <= Math.max(FLOOR, SHARE * contrast);
        }
    }

    private PictureCheck() {
    }

    static Result run(Batch batch, Java2DCanvas java, LumoCanvas lumo) {
        java.clear(WHITE);
        Graphics2D g = java.begin();
        batch.prepareJava2D(g);
        batch.drawJava2D(g, 0, 1);
        g.dispose();
        lumo.clear(WHITE);
        batch.prepareLumo(lumo.g);
        batch.drawLumo(lumo.g, 0, 1);
        return compare(java.read(), lumo.read(), lumo.width,
                batch.bounds(0).intersection(new Rectangle(0, 0, lumo.width, lumo.height)));
    }

    /** Compares two pictures of rows {@code width} words long inside {@code area}. */
    static Result compare(int[] expected, int[] actual, int width, Rectangle area) {
        long difference = 0;
        long contrast = 0;
        for (int y = area.y; y < area.y + area.height; y++) {
            for (int x = area.x; x < area.x + area.width; x++) {
                int a = expected[y * width + x];
                int b = actual[y * width + x];
                for (int shift = 0; shift < 24; shift += 8) {
                    int ca = a >>> shift & 0xFF;
                    difference += Math.abs(ca - (b >>> shift & 0xFF));
                    contrast += 255 - ca;
                }
            }
        }
        double samples = Math.max(1.0, 3.0 * area.width * area.height);
        return new Result(difference / samples, contrast / samples);
    }
}
