package com.quarn.lumo.demo;

import java.awt.Color;
import java.awt.Font;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.geom.AffineTransform;
import java.awt.geom.Rectangle2D;
import java.io.IOException;
import java.io.StringReader;
import java.io.UncheckedIOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.stream.Stream;
import org.apache.batik.anim.dom.SAXSVGDocumentFactory;
import org.apache.batik.bridge.BridgeContext;
import org.apache.batik.bridge.DocumentLoader;
import org.apache.batik.bridge.GVTBuilder;
import org.apache.batik.bridge.UserAgentAdapter;
import org.apache.batik.bridge.ViewBox;
import org.apache.batik.gvt.GraphicsNode;
import org.apache.batik.util.XMLResourceDescriptor;
import org.jfree.chart.ChartFactory;
import org.jfree.chart.JFreeChart;
import org.jfree.chart.plot.PlotOrientation;
import org.jfree.data.category.DefaultCategoryDataset;
import org.jfree.data.general.DefaultPieDataset;
import org.jfree.data.xy.XYSeries;
import org.jfree.data.xy.XYSeriesCollection;
import org.w3c.dom.svg.SVGDocument;

/**
 * Drawings by programs nobody here wrote: SVG files rendered by Apache Batik (icons from the
 * Debian package bootstrap-icons and the files of {@link SvgFiles}), and JFreeChart charts. Each
 * paints onto any {@link Graphics2D}, so lumo and Java 2D can be set side by side.
 */
public final class Clients {
    /** Where Debian's bootstrap-icons package puts its SVG files. */
    public static final Path ICONS = Paths.get("/usr/share/bootstrap-icons/svg");

    static {
        // Batik warns on every group or filter it paints into an image's graphics without its
        // hint naming that image; with the hint it would convert its layers to the image's
        // colour model, which for a premultiplied target costs both engines more than the
        // layers do. The harness paints as Batik does without the hint, and quietly.
        if (System.getProperty("org.apache.batik.warn_destination") == null) {
            System.setProperty("org.apache.batik.warn_destination", "false");
        }
    }

    private Clients() {
    }

    /** Something a client paints into a w x h area at the origin. */
    public interface Drawing {
        String name();

        void paint(Graphics2D g);
    }

    /** An SVG document built once into Batik's tree, scaled to fit the area. */
    public static final class Svg implements Drawing {
        private final String name;
        private final GraphicsNode root;
        private final AffineTransform fit;

        Svg(String name, SVGDocument document, int width, int height) {
            this.name = name;
            UserAgentAdapter agent = new UserAgentAdapter();
            BridgeContext context = new BridgeContext(agent, new DocumentLoader(agent));
            root = new GVTBuilder().build(context, document);
            fit = ViewBox.getPreserveAspectRatioTransform(document.getRootElement(), width,
                    height, context);
        }

        @Override
        public String name() {
            return name;
        }

        /** Paints the tree as Batik's image transcoder does: antialiased, images bilinear. */
        @Override
        public void paint(Graphics2D g) {
            g.setRenderingHint(RenderingHints.KEY_ANTIALIASING,
                    RenderingHints.VALUE_ANTIALIAS_ON);
            g.setRenderingHint(RenderingHints.KEY_INTERPOLATION,
                    RenderingHints.VALUE_INTERPOLATION_BILINEAR);
            g.transform(fit);
            root.paint(g);
        }
    }

    /** An SVG file read and built into Batik's tree for a w x h area. */
    public static Svg svg(Path file, int width, int height) {
        try {
            SAXSVGDocumentFactory factory =
                    new SAXSVGDocumentFactory(XMLResourceDescriptor.getXMLParserClassName());
            SVGDocument document = factory.createSVGDocument(file.toUri().toString());
            return new Svg(file.getFileName().toString(), document, width, height);
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    /** An SVG text built into Batik's tree for a w x h area. */
    public static Svg svg(String name, String text, int width, int height) {
        try {
            SAXSVGDocumentFactory factory =
                    new SAXSVGDocumentFactory(XMLResourceDescriptor.getXMLParserClassName());
            SVGDocument document = factory.createSVGDocument("file:///" + name,
                    new StringReader(text));
            return new Svg(name, document, width, height);
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    /** Every {@code step}-th icon file in name order (none when the package is missing). */
    public static List<Path> icons(int step) {
        if (!Files.isDirectory(ICONS)) {
            return List.of();
        }
        try (Stream<Path> files = Files.list(ICONS)) {
            List<Path> all = files.filter(p -> p.toString().endsWith(".svg")).sorted().toList();
            List<Path> out = new ArrayList<>();
            for (int i = 0; i < all.size(); i += step) {
                out.add(all.get(i));
            }
            return out;
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    /** A chart drawn into the whole area. */
    public record Chart(String name, JFreeChart chart, int width, int height) implements Drawing {
        @Override
        public void paint(Graphics2D g) {
            chart.draw(g, new Rectangle2D.Double(0, 0, width, height));
        }
    }

    /** A line chart, a bar chart and a pie chart, each with a title, text and a legend. */
    public static List<Chart> charts(int width, int height) {
        XYSeriesCollection xy = new XYSeriesCollection();
        for (int s = 0; s < 3; s++) {
            XYSeries series = new XYSeries("Series " + (s + 1));
            for (int i = 0; i <= 20; i++) {
                series.add(i, 10 + s * 5 + 8 * Math.sin(i / (2.0 + s)) + i * 0.3 * s);
            }
            xy.addSeries(series);
        }
        JFreeChart line = ChartFactory.createXYLineChart("Readings over time", "Hour", "Value",
                xy, PlotOrientation.VERTICAL, true, false, false);

        DefaultCategoryDataset bars = new DefaultCategoryDataset();
        String[] quarters = {"Q1", "Q2", "Q3", "Q4"};
        String[] rows = {"North", "South", "West"};
        for (int r = 0; r < rows.length; r++) {
            for (int q = 0; q < quarters.length; q++) {
                bars.addValue(5 + (r * 7 + q * 3) % 11, rows[r], quarters[q]);
            }
        }
        JFreeChart bar = ChartFactory.createBarChart("Sales by quarter", "Quarter", "Units",
                bars, PlotOrientation.VERTICAL, true, false, false);

        DefaultPieDataset pie = new DefaultPieDataset();
        pie.setValue("Apples", 34);
        pie.setValue("Pears", 21);
        pie.setValue("Plums", 13);
        pie.setValue("Cherries", 8);
        JFreeChart pieChart = ChartFactory.createPieChart("Fruit", pie, true, false, false);
        pieChart.getTitle().setFont(new Font(Font.SANS_SERIF, Font.BOLD, 16));
        pieChart.setBackgroundPaint(new Color(0xF4F1EA));

        return List.of(new Chart("line chart", line, width, height),
                new Chart("bar chart", bar, width, height),
                new Chart("pie chart", pieChart, width, height));
    }
}
