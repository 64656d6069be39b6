package com.quarn.lumo.demo;

/** One tile of the gallery: a titled square that shows one feature of the library. */
interface Panel {
    String title();

    /** Draws the panel into its area of the device. */
    void draw(PanelArea area);
}
