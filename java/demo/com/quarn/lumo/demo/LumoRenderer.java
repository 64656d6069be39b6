package com.quarn.lumo.demo;

import com.quarn.lumo.internal.AwtImage;
import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.ShapePath;
import java.awt.Polygon;
import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Arc2D;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.awt.image.BufferedImage;
import java.util.IdentityHashMap;
import java.util.Map;

/**
 * Draws a scene into a render target through the library. Shapes with whole-pixel coordinates
 * that the library has a call for (lines, rectangles, ovals, rounded rectangles, pies, open
 * arcs, polygons) go through that call; everything else through {@link ShapePath}.
 */
final class LumoRenderer implements AutoCloseable {
    private final Target target;
    /** Render targets made from the scene's images and tiles, each made once. */
    private final Map<BufferedImage, Target> images = new IdentityHashMap<>();
    private Scene.State applied;

    private LumoRenderer(Target target) {
        this.target = target;
    }

    /** Draws {@code scene} over what the target holds. */
    static void render(Scene scene, Target target) {
        try (LumoRenderer r = new LumoRenderer(target)) {
            for (Scene.Item item : scene.items()) {
                r.draw(item);
            }
        }
    }

    /** A new target of the scene's background with the scene drawn into it. */
    static Target render(Scene scene, int width, int height) {
        Target t = new Target(width, height, scene.background);
        render(scene, t);
        return t;
    }

    private void draw(Scene.Item item) {
        apply(item.state());
        int g = target.g;
        if (item instanceof Scene.Fill) {
            fill(g, ((Scene.Fill) item).shape());
        } else if (item instanceof Scene.Stroke) {
            stroke(g, ((Scene.Stroke) item).shape());
        } else if (item instanceof Scene.Image) {
            Scene.Image image = (Scene.Image) item;
            double[] matrix = flat(image.placement());
            if (image.raster()) {
                AwtImage.draw(g, image.image(), matrix);
            } else {
                LUMO.drawImage(g, targetOf(image.image()).image, matrix);
            }
        } else {
            Scene.Layer layer = (Scene.Layer) item;
            try (Target t = new Target(layer.width(), layer.height(), 0)) {
                render(layer.content(), t);
                LUMO.drawImage(g, t.image, new double[] {1, 0, 0, 1, layer.x(), layer.y()});
            }
        }
    }

    private void apply(Scene.State s) {
        if (s == applied) {
            return;
        }
        int g = target.g;
        LUMO.setHint(g, Target.ANTIALIAS, s.antialias() ? 1 : 0);
        LUMO.setHint(g, Target.DEVICE_STROKE, s.deviceStroke() ? 1 : 0);
        LUMO.setHint(g, Target.STROKE_OFFSET, s.pixelCentres() ? 3 : 0);
        LUMO.setHint(g, Target.IMAGE_FILTER, s.filter());
        LUMO.setHint(g, Target.CLIP_ANTIALIAS, s.clipAntialias() ? 1 : 0);
        LUMO.setTransform(g, flat(s.transform()));
        if (s.clip() == null) {
            LUMO.setClip(g, 0, null, null, true);
        } else if (s.clip() instanceof Rectangle2D) {
            Rectangle2D r = (Rectangle2D) s.clip();
            LUMO.setClip(g, 4, null,
                    new double[] {r.getMinX(), r.getMinY(), r.getMaxX(), r.getMaxY()}, true);
        } else {
            ShapePath.of(s.clip()).clip(g);
        }
        LUMO.setComposite(g, s.rule(), s.alpha());
        SceneStroke k = s.stroke();
        LUMO.setStroke(g, k.width(), k.cap(), k.join(), k.miterLimit(), k.dash(), k.phase());
        ScenePaint p = s.paint();
        switch (p.kind) {
            case COLOUR:
                LUMO.setPaint(g, p.argb);
                break;
            case GRADIENT:
                LUMO.setGradient(g, p.type, p.cycle, p.points, p.positions, p.colours,
                        p.matrix == null ? null : flat(p.matrix));
                break;
            default:
                // The filter of a texture is the image-filter hint of the drawing.
                LUMO.setHint(g, Target.IMAGE_FILTER, p.type);
                LUMO.setTexture(g, targetOf(p.tile).image,
                        p.matrix == null ? null : flat(p.matrix), Target.wrap(p.cycle, p.cycleY));
                break;
        }
        applied = s;
    }

    private static void fill(int g, Shape shape) {
        if (shape instanceof Rectangle2D && whole(rect((Rectangle2D) shape))) {
            int[] r = ints(rect((Rectangle2D) shape));
            LUMO.fillRect(g, r[0], r[1], r[2], r[3]);
        } else if (shape instanceof Ellipse2D && whole(rect((Ellipse2D) shape))) {
            int[] r = ints(rect((Ellipse2D) shape));
            LUMO.fillOval(g, r[0], r[1], r[2], r[3]);
        } else if (shape instanceof RoundRectangle2D && whole(round((RoundRectangle2D) shape))) {
            int[] r = ints(round((RoundRectangle2D) shape));
            LUMO.fillRoundRect(g, r[0], r[1], r[2], r[3], r[4], r[5]);
        } else if (shape instanceof Arc2D && ((Arc2D) shape).getArcType() == Arc2D.PIE
                && whole(arc((Arc2D) shape))) {
            int[] r = ints(arc((Arc2D) shape));
            LUMO.fillArc(g, r[0], r[1], r[2], r[3], r[4], r[5]);
        } else if (shape instanceof Polygon) {
            Polygon p = (Polygon) shape;
            LUMO.fillPolygon(g, p.npoints, p.xpoints, p.ypoints);
        } else {
            ShapePath.of(shape).fill(g);
        }
    }

    private static void stroke(int g, Shape shape) {
        if (shape instanceof Line2D && whole(line((Line2D) shape))) {
            int[] r = ints(line((Line2D) shape));
            LUMO.drawLine(g, r[0], r[1], r[2], r[3]);
        } else if (shape instanceof Rectangle2D && whole(rect((Rectangle2D) shape))) {
            int[] r = ints(rect((Rectangle2D) shape));
            LUMO.drawRect(g, r[0], r[1], r[2], r[3]);
        } else if (shape instanceof Ellipse2D && whole(rect((Ellipse2D) shape))) {
            int[] r = ints(rect((Ellipse2D) shape));
            LUMO.drawOval(g, r[0], r[1], r[2], r[3]);
        } else if (shape instanceof RoundRectangle2D && whole(round((RoundRectangle2D) shape))) {
            int[] r = ints(round((RoundRectangle2D) shape));
            LUMO.drawRoundRect(g, r[0], r[1], r[2], r[3], r[4], r[5]);
        } else if (shape instanceof Arc2D && ((Arc2D) shape).getArcType() == Arc2D.OPEN
                && whole(arc((Arc2D) shape))) {
            int[] r = ints(arc((Arc2D) shape));
            LUMO.drawArc(g, r[0], r[1], r[2], r[3], r[4], r[5]);
        } else if (shape instanceof Polygon) {
            Polygon p = (Polygon) shape;
            LUMO.drawPolygon(g, p.npoints, p.xpoints, p.ypoints);
        } else if (shape instanceof Polyline) {
            Polyline p = (Polyline) shape;
            LUMO.drawPolyline(g, p.x.length, p.x, p.y);
        } else {
            ShapePath.of(shape).stroke(g);
        }
    }

    private static double[] rect(java.awt.geom.RectangularShape r) {
        return new double[] {r.getX(), r.getY(), r.getWidth(), r.getHeight()};
    }

    private static double[] round(RoundRectangle2D r) {
        return new double[] {r.getX(), r.getY(), r.getWidth(), r.getHeight(), r.getArcWidth(),
            r.getArcHeight()};
    }

    private static double[] line(Line2D l) {
        return new double[] {l.getX1(), l.getY1(), l.getX2(), l.getY2()};
    }

    /**
     * The box and angles of fillArc and drawArc. Java 2D turns its start angle
     * counter-clockwise on the screen; the library turns it clockwise, like its y axis.
     */
    private static double[] arc(Arc2D a) {
        return new double[] {a.getX(), a.getY(), a.getWidth(), a.getHeight(), -a.getAngleStart(),
            a.getAngleExtent()};
    }

    private static boolean whole(double[] values) {
        for (double v : values) {
            if (v != Math.rint(v) || Math.abs(v) > 1 << 20) {
                return false;
            }
        }
        return true;
    }

    private static int[] ints(double[] values) {
        int[] out = new int[values.length];
        for (int i = 0; i < values.length; i++) {
            out[i] = (int) values[i];
        }
        return out;
    }

    static double[] flat(AffineTransform t) {
        double[] m = new double[6];
        t.getMatrix(m);
        return m;
    }

    private Target targetOf(BufferedImage image) {
        return images.computeIfAbsent(image, i -> {
            int[] argb = i.getRGB(0, 0, i.getWidth(), i.getHeight(), null, 0, i.getWidth());
            return Target.of(i.getWidth(), i.getHeight(), argb);
        });
    }

    @Override
    public void close() {
        for (Target t : images.values()) {
            t.close();
        }
        images.clear();
    }
}
