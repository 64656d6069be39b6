package com.quarn.lumo.demo;

import com.quarn.lumo.internal.LUMO;
import com.quarn.lumo.internal.MemoryDevice;
import com.quarn.lumo.internal.NativeLibrary;
import java.awt.Color;
import java.awt.Font;
import java.awt.FontMetrics;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.image.BufferedImage;
import java.io.File;
import java.io.IOException;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import javax.imageio.ImageIO;

/**
 * Draws the gallery twice: through the library onto a memory device, which is read back, and
 * with Java 2D, panel by panel from the same descriptions, and saves both as PNG files.
 *
 * <p>Usage: {@code Demo [lumo.png [java2d.png [clients.png]]]}; the defaults are
 * {@code build/lumo-demo.png}, {@code build/java2d-demo.png} and {@code build/clients-demo.png},
 * the last a picture of Batik's SVG files and JFreeChart's charts drawn through lumo's
 * Graphics2D beside Java 2D.
 */
public final class Demo {
    private static final int COLUMNS = 8;
    /** Side of a panel's square area; the drawing panels are laid out for this size. */
    private static final int PANEL = 192;
    private static final int GAP = 8;
    private static final int TITLE = 24;
    private static final int WIDTH = GAP + COLUMNS * (PANEL + GAP);
    private static final int BACKGROUND = 0x1C1F26;
    private static final int ROUNDS = 5;

    private Demo() {
    }

    public static void main(String[] args) throws IOException {
        File lumoOutput = new File(args.length > 0 ? args[0] : "build/lumo-demo.png");
        File java2dOutput = new File(args.length > 1 ? args[1] : "build/java2d-demo.png");
        File clientsOutput = new File(args.length > 2 ? args[2] : "build/clients-demo.png");
        List<Panel> panels = new ArrayList<>();
        panels.addAll(ShapePanels.all());
        panels.addAll(PathPanels.all());
        panels.addAll(TextPanels.all());
        panels.addAll(TransformPanels.all());
        panels.addAll(StrokePanels.all());
        panels.addAll(ClipPanels.all());
        panels.addAll(GradientPanels.all());
        panels.addAll(CompositePanels.all());
        panels.addAll(TexturePanels.all());
        panels.addAll(ImagePanels.all());
        panels.addAll(FilterPanels.all());
        panels.addAll(ImageDataPanels.all());
        panels.addAll(LinePatternPanels.all());
        panels.addAll(PixelOpPanels.all());
        panels.addAll(BlitPanels.all());
        int rows = (panels.size() + COLUMNS - 1) / COLUMNS;
        int height = rows * (TITLE + PANEL) + GAP;

        // Each gallery is drawn several times and each panel's shortest time kept, which
        // leaves out loading classes, compiling code and pauses of other work on the machine.
        long[] lumoTicks = new long[panels.size()];
        long[] java2dNanos = new long[panels.size()];
        Arrays.fill(lumoTicks, Long.MAX_VALUE);
        Arrays.fill(java2dNanos, Long.MAX_VALUE);
        BlitTimer timer = null;
        BufferedImage lumo = null;
        BufferedImage java2d = null;
        for (int round = 0; round < ROUNDS; round++) {
            timer = new BlitTimer();
            lumo = drawWithLibrary(panels, height, timer, lumoTicks);
            java2d = drawWithJava2D(panels, height, java2dNanos);
        }
        try {
            drawTitles(lumo, panels, null);
            drawTitles(java2d, panels, java2dNanos);
        } catch (RuntimeException | LinkageError | InternalError e) {
            // Text needs system fonts; the pixels are what matters, so go on without titles.
            System.err.println("panel titles skipped, no usable font: " + e);
        }
        write(lumo, lumoOutput);
        write(java2d, java2dOutput);

        System.out.printf("library: %s%n", NativeLibrary.source());
        System.out.printf("  %-32s %10s %10s%n", "panel", "lumo ms", "Java 2D ms");
        double lumoTotal = 0;
        double java2dTotal = 0;
        for (int i = 0; i < panels.size(); i++) {
            double l = milliseconds(lumoTicks[i]);
            lumoTotal += l;
            String j = "-";
            if (java2dNanos[i] >= 0) {
                java2dTotal += java2dNanos[i] / 1e6;
                j = String.format("%10.3f", java2dNanos[i] / 1e6);
            }
            System.out.printf("  %-32s %10.3f %10s%n", panels.get(i).title(), l, j);
        }
        System.out.printf("  %-32s %10.3f %10.3f%n", "all panels", lumoTotal, java2dTotal);
        System.out.printf("%d blits to the device took %.3f ms%n", timer.blits(),
                timer.milliseconds());
        System.out.printf("wrote %s%n", lumoOutput.getAbsolutePath());
        System.out.printf("wrote %s%n", java2dOutput.getAbsolutePath());

        ClientsPicture.write(clientsOutput);
        System.out.printf("wrote %s%n", clientsOutput.getAbsolutePath());
    }

    /**
     * Every panel through the library onto one memory device, read back opaque; each panel's
     * time goes into {@code ticks} when shorter than what is there.
     */
    private static BufferedImage drawWithLibrary(List<Panel> panels, int height,
            BlitTimer timer, long[] ticks) {
        int hdc = MemoryDevice.create(WIDTH, height);
        if (hdc == 0) {
            throw new IllegalStateException("could not create a " + WIDTH + "x" + height
                    + " memory device");
        }
        int[] argb = new int[WIDTH * height];
        try {
            new PanelArea(hdc, timer, 0, 0, WIDTH, height).fill(BACKGROUND);
            for (int i = 0; i < panels.size(); i++) {
                long start = LUMO.queryPerformanceCounter();
                panels.get(i).draw(areaOf(hdc, timer, i));
                ticks[i] = Math.min(ticks[i], LUMO.queryPerformanceCounter() - start);
            }
            MemoryDevice.read(hdc, argb);
        } finally {
            MemoryDevice.delete(hdc);
        }
        BufferedImage image = new BufferedImage(WIDTH, height, BufferedImage.TYPE_INT_RGB);
        image.setRGB(0, 0, WIDTH, height, argb, 0, WIDTH);
        return image;
    }

    /**
     * Every panel drawn by Java 2D into its own image, then put in its place, its time kept
     * like the library's; a panel Java 2D cannot draw gets a plain tile and a time of -1.
     */
    private static BufferedImage drawWithJava2D(List<Panel> panels, int height, long[] nanos) {
        BufferedImage image = new BufferedImage(WIDTH, height, BufferedImage.TYPE_INT_RGB);
        Graphics2D g = image.createGraphics();
        try {
            g.setColor(new Color(BACKGROUND));
            g.fillRect(0, 0, WIDTH, height);
            for (int i = 0; i < panels.size(); i++) {
                PanelArea area = areaOf(0, null, i);
                long start = System.nanoTime();
                BufferedImage panel = panels.get(i).drawJava2D(PANEL);
                if (panel != null) {
                    g.drawImage(panel, area.x, area.y, null);
                    nanos[i] = Math.min(nanos[i], System.nanoTime() - start);
                } else {
                    nanos[i] = -1;
                    g.setColor(new Color(Palette.PANEL, true));
                    g.fillRect(area.x, area.y, PANEL, PANEL);
                    g.setColor(new Color(Palette.TRACK, true));
                    g.drawRect(area.x + 6, area.y + 6, PANEL - 13, PANEL - 13);
                }
            }
        } finally {
            g.dispose();
        }
        return image;
    }

    private static void write(BufferedImage image, File output) throws IOException {
        File parent = output.getAbsoluteFile().getParentFile();
        if (parent != null && !parent.isDirectory() && !parent.mkdirs()) {
            throw new IOException("cannot create directory " + parent);
        }
        if (!ImageIO.write(image, "png", output)) {
            throw new IOException("no PNG writer available");
        }
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

    /**
     * Titles above the panels and captions inside them; in the Java 2D gallery (given its
     * times) a panel it could not draw says so instead of carrying captions.
     */
    private static void drawTitles(BufferedImage image, List<Panel> panels, long[] java2dNanos) {
        Graphics2D g = image.createGraphics();
        try {
            g.setRenderingHint(RenderingHints.KEY_TEXT_ANTIALIASING,
                    RenderingHints.VALUE_TEXT_ANTIALIAS_ON);
            Font titleFont = new Font(Font.SANS_SERIF, Font.BOLD, 12);
            Font labelFont = new Font(Font.SANS_SERIF, Font.PLAIN, 10);
            Font noteFont = new Font(Font.SANS_SERIF, Font.PLAIN, 11);
            Color titleColour = new Color(0xDDE3EE);
            Color labelColour = new Color(0xB4BDCC);
            for (int i = 0; i < panels.size(); i++) {
                Panel panel = panels.get(i);
                PanelArea area = areaOf(0, null, i);
                g.setFont(titleFont);
                g.setColor(titleColour);
                g.drawString(panel.title(), area.x, area.y - 7);
                if (java2dNanos != null && java2dNanos[i] < 0) {
                    g.setFont(titleFont);
                    centred(g, "not available in Java 2D", area, 84);
                    g.setFont(noteFont);
                    g.setColor(labelColour);
                    int y = 106;
                    for (String line : wrap(panel.java2dNote(), g.getFontMetrics(), PANEL - 24)) {
                        centred(g, line, area, y);
                        y += 15;
                    }
                    continue;
                }
                g.setFont(labelFont);
                g.setColor(labelColour);
                for (Panel.Label label : panel.labels()) {
                    g.drawString(label.text(), area.x + label.x(), area.y + label.y());
                }
            }
        } finally {
            g.dispose();
        }
    }

    private static void centred(Graphics2D g, String text, PanelArea area, int y) {
        int w = g.getFontMetrics().stringWidth(text);
        g.drawString(text, area.x + (area.width - w) / 2, area.y + y);
    }

    /** The words of {@code text} in lines no wider than {@code width}. */
    private static List<String> wrap(String text, FontMetrics metrics, int width) {
        List<String> lines = new ArrayList<>();
        StringBuilder line = new StringBuilder();
        for (String word : text.split("\\s+")) {
            if (word.isEmpty()) {
                continue;
            }
            if (line.length() > 0
                    && metrics.stringWidth(line + " " + word) > width) {
                lines.add(line.toString());
                line.setLength(0);
            }
            line.append(line.length() > 0 ? " " : "").append(word);
        }
        if (line.length() > 0) {
            lines.add(line.toString());
        }
        return lines;
    }
}
