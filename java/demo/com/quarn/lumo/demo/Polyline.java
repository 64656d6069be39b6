package com.quarn.lumo.demo;

import java.awt.Rectangle;
import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Path2D;
import java.awt.geom.PathIterator;
import java.awt.geom.Point2D;
import java.awt.geom.Rectangle2D;

/** An open run of straight lines through integer points, which the library draws as a polyline. */
final class Polyline implements Shape {
    final int[] x;
    final int[] y;
    private final Path2D.Double path = new Path2D.Double();

    Polyline(int[] x, int[] y) {
        this.x = x.clone();
        this.y = y.clone();
        for (int i = 0; i < x.length; i++) {
            if (i == 0) {
                path.moveTo(x[i], y[i]);
            } else {
                path.lineTo(x[i], y[i]);
            }
        }
    }

    @Override
    public Rectangle getBounds() {
        return path.getBounds();
    }

    @Override
    public Rectangle2D getBounds2D() {
        return path.getBounds2D();
    }

    @Override
    public boolean contains(double px, double py) {
        return path.contains(px, py);
    }

    @Override
    public boolean contains(Point2D p) {
        return path.contains(p);
    }

    @Override
    public boolean intersects(double px, double py, double w, double h) {
        return path.intersects(px, py, w, h);
    }

    @Override
    public boolean intersects(Rectangle2D r) {
        return path.intersects(r);
    }

    @Override
    public boolean contains(double px, double py, double w, double h) {
        return path.contains(px, py, w, h);
    }

    @Override
    public boolean contains(Rectangle2D r) {
        return path.contains(r);
    }

    @Override
    public PathIterator getPathIterator(AffineTransform at) {
        return path.getPathIterator(at);
    }

    @Override
    public PathIterator getPathIterator(AffineTransform at, double flatness) {
        return path.getPathIterator(at, flatness);
    }
}
