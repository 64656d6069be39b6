package com.quarn.lumo.demo;

import java.awt.image.BufferedImage;
import java.util.List;
import java.util.function.Consumer;
import java.util.function.IntFunction;

/**
 * A panel made of a title, a drawing function, any captions and, where Java 2D has one, a
 * function that draws its Java 2D counterpart.
 */
final class SimplePanel implements Panel {
    private final String title;
    private final Consumer<PanelArea> drawing;
    private final List<Label> labels;
    private IntFunction<BufferedImage> java2d = size -> null;
    private String note = "";

    SimplePanel(String title, Consumer<PanelArea> drawing, Label... labels) {
        this.title = title;
        this.drawing = drawing;
        this.labels = List.of(labels);
    }

    static Label label(int x, int y, String text) {
        return new Label(x, y, text);
    }

    /** Draws the Java 2D counterpart with {@code drawing}, given the panel size. */
    SimplePanel java2d(IntFunction<BufferedImage> drawing) {
        java2d = drawing;
        return this;
    }

    /** Says what Java 2D lacks, in the Java 2D gallery. */
    SimplePanel lacking(String why) {
        note = why;
        return this;
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

    @Override
    public BufferedImage drawJava2D(int size) {
        return java2d.apply(size);
    }

    @Override
    public String java2dNote() {
        return note;
    }
}
