package com.quarn.lumo.bench;

import com.quarn.lumo.internal.LUMO;
import java.awt.Graphics2D;
import java.awt.Rectangle;
import java.awt.RenderingHints;
import java.awt.geom.AffineTransform;
import java.awt.image.BufferedImage;

/**
 * One batch of an image scene: the picture drawn {@value #OPERATIONS} times, each time scaled
 * by {@link ImageScene#SCALE} about the canvas origin and then moved to (x, y), with x and y
 * drawn as for a box of the scaled picture's size, so that the picture stays on the canvas.
 * The reported size is the picture's side.
 */
final class ImageBatch implements Batch {
    static final int OPERATIONS = 100;

    private final ImageScene scene;
    private final BufferedImage javaPicture;
    private final int lumoPicture;
    private final int side;
    private final double[][] matrices = new double[OPERATIONS][];
    private final AffineTransform[] transforms = new AffineTransform[OPERATIONS];

    /**
     * @param javaPicture the picture as a Java 2D image
     * @param lumoPicture the same picture as a render target of the library
     */
    ImageBatch(ImageScene scene, BufferedImage javaPicture, int lumoPicture) {
        this.scene = scene;
        this.javaPicture = javaPicture;
        this.lumoPicture = lumoPicture;
        this.side = javaPicture.getWidth();
        SceneRandom random = SceneRandom.forScene(scene.index(), side);
        double scaled = ImageScene.SCALE * side;
        for (int i = 0; i < OPERATIONS; i++) {
            double x = random.next() * (ShapeBatch.CANVAS - scaled);
            double y = random.next() * (ShapeBatch.CANVAS - scaled);
            matrices[i] = new double[] {ImageScene.SCALE, 0, 0, ImageScene.SCALE, x, y};
            transforms[i] = new AffineTransform(matrices[i]);
        }
    }

    @Override
    public String scene() {
        return scene.label;
    }

    @Override
    public String style() {
        return "Image";
    }

    @Override
    public int size() {
        return side;
    }

    @Override
    public int operations() {
        return OPERATIONS;
    }

    @Override
    public void prepareLumo(int g) {
        LUMO.setHint(g, LumoCanvas.HINT_IMAGE_FILTER, scene.lumoFilter);
    }

    @Override
    public void drawLumo(int g, int from, int to) {
        for (int i = from; i < to; i++) {
            LUMO.drawImage(g, lumoPicture, matrices[i]);
        }
    }

    @Override
    public void prepareJava2D(Graphics2D g) {
        g.setRenderingHint(RenderingHints.KEY_INTERPOLATION, scene.javaInterpolation);
    }

    @Override
    public void drawJava2D(Graphics2D g, int from, int to) {
        for (int i = from; i < to; i++) {
            g.drawImage(javaPicture, transforms[i], null);
        }
    }

    @Override
    public Rectangle bounds(int index) {
        Rectangle r = transforms[index]
                .createTransformedShape(new Rectangle(0, 0, side, side)).getBounds();
        r.grow(2, 2);
        return r;
    }
}
