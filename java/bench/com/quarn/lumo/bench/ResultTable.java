package com.quarn.lumo.bench;

import java.io.IOException;
import java.io.PrintStream;
import java.io.PrintWriter;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;

/**
 * The timings of a run: printed row by row as they come, then summarised per scene and style
 * (the median ratio over sizes), and written as CSV.
 */
final class ResultTable {
    /** The size whose ratio the summary shows beside the median. */
    static final int KEY_SIZE = 128;

    /** One scene, style and size: milliseconds per 1000 operations of each engine. */
    static final class Row {
        final String scene;
        final String style;
        final int size;
        /** Operations drawn per batch. */
        final int operations;
        final double java2dMs;
        final double lumoMs;
        final double checkDifference;
        final boolean checkPassed;

        Row(String scene, String style, int size, int operations, double java2dMs, double lumoMs,
                double checkDifference, boolean checkPassed) {
            this.scene = scene;
            this.style = style;
            this.size = size;
            this.operations = operations;
            this.java2dMs = java2dMs;
            this.lumoMs = lumoMs;
            this.checkDifference = checkDifference;
            this.checkPassed = checkPassed;
        }

        double ratio() {
            return java2dMs / lumoMs;
        }
    }

    private final List<Row> rows = new ArrayList<>();
    private final PrintStream out;

    ResultTable(PrintStream out) {
        this.out = out;
    }

    void printHeader() {
        out.printf("%-18s %-16s %5s %5s %12s %12s %9s%n", "scene", "style", "size", "ops",
                "Java2D ms", "lumo ms", "J2D/lumo");
    }

    void add(Row row) {
        rows.add(row);
        out.printf(Locale.ROOT, "%-18s %-16s %5d %5d %12.3f %12.3f %9.2f%s%n", row.scene,
                row.style, row.size, row.operations, row.java2dMs, row.lumoMs, row.ratio(),
                row.checkPassed ? "" : "  (check failed)");
        out.flush();
    }

    /** The median ratio over sizes of every scene and style, and the ratio at 128 pixels. */
    void printSummary() {
        Map<String, List<Row>> groups = new LinkedHashMap<>();
        for (Row row : rows) {
            groups.computeIfAbsent(row.scene + " " + row.style, k -> new ArrayList<>()).add(row);
        }
        out.println();
        out.println("Median Java2D / lumo over sizes (and at " + KEY_SIZE + " px)");
        out.printf("%-18s %-16s %9s %9s%n", "scene", "style", "median", "@" + KEY_SIZE);
        for (List<Row> group : groups.values()) {
            double[] ratios = group.stream().mapToDouble(Row::ratio).sorted().toArray();
            String atKey = group.stream().filter(r -> r.size == KEY_SIZE).findFirst()
                    .map(r -> String.format(Locale.ROOT, "%.2f", r.ratio())).orElse("-");
            out.printf(Locale.ROOT, "%-18s %-16s %9.2f %9s%n", group.get(0).scene,
                    group.get(0).style, median(ratios), atKey);
        }
    }

    static double median(double[] sorted) {
        double[] values = sorted.clone();
        Arrays.sort(values);
        int n = values.length;
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

    void writeCsv(Path path) throws IOException {
        Path parent = path.toAbsolutePath().getParent();
        if (parent != null) {
            Files.createDirectories(parent);
        }
        try (PrintWriter csv = new PrintWriter(Files.newBufferedWriter(path,
                StandardCharsets.UTF_8))) {
            csv.println("scene,style,size,operations_per_batch,java2d_ms_per_1000,"
                    + "lumo_ms_per_1000,ratio_java2d_over_lumo,check_difference,check_passed");
            for (Row row : rows) {
                csv.printf(Locale.ROOT, "%s,%s,%d,%d,%.4f,%.4f,%.3f,%.2f,%b%n", row.scene,
                        row.style, row.size, row.operations, row.java2dMs, row.lumoMs, row.ratio(), row.checkDifference,
                        row.checkPassed);
            }
        }
    }
}
