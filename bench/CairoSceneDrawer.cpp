#include "CairoSceneDrawer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lumo_bench {

namespace {

// An image surface holding `pixels` (premultiplied ARGB words, which is
// Cairo's ARGB32 layout in native byte order).
cairo_surface_t* surfaceFrom(const std::vector<uint32_t>& pixels, int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return surface;
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < size && size_t(size) * size <= pixels.size(); ++y) {
        std::memcpy(data + size_t(y) * stride, &pixels[size_t(y) * size], size_t(size) * 4);
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

double unit(uint32_t channel) {
    return channel / 255.0;
}

void addStop(cairo_pattern_t* pattern, double offset, uint32_t argb) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, unit(argb >> 16 & 0xFF),
                                      unit(argb >> 8 & 0xFF), unit(argb & 0xFF), unit(argb >> 24));
}

}  // namespace

CairoSceneDrawer::CairoSceneDrawer(const std::vector<uint32_t>& texture,
                                   const std::vector<uint32_t>& image)
    : canvas_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kCanvas, kCanvas)),
      cr_(cairo_create(canvas_)),
      texture_(surfaceFrom(texture, kTextureSize)),
      image_(surfaceFrom(image, kImageSize)) {
    clear();
}

CairoSceneDrawer::~CairoSceneDrawer() {
    if (imagePattern_ != nullptr) cairo_pattern_destroy(imagePattern_);
    cairo_surface_destroy(image_);
    cairo_surface_destroy(texture_);
    cairo_destroy(cr_);
    cairo_surface_destroy(canvas_);
}

bool CairoSceneDrawer::valid() const {
    return cairo_status(cr_) == CAIRO_STATUS_SUCCESS &&
           cairo_surface_status(texture_) == CAIRO_STATUS_SUCCESS &&
           cairo_surface_status(image_) == CAIRO_STATUS_SUCCESS;
}

void CairoSceneDrawer::clear() {
    cairo_surface_flush(canvas_);
    unsigned char* data = cairo_image_surface_get_data(canvas_);
    if (data == nullptr) return;
    std::memset(data, 0xFF, size_t(cairo_image_surface_get_stride(canvas_)) * kCanvas);
    cairo_surface_mark_dirty(canvas_);
}

std::vector<uint32_t> CairoSceneDrawer::read() {
    cairo_surface_flush(canvas_);
    std::vector<uint32_t> pixels(size_t(kCanvas) * kCanvas);
    const unsigned char* data = cairo_image_surface_get_data(canvas_);
    const int stride = cairo_image_surface_get_stride(canvas_);
    for (int y = 0; y < kCanvas && data != nullptr; ++y) {
        std::memcpy(&pixels[size_t(y) * kCanvas], data + size_t(y) * stride, size_t(kCanvas) * 4);
    }
    return pixels;
}

void CairoSceneDrawer::prepare(const Batch& batch, Style style) {
    batch_ = &batch;
    style_ = style;
    const SceneInfo& scene = *batch.scene;
    cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
    cairo_set_fill_rule(cr_, scene.nonZero ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_dash(cr_, nullptr, 0, 0.0);
    cairo_set_miter_limit(cr_, 10.0);
    switch (scene.kind) {
        case SceneKind::StrokeRectU:
        case SceneKind::StrokePoly10:
            cairo_set_line_width(cr_, 3.0);
            cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
            cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
            break;
        case SceneKind::StrokePath:
            cairo_set_line_width(cr_, 3.0);
            cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
            break;
        case SceneKind::Dash: {
            const double dashes[2] = {6.0, 3.0};
            cairo_set_line_width(cr_, 2.0);
            cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
            cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
            cairo_set_dash(cr_, dashes, 2, 0.0);
            break;
        }
        default:
            break;
    }
    if (imagePattern_ != nullptr) cairo_pattern_destroy(imagePattern_);
    imagePattern_ = nullptr;
    if (imageScene(scene.kind)) {
        imagePattern_ = cairo_pattern_create_for_surface(image_);
        cairo_pattern_set_extend(imagePattern_, CAIRO_EXTEND_NONE);
        cairo_pattern_set_filter(imagePattern_, scene.kind == SceneKind::DrawImageBicubic
                                                    ? CAIRO_FILTER_BEST
                                                    : CAIRO_FILTER_BILINEAR);
    }
}

void CairoSceneDrawer::setSource(const Operation& op) {
    const double size = batch_->size;
    cairo_pattern_t* pattern = nullptr;
    switch (style_) {
        case Style::Solid:
            cairo_set_source_rgba(cr_, unit(op.r), unit(op.g), unit(op.b), unit(op.a));
            return;
        case Style::LinearGradient:
            pattern = cairo_pattern_create_linear(op.x, op.y, op.x + size, op.y + size);
            break;
        case Style::RadialGradient: {
            const double cx = op.x + size / 2, cy = op.y + size / 2;
            pattern = cairo_pattern_create_radial(cx, cy, 0.0, cx, cy, size / 2);
            break;
        }
        case Style::TextureNN:
        case Style::TextureBilinear: {
            pattern = cairo_pattern_create_for_surface(texture_);
            cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
            cairo_pattern_set_filter(
                pattern, style_ == Style::TextureNN ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);
            // Pattern space is image space: user = scale * image + corner.
            cairo_matrix_t m;
            cairo_matrix_init(&m, kTextureScale, 0, 0, kTextureScale, op.x, op.y);
            cairo_matrix_invert(&m);
            cairo_pattern_set_matrix(pattern, &m);
            cairo_set_source(cr_, pattern);
            cairo_pattern_destroy(pattern);
            return;
        }
        case Style::Image:
            return;
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    addStop(pattern, 0.0, op.argb());
    addStop(pattern, 1.0, op.secondStop());
    cairo_set_source(cr_, pattern);
    cairo_pattern_destroy(pattern);
}

void CairoSceneDrawer::addOutline(const Operation& op) {
    switch (batch_->scene->outline) {
        case Outline::IntRect:
        case Outline::Rect:
            cairo_rectangle(cr_, op.x, op.y, op.w, op.h);
            return;
        case Outline::RoundRect: {
            const double r = batch_->size / 4.0, x = op.x, y = op.y, w = op.w, h = op.h;
            cairo_new_sub_path(cr_);
            cairo_arc(cr_, x + w - r, y + r, r, -M_PI / 2, 0);
            cairo_arc(cr_, x + w - r, y + h - r, r, 0, M_PI / 2);
            cairo_arc(cr_, x + r, y + h - r, r, M_PI / 2, M_PI);
            cairo_arc(cr_, x + r, y + r, r, M_PI, 3 * M_PI / 2);
            cairo_close_path(cr_);
            return;
        }
        case Outline::Path:
            break;
    }
    const double* p = op.coords.data();
    for (const int8_t code : op.types) {
        switch (code) {
            case MOVE:
                cairo_move_to(cr_, p[0], p[1]);
                p += 2;
                break;
            case LINE:
                cairo_line_to(cr_, p[0], p[1]);
                p += 2;
                break;
            case CUBIC:
                cairo_curve_to(cr_, p[0], p[1], p[2], p[3], p[4], p[5]);
                p += 6;
                break;
            case CLOSE:
                cairo_close_path(cr_);
                break;
        }
    }
}

void CairoSceneDrawer::draw(size_t first, size_t count) {
    const std::vector<Operation>& ops = batch_->operations;
    const size_t end = std::min(first + count, ops.size());
    if (style_ == Style::Image) {
        for (size_t i = first; i < end; ++i) {
            cairo_matrix_t m;
            cairo_matrix_init(&m, kImageScale, 0, 0, kImageScale, ops[i].x, ops[i].y);
            cairo_matrix_invert(&m);
            cairo_pattern_set_matrix(imagePattern_, &m);
            cairo_set_source(cr_, imagePattern_);
            cairo_paint(cr_);
        }
    } else {
        const bool stroke = batch_->scene->stroke;
        for (size_t i = first; i < end; ++i) {
            setSource(ops[i]);
            addOutline(ops[i]);
            stroke ? cairo_stroke(cr_) : cairo_fill(cr_);
        }
    }
    cairo_surface_flush(canvas_);
}

}  // namespace lumo_bench
