#include "context/Graphics.h"

#include "context/Clipping.h"
#include "context/ShapePipeline.h"
#include "coverage/RectilinearFill.h"
#include "geometry/LineShape.h"
#include "geometry/RectShape.h"
#include "geometry/ShapeGeometry.h"
#include "geometry/TransformedSource.h"
#include "image/ImageDescriptor.h"
#include "paint/SolidPaint.h"
#include "render/ImageRenderer.h"
#include "render/SolidRenderer.h"

#include <cmath>
#include <new>

namespace lumo {

Graphics::Graphics(RenderTarget& target, uint32_t width, uint32_t height)
    : state_(width, height), target_(&target) {}

Graphics::Graphics(const Graphics& source, RenderTarget& target)
    : state_(source.state_), target_(&target) {}

Graphics* Graphics::create(RenderTarget& target) {
    Graphics* graphics =
        new (std::nothrow) Graphics(target, uint32_t(target.width()), uint32_t(target.height()));
    if (graphics != nullptr && (!graphics->state_.valid() || !graphics->target_.object())) {
        delete graphics;
        return nullptr;
    }
    return graphics;
}

Graphics* Graphics::clone() {
    RenderTarget* target = liveTarget();
    if (target == nullptr) return nullptr;
    Graphics* copy = new (std::nothrow) Graphics(*this, *target);
    if (copy != nullptr && !copy->target_.object()) {
        delete copy;
        return nullptr;
    }
    return copy;
}

RenderTarget* Graphics::liveTarget() {
    target_.refresh();
    return static_cast<RenderTarget*>(target_.object());
}

void Graphics::draw(VertexSource& shape, unsigned flags) {
    if (!(flags & (DRAW_FILL | DRAW_STROKE))) return;
    if (!(flags & (DRAW_CURVES | DRAW_POLYGONAL)) && shape.has_curves()) flags |= DRAW_CURVES;
    drawShape(shape, flags);
}

void Graphics::drawPolygon(VertexSource& shape, const double* xy, int n, bool closed,
                           unsigned flags) {
    if (!(flags & (DRAW_FILL | DRAW_STROKE))) return;
    RenderTarget* target = liveTarget();
    if (target == nullptr || state_.clipBoxEmpty()) return;
    ShapePipeline pipeline(state_, *target);
    if (flags & DRAW_FILL) {
        pipeline.fillPolygon(shape, xy, n);
    } else {
        pipeline.strokePolygon(shape, PolygonPoints(xy, n, closed));
    }
}

template <class Shape>
void Graphics::drawShape(Shape& shape, unsigned flags) {
    RenderTarget* target = liveTarget();
    if (target == nullptr || state_.clipBoxEmpty()) return;
    ShapePipeline(state_, *target).run(shape, flags);
}

void Graphics::drawLine(double x1, double y1, double x2, double y2) {
    LineShape line(x1, y1, x2, y2);
    drawShape<VertexSource>(line, DRAW_STROKE | DRAW_POLYGONAL);
}

bool Graphics::drawDegenerateOutline(double x, double y, double w, double h) {
    if (w < 0 || h < 0 || (w == 0 && h == 0)) return true;
    if (w == 0) {
        drawLine(x, y, x, y + h);
    } else if (h == 0) {
        drawLine(x, y, x + w, y);
    } else {
        return false;
    }
    return true;
}

void Graphics::drawRect(double x, double y, double w, double h) {
    if (drawDegenerateOutline(x, y, w, h)) return;
    RectShape rect(x, y, w, h);
    drawShape<VertexSource>(rect, DRAW_STROKE | DRAW_POLYGONAL);
}

void Graphics::fillRect(double x, double y, double w, double h) {
    if (w <= 0 || h <= 0) return;
    if (fillWholePixelRect(x, y, w, h)) return;
    RectShape rect(x, y, w, h);
    drawShape<VertexSource>(rect, DRAW_FILL | DRAW_POLYGONAL);
}

namespace {

// Whether v is a whole number well within the range where sums of such numbers are exact.
bool wholePixel(double v) {
    return std::fabs(v) < 1e9 && v == std::floor(v);
}

}  // namespace

bool Graphics::fillWholePixelRect(double x, double y, double w, double h) {
    if (state_.paint->kind() != PAINT_SOLID || !(state_.clipFlags & CLIP_RECT) ||
        !state_.hint(HINT_ANTIALIAS)) {
        return false;
    }
    const TransformKind kind = state_.transformKind();
    if (kind != TRANSFORM_IDENTITY && kind != TRANSFORM_TRANSLATE) return false;
    // The corners as the rectangle's outline and the transform place them.
    double x1 = x, y1 = y, x2 = x + w, y2 = y + h;
    if (kind == TRANSFORM_TRANSLATE) {
        x1 += state_.transform.tx;
        x2 += state_.transform.tx;
        y1 += state_.transform.ty;
        y2 += state_.transform.ty;
    }
    const agg::rect_d& clip = state_.clipBox;
    if (!wholePixel(x1) || !wholePixel(y1) || !wholePixel(x2) || !wholePixel(y2) ||
        !wholePixel(clip.x1) || !wholePixel(clip.y1) || !wholePixel(clip.x2) ||
        !wholePixel(clip.y2)) {
        return false;
    }
    RenderTarget* target = liveTarget();
    if (target == nullptr) return true;
    const agg::rect_i box(int(std::max(x1, clip.x1)), int(std::max(y1, clip.y1)),
                          int(std::min(x2, clip.x2)), int(std::min(y2, clip.y2)));
    if (box.x2 <= box.x1 || box.y2 <= box.y1) return true;
    return fillSolidPixels(static_cast<SolidPaint&>(*state_.paint).colour(), state_, *target, box);
}

void Graphics::drawOval(double x, double y, double w, double h) {
    if (drawDegenerateOutline(x, y, w, h)) return;
    EllipseShape oval = ovalShape(x, y, w, h);
    drawShape<VertexSource>(oval, DRAW_STROKE | DRAW_CURVES);
}

void Graphics::fillOval(double x, double y, double w, double h) {
    if (w <= 0 || h <= 0) return;
    EllipseShape oval = ovalShape(x, y, w, h);
    drawShape<VertexSource>(oval, DRAW_FILL | DRAW_CURVES);
}

void Graphics::drawArc(double x, double y, double w, double h, double start, double extent) {
    if (w < 0 || h < 0) return;
    if (extent >= 360 || extent <= -360) return drawOval(x, y, w, h);
    agg::bezier_arc arc = openArc(x, y, w, h, start, extent);
    drawShape(arc, DRAW_STROKE | DRAW_CURVES);
}

void Graphics::fillArc(double x, double y, double w, double h, double start, double extent) {
    if (w <= 0 || h <= 0) return;
    if (extent >= 360 || extent <= -360) return fillOval(x, y, w, h);
    PieShape pie = pieShape(x, y, w, h, start, extent);
    drawShape<VertexSource>(pie, DRAW_FILL | DRAW_CURVES);
}

void Graphics::drawRoundRect(double x, double y, double w, double h, double arcW, double arcH) {
    if (drawDegenerateOutline(x, y, w, h)) return;
    agg::rounded_rect shape = drawRoundRectShape(x, y, w, h, arcW, arcH);
    drawShape(shape, DRAW_STROKE | DRAW_CURVES);
}

void Graphics::fillRoundRect(double x, double y, double w, double h, double arcW, double arcH) {
    if (w <= 0 || h <= 0) return;
    agg::rounded_rect shape = fillRoundRectShape(x, y, w, h, arcW, arcH);
    drawShape(shape, DRAW_FILL | DRAW_CURVES);
}

void Graphics::drawImage(const ImageDescriptor& image) {
    RenderTarget* target = liveTarget();
    if (target == nullptr || state_.clipBoxEmpty()) return;
    if (image.width <= 0 || image.height <= 0) return;
    if (copyImageRect(state_, *target, image)) return;
    agg::trans_affine placement = image.transform;
    if (state_.transformKind() != TRANSFORM_IDENTITY) placement *= state_.transform;
    RectShape rect(0, 0, image.width, image.height);
    TransformedSource<RectShape> placed(rect, &placement, 0.0, 0.0);
    CoverageScratch* scratch = CoverageScratch::of(*target);
    if (scratch == nullptr) return;
    if (renderRectilinear(scratch->rectilinearCoverage(), (state_.clipFlags & CLIP_RECT) != 0,
                          state_.clipBox, placed, agg::fill_non_zero, NoFault(),
                          [&] { renderImage(state_, *target, image, WRAP_NONE, WRAP_NONE); })) {
        return;
    }
    Rasterizer& rasterizer = scratch->rasterizerForShape();
    const agg::rect_d& clip = state_.clipBox;
    rasterizer.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
    rasterizer.filling_rule(agg::fill_non_zero);
    if (!rasterizeSource(rasterizer, placed)) return;
    renderImage(state_, *target, image, WRAP_NONE, WRAP_NONE);
}

void Graphics::resetClip() {
    if (RenderTarget* target = liveTarget()) {
        lumo::resetClip(state_, uint32_t(target->width()), uint32_t(target->height()));
    }
}

void Graphics::setRectangleClip(double x1, double y1, double x2, double y2) {
    const agg::rect_d corners(x1, y1, x2, y2);
    if (RenderTarget* target = liveTarget()) {
        const uint32_t width = uint32_t(target->width()), height = uint32_t(target->height());
        lumo::setRectangleClip(state_, corners, &width, &height);
    } else {
        lumo::setRectangleClip(state_, corners, nullptr, nullptr);
    }
}

void Graphics::setPathClip(VertexSource& path, agg::filling_rule_e rule) {
    if (RenderTarget* target = liveTarget()) {
        lumo::setPathClip(state_, path, rule, uint32_t(target->width()),
                          uint32_t(target->height()));
    }
}

}  // namespace lumo
