package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.AlphaComposite;
import java.awt.BasicStroke;
import java.awt.Color;
import java.awt.Composite;
import java.awt.CompositeContext;
import java.awt.Font;
import java.awt.GradientPaint;
import java.awt.Graphics;
import java.awt.Graphics2D;
import java.awt.LinearGradientPaint;
import java.awt.MultipleGradientPaint.ColorSpaceType;
import java.awt.MultipleGradientPaint.CycleMethod;
import java.awt.Paint;
import java.awt.PaintContext;
import java.awt.Polygon;
import java.awt.RadialGradientPaint;
import java.awt.Rectangle;
import java.awt.RenderingHints;
import java.awt.Shape;
import java.awt.TexturePaint;
import java.awt.font.FontRenderContext;
import java.awt.font.TextAttribute;
import java.awt.geom.AffineTransform;
import java.awt.geom.Arc2D;
import java.awt.geom.Area;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Line2D;
import java.awt.geom.Path2D;
import java.awt.geom.Point2D;
import java.awt.geom.Rectangle2D;
import java.awt.geom.RoundRectangle2D;
import java.awt.image.BufferedImage;
import java.awt.image.ColorModel;
import java.awt.image.ConvolveOp;
import java.awt.image.Kernel;
import java.awt.image.Raster;
import java.awt.image.WritableRaster;
import java.text.AttributedString;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.function.Consumer;
import java.util.stream.Stream;
import org.junit.jupiter.api.DynamicTest;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.TestFactory;

/**
 * The Graphics2D contract, method by method, against Java 2D: each drawing is made through lumo
 * and through Java 2D's own graphics of a premultiplied ARGB image, and both must throw the same
 * or nothing and give the same pixels within the rasterisers' differences at antialiased edges.
 */
class Graphics2DContractTest {
    private static final int SIZE = 96;

    /**
     * Tolerances as the mean difference and the share of pixels off by more than 32: exact
     * geometry (rounding of translucent colours only), antialiased edges, glyphs rasterised
     * differently.
     */
    private static final double[] EXACT = {0.2, 0.0};
    private static final double[] EDGES = {1.2, 0.02};
    private static final double[] LOOSE = {2.5, 0.06};
    private static final double[] TEXT = {8, 0.12};
    /** Aliased fills: lumo paints every pixel an outline touches, Java 2D pixel centres. */
    private static final double[] ALIASED = {4, 0.04};
    /**
     * Scaled repeating textures: at each seam Java 2D picks its nearest texel one column off and
     * does not interpolate across the seam; lumo wraps both.
     */
    private static final double[] SEAMS = {3.5, 0.1};

    private record Case(String name, Consumer<Graphics2D> drawing, double[] tolerance) {
    }

    private static final List<Case> CASES = new ArrayList<>();

    private static void add(String name, double[] tolerance, Consumer<Graphics2D> drawing) {
        CASES.add(new Case(name, drawing, tolerance));
    }

    private static Consumer<Graphics2D> aa(Consumer<Graphics2D> drawing) {
        return g -> {
            g.setRenderingHint(RenderingHints.KEY_ANTIALIASING,
                    RenderingHints.VALUE_ANTIALIAS_ON);
            drawing.accept(g);
        };
    }

    private static BufferedImage picture(int type) {
        BufferedImage image = new BufferedImage(16, 12, type);
        for (int y = 0; y < 12; y++) {
            for (int x = 0; x < 16; x++) {
                int a = type == BufferedImage.TYPE_INT_RGB ? 255 : 128 + 8 * x;
                image.setRGB(x, y, a << 24 | (x * 16) << 16 | (y * 20) << 8 | (x + y) * 9);
            }
        }
        return image;
    }

    private static final Path2D STAR = new Path2D.Double(Path2D.WIND_EVEN_ODD);

    static {
        for (int i = 0; i < 5; i++) {
            double a = -Math.PI / 2 + i * 4 * Math.PI / 5;
            double x = 48 + 40 * Math.cos(a);
            double y = 50 + 40 * Math.sin(a);
            if (i == 0) {
                STAR.moveTo(x, y);
            } else {
                STAR.lineTo(x, y);
            }
        }
        STAR.closePath();

        // Whole-pixel shapes, aliased: the geometry is exact in both.
        add("fillRect", EXACT, g -> {
            g.setColor(Color.RED);
            g.fillRect(10, 12, 50, 30);
            g.fillRect(70, 70, -5, 10);
        });
        add("fill(Rectangle)", EXACT, g -> {
            g.setColor(new Color(0, 0, 255, 128));
            g.fill(new Rectangle(5, 6, 70, 40));
        });
        add("drawRect and drawLine, 1 pixel", EXACT, g -> {
            g.setColor(Color.BLUE);
            g.drawRect(10, 10, 40, 30);
            g.drawLine(5, 60, 90, 60);
            g.drawLine(60, 5, 60, 90);
        });
        add("clearRect with the background", EXACT, g -> {
            g.setColor(Color.GREEN);
            g.fillRect(0, 0, SIZE, SIZE);
            g.setBackground(new Color(10, 20, 30, 100));
            g.clearRect(20, 20, 30, 40);
        });
        add("translate", EXACT, g -> {
            g.translate(15, 25);
            g.setColor(Color.MAGENTA);
            g.fillRect(0, 0, 20, 20);
            g.translate(20.0, 0.0);
            g.fillRect(0, 0, 20, 20);
        });
        add("clipRect, setClip and clip", EXACT, g -> {
            g.setColor(Color.ORANGE);
            g.clipRect(10, 10, 60, 60);
            g.clipRect(30, 0, 60, 50);
            g.fillRect(0, 0, SIZE, SIZE);
            g.setClip(70, 70, 20, 20);
            g.fillRect(0, 0, SIZE, SIZE);
            g.setClip(null);
            g.fillRect(0, 90, SIZE, 6);
        });
        add("clips outlined as paths", EDGES, g -> {
            g.setColor(Color.RED);
            Path2D square = new Path2D.Double(new Rectangle(10, 10, 30, 30));
            g.clip(square);
            g.fillRect(0, 0, SIZE, SIZE);
            Path2D back = new Path2D.Double();
            back.moveTo(60, 80);
            back.lineTo(60, 50);
            back.lineTo(90, 50);
            back.lineTo(90, 80);
            back.lineTo(60, 80);
            back.closePath();
            g.setClip(back);
            g.setColor(Color.BLUE);
            g.fillRect(0, 0, SIZE, SIZE);
            Path2D ell = new Path2D.Double();
            ell.moveTo(5, 50);
            ell.lineTo(40, 50);
            ell.lineTo(40, 60);
            ell.lineTo(15, 60);
            ell.lineTo(15, 90);
            ell.lineTo(5, 90);
            ell.closePath();
            g.setClip(ell);
            g.setColor(Color.GREEN);
            g.fillRect(0, 0, SIZE, SIZE);
        });
        add("clip under a scale", EXACT, g -> {
            g.scale(2, 2);
            g.clip(new Rectangle2D.Double(5, 5, 20, 10));
            g.setColor(Color.BLUE);
            g.fillRect(0, 0, SIZE, SIZE);
        });
        add("composite rules over translucent colour", EXACT, g -> {
            g.setColor(new Color(200, 30, 30, 160));
            g.fillRect(0, 0, SIZE, 48);
            for (int rule = 1; rule <= 12; rule++) {
                g.setComposite(AlphaComposite.getInstance(rule, rule % 3 == 0 ? 0.5f : 1f));
                g.setColor(new Color(20, 60, 220, 120 + rule * 10));
                g.fillRect((rule - 1) * 8, 20, 8, 60);
            }
        });
        add("copyArea", EXACT, g -> {
            g.setColor(Color.RED);
            g.fillRect(5, 5, 20, 20);
            g.setColor(Color.BLUE);
            g.fillRect(10, 10, 5, 5);
            g.copyArea(0, 0, 30, 30, 50, 40);
            g.translate(10, 10);
            g.copyArea(0, 0, 20, 20, 0, 60);
        });
        add("copyArea under a clip", EXACT, g -> {
            g.setColor(Color.RED);
            g.fillRect(5, 5, 40, 40);
            g.clipRect(50, 50, 20, 20);
            g.copyArea(0, 0, 45, 45, 40, 40);
        });
        add("XOR mode", EXACT, g -> {
            g.setColor(Color.YELLOW);
            g.fillRect(0, 0, 60, 60);
            g.setXORMode(Color.WHITE);
            g.setColor(Color.BLUE);
            g.fillRect(30, 30, 50, 50);
            g.fillRect(40, 40, 10, 10);
            g.setPaintMode();
            g.fillRect(80, 0, 10, 10);
        });
        add("custom composite", EXACT, g -> {
            g.setColor(Color.GRAY);
            g.fillRect(0, 0, SIZE, SIZE);
            g.setComposite(new SwapRedBlue());
            g.setColor(new Color(250, 120, 10));
            g.fillRect(20, 20, 40, 40);
        });
        add("create and dispose keep state apart", EXACT, g -> {
            Graphics2D c = (Graphics2D) g.create();
            c.translate(40, 40);
            c.setColor(Color.RED);
            c.fillRect(0, 0, 20, 20);
            c.dispose();
            c.fillRect(0, 0, 50, 50);
            g.fillRect(0, 0, 10, 10);
            Graphics d = g.create(20, 20, 30, 30);
            d.setColor(Color.BLUE);
            d.fillRect(-100, -100, 500, 500);
            d.dispose();
        });
        add("images of every type, whole-pixel placement", EXACT, g -> {
            int[] types = {BufferedImage.TYPE_INT_RGB, BufferedImage.TYPE_INT_ARGB,
                BufferedImage.TYPE_INT_ARGB_PRE, BufferedImage.TYPE_INT_BGR,
                BufferedImage.TYPE_3BYTE_BGR, BufferedImage.TYPE_4BYTE_ABGR,
                BufferedImage.TYPE_4BYTE_ABGR_PRE, BufferedImage.TYPE_BYTE_GRAY,
                BufferedImage.TYPE_BYTE_INDEXED, BufferedImage.TYPE_USHORT_GRAY};
            for (int i = 0; i < types.length; i++) {
                BufferedImage image = new BufferedImage(16, 12, types[i]);
                Graphics2D ig = image.createGraphics();
                ig.drawImage(picture(BufferedImage.TYPE_INT_ARGB), 0, 0, null);
                ig.dispose();
                g.drawImage(image, (i % 5) * 18, (i / 5) * 14, null);
            }
            g.drawImage(picture(BufferedImage.TYPE_INT_ARGB).getSubimage(4, 3, 8, 6), 10, 40,
                    null);
            g.drawImage(picture(BufferedImage.TYPE_INT_ARGB), 30, 40, Color.RED, null);
        });
        add("drawImage scaled and from a source rectangle", EXACT, g -> {
            BufferedImage p = picture(BufferedImage.TYPE_INT_ARGB);
            g.drawImage(p, 0, 0, 32, 24, null);
            g.drawImage(p, 40, 0, 72, 24, 0, 0, 16, 12, null);
            g.drawImage(p, 40, 30, 72, 54, 16, 12, 0, 0, null);
            g.drawImage(p, 0, 40, 20, 60, -4, -4, 12, 12, null);
            g.drawImage(p, AffineTransform.getTranslateInstance(70, 70), null);
            g.drawImage(p, new ConvolveOp(new Kernel(1, 1, new float[] {0.5f})), 10, 70);
            g.drawRenderedImage(p, AffineTransform.getTranslateInstance(50, 70));
        });

        add("aliased curves and slants", ALIASED, g -> {
            g.setColor(Color.BLUE);
            g.fill(new Ellipse2D.Double(5, 5, 50, 40));
            g.fillPolygon(new int[] {60, 90, 70}, new int[] {10, 30, 80}, 3);
            g.setColor(Color.RED);
            g.drawLine(5, 90, 90, 50);
            g.drawOval(10, 50, 40, 30);
        });

        // Antialiased geometry.
        add("fill and draw of every shape", EDGES, aa(g -> {
            g.setColor(new Color(30, 90, 200));
            g.fill(new Ellipse2D.Double(5.5, 5.25, 40, 25));
            g.fill(new RoundRectangle2D.Double(50, 5, 40, 30, 12, 8));
            g.fill(new Arc2D.Double(5, 40, 40, 40, 30, 240, Arc2D.PIE));
            g.fillArc(50, 40, 40, 40, 90, -120);
            g.setColor(Color.RED);
            g.setStroke(new BasicStroke(2.5f));
            g.draw(new Arc2D.Double(50, 50, 40, 40, 0, 200, Arc2D.CHORD));
            g.drawOval(10, 60, 30, 20);
            g.drawRoundRect(55, 62, 30, 20, 10, 10);
            g.drawArc(5, 5, 80, 80, 45, 90);
        }));
        add("Graphics shortcuts", EDGES, aa(g -> {
            g.setColor(Color.DARK_GRAY);
            g.fillOval(5, 5, 30, 20);
            g.drawOval(40, 5, 30, 20);
            g.fillRoundRect(5, 30, 30, 20, 8, 8);
            g.drawRoundRect(40, 30, 30, 20, 8, 8);
            g.drawPolyline(new int[] {5, 20, 35, 50}, new int[] {90, 60, 90, 60}, 4);
            g.fillPolygon(new int[] {60, 90, 75}, new int[] {60, 60, 90}, 3);
            g.drawPolygon(new Polygon(new int[] {60, 90, 75}, new int[] {90, 90, 60}, 3));
            g.fillPolygon(new Polygon(new int[] {5, 40, 40, 5}, new int[] {55, 55, 58, 58}, 4));
            g.drawLine(80, 5, 95, 50);
            g.drawRect(72, 8, 20, 10);
            g.draw3DRect(5, 80, 30, 10, true);
            g.fill3DRect(45, 80, 30, 10, false);
        }));
        add("even-odd and non-zero paths, then a stroke", EDGES, aa(g -> {
            g.setColor(Color.BLACK);
            g.fill(STAR);
            Path2D nz = new Path2D.Double(STAR);
            nz.setWindingRule(Path2D.WIND_NON_ZERO);
            g.translate(40, 30);
            g.scale(0.5, 0.5);
            g.setColor(Color.BLUE);
            g.fill(nz);
            g.setStroke(new BasicStroke(4));
            g.draw(STAR);
        }));
        add("curves", EDGES, aa(g -> {
            Path2D p = new Path2D.Double();
            p.moveTo(5, 90);
            p.curveTo(20, -20, 70, 120, 90, 10);
            p.quadTo(50, 50, 5, 90);
            g.setColor(new Color(0, 128, 0, 200));
            g.fill(p);
            g.setColor(Color.RED);
            g.setStroke(new BasicStroke(3, BasicStroke.CAP_ROUND, BasicStroke.JOIN_ROUND));
            g.draw(p);
        }));
        add("caps, joins and miter limits", EDGES, aa(g -> {
            Path2D zig = new Path2D.Double();
            zig.moveTo(10, 20);
            zig.lineTo(40, 8);
            zig.lineTo(50, 30);
            zig.lineTo(80, 12);
            int[] caps = {BasicStroke.CAP_BUTT, BasicStroke.CAP_ROUND, BasicStroke.CAP_SQUARE};
            int[] joins = {BasicStroke.JOIN_MITER, BasicStroke.JOIN_ROUND, BasicStroke.JOIN_BEVEL};
            g.setColor(Color.BLACK);
            for (int i = 0; i < 3; i++) {
                g.setStroke(new BasicStroke(6, caps[i], joins[i], 1 + 4 * i));
                g.draw(zig);
                g.translate(0, 28);
            }
        }));
        add("dashes and phase", EDGES, aa(g -> {
            g.setColor(Color.BLUE);
            g.setStroke(new BasicStroke(3, BasicStroke.CAP_BUTT, BasicStroke.JOIN_MITER, 10,
                    new float[] {10, 5}, 0));
            g.draw(new Rectangle2D.Double(10.5, 10.5, 70, 30));
            g.setStroke(new BasicStroke(2, BasicStroke.CAP_ROUND, BasicStroke.JOIN_ROUND, 10,
                    new float[] {1, 6, 12, 4}, 7));
            g.draw(new Ellipse2D.Double(10, 50, 70, 40));
        }));
        add("dashed horizontal and vertical lines", EDGES, aa(g -> {
            g.setColor(new Color(20, 40, 160));
            g.setStroke(new BasicStroke(0.5f, BasicStroke.CAP_BUTT, BasicStroke.JOIN_BEVEL, 0,
                    new float[] {2, 2}, 0));
            for (int i = 0; i < 6; i++) {
                g.draw(new Line2D.Double(4, 6.3 + 3 * i, 90, 6.3 + 3 * i));
                g.draw(new Line2D.Double(6.6 + 3 * i, 90, 6.6 + 3 * i, 30));
            }
            g.drawLine(30, 30, 90, 30);
            g.setRenderingHint(RenderingHints.KEY_STROKE_CONTROL,
                    RenderingHints.VALUE_STROKE_PURE);
            g.setStroke(new BasicStroke(1.25f, BasicStroke.CAP_BUTT, BasicStroke.JOIN_MITER, 10,
                    new float[] {3, 1.5f, 0, 2}, 2.5f));
            g.draw(new Line2D.Double(88.2, 36.4, 30.1, 36.4));
            g.setStroke(new BasicStroke(4, BasicStroke.CAP_BUTT, BasicStroke.JOIN_MITER, 10,
                    new float[] {5, 3}, 1));
            g.draw(new Line2D.Double(30, 44, 90, 44));
            g.setComposite(AlphaComposite.getInstance(AlphaComposite.SRC_OVER, 0.6f));
            g.setColor(new Color(200, 0, 0, 180));
            g.clip(new Rectangle(0, 50, 80, 40));
            g.translate(30.25, 52.5);
            g.scale(1.5, 0.75);
            g.setStroke(new BasicStroke(1, BasicStroke.CAP_BUTT, BasicStroke.JOIN_MITER, 10,
                    new float[] {4, 2}, 3));
            for (int i = 0; i < 4; i++) {
                g.draw(new Line2D.Double(0, 5 + 9 * i, 50, 5 + 9 * i));
                g.draw(new Line2D.Double(8 + 9 * i, 0, 8 + 9 * i, 45));
            }
        }));
        add("pure and normalised strokes", EDGES, aa(g -> {
            g.setColor(Color.BLACK);
            g.drawLine(5, 10, 90, 10);
            g.drawRect(5, 20, 40, 20);
            g.setRenderingHint(RenderingHints.KEY_STROKE_CONTROL,
                    RenderingHints.VALUE_STROKE_PURE);
            g.drawLine(5, 60, 90, 60);
            g.drawRect(50, 20, 40, 20);
        }));
        add("zero-width stroke under a scale", LOOSE, aa(g -> {
            g.scale(4, 4);
            g.setColor(Color.BLACK);
            g.setStroke(new BasicStroke(0));
            g.draw(new Line2D.Double(2, 2, 20, 10));
        }));
        add("a stroke of its own through its outline", EDGES, aa(g -> {
            g.setColor(Color.RED);
            g.setStroke(s -> new BasicStroke(5).createStrokedShape(s));
            g.draw(new Ellipse2D.Double(10, 10, 70, 50));
        }));
        add("rotate, scale, shear, transform, setTransform", EDGES, aa(g -> {
            g.setColor(new Color(200, 0, 120));
            g.rotate(0.3, 48, 48);
            g.fillRect(30, 30, 36, 20);
            g.scale(1.2, 0.8);
            g.shear(0.2, 0);
            g.setStroke(new BasicStroke(2));
            g.drawRect(10, 60, 30, 20);
            g.transform(AffineTransform.getRotateInstance(-0.2));
            g.fillOval(50, 70, 20, 12);
            g.setTransform(AffineTransform.getTranslateInstance(70, 5));
            g.rotate(0.5);
            g.drawLine(0, 0, 20, 0);
        }));
        add("small paths filled again under shape clips set between them", EDGES, aa(g -> {
            Path2D arrow = new Path2D.Double();
            arrow.moveTo(0, 0);
            arrow.lineTo(30.5, 12.25);
            arrow.lineTo(8.75, 14);
            arrow.quadTo(4, 24, 0, 31.5);
            arrow.closePath();
            g.setColor(new Color(20, 90, 200));
            for (int i = 0; i < 4; i++) {
                g.setClip(new Ellipse2D.Double(4 + 18 * i, 10 + 9 * i, 40, 46));
                g.fill(arrow.createTransformedShape(
                        AffineTransform.getTranslateInstance(10.3 + 17.6 * i, 14.7 + 11.1 * i)));
            }
        }));
        add("shape clips", EDGES, aa(g -> {
            g.clip(new Ellipse2D.Double(10, 10, 70, 70));
            g.rotate(0.4, 48, 48);
            g.clip(new Rectangle(20, 20, 60, 30));
            g.setColor(Color.BLUE);
            g.fillRect(0, 0, SIZE, SIZE);
        }));
        add("source rule, opaque and translucent, at antialiased edges", EDGES, aa(g -> {
            g.setColor(new Color(200, 30, 30, 160));
            g.fillRect(0, 0, SIZE, SIZE);
            g.setComposite(AlphaComposite.Src);
            g.setColor(Color.BLUE);
            g.fill(new Ellipse2D.Double(5.5, 5.5, 40, 40));
            g.setColor(new Color(0, 200, 0, 100));
            g.fill(new Ellipse2D.Double(50.5, 5.5, 40, 40));
            g.setComposite(AlphaComposite.getInstance(AlphaComposite.SRC, 0.5f));
            g.setColor(Color.BLACK);
            g.fill(new Ellipse2D.Double(5.5, 50.5, 40, 40));
            g.setBackground(Color.WHITE);
            g.clearRect(60, 60, 20, 20);
        }));
        add("translucent colours over each other", EDGES, aa(g -> {
            g.setColor(new Color(255, 0, 0, 100));
            g.fill(new Ellipse2D.Double(5, 5, 60, 60));
            g.setColor(new Color(0, 0, 255, 100));
            g.fill(new Ellipse2D.Double(30, 30, 60, 60));
        }));
        add("two-colour gradients, cyclic and not", EDGES, aa(g -> {
            g.setPaint(new GradientPaint(10, 10, Color.RED, 40, 20, Color.BLUE));
            g.fillRect(0, 0, SIZE, 45);
            g.setPaint(new GradientPaint(10, 60, new Color(0, 255, 0, 50), 30, 70, Color.BLACK,
                    true));
            g.fillRect(0, 50, SIZE, 46);
        }));
        add("linear gradients with stops, cycles and transform", EDGES, aa(g -> {
            float[] f = {0f, 0.3f, 1f};
            Color[] c = {Color.RED, Color.YELLOW, new Color(0, 0, 255, 128)};
            CycleMethod[] cycles = CycleMethod.values();
            for (int i = 0; i < 3; i++) {
                g.setPaint(new LinearGradientPaint(new Point2D.Double(20, 0),
                        new Point2D.Double(50, 10), f, c, cycles[i], ColorSpaceType.SRGB,
                        AffineTransform.getRotateInstance(0.1 * i)));
                g.fillRect(0, i * 32, SIZE, 30);
            }
        }));
        add("radial gradients with focus and cycles", EDGES, aa(g -> {
            float[] f = {0f, 0.5f, 1f};
            Color[] c = {Color.WHITE, Color.ORANGE, Color.BLUE};
            g.setPaint(new RadialGradientPaint(new Point2D.Double(24, 24), 20,
                    new Point2D.Double(16, 16), f, c, CycleMethod.NO_CYCLE));
            g.fillRect(0, 0, 48, 48);
            g.setPaint(new RadialGradientPaint(new Point2D.Double(72, 24), 10,
                    new Point2D.Double(72, 24), f, c, CycleMethod.REPEAT));
            g.fillRect(48, 0, 48, 48);
            g.setPaint(new RadialGradientPaint(new Point2D.Double(24, 72), 12,
                    new Point2D.Double(30, 70), f, c, CycleMethod.REFLECT, ColorSpaceType.SRGB,
                    AffineTransform.getScaleInstance(1.0, 1.0)));
            g.fillRect(0, 48, 48, 48);
            g.setPaint(new RadialGradientPaint(new Point2D.Double(72, 72), 15,
                    new Point2D.Double(100, 72), f, c, CycleMethod.NO_CYCLE));
            g.fillRect(48, 48, 48, 48);
        }));
        add("gradient in linear RGB, through its context", EDGES, aa(g -> {
            g.setPaint(new LinearGradientPaint(new Point2D.Double(0, 0),
                    new Point2D.Double(96, 0), new float[] {0, 1},
                    new Color[] {Color.RED, Color.BLUE}, CycleMethod.NO_CYCLE,
                    ColorSpaceType.LINEAR_RGB, new AffineTransform()));
            g.fill(new Ellipse2D.Double(5, 5, 86, 86));
        }));
        add("a paint of its own, through its context", EDGES, aa(g -> {
            g.setPaint(new Stripes());
            g.rotate(0.2);
            g.fill(new Ellipse2D.Double(15, 5, 70, 70));
            g.setComposite(AlphaComposite.getInstance(AlphaComposite.SRC_OVER, 0.5f));
            g.fillRect(0, 60, 90, 30);
        }));
        add("texture paint at its own size", EXACT, g -> {
            BufferedImage tile = picture(BufferedImage.TYPE_INT_ARGB);
            g.setPaint(new TexturePaint(tile, new Rectangle(3, 5, 16, 12)));
            g.fillRect(0, 0, SIZE, 40);
        });
        add("texture paint scaled", SEAMS, g -> {
            BufferedImage tile = picture(BufferedImage.TYPE_INT_ARGB);
            g.setPaint(new TexturePaint(tile, new Rectangle2D.Double(0, 0, 32, 24)));
            g.fillRect(0, 48, SIZE, 48);
        });
        add("texture paints, bilinear and turned", SEAMS, aa(g -> {
            BufferedImage tile = picture(BufferedImage.TYPE_INT_ARGB_PRE);
            g.setRenderingHint(RenderingHints.KEY_INTERPOLATION,
                    RenderingHints.VALUE_INTERPOLATION_BILINEAR);
            g.setPaint(new TexturePaint(tile, new Rectangle2D.Double(2.5, 1, 40, 30)));
            g.fillRect(0, 0, SIZE, 40);
            g.rotate(0.2);
            g.fill(new Ellipse2D.Double(20, 40, 60, 50));
        }));
        add("images under transforms and filters", LOOSE, aa(g -> {
            BufferedImage p = picture(BufferedImage.TYPE_INT_RGB);
            g.drawImage(p, 0, 0, 48, 36, null);
            g.setRenderingHint(RenderingHints.KEY_INTERPOLATION,
                    RenderingHints.VALUE_INTERPOLATION_BILINEAR);
            g.drawImage(p, 48, 0, 48, 36, null);
            g.setRenderingHint(RenderingHints.KEY_INTERPOLATION,
                    RenderingHints.VALUE_INTERPOLATION_BICUBIC);
            g.drawImage(p, 0, 40, 48, 36, null);
            g.setComposite(AlphaComposite.getInstance(AlphaComposite.SRC_OVER, 0.5f));
            g.drawImage(p, 50, 40, 40, 30, null);
        }));
        add("background colours and toolkit images", EXACT, g -> {
            BufferedImage p = picture(BufferedImage.TYPE_INT_ARGB);
            g.drawImage(p, 0, 0, 32, 24, Color.YELLOW, null);
            g.drawImage(p, 40, 0, 56, 12, 0, 0, 16, 12, Color.CYAN, null);
            java.awt.image.MemoryImageSource source = new java.awt.image.MemoryImageSource(16,
                    12, p.getRGB(0, 0, 16, 12, null, 0, 16), 0, 16);
            java.awt.Image toolkit = java.awt.Toolkit.getDefaultToolkit().createImage(source);
            java.awt.MediaTracker tracker = new java.awt.MediaTracker(new java.awt.Canvas());
            tracker.addImage(toolkit, 0);
            try {
                tracker.waitForAll();
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
            }
            g.drawImage(toolkit, 10, 60, null);
            g.drawImage(toolkit, 40, 60, 32, 24, null);
        });
        add("image with a composite of its own", EXACT, g -> {
            g.setColor(Color.GRAY);
            g.fillRect(0, 0, SIZE, SIZE);
            g.setComposite(new SwapRedBlue());
            g.drawImage(picture(BufferedImage.TYPE_INT_RGB), 10, 10, null);
        });

        // Text, whose glyphs the two rasterise differently.
        add("drawString, drawChars, drawBytes", TEXT, aa(g -> {
            g.setColor(Color.BLACK);
            g.setFont(new Font(Font.SANS_SERIF, Font.PLAIN, 20));
            g.drawString("Lumo 2D", 5, 25);
            g.drawChars("abcdef".toCharArray(), 1, 4, 5, 50);
            g.drawBytes("xyz".getBytes(), 0, 3, 60, 50);
            g.rotate(0.3);
            g.drawString("turned", 30.5f, 70.25f);
        }));
        add("text in translucent colours, scaled and clipped", TEXT, aa(g -> {
            g.setFont(new Font(Font.SANS_SERIF, Font.PLAIN, 13));
            g.setColor(new Color(0, 90, 0, 160));
            g.drawString("Quarterly 123", 3.4f, 14.6f);
            g.setComposite(AlphaComposite.getInstance(AlphaComposite.SRC_OVER, 0.5f));
            g.setColor(Color.BLACK);
            g.drawString("half alpha", 3, 30);
            g.setComposite(AlphaComposite.SrcOver);
            g.drawString("Gridlines", 3, 46);
            g.clip(new Rectangle(0, 50, 60, 40));
            g.translate(2.5, 60);
            g.scale(1.6, 1.2);
            g.setColor(Color.RED);
            g.drawString("Scaled", 0, 10);
            g.drawString("Scaled", 0.3f, 22);
        }));
        add("attributed text and glyph vectors", TEXT, aa(g -> {
            g.setColor(Color.BLUE);
            AttributedString s = new AttributedString("Big small");
            s.addAttribute(TextAttribute.SIZE, 24f, 0, 3);
            s.addAttribute(TextAttribute.SIZE, 12f, 3, 9);
            s.addAttribute(TextAttribute.FAMILY, Font.SERIF);
            g.drawString(s.getIterator(), 5, 30);
            Font f = new Font(Font.SERIF, Font.BOLD, 18);
            g.drawGlyphVector(f.createGlyphVector(g.getFontRenderContext(), "glyphs"), 10, 70);
            g.setFont(f.deriveFont(AffineTransform.getRotateInstance(0.4)));
            g.drawString("tilt", 60, 60);
        }));

        // Bad input: what Java 2D throws is thrown, what it ignores is ignored.
        add("null arguments that Java 2D ignores", EXACT, g -> {
            g.setColor(Color.RED);
            g.setColor(null);
            g.setPaint(null);
            g.setFont(null);
            g.drawImage(null, 0, 0, null);
            g.drawImage(null, 0, 0, 10, 10, null);
            g.drawImage((BufferedImage) null, null, 0, 0);
            g.drawRenderedImage(null, new AffineTransform());
            g.fillRect(10, 10, 20, 20);
        });
        add("NaN, infinite and empty shapes draw nothing", EDGES, aa(g -> {
            g.setColor(Color.RED);
            g.fill(new Rectangle2D.Double(Double.NaN, 10, 20, 20));
            g.fill(new Ellipse2D.Double(10, 10, Double.POSITIVE_INFINITY, 5));
            g.draw(new Line2D.Double(0, 0, Double.NaN, 50));
            g.fill(new Path2D.Double());
            g.fill(new Rectangle(10, 10, 0, 0));
            g.fillRect(10, 10, -5, 20);
            g.drawImage(new BufferedImage(5, 5, BufferedImage.TYPE_INT_ARGB), 0, 0, 0, 0, null);
            g.fillRect(50, 50, 10, 10);
        }));
        add("negative and zero sizes", EDGES, aa(g -> {
            g.setColor(Color.RED);
            g.fill(new Ellipse2D.Double(40, 40, -20, 20));
            g.fill(new Rectangle2D.Double(40, 40, -5, 5));
            g.fill(new RoundRectangle2D.Double(40, 40, 10, -5, 3, 3));
            g.fillOval(10, 10, -5, 5);
            g.drawOval(10, 10, 5, -5);
            g.drawRect(20, 20, -5, 5);
            g.fillRoundRect(30, 30, -4, 8, 2, 2);
            g.drawRoundRect(30, 30, 4, -8, 2, 2);
            g.fillArc(50, 50, -10, 10, 0, 90);
            g.drawArc(50, 50, 10, 10, 0, 0);
            g.drawRect(60, 60, 0, 10);
            g.drawRect(70, 60, 10, 0);
            g.drawOval(80, 80, 0, 0);
            g.drawLine(5, 80, 5, 80);
            g.drawPolyline(new int[] {90}, new int[] {90}, 1);
            g.setStroke(new BasicStroke(4, BasicStroke.CAP_ROUND, BasicStroke.JOIN_ROUND));
            g.draw(new Line2D.Double(20.3, 70.6, 20.3, 70.6));
            g.setStroke(new BasicStroke(3, BasicStroke.CAP_BUTT, BasicStroke.JOIN_ROUND));
            g.drawLine(30, 70, 30, 70);
        }));
        add("a point drawn aliased", EXACT, g -> {
            g.setColor(Color.BLUE);
            g.drawLine(5, 8, 5, 8);
            g.draw(new Line2D.Double(20, 20, 20, 20));
        });
        add("singular transform draws nothing", EXACT, g -> {
            g.setColor(Color.RED);
            g.scale(0, 1);
            g.fillRect(10, 10, 50, 50);
            g.drawImage(picture(BufferedImage.TYPE_INT_RGB), 0, 0, null);
            g.setTransform(new AffineTransform());
            g.fillRect(70, 70, 10, 10);
        });
        add("disposed graphics draws nothing", EXACT, g -> {
            Graphics2D c = (Graphics2D) g.create();
            c.dispose();
            c.setColor(Color.RED);
            c.fillRect(0, 0, 50, 50);
            c.dispose();
        });
        add("fill(null)", EXACT, g -> g.fill(null));
        add("draw(null)", EXACT, g -> g.draw(null));
        add("drawString(null)", EXACT, g -> g.drawString((String) null, 0, 0));
        add("drawString(null iterator)", EXACT,
                g -> g.drawString((java.text.AttributedCharacterIterator) null, 0, 0));
        add("drawString(empty)", EXACT, g -> g.drawString("", 0, 0));
        add("setComposite(null)", EXACT, g -> g.setComposite(null));
        add("setStroke(null)", EXACT, g -> g.setStroke(null));
        add("setTransform(null)", EXACT, g -> g.setTransform(null));
        add("transform(null)", EXACT, g -> g.transform(null));
        add("setRenderingHint with a wrong value", EXACT,
                g -> g.setRenderingHint(RenderingHints.KEY_ANTIALIASING,
                        RenderingHints.VALUE_RENDER_QUALITY));
        add("drawChars past the array", EXACT,
                g -> g.drawChars(new char[3], 2, 5, 0, 0));
        add("drawPolygon with more points than arrays", EXACT,
                g -> g.drawPolygon(new int[2], new int[2], 3));
        add("clip(null) after a clip", EXACT, g -> {
            g.clipRect(0, 0, 10, 10);
            g.clip(null);
        });
        add("hit", EXACT, g -> {
            g.translate(10, 10);
            if (!g.hit(new Rectangle(10, 10, 2, 2), new Rectangle(0, 0, 5, 5), false)) {
                g.fillRect(0, 0, 10, 10);
            }
            if (g.hit(new Rectangle(15, 15, 2, 2), new Rectangle(0, 0, 5, 5), true)) {
                g.fillRect(20, 20, 10, 10);
            }
        });
    }

    @TestFactory
    Stream<DynamicTest> drawsLikeJava2D() {
        return CASES.stream().map(c -> DynamicTest.dynamicTest(c.name(), () -> {
            Twin twin = Twin.draw(SIZE, SIZE, g -> {
                g.setComposite(AlphaComposite.Src);
                g.setColor(Color.WHITE);
                g.fillRect(0, 0, SIZE, SIZE);
                g.setComposite(AlphaComposite.SrcOver);
                c.drawing().accept(g);
            });
            assertEquals(Twin.name(twin.java2dThrew), Twin.name(twin.lumoThrew),
                    c.name() + ": what is thrown");
            PixelDiff d = twin.diff();
            twin.save(c.name());
            assertTrue(d.mean() <= c.tolerance()[0] && d.offShare() <= c.tolerance()[1],
                    c.name() + ": " + d);
        }));
    }

    /**
     * Surfaces refuse sizes Java 2D's images refuse; a closed surface and a disposed graphics
     * take every call silently, and graphics left to the cleaner free themselves.
     */
    @Test
    void lifetime() {
        for (int[] size : new int[][] {{0, 5}, {5, 0}, {-1, 5}}) {
            assertEquals(IllegalArgumentException.class,
                    Twin.thrown(() -> new BufferedImage(size[0], size[1],
                            BufferedImage.TYPE_INT_ARGB_PRE)).getClass());
            assertEquals(IllegalArgumentException.class,
                    Twin.thrown(() -> new LumoSurface(size[0], size[1])).getClass());
        }
        LumoSurface surface = new LumoSurface(8, 8);
        Graphics2D g = surface.createGraphics();
        Graphics2D copy = (Graphics2D) g.create();
        g.setColor(Color.RED);
        g.fillRect(0, 0, 8, 8);
        assertEquals(0xFFFF0000, surface.toImage().getRGB(3, 3));
        surface.close();
        g.fillRect(0, 0, 4, 4);
        g.drawImage(picture(BufferedImage.TYPE_INT_ARGB), 0, 0, null);
        g.setComposite(new SwapRedBlue());
        g.fillRect(0, 0, 4, 4);
        g.setXORMode(Color.WHITE);
        g.fillRect(0, 0, 4, 4);
        g.copyArea(0, 0, 4, 4, 2, 2);
        copy.drawString("after close", 0, 8);
        surface.close();
        g.dispose();
        g.dispose();
        copy.dispose();
        // More graphics than lumo has handles, none disposed: the cleaner must have deleted
        // their drawing objects for a new graphics to draw.
        try (LumoSurface s = new LumoSurface(16, 16)) {
            for (int i = 0; i < 1_200_000; i++) {
                s.createGraphics();
            }
            System.gc();
            Graphics2D last = null;
            for (int tries = 0; tries < 50; tries++) {
                last = s.createGraphics();
                last.setColor(Color.BLUE);
                last.fillRect(0, 0, 16, 16);
                if (s.toImage().getRGB(8, 8) == 0xFF0000FF) {
                    break;
                }
                System.gc();
                try {
                    Thread.sleep(100);
                } catch (InterruptedException e) {
                    Thread.currentThread().interrupt();
                }
            }
            assertEquals(0xFF0000FF, s.toImage().getRGB(8, 8), "a graphics made after many");
            last.dispose();
        }
    }

    /** The state a graphics answers with, after the same calls. */
    @Test
    void answersLikeJava2D() {
        BufferedImage image = new BufferedImage(SIZE, SIZE, BufferedImage.TYPE_INT_ARGB_PRE);
        Graphics2D j = image.createGraphics();
        try (LumoSurface surface = new LumoSurface(SIZE, SIZE)) {
            Graphics2D g = surface.createGraphics();
            assertSameState(j, g, "initial");
            for (Graphics2D x : new Graphics2D[] {j, g}) {
                x.translate(5, 7);
                x.scale(2, 3);
                x.clipRect(1, 2, 30, 20);
                x.setColor(Color.PINK);
                x.setBackground(Color.CYAN);
                x.setFont(new Font(Font.SERIF, Font.ITALIC, 17));
                x.setStroke(new BasicStroke(3));
                x.setRenderingHint(RenderingHints.KEY_ANTIALIASING,
                        RenderingHints.VALUE_ANTIALIAS_ON);
                x.setRenderingHint(RenderingHints.KEY_INTERPOLATION,
                        RenderingHints.VALUE_INTERPOLATION_BICUBIC);
            }
            assertSameState(j, g, "after setters");
            GradientPaint gradient = new GradientPaint(0, 0, Color.RED, 1, 1, Color.BLUE);
            for (Graphics2D x : new Graphics2D[] {j, g}) {
                x.rotate(0.5);
                x.clip(new Ellipse2D.Double(0, 0, 10, 10));
                x.setPaint(gradient);
                x.setRenderingHints(Map.of(RenderingHints.KEY_TEXT_ANTIALIASING,
                        RenderingHints.VALUE_TEXT_ANTIALIAS_ON));
            }
            assertSameState(j, g, "after a rotation and a shape clip");
            Graphics2D child = (Graphics2D) g.create();
            assertSameState(j, child, "a copy");
            // Hints are shared until changed: a change stays with the graphics that made it.
            child.setRenderingHint(RenderingHints.KEY_RENDERING,
                    RenderingHints.VALUE_RENDER_SPEED);
            assertSameState(j, g, "a graphics whose copy changed a hint");
            g.setRenderingHint(RenderingHints.KEY_DITHERING, RenderingHints.VALUE_DITHER_ENABLE);
            assertEquals(RenderingHints.VALUE_RENDER_SPEED,
                    child.getRenderingHint(RenderingHints.KEY_RENDERING));
            assertEquals(j.getRenderingHint(RenderingHints.KEY_DITHERING),
                    child.getRenderingHint(RenderingHints.KEY_DITHERING));
            Graphics2D fresh = surface.createGraphics();
            Graphics2D freshJ = image.createGraphics();
            assertSameState(freshJ, fresh, "a new graphics after others changed hints");
            fresh.dispose();
            freshJ.dispose();
            assertNotNull(g.getDeviceConfiguration());
            assertEquals(new Rectangle(0, 0, SIZE, SIZE), g.getDeviceConfiguration().getBounds());
            child.dispose();
            g.dispose();
        }
        j.dispose();
    }

    private static void assertSameState(Graphics2D j, Graphics2D g, String when) {
        assertEquals(j.getTransform(), g.getTransform(), when + ": transform");
        assertEquals(j.getColor(), g.getColor(), when + ": colour");
        assertEquals(j.getPaint(), g.getPaint(), when + ": paint");
        assertEquals(j.getBackground(), g.getBackground(), when + ": background");
        assertEquals(j.getFont(), g.getFont(), when + ": font");
        assertEquals(j.getStroke(), g.getStroke(), when + ": stroke");
        assertEquals(j.getComposite(), g.getComposite(), when + ": composite");
        assertEquals(j.getRenderingHints(), g.getRenderingHints(), when + ": hints");
        for (Object key : j.getRenderingHints().keySet()) {
            RenderingHints.Key k = (RenderingHints.Key) key;
            assertEquals(j.getRenderingHint(k), g.getRenderingHint(k), when + ": hint " + k);
        }
        assertEquals(j.getClipBounds(), g.getClipBounds(), when + ": clip bounds");
        Shape jc = j.getClip();
        Shape gc = g.getClip();
        assertEquals(jc == null, gc == null, when + ": clip");
        if (jc != null) {
            Area a = new Area(jc);
            a.exclusiveOr(new Area(gc));
            Rectangle2D left = a.getBounds2D();
            assertTrue(left.getWidth() < 1e-6 || left.getHeight() < 1e-6
                    || a.isEmpty(), when + ": clip " + left);
        }
        FontRenderContext jf = j.getFontRenderContext();
        FontRenderContext gf = g.getFontRenderContext();
        assertEquals(jf, gf, when + ": font render context");
        assertEquals(j.getFontMetrics().getHeight(), g.getFontMetrics().getHeight(),
                when + ": font metrics");
        assertEquals(j.getFontMetrics().stringWidth("Lumo metrics"),
                g.getFontMetrics().stringWidth("Lumo metrics"), when + ": string width");
    }

    /** A composite of its own: the source with red and blue exchanged, replacing the pixel. */
    private static final class SwapRedBlue implements Composite {
        @Override
        public CompositeContext createContext(ColorModel src, ColorModel dst,
                RenderingHints hints) {
            return new CompositeContext() {
                @Override
                public void compose(Raster source, Raster dstIn, WritableRaster dstOut) {
                    int w = Math.min(source.getWidth(), dstIn.getWidth());
                    int h = Math.min(source.getHeight(), dstIn.getHeight());
                    int[] s = new int[4];
                    int[] d = new int[4];
                    for (int y = 0; y < h; y++) {
                        for (int x = 0; x < w; x++) {
                            source.getPixel(source.getMinX() + x, source.getMinY() + y, s);
                            dstIn.getPixel(dstIn.getMinX() + x, dstIn.getMinY() + y, d);
                            d[0] = (s[2] + d[0]) / 2;
                            d[2] = (s[0] + d[2]) / 2;
                            dstOut.setPixel(dstOut.getMinX() + x, dstOut.getMinY() + y, d);
                        }
                    }
                }

                @Override
                public void dispose() {
                }
            };
        }
    }

    /** A paint of its own: diagonal stripes in device space. */
    private static final class Stripes implements Paint {
        @Override
        public PaintContext createContext(ColorModel cm, Rectangle deviceBounds,
                Rectangle2D userBounds, AffineTransform xform, RenderingHints hints) {
            ColorModel model = ColorModel.getRGBdefault();
            return new PaintContext() {
                @Override
                public void dispose() {
                }

                @Override
                public ColorModel getColorModel() {
                    return model;
                }

                @Override
                public Raster getRaster(int x, int y, int w, int h) {
                    WritableRaster r = model.createCompatibleWritableRaster(w, h);
                    int[] px = new int[w];
                    for (int j = 0; j < h; j++) {
                        for (int i = 0; i < w; i++) {
                            px[i] = ((x + i + y + j) / 6 % 2 == 0) ? 0xFF2060C0 : 0x80E0A020;
                        }
                        r.setDataElements(0, j, w, 1, px);
                    }
                    return r;
                }
            };
        }

        @Override
        public int getTransparency() {
            return TRANSLUCENT;
        }
    }
}
