package com.quarn.lumo.bench;

import com.quarn.lumo.internal.LUMO;
import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.image.BufferedImage;
import java.awt.image.ConvolveOp;
import java.awt.image.Kernel;
import java.util.Arrays;
import java.util.Locale;
import java.util.Random;

/**
 * Times the library's Gaussian blur of a 1024 x 1024 pixel buffer against Java 2D's
 * {@link ConvolveOp} running a separable Gaussian (a horizontal and a vertical kernel of
 * radius ceil(3 deviation), edges left as they are) on a premultiplied int ARGB image of the
 * same content. ConvolveOp runs only at the deviations where such a kernel is practical.
 *
 * <p>Both sides start every run from the same seeded picture (coloured rectangles on white),
 * restored outside the timing; each figure is the median of several runs after warm-up runs.
 */
public final class BlurBench {
    private static final int SIDE = 1024;
    private static final int RECTANGLES = 300;
    private static final int BACKGROUND = 0xFFFFFFFF;
    private static final double[] DEVIATIONS = {1, 3, 10, 30};
    private static final double CONVOLVE_LIMIT = 10;
    private static final int WARM_UP = 2;
    private static final int RUNS = 5;

    private BlurBench() {
    }

    public static void main(String[] args) {
        int[] full = {0, 0, SIDE, SIDE, SIDE, SIDE};
        int picture = LUMO.createDataBuffer(SIDE, SIDE, BACKGROUND);
        int work = LUMO.createDataBuffer(SIDE, SIDE, BACKGROUND);
        BufferedImage source = new BufferedImage(SIDE, SIDE, BufferedImage.TYPE_INT_ARGB_PRE);
        drawPicture(picture, source);

        System.out.printf("Gaussian blur of %d x %d pixels, median of %d runs (ms)%n", SIDE,
                SIDE, RUNS);
        System.out.printf("%-6s %-5s %10s %10s %14s %18s%n", "sigma", "mode", "lumo ms",
                "lumo MP/s", "ConvolveOp ms", "ConvolveOp / lumo");
        for (double deviation : DEVIATIONS) {
            double convolve = deviation <= CONVOLVE_LIMIT ? timeConvolveOp(source, deviation)
                    : Double.NaN;
            for (boolean highQuality : new boolean[] {false, true}) {
                double lumo = median(() -> LUMO.copyData(picture, work, full, full),
                        () -> LUMO.gaussianBlur(work, full, deviation, deviation, highQuality));
                System.out.printf(Locale.ROOT, "%-6s %-5s %10.2f %10.1f %14s %18s%n",
                        format(deviation, "%.0f"), highQuality ? "hq" : "box", lumo,
                        (double) SIDE * SIDE / 1e3 / lumo, format(convolve, "%.2f"),
                        format(convolve / lumo, "%.1f"));
            }
        }
        LUMO.deleteDataBuffer(work);
        LUMO.deleteDataBuffer(picture);
    }

    /** The same seeded rectangles filled into the buffer and drawn into the image. */
    private static void drawPicture(int buffer, BufferedImage image) {
        Graphics2D g = image.createGraphics();
        g.setColor(new Color(BACKGROUND, true));
        g.fillRect(0, 0, SIDE, SIDE);
        Random random = new Random(7);
        for (int i = 0; i < RECTANGLES; i++) {
            int colour = random.nextInt() | 0xFF000000;
            int w = 8 + random.nextInt(192);
            int h = 8 + random.nextInt(192);
            int x = random.nextInt(SIDE - w);
            int y = random.nextInt(SIDE - h);
            g.setColor(new Color(colour, true));
            g.fillRect(x, y, w, h);
            // Buffers keep their bottom row first: picture row y is memory row SIDE - 1 - y.
            LUMO.setData(buffer, new int[] {x, SIDE - y - h, w, h, SIDE, SIDE}, colour);
        }
        g.dispose();
    }

    private static double timeConvolveOp(BufferedImage source, double deviation) {
        int radius = (int) Math.ceil(3 * deviation);
        float[] weights = new float[2 * radius + 1];
        double sum = 0;
        for (int i = -radius; i <= radius; i++) {
            sum += Math.exp(-i * i / (2 * deviation * deviation));
        }
        for (int i = -radius; i <= radius; i++) {
            weights[i + radius] = (float) (Math.exp(-i * i / (2 * deviation * deviation)) / sum);
        }
        ConvolveOp horizontal = new ConvolveOp(new Kernel(weights.length, 1, weights),
                ConvolveOp.EDGE_NO_OP, null);
        ConvolveOp vertical = new ConvolveOp(new Kernel(1, weights.length, weights),
                ConvolveOp.EDGE_NO_OP, null);
        BufferedImage between = new BufferedImage(SIDE, SIDE, BufferedImage.TYPE_INT_ARGB_PRE);
        BufferedImage result = new BufferedImage(SIDE, SIDE, BufferedImage.TYPE_INT_ARGB_PRE);
        return median(() -> { }, () -> {
            horizontal.filter(source, between);
            vertical.filter(between, result);
        });
    }

    /** Median milliseconds of {@link #RUNS} timed runs, each after an untimed setup. */
    private static double median(Runnable setup, Runnable run) {
        double[] ms = new double[RUNS];
        for (int i = -WARM_UP; i < RUNS; i++) {
            setup.run();
            long start = System.nanoTime();
            run.run();
            long elapsed = System.nanoTime() - start;
            if (i >= 0) {
                ms[i] = elapsed / 1e6;
            }
        }
        Arrays.sort(ms);
        return ms[RUNS / 2];
    }

    private static String format(double value, String pattern) {
        return Double.isNaN(value) ? "-" : String.format(Locale.ROOT, pattern, value);
    }
}
