package com.quarn.lumo.internal;

import java.util.Arrays;

/**
 * The three array layouts the device blits accept. A bitmap is described by one int per pixel,
 * top row first: the full word for 32-bit rows, 0xRRGGBB for 24-bit rows and the 16-bit word
 * (5-5-5, top bit unused) for 16-bit rows. Each format packs such a bitmap into the Java array
 * its blit takes and tells which word the device should then hold for a pixel.
 */
enum DibFormat {
    INT(32) {
        @Override
        Object pack(int[] pixels, int width, int height) {
            return pixels.clone();
        }

        @Override
        int deviceWord(int pixel) {
            return pixel;
        }

        @Override
        int minimumLength(int width, int height) {
            return width * height;
        }

        @Override
        Object truncate(Object bits, int length) {
            return Arrays.copyOf((int[]) bits, length);
        }

        @Override
        void blit(int hdc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                Object bits, int bitmapWidth, int bitmapHeight) {
            LUMO.SetDIBitsToDeviceInt(hdc, xDest, yDest, width, height, xSrc, ySrc,
                    (int[]) bits, bitmapWidth, bitmapHeight);
        }
    },

    BYTE(24) {
        @Override
        Object pack(int[] pixels, int width, int height) {
            int stride = strideBytes(width);
            byte[] bits = new byte[stride * height];
            Arrays.fill(bits, PADDING);
            for (int y = 0; y < height; y++) {
                for (int x = 0; x < width; x++) {
                    int pixel = pixels[y * width + x];
                    int at = y * stride + 3 * x;
                    bits[at] = (byte) pixel;
                    bits[at + 1] = (byte) (pixel >> 8);
                    bits[at + 2] = (byte) (pixel >> 16);
                }
            }
            return bits;
        }

        @Override
        int deviceWord(int pixel) {
            return pixel & 0xFFFFFF;
        }

        @Override
        int minimumLength(int width, int height) {
            return strideBytes(width) * (height - 1) + 3 * width;
        }

        @Override
        Object truncate(Object bits, int length) {
            return Arrays.copyOf((byte[]) bits, length);
        }

        @Override
        void blit(int hdc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                Object bits, int bitmapWidth, int bitmapHeight) {
            LUMO.SetDIBitsToDeviceByte(hdc, xDest, yDest, width, height, xSrc, ySrc,
                    (byte[]) bits, bitmapWidth, bitmapHeight);
        }
    },

    SHORT(16) {
        @Override
        Object pack(int[] pixels, int width, int height) {
            int stride = strideBytes(width) / 2;
            short[] bits = new short[stride * height];
            Arrays.fill(bits, (short) (PADDING * 0x101));
            for (int y = 0; y < height; y++) {
                for (int x = 0; x < width; x++) {
                    bits[y * stride + x] = (short) pixels[y * width + x];
                }
            }
            return bits;
        }

        @Override
        int deviceWord(int pixel) {
            return expand5(pixel >> 10) << 16 | expand5(pixel >> 5) << 8 | expand5(pixel);
        }

        @Override
        int minimumLength(int width, int height) {
            return strideBytes(width) / 2 * (height - 1) + width;
        }

        @Override
        Object truncate(Object bits, int length) {
            return Arrays.copyOf((short[]) bits, length);
        }

        @Override
        void blit(int hdc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                Object bits, int bitmapWidth, int bitmapHeight) {
            LUMO.SetDIBitsToDeviceShort(hdc, xDest, yDest, width, height, xSrc, ySrc,
                    (short[]) bits, bitmapWidth, bitmapHeight);
        }
    };

    /** Value of the row padding, so that a wrong stride shows up as a stray colour. */
    static final byte PADDING = (byte) 0xEE;

    final int bitsPerPixel;

    DibFormat(int bitsPerPixel) {
        this.bitsPerPixel = bitsPerPixel;
    }

    /** Bytes per row, padded to a multiple of 4. */
    int strideBytes(int width) {
        return (width * bitsPerPixel + 31) / 32 * 4;
    }

    abstract Object pack(int[] pixels, int width, int height);

    abstract int deviceWord(int pixel);

    /** Elements needed for the rows of a bitmap: padded rows, then an unpadded last row. */
    abstract int minimumLength(int width, int height);

    abstract Object truncate(Object bits, int length);

    abstract void blit(int hdc, int xDest, int yDest, int width, int height, int xSrc,
            int ySrc, Object bits, int bitmapWidth, int bitmapHeight);

    /** A bitmap of distinct pixels; every channel and, for 32 bits, the top byte vary. */
    int[] sampleBitmap(int width, int height) {
        int[] pixels = new int[width * height];
        for (int i = 0; i < pixels.length; i++) {
            switch (this) {
                case INT:
                    pixels[i] = (i + 1) * 0x0B000000 | (i * 37 & 0xFF) << 16 | 0x5A00 | i;
                    break;
                case BYTE:
                    pixels[i] = (i * 37 & 0xFF) << 16 | (0xF0 - i) << 8 | (i * 11 + 3);
                    break;
                default:
                    // Alternate the unused top bit: it must not change the result.
                    pixels[i] = (i & 1) << 15 | (i % 32) << 10 | (31 - i % 32) << 5 | (i * 7 % 32);
                    break;
            }
        }
        return pixels;
    }

    static int expand5(int channel) {
        int c = channel & 31;
        return c << 3 | c >> 2;
    }
}
