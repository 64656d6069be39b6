package com.quarn.lumo.internal;

/**
 * The native entry points of the rendering engine.
 *
 * <p><b>Handles.</b> Native objects (pixel buffers, render targets, drawing objects) are
 * referred to by non-zero {@code int} handles handed out by the library's registry. The handle
 * 0, a handle that has been deleted, a value the library never handed out and a handle of the
 * wrong kind make a call a silent no-op; creation calls then return 0. No method throws for bad
 * input. Pixel buffers and render targets are reference counted: a render target keeps its
 * pixel buffer alive, so a buffer may be deleted before the render targets that use it.
 *
 * <p><b>Colours</b> are {@code int}s in the form 0xAARRGGBB (alpha in the top byte), not
 * premultiplied by alpha.
 *
 * <p><b>Threads.</b> Calls on different objects may run at once. A render target or pixel buffer
 * that one call writes must not be reached by another call at the same time; one that calls only
 * read (as the source of textures, line patterns, images, copies or compositing) may be read by
 * several threads at once. A handle must not be deleted while another thread's call uses it.
 */
public final class LUMO {
    static {
        NativeLibrary.load();
    }

    private LUMO() {
    }

    // Pixel buffers and render targets.

    /** Creates a pixel buffer cleared to {@code argb}; its pixel memory is made on first use. */
    public static native int createDataBuffer(int width, int height, int argb);

    public static native void clearDataBuffer(int buffer, int argb);

    /** Drops one reference to a pixel buffer or render target. */
    public static native void deleteDataBuffer(int buffer);

    /** Creates a render target drawing into {@code buffer}; 0 if it is not a pixel buffer. */
    public static native int createNativeImage(int buffer);

    /** Drops one reference to a render target or pixel buffer. */
    public static native void deleteNativeImage(int image);

    // Drawing objects and their state.

    public static native int createGraphics(int image);

    public static native int cloneGraphics(int graphics);

    public static native void deleteGraphics(int graphics);

    public static native void setHint(int graphics, int key, int value);

    public static native void setHintValue(int graphics, int key, int value);

    /** Sets the transform from six values sx, shy, shx, sy, tx, ty. */
    public static native void setTransform(int graphics, double[] matrix);

    public static native void setClip(int graphics, int count, byte[] types, double[] coords,
            boolean nonZero);

    // Shapes.

    public static native void drawLine(int graphics, int x1, int y1, int x2, int y2);

    public static native void drawRect(int graphics, int x, int y, int width, int height);

    public static native void fillRect(int graphics, int x, int y, int width, int height);

    public static native void drawOval(int graphics, int x, int y, int width, int height);

    public static native void fillOval(int graphics, int x, int y, int width, int height);

    public static native void drawArc(int graphics, int x, int y, int width, int height,
            int startAngle, int arcAngle);

    public static native void fillArc(int graphics, int x, int y, int width, int height,
            int startAngle, int arcAngle);

    public static native void drawRoundRect(int graphics, int x, int y, int width, int height,
            int arcWidth, int arcHeight);

    public static native void fillRoundRect(int graphics, int x, int y, int width, int height,
            int arcWidth, int arcHeight);

    public static native void drawPath(int graphics, int count, byte[] types, double[] coords,
            boolean nonZero, int flags);

    public static native void drawPolygon(int graphics, int n, int[] x, int[] y);

    public static native void fillPolygon(int graphics, int n, int[] x, int[] y);

    public static native void drawPolyline(int graphics, int n, int[] x, int[] y);

    // Stroke, paint and composite.

    public static native void setStroke(int graphics, float width, int cap, int join,
            float miterLimit, float[] dash, float dashPhase);

    public static native void setLinePattern(int graphics, int image, double first,
            double second, double third);

    public static native void setPaint(int graphics, int argb);

    public static native void setGradient(int graphics, int kind, int cycle, double[] points,
            int[] positions, int[] colours, double[] matrix);

    public static native void setTexture(int graphics, int image, double[] matrix, int wrap);

    public static native void setComposite(int graphics, int rule, float alpha);

    // Images.

    public static native void drawImage(int graphics, int image, double[] matrix);

    public static native void drawSWTImage(int graphics, int[] info, double[] matrix,
            byte[] data, int[] palette, byte[] alphaData);

    public static native void drawAWTImage(int graphics, int[] info, double[] matrix,
            byte[] raster);

    public static native void drawAWTImage(int graphics, int[] info, double[] matrix,
            int[] raster);

    public static native void drawAWTImage(int graphics, int[] info, double[] matrix,
            short[] raster);

    // Pixel-array operations on a region {x, y, width, height, bufferWidth, bufferHeight}.

    public static native void filterAlpha(int buffer, int[] region);

    public static native void colorMatrix(int buffer, int[] region, float[] matrix,
            boolean premultiplied);

    public static native void transColor(int buffer, int[] region, byte[] red, byte[] green,
            byte[] blue, byte[] alpha, boolean premultiplied);

    public static native void applyLut(int buffer, int[] region, boolean toSrgb,
            boolean premultiplied);

    public static native void gaussianBlur(int buffer, int[] region, double deviationX,
            double deviationY, boolean highQuality);

    public static native void coerceData(int[] pixels, int[] region, boolean premultiply);

    public static native void coerceData(int buffer, int[] region, boolean premultiply);

    public static native void convertData(int[] destination, int[] info, byte[] data,
            int[] palette, byte[] alphaData);

    public static native void setData(int buffer, int[] region, int argb);

    public static native void copyData(int sourceBuffer, int destinationBuffer,
            int[] sourceRegion, int[] destinationRegion);

    public static native void compose(int rule, int sourceBuffer, int destinationBuffer,
            int[] sourceRegion, int[] destinationRegion);

    public static native void compose(int sourceBuffer, int destinationBuffer,
            int[] sourceRegion, int[] destinationRegion, float[] coefficients);

    // Device output. Source y is counted from the top row of the source.

    /** Copies a rectangle of a render target's pixels to a device; nothing if it has none. */
    public static native void SetDIBitsToDevice(int hdc, int image, int xDest, int yDest,
            int width, int height, int xSrc, int ySrc);

    /** Copies 32-bit rows (top row first) to a device. */
    public static native void SetDIBitsToDeviceInt(int hdc, int xDest, int yDest, int width,
            int height, int xSrc, int ySrc, int[] bits, int bitmapWidth, int bitmapHeight);

    /** Copies 24-bit rows of B, G, R bytes, each padded to a multiple of 4 bytes. */
    public static native void SetDIBitsToDeviceByte(int hdc, int xDest, int yDest, int width,
            int height, int xSrc, int ySrc, byte[] bits, int bitmapWidth, int bitmapHeight);

    /** Copies 16-bit 5-5-5 rows, each padded to a multiple of 4 bytes. */
    public static native void SetDIBitsToDeviceShort(int hdc, int xDest, int yDest, int width,
            int height, int xSrc, int ySrc, short[] bits, int bitmapWidth, int bitmapHeight);

    // Timer.

    public static native long queryPerformanceCounter();

    /** Ticks of {@link #queryPerformanceCounter()} per second. */
    public static native long queryPerformanceFrequency();
}
