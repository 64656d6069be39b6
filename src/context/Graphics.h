#pragma once

#include "core/WeakRef.h"
#include "render/GraphicsState.h"

namespace lumo {

class RenderTarget;
class VertexSource;
struct ImageDescriptor;

// A drawing context on one render target. It does not keep the target alive:
// once the target is gone every drawing call does nothing, while the setters
// still work and the object can still be deleted.
class Graphics final {
public:
    // A new drawing object with the default state, or null when memory runs
    // out.
    static Graphics* create(RenderTarget& target);
    // A copy of this object on the same target, sharing paint, stroke and
    // composite; null when the target is gone or memory runs out.
    Graphics* clone();

    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    GraphicsState& state() { return state_; }
    // The render target while it lives, else null.
    RenderTarget* liveTarget();

    // Fills (DRAW_FILL, which wins over DRAW_STROKE) or strokes a user-space
    // shape. Without DRAW_CURVES or DRAW_POLYGONAL the shape is asked
    // whether it has curves.
    void draw(VertexSource& shape, unsigned flags);
    // The same for a shape that is one polygon of the n points (x, y pairs)
    // at xy, closed or not, flags without DRAW_CURVES: its outline may be
    // read straight from the points.
    void drawPolygon(VertexSource& shape, const double* xy, int n, bool closed, unsigned flags);

    void drawLine(double x1, double y1, double x2, double y2);
    void drawRect(double x, double y, double w, double h);
    void fillRect(double x, double y, double w, double h);
    void drawOval(double x, double y, double w, double h);
    void fillOval(double x, double y, double w, double h);
    // Angles in degrees, counted clockwise on screen from three o'clock for
    // the start; a positive extent runs counter-clockwise on screen.
    void drawArc(double x, double y, double w, double h, double start, double extent);
    void fillArc(double x, double y, double w, double h, double start, double extent);
    // Arc width and height are the corner diameters; the fill limits them to
    // the rectangle, the outline does not.
    void drawRoundRect(double x, double y, double w, double h, double arcW, double arcH);
    void fillRoundRect(double x, double y, double w, double h, double arcW, double arcH);

    // Draws an image: its rectangle (0, 0)-(width, height) placed by the
    // image's transform and then this object's, filled from the image with
    // the edge pixels stretched outward.
    void drawImage(const ImageDescriptor& image);

    // Clip setters (device pixels). While the target is gone, resetting and
    // path clips change nothing and a rectangle is stored uncut.
    void resetClip();
    void setRectangleClip(double x1, double y1, double x2, double y2);
    void setPathClip(VertexSource& path, agg::filling_rule_e rule);

private:
    Graphics(RenderTarget& target, uint32_t width, uint32_t height);
    Graphics(const Graphics& source, RenderTarget& target);

    // Outlines of a negative or empty size draw nothing, and those of zero
    // width or height draw a line; true when the size was one of these.
    bool drawDegenerateOutline(double x, double y, double w, double h);

    // Fills a rectangle whose device-space edges and clip box lie on whole
    // pixels in a solid colour, antialiased, without its coverage: true when
    // it was one (and is drawn).
    bool fillWholePixelRect(double x, double y, double w, double h);

    // Draws a shape whose flags already say whether it has curves.
    template <class Shape>
    void drawShape(Shape& shape, unsigned flags);

    GraphicsState state_;
    WeakRef target_;
};

}  // namespace lumo
