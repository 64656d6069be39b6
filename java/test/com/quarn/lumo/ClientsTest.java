package com.quarn.lumo;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.quarn.lumo.demo.Clients;
import com.quarn.lumo.demo.PdfPages;
import com.quarn.lumo.demo.SvgFiles;
import java.awt.Graphics2D;
import java.util.ArrayList;
import java.util.Comparator;
import java.util.List;
import java.util.Map;
import org.junit.jupiter.api.Test;

/**
 * Real Java 2D programs drawn through lumo and through Java 2D: SVG files painted by Batik
 * (icons nobody here wrote and files of our own), JFreeChart charts and PDF pages rendered by
 * PDFBox. Every file must render
 * and the pictures must agree: per file the mean difference of premultiplied channels, and over
 * the corpus its median and 95th percentile.
 */
class ClientsTest {
    private static final int ICON_SIZE = 64;
    private static final int OWN_SIZE = 128;

    private record Result(String name, PixelDiff diff) {
    }

    private static Result compare(Clients.Drawing d, int width, int height) {
        Twin twin = Twin.draw(width, height, d::paint);
        assertEquals(Twin.name(twin.java2dThrew), Twin.name(twin.lumoThrew),
                d.name() + ": what is thrown");
        assertEquals("nothing", Twin.name(twin.lumoThrew), d.name() + " renders");
        twin.save(d.name());
        return new Result(d.name(), twin.diff());
    }

    private static double percentile(List<Result> results, double p) {
        double[] means = results.stream().mapToDouble(r -> r.diff().mean()).sorted().toArray();
        return means[(int) Math.min(means.length - 1, Math.floor(p * means.length))];
    }

    private static void report(String what, List<Result> results) {
        results.sort(Comparator.comparingDouble((Result r) -> r.diff().mean()).reversed());
        System.out.printf("%s: %d files, median mean difference %.3f, 95th percentile %.3f%n",
                what, results.size(), percentile(results, 0.5), percentile(results, 0.95));
        for (Result r : results.subList(0, Math.min(5, results.size()))) {
            System.out.println("  " + r.name() + ": " + r.diff());
        }
    }

    @Test
    void svgIconsLookAsInJava2D() {
        List<Result> results = new ArrayList<>();
        for (var file : Clients.icons(8)) {
            results.add(compare(Clients.svg(file, ICON_SIZE, ICON_SIZE), ICON_SIZE, ICON_SIZE));
        }
        assertTrue(results.size() >= 200, "icons found: " + results.size()
                + " (install bootstrap-icons)");
        report("bootstrap-icons", results);
        assertTrue(percentile(results, 0.5) < 1, "median mean difference");
        assertTrue(percentile(results, 0.95) < 3, "95th percentile of mean differences");
    }

    @Test
    void ownSvgFilesLookAsInJava2D() {
        List<Result> results = new ArrayList<>();
        for (Map.Entry<String, String> e : SvgFiles.all().entrySet()) {
            results.add(compare(Clients.svg(e.getKey(), e.getValue(), OWN_SIZE, OWN_SIZE),
                    OWN_SIZE, OWN_SIZE));
        }
        report("own SVG files", results);
        for (Result r : results) {
            assertTrue(r.diff().mean() < 3, r.name() + ": " + r.diff());
        }
        assertTrue(percentile(results, 0.5) < 1, "median mean difference");
    }

    @Test
    void pdfPagesLookAsInJava2D() {
        List<Result> results = new ArrayList<>();
        for (PdfPages.Page page : PdfPages.pages(600)) {
            results.add(compare(page, page.width(), page.height()));
        }
        report("PDFBox", results);
        for (Result r : results) {
            assertTrue(r.diff().mean() < 3, r.name() + ": " + r.diff());
        }
    }

    /**
     * Pages painted twice over: the second paint draws the glyphs PDFBox fills as shapes from
     * the images cached in the first.
     */
    @Test
    void repaintedPdfPagesLookAsInJava2D() {
        List<Result> results = new ArrayList<>();
        for (PdfPages.Page page : PdfPages.pages(600)) {
            Clients.Drawing twice = new Clients.Drawing() {
                @Override
                public String name() {
                    return page.name() + " repainted";
                }

                @Override
                public void paint(Graphics2D g) {
                    page.paint(g);
                    page.paint(g);
                }
            };
            results.add(compare(twice, page.width(), page.height()));
        }
        report("PDFBox repainted", results);
        for (Result r : results) {
            assertTrue(r.diff().mean() < 3, r.name() + ": " + r.diff());
        }
    }

    @Test
    void chartsLookAsInJava2D() {
        List<Result> results = new ArrayList<>();
        for (Clients.Chart chart : Clients.charts(400, 300)) {
            results.add(compare(chart, 400, 300));
        }
        report("JFreeChart", results);
        for (Result r : results) {
            assertTrue(r.diff().mean() < 3, r.name() + ": " + r.diff());
        }
    }
}
