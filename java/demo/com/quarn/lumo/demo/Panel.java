package com.quarn.lumo.demo;

import java.util.List;

/** One tile of the gallery: a titled square that shows one feature of the library. */
interface Panel {
    String title();

    /** Draws the panel into its area of the device. */
    void draw(PanelArea area);

    /** Captions inside the panel, written with the titles once the device has been read. */
    default List<Label> labels() {
        return List.of();
    }

    /** A caption whose baseline starts at (x, y) in panel coordinates. */
    record Label(int x, int y, String text) {
    }
}
