package com.quarn.lumo;

import java.awt.Graphics2D;
import java.awt.image.BufferedImage;
import java.util.function.Consumer;

/**
 * One drawing made twice: through a lumo surface and through Java 2D on a
 * {@code TYPE_INT_ARGB_PRE} image of the same size, with what each threw.
 */
final class Twin {
    final BufferedImage lumo;
    final BufferedImage java2d;
    final Throwable lumoThrew;
    final Throwable java2dThrew;

    private Twin(BufferedImage lumo, BufferedImage java2d, Throwable lumoThrew,
            Throwable java2dThrew) {
        this.lumo = lumo;
        this.java2d = java2d;
        this.lumoThrew = lumoThrew;
        this.java2dThrew = java2dThrew;
    }

    static Twin draw(int width, int height, Consumer<Graphics2D> drawing) {
        BufferedImage reference = new BufferedImage(width, height,
                BufferedImage.TYPE_INT_ARGB_PRE);
        Graphics2D j = reference.createGraphics();
        Throwable javaThrew = run(drawing, j);
        j.dispose();
        try (LumoSurface surface = new LumoSurface(width, height)) {
            Graphics2D g = surface.createGraphics();
            Throwable lumoThrew = run(drawing, g);
            g.dispose();
            return new Twin(surface.toImage(), reference, lumoThrew, javaThrew);
        }
    }

    private static Throwable run(Consumer<Graphics2D> drawing, Graphics2D g) {
        try {
            drawing.accept(g);
            return null;
        } catch (RuntimeException | Error e) {
            return e;
        }
    }

    /**
     * Writes both pictures side by side at three times their size, lumo left, as
     * {@code name}.png into the folder the system property {@code lumo.test.pictures} names,
     * if it is set.
     */
    void save(String name) {
        String folder = System.getProperty("lumo.test.pictures");
        if (folder == null) {
            return;
        }
        int w = 3 * lumo.getWidth();
        int h = 3 * lumo.getHeight();
        BufferedImage both = new BufferedImage(2 * w + 4, h, BufferedImage.TYPE_INT_ARGB);
        Graphics2D g = both.createGraphics();
        g.drawImage(lumo, 0, 0, w, h, null);
        g.drawImage(java2d, w + 4, 0, w, h, null);
        g.dispose();
        try {
            java.io.File dir = new java.io.File(folder);
            dir.mkdirs();
            javax.imageio.ImageIO.write(both, "png",
                    new java.io.File(dir, name.replaceAll("[^A-Za-z0-9]+", "_") + ".png"));
        } catch (java.io.IOException e) {
            throw new java.io.UncheckedIOException(e);
        }
    }

    /** What {@code action} throws, or null. */
    static Throwable thrown(Runnable action) {
        try {
            action.run();
            return null;
        } catch (RuntimeException | Error e) {
            return e;
        }
    }

    PixelDiff diff() {
        return PixelDiff.of(lumo, java2d);
    }

    static String name(Throwable t) {
        return t == null ? "nothing" : t.getClass().getName();
    }
}
