package com.quarn.lumo;

import java.awt.Font;
import java.awt.font.FontRenderContext;
import java.awt.font.GlyphVector;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * Glyph outlines at the origin, extracted once per font and glyph code and shared by every
 * graphics; the least recently used are dropped beyond a few thousand.
 */
final class GlyphCache {
    private static final int CAPACITY = 4096;
    private static final FontRenderContext PLAIN = new FontRenderContext(null, false, true);

    /** One glyph's outline in {@link PathBuffer}'s form. */
    static final class Outline {
        final byte[] types;
        final double[] coords;
        final boolean curves;

        Outline(byte[] types, double[] coords, boolean curves) {
            this.types = types;
            this.coords = coords;
            this.curves = curves;
        }
    }

    private record Key(Font font, int code) {
    }

    private static final Map<Key, Outline> OUTLINES =
            new LinkedHashMap<>(256, 0.75f, true) {
                @Override
                protected boolean removeEldestEntry(Map.Entry<Key, Outline> eldest) {
                    return size() > CAPACITY;
                }
            };

    private GlyphCache() {
    }

    /** The outline of glyph {@code code} of {@code font} with its origin at (0, 0). */
    static Outline outline(Font font, int code) {
        Key key = new Key(font, code);
        synchronized (OUTLINES) {
            Outline o = OUTLINES.get(key);
            if (o != null) {
                return o;
            }
        }
        GlyphVector one = font.createGlyphVector(PLAIN, new int[] {code});
        PathBuffer path = new PathBuffer().set(one.getGlyphOutline(0), null);
        Outline o = new Outline(path.typesCopy(), path.coordsCopy(), path.hasCurves());
        synchronized (OUTLINES) {
            OUTLINES.put(key, o);
        }
        return o;
    }
}
