package com.quarn.lumo.demo;

import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Rectangle2D;
import java.awt.image.BufferedImage;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * A drawing described once and drawn by two renderers: {@link LumoRenderer} through the library
 * and {@link Java2DRenderer} through Graphics2D. Setters change the current state; each fill,
 * stroke, image or layer records the state it is drawn with. Coordinates are pixels of the
 * panel, y down; clips are given in those pixels whatever the transform.
 */
final class Scene {
    /** Image filters as the library numbers them; Java 2D has the first three. */
    static final int NEAREST = 0;
    static final int BILINEAR = 1;
    static final int BICUBIC = 2;

    /** The drawing state an item is drawn with. */
    record State(boolean antialias, ScenePaint paint, SceneStroke stroke,
            AffineTransform transform, boolean deviceStroke, boolean pixelCentres, Shape clip,
            boolean clipAntialias, int rule, float alpha, int filter) {
        static final State DEFAULT = new State(true, ScenePaint.colour(Palette.LIGHT),
                SceneStroke.HAIRLINE, new AffineTransform(), false, false, null, false, 3, 1f,
                NEAREST);
    }

    /** One thing the scene draws. */
    sealed interface Item permits Fill, Stroke, Image, Layer {
        State state();
    }

    record Fill(Shape shape, State state) implements Item {
    }

    record Stroke(Shape shape, State state) implements Item {
    }

    /**
     * An image placed by a matrix from its pixels to user space. The library draws {@code raster}
     * images straight from their raster arrays, the others after copying them into a render
     * target.
     */
    record Image(BufferedImage image, AffineTransform placement, boolean raster, State state)
            implements Item {
    }

    /** A scene drawn into a transparent w x h layer, which is then drawn at (x, y). */
    record Layer(int x, int y, int width, int height, Scene content, State state)
            implements Item {
    }

    final int background;
    private final List<Item> items = new ArrayList<>();
    private State state = State.DEFAULT;

    /** A scene over an opaque background colour, or a transparent one for 0. */
    Scene(int background) {
        this.background = background;
    }

    Scene() {
        this(Palette.PANEL);
    }

    List<Item> items() {
        return Collections.unmodifiableList(items);
    }

    private Scene with(State s) {
        state = s;
        return this;
    }

    Scene antialias(boolean on) {
        State s = state;
        return with(new State(on, s.paint, s.stroke, s.transform, s.deviceStroke, s.pixelCentres,
                s.clip, s.clipAntialias, s.rule, s.alpha, s.filter));
    }

    Scene paint(ScenePaint paint) {
        State s = state;
        return with(new State(s.antialias, paint, s.stroke, s.transform, s.deviceStroke,
                s.pixelCentres, s.clip, s.clipAntialias, s.rule, s.alpha, s.filter));
    }

    Scene colour(int argb) {
        return paint(ScenePaint.colour(argb));
    }

    Scene stroke(SceneStroke stroke) {
        State s = state;
        return with(new State(s.antialias, s.paint, stroke, s.transform, s.deviceStroke,
                s.pixelCentres, s.clip, s.clipAntialias, s.rule, s.alpha, s.filter));
    }

    Scene stroke(float width, int cap, int join) {
        return stroke(SceneStroke.solid(width, cap, join));
    }

    /** The transform from user space to panel pixels; null for none. */
    Scene transform(AffineTransform transform) {
        State s = state;
        AffineTransform t = transform == null ? new AffineTransform()
                : new AffineTransform(transform);
        return with(new State(s.antialias, s.paint, s.stroke, t, s.deviceStroke,
                s.pixelCentres, s.clip, s.clipAntialias, s.rule, s.alpha, s.filter));
    }

    /** Strokes widened in panel pixels rather than in user space. */
    Scene deviceStroke(boolean on) {
        State s = state;
        return with(new State(s.antialias, s.paint, s.stroke, s.transform, on, s.pixelCentres,
                s.clip, s.clipAntialias, s.rule, s.alpha, s.filter));
    }

    /** Strokes moved half a pixel right and down, so integer lines run along pixel centres. */
    Scene pixelCentres(boolean on) {
        State s = state;
        return with(new State(s.antialias, s.paint, s.stroke, s.transform, s.deviceStroke, on,
                s.clip, s.clipAntialias, s.rule, s.alpha, s.filter));
    }

    /** Clips to a shape in panel pixels, antialiased or not; null for no clip. */
    Scene clip(Shape clip, boolean antialias) {
        State s = state;
        return with(new State(s.antialias, s.paint, s.stroke, s.transform, s.deviceStroke,
                s.pixelCentres, clip, antialias, s.rule, s.alpha, s.filter));
    }

    Scene clipRect(double x1, double y1, double x2, double y2) {
        return clip(new Rectangle2D.Double(x1, y1, x2 - x1, y2 - y1), false);
    }

    Scene noClip() {
        return clip(null, false);
    }

    /** A composite rule (1..12 Porter-Duff as AlphaComposite numbers them, 13..26 blend modes). */
    Scene composite(int rule, float alpha) {
        State s = state;
        return with(new State(s.antialias, s.paint, s.stroke, s.transform, s.deviceStroke,
                s.pixelCentres, s.clip, s.clipAntialias, rule, alpha, s.filter));
    }

    Scene filter(int filter) {
        State s = state;
        return with(new State(s.antialias, s.paint, s.stroke, s.transform, s.deviceStroke,
                s.pixelCentres, s.clip, s.clipAntialias, s.rule, s.alpha, filter));
    }

    Scene fill(Shape shape) {
        items.add(new Fill(shape, state));
        return this;
    }

    Scene draw(Shape shape) {
        items.add(new Stroke(shape, state));
        return this;
    }

    /** Draws an image through a render target of the library. */
    Scene image(BufferedImage image, AffineTransform placement) {
        items.add(new Image(image, new AffineTransform(placement), false, state));
        return this;
    }

    /** Draws an image from its raster arrays, whatever their layout. */
    Scene raster(BufferedImage image, AffineTransform placement) {
        items.add(new Image(image, new AffineTransform(placement), true, state));
        return this;
    }

    Scene layer(int x, int y, int width, int height, Scene content) {
        items.add(new Layer(x, y, width, height, content, state));
        return this;
    }

    /** Light and dark grey squares over the rectangle, to show transparency against. */
    Scene checkerboard(int x, int y, int w, int h, int cell) {
        colour(0xFF8E949E).fill(new Rectangle2D.Double(x, y, w, h));
        colour(0xFF5C626E);
        for (int j = 0; j * cell < h; j++) {
            for (int i = j % 2; i * cell < w; i += 2) {
                fill(new Rectangle2D.Double(x + i * cell, y + j * cell,
                        Math.min(cell, w - i * cell), Math.min(cell, h - j * cell)));
            }
        }
        return this;
    }
}
