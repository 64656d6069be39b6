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
import java.util.List;
import javax.imageio.ImageIO;

/**
 * Draws a gallery of panels onto a memory device through the library, reads the device back
 * and saves it as a PNG file.
 *
 * <p>Usage: {@code Demo [output.png]}; the default output is {@code build/lumo-demo.png}.
 */
public final class Demo {
    private static final int WIDTH = 512;
    private static final int HEIGHT = 384;
    private static final int COLUMNS = 3;
    private static final int PANEL = 160;
    private static final int GAP = 8;
    private static final int TITLE = 24;
    private static final int BACKGROUND = 0x1C1F26;

    private Demo() {
    }

    public static void main(String[] args) throws IOException {
        File output = new File(args.length > 0 ? args[0] : "build/lumo-demo.png");
        List<Panel> panels = BlitPanels.all();

        int hdc = MemoryDevice.create(WIDTH, HEIGHT);
        if (hdc == 0) {
            throw new IllegalStateException("could not create a " + WIDTH + "x" + HEIGHT
                    + " memory device");
        }
        int[] argb = new int[WIDTH * HEIGHT];
        BlitTimer timer = new BlitTimer();
        long drawTicks;
        try {
            long start = LUMO.queryPerformanceCounter();
            new PanelArea(hdc, timer, 0, 0, WIDTH, HEIGHT).fill(BACKGROUND);
            for (int i = 0; i < panels.size(); i++) {
                panels.get(i).draw(areaOf(hdc, timer, i));
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

        double drawMillis = drawTicks * 1000.0 / LUMO.queryPerformanceFrequency();
        System.out.printf("library: %s%n", NativeLibrary.source());
        System.out.printf("%d blits took %.3f ms (%d panels drawn in %.3f ms)%n", timer.blits(),
                timer.milliseconds(), panels.size(), drawMillis);
        System.out.printf("wrote %s%n", output.getAbsolutePath());
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
            g.setFont(new Font(Font.SANS_SERIF, Font.PLAIN, 12));
            g.setColor(new Color(0xDDE3EE));
            for (int i = 0; i < panels.size(); i++) {
                PanelArea area = areaOf(0, null, i);
                g.drawString(panels.get(i).title(), area.x, area.y - 7);
            }
        } finally {
            g.dispose();
        }
    }
}
