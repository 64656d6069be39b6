package com.quarn.lumo.demo;

import com.quarn.lumo.internal.LUMO;
import java.util.ArrayList;
import java.util.List;

/** A panel of composite rules, each drawing one shape onto another in its own target. */
final class CompositePanels {
    private static final int CELL = 62;
    private static final int PITCH = 65;
    private static final int[] RULES = {3, 4, 5, 7, 10, 12, 15, 16, 24};
    private static final String[] NAMES = {"src over", "dst over", "src in", "src out",
        "src atop", "xor", "multiply", "screen", "difference"};

    private CompositePanels() {
    }

    static List<Panel> all() {
        List<Panel.Label> labels = new ArrayList<>();
        for (int i = 0; i < RULES.length; i++) {
            labels.add(new Panel.Label(PITCH * (i % 3) + 3, PITCH * (i / 3) + CELL - 4,
                    NAMES[i]));
        }
        return List.of(new SimplePanel("Composite rules", CompositePanels::rules,
                labels.toArray(new Panel.Label[0])));
    }

    /**
     * Each cell starts transparent, gets a blue disc with source-over, then an orange square
     * with the cell's rule; transparent pixels show black on the device.
     */
    private static void rules(PanelArea area) {
        area.fill(Palette.PANEL & 0xFFFFFF);
        for (int i = 0; i < RULES.length; i++) {
            try (Target t = new Target(CELL, CELL, 0)) {
                LUMO.setPaint(t.g, Palette.BLUE);
                LUMO.fillOval(t.g, 5, 3, 34, 34);
                LUMO.setComposite(t.g, RULES[i], 1f);
                LUMO.setPaint(t.g, Palette.ORANGE);
                LUMO.fillRect(t.g, 22, 16, 34, 30);
                t.show(area, PITCH * (i % 3), PITCH * (i / 3));
            }
        }
    }
}
