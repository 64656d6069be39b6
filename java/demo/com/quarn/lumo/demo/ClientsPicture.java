package com.quarn.lumo.demo;

import com.quarn.lumo.LumoSurface;
import java.awt.Color;
import java.awt.Font;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.image.BufferedImage;
import java.io.File;
import java.io.IOException;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import javax.imageio.ImageIO;

/**
 * A picture of real clients drawing through lumo's Graphics2D: SVG files painted by Batik,
 * JFreeChart charts and PDF pages rendered by PDFBox, each drawn by lumo (left) beside Java 2D
 * (right).
 */
final class ClientsPicture {
    private static final int GAP = 12;
    private static final int LABEL = 18;
    private static final int SVG = 128;
    private static final int ICON = 64;
    private static final int CHART_WIDTH = 320;
    private static final int CHART_HEIGHT = 240;

    private ClientsPicture() {
    }

    private record Cell(Clients.Drawing drawing, int width, int height) {
    }

    static void write(File output) throws IOException {
        List<List<Cell>> rows = new ArrayList<>();
        List<Cell> own = new ArrayList<>();
        for (Map.Entry<String, String> e : SvgFiles.all().entrySet()) {
            own.add(new Cell(Clients.svg(e.getKey(), e.getValue(), SVG, SVG), SVG, SVG));
        }
        rows.add(own);
        List<Cell> icons = new ArrayList<>();
        for (var file : Clients.icons(160)) {
            icons.add(new Cell(Clients.svg(file, ICON, ICON), ICON, ICON));
        }
        rows.add(icons);
        List<Cell> charts = new ArrayList<>();
        for (Clients.Chart c : Clients.charts(CHART_WIDTH, CHART_HEIGHT)) {
            charts.add(new Cell(c, CHART_WIDTH, CHART_HEIGHT));
        }
        rows.add(charts);
        List<Cell> pages = new ArrayList<>();
        for (PdfPages.Page page : PdfPages.pages(CHART_WIDTH)) {
            pages.add(new Cell(page, page.width(), page.height()));
        }
        rows.add(pages);

        int width = 0;
        int height = GAP;
        for (List<Cell> row : rows) {
            int w = GAP;
            int h = 0;
            for (Cell c : row) {
                w += 2 * c.width() + GAP / 2 + GAP;
                h = Math.max(h, c.height());
            }
            width = Math.max(width, w);
            height += LABEL + h + GAP;
        }
        BufferedImage picture = new BufferedImage(width, height, BufferedImage.TYPE_INT_RGB);
        Graphics2D g = picture.createGraphics();
        g.setColor(Color.WHITE);
        g.fillRect(0, 0, width, height);
        g.setRenderingHint(RenderingHints.KEY_TEXT_ANTIALIASING,
                RenderingHints.VALUE_TEXT_ANTIALIAS_ON);
        g.setFont(new Font(Font.SANS_SERIF, Font.PLAIN, 11));
        int y = GAP;
        for (List<Cell> row : rows) {
            int x = GAP;
            int h = 0;
            for (Cell c : row) {
                g.setColor(Color.DARK_GRAY);
                String label = c.width() > ICON ? c.drawing().name() + ": lumo | Java 2D"
                        : c.drawing().name().replace(".svg", "");
                int room = 2 * c.width();
                while (g.getFontMetrics().stringWidth(label) > room && label.length() > 1) {
                    label = label.substring(0, label.length() - 1);
                }
                g.drawString(label, x, y + LABEL - 5);
                g.drawImage(lumo(c), x, y + LABEL, null);
                g.drawImage(java2d(c), x + c.width() + GAP / 2, y + LABEL, null);
                x += 2 * c.width() + GAP / 2 + GAP;
                h = Math.max(h, c.height());
            }
            y += LABEL + h + GAP;
        }
        g.dispose();
        if (!ImageIO.write(picture, "png", output)) {
            throw new IOException("no PNG writer");
        }
    }

    private static BufferedImage lumo(Cell c) {
        try (LumoSurface surface = new LumoSurface(c.width(), c.height())) {
            Graphics2D g = surface.createGraphics();
            c.drawing().paint(g);
            g.dispose();
            return surface.toImage();
        }
    }

    private static BufferedImage java2d(Cell c) {
        BufferedImage image = new BufferedImage(c.width(), c.height(),
                BufferedImage.TYPE_INT_ARGB_PRE);
        Graphics2D g = image.createGraphics();
        c.drawing().paint(g);
        g.dispose();
        return image;
    }
}
