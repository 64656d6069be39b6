package com.quarn.lumo.internal;

import java.awt.image.BufferedImage;
import java.awt.image.DataBuffer;
import java.awt.image.DataBufferInt;
import java.awt.image.DataBufferUShort;
import java.awt.image.SampleModel;
import java.util.Random;
import org.eclipse.swt.graphics.ImageData;
import org.eclipse.swt.graphics.PaletteData;
import org.eclipse.swt.graphics.RGB;

/**
 * Source images for the image tests: SWT image data and AWT buffered images with the info
 * arrays {@link LUMO#drawSWTImage} and {@link LUMO#drawAWTImage} take, and the colour each
 * pixel should come out as (premultiplied 0xAARRGGBB), read back through SWT's and AWT's own
 * accessors.
 */
final class ImageSources {
    private ImageSources() {
    }

    // ---------------------------------------------------------------------------------------
    // SWT image data.

    static PaletteData randomPalette(int entries, long seed) {
        Random random = new Random(seed);
        RGB[] rgbs = new RGB[entries];
        for (int i = 0; i < entries; i++) {
            rgbs[i] = new RGB(random.nextInt(256), random.nextInt(256), random.nextInt(256));
        }
        return new PaletteData(rgbs);
    }

    /** Image data whose every pixel is a random value of {@code depth} bits. */
    static ImageData swtImage(int width, int height, int depth, PaletteData palette, long seed) {
        ImageData data = new ImageData(width, height, depth, palette);
        Random random = new Random(seed);
        int entries = palette.isDirect ? 0 : palette.colors.length;
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                int value = depth == 32 ? random.nextInt()
                        : random.nextInt(entries > 0 ? entries : 1 << depth);
                data.setPixel(x, y, value);
            }
        }
        return data;
    }

    /** Several pixels of the image take the value {@code pixel}, which becomes transparent. */
    static ImageData withTransparentPixel(ImageData data, int pixel) {
        for (int i = 0; i < 6; i++) {
            data.setPixel(2 * i, i % 5, pixel);
        }
        data.transparentPixel = pixel;
        return data;
    }

    /** Alphas running through 0..255 with 0 and 255 among them. */
    static ImageData withAlphaData(ImageData data) {
        data.alphaData = new byte[data.width * data.height];
        for (int y = 0; y < data.height; y++) {
            for (int x = 0; x < data.width; x++) {
                int n = y * data.width + x;
                data.setAlpha(x, y, n == 0 ? 0 : n == 1 ? 255 : n * 37 % 256);
            }
        }
        return data;
    }

    static ImageData withAlpha(ImageData data, int alpha) {
        data.alpha = alpha;
        return data;
    }

    static int[] swtInfo(ImageData data) {
        return new int[] {data.palette.isDirect ? 1 : 0, data.width, data.height, data.depth,
            data.bytesPerLine, data.alpha, data.transparentPixel};
    }

    /** Masks and shifts of a direct palette, one 0x00RRGGBB word an entry of an indexed one. */
    static int[] swtPalette(PaletteData palette) {
        if (palette.isDirect) {
            return new int[] {palette.redMask, palette.redShift, palette.greenMask,
                palette.greenShift, palette.blueMask, palette.blueShift};
        }
        int[] words = new int[palette.colors.length];
        for (int i = 0; i < words.length; i++) {
            words[i] = rgb(palette.colors[i]);
        }
        return words;
    }

    static int rgb(RGB rgb) {
        return rgb.red << 16 | rgb.green << 8 | rgb.blue;
    }

    static void drawSwt(int g, ImageData data, double[] matrix) {
        LUMO.drawSWTImage(g, swtInfo(data), matrix, data.data, swtPalette(data.palette),
                data.alphaData);
    }

    /**
     * The premultiplied colour of an SWT pixel: its palette colour, at the alpha SWT gives it
     * (the global alpha when there is one), none for the transparent pixel.
     */
    static int swtExpected(ImageData data, int x, int y) {
        return Canvas.premultiplied(swtStraight(data, x, y), 255);
    }

    /** The same colour straight: alpha 0 with the palette colour for the transparent pixel. */
    static int swtStraight(ImageData data, int x, int y) {
        int pixel = data.getPixel(x, y);
        int alpha = data.transparentPixel != -1 && pixel == data.transparentPixel ? 0
                : data.alpha != -1 ? data.alpha : data.getAlpha(x, y);
        return alpha << 24 | rgb(data.palette.getRGB(pixel));
    }

    // ---------------------------------------------------------------------------------------
    // AWT buffered images.

    /** The nine buffered-image types the library reads. */
    static final int[] AWT_TYPES = {BufferedImage.TYPE_INT_RGB, BufferedImage.TYPE_INT_ARGB,
        BufferedImage.TYPE_INT_ARGB_PRE, BufferedImage.TYPE_INT_BGR,
        BufferedImage.TYPE_3BYTE_BGR, BufferedImage.TYPE_4BYTE_ABGR,
        BufferedImage.TYPE_4BYTE_ABGR_PRE, BufferedImage.TYPE_USHORT_565_RGB,
        BufferedImage.TYPE_USHORT_555_RGB};

    /**
     * A buffered image of random colours; the alpha types get alphas from 0 to 255 with the
     * extremes among them. The bits no colour model reads (the top byte of INT_RGB and
     * INT_BGR, the top bit of USHORT_555_RGB) are set at random in the raster.
     */
    static BufferedImage awtImage(int width, int height, int type, long seed) {
        BufferedImage image = new BufferedImage(width, height, type);
        Random random = new Random(seed);
        int n = 0;
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++, n++) {
                int alpha = n % 7 == 0 ? 0 : n % 7 == 1 ? 255 : random.nextInt(256);
                image.setRGB(x, y, alpha << 24 | random.nextInt(1 << 24));
            }
        }
        DataBuffer buffer = image.getRaster().getDataBuffer();
        if (type == BufferedImage.TYPE_INT_RGB || type == BufferedImage.TYPE_INT_BGR) {
            int[] words = ((DataBufferInt) buffer).getData();
            for (int i = 0; i < words.length; i++) {
                words[i] |= random.nextInt(256) << 24;
            }
        } else if (type == BufferedImage.TYPE_USHORT_555_RGB) {
            short[] words = ((DataBufferUShort) buffer).getData();
            for (int i = 0; i < words.length; i++) {
                words[i] |= (short) (random.nextBoolean() ? 0x8000 : 0);
            }
        }
        return image;
    }

    static int[] awtInfo(BufferedImage image, int kind) {
        return new int[] {0, image.getWidth(), image.getHeight(), 0, AwtImage.bytesPerLine(image),
            image.isAlphaPremultiplied() ? 1 : 0, kind};
    }

    static void drawAwt(int g, BufferedImage image, double[] matrix) {
        AwtImage.draw(g, image, matrix);
    }

    /**
     * The pixel as getRGB reads it. The 5- and 6-bit channels of the ushort types are widened
     * by shifting them up, the low bits left 0, where getRGB scales them to the full range: the
     * top bits of both agree.
     */
    static int awtExpected(BufferedImage image, int x, int y) {
        int argb = image.getRGB(x, y);
        if (image.getType() == BufferedImage.TYPE_USHORT_565_RGB) {
            argb &= 0xFFF8FCF8;
        } else if (image.getType() == BufferedImage.TYPE_USHORT_555_RGB) {
            argb &= 0xFFF8F8F8;
        }
        return Canvas.premultiplied(argb, 255);
    }

    // ---------------------------------------------------------------------------------------
    // Render targets.

    /**
     * A render target of {@code width} x {@code height} whose pixels are {@code colours} (top
     * row first, straight alpha), each set with the src rule.
     */
    static Canvas target(int width, int height, int[] colours) {
        Canvas c = new Canvas(width, height);
        LUMO.setComposite(c.g, ImageDrawingTest.SRC, 1);
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                LUMO.setPaint(c.g, colours[y * width + x]);
                LUMO.fillRect(c.g, x, y, 1, 1);
            }
        }
        return c;
    }

    /** Random straight colours, every third one translucent. */
    static int[] randomColours(int count, long seed) {
        Random random = new Random(seed);
        int[] colours = new int[count];
        for (int i = 0; i < count; i++) {
            int alpha = i % 3 == 2 ? 1 + random.nextInt(254) : 255;
            colours[i] = alpha << 24 | random.nextInt(1 << 24);
        }
        return colours;
    }
}
