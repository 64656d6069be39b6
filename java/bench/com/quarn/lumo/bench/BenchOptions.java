package com.quarn.lumo.bench;

import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Arrays;
import java.util.Locale;
import java.util.regex.Pattern;

/** The command line of {@link SceneBench}; see there for the options. */
final class BenchOptions {
    static final String DEFAULT_CSV = "build/bench-java2d.csv";

    Path csv = Paths.get(DEFAULT_CSV);
    int batches = 5;
    int warmUp = 2;
    /** Seconds all cases are drawn untimed before the first is measured. */
    int warmUpSeconds = 20;
    /** Milliseconds a batch of the slower engine should take; 0 draws every operation. */
    int targetMs = 50;
    BenchClock clock = BenchClock.CPU;
    Pattern scenes = Pattern.compile("");
    Pattern styles = Pattern.compile("");
    int[] sizes = {8, 32, 128, 256};

    static BenchOptions parse(String[] args) {
        BenchOptions options = new BenchOptions();
        for (String arg : args) {
            if (!arg.startsWith("--")) {
                options.csv = Paths.get(arg);
                continue;
            }
            int equals = arg.indexOf('=');
            if (equals < 0) {
                throw new IllegalArgumentException("option without a value: " + arg);
            }
            String name = arg.substring(2, equals);
            String value = arg.substring(equals + 1);
            switch (name) {
                case "batches":
                    options.batches = positive(name, value, 1);
                    break;
                case "warmup":
                    options.warmUp = positive(name, value, 0);
                    break;
                case "warmup-seconds":
                    options.warmUpSeconds = positive(name, value, 0);
                    break;
                case "target-ms":
                    options.targetMs = positive(name, value, 0);
                    break;
                case "clock":
                    options.clock = BenchClock.valueOf(value.toUpperCase(Locale.ROOT));
                    break;
                case "scenes":
                    options.scenes = Pattern.compile(value, Pattern.CASE_INSENSITIVE);
                    break;
                case "styles":
                    options.styles = Pattern.compile(value, Pattern.CASE_INSENSITIVE);
                    break;
                case "sizes":
                    options.sizes = Arrays.stream(value.split(","))
                            .mapToInt(s -> positive(name, s.trim(), 1)).toArray();
                    for (int size : options.sizes) {
                        if (size > ShapeBatch.CANVAS) {
                            throw new IllegalArgumentException("size above the canvas: " + size);
                        }
                    }
                    break;
                default:
                    throw new IllegalArgumentException("unknown option: " + arg);
            }
        }
        return options;
    }

    private static int positive(String name, String value, int least) {
        int n;
        try {
            n = Integer.parseInt(value);
        } catch (NumberFormatException e) {
            throw new IllegalArgumentException("--" + name + " needs a number: " + value, e);
        }
        if (n < least) {
            throw new IllegalArgumentException("--" + name + " must be at least " + least);
        }
        return n;
    }

    boolean selects(String scene, String style) {
        return scenes.matcher(scene).find() && styles.matcher(style).find();
    }
}
