package com.quarn.lumo.internal;

import static com.quarn.lumo.internal.ImageSources.awtExpected;
import static com.quarn.lumo.internal.ImageSources.awtImage;
import static com.quarn.lumo.internal.ImageSources.drawAwt;
import static com.quarn.lumo.internal.ImageSources.drawSwt;
import static com.quarn.lumo.internal.ImageSources.randomColours;
import static com.quarn.lumo.internal.ImageSources.randomPalette;
import static com.quarn.lumo.internal.ImageSources.swtExpected;
import static com.quarn.lumo.internal.ImageSources.swtImage;
import static com.quarn.lumo.internal.ImageSources.swtInfo;
import static com.quarn.lumo.internal.ImageSources.swtPalette;
import static com.quarn.lumo.internal.ImageSources.target;
import static com.quarn.lumo.internal.ImageSources.withAlpha;
import static com.quarn.lumo.internal.ImageSources.withAlphaData;
import static com.quarn.lumo.internal.ImageSources.withTransparentPixel;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assertions.fail;

import java.awt.Shape;
import java.awt.geom.Area;
import java.awt.geom.Path2D;
import java.awt.image.BufferedImage;
import java.awt.image.DataBufferByte;
import java.awt.image.DataBufferInt;
import java.awt.image.DataBufferUShort;
import java.util.Arrays;
import java.util.HashSet;
import java.util.Set;
import java.util.function.IntBinaryOperator;
import java.util.function.IntConsumer;
import java.util.function.IntUnaryOperator;
import java.util.function.ObjIntConsumer;
import java.util.stream.IntStream;
import java.util.stream.Stream;
import org.eclipse.swt.graphics.ImageData;
import org.eclipse.swt.graphics.PaletteData;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;
import org.junit.jupiter.params.provider.ValueSource;

/**
 * Images drawn through a drawing object: SWT image data, AWT rasters and render targets,
 * textures and line patterns. Expected colours come from SWT's and AWT's own pixel accessors
 * or are worked out by hand from the source pixels.
 */
class ImageDrawingTest {
    static final int SRC = 2;
    static final int SRC_OVER = 3;
    private static final int IMAGE_FILTER = 0xF800;
    private static final int BACKDROP = 0xFF3C5A78;
    private static final PaletteData RGB_24 = new PaletteData(0xFF0000, 0xFF00, 0xFF);

    // ---------------------------------------------------------------------------------------
    // Helpers.

    /** A canvas painted all over with the backdrop, so that its pixels exist before a draw. */
    private static Canvas backdrop(int width, int height) {
        Canvas c = new Canvas(width, height);
        LUMO.setPaint(c.g, BACKDROP);
        LUMO.fillRect(c.g, 0, 0, width, height);
        return c;
    }

    private static double[] translation(double x, double y) {
        return new double[] {1, 0, 0, 1, x, y};
    }

    /** {@code image(x - left, y - top)} inside the rectangle, the backdrop outside it. */
    private static IntBinaryOperator placed(int left, int top, int width, int height,
            IntBinaryOperator image) {
        return (x, y) -> x >= left && x < left + width && y >= top && y < top + height
                ? image.applyAsInt(x - left, y - top) : BACKDROP;
    }

    private static void assertPixels(Canvas c, IntBinaryOperator expected, int tolerance,
            String what) {
        int[] pixels = c.read();
        for (int y = 0; y < c.height; y++) {
            for (int x = 0; x < c.width; x++) {
                Canvas.assertNear(expected.applyAsInt(x, y), pixels[y * c.width + x], tolerance,
                        what + " at (" + x + ", " + y + ")");
            }
        }
    }

    /** Premultiplied source over destination, channel by channel. */
    private static int over(int source, int destination) {
        int keep = 255 - Canvas.alpha(source);
        int result = 0;
        for (int i = 0; i < 4; i++) {
            int c = Canvas.channel(source, i)
                    + Math.round(Canvas.channel(destination, i) * keep / 255f);
            result |= Math.min(c, 255) << (24 - 8 * i);
        }
        return result;
    }

    // ---------------------------------------------------------------------------------------
    // SWT image data.

    private static Arguments swt(String name, int depth, PaletteData palette, long seed) {
        return Arguments.of(name, swtImage(13, 5, depth, palette, seed));
    }

    static Stream<Arguments> swtImages() {
        return Stream.of(
                swt("1-bit indexed", 1, randomPalette(2, 1), 11),
                swt("2-bit indexed", 2, randomPalette(4, 2), 12),
                swt("4-bit indexed", 4, randomPalette(16, 3), 13),
                swt("8-bit indexed", 8, randomPalette(256, 4), 14),
                swt("8-bit indexed, 40 colours", 8, randomPalette(40, 5), 15),
                swt("8-bit direct 3-3-2", 8, new PaletteData(0xE0, 0x1C, 0x03), 16),
                swt("16-bit direct 5-5-5", 16, new PaletteData(0x7C00, 0x3E0, 0x1F), 17),
                swt("16-bit direct 5-6-5", 16, new PaletteData(0xF800, 0x7E0, 0x1F), 18),
                swt("24-bit direct RGB", 24, RGB_24, 19),
                swt("24-bit direct BGR", 24, new PaletteData(0xFF, 0xFF00, 0xFF0000), 20),
                swt("32-bit direct BGRX", 32, new PaletteData(0xFF00, 0xFF0000, 0xFF000000), 21),
                swt("32-bit direct XRGB", 32, new PaletteData(0xFF0000, 0xFF00, 0xFF), 22));
    }

    /** Rows of 13 pixels end inside padded bytes at every depth: the padding must not show. */
    @ParameterizedTest(name = "{0}")
    @MethodSource("swtImages")
    void swtPixelsComeOutAsSwtReadsThem(String name, ImageData data) {
        try (Canvas c = backdrop(20, 10)) {
            LUMO.setComposite(c.g, SRC, 1);
            drawSwt(c.g, data, translation(3, 2));
            assertPixels(c, placed(3, 2, 13, 5, (x, y) -> swtExpected(data, x, y)), 0, name);
        }
    }

    static Stream<Arguments> swtTransparency() {
        return Stream.of(SRC, SRC_OVER).flatMap(rule -> Stream.of(
                Arguments.of("4-bit transparent pixel", rule,
                        withTransparentPixel(swtImage(13, 5, 4, randomPalette(16, 6), 31), 9)),
                Arguments.of("24-bit transparent pixel", rule,
                        withTransparentPixel(swtImage(13, 5, 24, RGB_24, 32), 0x123456)),
                Arguments.of("global alpha 100", rule,
                        withAlpha(swtImage(13, 5, 16, new PaletteData(0xF800, 0x7E0, 0x1F), 33),
                                100)),
                Arguments.of("global alpha 0", rule,
                        withAlpha(swtImage(13, 5, 24, RGB_24, 34), 0)),
                Arguments.of("alpha data", rule,
                        withAlphaData(swtImage(13, 5, 8, randomPalette(256, 7), 35))),
                Arguments.of("alpha data and transparent pixel", rule, withTransparentPixel(
                        withAlphaData(swtImage(13, 5, 2, randomPalette(4, 8), 36)), 3))));
    }

    /** Under src the pixels take the image's premultiplied colours, under src over they blend. */
    @ParameterizedTest(name = "{0}, rule {1}")
    @MethodSource("swtTransparency")
    void swtAlphaAndTransparentPixel(String name, int rule, ImageData data) {
        try (Canvas c = backdrop(20, 10)) {
            LUMO.setComposite(c.g, rule, 1);
            drawSwt(c.g, data, translation(3, 2));
            assertPixels(c, placed(3, 2, 13, 5, (x, y) -> {
                int s = swtExpected(data, x, y);
                return rule == SRC ? s : over(s, BACKDROP);
            }), 1, name);
        }
    }

    /** Indices past the end of a 4-colour palette read as opaque black. */
    @Test
    void paletteIndexBeyondTheEndReadsBlack() {
        PaletteData palette = randomPalette(4, 9);
        ImageData data = new ImageData(10, 3, 8, palette);
        for (int y = 0; y < 3; y++) {
            for (int x = 0; x < 10; x++) {
                data.setPixel(x, y, (x + 7 * y) % 10 * 25); // 0, 25, ..., 225
            }
        }
        try (Canvas c = backdrop(12, 5)) {
            LUMO.setComposite(c.g, SRC, 1);
            drawSwt(c.g, data, translation(1, 1));
            assertPixels(c, placed(1, 1, 10, 3, (x, y) -> {
                int index = data.getPixel(x, y);
                return index < 4 ? 0xFF000000 | ImageSources.rgb(palette.colors[index])
                        : 0xFF000000;
            }), 0, "8-bit indexed, 4 colours");
        }
    }

    // ---------------------------------------------------------------------------------------
    // AWT rasters.

    static IntStream awtTypes() {
        return Arrays.stream(ImageSources.AWT_TYPES);
    }

    /** The raster arrays as they are; translucent pixels compared premultiplied. */
    @ParameterizedTest(name = "buffered image type {0}")
    @MethodSource("awtTypes")
    void awtPixelsComeOutAsGetRgbReadsThem(int type) {
        BufferedImage image = awtImage(11, 6, type, 40 + type);
        try (Canvas c = backdrop(16, 10)) {
            LUMO.setComposite(c.g, SRC, 1);
            drawAwt(c.g, image, translation(2, 3));
            assertPixels(c, placed(2, 3, 11, 6, (x, y) -> awtExpected(image, x, y)), 1,
                    "type " + type);
        }
    }

    // ---------------------------------------------------------------------------------------
    // Render targets and placement.

    /** Image matrix (3, 2) after the graphics transform (1, 1): whole pixels, copied as they are. */
    @ParameterizedTest(name = "filter {0}")
    @ValueSource(ints = {0, 1, 2, 5, 20})
    void renderTargetAtAnIntegerOffsetIsCopiedWhateverTheFilter(int filter) {
        try (Canvas source = target(9, 7, randomColours(9 * 7, 50));
                Canvas c = backdrop(20, 14)) {
            int[] expected = source.read();
            LUMO.setHint(c.g, IMAGE_FILTER, filter);
            LUMO.setComposite(c.g, SRC, 1);
            LUMO.setTransform(c.g, translation(1, 1));
            LUMO.drawImage(c.g, source.image, translation(3, 2));
            assertPixels(c, placed(4, 3, 9, 7, (x, y) -> expected[y * 9 + x]), 0,
                    "filter " + filter);
        }
    }

    /**
     * Black columns 0..3 and white columns 4..7 drawn half a pixel right: pixel 6 is centred on
     * the edge between them, where only a filter mixes the two.
     */
    @Test
    void halfPixelOffsetMixesNeighboursOnlyWithAFilter() {
        int[] colours = new int[8 * 4];
        for (int i = 0; i < colours.length; i++) {
            colours[i] = i % 8 < 4 ? 0xFF000000 : 0xFFFFFFFF;
        }
        int[][] results = new int[2][];
        try (Canvas source = target(8, 4, colours)) {
            for (int filter = 0; filter < 2; filter++) {
                try (Canvas c = backdrop(16, 4)) {
                    LUMO.setHint(c.g, IMAGE_FILTER, filter);
                    LUMO.setComposite(c.g, SRC, 1);
                    LUMO.drawImage(c.g, source.image, translation(2.5, 0));
                    results[filter] = c.read();
                }
            }
        }
        for (int y = 0; y < 4; y++) {
            for (int[] p : results) {
                assertEquals(0xFF000000, p[y * 16 + 4], "black side");
                assertEquals(0xFFFFFFFF, p[y * 16 + 8], "white side");
            }
            int nearest = Canvas.channel(results[0][y * 16 + 6], 1);
            int bilinear = Canvas.channel(results[1][y * 16 + 6], 1);
            assertTrue(nearest == 0 || nearest == 255, "nearest takes one side: " + nearest);
            assertTrue(bilinear > 0x60 && bilinear < 0xA0, "bilinear mixes: " + bilinear);
            assertEquals(255, Canvas.alpha(results[1][y * 16 + 6]), "bilinear alpha");
        }
        assertFalse(Arrays.equals(results[0], results[1]));
    }

    static Stream<Arguments> sourceKinds() {
        int[] colours = randomColours(5 * 3, 60);
        ImageData swt = swtImage(5, 3, 24, RGB_24, 61);
        BufferedImage awt = awtImage(5, 3, BufferedImage.TYPE_INT_ARGB, 62);
        ObjIntConsumer<double[]> drawTarget = (matrix, g) -> {
            try (Canvas source = target(5, 3, colours)) {
                LUMO.drawImage(g, source.image, matrix);
            }
        };
        return Stream.of(
                Arguments.of("render target", drawTarget, (IntBinaryOperator) (x, y) ->
                        Canvas.premultiplied(colours[y * 5 + x], 255)),
                Arguments.of("SWT", (ObjIntConsumer<double[]>) (m, g) -> drawSwt(g, swt, m),
                        (IntBinaryOperator) (x, y) -> swtExpected(swt, x, y)),
                Arguments.of("AWT", (ObjIntConsumer<double[]>) (m, g) -> drawAwt(g, awt, m),
                        (IntBinaryOperator) (x, y) -> awtExpected(awt, x, y)));
    }

    /**
     * The image matrix scales by 2 and moves by (1, 1), then the graphics transform moves by
     * (5, 1): image pixel (u, v) covers the 2 x 2 block at (6 + 2u, 2 + 2v).
     */
    @ParameterizedTest(name = "{0}")
    @MethodSource("sourceKinds")
    void imageMatrixAppliesBeforeTheGraphicsTransform(String name,
            ObjIntConsumer<double[]> draw, IntBinaryOperator image) {
        try (Canvas c = backdrop(20, 10)) {
            LUMO.setHint(c.g, IMAGE_FILTER, 0);
            LUMO.setComposite(c.g, SRC, 1);
            LUMO.setTransform(c.g, translation(5, 1));
            draw.accept(new double[] {2, 0, 0, 2, 1, 1}, c.g);
            assertPixels(c, placed(6, 2, 10, 6, (x, y) -> image.applyAsInt(x / 2, y / 2)), 1,
                    name);
        }
    }

    // ---------------------------------------------------------------------------------------
    // Textures.

    private static final int[] TEXELS = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00,
        0xFF00FFFF, 0xFFFF00FF, 0xFF804020, 0xFF204080};

    private static IntUnaryOperator repeat(int offset, int scale, int size) {
        return i -> Math.floorMod(Math.floorDiv(i - offset, scale), size);
    }

    private static IntUnaryOperator reflect(int size) {
        return i -> {
            int k = Math.floorMod(i, 2 * size);
            return k < size ? k : 2 * size - 1 - k;
        };
    }

    private static IntUnaryOperator clamp(int offset, int size) {
        return i -> Math.max(0, Math.min(size - 1, i - offset));
    }

    static Stream<Arguments> textures() {
        return Stream.of(
                Arguments.of("repeat", null, 0x0101, repeat(0, 1, 4), repeat(0, 1, 2)),
                Arguments.of("repeat from (1, 1)", translation(1, 1), 0x0101, repeat(1, 1, 4),
                        repeat(1, 1, 2)),
                Arguments.of("repeat, scaled by 2", new double[] {2, 0, 0, 2, 0, 0}, 0x0101,
                        repeat(0, 2, 4), repeat(0, 2, 2)),
                Arguments.of("x reflect, y repeat", null, 0x0201, reflect(4), repeat(0, 1, 2)),
                Arguments.of("x repeat, y reflect", null, 0x0102, repeat(0, 1, 4), reflect(2)),
                Arguments.of("edges stretched", translation(4, 2), 0, clamp(4, 4), clamp(2, 2)),
                // A stretched axis stretches the other one too.
                Arguments.of("x stretched, y repeat", translation(4, 2), 0x0001, clamp(4, 4),
                        clamp(2, 2)),
                Arguments.of("x reflect, y stretched", translation(4, 2), 0x0200, clamp(4, 4),
                        clamp(2, 2)),
                Arguments.of("unknown codes stretch", translation(4, 2), 0x0F0F, clamp(4, 4),
                        clamp(2, 2)));
    }

    /** A 4 x 2 texture of distinct opaque colours filling a 20 x 10 target. */
    @ParameterizedTest(name = "{0}")
    @MethodSource("textures")
    void textureWrapsBeyondItsEdges(String name, double[] matrix, int wrap,
            IntUnaryOperator column, IntUnaryOperator row) {
        try (Canvas texture = target(4, 2, TEXELS); Canvas c = backdrop(20, 10)) {
            LUMO.setTexture(c.g, texture.image, matrix, wrap);
            LUMO.fillRect(c.g, 0, 0, 20, 10);
            assertPixels(c, (x, y) -> TEXELS[row.applyAsInt(y) * 4 + column.applyAsInt(x)], 0,
                    name);
        }
    }

    // ---------------------------------------------------------------------------------------
    // Line patterns.

    /** A 4 x 8 pattern of distinct opaque colours, none of them the backdrop. */
    private static final int[] PATTERN = IntStream.range(0, 32)
            .map(i -> 0xFF000000 | (i * 0x070B0D + 0x102030) & 0xFFFFFF).toArray();

    private static boolean touched(int[] pixels, int i) {
        return pixels[i] != BACKDROP;
    }

    /** Touched pixels in a run of {@code count} starting at {@code start}, {@code step} apart. */
    private static int[] touchedRun(int[] pixels, int start, int step, int count) {
        return IntStream.range(0, count).filter(k -> touched(pixels, start + k * step)).toArray();
    }

    @ParameterizedTest(name = "stroke width {0}")
    @ValueSource(floats = {1, 3, 20})
    void linePatternOutlineIsAsWideAsThePatternIsHigh(float width) {
        try (Canvas pattern = target(4, 8, PATTERN); Canvas c = backdrop(48, 48)) {
            LUMO.setStroke(c.g, width, 0, 0, 10, null, 0);
            LUMO.setLinePattern(c.g, pattern.image, 0, 0, 0);
            LUMO.drawLine(c.g, 4, 12, 44, 12);
            LUMO.drawLine(c.g, 32, 24, 32, 46);
            int[] p = c.read();
            int[] rows = touchedRun(p, 20, 48, 24); // column 20, rows 0..23
            int[] columns = touchedRun(p, 36 * 48 + 20, 1, 28); // row 36, columns 20..47
            assertEquals(8, rows.length, "rows of the horizontal line: " + Arrays.toString(rows));
            assertEquals(7, rows[7] - rows[0], "rows in one run");
            assertEquals(8, columns.length,
                    "columns of the vertical line: " + Arrays.toString(columns));
            assertEquals(7, columns[7] - columns[0], "columns in one run");
            Set<Integer> colours = new HashSet<>();
            Arrays.stream(PATTERN).forEach(colours::add);
            for (int i = 0; i < p.length; i++) {
                if (touched(p, i) && !colours.contains(p[i])) {
                    fail(String.format("(%d, %d) is %08X, not a pattern colour", i % 48, i / 48,
                            p[i]));
                }
            }
        }
    }

    private static Shape quad(double... xy) {
        Path2D.Double p = new Path2D.Double();
        p.moveTo(xy[0], xy[1]);
        for (int i = 2; i < xy.length; i += 2) {
            p.lineTo(xy[i], xy[i + 1]);
        }
        p.closePath();
        return p;
    }

    /**
     * What a draw changed lies in pixels the clip touches, and covers every pixel wholly
     * inside both the clip and rows {@code first..last}.
     */
    private static void assertChangedWithin(int[] before, int[] after, Shape clip, int first,
            int last, String what) {
        Area area = new Area(clip);
        for (int y = 0; y < 48; y++) {
            for (int x = 0; x < 64; x++) {
                boolean changed = before[y * 64 + x] != after[y * 64 + x];
                if (changed && !area.intersects(x, y, 1, 1)) {
                    fail(what + ": (" + x + ", " + y + ") changed outside the clip");
                }
                if (!changed && y >= first && y <= last && area.contains(x, y, 1, 1)) {
                    fail(what + ": (" + x + ", " + y + ") inside the clip not drawn");
                }
            }
        }
    }

    /** Each line crosses the whole target; only the part inside the clip of its time shows. */
    @Test
    void linePatternStrokesFollowAPathClipThatChangesBetweenThem() {
        Shape left = quad(2, 4, 28.5, 5, 27, 44, 3.5, 43);
        Shape right = quad(34, 14.5, 60, 12, 59.5, 31, 35, 30);
        try (Canvas pattern = target(4, 8, PATTERN); Canvas c = backdrop(64, 48)) {
            LUMO.setLinePattern(c.g, pattern.image, 0, 0, 0);
            int[] before = c.read();
            ShapePath.of(left).clip(c.g);
            LUMO.drawLine(c.g, 0, 20, 64, 20); // rows 16..23
            int[] first = c.read();
            ShapePath.of(right).clip(c.g);
            LUMO.drawLine(c.g, 0, 22, 64, 22); // rows 18..25
            int[] second = c.read();
            assertChangedWithin(before, first, left, 16, 23, "first line");
            assertChangedWithin(first, second, right, 18, 25, "second line");
        }
    }

    // ---------------------------------------------------------------------------------------
    // Bad input: nothing drawn, no crash.

    private static Arguments bad(String name, IntConsumer draw) {
        return Arguments.of(name, draw);
    }

    private static int[] with(int[] info, int index, int value) {
        int[] copy = info.clone();
        copy[index] = value;
        return copy;
    }

    static Stream<Arguments> badInput() {
        ImageData d = swtImage(6, 4, 24, RGB_24, 70);
        ImageData indexed = swtImage(6, 4, 8, randomPalette(256, 71), 72);
        int[] info = swtInfo(d);
        int[] palette = swtPalette(d.palette);
        byte[] data = d.data;
        byte[] big = new byte[1 << 16];
        byte[] alphas = new byte[24];
        int[] rgb = ((DataBufferInt) awtImage(6, 4, BufferedImage.TYPE_INT_RGB, 73).getRaster()
                .getDataBuffer()).getData();
        int[] rgbInfo = {0, 6, 4, 0, 24, 0, BufferedImage.TYPE_INT_RGB};
        byte[] bgr = ((DataBufferByte) awtImage(6, 4, BufferedImage.TYPE_3BYTE_BGR, 74)
                .getRaster().getDataBuffer()).getData();
        int[] bgrInfo = {0, 6, 4, 0, 18, 0, BufferedImage.TYPE_3BYTE_BGR};
        short[] ushort = ((DataBufferUShort) awtImage(6, 4, BufferedImage.TYPE_USHORT_565_RGB,
                75).getRaster().getDataBuffer()).getData();
        int[] ushortInfo = {0, 6, 4, 0, 12, 0, BufferedImage.TYPE_USHORT_565_RGB};
        int huge = 1 << 30;
        return Stream.of(
                bad("SWT data a byte short", g -> LUMO.drawSWTImage(g, info, null,
                        Arrays.copyOf(data, data.length - 1), palette, null)),
                bad("SWT null data", g -> LUMO.drawSWTImage(g, info, null, null, palette, null)),
                bad("SWT info of six entries", g -> LUMO.drawSWTImage(g,
                        Arrays.copyOf(info, 6), null, data, palette, null)),
                bad("SWT null info", g -> LUMO.drawSWTImage(g, null, null, data, palette, null)),
                bad("SWT matrix of five values", g -> LUMO.drawSWTImage(g, info,
                        new double[5], data, palette, null)),
                bad("SWT null direct palette", g -> LUMO.drawSWTImage(g, info, null, data, null,
                        null)),
                bad("SWT direct palette of five values", g -> LUMO.drawSWTImage(g, info, null,
                        data, Arrays.copyOf(palette, 5), null)),
                bad("SWT null indexed palette", g -> LUMO.drawSWTImage(g, swtInfo(indexed),
                        null, indexed.data, null, null)),
                bad("SWT bytes per line too small", g -> LUMO.drawSWTImage(g,
                        with(info, 4, 17), null, big, palette, null)),
                bad("SWT zero bytes per line", g -> LUMO.drawSWTImage(g, with(info, 4, 0),
                        null, big, palette, null)),
                bad("SWT negative bytes per line", g -> LUMO.drawSWTImage(g,
                        with(info, 4, -24), null, big, palette, null)),
                bad("SWT huge width", g -> LUMO.drawSWTImage(g, with(info, 1, huge), null,
                        data, palette, null)),
                bad("SWT huge width and bytes per line", g -> LUMO.drawSWTImage(g,
                        with(with(info, 1, huge), 4, Integer.MAX_VALUE), null, data, palette,
                        null)),
                bad("SWT huge height", g -> LUMO.drawSWTImage(g, with(info, 2, huge), null,
                        data, palette, null)),
                bad("SWT largest width and height", g -> LUMO.drawSWTImage(g,
                        with(with(with(info, 1, Integer.MAX_VALUE), 2, Integer.MAX_VALUE), 4,
                                Integer.MAX_VALUE), null, data, palette, null)),
                bad("SWT zero width", g -> LUMO.drawSWTImage(g, with(info, 1, 0), null, data,
                        palette, null)),
                bad("SWT negative height", g -> LUMO.drawSWTImage(g, with(info, 2, -4), null,
                        data, palette, null)),
                bad("SWT depth 3", g -> LUMO.drawSWTImage(g, with(info, 3, 3), null, big,
                        palette, null)),
                bad("SWT depth 0", g -> LUMO.drawSWTImage(g, with(info, 3, 0), null, big,
                        palette, null)),
                bad("SWT depth 64", g -> LUMO.drawSWTImage(g, with(info, 3, 64), null, big,
                        palette, null)),
                bad("SWT alpha data a byte short", g -> LUMO.drawSWTImage(g, info, null, data,
                        palette, Arrays.copyOf(alphas, 23))),
                bad("AWT int data an element short", g -> LUMO.drawAWTImage(g, rgbInfo, null,
                        Arrays.copyOf(rgb, 23))),
                bad("AWT null data", g -> LUMO.drawAWTImage(g, rgbInfo, null, (int[]) null)),
                bad("AWT info of six entries", g -> LUMO.drawAWTImage(g,
                        Arrays.copyOf(rgbInfo, 6), null, rgb)),
                bad("AWT byte stride too small", g -> LUMO.drawAWTImage(g,
                        with(bgrInfo, 4, 17), null, big)),
                bad("AWT byte data a byte short", g -> LUMO.drawAWTImage(g, bgrInfo, null,
                        Arrays.copyOf(bgr, bgr.length - 1))),
                bad("AWT short data an element short", g -> LUMO.drawAWTImage(g, ushortInfo,
                        null, Arrays.copyOf(ushort, 23))),
                bad("AWT stride past the end of the data", g -> LUMO.drawAWTImage(g,
                        with(rgbInfo, 4, 96), null, rgb)),
                bad("AWT huge width", g -> LUMO.drawAWTImage(g, with(rgbInfo, 1, huge), null,
                        rgb)),
                bad("AWT huge height and stride", g -> LUMO.drawAWTImage(g,
                        with(with(rgbInfo, 2, huge), 4, huge), null, rgb)),
                bad("AWT negative width", g -> LUMO.drawAWTImage(g, with(rgbInfo, 1, -6),
                        null, rgb)),
                bad("AWT kind 10", g -> LUMO.drawAWTImage(g, with(rgbInfo, 6, 10), null, rgb)),
                bad("AWT kind 0", g -> LUMO.drawAWTImage(g, with(rgbInfo, 6, 0), null, rgb)),
                bad("AWT kind 14", g -> LUMO.drawAWTImage(g, with(rgbInfo, 6, 14), null, rgb)),
                bad("AWT kind -1", g -> LUMO.drawAWTImage(g, with(rgbInfo, 6, -1), null, rgb)),
                bad("AWT matrix of five values", g -> LUMO.drawAWTImage(g, rgbInfo,
                        new double[5], rgb)),
                bad("render target 0", g -> LUMO.drawImage(g, 0, null)),
                bad("render target that is a drawing object", g -> LUMO.drawImage(g, g, null)));
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("badInput")
    void badInputDrawsNothing(String name, IntConsumer draw) {
        try (Canvas c = backdrop(12, 8)) {
            LUMO.setComposite(c.g, SRC, 1);
            draw.accept(c.g);
            assertPixels(c, (x, y) -> BACKDROP, 0, name);
        }
    }
}
