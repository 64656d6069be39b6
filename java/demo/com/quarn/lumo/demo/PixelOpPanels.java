package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import com.quarn.lumo.internal.LUMO;
import java.awt.AlphaComposite;
import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.Shape;
import java.awt.color.ColorSpace;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.awt.image.BandCombineOp;
import java.awt.image.BufferedImage;
import java.awt.image.ByteLookupTable;
import java.awt.image.ColorConvertOp;
import java.awt.image.ConvolveOp;
import java.awt.image.DataBuffer;
import java.awt.image.Kernel;
import java.awt.image.LookupOp;
import java.awt.image.Raster;
import java.awt.image.WritableRaster;
import java.util.List;
import java.util.function.BiConsumer;

/**
 * Panels of the pixel-array operations, run on a region of a render target's pixel buffer:
 * the Gaussian blur, the colour matrix, the sRGB curves, channel tables and blending one
 * buffer into another, and drop shadows made with the alpha filter and the blur. Most show
 * the same picture in four quadrants, the first as drawn, the others changed. The Java 2D
 * gallery runs its nearest operations: ConvolveOp, BandCombineOp, ColorConvertOp, LookupOp
 * and AlphaComposite.
 */
final class PixelOpPanels {
    private static final int SIZE = 192;
    private static final int W = 88;
    private static final int H = 74;
    /** Top-left corners of the four quadrants' pictures. */
    private static final int[][] QUADRANTS = {{6, 18}, {98, 18}, {6, 114}, {98, 114}};

    private static final float[] GREY = {
        0.2126f, 0.7152f, 0.0722f, 0, 0,
        0.2126f, 0.7152f, 0.0722f, 0, 0,
        0.2126f, 0.7152f, 0.0722f, 0, 0,
        0, 0, 0, 1, 0};
    private static final float[] SEPIA = {
        0.393f, 0.769f, 0.189f, 0, 0,
        0.349f, 0.686f, 0.168f, 0, 0,
        0.272f, 0.534f, 0.131f, 0, 0,
        0, 0, 0, 1, 0};
    private static final float[] INVERT = {
        -1, 0, 0, 0, 255,
        0, -1, 0, 0, 255,
        0, 0, -1, 0, 255,
        0, 0, 0, 1, 0};

    private PixelOpPanels() {
    }

    static List<Panel> all() {
        Scene pictures = pictures();
        return List.of(
                new SimplePanel("Gaussian blur", area -> blur(area, pictures),
                        label(6, 13, "as drawn"), label(98, 13, "\u03c3 1.5, exact"),
                        label(6, 109, "\u03c3 4"), label(98, 109, "\u03c3 8 across only"))
                        .java2d(size -> blurJava2D(pictures)),
                panel("Colour matrix", pictures, PixelOpPanels::matrix,
                        PixelOpPanels::matrixJava2D, "as drawn", "grey", "sepia", "inverted"),
                panel("sRGB curves (applyLut)", pictures, PixelOpPanels::curves,
                        PixelOpPanels::curvesJava2D, "as drawn", "to linear", "to sRGB",
                        "there and back"),
                panel("Channel tables (transColor)", pictures, PixelOpPanels::tables,
                        PixelOpPanels::tablesJava2D, "as drawn", "posterised", "warmer",
                        "more contrast"),
                new SimplePanel("Compose buffers", PixelOpPanels::compose,
                        label(6, 13, "src-over"), label(98, 13, "src-in"),
                        label(6, 109, "xor"), label(98, 109, "0.7 S + 0.7 D"))
                        .java2d(size -> composeJava2D()),
                new SimplePanel("Drop shadows: alpha, blur", PixelOpPanels::shadows)
                        .java2d(size -> shadowsJava2D()));
    }

    /**
     * A small landscape: sky gradient, sun, hills, a white star and thin lines; it carries on
     * {@code margin} pixels past its edges.
     */
    private static void picture(Scene s, int x, int y, int margin) {
        Rectangle2D.Double all = new Rectangle2D.Double(x - margin, y - margin, W + 2 * margin,
                H + 2 * margin);
        s.clip(all, false);
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.PAD, 0, y, 0, y + H,
                0, 0xFF233A78, 150, Palette.PURPLE, 255, Palette.ORANGE));
        s.fill(all);
        s.colour(Palette.YELLOW).fill(new Ellipse2D.Double(x + 50, y + 20, 26, 26));
        s.colour(Palette.GREEN).fill(new Ellipse2D.Double(x - 20, y + 48, 80, 60));
        s.colour(0xFF2E7D4F).fill(new Ellipse2D.Double(x + 30, y + 56, 90, 60));
        s.colour(Palette.LIGHT).fill(Outlines.spikes(x + 22, y + 22, 12, 5, 5));
        s.stroke(1f, SceneStroke.BUTT, SceneStroke.MITER).colour(Palette.LIGHT);
        for (int i = 0; i < 3; i++) {
            s.draw(new Line2D.Double(x + 44, y + 8 + 4 * i, x + 84, y + 8 + 4 * i));
        }
        s.noClip();
    }

    private static Scene pictures() {
        Scene s = new Scene();
        for (int[] q : QUADRANTS) {
            picture(s, q[0], q[1], 0);
        }
        return s;
    }

    /** A quadrant as a region of a pixel buffer, whose row 0 is the bottom row. */
    private static int[] region(int quadrant) {
        int[] q = QUADRANTS[quadrant];
        return new int[] {q[0], SIZE - q[1] - H, W, H, SIZE, SIZE};
    }

    private static Panel panel(String title, Scene pictures, BiConsumer<Target, Integer> op,
            BiConsumer<BufferedImage, Integer> java2d, String... captions) {
        return new SimplePanel(title, area -> {
            try (Target t = LumoRenderer.render(pictures, SIZE, SIZE)) {
                for (int q = 1; q < 4; q++) {
                    op.accept(t, q);
                }
                t.show(area, 0, 0);
            }
        }, label(6, 13, captions[0]), label(98, 13, captions[1]), label(6, 109, captions[2]),
                label(98, 109, captions[3])).java2d(size -> {
                    BufferedImage image = Java2DRenderer.render(pictures, SIZE, SIZE);
                    for (int q = 1; q < 4; q++) {
                        java2d.accept(image, q);
                    }
                    return image;
                });
    }

    private static final double[][] DEVIATIONS = {{}, {1.5, 1.5}, {4, 4}, {8, 0}};
    /**
     * Pixels around a blurred picture: the blur leaves alone the pixels whose window would
     * reach past its region, and the windows of the deviations here reach at most this far.
     */
    private static final int MARGIN = 26;

    /** The picture with its margin, in a scene of its own. */
    private static Scene padded() {
        Scene s = new Scene(0);
        picture(s, MARGIN, MARGIN, MARGIN);
        return s;
    }

    /**
     * Each picture but the first drawn again with a margin into a target of its own, blurred
     * there as a whole and put back in its place without the margin.
     */
    private static void blur(PanelArea area, Scene pictures) {
        Scene padded = padded();
        int pw = W + 2 * MARGIN;
        int ph = H + 2 * MARGIN;
        try (Target t = LumoRenderer.render(pictures, SIZE, SIZE)) {
            for (int q = 1; q < 4; q++) {
                try (Target p = LumoRenderer.render(padded, pw, ph)) {
                    LUMO.gaussianBlur(p.buffer, new int[] {0, 0, pw, ph, pw, ph},
                            DEVIATIONS[q][0], DEVIATIONS[q][1], q == 1);
                    int[] c = QUADRANTS[q];
                    t.clipRect(c[0], c[1], c[0] + W, c[1] + H);
                    LUMO.drawImage(t.g, p.image,
                            new double[] {1, 0, 0, 1, c[0] - MARGIN, c[1] - MARGIN});
                    t.noClip();
                }
            }
            t.show(area, 0, 0);
        }
    }

    private static void matrix(Target t, int q) {
        float[][] matrices = {null, GREY, SEPIA, INVERT};
        LUMO.colorMatrix(t.buffer, region(q), matrices[q], true);
    }

    private static void curves(Target t, int q) {
        if (q != 2) {
            LUMO.applyLut(t.buffer, region(q), false, true);
        }
        if (q != 1) {
            LUMO.applyLut(t.buffer, region(q), true, true);
        }
    }

    /** The quadrant's pixels as a raster of the image (red, green, blue and alpha bands). */
    private static WritableRaster quadrant(BufferedImage image, int q) {
        int[] c = QUADRANTS[q];
        return image.getRaster().createWritableChild(c[0], c[1], W, H, 0, 0, null);
    }

    /** Replaces a quadrant by the straight-alpha copy an operation returns. */
    private static void put(BufferedImage image, int q, BufferedImage result) {
        Graphics2D g = image.createGraphics();
        try {
            g.setComposite(AlphaComposite.Src);
            g.drawImage(result, QUADRANTS[q][0], QUADRANTS[q][1], null);
        } finally {
            g.dispose();
        }
    }

    /** A straight TYPE_INT_ARGB copy of a quadrant. */
    private static BufferedImage copy(BufferedImage image, int q) {
        BufferedImage out = new BufferedImage(W, H, BufferedImage.TYPE_INT_ARGB);
        Graphics2D g = out.createGraphics();
        try {
            g.setComposite(AlphaComposite.Src);
            g.drawImage(image, -QUADRANTS[q][0], -QUADRANTS[q][1], null);
        } finally {
            g.dispose();
        }
        return out;
    }

    /** The same with two ConvolveOps, one across and one down. */
    private static BufferedImage blurJava2D(Scene pictures) {
        Scene padded = padded();
        BufferedImage image = Java2DRenderer.render(pictures, SIZE, SIZE);
        Graphics2D g = image.createGraphics();
        try {
            for (int q = 1; q < 4; q++) {
                BufferedImage p = Java2DRenderer.render(padded, W + 2 * MARGIN, H + 2 * MARGIN);
                p = convolve(p, gaussian(DEVIATIONS[q][0]), true);
                p = convolve(p, gaussian(DEVIATIONS[q][1]), false);
                int[] c = QUADRANTS[q];
                g.setClip(c[0], c[1], W, H);
                g.drawImage(p, c[0] - MARGIN, c[1] - MARGIN, null);
            }
        } finally {
            g.dispose();
        }
        return image;
    }

    private static BufferedImage convolve(BufferedImage picture, float[] weights,
            boolean across) {
        if (weights.length == 1) {
            return picture;
        }
        Kernel kernel = across ? new Kernel(weights.length, 1, weights)
                : new Kernel(1, weights.length, weights);
        return new ConvolveOp(kernel, ConvolveOp.EDGE_NO_OP, null).filter(picture, null);
    }

    /** The sampled Gaussian out to three deviations, normalised; {1} for none. */
    private static float[] gaussian(double deviation) {
        if (deviation <= 0) {
            return new float[] {1};
        }
        int m = (int) Math.ceil(3 * deviation);
        float[] w = new float[2 * m + 1];
        double sum = 0;
        for (int i = -m; i <= m; i++) {
            sum += Math.exp(-i * i / (2 * deviation * deviation));
        }
        for (int i = -m; i <= m; i++) {
            w[i + m] = (float) (Math.exp(-i * i / (2 * deviation * deviation)) / sum);
        }
        return w;
    }

    private static void matrixJava2D(BufferedImage image, int q) {
        float[][] matrices = {null, GREY, SEPIA, INVERT};
        float[][] rows = new float[4][5];
        for (int r = 0; r < 4; r++) {
            System.arraycopy(matrices[q], 5 * r, rows[r], 0, 5);
        }
        BufferedImage picture = copy(image, q);
        WritableRaster raster = picture.getRaster();
        // Into a raster of plain ints, which keeps sums past 255 for clamping; a packed
        // raster would wrap them round.
        WritableRaster sums = Raster.createBandedRaster(DataBuffer.TYPE_INT, W, H, 4, null);
        new BandCombineOp(rows, null).filter(raster, sums);
        int[] samples = sums.getPixels(0, 0, W, H, (int[]) null);
        for (int i = 0; i < samples.length; i++) {
            samples[i] = Math.max(0, Math.min(255, samples[i]));
        }
        raster.setPixels(0, 0, W, H, samples);
        put(image, q, picture);
    }

    private static void curvesJava2D(BufferedImage image, int q) {
        ColorSpace srgb = ColorSpace.getInstance(ColorSpace.CS_sRGB);
        ColorSpace linear = ColorSpace.getInstance(ColorSpace.CS_LINEAR_RGB);
        BufferedImage picture = copy(image, q);
        WritableRaster colour = picture.getRaster().createWritableChild(0, 0, W, H, 0, 0,
                new int[] {0, 1, 2});
        if (q != 2) {
            new ColorConvertOp(srgb, linear, null).filter(colour, colour);
        }
        if (q != 1) {
            new ColorConvertOp(linear, srgb, null).filter(colour, colour);
        }
        put(image, q, picture);
    }

    /** Quadrant by quadrant, a blue disc (destination) and an orange rounded square (source). */
    private static void shapes(Scene destination, Scene source) {
        for (int[] q : QUADRANTS) {
            destination.colour(Palette.BLUE).fill(new Ellipse2D.Double(q[0] + 8, q[1] + 4, 48,
                    48));
            source.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.PAD, 0, q[1] + 22,
                    0, q[1] + 72, 0, Palette.ORANGE, 255, 0x80E0524A));
            source.fill(new RoundRectangle2D.Double(q[0] + 32, q[1] + 22, 50, 48, 14, 14));
        }
    }

    private static final int[] COMPOSE_RULES = {AlphaComposite.SRC_OVER, AlphaComposite.SRC_IN,
        AlphaComposite.XOR};

    /**
     * The source buffer blended into the destination buffer quadrant by quadrant, by three
     * Porter-Duff rules and by arithmetic coefficients; the result over checkerboards.
     */
    private static void compose(PanelArea area) {
        Scene destination = new Scene(0);
        Scene source = new Scene(0);
        shapes(destination, source);
        try (Target d = LumoRenderer.render(destination, SIZE, SIZE);
                Target s = LumoRenderer.render(source, SIZE, SIZE);
                Target t = new Target(SIZE, SIZE, Palette.PANEL)) {
            for (int q = 0; q < 4; q++) {
                if (q < 3) {
                    LUMO.compose(COMPOSE_RULES[q], s.buffer, d.buffer, region(q), region(q));
                } else {
                    LUMO.compose(s.buffer, d.buffer, region(q), region(q),
                            new float[] {0, 0.7f, 0.7f, 0});
                }
                t.checkerboard(QUADRANTS[q][0], QUADRANTS[q][1], W, H, 8);
            }
            LUMO.drawImage(t.g, d.image, null);
            t.show(area, 0, 0);
        }
    }

    /** The three rules with AlphaComposite; Java 2D has no arithmetic blend, so that is hatched. */
    private static BufferedImage composeJava2D() {
        Scene destination = new Scene(0);
        Scene source = new Scene(0);
        shapes(destination, source);
        BufferedImage d = Java2DRenderer.render(destination, SIZE, SIZE);
        BufferedImage s = Java2DRenderer.render(source, SIZE, SIZE);
        Scene backdrop = new Scene();
        for (int[] q : QUADRANTS) {
            backdrop.checkerboard(q[0], q[1], W, H, 8);
        }
        BufferedImage out = Java2DRenderer.render(backdrop, SIZE, SIZE);
        Graphics2D dg = d.createGraphics();
        Graphics2D g = out.createGraphics();
        try {
            for (int q = 0; q < 3; q++) {
                int[] c = QUADRANTS[q];
                dg.setClip(c[0], c[1], W, H);
                dg.setComposite(AlphaComposite.getInstance(COMPOSE_RULES[q]));
                dg.drawImage(s, 0, 0, null);
            }
            for (int q = 0; q < 3; q++) {
                int[] c = QUADRANTS[q];
                g.setClip(c[0], c[1], W, H);
                g.drawImage(d, 0, 0, null);
            }
            g.setClip(null);
            int[] c = QUADRANTS[3];
            Java2DRenderer.hatch(g, new Rectangle2D.Double(c[0], c[1], W, H));
        } finally {
            dg.dispose();
            g.dispose();
        }
        return out;
    }

    /** Tables of 256 entries for red, green, blue and alpha, quadrant by quadrant. */
    private static byte[][] tables(int q) {
        byte[][] t = new byte[4][256];
        for (int v = 0; v < 256; v++) {
            double x = v / 255.0;
            double[] out;
            switch (q) {
                case 1:
                    // Four levels a channel.
                    double level = Math.min(3, Math.floor(x * 4)) / 3;
                    out = new double[] {level, level, level};
                    break;
                case 2:
                    out = new double[] {Math.pow(x, 0.7), x, Math.pow(x, 1.4)};
                    break;
                default:
                    // A smooth step about the middle.
                    double c = x * x * (3 - 2 * x);
                    out = new double[] {c, c, c};
                    break;
            }
            for (int k = 0; k < 3; k++) {
                t[k][v] = (byte) Math.round(255 * out[k]);
            }
            t[3][v] = (byte) v;
        }
        return t;
    }

    private static void tables(Target t, int q) {
        byte[][] tables = tables(q);
        LUMO.transColor(t.buffer, region(q), tables[0], tables[1], tables[2], null, true);
    }

    private static void tablesJava2D(BufferedImage image, int q) {
        BufferedImage picture = copy(image, q);
        new LookupOp(new ByteLookupTable(0, tables(q)), null).filter(picture, picture);
        put(image, q, picture);
    }

    /** Three objects on a transparent layer: a star, a rounded square and a word. */
    private static Scene objects() {
        Scene s = new Scene(0);
        s.colour(Palette.ORANGE).fill(Outlines.spikes(56, 62, 36, 16, 5));
        s.paint(ScenePaint.gradient(ScenePaint.LINEAR, ScenePaint.PAD, 0, 30, 0, 94,
                0, Palette.BLUE, 255, Palette.PURPLE));
        s.fill(new RoundRectangle2D.Double(108, 30, 62, 62, 18, 18));
        Shape word = Outlines.text("shadow", 34f, 94, 138, Outlines.spikes(94, 138, 30, 12, 8));
        s.colour(Palette.GREEN).fill(word);
        return s;
    }

    private static final double SHADOW_DEVIATION = 4;
    private static final float SHADOW_ALPHA = 0.6f;
    private static final int SHADOW_X = 5;
    private static final int SHADOW_Y = 7;

    /** A light card. */
    private static Scene card() {
        Scene s = new Scene();
        s.colour(0xFFD8DDE6).fill(new RoundRectangle2D.Double(6, 6, 180, 180, 16, 16));
        return s;
    }

    /**
     * A copy of the objects turned black by filterAlpha and blurred, drawn offset at partial
     * alpha onto a light card, then the objects over it.
     */
    private static void shadows(PanelArea area) {
        Scene objects = objects();
        try (Target t = LumoRenderer.render(card(), SIZE, SIZE);
                Target o = LumoRenderer.render(objects, SIZE, SIZE);
                Target shadow = LumoRenderer.render(objects, SIZE, SIZE)) {
            int[] all = {0, 0, SIZE, SIZE, SIZE, SIZE};
            LUMO.filterAlpha(shadow.buffer, all);
            LUMO.gaussianBlur(shadow.buffer, all, SHADOW_DEVIATION, SHADOW_DEVIATION, false);
            LUMO.setComposite(t.g, AlphaComposite.SRC_OVER, SHADOW_ALPHA);
            LUMO.drawImage(t.g, shadow.image, new double[] {1, 0, 0, 1, SHADOW_X, SHADOW_Y});
            LUMO.setComposite(t.g, AlphaComposite.SRC_OVER, 1f);
            LUMO.drawImage(t.g, o.image, null);
            t.show(area, 0, 0);
        }
    }

    /** The same with a black copy made by AlphaComposite and blurred by ConvolveOp. */
    private static BufferedImage shadowsJava2D() {
        Scene objects = objects();
        BufferedImage out = Java2DRenderer.render(card(), SIZE, SIZE);
        BufferedImage o = Java2DRenderer.render(objects, SIZE, SIZE);
        BufferedImage shadow = new BufferedImage(SIZE, SIZE, BufferedImage.TYPE_INT_ARGB_PRE);
        Graphics2D sg = shadow.createGraphics();
        Graphics2D g = out.createGraphics();
        try {
            sg.drawImage(o, 0, 0, null);
            sg.setComposite(AlphaComposite.SrcIn);
            sg.setColor(Color.BLACK);
            sg.fillRect(0, 0, SIZE, SIZE);
            shadow = convolve(convolve(shadow, gaussian(SHADOW_DEVIATION), true),
                    gaussian(SHADOW_DEVIATION), false);
            g.setComposite(AlphaComposite.getInstance(AlphaComposite.SRC_OVER, SHADOW_ALPHA));
            g.drawImage(shadow, SHADOW_X, SHADOW_Y, null);
            g.setComposite(AlphaComposite.SrcOver);
            g.drawImage(o, 0, 0, null);
        } finally {
            sg.dispose();
            g.dispose();
        }
        return out;
    }
}
