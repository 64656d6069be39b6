package com.quarn.lumo.demo;

import java.awt.image.BufferedImage;
import java.util.List;

/** One tile of the gallery: a titled square that shows one feature of the library. */
interface Panel {
    String title();

    /** Draws the panel into its area of the device, through the library. */
    void draw(PanelArea area);

    /** Captions inside the panel, written with the titles once the device has been read. */
    default List<Label> labels() {
        return List.of();
    }

    /**
     * The same panel drawn with Java 2D into a new size x size image, or null when Java 2D has
     * nothing like it.
     */
    default BufferedImage drawJava2D(int size) {
        return null;
    }

    /** What the Java 2D gallery says in place of a panel it cannot draw. */
    default String java2dNote() {
        return "";
    }

    /** A caption whose baseline starts at (x, y) in panel coordinates. */
    record Label(int x, int y, String text) {
    }
}
