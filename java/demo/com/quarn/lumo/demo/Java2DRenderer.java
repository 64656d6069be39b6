package com.quarn.lumo.demo;

import java.awt.AlphaComposite;
import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.LinearGradientPaint;
import java.awt.MultipleGradientPaint.ColorSpaceType;
import java.awt.MultipleGradientPaint.CycleMethod;
import java.awt.Paint;
import java.awt.RadialGradientPaint;
import java.awt.RenderingHints;
import java.awt.Shape;
import java.awt.TexturePaint;
import java.awt.geom.AffineTransform;
import java.awt.geom.NoninvertibleTransformException;
import java.awt.geom.Point2D;
import java.awt.geom.Rectangle2D;
import java.awt.image.BufferedImage;

/**
 * Draws a scene with Java 2D, antialiased where the scene asks for it. Java 2D lacks some of
 * what a scene can ask for: gradients other than linear and radial, blend modes beyond the
 * twelve Porter-Duff rules, image filters beyond nearest, bilinear and bicubic, textures that
 * stretch their edges. Such an item is drawn as a hatched area where it would be, so that the
 * panel shows what is missing rather than something else.
 */
final class Java2DRenderer {
    private static final Object[] INTERPOLATION = {
        RenderingHints.VALUE_INTERPOLATION_NEAREST_NEIGHBOR,
        RenderingHints.VALUE_INTERPOLATION_BILINEAR,
        RenderingHints.VALUE_INTERPOLATION_BICUBIC,
    };

    private Java2DRenderer() {
    }

    /** A new premultiplied image of the scene's background with the scene drawn into it. */
    static BufferedImage render(Scene scene, int width, int height) {
        BufferedImage image = new BufferedImage(width, height, BufferedImage.TYPE_INT_ARGB_PRE);
        Graphics2D g = image.createGraphics();
        try {
            if (scene.background != 0) {
                g.setColor(new Color(scene.background, true));
                g.fillRect(0, 0, width, height);
            }
            render(scene, g);
        } finally {
            g.dispose();
        }
        return image;
    }

    /** Draws {@code scene} with a graphics that has no transform or clip of its own. */
    static void render(Scene scene, Graphics2D g) {
        g.setRenderingHint(RenderingHints.KEY_STROKE_CONTROL,
                RenderingHints.VALUE_STROKE_PURE);
        g.setRenderingHint(RenderingHints.KEY_RENDERING, RenderingHints.VALUE_RENDER_QUALITY);
        g.setRenderingHint(RenderingHints.KEY_COLOR_RENDERING,
                RenderingHints.VALUE_COLOR_RENDER_QUALITY);
        for (Scene.Item item : scene.items()) {
            draw(item, g);
        }
    }

    private static void draw(Scene.Item item, Graphics2D g) {
        Scene.State s = item.state();
        g.setTransform(new AffineTransform());
        g.setClip(s.clip());
        g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, s.antialias()
                ? RenderingHints.VALUE_ANTIALIAS_ON : RenderingHints.VALUE_ANTIALIAS_OFF);
        boolean lacking = s.rule() < 1 || s.rule() > 12;
        if (!lacking) {
            g.setComposite(AlphaComposite.getInstance(s.rule(), s.alpha()));
        }
        if (item instanceof Scene.Fill || item instanceof Scene.Stroke) {
            Shape outline = outline(item);
            if (lacking || !paint(g, s, outline)) {
                hatch(g, outline);
            }
        } else if (item instanceof Scene.Image) {
            Scene.Image image = (Scene.Image) item;
            AffineTransform place = new AffineTransform(s.transform());
            place.concatenate(image.placement());
            if (lacking || s.filter() < 0 || s.filter() >= INTERPOLATION.length) {
                hatch(g, place.createTransformedShape(new Rectangle2D.Double(0, 0,
                        image.image().getWidth(), image.image().getHeight())));
                return;
            }
            g.setRenderingHint(RenderingHints.KEY_INTERPOLATION, INTERPOLATION[s.filter()]);
            g.drawImage(image.image(), place, null);
        } else {
            Scene.Layer layer = (Scene.Layer) item;
            AffineTransform place = new AffineTransform(s.transform());
            place.translate(layer.x(), layer.y());
            if (lacking) {
                hatch(g, place.createTransformedShape(new Rectangle2D.Double(0, 0,
                        layer.width(), layer.height())));
                return;
            }
            BufferedImage content = render(layer.content(), layer.width(), layer.height());
            g.drawImage(content, place, null);
        }
    }

    /** What a fill or stroke covers, in panel pixels. */
    private static Shape outline(Scene.Item item) {
        Scene.State s = item.state();
        AffineTransform t = s.transform();
        if (item instanceof Scene.Fill) {
            return t.createTransformedShape(((Scene.Fill) item).shape());
        }
        Shape shape = ((Scene.Stroke) item).shape();
        Shape device = s.deviceStroke()
                ? s.stroke().java2d().createStrokedShape(t.createTransformedShape(shape))
                : t.createTransformedShape(s.stroke().java2d().createStrokedShape(shape));
        if (s.pixelCentres()) {
            device = AffineTransform.getTranslateInstance(0.5, 0.5).createTransformedShape(device);
        }
        return device;
    }

    /**
     * Fills the outline with the state's paint: the graphics transform becomes the paint's own
     * space and the outline is mapped back into it. False when Java 2D has no such paint.
     */
    private static boolean paint(Graphics2D g, Scene.State s, Shape outline) {
        ScenePaint p = s.paint();
        AffineTransform space = new AffineTransform(s.transform());
        Paint paint;
        switch (p.kind) {
            case COLOUR:
                g.setPaint(new Color(p.argb, true));
                g.fill(outline);
                return true;
            case GRADIENT:
                if (p.matrix != null) {
                    space.concatenate(p.matrix);
                }
                paint = gradient(p);
                break;
            default:
                if (p.cycle == ScenePaint.PAD || p.cycleY == ScenePaint.PAD
                        || p.type < 0 || p.type >= INTERPOLATION.length) {
                    return false;
                }
                if (p.matrix != null) {
                    space.concatenate(p.matrix);
                }
                BufferedImage tile = mirrored(p.tile, p.cycle == ScenePaint.REFLECT,
                        p.cycleY == ScenePaint.REFLECT);
                g.setRenderingHint(RenderingHints.KEY_INTERPOLATION, INTERPOLATION[p.type]);
                paint = new TexturePaint(tile,
                        new Rectangle2D.Double(0, 0, tile.getWidth(), tile.getHeight()));
                break;
        }
        if (paint == null) {
            return false;
        }
        try {
            Shape inside = space.createInverse().createTransformedShape(outline);
            g.setTransform(space);
            g.setPaint(paint);
            g.fill(inside);
            g.setTransform(new AffineTransform());
        } catch (NoninvertibleTransformException e) {
            // A paint squashed flat covers nothing.
        }
        return true;
    }

    /** The linear or radial gradient paint, in the gradient's own space; null for other kinds. */
    private static Paint gradient(ScenePaint p) {
        float[] fractions = new float[p.positions.length];
        Color[] colours = new Color[p.colours.length];
        for (int i = 0; i < fractions.length; i++) {
            fractions[i] = p.positions[i] / 255f;
            colours[i] = new Color(p.colours[i], true);
        }
        CycleMethod cycle = p.cycle == ScenePaint.REPEAT ? CycleMethod.REPEAT
                : p.cycle == ScenePaint.REFLECT ? CycleMethod.REFLECT : CycleMethod.NO_CYCLE;
        double[] q = p.points;
        if (p.type == ScenePaint.LINEAR) {
            return new LinearGradientPaint(new Point2D.Double(q[0], q[1]),
                    new Point2D.Double(q[2], q[3]), fractions, colours, cycle,
                    ColorSpaceType.SRGB, new AffineTransform());
        }
        if (p.type == ScenePaint.RADIAL) {
            float radius = (float) Math.hypot(q[2] - q[0], q[3] - q[1]);
            return new RadialGradientPaint(new Point2D.Double(q[0], q[1]), radius,
                    new Point2D.Double(q[4], q[5]), fractions, colours, cycle,
                    ColorSpaceType.SRGB, new AffineTransform());
        }
        return null;
    }

    /** The tile, followed by its mirror image across and/or down: reflecting is repeating that. */
    private static BufferedImage mirrored(BufferedImage tile, boolean across, boolean down) {
        if (!across && !down) {
            return tile;
        }
        int w = tile.getWidth();
        int h = tile.getHeight();
        BufferedImage out = new BufferedImage(across ? 2 * w : w, down ? 2 * h : h,
                BufferedImage.TYPE_INT_ARGB);
        for (int y = 0; y < out.getHeight(); y++) {
            for (int x = 0; x < out.getWidth(); x++) {
                int sx = x < w ? x : 2 * w - 1 - x;
                int sy = y < h ? y : 2 * h - 1 - y;
                out.setRGB(x, y, tile.getRGB(sx, sy));
            }
        }
        return out;
    }

    /** Grey diagonal hatching over an area whose drawing Java 2D cannot do. */
    static void hatch(Graphics2D g, Shape area) {
        g.setTransform(new AffineTransform());
        g.setComposite(AlphaComposite.SrcOver);
        g.setPaint(new TexturePaint(HATCH, new Rectangle2D.Double(0, 0, 8, 8)));
        g.fill(area);
    }

    private static final BufferedImage HATCH = hatchTile();

    private static BufferedImage hatchTile() {
        BufferedImage tile = new BufferedImage(8, 8, BufferedImage.TYPE_INT_ARGB);
        for (int y = 0; y < 8; y++) {
            for (int x = 0; x < 8; x++) {
                tile.setRGB(x, y, (x + y) % 8 < 2 ? Palette.GUIDE : Palette.TRACK);
            }
        }
        return tile;
    }
}
