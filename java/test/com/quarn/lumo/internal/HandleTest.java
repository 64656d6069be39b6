package com.quarn.lumo.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;

import java.util.Arrays;
import java.util.HashSet;
import java.util.Set;
import org.junit.jupiter.api.Test;

/** Pixel buffers, render targets and device handles, good and bad. */
class HandleTest {
    /** Values the library is very unlikely to have handed out. */
    private static final int[] FOREIGN = {0x5EED1234, -7, Integer.MAX_VALUE, Integer.MIN_VALUE};

    private static final int[] BITS = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

    @Test
    void createDataBufferReturnsDistinctHandlesAndRejectsBadSizes() {
        Set<Integer> handles = new HashSet<>();
        for (int i = 0; i < 16; i++) {
            int buffer = LUMO.createDataBuffer(4, 3, 0xFF00FF00);
            assertNotEquals(0, buffer);
            handles.add(buffer);
        }
        assertEquals(16, handles.size(), "live buffers have distinct handles");
        handles.forEach(LUMO::deleteDataBuffer);

        assertEquals(0, LUMO.createDataBuffer(-1, 3, 0));
        assertEquals(0, LUMO.createDataBuffer(4, -3, 0));
        assertEquals(0, LUMO.createDataBuffer(Integer.MIN_VALUE, Integer.MIN_VALUE, 0));
        assertEquals(0, LUMO.createDataBuffer(70000, 70000, 0));
    }

    @Test
    void createNativeImageNeedsALivePixelBuffer() {
        int buffer = LUMO.createDataBuffer(4, 3, 0);
        int image = LUMO.createNativeImage(buffer);
        assertNotEquals(0, image);
        assertNotEquals(buffer, image);

        assertEquals(0, LUMO.createNativeImage(0));
        assertEquals(0, LUMO.createNativeImage(image), "a render target is not a pixel buffer");
        for (int foreign : FOREIGN) {
            assertEquals(0, LUMO.createNativeImage(foreign), "foreign handle " + foreign);
        }
        try (Surface surface = new Surface(2, 2)) {
            assertEquals(0, LUMO.createNativeImage(surface.hdc), "a device is not a buffer");
        }

        int second = LUMO.createNativeImage(buffer);
        assertNotEquals(0, second, "several render targets may share one buffer");
        assertNotEquals(image, second);

        LUMO.deleteNativeImage(second);
        LUMO.deleteNativeImage(image);
        LUMO.deleteDataBuffer(buffer);
        assertEquals(0, LUMO.createNativeImage(buffer), "deleted buffer");
    }

    @Test
    void deletingAcceptsEitherCountedKindAndIsHarmlessTwice() {
        // A buffer deleted under the render-target name is gone.
        int buffer = LUMO.createDataBuffer(4, 3, 0);
        LUMO.deleteNativeImage(buffer);
        assertEquals(0, LUMO.createNativeImage(buffer));
        LUMO.deleteNativeImage(buffer);
        LUMO.deleteDataBuffer(buffer);

        // A render target deleted under the buffer name; its buffer outlives the Java handle.
        buffer = LUMO.createDataBuffer(4, 3, 0);
        int image = LUMO.createNativeImage(buffer);
        LUMO.deleteDataBuffer(buffer);
        LUMO.deleteDataBuffer(image);
        LUMO.deleteNativeImage(image);
        LUMO.deleteDataBuffer(image);
        assertEquals(0, LUMO.createNativeImage(image));

        LUMO.deleteDataBuffer(0);
        LUMO.deleteNativeImage(0);
        for (int foreign : FOREIGN) {
            LUMO.deleteDataBuffer(foreign);
            LUMO.deleteNativeImage(foreign);
            LUMO.clearDataBuffer(foreign, 0xFFFFFFFF);
        }
        try (Surface surface = new Surface(2, 2)) {
            LUMO.deleteDataBuffer(surface.hdc);
            LUMO.deleteNativeImage(surface.hdc);
            LUMO.SetDIBitsToDeviceInt(surface.hdc, 0, 0, 2, 2, 0, 0, BITS, 2, 2);
            assertArrayEquals(new int[] {1, 2, 3, 4}, surface.read(),
                    "deleting a device handle as a buffer leaves the device alone");
        }
    }

    @Test
    void renderTargetWithoutPixelMemoryBlitsNothing() {
        int buffer = LUMO.createDataBuffer(4, 3, 0xFF00FF00);
        int image = LUMO.createNativeImage(buffer);
        LUMO.clearDataBuffer(buffer, 0xFF0000FF);
        try (Surface surface = new Surface(4, 3)) {
            LUMO.SetDIBitsToDevice(surface.hdc, image, 0, 0, 4, 3, 0, 0);
            LUMO.SetDIBitsToDevice(surface.hdc, image, 0, 0, 4, 3, 0, 0);
            assertArrayEquals(new int[12], surface.read());
        } finally {
            LUMO.deleteNativeImage(image);
            LUMO.deleteDataBuffer(buffer);
        }
    }

    @Test
    void renderTargetBlitIgnoresHandlesOfOtherKinds() {
        int buffer = LUMO.createDataBuffer(4, 3, 0xFF00FF00);
        int image = LUMO.createNativeImage(buffer);
        int deletedBuffer = LUMO.createDataBuffer(4, 3, 0xFF00FF00);
        int deletedImage = LUMO.createNativeImage(deletedBuffer);
        LUMO.deleteNativeImage(deletedImage);
        LUMO.deleteDataBuffer(deletedBuffer);
        try (Surface surface = new Surface(4, 3); Surface other = new Surface(4, 3)) {
            int[] images = {0, buffer, deletedImage, deletedBuffer, other.hdc, surface.hdc,
                FOREIGN[0], FOREIGN[1], FOREIGN[2], FOREIGN[3]};
            for (int candidate : images) {
                LUMO.SetDIBitsToDevice(surface.hdc, candidate, 0, 0, 4, 3, 0, 0);
            }
            for (int hdc : new int[] {0, buffer, image, FOREIGN[0], FOREIGN[1]}) {
                LUMO.SetDIBitsToDevice(hdc, image, 0, 0, 4, 3, 0, 0);
            }
            assertArrayEquals(new int[12], surface.read());
            assertArrayEquals(new int[12], other.read());
        } finally {
            LUMO.deleteNativeImage(image);
            LUMO.deleteDataBuffer(buffer);
        }
    }

    @Test
    void arrayBlitsIgnoreHandlesThatAreNotDevices() {
        int buffer = LUMO.createDataBuffer(4, 3, 0);
        int image = LUMO.createNativeImage(buffer);
        int deleted = MemoryDevice.create(4, 3);
        MemoryDevice.delete(deleted);
        try (Surface surface = new Surface(4, 3)) {
            // Handles of different kinds must never coincide, or the blits below would land.
            assertNotEquals(surface.hdc, buffer);
            assertNotEquals(surface.hdc, image);
            int[] notDevices = {0, buffer, image, deleted, FOREIGN[0], FOREIGN[1], FOREIGN[2]};
            byte[] bgr = new byte[36];
            short[] rgb555 = new short[12];
            Arrays.fill(bgr, (byte) 0x55);
            Arrays.fill(rgb555, (short) 0x5555);
            for (int hdc : notDevices) {
                LUMO.SetDIBitsToDeviceInt(hdc, 0, 0, 4, 3, 0, 0, BITS, 4, 3);
                LUMO.SetDIBitsToDeviceByte(hdc, 0, 0, 4, 3, 0, 0, bgr, 4, 3);
                LUMO.SetDIBitsToDeviceShort(hdc, 0, 0, 4, 3, 0, 0, rgb555, 4, 3);
            }
            assertArrayEquals(new int[12], surface.read());
        } finally {
            LUMO.deleteNativeImage(image);
            LUMO.deleteDataBuffer(buffer);
        }
    }

    @Test
    void memoryDeviceRejectsBadSizesAndStartsEmpty() {
        for (int[] size : new int[][] {{0, 5}, {5, 0}, {0, 0}, {-1, 5}, {5, -1},
            {Integer.MIN_VALUE, Integer.MIN_VALUE}}) {
            assertEquals(0, MemoryDevice.create(size[0], size[1]),
                    "create(" + size[0] + ", " + size[1] + ")");
        }
        int first = MemoryDevice.create(3, 2);
        int second = MemoryDevice.create(3, 2);
        assertNotEquals(0, first);
        assertNotEquals(0, second);
        assertNotEquals(first, second);
        int[] argb = new int[6];
        Arrays.fill(argb, 0x12345678);
        MemoryDevice.read(first, argb);
        assertArrayEquals(new int[6], argb, "a new surface is all zeros");
        MemoryDevice.delete(first);
        MemoryDevice.delete(second);
    }

    @Test
    void memoryDeviceReadLeavesTheArrayAloneOnBadInput() {
        int buffer = LUMO.createDataBuffer(3, 2, 0xFFFFFFFF);
        int deleted = MemoryDevice.create(3, 2);
        MemoryDevice.delete(deleted);
        MemoryDevice.delete(deleted);
        MemoryDevice.delete(0);
        MemoryDevice.delete(FOREIGN[0]);
        MemoryDevice.delete(buffer);
        try (Surface surface = new Surface(3, 2)) {
            LUMO.SetDIBitsToDeviceInt(surface.hdc, 0, 0, 3, 2, 0, 0, BITS, 3, 2);

            int[] tooShort = {9, 9, 9, 9, 9};
            MemoryDevice.read(surface.hdc, tooShort);
            assertArrayEquals(new int[] {9, 9, 9, 9, 9}, tooShort, "array shorter than surface");

            for (int hdc : new int[] {0, deleted, buffer, FOREIGN[0], FOREIGN[1]}) {
                int[] argb = {9, 9, 9, 9, 9, 9};
                MemoryDevice.read(hdc, argb);
                assertArrayEquals(new int[] {9, 9, 9, 9, 9, 9}, argb, "hdc " + hdc);
            }
            MemoryDevice.read(surface.hdc, null);

            int[] longer = {9, 9, 9, 9, 9, 9, 9, 9};
            MemoryDevice.read(surface.hdc, longer);
            assertArrayEquals(new int[] {1, 2, 3, 4, 5, 6, 9, 9}, longer,
                    "a longer array gets the surface in front and keeps its tail");
        } finally {
            LUMO.deleteDataBuffer(buffer);
        }
    }
}
