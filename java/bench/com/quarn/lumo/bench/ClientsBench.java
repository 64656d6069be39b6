package com.quarn.lumo.bench;

import com.quarn.lumo.LumoSurface;
import com.quarn.lumo.demo.Clients;
import com.quarn.lumo.demo.PdfPages;
import com.quarn.lumo.demo.SvgFiles;
import java.awt.Graphics2D;
import java.awt.image.BufferedImage;
import java.io.IOException;
import java.io.PrintWriter;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Locale;
import java.util.Map;

/**
 * Paint time of real clients, Java 2D against lumo's Graphics2D in one JVM after a warm-up:
 * Batik trees built once from SVG files (files of our own and bootstrap icons, painted large),
 * JFreeChart's {@code draw} of line, bar and pie charts, and PDFBox rendering PDF pages. Each
 * drawing is painted in rounds of repeated paints into a premultiplied ARGB image and into a
 * lumo surface, both cleared before each paint; the median round counts. Prints a table and writes CSV.
 *
 * <p>Usage: {@code ClientsBench [out.csv] [--groups=chart,pdf]}; {@code --groups} times only the
 * groups named (svg, icon, chart, pdf).
 */
public final class ClientsBench {
    private static final int SVG_SIZE = 512;
    private static final int CHART_WIDTH = 800;
    private static final int CHART_HEIGHT = 600;
    private static final int ROUNDS = 7;
    /** Each round lasts about this long, so that short paints are repeated enough. */
    private static final long ROUND_NANOS = 100_000_000L;

    private ClientsBench() {
    }

    private record Item(String group, Clients.Drawing drawing, int width, int height) {
    }

    private record Row(String group, String name, double java2dMs, double lumoMs) {
        double ratio() {
            return java2dMs / lumoMs;
        }
    }

    public static void main(String[] args) throws IOException {
        Path csv = Paths.get("build/bench-clients.csv");
        List<String> groups = List.of("svg", "icon", "chart", "pdf");
        for (String arg : args) {
            if (arg.startsWith("--groups=")) {
                groups = Arrays.asList(arg.substring("--groups=".length()).split(","));
            } else {
                csv = Paths.get(arg);
            }
        }
        List<Item> items = new ArrayList<>();
        if (groups.contains("svg")) {
            for (Map.Entry<String, String> e : SvgFiles.all().entrySet()) {
                items.add(new Item("svg", Clients.svg(e.getKey(), e.getValue(), SVG_SIZE,
                        SVG_SIZE), SVG_SIZE, SVG_SIZE));
            }
        }
        if (groups.contains("icon")) {
            for (var file : Clients.icons(100)) {
                items.add(new Item("icon", Clients.svg(file, SVG_SIZE, SVG_SIZE), SVG_SIZE,
                        SVG_SIZE));
            }
        }
        if (groups.contains("chart")) {
            for (Clients.Chart c : Clients.charts(CHART_WIDTH, CHART_HEIGHT)) {
                items.add(new Item("chart", c, CHART_WIDTH, CHART_HEIGHT));
            }
        }
        if (groups.contains("pdf")) {
            for (PdfPages.Page page : PdfPages.pages(CHART_WIDTH)) {
                items.add(new Item("pdf", page, page.width(), page.height()));
            }
        }
        BenchClock clock = BenchClock.CPU.available() ? BenchClock.CPU : BenchClock.WALL;
        List<Row> rows = new ArrayList<>();
        System.out.printf("%-6s %-28s %12s %12s %8s%n", "group", "drawing", "Java 2D ms",
                "lumo ms", "ratio");
        for (Item item : items) {
            BufferedImage image = new BufferedImage(item.width(), item.height(),
                    BufferedImage.TYPE_INT_ARGB_PRE);
            try (LumoSurface surface = new LumoSurface(item.width(), item.height())) {
                Painter java2d = () -> {
                    Graphics2D g = image.createGraphics();
                    g.setComposite(java.awt.AlphaComposite.Clear);
                    g.fillRect(0, 0, item.width(), item.height());
                    g.setComposite(java.awt.AlphaComposite.SrcOver);
                    item.drawing().paint(g);
                    g.dispose();
                };
                Painter lumo = () -> {
                    surface.clear(0);
                    Graphics2D g = surface.createGraphics();
                    item.drawing().paint(g);
                    g.dispose();
                };
                // Warm-up: both paths compiled before any round is timed.
                time(java2d, clock);
                time(lumo, clock);
                double[] j = new double[ROUNDS];
                double[] l = new double[ROUNDS];
                for (int r = 0; r < ROUNDS; r++) {
                    j[r] = time(java2d, clock);
                    l[r] = time(lumo, clock);
                }
                Row row = new Row(item.group(), item.drawing().name(), median(j), median(l));
                rows.add(row);
                System.out.printf(Locale.ROOT, "%-6s %-28s %12.3f %12.3f %8.2f%n", row.group(),
                        row.name(), row.java2dMs(), row.lumoMs(), row.ratio());
            }
        }
        for (String group : new String[] {"svg", "icon", "chart", "pdf"}) {
            double[] ratios = rows.stream().filter(r -> r.group().equals(group))
                    .mapToDouble(Row::ratio).toArray();
            if (ratios.length > 0) {
                System.out.printf(Locale.ROOT, "%s: median Java 2D / lumo %.2f over %d%n", group,
                        median(ratios), ratios.length);
            }
        }
        write(csv, rows);
        System.out.println("wrote " + csv.toAbsolutePath());
    }

    private interface Painter {
        void paint();
    }

    /** Milliseconds a paint takes, over as many paints as fill one round. */
    private static double time(Painter p, BenchClock clock) {
        int n = 0;
        long start = clock.nanos();
        long now;
        do {
            p.paint();
            n++;
            now = clock.nanos();
        } while (now - start < ROUND_NANOS);
        return (now - start) / 1e6 / n;
    }

    private static double median(double[] values) {
        double[] v = values.clone();
        Arrays.sort(v);
        return v[v.length / 2];
    }

    private static void write(Path path, List<Row> rows) throws IOException {
        if (path.getParent() != null) {
            Files.createDirectories(path.getParent());
        }
        try (PrintWriter out = new PrintWriter(Files.newBufferedWriter(path))) {
            out.println("group,drawing,java2d_ms,lumo_ms,java2d_over_lumo");
            for (Row r : rows) {
                out.printf(Locale.ROOT, "%s,%s,%.4f,%.4f,%.3f%n", r.group(), r.name(),
                        r.java2dMs(), r.lumoMs(), r.ratio());
            }
        }
    }
}
