package com.quarn.lumo.internal;

import java.awt.image.BufferedImage;
import java.awt.image.ComponentSampleModel;
import java.awt.image.DataBuffer;
import java.awt.image.DataBufferByte;
import java.awt.image.DataBufferInt;
import java.awt.image.DataBufferUShort;
import java.awt.image.SampleModel;
import java.awt.image.SinglePixelPackedSampleModel;

/**
 * Passes a buffered image's raster to {@link LUMO#drawAWTImage} as it lies in memory, for the
 * nine image types the library reads.
 */
public final class AwtImage {
    private AwtImage() {
    }

    /** Bytes from one row of the raster to the next, whatever its element type. */
    public static int bytesPerLine(BufferedImage image) {
        SampleModel model = image.getRaster().getSampleModel();
        int stride = model instanceof SinglePixelPackedSampleModel
                ? ((SinglePixelPackedSampleModel) model).getScanlineStride()
                : ((ComponentSampleModel) model).getScanlineStride();
        return stride * DataBuffer.getDataTypeSize(model.getDataType()) / 8;
    }

    /** Draws one of the nine types the library reads, placed by {@code matrix}. */
    public static void draw(int g, BufferedImage image, double[] matrix) {
        DataBuffer buffer = image.getRaster().getDataBuffer();
        int[] info = {0, image.getWidth(), image.getHeight(), 0, bytesPerLine(image),
            image.isAlphaPremultiplied() ? 1 : 0, image.getType()};
        if (buffer instanceof DataBufferInt) {
            LUMO.drawAWTImage(g, info, matrix, ((DataBufferInt) buffer).getData());
        } else if (buffer instanceof DataBufferUShort) {
            LUMO.drawAWTImage(g, info, matrix, ((DataBufferUShort) buffer).getData());
        } else {
            LUMO.drawAWTImage(g, info, matrix, ((DataBufferByte) buffer).getData());
        }
    }
}
