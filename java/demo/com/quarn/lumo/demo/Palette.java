package com.quarn.lumo.demo;

/** Opaque 0xAARRGGBB colours the drawing panels share. */
final class Palette {
    static final int PANEL = 0xFF262B36;
    static final int TRACK = 0xFF3A4254;
    static final int GUIDE = 0xFF6C7890;
    static final int LIGHT = 0xFFE6EAF2;
    static final int BLUE = 0xFF4C9BE8;
    static final int ORANGE = 0xFFF29A38;
    static final int GREEN = 0xFF6CC070;
    static final int RED = 0xFFE0524A;
    static final int YELLOW = 0xFFF2D04B;
    static final int PURPLE = 0xFFA77BE0;

    private Palette() {
    }
}
