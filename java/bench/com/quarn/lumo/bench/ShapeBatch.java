package com.quarn.lumo.bench;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.ShapePath;
import java.awt.BasicStroke;
import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.LinearGradientPaint;
import java.awt.Paint;
import java.awt.RadialGradientPaint;
import java.awt.Rectangle;
import java.awt.RenderingHints;
import java.awt.TexturePaint;
import java.awt.geom.Point2D;
import java.awt.geom.Rectangle2D;
import java.awt.image.BufferedImage;

/**
 * One batch of a shape scene in one style at one size. Every operation has its box, its
 * random colour and its outline, drawn from the scene's random numbers in that order; the
 * paint of each operation is built here for both engines before anything is timed.
 */
final class ShapeBatch implements Batch {
    static final int CANVAS = 512;
    static final int OPERATIONS = 1000;
    /** The texture is mapped at this scale with its origin at the box's top-left corner. */
    static final double TEXTURE_SCALE = 1.5;

    private static final int LUMO_RADIAL = 1;
    private static final int LUMO_LINEAR = 2;
    private static final int LUMO_PAD = 0;
    /** Repeat in both directions: horizontal mode in bits 8-11, vertical in bits 0-3. */
    private static final int LUMO_REPEAT_BOTH = 0x101;
    private static final int[] LUMO_STOPS = {0, 255};
    private static final float[] JAVA_STOPS = {0, 1};

    private final Scene scene;
    private final Style style;
    private final int size;
    private final int lumoTexture;
    private final Outline[] outlines = new Outline[OPERATIONS];
    private final Rectangle2D.Double[] boxes = new Rectangle2D.Double[OPERATIONS];
    private final int[] solid = new int[OPERATIONS];
    private final double[][] lumoPoints = new double[OPERATIONS][];
    private final int[][] lumoColours = new int[OPERATIONS][];
    private final double[][] lumoMatrices = new double[OPERATIONS][];
    private final Paint[] javaPaints = new Paint[OPERATIONS];
    private final int drawFlags;

    /**
     * @param javaTexture the texture as a Java 2D image
     * @param lumoTexture the same texture as a render target of the library
     */
    ShapeBatch(Scene scene, Style style, int size, BufferedImage javaTexture, int lumoTexture) {
        this.scene = scene;
        this.style = style;
        this.size = size;
        this.lumoTexture = lumoTexture;
        this.drawFlags = scene.stroked() ? ShapePath.STROKE : ShapePath.FILL;
        SceneRandom random = SceneRandom.forScene(scene.index(), size);
        for (int i = 0; i < OPERATIONS; i++) {
            double x = random.next() * (CANVAS - size);
            double y = random.next() * (CANVAS - size);
            int red = random.nextInt(256);
            int green = random.nextInt(256);
            int blue = random.nextInt(256);
            int alpha = 128 + random.nextInt(96);
            outlines[i] = scene.outline(random, x, y, size);
            if (scene == Scene.FILL_RECT_A) {
                // The box of an aligned rectangle is the rectangle itself.
                x = Math.floor(x);
                y = Math.floor(y);
            }
            boxes[i] = new Rectangle2D.Double(x, y, size, size);
            int first = alpha << 24 | red << 16 | green << 8 | blue;
            int second = (255 - alpha / 2) << 24 | blue << 16 | green << 8 | red;
            buildPaint(i, first, second, javaTexture);
        }
    }

    private void buildPaint(int i, int first, int second, BufferedImage javaTexture) {
        Rectangle2D.Double box = boxes[i];
        Color[] colours = {new Color(first, true), new Color(second, true)};
        switch (style) {
            case SOLID:
                solid[i] = first;
                javaPaints[i] = colours[0];
                break;
            case LINEAR_GRADIENT:
                lumoPoints[i] = new double[] {box.x, box.y, box.x + size, box.y + size, 0, 0};
                lumoColours[i] = new int[] {first, second};
                javaPaints[i] = new LinearGradientPaint(new Point2D.Double(box.x, box.y),
                        new Point2D.Double(box.x + size, box.y + size), JAVA_STOPS, colours);
                break;
            case RADIAL_GRADIENT: {
                double cx = box.x + size / 2.0;
                double cy = box.y + size / 2.0;
                lumoPoints[i] = new double[] {cx, cy, cx + size / 2.0, cy, cx, cy};
                lumoColours[i] = new int[] {first, second};
                javaPaints[i] = new RadialGradientPaint(new Point2D.Double(cx, cy),
                        size / 2f, JAVA_STOPS, colours);
                break;
            }
            case TEXTURE_NN:
            case TEXTURE_BILINEAR:
                lumoMatrices[i] = new double[] {TEXTURE_SCALE, 0, 0, TEXTURE_SCALE, box.x, box.y};
                javaPaints[i] = new TexturePaint(javaTexture, new Rectangle2D.Double(box.x, box.y,
                        TEXTURE_SCALE * javaTexture.getWidth(),
                        TEXTURE_SCALE * javaTexture.getHeight()));
                break;
            default:
                throw new AssertionError(style);
        }
    }

    @Override
    public String scene() {
        return scene.label;
    }

    @Override
    public String style() {
        return style.label;
    }

    @Override
    public int size() {
        return size;
    }

    @Override
    public int operations() {
        return OPERATIONS;
    }

    @Override
    public void prepareLumo(int g) {
        if (scene.stroked()) {
            LUMO.setStroke(g, scene.strokeWidth, scene.cap, scene.join, Scene.MITER_LIMIT,
                    scene.dash, 0);
        }
        LUMO.setHint(g, LumoCanvas.HINT_IMAGE_FILTER, style == Style.TEXTURE_BILINEAR
                ? LumoCanvas.FILTER_BILINEAR : LumoCanvas.FILTER_NEAREST);
    }

    @Override
    public void drawLumo(int g, int from, int to) {
        switch (style) {
            case SOLID:
                for (int i = from; i < to; i++) {
                    LUMO.setPaint(g, solid[i]);
                    drawOutline(g, outlines[i]);
                }
                break;
            case LINEAR_GRADIENT:
            case RADIAL_GRADIENT: {
                int kind = style == Style.LINEAR_GRADIENT ? LUMO_LINEAR : LUMO_RADIAL;
                for (int i = from; i < to; i++) {
                    LUMO.setGradient(g, kind, LUMO_PAD, lumoPoints[i], LUMO_STOPS,
                            lumoColours[i], null);
                    drawOutline(g, outlines[i]);
                }
                break;
            }
            default:
                for (int i = from; i < to; i++) {
                    LUMO.setTexture(g, lumoTexture, lumoMatrices[i], LUMO_REPEAT_BOTH);
                    drawOutline(g, outlines[i]);
                }
                break;
        }
    }

    private void drawOutline(int g, Outline outline) {
        int[] r = outline.intRect;
        if (r != null) {
            LUMO.fillRect(g, r[0], r[1], r[2], r[3]);
        } else {
            LUMO.drawPath(g, outline.types.length, outline.types, outline.coords,
                    outline.nonZero, drawFlags | outline.shapeFlag);
        }
    }

    @Override
    public void prepareJava2D(Graphics2D g) {
        if (scene.stroked()) {
            g.setStroke(scene.basicStroke());
        }
        g.setRenderingHint(RenderingHints.KEY_INTERPOLATION, style == Style.TEXTURE_BILINEAR
                ? RenderingHints.VALUE_INTERPOLATION_BILINEAR
                : RenderingHints.VALUE_INTERPOLATION_NEAREST_NEIGHBOR);
    }

    @Override
    public void drawJava2D(Graphics2D g, int from, int to) {
        boolean stroked = scene.stroked();
        for (int i = from; i < to; i++) {
            g.setPaint(javaPaints[i]);
            Outline outline = outlines[i];
            int[] r = outline.intRect;
            if (r != null) {
                g.fillRect(r[0], r[1], r[2], r[3]);
            } else if (stroked) {
                g.draw(outline.shape);
            } else {
                g.fill(outline.shape);
            }
        }
    }

    @Override
    public Rectangle bounds(int index) {
        Rectangle2D shape = outlines[index].shape.getBounds2D();
        Rectangle2D box = boxes[index];
        Rectangle2D.union(shape, box, shape);
        // Miter joins may reach half the width times the miter limit beyond a corner.
        double reach = scene.strokeWidth / 2
                * (scene.join == BasicStroke.JOIN_MITER ? Scene.MITER_LIMIT : 1);
        int margin = 2 + (int) Math.ceil(reach);
        Rectangle r = shape.getBounds();
        r.grow(margin, margin);
        return r;
    }
}
