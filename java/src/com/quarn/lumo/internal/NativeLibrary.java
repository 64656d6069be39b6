package com.quarn.lumo.internal;

import java.io.File;

/**
 * Loads the native rendering library once per class loader.
 *
 * <p>The library is looked up in this order:
 * <ol>
 *   <li>the file named by the system property {@value #PATH_PROPERTY}, when it is set;</li>
 *   <li>{@code build/liblumo.so} (the platform's name for {@code lumo}) relative to the
 *       working directory, when that file exists;</li>
 *   <li>{@link System#loadLibrary(String)} with the name {@code lumo}, which searches
 *       {@code java.library.path}.</li>
 * </ol>
 */
public final class NativeLibrary {
    /** System property holding the full path of the library file. */
    public static final String PATH_PROPERTY = "lumo.library.path";

    /** Base name of the library, without platform prefix or suffix. */
    public static final String NAME = "lumo";

    private static volatile boolean loaded;
    private static String source;

    private NativeLibrary() {
    }

    /**
     * Loads the library unless it is already loaded. Safe to call from any thread and any
     * number of times. A failed attempt throws {@link UnsatisfiedLinkError} and leaves the
     * loader ready to try again.
     */
    public static void load() {
        if (loaded) {
            return;
        }
        synchronized (NativeLibrary.class) {
            if (loaded) {
                return;
            }
            String path = System.getProperty(PATH_PROPERTY);
            if (path != null && !path.isEmpty()) {
                String absolute = new File(path).getAbsolutePath();
                System.load(absolute);
                source = absolute;
            } else {
                File local = new File("build", System.mapLibraryName(NAME)).getAbsoluteFile();
                if (local.isFile()) {
                    System.load(local.getPath());
                    source = local.getPath();
                } else {
                    System.loadLibrary(NAME);
                    source = "java.library.path (" + System.mapLibraryName(NAME) + ")";
                }
            }
            loaded = true;
        }
    }

    /** Where the library was loaded from, or {@code null} before the first successful load. */
    public static synchronized String source() {
        return source;
    }
}
