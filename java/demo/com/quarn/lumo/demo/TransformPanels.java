package com.quarn.lumo.demo;

import static com.quarn.lumo.demo.SimplePanel.label;

import java.awt.Shape;
import java.awt.geom.AffineTransform;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Path2D;
import java.awt.geom.Rectangle2D;
import java.util.List;

/** A panel of one small drawing under the four kinds of affine transform. */
final class TransformPanels {
    private TransformPanels() {
    }

    static List<Panel> all() {
        return List.of(new ScenePanel("Transforms", transforms(),
                label(6, 92, "rotated"), label(100, 92, "scaled 1.5, 0.7"),
                label(6, 186, "sheared"), label(100, 186, "mirrored, turned")));
    }

    /**
     * A house with a round window, drawn in each quadrant about its centre: faint as it is,
     * then under a rotation, an unequal scale, a shear and a mirror image turned.
     */
    private static Scene transforms() {
        AffineTransform[] transforms = {
            AffineTransform.getRotateInstance(Math.toRadians(-30)),
            AffineTransform.getScaleInstance(1.5, 0.7),
            AffineTransform.getShearInstance(0.6, 0),
            new AffineTransform(-Math.cos(0.4), -Math.sin(0.4), -Math.sin(0.4), Math.cos(0.4),
                    0, 0),
        };
        Scene s = new Scene();
        for (int i = 0; i < 4; i++) {
            double cx = 48 + 96 * (i % 2);
            double cy = 44 + 94 * (i / 2);
            AffineTransform at = AffineTransform.getTranslateInstance(cx, cy);
            s.transform(at).composite(3, 0.25f);
            house(s);
            at.concatenate(transforms[i]);
            s.transform(at).composite(3, 1f);
            house(s);
        }
        return s.transform(null);
    }

    /** A house 40 wide and 44 high about the origin, with its door on the right. */
    private static void house(Scene s) {
        Path2D.Double roof = new Path2D.Double();
        roof.moveTo(-24, -4);
        roof.lineTo(0, -24);
        roof.lineTo(24, -4);
        roof.closePath();
        s.colour(Palette.RED).fill(roof);
        s.colour(Palette.YELLOW).fill(new Rectangle2D.Double(-18, -4, 36, 24));
        s.colour(Palette.BLUE).fill(new Ellipse2D.Double(-12, 0, 12, 12));
        Shape door = new Rectangle2D.Double(6, 4, 8, 16);
        s.colour(Palette.PURPLE).fill(door);
        s.stroke(2f, SceneStroke.BUTT, SceneStroke.MITER).colour(Palette.LIGHT);
        s.draw(new Rectangle2D.Double(-18, -4, 36, 24));
    }
}
