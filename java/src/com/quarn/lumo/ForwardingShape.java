package com.quarn.lumo;

import java.awt.Rectangle;
import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.PathIterator;
import java.awt.geom.Point2D;
import java.awt.geom.Rectangle2D;

/**
 * A shape that answers every question with another shape's answer, itself of no geometry
 * class: lumo knows it by its outline alone.
 */
class ForwardingShape implements Shape {
    private final Shape inner;

    ForwardingShape(Shape inner) {
        this.inner = inner;
    }

    @Override
    public Rectangle getBounds() {
        return inner.getBounds();
    }

    @Override
    public Rectangle2D getBounds2D() {
        return inner.getBounds2D();
    }

    @Override
    public boolean contains(double x, double y) {
        return inner.contains(x, y);
    }

    @Override
    public boolean contains(Point2D p) {
        return inner.contains(p);
    }

    @Override
    public boolean intersects(double x, double y, double w, double h) {
        return inner.intersects(x, y, w, h);
    }

    @Override
    public boolean intersects(Rectangle2D r) {
        return inner.intersects(r);
    }

    @Override
    public boolean contains(double x, double y, double w, double h) {
        return inner.contains(x, y, w, h);
    }

    @Override
    public boolean contains(Rectangle2D r) {
        return inner.contains(r);
    }

    @Override
    public PathIterator getPathIterator(AffineTransform at) {
        return inner.getPathIterator(at);
    }

    @Override
    public PathIterator getPathIterator(AffineTransform at, double flatness) {
        return inner.getPathIterator(at, flatness);
    }
}
