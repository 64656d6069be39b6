package com.quarn.lumo.demo;

import java.awt.BasicStroke;

/**
 * How a scene strokes outlines: width, cap, join and miter limit, and an optional dash pattern
 * with its phase. Caps and joins use the numbers both renderers share (butt 0, round 1,
 * square 2; miter 0, round 1, bevel 2).
 */
record SceneStroke(float width, int cap, int join, float miterLimit, float[] dash, float phase) {
    static final int BUTT = 0;
    static final int ROUND = 1;
    static final int SQUARE = 2;
    static final int MITER = 0;
    static final int ROUND_JOIN = 1;
    static final int BEVEL = 2;

    static final SceneStroke HAIRLINE = solid(1f, BUTT, MITER);

    static SceneStroke solid(float width, int cap, int join) {
        return new SceneStroke(width, cap, join, 10f, null, 0f);
    }

    /** A dashed stroke with mitred joins. */
    static SceneStroke dashed(float width, int cap, float[] dash, float phase) {
        return new SceneStroke(width, cap, MITER, 10f, dash, phase);
    }

    SceneStroke miter(float limit) {
        return new SceneStroke(width, cap, join, limit, dash, phase);
    }

    BasicStroke java2d() {
        return new BasicStroke(width, cap, join, Math.max(1f, miterLimit), dash, phase);
    }
}
