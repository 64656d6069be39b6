package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import java.awt.geom.Arc2D;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.RoundRectangle2D;
import java.awt.image.BufferedImage;
import java.util.List;

/** Panels that draw shapes: antialiasing, arcs, pies, rounded corners. */
final class ShapePanels {
    private static final int ZOOM = 4;
    private static final int ZOOMED = 18;
    private static final int SIZE = 192;

    private ShapePanels() {
    }

    static List<Panel> all() {
        Scene shapes = antialiasing();
        return List.of(
                new SimplePanel("Antialiasing off and on", area -> {
                    try (Target t = LumoRenderer.render(shapes, SIZE, SIZE)) {
                        t.show(area, 0, 0);
                        int[] zoomed = magnified(t.read());
                        area.blit(zoomed, SIZE, SIZE - 100, 0, 100);
                    }
                }, label(4, 12, "aliased"), label(100, 12, "antialiased"),
                        label(4, 188, "zoom " + ZOOM + "x"), label(100, 188, "zoom " + ZOOM + "x"))
                        .java2d(size -> {
                            BufferedImage image = Java2DRenderer.render(shapes, SIZE, SIZE);
                            int[] pixels = image.getRGB(0, 0, SIZE, SIZE, null, 0, SIZE);
                            image.setRGB(0, 100, SIZE, SIZE - 100, magnified(pixels), 0, SIZE);
                            return image;
                        }),
                new ScenePanel("Arcs, pies, rounded corners", curves()));
    }

    /**
     * The same disc, pie and fan of thin lines drawn aliased on the left and antialiased on
     * the right; the lower part is left for the magnified pies.
     */
    private static Scene antialiasing() {
        Scene s = new Scene();
        int half = SIZE / 2;
        for (int side = 0; side < 2; side++) {
            int x = side * half;
            s.antialias(side == 1);
            s.colour(Palette.BLUE).fill(new Ellipse2D.Double(x + 4, 18, 40, 40));
            // A pie whose missing wedge faces three o'clock.
            s.colour(Palette.ORANGE).fill(new Arc2D.Double(x + 48, 18, 40, 40, 30, 300,
                    Arc2D.PIE));
            // One-pixel lines through pixel centres.
            s.pixelCentres(true).colour(Palette.LIGHT).stroke(1f, SceneStroke.BUTT,
                    SceneStroke.MITER);
            for (int i = 0; i <= 5; i++) {
                double a = Math.toRadians(i * 15);
                s.draw(new Line2D.Double(x + 6, 96, x + 6 + Math.round(84 * Math.cos(a)),
                        96 - Math.round(32 * Math.sin(a))));
            }
            s.pixelCentres(false);
        }
        return s;
    }

    /**
     * The lower part of the panel: the centre of each pie, where its two straight edges meet,
     * magnified in a frame, on the panel colour; {@code pixels} is the whole drawn panel.
     */
    private static int[] magnified(int[] pixels) {
        int h = SIZE - 100;
        int[] out = Patterns.solid(SIZE, h, Palette.PANEL & 0xFFFFFF);
        int size = ZOOMED * ZOOM;
        for (int side = 0; side < 2; side++) {
            int dx = side * SIZE / 2 + 4;
            int[] zoomed = Patterns.magnify(pixels, SIZE, side * SIZE / 2 + 64, 29, ZOOMED,
                    ZOOMED, ZOOM);
            Patterns.fillRect(out, SIZE, dx - 1, 0, size + 2, size + 2, Palette.GUIDE);
            for (int y = 0; y < size; y++) {
                System.arraycopy(zoomed, y * size, out, (y + 1) * SIZE + dx, size);
            }
        }
        return out;
    }

    /** A pie chart, open arcs of growing extent and rectangles with growing corner arcs. */
    private static Scene curves() {
        Scene s = new Scene();
        // Slices follow each other counter-clockwise from three o'clock.
        int[] extents = {100, 70, 60, 80, 50};
        int[] colours = {Palette.BLUE, Palette.ORANGE, Palette.GREEN, Palette.RED,
            Palette.PURPLE};
        int start = 0;
        for (int i = 0; i < extents.length; i++) {
            s.colour(colours[i]).fill(new Arc2D.Double(8, 8, 80, 80, start, extents[i],
                    Arc2D.PIE));
            start += extents[i];
        }

        // Rings from twelve o'clock over their tracks, counter-clockwise.
        s.stroke(6f, SceneStroke.ROUND, SceneStroke.ROUND_JOIN);
        int[] arcs = {90, 180, 270};
        for (int i = 0; i < arcs.length; i++) {
            int inset = 11 * i;
            int size = 80 - 2 * inset;
            s.colour(Palette.TRACK).draw(new Ellipse2D.Double(104 + inset, 8 + inset, size,
                    size));
            s.colour(colours[i]).draw(new Arc2D.Double(104 + inset, 8 + inset, size, size, 90,
                    arcs[i], Arc2D.OPEN));
        }

        // Corner diameters up to the full height, which rounds the ends into half circles.
        int[] corners = {0, 12, 24, 34};
        for (int i = 0; i < corners.length; i++) {
            int x = 8 + 46 * i;
            s.colour(Palette.YELLOW).fill(new RoundRectangle2D.Double(x, 104, 40, 34,
                    corners[i], corners[i]));
            s.colour(Palette.LIGHT).stroke(3f, SceneStroke.BUTT, SceneStroke.MITER);
            s.draw(new RoundRectangle2D.Double(x + 2, 150, 36, 34, corners[i], corners[i]));
        }
        return s;
    }
}
