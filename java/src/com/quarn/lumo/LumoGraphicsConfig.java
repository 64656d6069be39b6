package com.quarn.lumo;

import java.awt.GraphicsConfiguration;
import java.awt.GraphicsDevice;
import java.awt.Rectangle;
import java.awt.Transparency;
import java.awt.color.ColorSpace;
import java.awt.geom.AffineTransform;
import java.awt.image.ColorModel;
import java.awt.image.DataBuffer;
import java.awt.image.DirectColorModel;

/**
 * The configuration a {@link LumoGraphics2D} reports: an image buffer device of the surface's
 * size whose colour model is premultiplied ARGB, like a {@code TYPE_INT_ARGB_PRE} image's.
 */
final class LumoGraphicsConfig extends GraphicsConfiguration {
    /** 0xAARRGGBB ints with colour premultiplied by alpha. */
    static final ColorModel ARGB_PRE = new DirectColorModel(
            ColorSpace.getInstance(ColorSpace.CS_sRGB), 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000,
            true, DataBuffer.TYPE_INT);
    private static final ColorModel RGB = new DirectColorModel(24, 0xFF0000, 0xFF00, 0xFF);

    private final int width;
    private final int height;
    private final Device device = new Device();

    LumoGraphicsConfig(int width, int height) {
        this.width = width;
        this.height = height;
    }

    private final class Device extends GraphicsDevice {
        @Override
        public int getType() {
            return TYPE_IMAGE_BUFFER;
        }

        @Override
        public String getIDstring() {
            return "lumo surface";
        }

        @Override
        public GraphicsConfiguration[] getConfigurations() {
            return new GraphicsConfiguration[] {LumoGraphicsConfig.this};
        }

        @Override
        public GraphicsConfiguration getDefaultConfiguration() {
            return LumoGraphicsConfig.this;
        }
    }

    @Override
    public GraphicsDevice getDevice() {
        return device;
    }

    @Override
    public ColorModel getColorModel() {
        return ARGB_PRE;
    }

    @Override
    public ColorModel getColorModel(int transparency) {
        return transparency == Transparency.OPAQUE ? RGB : ARGB_PRE;
    }

    @Override
    public AffineTransform getDefaultTransform() {
        return new AffineTransform();
    }

    @Override
    public AffineTransform getNormalizingTransform() {
        return new AffineTransform();
    }

    @Override
    public Rectangle getBounds() {
        return new Rectangle(0, 0, width, height);
    }
}
