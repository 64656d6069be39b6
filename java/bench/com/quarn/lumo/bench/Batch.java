package com.quarn.lumo.bench;

import java.awt.Graphics2D;
import java.awt.Rectangle;

/**
 * The operations of one timed batch, generated in full before any timing, drawn by either
 * engine. Preparing sets what all operations share (stroke, filter hint); drawing an operation
 * sets its paint and draws its shape or image.
 */
interface Batch {
    String scene();

    String style();

    int size();

    int operations();

    void prepareLumo(int graphics);

    /** Draws operations [from, to) with the library. */
    void drawLumo(int graphics, int from, int to);

    void prepareJava2D(Graphics2D g);

    /** Draws operations [from, to) with Java 2D. */
    void drawJava2D(Graphics2D g, int from, int to);

    /** The device pixels operation {@code index} may touch, before clipping to the canvas. */
    Rectangle bounds(int index);
}
