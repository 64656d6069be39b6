package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;

import com.quarn.lumo.internal.LUMO;
import java.awt.AlphaComposite;
import java.awt.image.BufferedImage;
import java.util.Random;
import org.junit.jupiter.api.Test;

/**
 * Images copied into native render targets (texture paints, other paints' pixels) come out
 * exactly as the source rule copies them: source-over onto the fresh transparent buffer is
 * the same copy on lumo's fast path.
 */
class ImageTargetTest {
    private static final int[] TYPES = {BufferedImage.TYPE_INT_ARGB,
        BufferedImage.TYPE_INT_ARGB_PRE, BufferedImage.TYPE_INT_RGB, BufferedImage.TYPE_INT_BGR,
        BufferedImage.TYPE_3BYTE_BGR, BufferedImage.TYPE_4BYTE_ABGR,
        BufferedImage.TYPE_4BYTE_ABGR_PRE, BufferedImage.TYPE_USHORT_565_RGB,
        BufferedImage.TYPE_USHORT_555_RGB, BufferedImage.TYPE_BYTE_GRAY};

    /** The pixels of a render target, drawn as a nearest texture over a transparent surface. */
    private static int[] pixels(int[] target, int w, int h) {
        try (LumoSurface surface = new LumoSurface(w, h)) {
            int g = LUMO.createGraphics(surface.image());
            LUMO.setTexture(g, target[1], new double[] {1, 0, 0, 1, 0, 0}, 0);
            LUMO.fillRect(g, 0, 0, w, h);
            LUMO.deleteGraphics(g);
            int[] out = new int[w * h];
            surface.read(0, 0, w, h, out);
            return out;
        }
    }

    /** The target as the source rule makes it. */
    private static int[] copiedBySource(BufferedImage image) {
        int buffer = LUMO.createDataBuffer(image.getWidth(), image.getHeight(), 0);
        int target = LUMO.createNativeImage(buffer);
        int g = LUMO.createGraphics(target);
        LUMO.setComposite(g, AlphaComposite.SRC, 1f);
        Images.draw(g, image, null);
        LUMO.deleteGraphics(g);
        return new int[] {buffer, target};
    }

    @Test
    void targetsHoldTheSourcePixelsExactly() {
        Random random = new Random(7);
        for (int type : TYPES) {
            int w = 1 + random.nextInt(40);
            int h = 1 + random.nextInt(12);
            BufferedImage image = new BufferedImage(w, h, type);
            for (int y = 0; y < h; y++) {
                for (int x = 0; x < w; x++) {
                    int a = random.nextInt(4) == 0 ? 0 : random.nextInt(4) == 0 ? 255
                            : random.nextInt(256);
                    image.setRGB(x, y, a << 24 | random.nextInt(1 << 24));
                }
            }
            int[] fast = Images.target(image);
            int[] source = copiedBySource(image);
            try {
                assertArrayEquals(pixels(source, w, h), pixels(fast, w, h), "type " + type);
            } finally {
                Images.delete(fast);
                Images.delete(source);
            }
        }
    }
}
