package com.quarn.lumo.bench;

import com.quarn.lumo.internal.NativeLibrary;
import java.awt.Graphics2D;
import java.awt.Rectangle;
import java.awt.image.BufferedImage;
import java.io.IOException;
import java.util.ArrayList;
import java.util.List;
import java.util.Locale;

/**
 * Times the library against Java 2D on the shared seeded scenes: filled and stroked shapes in
 * five paints (solid, linear and radial gradient, nearest and bilinear texture) at sizes 8,
 * 32, 128 and 256, and a picture drawn scaled with bilinear and bicubic filtering. Both
 * engines draw into a 512 x 512 premultiplied ARGB canvas with antialiasing and source-over;
 * Java 2D is a {@link Graphics2D} on a TYPE_INT_ARGB_PRE {@link BufferedImage} with its
 * default renderer.
 *
 * <p>Every case generates 1000 operations (100 for the image scenes) before timing. Drawing
 * all of them in every batch would make a full run take about half an hour on a small
 * machine (the 200-curve paths and the scaled images are slow in both engines), so by default
 * a batch draws only the first n of them, n being the largest of 1000, 500, 200, 100, 50, 20,
 * 10, 5, 2, 1 (at most the generated count) at which the slower engine takes about
 * {@code --target-ms} per batch, judged from a short untimed trial. The operations drawn are
 * the same for both engines and a prefix of the shared sequence; {@code --target-ms=0} draws
 * all of them. The canvas is cleared to white before each batch, outside the timing. The
 * engines alternate batch by batch (and swap which goes first every batch); after the warm-up
 * batches, the median of the timed ones is reported in milliseconds per 1000 operations,
 * with the ratio Java 2D / lumo. After every batch one pixel is read back, outside the
 * timing.
 * Before timing, the first operation of every scene, style and size is drawn by both engines
 * and the pictures are compared; a warning is printed when they differ clearly.
 *
 * <p>Command line: {@code SceneBench [csv-path] [options]}, the CSV path defaulting to
 * {@value BenchOptions#DEFAULT_CSV}. Options:
 * <ul>
 *   <li>{@code --batches=N}: timed batches per engine and case (default 5);</li>
 *   <li>{@code --warmup=N}: untimed batches before them (default 2);</li>
 *   <li>{@code --warmup-seconds=N}: how long every case is drawn by both engines, round
 *       after round, before the first is timed (default 20);</li>
 *   <li>{@code --target-ms=N}: the batch time that sets the operations per batch (default
 *       50; 0: every generated operation, 1000 or 100);</li>
 *   <li>{@code --clock=cpu|wall}: time batches by the drawing thread's CPU time (default,
 *       so that other work on a shared machine does not count) or by the wall clock;</li>
 *   <li>{@code --scenes=REGEX}: only scenes whose name contains a match (case-insensitive),
 *       for example {@code --scenes=FillRect|DrawImage};</li>
 *   <li>{@code --styles=REGEX}: only these styles (Solid, LinearGradient, RadialGradient,
 *       TextureNN, TextureBilinear; the image scenes have the style Image);</li>
 *   <li>{@code --sizes=8,32,...}: the shape sizes (default 8,32,128,256).</li>
 * </ul>
 */
public final class SceneBench {
    private static final int WHITE = PictureCheck.WHITE;
    /** Operations per batch the target time chooses from, largest first. */
    private static final int[] BATCH_SIZES = {1000, 500, 200, 100, 50, 20, 10, 5, 2, 1};
    private static final int TRIAL_OPERATIONS = 10;

    private final BenchOptions options;
    private final Java2DCanvas java = new Java2DCanvas(ShapeBatch.CANVAS, ShapeBatch.CANVAS);
    private final LumoCanvas lumo = new LumoCanvas(ShapeBatch.CANVAS, ShapeBatch.CANVAS, WHITE);
    private final ResultTable table = new ResultTable(System.out);
    private int warnings;
    /** Folds in the pixels read back after each batch, so that none of them is dead. */
    private int probe;

    private SceneBench(BenchOptions options) {
        this.options = options;
    }

    public static void main(String[] args) throws IOException {
        BenchOptions options;
        try {
            options = BenchOptions.parse(args);
        } catch (IllegalArgumentException e) {
            System.err.println("SceneBench: " + e.getMessage());
            System.exit(2);
            return;
        }
        new SceneBench(options).run();
    }

    private void run() throws IOException {
        NativeLibrary.load();
        if (!options.clock.available()) {
            System.out.println("thread CPU time is not available: timing by the wall clock");
            options.clock = BenchClock.WALL;
        }
        System.out.printf(Locale.ROOT, "lumo vs Java 2D (%s %s), canvas %d x %d, median of %d "
                + "batches after %d warm-up, ms per 1000 operations (%s time), batches of about %s%n",
                System.getProperty("java.vm.name"), System.getProperty("java.version"),
                ShapeBatch.CANVAS, ShapeBatch.CANVAS, options.batches, options.warmUp,
                options.clock == BenchClock.CPU ? "thread CPU" : "wall",
                options.targetMs == 0 ? "all operations" : options.targetMs + " ms");
        System.out.println("library: " + NativeLibrary.source());
        table.printHeader();

        BufferedImage javaTexture = Pictures.texture();
        BufferedImage javaPicture = Pictures.picture();
        try (LumoCanvas lumoTexture = LumoCanvas.of(javaTexture);
                LumoCanvas lumoPicture = LumoCanvas.of(javaPicture)) {
            List<Batch> batches = new ArrayList<>();
            for (Scene scene : Scene.values()) {
                for (Style style : Style.values()) {
                    if (!options.selects(scene.label, style.label)) {
                        continue;
                    }
                    for (int size : options.sizes) {
                        batches.add(new ShapeBatch(scene, style, size, javaTexture,
                                lumoTexture.image));
                    }
                }
            }
            for (ImageScene scene : ImageScene.values()) {
                if (options.selects(scene.label, "Image")) {
                    batches.add(new ImageBatch(scene, javaPicture, lumoPicture.image));
                }
            }
            warmUpAll(batches);
            for (Batch batch : batches) {
                measure(batch);
            }
        } finally {
            lumo.close();
        }

        table.printSummary();
        table.writeCsv(options.csv);
        System.out.printf("%nCSV written to %s; %d picture check warning(s); probe %08x%n",
                options.csv.toAbsolutePath(), warnings, probe);
    }

    /**
     * Draws every case with both engines, round after round, for {@code --warmup-seconds}
     * (at least one round), so that the JIT has compiled the code paths the cases share before
     * any of them is timed: Java 2D's renderer is Java code, and the per-case warm-up batches
     * alone leave it partly interpreted for the first cases of a run.
     */
    private void warmUpAll(List<Batch> batches) {
        long end = System.nanoTime() + options.warmUpSeconds * 1_000_000_000L;
        do {
            for (Batch batch : batches) {
                int n = Math.min(TRIAL_OPERATIONS, batch.operations());
                timeJava2D(batch, n);
                timeLumo(batch, n);
            }
        } while (System.nanoTime() < end);
    }

    private void measure(Batch batch) {
        PictureCheck.Result check = PictureCheck.run(batch, java, lumo);
        if (!check.passed()) {
            warnings++;
            System.out.printf(Locale.ROOT, "WARNING: %s %s %d: the engines' pictures differ by "
                    + "%.1f levels a channel (drawing contrast %.1f)%n", batch.scene(),
                    batch.style(), batch.size(), check.difference, check.contrast);
        }
        int n = operationsPerBatch(batch);
        double[] javaMs = new double[options.batches];
        double[] lumoMs = new double[options.batches];
        for (int run = -options.warmUp; run < options.batches; run++) {
            double j;
            double l;
            if ((run & 1) == 0) {
                j = timeJava2D(batch, n);
                l = timeLumo(batch, n);
            } else {
                l = timeLumo(batch, n);
                j = timeJava2D(batch, n);
            }
            if (run >= 0) {
                javaMs[run] = j;
                lumoMs[run] = l;
            }
        }
        table.add(new ResultTable.Row(batch.scene(), batch.style(), batch.size(), n,
                ResultTable.median(javaMs), ResultTable.median(lumoMs), check.difference,
                check.passed()));
    }

    /**
     * The operations a batch draws: all of them without a target time, otherwise the largest
     * of {@link #BATCH_SIZES} at which the slower engine takes about the target, from the
     * second of two untimed trials of {@value #TRIAL_OPERATIONS} operations each.
     */
    private int operationsPerBatch(Batch batch) {
        int all = batch.operations();
        if (options.targetMs == 0) {
            return all;
        }
        int trial = Math.min(TRIAL_OPERATIONS, all);
        double msPerOperation = 0;
        for (int i = 0; i < 2; i++) {
            msPerOperation = Math.max(timeJava2D(batch, trial), timeLumo(batch, trial)) / 1000;
        }
        for (int n : BATCH_SIZES) {
            if (n <= all && n * msPerOperation <= options.targetMs) {
                return n;
            }
        }
        return 1;
    }

    /** Milliseconds per 1000 operations of a Java 2D batch of the first n operations. */
    private double timeJava2D(Batch batch, int n) {
        java.clear(WHITE);
        Graphics2D g = java.begin();
        batch.prepareJava2D(g);
        long start = options.clock.nanos();
        batch.drawJava2D(g, 0, n);
        long elapsed = options.clock.nanos() - start;
        g.dispose();
        int[] at = probePoint(batch, n);
        probe = probe * 31 + java.pixel(at[0], at[1]);
        return elapsed / 1e6 * 1000 / n;
    }

    /** Milliseconds per 1000 operations of a library batch of the first n operations. */
    private double timeLumo(Batch batch, int n) {
        lumo.clear(WHITE);
        batch.prepareLumo(lumo.g);
        long start = options.clock.nanos();
        batch.drawLumo(lumo.g, 0, n);
        long elapsed = options.clock.nanos() - start;
        int[] at = probePoint(batch, n);
        probe = probe * 31 + lumo.pixel(at[0], at[1]);
        return elapsed / 1e6 * 1000 / n;
    }

    /** The centre of the bounds of the last of n operations, on the canvas. */
    private static int[] probePoint(Batch batch, int n) {
        Rectangle r = batch.bounds(n - 1);
        int x = Math.min(Math.max(r.x + r.width / 2, 0), ShapeBatch.CANVAS - 1);
        int y = Math.min(Math.max(r.y + r.height / 2, 0), ShapeBatch.CANVAS - 1);
        return new int[] {x, y};
    }
}
