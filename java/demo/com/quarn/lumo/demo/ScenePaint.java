package com.quarn.lumo.demo;

import java.awt.geom.AffineTransform;
import java.awt.image.BufferedImage;

/**
 * What a scene fills and strokes with: a colour, a gradient or a texture. Gradients and
 * textures live in user space, placed there by their own matrix (none when null).
 */
final class ScenePaint {
    enum Kind { COLOUR, GRADIENT, TEXTURE }

    // Gradient kinds and cycles as the library numbers them.
    static final int RADIAL = 1;
    static final int LINEAR = 2;
    static final int DIAMOND = 3;
    static final int CONIC = 4;
    static final int XY = 5;
    static final int SQRT_XY = 6;

    static final int PAD = 0;
    static final int REPEAT = 1;
    static final int REFLECT = 2;

    final Kind kind;
    final int argb;
    /** Gradient kind, or the texture's filter. */
    final int type;
    /** Gradient cycle, or the texture's wrap across. */
    final int cycle;
    /** The texture's wrap down. */
    final int cycleY;
    /** x1, y1, x2, y2, fx, fy: axis, centre and radius, or centre and direction; focus. */
    final double[] points;
    final int[] positions;
    final int[] colours;
    final AffineTransform matrix;
    final BufferedImage tile;

    private ScenePaint(Kind kind, int argb, int type, int cycle, int cycleY, double[] points,
            int[] positions, int[] colours, AffineTransform matrix, BufferedImage tile) {
        this.kind = kind;
        this.argb = argb;
        this.type = type;
        this.cycle = cycle;
        this.cycleY = cycleY;
        this.points = points;
        this.positions = positions;
        this.colours = colours;
        this.matrix = matrix == null ? null : new AffineTransform(matrix);
        this.tile = tile;
    }

    static ScenePaint colour(int argb) {
        return new ScenePaint(Kind.COLOUR, argb, 0, 0, 0, null, null, null, null, null);
    }

    /**
     * A gradient whose colour table runs from (x1, y1) to (x2, y2). {@code stops} alternate
     * positions (0..255) and 0xAARRGGBB colours.
     */
    static ScenePaint gradient(int kind, int cycle, double x1, double y1, double x2, double y2,
            int... stops) {
        return gradient(kind, cycle, new double[] {x1, y1, x2, y2, x1, y1}, null, stops);
    }

    /** A gradient from {x1, y1, x2, y2, fx, fy}, mapped by {@code matrix} (none when null). */
    static ScenePaint gradient(int kind, int cycle, double[] points, AffineTransform matrix,
            int... stops) {
        int[] positions = new int[stops.length / 2];
        int[] colours = new int[stops.length / 2];
        for (int i = 0; i < positions.length; i++) {
            positions[i] = stops[2 * i];
            colours[i] = stops[2 * i + 1];
        }
        return new ScenePaint(Kind.GRADIENT, 0, kind, cycle, 0, points.clone(), positions,
                colours, matrix, null);
    }

    /** A texture of a TYPE_INT_ARGB tile, wrapped across and down by PAD, REPEAT or REFLECT. */
    static ScenePaint texture(BufferedImage tile, AffineTransform matrix, int wrapX, int wrapY,
            int filter) {
        return new ScenePaint(Kind.TEXTURE, 0, filter, wrapX, wrapY, null, null, null, matrix,
                tile);
    }
}
