package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import java.awt.geom.AffineTransform;
import java.awt.image.BufferedImage;
import java.util.ArrayList;
import java.util.List;

/** Panels that draw pixels as SWT image data and AWT buffered images lay them out. */
final class ImageDataPanels {
    private static final int W = Patterns.HEART_WIDTH;
    private static final int H = Patterns.HEART_HEIGHT;

    private ImageDataPanels() {
    }

    static List<Panel> all() {
        return List.of(
                new SimplePanel("SWT image data", ImageDataPanels::swt,
                        label(6, 13, "8-bit indexed"), label(98, 13, "4-bit indexed"),
                        label(6, 109, "24-bit, alpha data"), label(98, 109, "5-6-5, alpha 50%"))
                        .lacking("SWT image data is a toolkit format of its own; Java 2D"
                                + " draws buffered images."),
                awt());
    }

    /**
     * Four SWT layouts over checkerboards: the heart's indices at 8 bits with its background
     * transparent and at 4 bits with a palette of its own, a colour wheel of 24-bit pixels with
     * alpha data, and hue bands of 5-6-5 pixels at half alpha.
     */
    private static void swt(PanelArea area) {
        try (Target t = new Target(area.width, area.height, Palette.PANEL)) {
            for (int i = 0; i < 4; i++) {
                t.checkerboard(6 + 92 * (i % 2), 18 + 96 * (i / 2), 88, 66, 11);
            }
            byte[] indices = Patterns.heartIndices();
            int[] colours = Patterns.HEART_COLOURS.clone();
            for (int i = 0; i < colours.length; i++) {
                colours[i] &= 0xFFFFFF;
            }
            LUMO.drawSWTImage(t.g, new int[] {0, W, H, 8, W, -1, 0}, scaled(5.5, 6, 18),
                    indices, colours, null);

            byte[] nibbles = new byte[W * H / 2];
            for (int i = 0; i < indices.length; i++) {
                nibbles[i / 2] |= (byte) (indices[i] << (i % 2 == 0 ? 4 : 0));
            }
            int[] greens = {0x23345A, 0x0E2418, 0x1E6E3A, 0x4CC070, 0xE8FFF0};
            LUMO.drawSWTImage(t.g, new int[] {0, W, H, 4, W / 2, -1, -1}, scaled(5.5, 98, 18),
                    nibbles, greens, null);

            int[] disc = Patterns.hueDisc(24, 18);
            byte[] rgb = new byte[disc.length * 3];
            byte[] alpha = new byte[disc.length];
            for (int i = 0; i < disc.length; i++) {
                rgb[3 * i] = (byte) (disc[i] >> 16);
                rgb[3 * i + 1] = (byte) (disc[i] >> 8);
                rgb[3 * i + 2] = (byte) disc[i];
                alpha[i] = (byte) (disc[i] >>> 24);
            }
            LUMO.drawSWTImage(t.g, new int[] {1, 24, 18, 24, 72, -1, -1},
                    scaled(88 / 24.0, 6, 114), rgb, direct(0xFF0000, 0xFF00, 0xFF), alpha);

            int[] bands = Patterns.hueBands(24, 18);
            byte[] words = new byte[bands.length * 2];
            for (int i = 0; i < bands.length; i++) {
                int p = bands[i] >> 8 & 0xF800 | bands[i] >> 5 & 0x7E0 | bands[i] >> 3 & 0x1F;
                words[2 * i] = (byte) p;
                words[2 * i + 1] = (byte) (p >> 8);
            }
            LUMO.drawSWTImage(t.g, new int[] {1, 24, 18, 16, 48, 128, -1},
                    scaled(88 / 24.0, 98, 114), words, direct(0xF800, 0x7E0, 0x1F), null);
            t.show(area, 0, 0);
        }
    }

    private static double[] scaled(double scale, double x, double y) {
        return new double[] {scale, 0, 0, scale, x, y};
    }

    /** A direct palette: each mask with the shift that brings its top bit to bit 7. */
    private static int[] direct(int red, int green, int blue) {
        int[] palette = {red, 0, green, 0, blue, 0};
        for (int i = 0; i < 6; i += 2) {
            palette[i + 1] = Integer.numberOfLeadingZeros(palette[i]) - 24;
        }
        return palette;
    }

    private static final int[] AWT_TYPES = {BufferedImage.TYPE_INT_RGB,
        BufferedImage.TYPE_INT_ARGB, BufferedImage.TYPE_INT_ARGB_PRE, BufferedImage.TYPE_INT_BGR,
        BufferedImage.TYPE_3BYTE_BGR, BufferedImage.TYPE_4BYTE_ABGR,
        BufferedImage.TYPE_4BYTE_ABGR_PRE, BufferedImage.TYPE_USHORT_565_RGB,
        BufferedImage.TYPE_USHORT_555_RGB};
    private static final String[] AWT_NAMES = {"int RGB", "int ARGB", "int ARGB pre",
        "int BGR", "3-byte BGR", "4-byte ABGR", "4-byte pre", "ushort 565", "ushort 555"};

    /**
     * A colour wheel fading out towards its rim, stored in each of the nine buffered-image
     * types and drawn from the raster arrays over a checkerboard: the types without alpha
     * show the whole rectangle, the others let the checkerboard through.
     */
    private static Panel awt() {
        int[] disc = Patterns.hueDisc(24, 18);
        Scene scene = new Scene();
        List<Panel.Label> labels = new ArrayList<>();
        for (int i = 0; i < AWT_TYPES.length; i++) {
            int x = 2 + 64 * (i % 3);
            int y = 2 + 62 * (i / 3);
            scene.checkerboard(x, y, 60, 45, 6);
            scene.filter(Scene.BILINEAR).raster(Patterns.image(AWT_TYPES[i], 24, 18, disc),
                    new AffineTransform(2.5, 0, 0, 2.5, x, y));
            labels.add(label(x + 1, y + 57, AWT_NAMES[i]));
        }
        return new ScenePanel("AWT images, nine types", scene,
                labels.toArray(new Panel.Label[0]));
    }
}
