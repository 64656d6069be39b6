package com.quarn.lumo.demo;

import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.image.BufferedImage;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.util.ArrayList;
import java.util.List;
import org.apache.pdfbox.pdmodel.PDDocument;
import org.apache.pdfbox.pdmodel.PDPage;
import org.apache.pdfbox.pdmodel.PDPageContentStream;
import org.apache.pdfbox.pdmodel.common.PDRectangle;
import org.apache.pdfbox.pdmodel.font.PDType1Font;
import org.apache.pdfbox.pdmodel.graphics.image.LosslessFactory;
import org.apache.pdfbox.pdmodel.graphics.image.PDImageXObject;
import org.apache.pdfbox.pdmodel.graphics.state.PDExtendedGraphicsState;
import org.apache.pdfbox.rendering.PDFRenderer;

/**
 * PDF pages rendered by Apache PDFBox: a document made here with PDFBox (text in the standard
 * fonts, filled and stroked paths with curves and dashes, translucency, an image), rendered
 * page by page onto any {@link Graphics2D}.
 */
public final class PdfPages {
    /**
     * PDFBox logs a warning for each standard font it replaces by an installed one, which is
     * every one of them on a machine without Adobe's fonts; kept here so the level holds.
     */
    private static final java.util.logging.Logger PDFBOX_LOG =
            java.util.logging.Logger.getLogger("org.apache.pdfbox");

    static {
        PDFBOX_LOG.setLevel(java.util.logging.Level.SEVERE);
    }

    private PdfPages() {
    }

    /** One page of a document, drawn at {@code scale} (1 is 72 pixels an inch). */
    public record Page(String name, PDFRenderer renderer, int index, float scale, int width,
            int height) implements Clients.Drawing {
        /** Renders the page over white, the background PDFBox clears the page to. */
        @Override
        public void paint(Graphics2D g) {
            g.setBackground(Color.WHITE);
            try {
                renderer.renderPageToGraphics(index, g, scale);
            } catch (IOException e) {
                throw new UncheckedIOException(e);
            }
        }
    }

    /** The pages of the document, each {@code width} pixels wide. */
    public static List<Page> pages(int width) {
        try {
            PDDocument document = document();
            PDFRenderer renderer = new PDFRenderer(document);
            List<Page> pages = new ArrayList<>();
            for (int i = 0; i < document.getNumberOfPages(); i++) {
                PDRectangle box = document.getPage(i).getMediaBox();
                float scale = width / box.getWidth();
                pages.add(new Page("pdf page " + (i + 1), renderer, i, scale, width,
                        Math.round(box.getHeight() * scale)));
            }
            return pages;
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
    }

    private static PDDocument document() throws IOException {
        PDDocument document = new PDDocument();
        PDPage text = new PDPage(new PDRectangle(300, 200));
        document.addPage(text);
        try (PDPageContentStream s = new PDPageContentStream(document, text)) {
            s.setNonStrokingColor(new Color(0xF4F1EA));
            s.addRect(0, 0, 300, 200);
            s.fill();
            s.beginText();
            s.setFont(PDType1Font.HELVETICA_BOLD, 22);
            s.setNonStrokingColor(new Color(0x1E3A8A));
            s.newLineAtOffset(20, 160);
            s.showText("Quarterly report");
            s.setFont(PDType1Font.TIMES_ROMAN, 12);
            s.setNonStrokingColor(Color.BLACK);
            s.newLineAtOffset(0, -24);
            s.showText("Drawn by PDFBox through Graphics2D, twice.");
            s.newLineAtOffset(0, -16);
            s.setFont(PDType1Font.COURIER, 10);
            s.showText("0123456789 abcdefghij ABCDEFGHIJ");
            s.endText();
            s.setStrokingColor(new Color(0xDB2777));
            s.setLineWidth(2.5f);
            s.setLineDashPattern(new float[] {6, 3}, 0);
            s.moveTo(20, 100);
            s.curveTo(80, 150, 140, 40, 280, 100);
            s.stroke();
        }
        PDPage art = new PDPage(new PDRectangle(300, 200));
        document.addPage(art);
        try (PDPageContentStream s = new PDPageContentStream(document, art)) {
            s.setNonStrokingColor(new Color(0x2563EB));
            s.addRect(20, 20, 120, 80);
            s.fill();
            PDExtendedGraphicsState half = new PDExtendedGraphicsState();
            half.setNonStrokingAlphaConstant(0.5f);
            s.saveGraphicsState();
            s.setGraphicsStateParameters(half);
            s.setNonStrokingColor(new Color(0xDC2626));
            s.moveTo(80, 60);
            s.curveTo(80, 120, 200, 120, 200, 60);
            s.curveTo(200, 0, 80, 0, 80, 60);
            s.fill();
            s.restoreGraphicsState();
            s.setStrokingColor(new Color(0x16A34A));
            s.setLineWidth(6);
            s.setLineCapStyle(1);
            s.setLineJoinStyle(1);
            s.moveTo(160, 180);
            s.lineTo(200, 130);
            s.lineTo(240, 180);
            s.lineTo(280, 130);
            s.stroke();
            BufferedImage image = new BufferedImage(24, 16, BufferedImage.TYPE_INT_RGB);
            for (int y = 0; y < 16; y++) {
                for (int x = 0; x < 24; x++) {
                    image.setRGB(x, y, (x * 10) << 16 | (y * 15) << 8 | 128);
                }
            }
            PDImageXObject xobject = LosslessFactory.createFromImage(document, image);
            s.drawImage(xobject, 210, 20, 72, 48);
        }
        return document;
    }
}
