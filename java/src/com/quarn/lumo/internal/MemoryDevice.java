package com.quarn.lumo.internal;

/**
 * An in-memory drawing surface that stands in for a window's device context on platforms
 * without one. The surface is addressed by an integer device handle, the value the device
 * blits of {@link LUMO} take as their first argument. A new surface holds only zero words.
 */
public final class MemoryDevice {
    static {
        NativeLibrary.load();
    }

    private MemoryDevice() {
    }

    /**
     * Creates a surface of {@code width} x {@code height} pixels.
     *
     * @return the device handle, or 0 when the size is not positive or memory is short
     */
    public static native int create(int width, int height);

    /**
     * Copies the surface into {@code argb}: width * height words 0xAARRGGBB, top row first.
     * An unknown handle, a null array or an array shorter than the surface leaves the array
     * unchanged.
     */
    public static native void read(int hdc, int[] argb);

    /** Frees the surface. Unknown handles, 0 included, are ignored. */
    public static native void delete(int hdc);
}
