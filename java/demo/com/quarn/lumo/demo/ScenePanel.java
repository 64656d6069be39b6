package com.quarn.lumo.demo;

import java.awt.image.BufferedImage;
import java.util.List;

/**
 * A panel described by a scene, drawn by the library into a render target and by Java 2D into
 * a buffered image. A panel whose scene Java 2D cannot draw at all is marked as lacking, and
 * the Java 2D gallery shows a note instead.
 */
final class ScenePanel implements Panel {
    private final String title;
    private final Scene scene;
    private final List<Label> labels;
    private String note;

    ScenePanel(String title, Scene scene, Label... labels) {
        this.title = title;
        this.scene = scene;
        this.labels = List.of(labels);
    }

    /** Leaves this panel out of the Java 2D gallery, saying why. */
    ScenePanel lacking(String why) {
        note = why;
        return this;
    }

    @Override
    public String title() {
        return title;
    }

    @Override
    public void draw(PanelArea area) {
        try (Target t = LumoRenderer.render(scene, area.width, area.height)) {
            t.show(area, 0, 0);
        }
    }

    @Override
    public List<Label> labels() {
        return labels;
    }

    @Override
    public BufferedImage drawJava2D(int size) {
        return note != null ? null : Java2DRenderer.render(scene, size, size);
    }

    @Override
    public String java2dNote() {
        return note == null ? "" : note;
    }
}
