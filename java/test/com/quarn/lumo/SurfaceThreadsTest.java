package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.AlphaComposite;
import java.awt.BasicStroke;
import java.awt.Color;
import java.awt.Composite;
import java.awt.CompositeContext;
import java.awt.Font;
import java.awt.GradientPaint;
import java.awt.Graphics2D;
import java.awt.LinearGradientPaint;
import java.awt.MultipleGradientPaint;
import java.awt.Paint;
import java.awt.PaintContext;
import java.awt.RadialGradientPaint;
import java.awt.Rectangle;
import java.awt.RenderingHints;
import java.awt.Shape;
import java.awt.Stroke;
import java.awt.TexturePaint;
import java.awt.geom.AffineTransform;
import java.awt.geom.Arc2D;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.Path2D;
import java.awt.geom.PathIterator;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.awt.image.BufferedImage;
import java.awt.image.ColorModel;
import java.util.ArrayList;
import java.util.List;
import java.util.Random;
import java.util.concurrent.ConcurrentLinkedQueue;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.atomic.AtomicBoolean;
import org.junit.jupiter.api.Test;

/**
 * Several threads drawing into one surface at once, through graphics of their own and through
 * one they share, while others read, clear, dispose and finally close: nothing may fail or
 * corrupt memory. Threads that each draw only inside a clip region of their own must leave
 * exactly the picture the same drawings give one after the other. And a draw whose program
 * code (shape, stroke, paint, composite) waits for a lock of the program's must not keep
 * another thread from drawing into the same surface.
 */
class SurfaceThreadsTest {
    private static final int W = 256;
    private static final int H = 160;
    private static final int THREADS = 4;

    /** What the drawings share: read-only images, fonts and the program's own classes. */
    private static final BufferedImage IMAGE = randomImage(23, 17, 5);
    private static final BufferedImage TILE = randomImage(6, 5, 9);
    private static final Font[] FONTS = {new Font(Font.DIALOG, Font.PLAIN, 11),
        new Font(Font.SERIF, Font.BOLD, 17), new Font(Font.MONOSPACED, Font.ITALIC, 8)};

    /**
     * What the threads write, with glyphs the platform makes once, here: its font code reports
     * checked-JNI warnings of its own whenever it makes a glyph or an outline, and several
     * threads doing so at once mix the lines of those reports into what reads as warnings of
     * lumo's. So text is drawn in lumo's own paints and composites, whose glyphs lumo keeps.
     */
    private static final String[] TEXTS = {"Lumo 42", "threads", "Ag|"};

    static {
        try (LumoSurface scratch = new LumoSurface(64, 32)) {
            Graphics2D g = scratch.createGraphics();
            for (Object aa : new Object[] {RenderingHints.VALUE_ANTIALIAS_ON,
                RenderingHints.VALUE_ANTIALIAS_OFF}) {
                g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, aa);
                for (Paint p : new Paint[] {Color.RED,
                    new GradientPaint(0, 0, Color.RED, 9, 9, Color.BLUE)}) {
                    g.setPaint(p);
                    for (Font f : FONTS) {
                        g.setFont(f);
                        for (String text : TEXTS) {
                            g.drawString(text, 3, 20);
                        }
                    }
                }
            }
            g.dispose();
        }
    }

    private static BufferedImage randomImage(int w, int h, long seed) {
        BufferedImage image = new BufferedImage(w, h, BufferedImage.TYPE_INT_ARGB);
        Random r = new Random(seed);
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                image.setRGB(x, y, r.nextInt());
            }
        }
        return image;
    }

    /** A shape class of the program's own, which lumo only knows by its outline. */
    private static class OwnShape extends ForwardingShape {
        OwnShape(Shape inner) {
            super(inner);
        }
    }

    /** A paint of the program's own, drawn through its context. */
    private static final class OwnPaint implements Paint {
        private final GradientPaint inner;

        OwnPaint(GradientPaint inner) {
            this.inner = inner;
        }

        @Override
        public PaintContext createContext(ColorModel cm, Rectangle deviceBounds,
                Rectangle2D userBounds, AffineTransform xform, RenderingHints hints) {
            return inner.createContext(cm, deviceBounds, userBounds, xform, hints);
        }

        @Override
        public int getTransparency() {
            return inner.getTransparency();
        }
    }

    /** A composite of the program's own, drawn through the pixels. */
    private static final class OwnComposite implements Composite {
        private final AlphaComposite inner;

        OwnComposite(AlphaComposite inner) {
            this.inner = inner;
        }

        @Override
        public CompositeContext createContext(ColorModel src, ColorModel dst,
                RenderingHints hints) {
            return inner.createContext(src, dst, hints);
        }
    }

    private static Color colour(Random r) {
        return new Color(r.nextInt(), r.nextInt(3) != 0);
    }

    private static Paint paint(Random r, int w, int h) {
        switch (r.nextInt(7)) {
            case 0:
                return new GradientPaint(r.nextInt(w), r.nextInt(h), colour(r), r.nextInt(w),
                        r.nextInt(h), colour(r), r.nextBoolean());
            case 1:
                return new LinearGradientPaint(0, 0, 1 + r.nextInt(w), 1 + r.nextInt(h),
                        new float[] {0, 0.4f, 1}, new Color[] {colour(r), colour(r), colour(r)},
                        MultipleGradientPaint.CycleMethod.values()[r.nextInt(3)]);
            case 2:
                return new RadialGradientPaint(w / 2f, h / 2f, 5 + r.nextInt(w),
                        new float[] {0, 1}, new Color[] {colour(r), colour(r)});
            case 3:
                return new TexturePaint(r.nextBoolean() ? TILE : IMAGE,
                        new Rectangle2D.Double(r.nextInt(5), r.nextInt(5), 3 + r.nextInt(20),
                                3 + r.nextInt(20)));
            case 4:
                return new OwnPaint(new GradientPaint(0, 0, colour(r), w, h, colour(r)));
            default:
                return colour(r);
        }
    }

    private static Shape shape(Random r, int w, int h) {
        double x = r.nextInt(w) - 8;
        double y = r.nextInt(h) - 8;
        double sw = 1 + r.nextInt(w / 2) + (r.nextBoolean() ? 0.5 : 0);
        double sh = 1 + r.nextInt(h / 2) + (r.nextBoolean() ? 0.25 : 0);
        switch (r.nextInt(8)) {
            case 0:
                return new Rectangle(r.nextInt(w), r.nextInt(h), 1 + r.nextInt(w / 2),
                        1 + r.nextInt(h / 2));
            case 1:
                return new Ellipse2D.Double(x, y, sw, sh);
            case 2:
                return new RoundRectangle2D.Double(x, y, sw, sh, 6, 9);
            case 3:
                return new Arc2D.Double(x, y, sw, sh, r.nextInt(360), r.nextInt(360),
                        r.nextInt(3));
            case 4:
                return new Line2D.Double(x, y, r.nextBoolean() ? x : x + sw,
                        r.nextBoolean() ? y : y + sh);
            case 5:
                return new OwnShape(new Ellipse2D.Double(x, y, sw, sh));
            default:
                Path2D.Double p = new Path2D.Double(
                        r.nextBoolean() ? Path2D.WIND_NON_ZERO : Path2D.WIND_EVEN_ODD);
                p.moveTo(x, y);
                for (int i = 1 + r.nextInt(6); i > 0; i--) {
                    if (r.nextBoolean()) {
                        p.lineTo(r.nextInt(w), r.nextInt(h));
                    } else {
                        p.quadTo(r.nextInt(w), r.nextInt(h), r.nextInt(w), r.nextInt(h));
                    }
                }
                p.closePath();
                return p;
        }
    }

    private static Stroke stroke(Random r) {
        float width = r.nextInt(4) == 0 ? 0 : 0.5f + r.nextInt(6);
        if (r.nextInt(5) == 0) {
            BasicStroke inner = new BasicStroke(width + 1);
            return inner::createStrokedShape;
        }
        float[] dash = r.nextBoolean() ? null : new float[] {1 + r.nextInt(6), 1 + r.nextInt(4)};
        return new BasicStroke(width, r.nextInt(3), r.nextInt(3), 4, dash, r.nextInt(5));
    }

    private static Composite composite(Random r) {
        switch (r.nextInt(5)) {
            case 0:
                return AlphaComposite.getInstance(r.nextInt(12) + 1, r.nextFloat());
            case 1:
                return new OwnComposite(AlphaComposite.SrcOver.derive(0.6f));
            default:
                return AlphaComposite.SrcOver;
        }
    }

    /**
     * One random drawing or change of state through {@code g}, within the {@code w} x {@code h}
     * region at ({@code x0}, {@code y0}). Clips only shrink, so a graphics clipped to the region
     * never draws outside it; {@code copyArea} copies from within the region.
     */
    private static void step(Graphics2D g, Random r, int x0, int y0, int w, int h) {
        switch (r.nextInt(17)) {
            case 0 -> g.setPaint(paint(r, w, h));
            case 1 -> g.setStroke(stroke(r));
            case 2 -> {
                AffineTransform t = AffineTransform.getTranslateInstance(x0, y0);
                switch (r.nextInt(4)) {
                    case 0 -> t.rotate(r.nextDouble() - 0.5, w / 2.0, h / 2.0);
                    case 1 -> t.scale(0.5 + r.nextDouble(), 0.5 + r.nextDouble());
                    case 2 -> t.translate(r.nextInt(9) - 4 + 0.5, r.nextInt(5) - 2);
                    default -> { }
                }
                g.setTransform(t);
            }
            case 3 -> g.setComposite(composite(r));
            case 4 -> {
                if (r.nextInt(4) == 0) {
                    g.setXORMode(colour(r));
                } else {
                    g.setPaintMode();
                }
            }
            case 5 -> g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, r.nextBoolean()
                    ? RenderingHints.VALUE_ANTIALIAS_ON : RenderingHints.VALUE_ANTIALIAS_OFF);
            case 6 -> g.setRenderingHint(RenderingHints.KEY_INTERPOLATION, r.nextBoolean()
                    ? RenderingHints.VALUE_INTERPOLATION_BILINEAR
                    : RenderingHints.VALUE_INTERPOLATION_NEAREST_NEIGHBOR);
            case 7, 8 -> g.fill(shape(r, w, h));
            case 9, 10 -> g.draw(shape(r, w, h));
            case 11 -> {
                // Text keeps to the glyphs the platform made beforehand (see TEXTS).
                Graphics2D t = (Graphics2D) g.create();
                t.setTransform(AffineTransform.getTranslateInstance(x0, y0));
                t.setPaintMode();
                if (t.getPaint() instanceof OwnPaint) {
                    t.setColor(colour(r));
                }
                t.setFont(FONTS[r.nextInt(FONTS.length)]);
                t.drawString(TEXTS[r.nextInt(TEXTS.length)], r.nextInt(w) - 10, r.nextInt(h));
                t.dispose();
            }
            case 12 -> {
                if (r.nextBoolean()) {
                    g.drawImage(IMAGE, r.nextInt(w) - 5, r.nextInt(h) - 5, null);
                } else {
                    g.drawImage(IMAGE, r.nextInt(w) - 5, r.nextInt(h) - 5, 5 + r.nextInt(40),
                            5 + r.nextInt(40), r.nextBoolean() ? colour(r) : null, null);
                }
            }
            case 13 -> {
                // A copy of its own, so that no other thread shears its transform.
                Graphics2D copy = (Graphics2D) g.create();
                copy.setTransform(new AffineTransform());
                int cw = 1 + r.nextInt(w / 2);
                int ch = 1 + r.nextInt(h / 2);
                copy.copyArea(x0 + r.nextInt(w - cw + 1), y0 + r.nextInt(h - ch + 1), cw, ch,
                        r.nextInt(w) - w / 2, r.nextInt(h) - h / 2);
                copy.dispose();
            }
            case 14 -> {
                g.setBackground(colour(r));
                g.clearRect(r.nextInt(w), r.nextInt(h), r.nextInt(w / 2), r.nextInt(h / 2));
            }
            case 15 -> {
                g.drawLine(r.nextInt(w), r.nextInt(h), r.nextInt(w), r.nextInt(h));
                g.fillRect(r.nextInt(w), r.nextInt(h), r.nextInt(w / 3), r.nextInt(h / 3));
                g.drawRect(r.nextInt(w), r.nextInt(h), r.nextInt(w / 3), r.nextInt(h / 3));
            }
            default -> {
                Graphics2D child = (Graphics2D) g.create();
                child.clip(shape(r, w, h));
                child.setPaint(paint(r, w, h));
                child.fill(shape(r, w, h));
                child.dispose();
            }
        }
    }

    private static final int STEPS = 400;

    /** Thread {@code i}'s drawings, clipped to its own column of the surface. */
    private static void column(LumoSurface surface, int i) {
        int w = W / THREADS;
        Graphics2D g = surface.createGraphics();
        g.clipRect(i * w, 0, w, H);
        g.translate(i * w, 0);
        Random r = new Random(1000 + i);
        for (int s = 0; s < STEPS; s++) {
            step(g, r, i * w, 0, w, H);
        }
        g.dispose();
    }

    private static int[] pixels(LumoSurface surface) {
        BufferedImage image = surface.toImage();
        return image.getRGB(0, 0, W, H, null, 0, W);
    }

    /** Runs {@code body(i)} on {@code n} threads started together; returns what they threw. */
    private static List<Throwable> together(int n, java.util.function.IntConsumer body)
            throws InterruptedException {
        ConcurrentLinkedQueue<Throwable> failures = new ConcurrentLinkedQueue<>();
        CountDownLatch start = new CountDownLatch(1);
        List<Thread> threads = new ArrayList<>();
        for (int i = 0; i < n; i++) {
            int k = i;
            Thread t = new Thread(() -> {
                try {
                    start.await();
                    body.accept(k);
                } catch (Throwable e) {
                    failures.add(e);
                }
            });
            t.start();
            threads.add(t);
        }
        start.countDown();
        for (Thread t : threads) {
            t.join();
        }
        return new ArrayList<>(failures);
    }

    private static void assertNone(List<Throwable> failures) {
        if (!failures.isEmpty()) {
            AssertionError e = new AssertionError(failures.size() + " threads failed");
            failures.forEach(e::addSuppressed);
            throw e;
        }
    }

    @Test
    void columnsDrawnAtOnceMatchColumnsDrawnInTurn() throws InterruptedException {
        // Caches of shapes seen before change how a drawing is made; the first pass fills
        // them, so that the pass in turn and the pass at once find the same.
        try (LumoSurface warm = new LumoSurface(W, H)) {
            for (int i = 0; i < THREADS; i++) {
                column(warm, i);
            }
        }
        int[] expected;
        try (LumoSurface inTurn = new LumoSurface(W, H)) {
            for (int i = 0; i < THREADS; i++) {
                column(inTurn, i);
            }
            expected = pixels(inTurn);
        }
        for (int round = 0; round < 3; round++) {
            try (LumoSurface atOnce = new LumoSurface(W, H)) {
                // A reader takes pictures while the columns are drawn.
                AtomicBoolean drawing = new AtomicBoolean(true);
                Thread reader = new Thread(() -> {
                    while (drawing.get()) {
                        atOnce.toImage();
                    }
                });
                reader.start();
                List<Throwable> failures = together(THREADS, i -> column(atOnce, i));
                drawing.set(false);
                reader.join();
                assertNone(failures);
                assertArrayEquals(expected, pixels(atOnce), "round " + round);
            }
        }
    }

    /** A shape of the program's whose outline first runs {@code before}. */
    private static Shape calling(Runnable before, Shape inner) {
        return new OwnShape(inner) {
            @Override
            public PathIterator getPathIterator(AffineTransform at) {
                before.run();
                return super.getPathIterator(at);
            }
        };
    }

    /**
     * Draws through {@code g} something whose program code runs {@code before}: its shape, its
     * stroke, its paint's context or its composite's context.
     */
    private static void drawCalling(Graphics2D g, int kind, Runnable before) {
        Shape disc = new Ellipse2D.Double(5, 5, 30, 20);
        switch (kind) {
            case 0 -> g.fill(calling(before, disc));
            case 1 -> g.draw(calling(before, disc));
            case 2 -> {
                g.setStroke(s -> {
                    before.run();
                    return new BasicStroke(3).createStrokedShape(s);
                });
                g.draw(disc);
            }
            case 3 -> {
                GradientPaint inner = new GradientPaint(0, 0, Color.RED, 9, 9, Color.BLUE);
                g.setPaint(new Paint() {
                    @Override
                    public PaintContext createContext(ColorModel cm, Rectangle deviceBounds,
                            Rectangle2D userBounds, AffineTransform xform,
                            RenderingHints hints) {
                        before.run();
                        return inner.createContext(cm, deviceBounds, userBounds, xform, hints);
                    }

                    @Override
                    public int getTransparency() {
                        return inner.getTransparency();
                    }
                });
                g.fill(disc);
            }
            default -> {
                g.setComposite((Composite) (src, dst, hints) -> {
                    before.run();
                    return AlphaComposite.SrcOver.createContext(src, dst, hints);
                });
                g.fill(disc);
            }
        }
    }

    /**
     * While one thread is inside the program's code of a draw, waiting for a lock of the
     * program's, the thread holding that lock draws into the same surface: the surface's lock
     * must not be held around the program's code, or both wait for ever.
     */
    @Test
    void programCodeRunsOutsideTheSurfaceLock() throws InterruptedException {
        try (LumoSurface surface = new LumoSurface(64, 48)) {
            for (int kind = 0; kind < 5; kind++) {
                Object programLock = new Object();
                CountDownLatch inside = new CountDownLatch(1);
                Runnable before = () -> {
                    inside.countDown();
                    synchronized (programLock) {
                        programLock.notifyAll();
                    }
                };
                Graphics2D waiting = surface.createGraphics();
                Graphics2D holding = surface.createGraphics();
                int k = kind;
                Thread other = new Thread(() -> drawCalling(waiting, k, before));
                other.setDaemon(true);
                Thread drawer;
                synchronized (programLock) {
                    other.start();
                    assertTrue(inside.await(10, TimeUnit.SECONDS), "kind " + kind);
                    // The other thread now waits for programLock inside its draw.
                    drawer = new Thread(() -> holding.fillRect(0, 0, 40, 30));
                    drawer.setDaemon(true);
                    drawer.start();
                    drawer.join(10_000);
                    assertFalse(drawer.isAlive(), "draw blocked by the program's code, kind "
                            + kind);
                }
                other.join(10_000);
                assertFalse(other.isAlive(), "kind " + kind);
                waiting.dispose();
                holding.dispose();
            }
        }
    }

    @Test
    void sharedGraphicsClearsReadsDisposesAndCloseRaceWithoutHarm() throws InterruptedException {
        LumoSurface surface = new LumoSurface(W, H);
        Graphics2D[] shared = {surface.createGraphics()};
        AtomicBoolean closing = new AtomicBoolean();
        long end = System.nanoTime() + 2_000_000_000L;
        List<Throwable> failures = together(THREADS + 2, i -> {
            Random r = new Random(i);
            Graphics2D own = surface.createGraphics();
            int steps = 0;
            while (System.nanoTime() < end) {
                if (i == THREADS) {
                    // The reader, clearer and disposer of the shared graphics.
                    switch (r.nextInt(4)) {
                        case 0 -> surface.clear(r.nextInt());
                        case 1 -> assertEquals(W, surface.toImage().getWidth());
                        case 2 -> {
                            Graphics2D old = shared[0];
                            shared[0] = surface.createGraphics();
                            old.dispose();
                        }
                        default -> Thread.yield();
                    }
                    continue;
                }
                if (i == THREADS + 1) {
                    // Closes the surface halfway, then keeps drawing into it.
                    if (!closing.get() && System.nanoTime() > end - 1_000_000_000L) {
                        closing.set(true);
                        surface.close();
                    }
                    step(own, r, 0, 0, W, H);
                    continue;
                }
                Graphics2D g = r.nextBoolean() ? own : shared[0];
                if (r.nextInt(50) == 0) {
                    g.setClip(r.nextInt(W), r.nextInt(H), r.nextInt(W), r.nextInt(H));
                } else if (r.nextInt(50) == 0) {
                    g.setClip(null);
                }
                step(g, r, 0, 0, W, H);
                steps++;
            }
            own.dispose();
            assertTrue(i >= THREADS || steps > 0);
        });
        assertNone(failures);
        assertTrue(closing.get());
        // A closed surface reads as nothing and draws nothing; so do new graphics of it.
        Graphics2D late = surface.createGraphics();
        late.fill(new Rectangle(0, 0, W, H));
        late.drawString("late", 10, 10);
        late.dispose();
        surface.close();
        assertEquals(0, pixels(surface)[W * H / 2]);
    }
}
