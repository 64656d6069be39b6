package com.quarn.lumo.demo;

import java.util.List;
import java.util.function.Consumer;

/** A panel made of a title, a drawing function and any captions. */
final class SimplePanel implements Panel {
    private final String title;
    private final Consumer<PanelArea> drawing;
    private final List<Label> labels;

    SimplePanel(String title, Consumer<PanelArea> drawing, Label... labels) {
        this.title = title;
        this.drawing = drawing;
        this.labels = List.of(labels);
    }

    static Label label(int x, int y, String text) {
        return new Label(x, y, text);
    }

    @Override
    public String title() {
        return title;
    }

    @Override
    public void draw(PanelArea area) {
        drawing.accept(area);
    }

    @Override
    public List<Label> labels() {
        return labels;
    }
}
