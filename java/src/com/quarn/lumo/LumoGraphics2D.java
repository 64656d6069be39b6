package com.quarn.lumo;

import com.quarn.lumo.internal.LUMO;
import java.awt.AlphaComposite;
import java.awt.BasicStroke;
import java.awt.Color;
import java.awt.Composite;
import java.awt.Font;
import java.awt.FontMetrics;
import java.awt.Graphics;
import java.awt.Graphics2D;
import java.awt.GraphicsConfiguration;
import java.awt.Image;
import java.awt.MultipleGradientPaint;
import java.awt.Paint;
import java.awt.Polygon;
import java.awt.Rectangle;
import java.awt.RenderingHints;
import java.awt.Shape;
import java.awt.Stroke;
import java.awt.font.FontRenderContext;
import java.awt.font.GlyphVector;
import java.awt.font.TextLayout;
import java.awt.geom.AffineTransform;
import java.awt.geom.Arc2D;
import java.awt.geom.Area;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.NoninvertibleTransformException;
import java.awt.geom.Path2D;
import java.awt.geom.Point2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.awt.image.BufferedImage;
import java.awt.image.BufferedImageOp;
import java.awt.image.ImageObserver;
import java.awt.image.RenderedImage;
import java.awt.image.renderable.RenderContext;
import java.awt.image.renderable.RenderableImage;
import java.lang.ref.Cleaner;
import java.lang.ref.Reference;
import java.text.AttributedCharacterIterator;
import java.util.Arrays;
import java.util.Map;
import java.util.Objects;

/**
 * A {@link Graphics2D} that draws into a {@link LumoSurface} through lumo. It behaves as the
 * graphics of a {@code TYPE_INT_ARGB_PRE} image does: the same state, defaults, exceptions and,
 * within antialiasing differences, the same pixels.
 *
 * <p>The Java object keeps the whole state and passes a part to the native drawing object only
 * when a draw needs it and it has changed since it was last passed. Colours, gradients,
 * textures, {@link BasicStroke} and the twelve {@link AlphaComposite} rules are lumo's own;
 * other paints draw through their {@link java.awt.PaintContext}, other strokes through their
 * outline, other composites and XOR mode through the pixels they read and write.
 *
 * <p>Whatever reaches native memory (the state a draw sends and the draw, {@code create()},
 * {@code dispose()}, the clears and reads the draws make) runs under the surface's lock
 * ({@link LumoSurface#lock()}), so graphics of one surface may draw from several threads. The
 * program's own code (shapes, strokes, paint and composite contexts, image observers and
 * producers, glyph vectors) is called before or between those locked parts, never in them, so
 * a lock of the program's can never wait on the surface's lock held by another thread. The
 * reused arrays (outline buffers, matrices) are touched only under the lock.
 */
public final class LumoGraphics2D extends Graphics2D {
    private static final int HINT_ANTIALIAS = 1;
    private static final int HINT_CLIP_ANTIALIAS = 4;
    private static final int HINT_DEVICE_STROKE = 8;
    private static final int HINT_STROKE_OFFSET = 0x600;
    private static final int HINT_IMAGE_FILTER = 0xF800;
    private static final int FILTER_NEAREST = 0;
    private static final int FILTER_BILINEAR = 1;
    private static final int FILTER_BICUBIC = 2;

    private static final int DIRTY_TRANSFORM = 1;
    private static final int DIRTY_CLIP = 2;
    private static final int DIRTY_PAINT = 4;
    private static final int DIRTY_STROKE = 8;
    private static final int DIRTY_COMPOSITE = 16;
    private static final int DIRTY_ALL = 31;

    /** What a draw sends: an outline filled, one stroked, text or an image. */
    private enum Use { FILL, STROKE, STROKE_SHORTCUT, TEXT, IMAGE }

    private static final Font DEFAULT_FONT = new Font(Font.DIALOG, Font.PLAIN, 12);
    private static final byte[] MOVE = {0};
    private static final double[] ORIGIN = {0, 0};
    private static final double[] IDENTITY = {1, 0, 0, 1, 0, 0};

    private final LumoSurface surface;
    /** The surface's lock, which every native call of this graphics holds. */
    private final Object lock;
    private final Native handle;
    private final Cleaner.Cleanable cleanable;
    private final PathBuffer path = new PathBuffer();
    /** The clip's outline, apart from {@link #path}, which may hold a shape while it goes. */
    private final PathBuffer clipPath = new PathBuffer();
    private final double[] matrix = new double[6];
    /** Where {@link #fillPath} puts a shape's image. */
    private final int[] shapePlace = new int[2];
    private final ShapeImages.Scratch shapeScratch = new ShapeImages.Scratch();
    /** A device-space image placement: a whole-pixel translation. */
    private final double[] placement = {1, 0, 0, 1, 0, 0};

    private AffineTransform transform = new AffineTransform();
    /** The clip in device pixels, null when none. */
    private Shape clip;
    private Paint paint = Color.WHITE;
    /** What draws for {@link #paint}: itself, or Java 2D's equal of a foreign gradient. */
    private Paint drawnPaint = Color.WHITE;
    private Color foreground = Color.WHITE;
    private Color background = Color.BLACK;
    private Stroke stroke = new BasicStroke();
    private Composite composite = AlphaComposite.SrcOver;
    private Color xorColor;
    private Font font = DEFAULT_FONT;
    /**
     * The hints, shared with the graphics this one was made from or made (and with every new
     * graphics while they are the defaults) until one of them changes its own:
     * {@link #changeableHints} copies them first. Batik makes a graphics for every node it
     * paints, and copying a map of hints for each took more than the drawing of small nodes.
     */
    private RenderingHints hints = Java2DState.sharedDefaultHints();
    private boolean hintsShared = true;

    private int dirty = DIRTY_ALL;
    /** Native hint values last sent, -1 for not sent. */
    private int sentAntialias = -1;
    private int sentOffset = -1;
    private int sentFilter = -1;
    private int sentDeviceStroke = -1;
    private boolean nativeEvenOdd;
    /**
     * The native transform as last sent; a draw sends the user transform only when it differs
     * (a client sets the same transform back after each node it paints).
     */
    private final double[] sentMatrix = {1, 0, 0, 1, 0, 0};
    /** The native composite last sent. */
    private int sentRule = -1;
    private float sentAlpha = -1;
    /** The native stroke width last sent. */
    private float sentWidth = -1;
    /** Whether the paint last sent is a texture, whose filter follows the hints. */
    private boolean textured;
    /** The texture filter the paint was last sent for. */
    private int sentTextureFilter = -1;

    /**
     * The native drawing object, deleted by {@link #dispose()} or the cleaner under the
     * surface's lock: never while another thread draws through it.
     */
    private static final class Native implements Runnable {
        private final Object lock;
        volatile int g;

        Native(int g, Object lock) {
            this.g = g;
            this.lock = lock;
        }

        @Override
        public void run() {
            synchronized (lock) {
                int h = g;
                g = 0;
                LUMO.deleteGraphics(h);
            }
        }
    }

    LumoGraphics2D(LumoSurface surface) {
        this(surface, 0);
        synchronized (lock) {
            createNative();
        }
    }

    private LumoGraphics2D(LumoSurface surface, int g) {
        this.surface = surface;
        lock = surface.lock();
        handle = new Native(g, lock);
        cleanable = LumoSurface.CLEANER.register(this, handle);
    }

    /**
     * A copy of {@code from}. Its native object is a copy of the parent's, so that the state the
     * parent already sent (a client creates a graphics for every clipped group it paints) is
     * not sent again; a new one when the parent has none left.
     */
    private LumoGraphics2D(LumoGraphics2D from) {
        this(from.surface, 0);
        synchronized (lock) {
            int parent = from.handle.g;
            int copy = parent != 0 && !surface.isClosed() ? LUMO.cloneGraphics(parent) : 0;
            if (copy != 0) {
                handle.g = copy;
                takeSentState(from);
            } else {
                createNative();
            }
            from.hintsShared = true;
        }
        transform = new AffineTransform(from.transform);
        clip = from.clip;
        paint = from.paint;
        drawnPaint = from.drawnPaint;
        foreground = from.foreground;
        background = from.background;
        stroke = from.stroke;
        composite = from.composite;
        xorColor = from.xorColor;
        font = from.font;
        hints = from.hints;
        hintsShared = true;
    }

    /** Makes a new native drawing object in lumo's initial state. */
    private void createNative() {
        handle.g = LUMO.createGraphics(surface.target());
        if (handle.g != 0) {
            LUMO.setHint(handle.g, HINT_CLIP_ANTIALIAS, 1);
        }
    }

    /** Takes what {@code from} knows of its native state, which this one's now copies. */
    private void takeSentState(LumoGraphics2D from) {
        dirty = from.dirty;
        sentAntialias = from.sentAntialias;
        sentOffset = from.sentOffset;
        sentFilter = from.sentFilter;
        sentDeviceStroke = from.sentDeviceStroke;
        nativeEvenOdd = from.nativeEvenOdd;
        System.arraycopy(from.sentMatrix, 0, sentMatrix, 0, sentMatrix.length);
        sentRule = from.sentRule;
        sentAlpha = from.sentAlpha;
        sentWidth = from.sentWidth;
        textured = from.textured;
        sentTextureFilter = from.sentTextureFilter;
    }

    /** The surface this draws into. */
    public LumoSurface getSurface() {
        return surface;
    }

    // State sent to the native drawing object.

    /** The native handle ready for a draw of kind {@code use}, or 0 when nothing can be drawn. */
    private int ready(Use use) {
        return ready(use, false);
    }

    /**
     * The native handle ready for a draw of kind {@code use}, in device pixels when
     * {@code device} (the native transform is then the identity; only for solid colours), or 0
     * when nothing can be drawn.
     */
    private int ready(Use use, boolean device) {
        assert Thread.holdsLock(lock);
        int g = handle.g;
        if (g == 0 || surface.isClosed()) {
            return 0;
        }
        surface.settle();
        if (device) {
            sendIdentity(g);
            // The user transform goes again with the next draw in user space.
            dirty |= DIRTY_TRANSFORM;
        } else if ((dirty & DIRTY_TRANSFORM) != 0) {
            // A transform lumo already has (an identity between images drawn in device
            // space, a node's transform set back) is not sent again.
            transform.getMatrix(matrix);
            if (!Arrays.equals(matrix, sentMatrix)) {
                LUMO.setTransform(g, matrix);
                System.arraycopy(matrix, 0, sentMatrix, 0, sentMatrix.length);
            }
            if (Paints.followsTransform(drawnPaint)) {
                dirty |= DIRTY_PAINT;
            }
        }
        if ((dirty & DIRTY_CLIP) != 0) {
            sendClip(g);
        }
        if (textured && textureFilter() != sentTextureFilter) {
            dirty |= DIRTY_PAINT;
        }
        if ((dirty & DIRTY_PAINT) != 0) {
            sentTextureFilter = textureFilter();
            sendPaint(g);
        }
        boolean aa = use == Use.TEXT ? textAntialias() : antialias();
        // Each field is read once: another thread may change the state of a shared graphics.
        if ((use == Use.STROKE || use == Use.STROKE_SHORTCUT) && stroke instanceof BasicStroke b) {
            sendStroke(g, b, !aa && drawnPaint instanceof Color);
        }
        if (composite instanceof AlphaComposite a) {
            sendComposite(g, a);
        }
        dirty &= device ? DIRTY_STROKE | DIRTY_TRANSFORM : DIRTY_STROKE;
        hint(g, HINT_ANTIALIAS, aa ? 1 : 0);
        if (use == Use.STROKE || use == Use.STROKE_SHORTCUT) {
            hint(g, HINT_STROKE_OFFSET, use == Use.STROKE_SHORTCUT && normalized() ? 3 : 0);
            boolean thin = stroke instanceof BasicStroke b && b.getLineWidth() == 0;
            hint(g, HINT_DEVICE_STROKE, thin ? 1 : 0);
        }
        if (use == Use.IMAGE) {
            hint(g, HINT_IMAGE_FILTER, imageFilter());
        } else if (textured) {
            hint(g, HINT_IMAGE_FILTER, sentTextureFilter);
        }
        return g;
    }

    /** Makes the native transform the identity (device pixels) unless it is. */
    private void sendIdentity(int g) {
        if (!Arrays.equals(IDENTITY, sentMatrix)) {
            LUMO.setTransform(g, null);
            System.arraycopy(IDENTITY, 0, sentMatrix, 0, sentMatrix.length);
        }
    }

    /**
     * Sends the stroke when it or its width changed. Aliased solid drawing paints every pixel
     * an outline touches, which widens it by about a device pixel against Java 2D's
     * pixel-centre rule, so aliased strokes are sent a device pixel narrower (a hairline at
     * least); zero-width strokes are one device pixel wide.
     */
    private void sendStroke(int g, BasicStroke s, boolean aliased) {
        float width = s.getLineWidth();
        boolean device = width == 0;
        if (device) {
            width = 1f;
        }
        if (aliased) {
            double scale = device ? 1 : Math.sqrt(Math.abs(transform.getDeterminant()));
            if (scale > 0 && Double.isFinite(scale)) {
                width = (float) Math.max(width - 1 / scale, 0.01 / scale);
            }
        }
        if ((dirty & DIRTY_STROKE) == 0 && width == sentWidth) {
            return;
        }
        LUMO.setStroke(g, width, s.getEndCap(), s.getLineJoin(), s.getMiterLimit(),
                s.getDashArray(), s.getDashPhase());
        sentWidth = width;
        dirty &= ~DIRTY_STROKE;
    }

    /**
     * Sends the composite when its rule or alpha changed. An opaque colour with the source
     * rule gives the same pixels as with source-over at any coverage, and lumo blends
     * source-over on its fast path, so that is what it is sent as (clearRect, for one).
     */
    private void sendComposite(int g, AlphaComposite a) {
        int rule = a.getRule();
        float alpha = a.getAlpha();
        if (rule == AlphaComposite.SRC && alpha == 1f && drawnPaint instanceof Color c
                && c.getAlpha() == 255) {
            rule = AlphaComposite.SRC_OVER;
        }
        if ((dirty & DIRTY_COMPOSITE) == 0 && rule == sentRule && alpha == sentAlpha) {
            return;
        }
        LUMO.setComposite(g, rule, alpha);
        sentRule = rule;
        sentAlpha = alpha;
    }

    private void hint(int g, int key, int value) {
        int sent = key == HINT_ANTIALIAS ? sentAntialias : key == HINT_STROKE_OFFSET ? sentOffset
                : key == HINT_IMAGE_FILTER ? sentFilter : sentDeviceStroke;
        if (sent == value) {
            return;
        }
        LUMO.setHint(g, key, value);
        if (key == HINT_ANTIALIAS) {
            sentAntialias = value;
        } else if (key == HINT_STROKE_OFFSET) {
            sentOffset = value;
        } else if (key == HINT_IMAGE_FILTER) {
            sentFilter = value;
        } else {
            sentDeviceStroke = value;
        }
    }

    private boolean antialias() {
        return hints.get(RenderingHints.KEY_ANTIALIASING) == RenderingHints.VALUE_ANTIALIAS_ON;
    }

    /** Text follows the antialiasing hint unless its own hint says otherwise. */
    private boolean textAntialias() {
        Object text = hints.get(RenderingHints.KEY_TEXT_ANTIALIASING);
        if (text == null || text == RenderingHints.VALUE_TEXT_ANTIALIAS_DEFAULT) {
            return antialias();
        }
        return text != RenderingHints.VALUE_TEXT_ANTIALIAS_OFF;
    }

    /**
     * Normalised strokes (Java 2D's default) put their points on pixel centres; pure strokes
     * stay where the geometry says.
     */
    private boolean normalized() {
        return hints.get(RenderingHints.KEY_STROKE_CONTROL) != RenderingHints.VALUE_STROKE_PURE;
    }

    /**
     * Whether whole-pixel user coordinates stay whole pixels in device space, so that a stroke
     * shortcut normalises with lumo's half-pixel stroke offset.
     */
    private boolean wholePixelTransform() {
        int type = transform.getType();
        return (type & ~AffineTransform.TYPE_TRANSLATION) == 0
                && isInt(transform.getTranslateX()) && isInt(transform.getTranslateY());
    }

    private int imageFilter() {
        Object v = hints.get(RenderingHints.KEY_INTERPOLATION);
        if (v == RenderingHints.VALUE_INTERPOLATION_BICUBIC) {
            return FILTER_BICUBIC;
        }
        if (v == RenderingHints.VALUE_INTERPOLATION_BILINEAR) {
            return FILTER_BILINEAR;
        }
        if (v == null
                && hints.get(RenderingHints.KEY_RENDERING) == RenderingHints.VALUE_RENDER_QUALITY) {
            return FILTER_BILINEAR;
        }
        return FILTER_NEAREST;
    }

    private void sendClip(int g) {
        Shape c = clip;
        if (c == null) {
            LUMO.setClip(g, 0, null, null, true);
        } else if (c instanceof Rectangle2D r) {
            // Java 2D clips rectangles to whole pixels, rounding half down.
            LUMO.setClip(g, 4, null, new double[] {round(r.getMinX()), round(r.getMinY()),
                round(r.getMaxX()), round(r.getMaxY())}, true);
        } else {
            clipPath.set(c, null).clip(g);
        }
    }

    private static double round(double v) {
        return Math.ceil(v - 0.5);
    }

    private void sendPaint(int g) {
        textured = false;
        Paint p = drawnPaint;
        if (p instanceof Color c) {
            LUMO.setPaint(g, c.getRGB());
        } else {
            textured = Paints.send(g, p, transform, sentTextureFilter == FILTER_NEAREST);
        }
    }

    /** The filter of a texture paint: bilinear where Java 2D would interpolate. */
    private int textureFilter() {
        Object v = hints.get(RenderingHints.KEY_INTERPOLATION);
        boolean filter = v == null
                ? hints.get(RenderingHints.KEY_RENDERING) == RenderingHints.VALUE_RENDER_QUALITY
                : v != RenderingHints.VALUE_INTERPOLATION_NEAREST_NEIGHBOR;
        return filter ? FILTER_BILINEAR : FILTER_NEAREST;
    }

    /** Sets the filling rule lumo keeps between draws. */
    private void rule(int g, boolean evenOdd) {
        if (nativeEvenOdd != evenOdd) {
            LUMO.drawPath(g, 1, MOVE, ORIGIN, !evenOdd, 0x40);
            nativeEvenOdd = evenOdd;
        }
    }

    /** Whether the composite is lumo's source-over rule at any alpha. */
    private boolean sourceOver() {
        return composite instanceof AlphaComposite a && a.getRule() == AlphaComposite.SRC_OVER;
    }

    /** Whether drawing must take the slow path through the pixels. */
    private boolean generic() {
        return xorColor != null || !(composite instanceof AlphaComposite)
                || !Paints.isNative(drawnPaint);
    }

    // Shapes.

    @Override
    public void fill(Shape s) {
        Objects.requireNonNull(s, "shape");
        if (generic()) {
            fillGeneric(transform.createTransformedShape(s), antialias());
            return;
        }
        Shape own = ProgramShapes.detached(s);
        synchronized (lock) {
            fillLocked(own);
        }
    }

    /** {@link #fill} in lumo's own state, under the lock. */
    private void fillLocked(Shape s) {
        if (s instanceof Path2D) {
            fillPath(s);
            return;
        }
        if (s instanceof Rectangle2D) {
            Rectangle2D r = (Rectangle2D) s;
            if (fillsSurface(r.getX(), r.getY(), r.getWidth(), r.getHeight())) {
                return;
            }
        }
        int g = ready(Use.FILL);
        if (g == 0) {
            return;
        }
        if (s instanceof Rectangle2D) {
            Rectangle2D r = (Rectangle2D) s;
            if (whole(r.getX(), r.getY(), r.getWidth(), r.getHeight())) {
                LUMO.fillRect(g, (int) r.getX(), (int) r.getY(), (int) r.getWidth(),
                        (int) r.getHeight());
                return;
            }
        } else if (s instanceof Ellipse2D) {
            Ellipse2D e = (Ellipse2D) s;
            if (whole(e.getX(), e.getY(), e.getWidth(), e.getHeight())) {
                LUMO.fillOval(g, (int) e.getX(), (int) e.getY(), (int) e.getWidth(),
                        (int) e.getHeight());
                return;
            }
        }
        path.set(s, null).draw(g, PathBuffer.FILL);
        nativeEvenOdd = !path.isEmpty() ? !path.isNonZero() : nativeEvenOdd;
    }

    /**
     * Fills a general path: a small one filled before in the same solid colour, antialiased
     * and source-over (a PDF renderer's glyphs), draws as its cached coverage image.
     */
    private void fillPath(Shape s) {
        path.set(s, null);
        Rectangle2D r = path.rectangle();
        if (r != null && fillsSurface(r.getX(), r.getY(), r.getWidth(), r.getHeight())) {
            return;
        }
        CoverageImage image = null;
        if (drawnPaint instanceof Color c && antialias() && sourceOver()) {
            image = ShapeImages.find(path, transform, c.getRGB(), shapePlace, shapeScratch);
        }
        int g = ready(Use.FILL, image != null);
        if (g == 0) {
            return;
        }
        if (image == null) {
            path.draw(g, PathBuffer.FILL);
            nativeEvenOdd = !path.isEmpty() ? !path.isNonZero() : nativeEvenOdd;
        } else if (image.image != 0) {
            hint(g, HINT_IMAGE_FILTER, FILTER_NEAREST);
            placement[4] = shapePlace[0];
            placement[5] = shapePlace[1];
            LUMO.drawImage(g, image.image, placement);
            Reference.reachabilityFence(image);
        }
    }

    @Override
    public void draw(Shape s) {
        Objects.requireNonNull(s, "shape");
        if (s instanceof Line2D l && stroke instanceof BasicStroke b) {
            if (l.getX1() == l.getX2() && l.getY1() == l.getY2()) {
                drawPoint(b, l.getX1(), l.getY1());
                return;
            }
        }
        if (!(stroke instanceof BasicStroke) || generic()) {
            fillStroked(s);
            return;
        }
        Shape own = ProgramShapes.detached(s);
        synchronized (lock) {
            strokeLocked(own);
        }
    }

    /** {@link #draw} with lumo's own stroke and state, under the lock. */
    private void strokeLocked(Shape s) {
        if (s instanceof Line2D) {
            Line2D l = (Line2D) s;
            if (fillDashes(l.getX1(), l.getY1(), l.getX2(), l.getY2())) {
                return;
            }
        }
        if (wholePixelTransform()) {
            if (s instanceof Line2D) {
                Line2D l = (Line2D) s;
                if (whole(l.getX1(), l.getY1(), l.getX2(), l.getY2())) {
                    lineLocked((int) l.getX1(), (int) l.getY1(), (int) l.getX2(),
                            (int) l.getY2());
                    return;
                }
            } else if (s instanceof Rectangle2D) {
                Rectangle2D r = (Rectangle2D) s;
                if (whole(r.getX(), r.getY(), r.getWidth(), r.getHeight())) {
                    rectLocked((int) r.getX(), (int) r.getY(), (int) r.getWidth(),
                            (int) r.getHeight());
                    return;
                }
            }
        }
        int g = ready(Use.STROKE);
        if (g == 0) {
            return;
        }
        path.set(s, null);
        if (normalized()) {
            path.normalize(transform);
        }
        path.draw(g, PathBuffer.STROKE);
        if (!path.isEmpty()) {
            nativeEvenOdd = false;
        }
    }

    /**
     * Fills the dashes of an antialiased dashed line that stays horizontal or vertical in
     * device space as one outline of rectangles, rather than stroking it dash by dash. Returns
     * false, having drawn nothing, for any other line or stroke.
     */
    private boolean fillDashes(double x1, double y1, double x2, double y2) {
        if (!(stroke instanceof BasicStroke b) || !DashedLines.applies(b) || !antialias()
                || transform.getShearX() != 0 || transform.getShearY() != 0
                || (x1 != x2 && y1 != y2)) {
            return false;
        }
        if (normalized()) {
            path.set(new Line2D.Double(x1, y1, x2, y2), null).normalize(transform);
            double[] c = path.coordsCopy();
            x1 = c[0];
            y1 = c[1];
            x2 = c[2];
            y2 = c[3];
        }
        if (drawnPaint instanceof Color c && sourceOver()) {
            int done = drawDashImage(b, c.getRGB(), x1, y1, x2, y2);
            if (done != 0) {
                return done > 0;
            }
        }
        path.clear();
        if (!DashedLines.append(path, b, x1, y1, x2, y2)) {
            return false;
        }
        int g = ready(Use.FILL);
        if (g != 0) {
            path.draw(g, PathBuffer.FILL);
            if (!path.isEmpty()) {
                nativeEvenOdd = false;
            }
        }
        return true;
    }

    /**
     * Draws a thin dashed line as the image of its coverage: 1 when drawn (or nothing shows),
     * -1 when its dashes are too many to draw here, 0 when the line is too thick for an image.
     */
    private int drawDashImage(BasicStroke b, int argb, double x1, double y1, double x2,
            double y2) {
        boolean horizontal = y1 == y2;
        double sx = transform.getScaleX();
        double sy = transform.getScaleY();
        double width = b.getLineWidth() * Math.abs(horizontal ? sy : sx);
        if (!(width <= DashedLines.MAX_IMAGE_WIDTH)) {
            return 0;
        }
        double dx1 = sx * x1 + transform.getTranslateX();
        double dy1 = sy * y1 + transform.getTranslateY();
        double dx2 = sx * x2 + transform.getTranslateX();
        double dy2 = sy * y2 + transform.getTranslateY();
        double along = Math.abs(horizontal ? sx : sy);
        if (!DashedLines.fewEnough(b, horizontal ? Math.abs(dx2 - dx1) : Math.abs(dy2 - dy1),
                along)) {
            return -1;
        }
        double h = width / 2;
        Rectangle r = region(horizontal
                ? new Rectangle2D.Double(Math.min(dx1, dx2), dy1 - h, Math.abs(dx2 - dx1), width)
                : new Rectangle2D.Double(dx1 - h, Math.min(dy1, dy2), width, Math.abs(dy2 - dy1)));
        if (r == null) {
            return 1;
        }
        int[] origin = new int[2];
        BufferedImage image = DashedLines.image(b, horizontal, horizontal ? dx1 : dy1,
                horizontal ? dx2 : dy2, horizontal ? dy1 : dx1, width, along, argb,
                new int[] {r.x, r.y, r.width, r.height}, origin);
        if (image == null) {
            return 1;
        }
        int g = ready(Use.IMAGE, true);
        if (g != 0) {
            hint(g, HINT_IMAGE_FILTER, FILTER_NEAREST);
            Images.draw(g, image, new double[] {1, 0, 0, 1, origin[0], origin[1]});
        }
        return 1;
    }

    /**
     * A line of no length: its caps alone, as Java 2D strokes it (a square of the line width
     * for square caps, a disc for round ones, nothing for butt caps), at the pixel centre a
     * normalised stroke moves it to.
     */
    private void drawPoint(BasicStroke b, double x, double y) {
        if (b.getEndCap() == BasicStroke.CAP_BUTT) {
            return;
        }
        if (normalized()) {
            double[] c;
            synchronized (lock) {
                path.set(new Line2D.Double(x, y, x, y), null).normalize(transform);
                c = path.coordsCopy();
            }
            x = c[0];
            y = c[1];
        }
        double w = b.getLineWidth();
        if (w == 0) {
            w = 1 / Math.max(Math.sqrt(Math.abs(transform.getDeterminant())), 1e-9);
        }
        double h = w / 2;
        fill(b.getEndCap() == BasicStroke.CAP_ROUND ? new Ellipse2D.Double(x - h, y - h, w, w)
                : new Rectangle2D.Double(x - h, y - h, w, w));
    }

    /** Fills the outline of {@code s} under the current stroke. */
    private void fillStroked(Shape s) {
        Shape outline = stroke.createStrokedShape(s);
        if (generic()) {
            Shape device = transform.createTransformedShape(outline);
            fillGeneric(device, antialias());
        } else {
            fill(outline);
        }
    }

    private static boolean whole(double a, double b, double c, double d) {
        return isInt(a) && isInt(b) && isInt(c) && isInt(d);
    }

    private static boolean isInt(double v) {
        return v == (int) v && Math.abs(v) < 1 << 24;
    }

    /**
     * Fills a device-space outline the slow way: the paint through its context, the composite
     * through the pixels.
     */
    private void fillGeneric(Shape device, boolean aa) {
        int g = handle.g;
        if (g == 0 || surface.isClosed()) {
            return;
        }
        Rectangle r = region(device.getBounds2D());
        if (r == null) {
            return;
        }
        // The state is read once: another thread may change that of a shared graphics.
        Color xor = xorColor;
        Composite comp = composite;
        Paint p = paint;
        if (xor == null && comp instanceof AlphaComposite) {
            Compositor.paint(p, r, userBounds(device), transform, getRenderingHints(),
                    source -> fillTexture(device, r, source));
            return;
        }
        int[] source = Compositor.paint(p, r, userBounds(device), transform,
                getRenderingHints());
        int[] coverage = coverage(device, r, aa && xor == null);
        if (xor != null) {
            Compositor.xor(surface, r, source, coverage, xor);
        } else {
            Compositor.compose(surface, r, source, coverage, comp, getRenderingHints());
        }
    }

    private Rectangle2D userBounds(Shape device) {
        try {
            return transform.createInverse().createTransformedShape(device).getBounds2D();
        } catch (NoninvertibleTransformException e) {
            return device.getBounds2D();
        }
    }

    /** The device pixels {@code bounds} touches, within the surface and the clip; or null. */
    private Rectangle region(Rectangle2D bounds) {
        if (!(bounds.getWidth() >= 0) || !(bounds.getHeight() >= 0)) {
            return null;
        }
        double x1 = Math.max(Math.floor(bounds.getMinX()), 0);
        double y1 = Math.max(Math.floor(bounds.getMinY()), 0);
        double x2 = Math.min(Math.ceil(bounds.getMaxX()), surface.getWidth());
        double y2 = Math.min(Math.ceil(bounds.getMaxY()), surface.getHeight());
        Shape deviceClip = clip;
        if (deviceClip != null) {
            Rectangle2D c = deviceClip.getBounds2D();
            x1 = Math.max(x1, Math.floor(c.getMinX()));
            y1 = Math.max(y1, Math.floor(c.getMinY()));
            x2 = Math.min(x2, Math.ceil(c.getMaxX()));
            y2 = Math.min(y2, Math.ceil(c.getMaxY()));
        }
        if (!(x2 > x1) || !(y2 > y1)) {
            return null;
        }
        return new Rectangle((int) x1, (int) y1, (int) (x2 - x1), (int) (y2 - y1));
    }

    /** How much of each pixel of {@code r} the device outline covers within the clip. */
    private int[] coverage(Shape device, Rectangle r, boolean aa) {
        int[] out = new int[r.width * r.height];
        try (LumoSurface mask = new LumoSurface(r.width, r.height)) {
            LumoGraphics2D m = mask.createGraphics();
            m.setRenderingHint(RenderingHints.KEY_ANTIALIASING,
                    aa ? RenderingHints.VALUE_ANTIALIAS_ON : RenderingHints.VALUE_ANTIALIAS_OFF);
            m.translate(-r.x, -r.y);
            m.clip = clip;
            m.setPaint(Color.WHITE);
            m.fill(device);
            m.dispose();
            mask.read(0, 0, r.width, r.height, out);
        }
        for (int i = 0; i < out.length; i++) {
            out[i] >>>= 24;
        }
        return out;
    }

    /** Fills a device outline with device pixels of a paint, through lumo's composite. */
    private void fillTexture(Shape device, Rectangle r, BufferedImage source) {
        int[] target = Images.target(source);
        try {
            synchronized (lock) {
                try {
                    int g = ready(Use.FILL);
                    if (g != 0) {
                        LUMO.setTexture(g, target[1], new double[] {1, 0, 0, 1, r.x, r.y}, 0);
                        hint(g, HINT_IMAGE_FILTER, FILTER_NEAREST);
                        sendIdentity(g);
                        path.set(device, null).draw(g, PathBuffer.FILL);
                        nativeEvenOdd = !path.isEmpty() ? !path.isNonZero() : nativeEvenOdd;
                    }
                } finally {
                    dirty |= DIRTY_TRANSFORM | DIRTY_PAINT;
                }
            }
        } finally {
            Images.delete(target);
        }
    }

    @Override
    public void drawLine(int x1, int y1, int x2, int y2) {
        if ((x1 == x2 && y1 == y2) || !(stroke instanceof BasicStroke) || generic()
                || !wholePixelTransform()) {
            draw(new Line2D.Float(x1, y1, x2, y2));
            return;
        }
        synchronized (lock) {
            lineLocked(x1, y1, x2, y2);
        }
    }

    /** A line of some length with lumo's own stroke, under the lock. */
    private void lineLocked(int x1, int y1, int x2, int y2) {
        if (fillDashes(x1, y1, x2, y2)) {
            return;
        }
        int g = ready(Use.STROKE_SHORTCUT);
        if (g != 0) {
            rule(g, false);
            LUMO.drawLine(g, x1, y1, x2, y2);
        }
    }

    @Override
    public void fillRect(int x, int y, int width, int height) {
        if (width <= 0 || height <= 0) {
            return;
        }
        if (generic()) {
            fill(new Rectangle(x, y, width, height));
            return;
        }
        synchronized (lock) {
            fillRectLocked(x, y, width, height);
        }
    }

    /** A rectangle of some size filled in lumo's own state, under the lock. */
    private void fillRectLocked(int x, int y, int width, int height) {
        if (fillsSurface(x, y, width, height)) {
            return;
        }
        int g = ready(Use.FILL);
        if (g != 0) {
            LUMO.fillRect(g, x, y, width, height);
        }
    }

    /**
     * Fills the whole surface with the current colour when filling the user-space rectangle
     * replaces every pixel, dropping a pending clear: as a pending clear itself once the native
     * pixels exist, so that a repaint's background fills (a page cleared, then filled with its
     * own background) cost one clear between them; else as a device rectangle over the
     * surface, which makes the pixels. Returns false, having done nothing, for any other
     * rectangle or state.
     */
    private boolean fillsSurface(double x, double y, double width, double height) {
        assert Thread.holdsLock(lock);
        // The state is read once: another thread may change that of a shared graphics.
        if (!(drawnPaint instanceof Color colour) || !(composite instanceof AlphaComposite a)
                || !replacesSurface(colour, a, x, y, width, height)) {
            return false;
        }
        if (handle.g == 0 || surface.isClosed()) {
            return true;
        }
        surface.discardClear();
        if (surface.hasPixels()) {
            surface.clear(colour.getRGB());
            return true;
        }
        int g = ready(Use.FILL, true);
        if (g != 0) {
            LUMO.fillRect(g, 0, 0, surface.getWidth(), surface.getHeight());
            surface.markPixels();
        }
        return true;
    }

    /**
     * Whether filling the user-space rectangle sets every pixel of the surface to the current
     * colour whatever was there: an opaque colour drawn source-over or source at full extra
     * alpha, under a transform that keeps the axes, covering the whole surface within a clip
     * that does too. Pixels wholly inside a filled outline are wholly covered.
     */
    private boolean replacesSurface(Color colour, AlphaComposite a, double x, double y,
            double width, double height) {
        if (!(width > 0) || !(height > 0) || xorColor != null || colour.getAlpha() != 255
                || transform.getShearX() != 0 || transform.getShearY() != 0) {
            return false;
        }
        if (a.getAlpha() != 1f
                || (a.getRule() != AlphaComposite.SRC_OVER && a.getRule() != AlphaComposite.SRC)) {
            return false;
        }
        Shape c = clip;
        if (c != null && !(c instanceof Rectangle2D
                && c.contains(0, 0, surface.getWidth(), surface.getHeight()))) {
            return false;
        }
        double sx = transform.getScaleX();
        double sy = transform.getScaleY();
        double x1 = sx * x + transform.getTranslateX();
        double x2 = sx * (x + width) + transform.getTranslateX();
        double y1 = sy * y + transform.getTranslateY();
        double y2 = sy * (y + height) + transform.getTranslateY();
        // Far beyond the surface lumo still fills; bounded well short of where it would not.
        double far = 1 << 30;
        return Math.min(x1, x2) <= 0 && Math.max(x1, x2) >= surface.getWidth()
                && Math.min(y1, y2) <= 0 && Math.max(y1, y2) >= surface.getHeight()
                && Math.max(Math.max(-x1, x1), Math.max(-x2, x2)) < far
                && Math.max(Math.max(-y1, y1), Math.max(-y2, y2)) < far;
    }

    @Override
    public void drawRect(int x, int y, int width, int height) {
        if (width < 0 || height < 0) {
            return;
        }
        if (!(stroke instanceof BasicStroke) || generic() || !wholePixelTransform()) {
            draw(new Path2D.Float(new Rectangle(x, y, width, height)));
            return;
        }
        synchronized (lock) {
            rectLocked(x, y, width, height);
        }
    }

    /** An outlined rectangle with lumo's own stroke, under the lock. */
    private void rectLocked(int x, int y, int width, int height) {
        if (width < 0 || height < 0) {
            return;
        }
        int g = ready(Use.STROKE_SHORTCUT);
        if (g != 0) {
            rule(g, false);
            LUMO.drawRect(g, x, y, width, height);
        }
    }

    @Override
    public void clearRect(int x, int y, int width, int height) {
        Color bg = background;
        if (bg == null) {
            // Nothing to clear with: the current paint fills, perhaps through its own context.
            clearWith(bg, x, y, width, height, false);
            return;
        }
        // The state swapped for the fill is not seen by other threads drawing through this
        // graphics.
        synchronized (lock) {
            clearWith(bg, x, y, width, height, true);
        }
    }

    /**
     * Fills the rectangle with {@code bg} by the source rule; {@code locked}, it fills in
     * lumo's own state, whatever another thread set meanwhile.
     */
    private void clearWith(Color bg, int x, int y, int width, int height, boolean locked) {
        Composite c = composite;
        Paint p = paint;
        Color fg = foreground;
        Color x0 = xorColor;
        setComposite(AlphaComposite.Src);
        xorColor = null;
        setColor(bg);
        if (!locked) {
            fillRect(x, y, width, height);
        } else if (width > 0 && height > 0) {
            fillRectLocked(x, y, width, height);
        }
        setPaint(p);
        foreground = fg;
        setComposite(c);
        xorColor = x0;
    }

    @Override
    public void drawRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
        draw(new RoundRectangle2D.Float(x, y, width, height, arcWidth, arcHeight));
    }

    @Override
    public void fillRoundRect(int x, int y, int width, int height, int arcWidth, int arcHeight) {
        fill(new RoundRectangle2D.Float(x, y, width, height, arcWidth, arcHeight));
    }

    @Override
    public void drawOval(int x, int y, int width, int height) {
        draw(new Ellipse2D.Float(x, y, width, height));
    }

    @Override
    public void fillOval(int x, int y, int width, int height) {
        fill(new Ellipse2D.Float(x, y, width, height));
    }

    @Override
    public void drawArc(int x, int y, int width, int height, int startAngle, int arcAngle) {
        draw(new Arc2D.Float(x, y, width, height, startAngle, arcAngle, Arc2D.OPEN));
    }

    @Override
    public void fillArc(int x, int y, int width, int height, int startAngle, int arcAngle) {
        fill(new Arc2D.Float(x, y, width, height, startAngle, arcAngle, Arc2D.PIE));
    }

    @Override
    public void drawPolyline(int[] xPoints, int[] yPoints, int nPoints) {
        if (nPoints <= 0) {
            return;
        }
        draw(polyline(xPoints, yPoints, nPoints, false));
    }

    @Override
    public void drawPolygon(int[] xPoints, int[] yPoints, int nPoints) {
        if (nPoints <= 0) {
            return;
        }
        draw(polyline(xPoints, yPoints, nPoints, true));
    }

    @Override
    public void fillPolygon(int[] xPoints, int[] yPoints, int nPoints) {
        if (nPoints <= 0) {
            return;
        }
        fill(polyline(xPoints, yPoints, nPoints, true));
    }

    private static Shape polyline(int[] x, int[] y, int n, boolean closed) {
        if (x.length < n || y.length < n) {
            throw new ArrayIndexOutOfBoundsException(n - 1);
        }
        Path2D.Float p = new Path2D.Float(Path2D.WIND_EVEN_ODD, n + 1);
        p.moveTo(x[0], y[0]);
        for (int i = 1; i < n; i++) {
            p.lineTo(x[i], y[i]);
        }
        if (closed) {
            p.closePath();
        } else if (n == 1) {
            p.lineTo(x[0], y[0]);
        }
        return p;
    }

    @Override
    public void drawPolygon(Polygon p) {
        drawPolygon(p.xpoints, p.ypoints, p.npoints);
    }

    @Override
    public void fillPolygon(Polygon p) {
        fillPolygon(p.xpoints, p.ypoints, p.npoints);
    }

    @Override
    public boolean hit(Rectangle rect, Shape s, boolean onStroke) {
        if (onStroke) {
            s = stroke.createStrokedShape(s);
        }
        return transform.createTransformedShape(s).intersects(rect);
    }

    // Text.

    @Override
    public void drawString(String str, int x, int y) {
        drawString(str, (float) x, (float) y);
    }

    @Override
    public void drawString(String str, float x, float y) {
        Objects.requireNonNull(str, "String is null");
        if (str.isEmpty()) {
            return;
        }
        if (font.hasLayoutAttributes()) {
            new TextLayout(str, font, getFontRenderContext()).draw(this, x, y);
            return;
        }
        char[] chars = str.toCharArray();
        GlyphVector gv = Font.textRequiresLayout(chars, 0, chars.length)
                ? font.layoutGlyphVector(getFontRenderContext(), chars, 0, chars.length,
                        Font.LAYOUT_LEFT_TO_RIGHT)
                : font.createGlyphVector(getFontRenderContext(), chars);
        drawGlyphVector(gv, x, y);
    }

    @Override
    public void drawString(AttributedCharacterIterator iterator, int x, int y) {
        drawString(iterator, (float) x, (float) y);
    }

    @Override
    public void drawString(AttributedCharacterIterator iterator, float x, float y) {
        Objects.requireNonNull(iterator, "AttributedCharacterIterator is null");
        if (iterator.getBeginIndex() == iterator.getEndIndex()) {
            return;
        }
        new TextLayout(iterator, getFontRenderContext()).draw(this, x, y);
    }

    @Override
    public void drawChars(char[] data, int offset, int length, int x, int y) {
        Objects.requireNonNull(data, "char data is null");
        if (offset < 0 || length < 0 || offset + length < length
                || offset + length > data.length) {
            throw new ArrayIndexOutOfBoundsException("bad offset/length");
        }
        drawString(new String(data, offset, length), x, y);
    }

    @Override
    public void drawBytes(byte[] data, int offset, int length, int x, int y) {
        Objects.requireNonNull(data, "byte data is null");
        if (offset < 0 || length < 0 || offset + length < length
                || offset + length > data.length) {
            throw new ArrayIndexOutOfBoundsException("bad offset/length");
        }
        char[] chars = new char[length];
        for (int i = 0; i < length; i++) {
            chars[i] = (char) (data[offset + i] & 0xFF);
        }
        drawString(new String(chars), x, y);
    }

    /**
     * Draws the glyphs as one filled outline; each glyph's outline comes from the shared cache
     * unless the vector transforms it.
     */
    @Override
    public void drawGlyphVector(GlyphVector gv, float x, float y) {
        Objects.requireNonNull(gv, "glyph vector");
        int n = gv.getNumGlyphs();
        if (n == 0) {
            return;
        }
        if (generic()) {
            Shape outline = gv.getOutline(x, y);
            fillGeneric(transform.createTransformedShape(outline), textAntialias());
            return;
        }
        Font f = gv.getFont();
        boolean cacheable = f.getTransform().isIdentity() || !f.isTransformed();
        if (cacheable && drawGlyphImages(gv, f, n, x, y)) {
            return;
        }
        // What the vector holds is read first: it may be a class of the program's.
        float[] positions = gv.getGlyphPositions(0, n, null);
        int[] codes = gv.getGlyphCodes(0, n, null);
        Shape[] outlines = new Shape[n];
        for (int i = 0; i < n; i++) {
            if (!cacheable || gv.getGlyphTransform(i) != null) {
                outlines[i] = ProgramShapes.detached(gv.getGlyphOutline(i));
            }
        }
        synchronized (lock) {
            int g = ready(Use.TEXT);
            if (g == 0) {
                return;
            }
            path.clear();
            for (int i = 0; i < n; i++) {
                if (outlines[i] == null) {
                    GlyphCache.Outline o = GlyphCache.outline(f, codes[i]);
                    path.append(o.types, o.coords, o.curves, x + positions[2 * i],
                            y + positions[2 * i + 1]);
                } else {
                    path.append(outlines[i].getPathIterator(null), x, y);
                }
            }
            path.setNonZero(true);
            path.draw(g, PathBuffer.FILL);
            if (!path.isEmpty()) {
                nativeEvenOdd = false;
            }
        }
    }

    /**
     * Draws the glyphs as cached images at whole device pixels, their origins rounded as Java 2D
     * places its glyph images: for antialiased text in a solid colour drawn source-over, glyphs
     * of the font itself and of a size kept as images. Returns false, having drawn nothing,
     * otherwise.
     */
    private boolean drawGlyphImages(GlyphVector gv, Font f, int n, float x, float y) {
        if (!(drawnPaint instanceof Color colour) || !textAntialias() || !sourceOver()) {
            return false;
        }
        double size = f.getSize2D() * Math.sqrt(Math.abs(transform.getDeterminant()));
        if (!(size > 0) || size > GlyphImages.MAX_SIZE / 2.0) {
            return false;
        }
        for (int i = 0; i < n; i++) {
            if (gv.getGlyphTransform(i) != null) {
                return false;
            }
        }
        double[] m = {transform.getScaleX(), transform.getShearY(), transform.getShearX(),
            transform.getScaleY()};
        int argb = colour.getRGB();
        float[] positions = gv.getGlyphPositions(0, n, null);
        int[] codes = gv.getGlyphCodes(0, n, null);
        CoverageImage[] glyphs = new CoverageImage[n];
        for (int i = 0; i < n; i++) {
            glyphs[i] = GlyphImages.glyph(f, codes[i], m, argb);
            if (glyphs[i] == null) {
                return false;
            }
        }
        double[] place = {1, 0, 0, 1, 0, 0};
        double tx = transform.getTranslateX();
        double ty = transform.getTranslateY();
        synchronized (lock) {
            int g = ready(Use.TEXT, true);
            if (g == 0) {
                return true;
            }
            hint(g, HINT_IMAGE_FILTER, FILTER_NEAREST);
            for (int i = 0; i < n; i++) {
                CoverageImage glyph = glyphs[i];
                if (glyph.image == 0) {
                    continue;
                }
                double ux = x + positions[2 * i];
                double uy = y + positions[2 * i + 1];
                double dx = m[0] * ux + m[2] * uy + tx;
                double dy = m[1] * ux + m[3] * uy + ty;
                if (!(Math.abs(dx) < 1 << 24) || !(Math.abs(dy) < 1 << 24)) {
                    continue;
                }
                place[4] = Math.floor(dx + 0.5) + glyph.x;
                place[5] = Math.floor(dy + 0.5) + glyph.y;
                LUMO.drawImage(g, glyph.image, place);
            }
        }
        Reference.reachabilityFence(glyphs);
        return true;
    }

    @Override
    public FontRenderContext getFontRenderContext() {
        AffineTransform t = new AffineTransform(transform.getScaleX(), transform.getShearY(),
                transform.getShearX(), transform.getScaleY(), 0, 0);
        Object aa = hints.get(RenderingHints.KEY_TEXT_ANTIALIASING);
        if (aa == null || aa == RenderingHints.VALUE_TEXT_ANTIALIAS_DEFAULT) {
            aa = antialias() ? RenderingHints.VALUE_TEXT_ANTIALIAS_ON
                    : RenderingHints.VALUE_TEXT_ANTIALIAS_DEFAULT;
        }
        Object fm = hints.get(RenderingHints.KEY_FRACTIONALMETRICS);
        return new FontRenderContext(t, aa,
                fm == null ? RenderingHints.VALUE_FRACTIONALMETRICS_OFF : fm);
    }

    @Override
    public FontMetrics getFontMetrics(Font f) {
        synchronized (lock) {
            return Java2DState.fontMetrics(f, transform, hints);
        }
    }

    @Override
    public Font getFont() {
        return font;
    }

    @Override
    public void setFont(Font font) {
        if (font != null) {
            this.font = font;
        }
    }

    // Images.

    @Override
    public boolean drawImage(Image img, AffineTransform xform, ImageObserver obs) {
        if (img == null) {
            return true;
        }
        return drawPlaced(img, xform == null ? new AffineTransform() : xform, null, obs);
    }

    @Override
    public void drawImage(BufferedImage img, BufferedImageOp op, int x, int y) {
        if (img == null) {
            return;
        }
        BufferedImage filtered = op == null ? img : op.filter(img, null);
        drawImage(filtered, x, y, null);
    }

    @Override
    public void drawRenderedImage(RenderedImage img, AffineTransform xform) {
        if (img == null) {
            return;
        }
        AffineTransform t = new AffineTransform(xform);
        t.translate(img.getMinX(), img.getMinY());
        drawPlaced(Images.buffered(img), t, null, null);
    }

    @Override
    public void drawRenderableImage(RenderableImage img, AffineTransform xform) {
        if (img == null) {
            return;
        }
        AffineTransform saved = transform;
        AffineTransform device = new AffineTransform(transform);
        device.concatenate(xform);
        RenderedImage rendering = img.createRendering(new RenderContext(device, getRenderingHints()));
        if (rendering == null) {
            return;
        }
        transform = new AffineTransform();
        dirty |= DIRTY_TRANSFORM;
        try {
            drawRenderedImage(rendering, new AffineTransform());
        } finally {
            transform = saved;
            dirty |= DIRTY_TRANSFORM;
        }
    }

    @Override
    public boolean drawImage(Image img, int x, int y, ImageObserver observer) {
        return drawImage(img, x, y, null, observer);
    }

    @Override
    public boolean drawImage(Image img, int x, int y, Color bgcolor, ImageObserver observer) {
        if (img == null) {
            return true;
        }
        return drawPlaced(img, AffineTransform.getTranslateInstance(x, y), bgcolor, observer);
    }

    @Override
    public boolean drawImage(Image img, int x, int y, int width, int height,
            ImageObserver observer) {
        return drawImage(img, x, y, width, height, null, observer);
    }

    @Override
    public boolean drawImage(Image img, int x, int y, int width, int height, Color bgcolor,
            ImageObserver observer) {
        if (img == null) {
            return true;
        }
        if (width == 0 || height == 0) {
            return true;
        }
        int w = img.getWidth(observer);
        int h = img.getHeight(observer);
        if (w < 0 || h < 0) {
            return false;
        }
        if (w == 0 || h == 0) {
            return true;
        }
        AffineTransform t = AffineTransform.getTranslateInstance(x, y);
        t.scale((double) width / w, (double) height / h);
        return drawPlaced(img, t, bgcolor, observer);
    }

    @Override
    public boolean drawImage(Image img, int dx1, int dy1, int dx2, int dy2, int sx1, int sy1,
            int sx2, int sy2, ImageObserver observer) {
        return drawImage(img, dx1, dy1, dx2, dy2, sx1, sy1, sx2, sy2, null, observer);
    }

    @Override
    public boolean drawImage(Image img, int dx1, int dy1, int dx2, int dy2, int sx1, int sy1,
            int sx2, int sy2, Color bgcolor, ImageObserver observer) {
        if (img == null) {
            return true;
        }
        if (dx1 == dx2 || dy1 == dy2 || sx1 == sx2 || sy1 == sy2) {
            return true;
        }
        BufferedImage image = Images.buffered(img, observer);
        if (image == null) {
            return img.getWidth(observer) >= 0 && img.getHeight(observer) >= 0;
        }
        // The source rectangle is cut to the image; the destination shrinks with it.
        double scaleX = (double) (dx2 - dx1) / (sx2 - sx1);
        double scaleY = (double) (dy2 - dy1) / (sy2 - sy1);
        int x1 = Math.max(Math.min(sx1, sx2), 0);
        int y1 = Math.max(Math.min(sy1, sy2), 0);
        int x2 = Math.min(Math.max(sx1, sx2), image.getWidth());
        int y2 = Math.min(Math.max(sy1, sy2), image.getHeight());
        if (x2 <= x1 || y2 <= y1) {
            return true;
        }
        AffineTransform t = AffineTransform.getTranslateInstance(dx1, dy1);
        t.scale(scaleX, scaleY);
        t.translate(x1 - sx1, y1 - sy1);
        BufferedImage part = x1 == 0 && y1 == 0 && x2 == image.getWidth()
                && y2 == image.getHeight() ? image : image.getSubimage(x1, y1, x2 - x1, y2 - y1);
        return drawPlaced(part, t, bgcolor, observer);
    }

    /** Draws an image whose pixels {@code placement} maps into user space. */
    private boolean drawPlaced(Image img, AffineTransform placement, Color bgcolor,
            ImageObserver observer) {
        BufferedImage image = Images.buffered(img, observer);
        if (image == null) {
            return img.getWidth(observer) >= 0 && img.getHeight(observer) >= 0;
        }
        Rectangle2D bounds = new Rectangle2D.Double(0, 0, image.getWidth(), image.getHeight());
        if (bgcolor != null) {
            Paint p = paint;
            Color fg = foreground;
            setColor(bgcolor);
            fill(placement.createTransformedShape(bounds));
            setPaint(p);
            foreground = fg;
        }
        if (xorColor != null || !(composite instanceof AlphaComposite)) {
            drawImageGeneric(image, placement, bounds);
            return true;
        }
        BufferedImage readable = Images.readable(image);
        double[] m = new double[6];
        placement.getMatrix(m);
        synchronized (lock) {
            int g = ready(Use.IMAGE);
            if (g != 0) {
                Images.draw(g, readable, m);
            }
        }
        return true;
    }

    /** An image under XOR mode or a composite of its own: drawn by lumo, then composed. */
    private void drawImageGeneric(BufferedImage image, AffineTransform placement,
            Rectangle2D bounds) {
        AffineTransform toDevice = new AffineTransform(transform);
        toDevice.concatenate(placement);
        Shape device = toDevice.createTransformedShape(bounds);
        Rectangle r = region(device.getBounds2D());
        if (r == null || handle.g == 0 || surface.isClosed()) {
            return;
        }
        Color xor = xorColor;
        Composite comp = composite;
        int[] source = new int[r.width * r.height];
        try (LumoSurface layer = new LumoSurface(r.width, r.height)) {
            LumoGraphics2D l = layer.createGraphics();
            synchronized (lock) {
                l.hints = hints;
                hintsShared = true;
            }
            l.hintsShared = true;
            l.translate(-r.x, -r.y);
            l.transform(toDevice);
            l.drawImage(image, 0, 0, null);
            l.dispose();
            layer.read(0, 0, r.width, r.height, source);
        }
        int[] coverage = coverage(device, r, xor == null);
        if (xor != null) {
            Compositor.xor(surface, r, source, coverage, xor);
        } else {
            Compositor.compose(surface, r, source, coverage, comp, getRenderingHints());
        }
    }

    @Override
    public void copyArea(int x, int y, int width, int height, int dx, int dy) {
        synchronized (lock) {
            copyAreaLocked(x, y, width, height, dx, dy);
        }
    }

    private void copyAreaLocked(int x, int y, int width, int height, int dx, int dy) {
        if (width <= 0 || height <= 0 || handle.g == 0 || surface.isClosed()) {
            return;
        }
        if (transform.getShearX() != 0 || transform.getShearY() != 0) {
            throw new InternalError("transformed copyArea not implemented yet");
        }
        // The rectangle and the offset in device pixels, as Java 2D rounds them.
        Point2D p1 = transform.transform(new Point2D.Double(x, y), null);
        Point2D p2 = transform.transform(new Point2D.Double(x + width, y + height), null);
        int x1 = (int) Math.round(Math.min(p1.getX(), p2.getX()));
        int y1 = (int) Math.round(Math.min(p1.getY(), p2.getY()));
        int x2 = (int) Math.round(Math.max(p1.getX(), p2.getX()));
        int y2 = (int) Math.round(Math.max(p1.getY(), p2.getY()));
        int ddx = (int) Math.round(dx * transform.getScaleX());
        int ddy = (int) Math.round(dy * transform.getScaleY());
        x1 = Math.max(x1, 0);
        y1 = Math.max(y1, 0);
        x2 = Math.min(x2, surface.getWidth());
        y2 = Math.min(y2, surface.getHeight());
        if (x2 <= x1 || y2 <= y1) {
            return;
        }
        int w = x2 - x1;
        int h = y2 - y1;
        int[] pixels = new int[w * h];
        surface.read(x1, y1, w, h, pixels);
        // The copy lands under the clip with the source rule, whatever the composite.
        int g = ready(Use.IMAGE);
        sendIdentity(g);
        LUMO.setComposite(g, AlphaComposite.SRC, 1f);
        hint(g, HINT_IMAGE_FILTER, FILTER_NEAREST);
        Images.draw(g, Compositor.wrap(pixels, w, h),
                new double[] {1, 0, 0, 1, x1 + ddx, y1 + ddy});
        dirty |= DIRTY_TRANSFORM | DIRTY_COMPOSITE;
    }

    // Paint, stroke, composite, colours.

    @Override
    public void setPaint(Paint paint) {
        if (paint == null) {
            return;
        }
        if (paint instanceof Color) {
            setColor((Color) paint);
            return;
        }
        this.paint = paint;
        MultipleGradientPaint own = Paints.isNative(paint) ? null
                : ForeignGradients.toJava2D(paint);
        drawnPaint = own == null ? paint : own;
        dirty |= DIRTY_PAINT;
    }

    @Override
    public Paint getPaint() {
        return paint;
    }

    @Override
    public Color getColor() {
        return foreground;
    }

    @Override
    public void setColor(Color c) {
        if (c == null) {
            return;
        }
        foreground = c;
        if (c != paint) {
            // Clients often set a new but equal colour for each shape (a PDF renderer for
            // each glyph); lumo is sent only a colour that differs.
            boolean same = c.equals(drawnPaint);
            paint = c;
            drawnPaint = c;
            if (!same) {
                dirty |= DIRTY_PAINT;
            }
        }
    }

    @Override
    public void setPaintMode() {
        xorColor = null;
        setComposite(AlphaComposite.SrcOver);
    }

    @Override
    public void setXORMode(Color c) {
        xorColor = c == null ? Color.BLACK : c;
        composite = AlphaComposite.SrcOver;
        dirty |= DIRTY_COMPOSITE;
    }

    @Override
    public void setComposite(Composite comp) {
        if (comp == null) {
            throw new IllegalArgumentException("null Composite");
        }
        composite = comp;
        xorColor = null;
        // An AlphaComposite goes to lumo with the next draw when its rule or alpha differ
        // from those last sent; another composite draws through the pixels.
        if (!(comp instanceof AlphaComposite)) {
            dirty |= DIRTY_COMPOSITE;
        }
    }

    @Override
    public Composite getComposite() {
        return composite;
    }

    @Override
    public void setStroke(Stroke s) {
        if (s == null) {
            throw new IllegalArgumentException("null Stroke");
        }
        // Clients set the stroke again for each shape; an equal one is not sent again.
        if (!s.equals(stroke)) {
            dirty |= DIRTY_STROKE;
        }
        stroke = s;
    }

    @Override
    public Stroke getStroke() {
        return stroke;
    }

    @Override
    public void setBackground(Color color) {
        background = color;
    }

    @Override
    public Color getBackground() {
        return background;
    }

    // Hints.

    @Override
    public void setRenderingHint(RenderingHints.Key hintKey, Object hintValue) {
        if (!hintKey.isCompatibleValue(hintValue)) {
            throw new IllegalArgumentException(hintValue + " is not compatible with " + hintKey);
        }
        // Under the lock, as the copies of the hints are made: a map changed by one thread
        // while another copies it fails.
        synchronized (lock) {
            changeableHints().put(hintKey, hintValue);
        }
    }

    @Override
    public Object getRenderingHint(RenderingHints.Key hintKey) {
        return hints.get(hintKey);
    }

    @Override
    public void setRenderingHints(Map<?, ?> map) {
        synchronized (lock) {
            hints = Java2DState.sharedDefaultHints();
            hintsShared = true;
        }
        addRenderingHints(map);
    }

    @Override
    public void addRenderingHints(Map<?, ?> map) {
        for (Map.Entry<?, ?> e : map.entrySet()) {
            setRenderingHint((RenderingHints.Key) e.getKey(), e.getValue());
        }
    }

    @Override
    public RenderingHints getRenderingHints() {
        synchronized (lock) {
            return (RenderingHints) hints.clone();
        }
    }

    /** The hints, copied first if they are shared, so that a change stays this graphics' own. */
    private RenderingHints changeableHints() {
        if (hintsShared) {
            hints = (RenderingHints) hints.clone();
            hintsShared = false;
        }
        return hints;
    }

    // Transform.

    @Override
    public void translate(int x, int y) {
        translate((double) x, (double) y);
    }

    @Override
    public void translate(double tx, double ty) {
        transform.translate(tx, ty);
        dirty |= DIRTY_TRANSFORM;
    }

    @Override
    public void rotate(double theta) {
        transform.rotate(theta);
        dirty |= DIRTY_TRANSFORM;
    }

    @Override
    public void rotate(double theta, double x, double y) {
        transform.rotate(theta, x, y);
        dirty |= DIRTY_TRANSFORM;
    }

    @Override
    public void scale(double sx, double sy) {
        transform.scale(sx, sy);
        dirty |= DIRTY_TRANSFORM;
    }

    @Override
    public void shear(double shx, double shy) {
        transform.shear(shx, shy);
        dirty |= DIRTY_TRANSFORM;
    }

    @Override
    public void transform(AffineTransform tx) {
        transform.concatenate(tx);
        dirty |= DIRTY_TRANSFORM;
    }

    @Override
    public void setTransform(AffineTransform tx) {
        transform.setTransform(tx);
        dirty |= DIRTY_TRANSFORM;
    }

    @Override
    public AffineTransform getTransform() {
        return new AffineTransform(transform);
    }

    // Clip, in user space outside and in device pixels inside.

    @Override
    public Shape getClip() {
        Shape c = clip;
        return c == null ? null : Clips.toUser(c, transform);
    }

    @Override
    public Rectangle getClipBounds() {
        Shape c = getClip();
        return c == null ? null : c.getBounds();
    }

    @Override
    public void clipRect(int x, int y, int width, int height) {
        clip(new Rectangle(x, y, width, height));
    }

    @Override
    public void setClip(int x, int y, int width, int height) {
        setClip(new Rectangle(x, y, width, height));
    }

    @Override
    public void setClip(Shape s) {
        clip = s == null ? null : Clips.toDevice(s, transform);
        dirty |= DIRTY_CLIP;
    }

    @Override
    public void clip(Shape s) {
        Shape device = s == null ? null : Clips.toDevice(s, transform);
        Shape current = clip;
        clip = current == null ? device : Clips.intersect(current, device);
        dirty |= DIRTY_CLIP;
    }

    // Lifetime.

    @Override
    public Graphics create() {
        return new LumoGraphics2D(this);
    }

    @Override
    public void dispose() {
        cleanable.clean();
    }

    @Override
    public GraphicsConfiguration getDeviceConfiguration() {
        return surface.configuration();
    }

    @Override
    public String toString() {
        return getClass().getName() + "[font=" + font + ",color=" + foreground + "]";
    }
}
