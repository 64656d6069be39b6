package com.quarn.lumo.internal;

import static com.quarn.lumo.internal.Canvas.alpha;
import static com.quarn.lumo.internal.Canvas.argb;
import static com.quarn.lumo.internal.Canvas.channel;
import static com.quarn.lumo.internal.ImageSources.randomPalette;
import static com.quarn.lumo.internal.ImageSources.swtImage;
import static com.quarn.lumo.internal.ImageSources.swtInfo;
import static com.quarn.lumo.internal.ImageSources.swtPalette;
import static com.quarn.lumo.internal.ImageSources.swtStraight;
import static com.quarn.lumo.internal.ImageSources.withAlpha;
import static com.quarn.lumo.internal.ImageSources.withAlphaData;
import static com.quarn.lumo.internal.ImageSources.withTransparentPixel;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.AlphaComposite;
import java.awt.Graphics2D;
import java.awt.Rectangle;
import java.awt.image.BufferedImage;
import java.awt.image.DataBufferInt;
import java.util.Arrays;
import java.util.Random;
import java.util.function.IntUnaryOperator;
import java.util.stream.Stream;
import org.eclipse.swt.graphics.ImageData;
import org.eclipse.swt.graphics.PaletteData;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.CsvSource;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * The pixel-array operations on pixel buffers and Java arrays. Buffers keep their bottom row
 * first in memory, so a region's row 0 is the bottom row of the picture read back through a
 * device; the helpers here work in memory order and turn it round when reading.
 */
class PixelOpsTest {
    private static final int SENTINEL = 0x5EED5EED;

    // ---------------------------------------------------------------------------------------
    // Helpers.

    private static int[] region(int x, int y, int width, int height, int bufferWidth,
            int bufferHeight) {
        return new int[] {x, y, width, height, bufferWidth, bufferHeight};
    }

    /** The region of a picture rectangle given top row first. */
    private static int[] pictureRegion(Rectangle r, int bufferWidth, int bufferHeight) {
        return region(r.x, bufferHeight - r.y - r.height, r.width, r.height, bufferWidth,
                bufferHeight);
    }

    /** A canvas whose buffer memory holds {@code words} (memory order), put one by one. */
    private static Canvas filled(int width, int height, int[] words) {
        Canvas c = new Canvas(width, height, SENTINEL);
        for (int i = 0; i < words.length; i++) {
            LUMO.setData(c.buffer, region(i % width, i / width, 1, 1, width, height), words[i]);
        }
        return c;
    }

    /** The buffer's words in memory order, bottom row first. */
    private static int[] memory(Canvas c) {
        int[] picture = c.read();
        int[] words = new int[picture.length];
        for (int y = 0; y < c.height; y++) {
            System.arraycopy(picture, (c.height - 1 - y) * c.width, words, y * c.width, c.width);
        }
        return words;
    }

    /** Random valid premultiplied words, with alphas 0 and 255 among them. */
    private static int[] premultipliedWords(int count, long seed) {
        Random random = new Random(seed);
        int[] words = new int[count];
        for (int i = 0; i < count; i++) {
            int a = i % 5 == 0 ? 0 : i % 5 == 1 ? 255 : random.nextInt(256);
            words[i] = argb(a, random.nextInt(a + 1), random.nextInt(a + 1),
                    random.nextInt(a + 1));
        }
        return words;
    }

    private static void assertWordsNear(int[] expected, int[] actual, int tolerance,
            int width, String what) {
        assertEquals(expected.length, actual.length, what + ": length");
        for (int i = 0; i < expected.length; i++) {
            Canvas.assertNear(expected[i], actual[i], tolerance,
                    what + " at word " + i + " (" + i % width + ", " + i / width + ")");
        }
    }

    // ---------------------------------------------------------------------------------------
    // SWT image data into straight ARGB.

    private static final PaletteData RGB_24 = new PaletteData(0xFF0000, 0xFF00, 0xFF);

    private static Arguments swt(String name, ImageData data) {
        return Arguments.of(name, data);
    }

    /** 13 x 5 image data of random bytes, padding included, rows padded to {@code pad}. */
    private static ImageData noisy(int depth, PaletteData palette, int pad, long seed) {
        int bytesPerLine = ((13 * depth + 7) / 8 + pad - 1) / pad * pad;
        byte[] bytes = new byte[bytesPerLine * 5];
        new Random(seed).nextBytes(bytes);
        return new ImageData(13, 5, depth, palette, pad, bytes);
    }

    /** Rows of 13 pixels end inside padding at every depth but 32. */
    static Stream<Arguments> swtImages() {
        return Stream.of(
                swt("1-bit indexed", swtImage(13, 5, 1, randomPalette(2, 1), 11)),
                swt("2-bit indexed", swtImage(13, 5, 2, randomPalette(4, 2), 12)),
                swt("4-bit indexed", swtImage(13, 5, 4, randomPalette(16, 3), 13)),
                swt("1-bit, noise in rows padded to 8 bytes",
                        noisy(1, randomPalette(2, 9), 8, 40)),
                swt("4-bit, noise in rows padded to 4 bytes",
                        noisy(4, randomPalette(16, 10), 4, 41)),
                swt("5-6-5, noise in rows padded to 8 bytes",
                        noisy(16, new PaletteData(0xF800, 0x7E0, 0x1F), 8, 42)),
                swt("24-bit, noise in rows padded to 8 bytes", noisy(24, RGB_24, 8, 43)),
                swt("8-bit indexed", swtImage(13, 5, 8, randomPalette(256, 4), 14)),
                swt("8-bit direct 3-3-2",
                        swtImage(13, 5, 8, new PaletteData(0xE0, 0x1C, 0x03), 15)),
                swt("16-bit direct 5-5-5",
                        swtImage(13, 5, 16, new PaletteData(0x7C00, 0x3E0, 0x1F), 16)),
                swt("16-bit direct 5-6-5",
                        swtImage(13, 5, 16, new PaletteData(0xF800, 0x7E0, 0x1F), 17)),
                swt("24-bit direct RGB", swtImage(13, 5, 24, RGB_24, 18)),
                swt("24-bit direct BGR",
                        swtImage(13, 5, 24, new PaletteData(0xFF, 0xFF00, 0xFF0000), 19)),
                swt("32-bit direct BGRX", swtImage(13, 5, 32,
                        new PaletteData(0xFF00, 0xFF0000, 0xFF000000), 20)),
                swt("32-bit direct XRGB", swtImage(13, 5, 32, RGB_24, 21)),
                swt("1-bit transparent pixel",
                        withTransparentPixel(swtImage(13, 5, 1, randomPalette(2, 5), 22), 1)),
                swt("8-bit transparent pixel", withTransparentPixel(
                        swtImage(13, 5, 8, randomPalette(256, 6), 23), 77)),
                swt("24-bit transparent pixel",
                        withTransparentPixel(swtImage(13, 5, 24, RGB_24, 24), 0x123456)),
                swt("5-6-5 global alpha 100", withAlpha(
                        swtImage(13, 5, 16, new PaletteData(0xF800, 0x7E0, 0x1F), 25), 100)),
                swt("global alpha 0", withAlpha(swtImage(13, 5, 24, RGB_24, 26), 0)),
                swt("global alpha over alpha data",
                        withAlpha(withAlphaData(swtImage(13, 5, 24, RGB_24, 27)), 200)),
                swt("2-bit alpha data",
                        withAlphaData(swtImage(13, 5, 2, randomPalette(4, 7), 28))),
                swt("32-bit alpha data", withAlphaData(swtImage(13, 5, 32, RGB_24, 29))),
                swt("transparent pixel over alpha data and global alpha", withAlpha(
                        withTransparentPixel(withAlphaData(
                                swtImage(13, 5, 4, randomPalette(16, 8), 30)), 5), 60)));
    }

    /** Every word as getPixel and getRGB read it; the words after the image are left alone. */
    @ParameterizedTest(name = "{0}")
    @MethodSource("swtImages")
    void convertDataGivesTheColoursSwtReads(String name, ImageData data) {
        int[] out = new int[data.width * data.height + 3];
        Arrays.fill(out, SENTINEL);
        LUMO.convertData(out, swtInfo(data), data.data, swtPalette(data.palette),
                data.alphaData);
        int[] expected = new int[out.length];
        Arrays.fill(expected, SENTINEL);
        for (int y = 0; y < data.height; y++) {
            for (int x = 0; x < data.width; x++) {
                expected[y * data.width + x] = swtStraight(data, x, y);
            }
        }
        assertWordsNear(expected, out, 0, data.width, name);
    }

    @Test
    void convertDataWritesNothingIntoADestinationTooSmall() {
        ImageData data = swtImage(13, 5, 24, RGB_24, 31);
        int[] out = new int[13 * 5 - 1];
        Arrays.fill(out, SENTINEL);
        LUMO.convertData(out, swtInfo(data), data.data, swtPalette(data.palette), null);
        assertTrue(Arrays.stream(out).allMatch(w -> w == SENTINEL));
    }

    // ---------------------------------------------------------------------------------------
    // Composition against Java's AlphaComposite.

    private static final int SW = 12;
    private static final int SH = 9;
    private static final int DW = 10;
    private static final int DH = 8;

    private static BufferedImage premultipliedImage(int width, int height, int[] topFirst) {
        BufferedImage image = new BufferedImage(width, height, BufferedImage.TYPE_INT_ARGB_PRE);
        int[] raster = ((DataBufferInt) image.getRaster().getDataBuffer()).getData();
        System.arraycopy(topFirst, 0, raster, 0, raster.length);
        return image;
    }

    /** Rows in the other order: memory order to picture order and back. */
    private static int[] flipped(int[] words, int width, int height) {
        int[] rows = new int[words.length];
        for (int y = 0; y < height; y++) {
            System.arraycopy(words, (height - 1 - y) * width, rows, y * width, width);
        }
        return rows;
    }

    /**
     * Java's drawing of source rectangle {@code s} onto destination rectangle {@code d}
     * (picture coordinates, memory order in and out). Regions pair their pixels from the
     * bottom left, so a taller or wider rectangle loses its top rows and right columns, and
     * only pixels inside both buffers are drawn.
     */
    private static int[] javaCompose(int rule, int[] source, int[] destination, Rectangle s,
            Rectangle d) {
        int w = Math.min(s.width, d.width);
        int h = Math.min(s.height, d.height);
        Rectangle sr = new Rectangle(s.x, s.y + s.height - h, w, h);
        Rectangle dr = new Rectangle(d.x, d.y + d.height - h, w, h);
        int dx = dr.x - sr.x;
        int dy = dr.y - sr.y;
        Rectangle clip = sr.intersection(new Rectangle(0, 0, SW, SH));
        clip.translate(dx, dy);
        clip = clip.intersection(dr).intersection(new Rectangle(0, 0, DW, DH));
        BufferedImage to = premultipliedImage(DW, DH, flipped(destination, DW, DH));
        if (!clip.isEmpty()) {
            Graphics2D g = to.createGraphics();
            g.setComposite(AlphaComposite.getInstance(rule));
            g.setClip(clip);
            g.drawImage(premultipliedImage(SW, SH, flipped(source, SW, SH)), dx, dy, null);
            g.dispose();
        }
        return flipped(((DataBufferInt) to.getRaster().getDataBuffer()).getData(), DW, DH);
    }

    private static int[] lumoCompose(int rule, int[] source, int[] destination, int[] s,
            int[] d) {
        try (Canvas from = filled(SW, SH, source); Canvas to = filled(DW, DH, destination)) {
            LUMO.compose(rule, from.buffer, to.buffer, s, d);
            return memory(to);
        }
    }

    static Stream<Arguments> composeCases() {
        Rectangle[][] placements = {
            {new Rectangle(2, 3, 7, 5), new Rectangle(1, 1, 7, 5)},
            {new Rectangle(0, 0, SW, SH), new Rectangle(0, 0, DW, DH)},
            // Different sizes, both reaching past their buffers.
            {new Rectangle(6, -2, 9, 6), new Rectangle(-3, 4, 8, 7)},
        };
        int[] rules = {AlphaComposite.SRC_OVER, AlphaComposite.SRC_IN, AlphaComposite.SRC_OUT,
            AlphaComposite.SRC_ATOP, AlphaComposite.XOR};
        return Arrays.stream(rules).boxed().flatMap(rule -> Arrays.stream(placements)
                .map(p -> Arguments.of(rule, p[0], p[1])));
    }

    @ParameterizedTest(name = "rule {0}: {1} onto {2}")
    @MethodSource("composeCases")
    void composeByRuleAgreesWithAlphaComposite(int rule, Rectangle s, Rectangle d) {
        int[] source = premultipliedWords(SW * SH, 100 + rule);
        int[] destination = premultipliedWords(DW * DH, 200 + rule);
        int[] expected = javaCompose(rule, source, destination, s, d);
        int[] actual = lumoCompose(rule, source, destination, pictureRegion(s, SW, SH),
                pictureRegion(d, DW, DH));
        assertWordsNear(expected, actual, 1, DW, "rule " + rule);
    }

    @Test
    void composeByOtherRulesAndOntoItself() {
        int[] source = premultipliedWords(SW * SH, 300);
        int[] destination = premultipliedWords(DW * DH, 301);
        int[] s = region(1, 1, 8, 6, SW, SH);
        int[] d = region(2, 0, 8, 6, DW, DH);
        int[] over = lumoCompose(AlphaComposite.SRC_OVER, source, destination, s, d);
        assertArrayEquals(over, lumoCompose(0, source, destination, s, d), "rule 0");
        assertArrayEquals(over, lumoCompose(27, source, destination, s, d), "rule 27");
        assertArrayEquals(destination, lumoCompose(AlphaComposite.DST, source, destination, s,
                d), "dst");
        try (Canvas c = filled(DW, DH, destination)) {
            LUMO.compose(AlphaComposite.SRC_OVER, c.buffer, c.buffer, s, d);
            assertArrayEquals(destination, memory(c), "a buffer onto itself");
        }
    }

    // ---------------------------------------------------------------------------------------
    // Filling and copying regions.

    /** Sets the words a region covers: none unless its whole layout fits the memory. */
    private static void fillModel(int[] words, int[] r, int value) {
        if (r[4] < 0 || r[5] < 0 || (long) r[4] * r[5] > words.length) {
            return;
        }
        for (int y = 0; y < r[5]; y++) {
            for (int x = 0; x < r[4]; x++) {
                if (x >= r[0] && x < (long) r[0] + r[2] && y >= r[1] && y < (long) r[1] + r[3]) {
                    words[y * r[4] + x] = value;
                }
            }
        }
    }

    @Test
    void setDataFillsRegionsCutToTheirLayout() {
        int[][] regions = {
            region(0, 0, 10, 8, 10, 8), // the whole buffer
            region(-3, -2, 6, 5, 10, 8), // cut at the left and the bottom
            region(7, 6, 10, 10, 10, 8), // cut at the right and the top
            region(8, 0, 4, 1, 20, 4), // a 20-word layout: runs into the second row
            region(4, 3, 2, 2, 10, 8),
            region(Integer.MIN_VALUE, Integer.MIN_VALUE, Integer.MAX_VALUE, Integer.MAX_VALUE,
                    10, 8), // cut to nothing
            region(0, 0, 2, 2, 10, 9), // a layout larger than the buffer: nothing
            region(0, 0, -1, 2, 10, 8),
        };
        int[] model = new int[10 * 8];
        Arrays.fill(model, 0xFF000000);
        try (Canvas c = new Canvas(10, 8, 0xFF000000)) {
            for (int k = 0; k < regions.length; k++) {
                int colour = 0xFF102030 + 0x111111 * k;
                LUMO.setData(c.buffer, regions[k], colour);
                fillModel(model, regions[k], colour);
            }
            LUMO.setData(c.buffer, new int[5], 0xFFFFFFFF);
            LUMO.setData(c.buffer, null, 0xFFFFFFFF);
            assertArrayEquals(model, memory(c));
        }
    }

    @Test
    void copyDataCopiesTheCommonPartOfTwoRegions() {
        int[] source = premultipliedWords(SW * SH, 400);
        int[][][] pairs = {
            {region(1, 2, 5, 4, SW, SH), region(3, 1, 5, 4, DW, DH)},
            {region(-2, 3, 8, 9, SW, SH), region(5, -1, 6, 4, DW, DH)},
            {region(9, 0, 6, 3, SW, SH), region(0, 6, 9, 9, DW, DH)},
            {region(0, 0, 3, 3, SW, SH + 1), region(0, 0, 3, 3, DW, DH)}, // no fit: nothing
        };
        try (Canvas from = filled(SW, SH, source)) {
            for (int[][] pair : pairs) {
                int[] model = new int[DW * DH];
                Arrays.fill(model, 0xFF808080);
                int[] s = pair[0];
                int[] d = pair[1];
                boolean fits = (long) s[4] * s[5] <= SW * SH;
                for (int j = 0; fits && j < Math.min(s[3], d[3]); j++) {
                    for (int i = 0; i < Math.min(s[2], d[2]); i++) {
                        int sx = s[0] + i;
                        int sy = s[1] + j;
                        int dx = d[0] + i;
                        int dy = d[1] + j;
                        if (sx >= 0 && sx < SW && sy >= 0 && sy < SH && dx >= 0 && dx < DW
                                && dy >= 0 && dy < DH) {
                            model[dy * DW + dx] = source[sy * SW + sx];
                        }
                    }
                }
                try (Canvas to = new Canvas(DW, DH, 0xFF808080)) {
                    // One word set gives the buffer its memory, in the clear colour.
                    LUMO.setData(to.buffer, region(0, 0, 1, 1, DW, DH), 0xFF808080);
                    LUMO.copyData(from.buffer, to.buffer, s, d);
                    LUMO.copyData(from.buffer, to.buffer, null, d);
                    LUMO.copyData(0, to.buffer, s, d);
                    assertArrayEquals(model, memory(to), Arrays.toString(s) + " to "
                            + Arrays.toString(d));
                }
            }
        }
    }

    // ---------------------------------------------------------------------------------------
    // Premultiplying and unpremultiplying.

    private static int premultiply(int word) {
        int a = alpha(word);
        int[] c = new int[3];
        for (int i = 0; i < 3; i++) {
            c[i] = a == 0 ? 0 : Math.round(channel(word, i + 1) * a / 255f);
        }
        return argb(a, c[0], c[1], c[2]);
    }

    private static int unpremultiply(int word) {
        int a = alpha(word);
        if (a == 0 || a == 255) {
            return word;
        }
        int[] c = new int[3];
        for (int i = 0; i < 3; i++) {
            int v = channel(word, i + 1);
            c[i] = v >= a ? 255 : Math.round(v * 255f / a);
        }
        return argb(a, c[0], c[1], c[2]);
    }

    /** The words of a 7 x 4 layout, region {2, 1, 4, 2} changed by {@code op}. */
    private static int[] coercedModel(int[] words, IntUnaryOperator op) {
        int[] model = words.clone();
        for (int y = 1; y < 3; y++) {
            for (int x = 2; x < 6; x++) {
                model[y * 7 + x] = op.applyAsInt(model[y * 7 + x]);
            }
        }
        return model;
    }

    /** Under checked JNI the array is a copy: the results must be written back into it. */
    @Test
    void coerceDataOnAJavaArray() {
        int[] straight = new Random(500).ints(7 * 4 + 2).toArray();
        straight[7 * 1 + 2] = 0x00FFFFFF; // alpha 0 clears the colour
        straight[7 * 1 + 3] = 0xFF123456; // opaque stays
        int[] pixels = straight.clone();
        int[] r = region(2, 1, 4, 2, 7, 4);
        LUMO.coerceData(pixels, r, true);
        int[] premultiplied = coercedModel(straight, PixelOpsTest::premultiply);
        assertArrayEquals(premultiplied, pixels, "premultiplied");
        LUMO.coerceData(pixels, r, false);
        assertArrayEquals(coercedModel(premultiplied, PixelOpsTest::unpremultiply), pixels,
                "unpremultiplied");

        int[] before = pixels.clone();
        LUMO.coerceData(pixels, region(0, 0, 2, 2, 7, 5), true); // the layout needs 35 words
        LUMO.coerceData(pixels, null, true);
        assertArrayEquals(before, pixels, "nothing for a bad region");
        LUMO.coerceData(pixels, region(5, 3, 9, 9, 7, 4), true); // cut to two words
        before[7 * 3 + 5] = premultiply(before[7 * 3 + 5]);
        before[7 * 3 + 6] = premultiply(before[7 * 3 + 6]);
        assertArrayEquals(before, pixels, "a region past the layout");
    }

    @Test
    void coerceDataOnABuffer() {
        int[] straight = new Random(501).ints(7 * 4).toArray();
        try (Canvas c = filled(7, 4, straight)) {
            LUMO.coerceData(c.buffer, region(2, 1, 4, 2, 7, 4), true);
            assertArrayEquals(coercedModel(straight, PixelOpsTest::premultiply), memory(c));
        }
    }

    // ---------------------------------------------------------------------------------------
    // Filters and the blur.

    @Test
    void colorMatrixSwapsRedAndBlue() {
        float[] swap = {
            0, 0, 1, 0, 0,
            0, 1, 0, 0, 0,
            1, 0, 0, 0, 0,
            0, 0, 0, 1, 0};
        // 0xCC402010 premultiplied by 0.8 is 0xCC502814 straight; filters store straight colour.
        int[] words = {0xFF102030, 0xCC402010, 0xFFFF0080, 0x12345678};
        try (Canvas c = filled(4, 1, words)) {
            LUMO.colorMatrix(c.buffer, region(0, 0, 3, 1, 4, 1), swap, true);
            assertArrayEquals(new int[] {0xFF302010, 0xCC142850, 0xFF8000FF, 0x12345678},
                    memory(c));
        }
        try (Canvas c = filled(4, 1, words)) {
            LUMO.colorMatrix(c.buffer, region(1, 0, 3, 1, 4, 1), swap, false);
            assertArrayEquals(new int[] {0xFF102030, 0xCC102040, 0xFF8000FF, 0x12785634},
                    memory(c));
        }
    }

    /** The sRGB curves: decoding maps 128 to 55, encoding maps it back. */
    @Test
    void applyLutFollowsTheSrgbCurves() {
        int[] values = {0, 10, 55, 128, 200, 255};
        int[] words = new int[values.length];
        for (int i = 0; i < values.length; i++) {
            words[i] = argb(255, values[i], values[values.length - 1 - i], values[i]);
        }
        try (Canvas c = filled(values.length, 1, words)) {
            int[] r = region(0, 0, values.length, 1, values.length, 1);
            LUMO.applyLut(c.buffer, r, false, false);
            int[] decoded = memory(c);
            assertEquals(55, channel(decoded[3], 1), "128 decoded");
            for (int i = 0; i < values.length; i++) {
                int red = decode(values[i]);
                int green = decode(values[values.length - 1 - i]);
                Canvas.assertNear(argb(255, red, green, red), decoded[i], 1, "decoded " + i);
            }
            LUMO.applyLut(c.buffer, r, true, false);
            int[] encoded = memory(c);
            for (int i = 0; i < values.length; i++) {
                int red = encode(channel(decoded[i], 1));
                int green = encode(channel(decoded[i], 2));
                Canvas.assertNear(argb(255, red, green, red), encoded[i], 1, "encoded " + i);
            }
            assertEquals(128, channel(encoded[3], 1), "55 encoded");
        }
    }

    private static int decode(int v) {
        double c = v / 255.0;
        return (int) Math.round(255 * (c <= 0.04045 ? c / 12.92
                : Math.pow((c + 0.055) / 1.055, 2.4)));
    }

    private static int encode(int v) {
        double c = v / 255.0;
        return (int) Math.round(255 * (c <= 0.0031308 ? c * 12.92
                : 1.055 * Math.pow(c, 1 / 2.4) - 0.055));
    }

    /** The sampled Gaussian at offset {@code i}, normalised over offsets -m..m. */
    private static double gaussian(int i, double deviation, int m) {
        double sum = 0;
        for (int k = -m; k <= m; k++) {
            sum += Math.exp(-k * k / (2 * deviation * deviation));
        }
        return Math.exp(-i * i / (2 * deviation * deviation)) / sum;
    }

    /**
     * A white square of {@code side} pixels in the middle of a transparent buffer spreads the
     * same way in all directions and keeps most of its total; a single pixel blurred in high
     * quality takes the shape of the sampled Gaussian. Box passes (from deviation 2 on, unless
     * in high quality) round each average down, which loses a little on every pass and pixel:
     * too much for a lone pixel, so they get a larger square.
     */
    @ParameterizedTest(name = "deviation {0}, high quality {1}, square of {2}")
    @CsvSource({"1, false, 1", "2, true, 1", "3, true, 1", "3, false, 11", "10, false, 31"})
    void gaussianBlurOfAWhiteSquare(double deviation, boolean hq, int side) {
        int m = side / 2 + (int) Math.ceil(5 * deviation);
        int n = 2 * m + 1;
        int first = m - side / 2;
        boolean convolution = hq || deviation < 2;
        // Across the diagonal the second axis floors the first axis's tails once more.
        int[] tolerances = {1, 1, convolution ? 1 : 3};
        try (Canvas c = new Canvas(n, n, 0)) {
            LUMO.setData(c.buffer, region(first, first, side, side, n, n), 0xFFFFFFFF);
            LUMO.gaussianBlur(c.buffer, region(0, 0, n, n, n, n), deviation, deviation, hq);
            int[] p = memory(c);
            long total = 0;
            for (int y = 0; y < n; y++) {
                for (int x = 0; x < n; x++) {
                    int v = p[y * n + x];
                    String at = "(" + x + ", " + y + ") " + Integer.toHexString(v);
                    assertEquals(v, v >>> 8 | alpha(v) << 24, at + ": grey at its alpha");
                    int[] mirrors = {p[y * n + n - 1 - x], p[(n - 1 - y) * n + x],
                        p[x * n + y]};
                    for (int k = 0; k < 3; k++) {
                        assertTrue(Math.abs(alpha(v) - alpha(mirrors[k])) <= tolerances[k],
                                at + " against its mirror " + Integer.toHexString(mirrors[k]));
                    }
                    if (hq && side == 1) {
                        double expected = 255 * gaussian(x - m, deviation, m)
                                * gaussian(y - m, deviation, m);
                        assertTrue(Math.abs(alpha(v) - expected) <= 2,
                                at + ": " + alpha(v) + " for " + expected);
                    }
                    total += alpha(v);
                }
            }
            int reach = side / 2 + (int) Math.ceil(deviation);
            assertTrue(alpha(p[m * n + m + reach]) > 0, "reaches one deviation past the edge");
            assertEquals(0, p[0], "the corner stays");
            long before = 255L * side * side;
            assertTrue(total > (convolution ? 0.8 : 0.9) * before && total <= before + 2,
                    "total " + total + " of " + before);
        }
    }
}
