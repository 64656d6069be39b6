package com.quarn.lumo.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.Random;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;
import org.junit.jupiter.params.provider.EnumSource;

/** Blits of Java arrays to a memory device: placement, clipping, pixel formats, bad input. */
class ArrayBlitTest {
    private static final int BACKGROUND = 0x7E5A5A5A;
    private static final int DEVICE_WIDTH = 8;
    private static final int DEVICE_HEIGHT = 6;

    /** 4 x 3 bitmap of distinct words, every top byte different too. */
    private static int[] bitmap4x3() {
        int[] bits = new int[12];
        for (int y = 0; y < 3; y++) {
            for (int x = 0; x < 4; x++) {
                bits[y * 4 + x] = (y * 4 + x + 1) * 0x11000000 | y << 16 | x << 8 | 0x77;
            }
        }
        return bits;
    }

    /**
     * What the device holds after a blit, worked out pixel by pixel: device pixel
     * (xDest + i, yDest + j) gets bitmap pixel (xSrc + i, ySrc + j), rows counted from the top,
     * when both lie inside their images; every other device pixel keeps its value.
     */
    private static int[] expectedAfterBlit(int[] device, DibFormat format, int[] pixels,
            int bitmapWidth, int bitmapHeight, int xDest, int yDest, int width, int height,
            int xSrc, int ySrc) {
        int[] expected = device.clone();
        for (int j = 0; j < height; j++) {
            for (int i = 0; i < width; i++) {
                int sx = xSrc + i;
                int sy = ySrc + j;
                int dx = xDest + i;
                int dy = yDest + j;
                if (sx >= 0 && sx < bitmapWidth && sy >= 0 && sy < bitmapHeight
                        && dx >= 0 && dx < DEVICE_WIDTH && dy >= 0 && dy < DEVICE_HEIGHT) {
                    int pixel = pixels[sy * bitmapWidth + sx];
                    expected[dy * DEVICE_WIDTH + dx] = format.deviceWord(pixel);
                }
            }
        }
        return expected;
    }

    @Test
    void sourceRowsCountFromTheTopAndSourceXOffsets() {
        int[] bits = bitmap4x3();
        try (Surface surface = new Surface(DEVICE_WIDTH, DEVICE_HEIGHT)) {
            int[] expected = surface.fill(BACKGROUND);
            // Bitmap rows 1 and 2 land on device rows 1 and 2, columns 3 to 6.
            LUMO.SetDIBitsToDeviceInt(surface.hdc, 3, 1, 4, 2, 0, 1, bits, 4, 3);
            for (int x = 0; x < 4; x++) {
                expected[1 * DEVICE_WIDTH + 3 + x] = bits[1 * 4 + x];
                expected[2 * DEVICE_WIDTH + 3 + x] = bits[2 * 4 + x];
            }
            assertArrayEquals(expected, surface.read(), "rows 1..2 of the bitmap at (3, 1)");

            // Bitmap columns 2 and 3 of all rows land on device columns 0 and 1, rows 3 to 5.
            LUMO.SetDIBitsToDeviceInt(surface.hdc, 0, 3, 2, 3, 2, 0, bits, 4, 3);
            for (int y = 0; y < 3; y++) {
                expected[(3 + y) * DEVICE_WIDTH] = bits[y * 4 + 2];
                expected[(3 + y) * DEVICE_WIDTH + 1] = bits[y * 4 + 3];
            }
            assertArrayEquals(expected, surface.read(), "columns 2..3 of the bitmap at (0, 3)");

            // A single pixel from the middle: bitmap (1, 1) to device (7, 0).
            LUMO.SetDIBitsToDeviceInt(surface.hdc, 7, 0, 1, 1, 1, 1, bits, 4, 3);
            expected[7] = bits[5];
            assertArrayEquals(expected, surface.read(), "bitmap pixel (1, 1) at (7, 0)");
        }
    }

    @ParameterizedTest(name = "dest ({0}, {1}) size {2}x{3} source ({4}, {5})")
    @CsvSource({
        // Destination partly outside the surface.
        "6, 4, 4, 3, 0, 0",
        "-2, -1, 4, 3, 0, 0",
        "-3, 2, 4, 3, 0, 0",
        "5, -2, 4, 3, 0, 0",
        // Destination wholly outside the surface.
        "8, 0, 4, 3, 0, 0",
        "-4, -3, 4, 3, 0, 0",
        // Source rectangle reaching past the right and bottom edges of the bitmap.
        "1, 1, 4, 4, 2, 1",
        "0, 0, 6, 5, 0, 0",
        // Source rectangle reaching past the left and top edges of the bitmap.
        "3, 2, 3, 3, -1, -1",
        "0, 0, 4, 3, -2, 0",
        // Source rectangle wholly outside the bitmap.
        "0, 0, 2, 2, 4, 0",
        "0, 0, 2, 2, 0, 3",
        // Both at once.
        "-1, 4, 5, 5, -1, 1",
    })
    void int32BlitsClipToSurfaceAndBitmap(int xDest, int yDest, int width, int height, int xSrc,
            int ySrc) {
        int[] bits = bitmap4x3();
        try (Surface surface = new Surface(DEVICE_WIDTH, DEVICE_HEIGHT)) {
            int[] before = surface.fill(BACKGROUND);
            LUMO.SetDIBitsToDeviceInt(surface.hdc, xDest, yDest, width, height, xSrc, ySrc, bits,
                    4, 3);
            assertArrayEquals(expectedAfterBlit(before, DibFormat.INT, bits, 4, 3, xDest, yDest,
                    width, height, xSrc, ySrc), surface.read());
        }
    }

    @ParameterizedTest
    @EnumSource(DibFormat.class)
    void randomPlacementsMatchPixelByPixelCopy(DibFormat format) {
        // A 5-pixel-wide bitmap pads its rows in the 24- and 16-bit layouts.
        int bitmapWidth = 5;
        int bitmapHeight = 3;
        int[] pixels = format.sampleBitmap(bitmapWidth, bitmapHeight);
        Object bits = format.pack(pixels, bitmapWidth, bitmapHeight);
        Random random = new Random(20240611L + format.ordinal());
        try (Surface surface = new Surface(DEVICE_WIDTH, DEVICE_HEIGHT)) {
            for (int round = 0; round < 150; round++) {
                int[] before = surface.fill(BACKGROUND + round);
                int xDest = random.nextInt(14) - 5;
                int yDest = random.nextInt(12) - 5;
                int width = random.nextInt(8) + 1;
                int height = random.nextInt(6) + 1;
                int xSrc = random.nextInt(9) - 3;
                int ySrc = random.nextInt(7) - 3;
                format.blit(surface.hdc, xDest, yDest, width, height, xSrc, ySrc, bits,
                        bitmapWidth, bitmapHeight);
                String what = String.format("%s dest (%d, %d) size %dx%d source (%d, %d)",
                        format, xDest, yDest, width, height, xSrc, ySrc);
                assertArrayEquals(expectedAfterBlit(before, format, pixels, bitmapWidth,
                        bitmapHeight, xDest, yDest, width, height, xSrc, ySrc), surface.read(),
                        what);
            }
        }
    }

    @Test
    void pixelFormatsDecodeToDeviceWords() {
        try (Surface surface = new Surface(4, 1)) {
            surface.fill(BACKGROUND);

            // 32 bits: the whole word, top byte included.
            int[] words = {0x80123456, 0x00ABCDEF, 0xFF000000, 0x01020304};
            LUMO.SetDIBitsToDeviceInt(surface.hdc, 0, 0, 4, 1, 0, 0, words, 4, 1);
            assertArrayEquals(words, surface.read(), "32-bit words");

            // 24 bits: B, G, R bytes, written with a zero top byte.
            byte[] bgr = {
                0x10, 0x20, 0x30,
                (byte) 0xFF, (byte) 0xFF, (byte) 0xFF,
                0, 0, 0,
                (byte) 0x80, 0x00, 0x7F,
            };
            LUMO.SetDIBitsToDeviceByte(surface.hdc, 0, 0, 4, 1, 0, 0, bgr, 4, 1);
            assertArrayEquals(new int[] {0x00302010, 0x00FFFFFF, 0x00000000, 0x007F0080},
                    surface.read(), "24-bit pixels");

            // 16 bits: 5-5-5, each channel widened by repeating its top bits; top bit ignored.
            short[] rgb555 = {
                0x7FFF,
                (short) 0x8000,
                (short) (1 << 10 | 16 << 5 | 30),
                (short) (0x8000 | 31),
            };
            surface.fill(BACKGROUND);
            LUMO.SetDIBitsToDeviceShort(surface.hdc, 0, 0, 4, 1, 0, 0, rgb555, 4, 1);
            assertArrayEquals(new int[] {0x00FFFFFF, 0x00000000, 0x000884F7, 0x000000FF},
                    surface.read(), "16-bit pixels");
        }
    }

    @ParameterizedTest
    @EnumSource(DibFormat.class)
    void rowsArePaddedToFourBytes(DibFormat format) {
        // Width 3: 9 bytes of 24-bit data and 6 bytes of 16-bit data per row, both padded.
        int[] pixels = format.sampleBitmap(3, 2);
        Object bits = format.pack(pixels, 3, 2);
        try (Surface surface = new Surface(3, 2)) {
            surface.fill(BACKGROUND);
            format.blit(surface.hdc, 0, 0, 3, 2, 0, 0, bits, 3, 2);
            int[] expected = new int[6];
            for (int i = 0; i < 6; i++) {
                expected[i] = format.deviceWord(pixels[i]);
            }
            assertArrayEquals(expected, surface.read());
        }
    }

    @ParameterizedTest
    @EnumSource(DibFormat.class)
    void arraysMustHoldTheWholeBitmap(DibFormat format) {
        int[] pixels = format.sampleBitmap(5, 3);
        Object full = format.pack(pixels, 5, 3);
        int minimum = format.minimumLength(5, 3);
        try (Surface surface = new Surface(DEVICE_WIDTH, DEVICE_HEIGHT)) {
            // One element short of the last row: nothing is written, even for a rectangle
            // that needs only the first row.
            int[] before = surface.fill(BACKGROUND);
            Object tooShort = format.truncate(full, minimum - 1);
            format.blit(surface.hdc, 0, 0, 5, 3, 0, 0, tooShort, 5, 3);
            format.blit(surface.hdc, 0, 0, 1, 1, 0, 0, tooShort, 5, 3);
            assertArrayEquals(before, surface.read(), "array one element short");

            format.blit(surface.hdc, 0, 0, 5, 3, 0, 0, format.truncate(full, 0), 5, 3);
            assertArrayEquals(before, surface.read(), "empty array");

            // Exactly long enough: the last row needs no padding.
            format.blit(surface.hdc, 1, 1, 5, 3, 0, 0, format.truncate(full, minimum), 5, 3);
            assertArrayEquals(expectedAfterBlit(before, format, pixels, 5, 3, 1, 1, 5, 3, 0, 0),
                    surface.read(), "array without padding after the last row");
        }
    }

    @ParameterizedTest
    @EnumSource(DibFormat.class)
    void nullArraysAndNonPositiveSizesWriteNothing(DibFormat format) {
        int[] pixels = format.sampleBitmap(4, 3);
        Object bits = format.pack(pixels, 4, 3);
        try (Surface surface = new Surface(DEVICE_WIDTH, DEVICE_HEIGHT)) {
            int[] before = surface.fill(BACKGROUND);
            format.blit(surface.hdc, 0, 0, 4, 3, 0, 0, null, 4, 3);
            format.blit(surface.hdc, 0, 0, 4, 3, 0, 0, bits, -4, 3);
            format.blit(surface.hdc, 0, 0, 4, 3, 0, 0, bits, 4, -3);
            format.blit(surface.hdc, 0, 0, 4, 3, 0, 0, bits, -4, -3);
            format.blit(surface.hdc, 0, 0, 4, 3, 0, 0, bits, 0, 0);
            format.blit(surface.hdc, 0, 0, -4, 3, 0, 0, bits, 4, 3);
            format.blit(surface.hdc, 0, 0, 4, -3, 0, 0, bits, 4, 3);
            format.blit(surface.hdc, 4, 3, -4, -3, 0, 0, bits, 4, 3);
            format.blit(surface.hdc, 0, 0, 0, 3, 0, 0, bits, 4, 3);
            format.blit(surface.hdc, 0, 0, 4, 0, 0, 0, bits, 4, 3);
            assertArrayEquals(before, surface.read());
        }
    }

    @Test
    void deviceKeepsWhatWasBlittedUntilOverwritten() {
        int[] bits = bitmap4x3();
        try (Surface first = new Surface(4, 3); Surface second = new Surface(4, 3)) {
            LUMO.SetDIBitsToDeviceInt(first.hdc, 0, 0, 4, 3, 0, 0, bits, 4, 3);
            assertArrayEquals(bits, first.read());
            assertArrayEquals(new int[12], second.read(), "a blit reaches only its own device");
            bits[0] = 0;
            assertEquals(0x11000077, first.read()[0], "the device holds a copy of the array");
        }
    }
}
