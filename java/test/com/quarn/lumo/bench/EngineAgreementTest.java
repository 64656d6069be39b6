package com.quarn.lumo.bench;

import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.Rectangle;
import java.awt.image.BufferedImage;
import java.util.Arrays;
import java.util.stream.Stream;
import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.EnumSource;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * Both engines draw the same picture for the first operations of every scene and style, so
 * that the benchmark's arguments to the library (paints, strokes, hints, images) mean what
 * the Java 2D side does; and the picture check notices when they do not.
 */
class EngineAgreementTest {
    private static final BufferedImage JAVA_TEXTURE = Pictures.texture();
    private static final BufferedImage JAVA_PICTURE = Pictures.picture();
    private static Java2DCanvas java;
    private static LumoCanvas lumo;
    private static LumoCanvas lumoTexture;
    private static LumoCanvas lumoPicture;

    @BeforeAll
    static void makeCanvases() {
        java = new Java2DCanvas(ShapeBatch.CANVAS, ShapeBatch.CANVAS);
        lumo = new LumoCanvas(ShapeBatch.CANVAS, ShapeBatch.CANVAS, PictureCheck.WHITE);
        lumoTexture = LumoCanvas.of(JAVA_TEXTURE);
        lumoPicture = LumoCanvas.of(JAVA_PICTURE);
    }

    @AfterAll
    static void freeCanvases() {
        lumo.close();
        lumoTexture.close();
        lumoPicture.close();
    }

    static Stream<Arguments> cases() {
        return Arrays.stream(Scene.values()).flatMap(scene -> Arrays.stream(Style.values())
                .flatMap(style -> Stream.of(32, 128).map(size -> Arguments.of(scene, style,
                        size))));
    }

    @ParameterizedTest(name = "{0} {1} {2}")
    @MethodSource("cases")
    void shapeScenesLookAlike(Scene scene, Style style, int size) {
        PictureCheck.Result result = PictureCheck.run(
                new ShapeBatch(scene, style, size, JAVA_TEXTURE, lumoTexture.image), java, lumo);
        assertTrue(result.passed(), "difference " + result.difference + ", contrast "
                + result.contrast);
        assertTrue(result.contrast > 1, "something was drawn: " + result.contrast);
    }

    @ParameterizedTest
    @EnumSource(ImageScene.class)
    void imageScenesLookAlike(ImageScene scene) {
        PictureCheck.Result result =
                PictureCheck.run(new ImageBatch(scene, JAVA_PICTURE, lumoPicture.image), java, lumo);
        assertTrue(result.passed() && result.difference < 6, "difference " + result.difference);
    }

    @Test
    void sourcePicturesReachTheLibraryUnchanged() {
        int[] expected = new int[64 * 64];
        JAVA_TEXTURE.getRaster().getDataElements(0, 0, 64, 64, expected);
        assertTrue(Arrays.equals(expected, lumoTexture.read()));
    }

    @Test
    void aMissingOrMisplacedDrawingFailsTheCheck() {
        java.clear(PictureCheck.WHITE);
        Graphics2D g = java.begin();
        g.setColor(new Color(0x80336699, true));
        g.fillRect(100, 100, 40, 40);
        g.dispose();
        int[] drawn = java.read();
        int[] white = new int[drawn.length];
        Arrays.fill(white, PictureCheck.WHITE);
        Rectangle area = new Rectangle(96, 96, 48, 48);
        assertFalse(PictureCheck.compare(drawn, white, ShapeBatch.CANVAS, area).passed());

        java.clear(PictureCheck.WHITE);
        g = java.begin();
        g.setColor(new Color(0x80336699, true));
        g.fillRect(100, 120, 40, 40);
        g.dispose();
        assertFalse(PictureCheck.compare(drawn, java.read(), ShapeBatch.CANVAS, area).passed());
        assertTrue(PictureCheck.compare(drawn, drawn, ShapeBatch.CANVAS, area).passed());
    }
}
