package com.quarn.lumo.demo;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.MemoryDevice;
import com.quarn.lumo.internal.NativeLibrary;
import java.awt.Color;
import java.awt.Font;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.image.BufferedImage;
import java.io.File;
import java.io.IOException;
import java.util.ArrayList;
import java.util.List;
import javax.imageio.ImageIO;

/**
 * Draws a gallery of panels onto a memory device through the library, reads the device back
 * and saves it as a PNG file.
 *
 * <p>Usage: {@code Demo [output.png]}; the default output is {@code build/lumo-demo.png}.
 */
public final class Demo {
    private static final int COLUMNS = 6;
    private static final int ROWS = 5;
    /** Side of a panel's square area; the drawing panels are laid out for this size. */
    private static final int PANEL = 192;
    private static final int GAP = 8;
    private static final int TITLE = 24;
    private static final int WIDTH = GAP + COLUMNS * (PANEL + GAP);
    private static final int HEIGHT = ROWS * (TITLE + PANEL) + GAP;
    private static final int BACKGROUND = 0x1C1F26;

    private Demo() {
    }

    public static void main(String[] args) throws IOException {
        File output = new File(args.length > 0 ? args[0] : "build/lumo-demo.png");
        List<Panel> panels = new ArrayList<>();
        panels.addAll(ShapePanels.all());
        panels.addAll(PathPanels.all());
        panels.addAll(StrokePanels.all());
        panels.addAll(ClipPanels.all());
        panels.addAll(GradientPanels.all());
        panels.addAll(CompositePanels.all());
        panels.addAll(BlitPanels.all());
        panels.addAll(ImagePanels.all());
        panels.addAll(ImageDataPanels.all());
        panels.addAll(TexturePanels.all());
        panels.addAll(LinePatternPanels.all());
        if (panels.size() > COLUMNS * ROWS) {
            throw new IllegalStateException(panels.size() + " panels do not fit in "
                    + COLUMNS + " x " + ROWS);
        }

        int hdc = MemoryDevice.create(WIDTH, HEIGHT);
        if (hdc == 0) {
            throw new IllegalStateException("could not create a " + WIDTH + "x" + HEIGHT
                    + " memory device");
        }
        int[] argb = new int[WIDTH * HEIGHT];
        BlitTimer timer = new BlitTimer();
        long[] panelTicks = new long[panels.size()];
        long drawTicks;
        try {
            long start = LUMO.queryPerformanceCounter();
            new PanelArea(hdc, timer, 0, 0, WIDTH, HEIGHT).fill(BACKGROUND);
            for (int i = 0; i < panels.size(); i++) {
                long panelStart = LUMO.queryPerformanceCounter();
                panels.get(i).draw(areaOf(hdc, timer, i));
                panelTicks[i] = LUMO.queryPerformanceCounter() - panelStart;
            }
            drawTicks = LUMO.queryPerformanceCounter() - start;
            MemoryDevice.read(hdc, argb);
        } finally {
            MemoryDevice.delete(hdc);
        }

        BufferedImage image = new BufferedImage(WIDTH, HEIGHT, BufferedImage.TYPE_INT_ARGB);
        for (int i = 0; i < argb.length; i++) {
            // The device leaves the top byte as the source had it; show every pixel opaque.
            argb[i] |= 0xFF000000;
        }
        image.setRGB(0, 0, WIDTH, HEIGHT, argb, 0, WIDTH);
        try {
            drawTitles(image, panels);
        } catch (RuntimeException | LinkageError | InternalError e) {
            // Text needs system fonts; the pixels are what matters, so go on without titles.
            System.err.println("panel titles skipped, no usable font: " + e);
        }

        File parent = output.getAbsoluteFile().getParentFile();
        if (parent != null && !parent.isDirectory() && !parent.mkdirs()) {
            throw new IOException("cannot create directory " + parent);
        }
        if (!ImageIO.write(image, "png", output)) {
            throw new IOException("no PNG writer available");
        }

        double drawMillis = milliseconds(drawTicks);
        System.out.printf("library: %s%n", NativeLibrary.source());
        for (int i = 0; i < panels.size(); i++) {
            System.out.printf("  %-30s %8.3f ms%n", panels.get(i).title(),
                    milliseconds(panelTicks[i]));
        }
        System.out.printf("%d blits took %.3f ms (%d panels drawn in %.3f ms)%n", timer.blits(),
                timer.milliseconds(), panels.size(), drawMillis);
        System.out.printf("wrote %s%n", output.getAbsolutePath());
    }

    private static double milliseconds(long ticks) {
        return ticks * 1000.0 / LUMO.queryPerformanceFrequency();
    }

    private static PanelArea areaOf(int hdc, BlitTimer timer, int index) {
        int column = index % COLUMNS;
        int row = index / COLUMNS;
        int x = GAP + column * (PANEL + GAP);
        int y = TITLE + row * (PANEL + TITLE);
        return new PanelArea(hdc, timer, x, y, PANEL, PANEL);
    }

    private static void drawTitles(BufferedImage image, List<Panel> panels) {
        Graphics2D g = image.createGraphics();
        try {
            g.setRenderingHint(RenderingHints.KEY_TEXT_ANTIALIASING,
                    RenderingHints.VALUE_TEXT_ANTIALIAS_ON);
            Font titleFont = new Font(Font.SANS_SERIF, Font.PLAIN, 12);
            Font labelFont = new Font(Font.SANS_SERIF, Font.PLAIN, 10);
            Color titleColour = new Color(0xDDE3EE);
            Color labelColour = new Color(0xB4BDCC);
            for (int i = 0; i < panels.size(); i++) {
                PanelArea area = areaOf(0, null, i);
                g.setFont(titleFont);
                g.setColor(titleColour);
                g.drawString(panels.get(i).title(), area.x, area.y - 7);
                g.setFont(labelFont);
                g.setColor(labelColour);
                for (Panel.Label label : panels.get(i).labels()) {
                    g.drawString(label.text(), area.x + label.x(), area.y + label.y());
                }
            }
        } finally {
            g.dispose();
        }
    }
}
