package com.quarn.lumo;

import java.awt.Color;
import java.awt.LinearGradientPaint;
import java.awt.MultipleGradientPaint;
import java.awt.Paint;
import java.awt.RadialGradientPaint;
import java.awt.geom.AffineTransform;
import java.awt.geom.Point2D;
import java.lang.reflect.Method;
import java.util.Map;
import java.util.concurrent.ConcurrentHashMap;

/**
 * Gradient paints of other libraries that copy Java 2D's gradient API (Apache Batik's
 * {@code org.apache.batik.ext.awt.LinearGradientPaint} and {@code RadialGradientPaint}), turned
 * into Java 2D's own, which lumo draws itself. Found by their methods, so that no library is
 * needed to build lumo; any other paint, or one whose methods fail, stays a generic paint.
 */
final class ForeignGradients {
    private static final Map<String, Boolean> KNOWN = Map.of(
            "org.apache.batik.ext.awt.LinearGradientPaint", true,
            "org.apache.batik.ext.awt.RadialGradientPaint", false);
    private static final Map<Class<?>, Methods> METHODS = new ConcurrentHashMap<>();

    private ForeignGradients() {
    }

    /** The reflective accessors of one gradient class. */
    private record Methods(boolean linear, Method fractions, Method colors, Method cycle,
            Method colorSpace, Method transform, Method first, Method second, Method radius) {
    }

    /** Java 2D's equivalent of {@code paint}, or null when there is none. */
    static MultipleGradientPaint toJava2D(Paint paint) {
        Boolean linear = KNOWN.get(paint.getClass().getName());
        if (linear == null) {
            return null;
        }
        try {
            Methods m = METHODS.computeIfAbsent(paint.getClass(), c -> methods(c, linear));
            if (!"SRGB".equals(name(m.colorSpace().invoke(paint)))) {
                return null;
            }
            float[] fractions = (float[]) m.fractions().invoke(paint);
            Color[] colors = (Color[]) m.colors().invoke(paint);
            MultipleGradientPaint.CycleMethod cycle = cycle(name(m.cycle().invoke(paint)));
            AffineTransform t = (AffineTransform) m.transform().invoke(paint);
            Point2D a = (Point2D) m.first().invoke(paint);
            Point2D b = (Point2D) m.second().invoke(paint);
            if (m.linear()) {
                return new LinearGradientPaint(a, b, fractions, colors, cycle,
                        MultipleGradientPaint.ColorSpaceType.SRGB, t);
            }
            float radius = ((Number) m.radius().invoke(paint)).floatValue();
            return new RadialGradientPaint(a, radius, b, fractions, colors, cycle,
                    MultipleGradientPaint.ColorSpaceType.SRGB, t);
        } catch (ReflectiveOperationException | RuntimeException e) {
            return null;
        }
    }

    private static Methods methods(Class<?> c, boolean linear) {
        try {
            return new Methods(linear, c.getMethod("getFractions"), c.getMethod("getColors"),
                    c.getMethod("getCycleMethod"), c.getMethod("getColorSpace"),
                    c.getMethod("getTransform"),
                    c.getMethod(linear ? "getStartPoint" : "getCenterPoint"),
                    c.getMethod(linear ? "getEndPoint" : "getFocusPoint"),
                    linear ? null : c.getMethod("getRadius"));
        } catch (NoSuchMethodException e) {
            throw new IllegalStateException(e);
        }
    }

    /** The name of one of the library's enumeration constants, found among its static fields. */
    private static String name(Object constant) throws IllegalAccessException {
        for (java.lang.reflect.Field f : constant.getClass().getEnclosingClass() != null
                ? constant.getClass().getEnclosingClass().getFields()
                : constant.getClass().getFields()) {
            if (java.lang.reflect.Modifier.isStatic(f.getModifiers()) && f.get(null) == constant) {
                return f.getName();
            }
        }
        return String.valueOf(constant);
    }

    private static MultipleGradientPaint.CycleMethod cycle(String name) {
        switch (name) {
            case "REFLECT":
                return MultipleGradientPaint.CycleMethod.REFLECT;
            case "REPEAT":
                return MultipleGradientPaint.CycleMethod.REPEAT;
            default:
                return MultipleGradientPaint.CycleMethod.NO_CYCLE;
        }
    }
}
