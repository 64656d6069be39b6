#include "render/LinePatternOutline.h"

#include "blend/CompositePixelFormat.h"
#include "core/RenderTarget.h"
#include "coverage/CoverageScratch.h"
#include "image/RenderTargetImage.h"
#include "paint/LinePatternPaint.h"
#include "render/GraphicsState.h"
#include "span/ImageRowSource.h"

#include <agg_pattern_filters_rgba.h>
#include <agg_pixfmt_amask_adaptor.h>
#include <agg_rasterizer_outline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_outline_image.h>

#include <algorithm>
#include <cmath>

namespace lumo {

namespace {

// Largest (height / 2 + 3) x width of a pattern image, so that the
// renderer's offsets and a line's length in 1/256 pixels (at most 2^29
// after AGG limits the coordinates) stay within an int.
constexpr int64_t maxPatternArea = int64_t(1) << 21;

// The pattern image as AGG's line pattern reads it: colours r, g, b, a.
class PatternSource {
public:
    explicit PatternSource(ImageRowSource& rows) : rows_(&rows) {}
    double width() const { return rows_->width(); }
    double height() const { return rows_->height(); }
    agg::rgba8 pixel(int x, int y) const {
        const uint8_t* p = rows_->row(y) + 4 * x;
        return agg::rgba8(p[2], p[1], p[0], p[3]);
    }

private:
    ImageRowSource* rows_;
};

// AGG's image line renderer keeps the position along the pattern in an int
// that grows by each segment's length (in 1/256 pixels). Keeping it within
// one pattern length after every segment leaves the pattern where it was and
// keeps the sum from overflowing on long outlines.
template <class Base, class Pattern>
class PatternLineRenderer : public agg::renderer_outline_image<Base, Pattern> {
    using Parent = agg::renderer_outline_image<Base, Pattern>;

public:
    PatternLineRenderer(Base& base, Pattern& pattern) : Parent(base, pattern) {}

    void line3(const agg::line_parameters& lp, int sx, int sy, int ex, int ey) {
        Parent::line3(lp, sx, sy, ex, ey);
        const double length = Parent::pattern_width() / double(agg::line_subpixel_scale);
        Parent::start_x(std::fmod(Parent::start_x(), length));
    }
};

// Hands a line on in pieces of at most maxPiece pixels, closing segments
// included. AGG's outline renderer multiplies coordinate differences of a
// segment and of its neighbours in ints, which overflows for segments a few
// thousand pixels long; pieces along the same line draw the same pixels.
class LinePieces final : public VertexSource {
public:
    static constexpr double maxPiece = 256.0;

    explicit LinePieces(VertexSource& line) : line_(line) {}

    void rewind(unsigned pathId) override {
        line_.rewind(pathId);
        left_ = 0;
        pendingClose_ = false;
    }

    unsigned vertex(double* x, double* y) override {
        if (left_ > 0) return nextPiece(x, y);
        if (pendingClose_) {
            pendingClose_ = false;
            *x = *y = 0.0;
            return closeCmd_;
        }
        const unsigned cmd = line_.vertex(x, y);
        if (agg::is_move_to(cmd)) {
            startX_ = lastX_ = *x;
            startY_ = lastY_ = *y;
            return cmd;
        }
        // Curve commands reach here only from paths said to have no curves;
        // their points are drawn as straight lines, so they are cut too.
        if (agg::is_vertex(cmd)) return split(*x, *y, x, y);
        if (agg::is_end_poly(cmd) && agg::is_closed(cmd)) {
            // The closing segment in pieces, then the close itself.
            closeCmd_ = cmd;
            pendingClose_ = true;
            return split(startX_, startY_, x, y);
        }
        return cmd;
    }

    bool has_curves() const override { return false; }

private:
    // Starts the segment from the last point to (toX, toY) and returns its
    // first piece.
    unsigned split(double toX, double toY, double* x, double* y) {
        const double length = std::hypot(toX - lastX_, toY - lastY_);
        const int pieces = int(std::ceil(length / maxPiece));
        fromX_ = lastX_;
        fromY_ = lastY_;
        toX_ = toX;
        toY_ = toY;
        count_ = pieces > 1 ? pieces : 1;
        left_ = count_;
        return nextPiece(x, y);
    }

    unsigned nextPiece(double* x, double* y) {
        --left_;
        const double t = double(count_ - left_) / count_;
        *x = left_ == 0 ? toX_ : fromX_ + (toX_ - fromX_) * t;
        *y = left_ == 0 ? toY_ : fromY_ + (toY_ - fromY_) * t;
        lastX_ = *x;
        lastY_ = *y;
        return agg::path_cmd_line_to;
    }

    VertexSource& line_;
    double startX_ = 0, startY_ = 0, lastX_ = 0, lastY_ = 0;
    double fromX_ = 0, fromY_ = 0, toX_ = 0, toY_ = 0;
    int count_ = 0;
    int left_ = 0;
    bool pendingClose_ = false;
    unsigned closeCmd_ = 0;
};

template <class Filter, class Base>
void drawWith(Base& base, const PatternSource& source, const agg::rect_d& clip,
              VertexSource& line) {
    Filter filter;
    agg::line_image_pattern<Filter> pattern(filter);
    pattern.create(source);
    PatternLineRenderer<Base, agg::line_image_pattern<Filter>> renderer(base, pattern);
    renderer.scale_x(1.0);
    renderer.start_x(0.0);
    // Lines are cut a little outside the clip, where they cannot show yet.
    // AGG draws no further than 64 pixels from the centre line, however
    // high the image.
    const double grow = std::min(std::floor(source.height() / 2), 64.0) + 2;
    renderer.clip_box(clip.x1 - grow, clip.y1 - grow, clip.x2 + grow, clip.y2 + grow);
    agg::rasterizer_outline_aa<decltype(renderer), agg::line_coord_sat> rasterizer(renderer);
    rasterizer.line_join(agg::outline_miter_accurate_join);
    rasterizer.round_cap(false);
    LinePieces pieces(line);
    rasterizer.add_path(pieces);
}

template <class Base>
void drawOnto(Base& base, const agg::rect_d& clip, unsigned filterHint, const PatternSource& source,
              VertexSource& line) {
    // The pixels the clip box touches, as an inclusive range.
    base.clip_box(int(std::floor(clip.x1)), int(std::floor(clip.y1)), int(std::ceil(clip.x2)) - 1,
                  int(std::ceil(clip.y2)) - 1);
    if (filterHint == 0) {
        drawWith<agg::pattern_filter_nn_rgba8>(base, source, clip, line);
    } else {
        drawWith<agg::pattern_filter_bilinear_rgba8>(base, source, clip, line);
    }
}

}  // namespace

void drawLinePatternOutline(GraphicsState& state, RenderTarget& target, VertexSource& line) {
    const auto& paint = static_cast<const LinePatternPaint&>(*state.paint);
    ImageDescriptor image;
    if (!describeRenderTarget(paint.source(), image)) return;
    const Composite& composite = *state.composite;
    ImageRowSource rows(image, composite.alpha(), nullptr);
    if (!rows.usable()) return;
    const PatternSource source(rows);
    // The renderer's pattern offsets are ints in 1/256 pixels, reaching
    // about (height / 2 + 3) image lengths beyond the line's own length.
    if ((int64_t(image.height) / 2 + 3) * image.width > maxPatternArea) return;

    const Ref<DataBuffer> buffer = target.getDataBuffer();
    if (!buffer) return;
    RowBuffer* destination = buffer->rowBuffer();
    if (destination->buf() == nullptr) return;
    CompositePixelFormat pixels(*destination, composite.rule(), rows.premultiplied());
    const agg::rect_d& clip = state.clipBox;

    if (state.clipFlags & CLIP_RECT) {
        agg::renderer_base<CompositePixelFormat> base(pixels);
        return drawOnto(base, clip, state.imageFilterHint(), source, line);
    }
    CoverageScratch* scratch = CoverageScratch::of(target);
    if (scratch == nullptr) return;
    ClipMask& mask = scratch->clipMask();
    if (!mask.prepare(state.clipOutline(), *scratch)) return;
    using Masked = agg::pixfmt_amask_adaptor<CompositePixelFormat, ClipMask>;
    Masked masked(pixels, mask);
    agg::renderer_base<Masked> base(masked);
    drawOnto(base, clip, state.imageFilterHint(), source, line);
}

}  // namespace lumo
