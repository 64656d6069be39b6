#include "render/ImageRenderer.h"

#include "blend/CompositePixelFormat.h"
#include "blend/OverImageRow.h"
#include "blend/SourceOver.h"
#include "core/RenderTarget.h"
#include "geometry/TransformKind.h"
#include "image/RenderTargetImage.h"
#include "render/GraphicsState.h"
#include "render/ImageSpanRenderer.h"
#include "render/RenderCoverage.h"
#include "render/TranslatedOverRenderer.h"
#include "render/WrappedBilinearRowsSink.h"
#include "span/BoundedImageSpans.h"
#include "span/FilterWeights.h"
#include "span/FilteredSpans.h"
#include "span/ImageAccessors.h"
#include "span/ImageFilters.h"
#include "span/ImageRowSource.h"
#include "span/SampledSpans.h"
#include "span/TranslatedImageSpan.h"
#include "span/WrappedBilinearSpans.h"

#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_span_allocator.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace lumo {

namespace {

using Base = agg::renderer_base<CompositePixelFormat>;

// The last pixel column the clip box reaches (the rasteriser cuts shapes to
// it, the base renderer covers the whole target).
int lastClipColumn(const GraphicsState& state) {
    const double x2 = std::ceil(state.clipBox.x2) - 1;
    return x2 < double(std::numeric_limits<int>::max()) ? int(x2) : std::numeric_limits<int>::max();
}

// Largest offset of the copy path: device x minus the offset stays an int.
constexpr double maxCopyOffset = 1073741824.0;  // 2^30

// The whole-pixel offset of a transform that only translates by whole
// pixels.
bool wholePixelOffset(const agg::trans_affine& t, int& dx, int& dy) {
    if (t.sx != 1.0 || t.sy != 1.0 || t.shx != 0.0 || t.shy != 0.0) return false;
    if (!(std::fabs(t.tx) <= maxCopyOffset && std::fabs(t.ty) <= maxCopyOffset)) return false;
    if (t.tx != std::trunc(t.tx) || t.ty != std::trunc(t.ty)) return false;
    dx = int(t.tx);
    dy = int(t.ty);
    return true;
}

// The hints whose filters look at more than the nearest pixel.
bool interpolating(unsigned hint) {
    return hint >= 1 && hint <= 16;
}

template <class Spans>
void renderSpans(GraphicsState& state, RenderTarget& target, Base& base, Spans& spans) {
    agg::span_allocator<agg::rgba8> allocator;
    agg::renderer_scanline_aa<Base, agg::span_allocator<agg::rgba8>, Spans> renderer(
        base, allocator, spans);
    // Images are always drawn with antialiased edges.
    renderCoverage(state, target, renderer);
}

struct Placement {
    agg::trans_affine imageToDevice;
    bool copy;
    int dx, dy;
    // The image repeats every periodX pixels along its x axis and periodY
    // along its y axis when wrapped (0: it does not).
    int64_t periodX = 0, periodY = 0;
};

// A wrapped image looks the same from any origin a whole number of periods
// away: moving the origin next to the image keeps the coordinates the span
// generators see small, however far away the image was placed.
void reduceToPeriod(double& offset, int64_t period) {
    if (period > 0) offset = std::fmod(offset, double(period));
}
void reduceToPeriod(int& offset, int64_t period) {
    if (period > 0) offset = int(((offset % period) + period) % period);
}

using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;

// The pixels a draw blends into, as ImageSpanRenderer wants them.
struct Destination {
    RowBuffer& rows;
    bool over;
    bool premultiplied;
};

// Other generators sweep their coverage through a scan-line.
template <class Spans, class Renderer, class... Extra>
bool renderRowBlocks(Spans*, GraphicsState&, RenderTarget&, const Destination&,
                     const agg::trans_affine&, Renderer&, Extra&...) {
    return false;
}

// Wrapped bilinear textures put source-over onto a rectangle or its outline
// under a rectangle clip take the coverage's alike rows in blocks
// (WrappedBilinearRowsSink); false when the draw is not such a one.
template <class WrapX, class WrapY, class Renderer>
bool renderRowBlocks(WrappedBilinearSpans<WrapX, WrapY>*, GraphicsState& state,
                     RenderTarget& target, const Destination& destination,
                     const agg::trans_affine& deviceToImage, Renderer& renderer,
                     RowSourcePixels& pixels) {
    using Sink = WrappedBilinearRowsSink<WrapX, WrapY, Renderer>;
    if (!destination.over || !destination.premultiplied || !(state.clipFlags & CLIP_RECT) ||
        !Sink::serves(deviceToImage, pixels)) {
        return false;
    }
    CoverageScratch* scratch = CoverageScratch::of(target);
    if (scratch == nullptr || !scratch->rectilinearCoverage().active()) return false;
    RectilinearCoverage& coverage = scratch->rectilinearCoverage();
    Sink sink(destination.rows, pixels, deviceToImage, renderer, scratch->aaScanline(),
              coverage.min_x(), coverage.max_x());
    coverage.sweepRows(sink);
    sink.finish();
    return true;
}

// Samples through a span generator of type Spans, built from the accessor,
// an interpolator and the extra constructor arguments (a filter table, or the
// image's rows).
template <class Spans, class Accessor, class... Extra>
void renderSampled(GraphicsState& state, RenderTarget& target, Base& base,
                   const Destination& destination, Accessor& accessor,
                   const agg::trans_affine& deviceToImage, Extra&... extra) {
    agg::trans_affine shift;
    Interpolator interpolator(const_cast<agg::trans_affine&>(deviceToImage));
    Interpolator shifted(shift);
    Spans whole(accessor, interpolator, extra...);
    Spans single(accessor, shifted, extra...);
    BoundedImageSpans<Spans> spans(whole, single, deviceToImage, shift);
    ImageSpanRenderer<Base, BoundedImageSpans<Spans>> renderer(
        base, spans, destination.rows, destination.over, destination.premultiplied,
        lastClipColumn(state));
    if (renderRowBlocks(static_cast<Spans*>(nullptr), state, target, destination, deviceToImage,
                        renderer, extra...)) {
        return;
    }
    // Images are always drawn with antialiased edges.
    renderCoverageSpans(state, target, renderer);
}

// An image at a whole-pixel offset blended source-over, its spans inside the
// image straight from the image rows.
void renderTranslatedOver(GraphicsState& state, RenderTarget& target, Base& base,
                          const Destination& destination, TranslatedImageSpan<ClampAccessor>& spans,
                          const ClampAccessor& accessor, const RowSourcePixels& pixels,
                          const Placement& placement, unsigned alpha) {
    const int width = int(pixels.width()), height = int(pixels.height());
    if (destination.premultiplied) {
        TranslatedOverRenderer<Base, true> renderer(base, destination.rows, spans, accessor,
                                                    placement.dx, placement.dy, width, height,
                                                    alpha);
        return renderCoverage(state, target, renderer);
    }
    TranslatedOverRenderer<Base, false> renderer(base, destination.rows, spans, accessor,
                                                 placement.dx, placement.dy, width, height, alpha);
    renderCoverage(state, target, renderer);
}

template <class Accessor>
void renderThrough(GraphicsState& state, RenderTarget& target, Base& base,
                   const Destination& destination, Accessor& accessor, RowSourcePixels& pixels,
                   const Placement& placement, const ImageRowSource& rows) {
    if (placement.copy) {
        const unsigned alpha = unsigned(alphaByte(state.composite->alpha()));
        TranslatedImageSpan<Accessor> spans(accessor, placement.dx, placement.dy, int(alpha),
                                            rows.premultiplied());
        if constexpr (std::is_same_v<Accessor, ClampAccessor>) {
            if (destination.over) {
                return renderTranslatedOver(state, target, base, destination, spans, accessor,
                                            pixels, placement, alpha);
            }
        }
        return renderSpans(state, target, base, spans);
    }
    agg::trans_affine deviceToImage;
    if (!invertTransform(placement.imageToDevice, deviceToImage)) return;
    reduceToPeriod(deviceToImage.tx, placement.periodX);
    reduceToPeriod(deviceToImage.ty, placement.periodY);
    const unsigned hint = state.imageFilterHint();
    if (hint == 1) {
        return renderSampled<typename SampledSpans<Accessor>::Bilinear>(
            state, target, base, destination, accessor, deviceToImage, pixels);
    }
    if (!interpolating(hint)) {
        return renderSampled<typename SampledSpans<Accessor>::Nearest>(
            state, target, base, destination, accessor, deviceToImage, pixels);
    }
    agg::image_filter_lut filter;
    buildImageFilter(hint, filter);
    const FilterWeights weights(filter, imageFilterLayout(hint));
    renderSampled<FilteredSpans<Accessor>>(state, target, base, destination, accessor,
                                           deviceToImage, weights, pixels);
}

template <class WrapX, class WrapY>
void renderWrapped(GraphicsState& state, RenderTarget& target, Base& base,
                   const Destination& destination, RowSourcePixels& pixels,
                   const Placement& placement, const ImageRowSource& rows) {
    WrapAccessor<WrapX, WrapY> accessor(pixels);
    renderThrough(state, target, base, destination, accessor, pixels, placement, rows);
}

}  // namespace

void renderImage(GraphicsState& state, RenderTarget& target, const ImageDescriptor& image,
                 WrapMode wrapX, WrapMode wrapY) {
    const Composite& composite = *state.composite;
    const bool hasCtm = state.transformKind() != TRANSFORM_IDENTITY;
    Placement placement{image.transform, false, 0, 0};
    if (hasCtm) placement.imageToDevice *= state.transform;
    placement.copy = wholePixelOffset(placement.imageToDevice, placement.dx, placement.dy);
    if (wrapX != WRAP_NONE && wrapY != WRAP_NONE) {
        placement.periodX = int64_t(image.width) * (wrapX == WRAP_REFLECT ? 2 : 1);
        placement.periodY = int64_t(image.height) * (wrapY == WRAP_REFLECT ? 2 : 1);
        reduceToPeriod(placement.dx, placement.periodX);
        reduceToPeriod(placement.dy, placement.periodY);
    }

    // The copy path applies the extra alpha itself, so that rows stay in
    // place; filters that blend neighbours want premultiplied rows.
    const bool filtered = !placement.copy && interpolating(state.imageFilterHint());
    ImageRowSource rows(image, placement.copy ? 1.0 : composite.alpha(),
                        hasCtm ? &state.transform : nullptr, filtered);
    if (!rows.usable()) return;

    const Ref<DataBuffer> buffer = target.getDataBuffer();
    if (!buffer) return;
    RowBuffer* destination = buffer->rowBuffer();
    if (destination->buf() == nullptr) return;
    CompositePixelFormat pixelFormat(*destination, composite.rule(), rows.premultiplied());
    Base base(pixelFormat);
    RowSourcePixels pixels(rows);
    const Destination to{*destination, validRule(composite.rule()) == CompositeRule::SrcOver,
                         rows.premultiplied()};

    if (wrapX == WRAP_NONE || wrapY == WRAP_NONE) {
        ClampAccessor accessor(pixels);
        return renderThrough(state, target, base, to, accessor, pixels, placement, rows);
    }
    using Repeat = agg::wrap_mode_repeat;
    using Reflect = agg::wrap_mode_reflect;
    if (wrapX == WRAP_REPEAT) {
        if (wrapY == WRAP_REPEAT) {
            return renderWrapped<Repeat, Repeat>(state, target, base, to, pixels, placement, rows);
        }
        return renderWrapped<Repeat, Reflect>(state, target, base, to, pixels, placement, rows);
    }
    if (wrapY == WRAP_REPEAT) {
        return renderWrapped<Reflect, Repeat>(state, target, base, to, pixels, placement, rows);
    }
    renderWrapped<Reflect, Reflect>(state, target, base, to, pixels, placement, rows);
}

namespace {

// Whether the value is a whole number small enough to be an int.
bool wholeInt(double v) {
    return std::fabs(v) <= maxCopyOffset && v == std::trunc(v);
}

// Rows narrower than this are blended pixel by pixel in place: the span
// kernels' set-up would cost more than the pixels.
constexpr unsigned narrowCopy = 8;

// Source-over at full alpha of the image columns from `column` on, `len`
// wide, onto device rows top..bottom from column `left` (image row y - dy):
// each pixel as the span kernels blend it at full cover.
template <bool Premultiplied>
void overNarrowRows(RowBuffer& destination, const ClampAccessor& accessor, int column, int left,
                    int top, int bottom, unsigned len, int dy) {
    for (int y = top; y <= bottom; ++y) {
        const agg::int8u* source = accessor.rowAt(y - dy) + 4 * column;
        agg::int8u* p = destination.row_ptr(y) + 4 * left;
        for (unsigned i = 0; i < len; ++i, p += 4, source += 4) {
            const agg::rgba8 colour(source[2], source[1], source[0], source[3]);
            over::colourPixel<Premultiplied>(p, colour, agg::cover_full);
        }
    }
}

// Source-over at the extra alpha `alpha` of the image columns from `column`
// on, `len` wide, onto device rows top..bottom from column `left` (image row
// y - dy), straight from the image rows into the target's.
void overImageRows(RowBuffer& destination, const ClampAccessor& accessor, bool premultiplied,
                   unsigned alpha, int column, int left, int top, int bottom, unsigned len,
                   int dy) {
    const auto row = premultiplied ? overImageRow<true> : overImageRow<false>;
    for (int y = top; y <= bottom; ++y) {
        row(destination.row_ptr(y) + 4 * left, accessor.rowAt(y - dy) + 4 * column, len, alpha);
    }
}

}  // namespace

bool copyImageRect(GraphicsState& state, RenderTarget& target, const ImageDescriptor& image) {
    if (!(state.clipFlags & CLIP_RECT)) return false;
    const agg::rect_d& clip = state.clipBox;
    if (!wholeInt(clip.x1) || !wholeInt(clip.y1) || !wholeInt(clip.x2) || !wholeInt(clip.y2)) {
        return false;
    }
    const bool hasCtm = state.transformKind() != TRANSFORM_IDENTITY;
    agg::trans_affine imageToDevice = image.transform;
    if (hasCtm) imageToDevice *= state.transform;
    int dx, dy;
    if (!wholePixelOffset(imageToDevice, dx, dy)) return false;

    // Every pixel of the image inside the clip box is fully covered; the
    // base renderer clips the rows to the target.
    const int64_t x0 = std::max<int64_t>(dx, int64_t(clip.x1));
    const int64_t x1 = std::min<int64_t>(int64_t(dx) + image.width, int64_t(clip.x2));
    const int64_t y0 = std::max<int64_t>(dy, int64_t(clip.y1));
    const int64_t y1 = std::min<int64_t>(int64_t(dy) + image.height, int64_t(clip.y2));
    if (x0 >= x1 || y0 >= y1) return true;

    const Composite& composite = *state.composite;
    ImageRowSource rows(image, 1.0, hasCtm ? &state.transform : nullptr, false);
    if (!rows.usable()) return true;
    const Ref<DataBuffer> buffer = target.getDataBuffer();
    if (!buffer) return true;
    RowBuffer* destination = buffer->rowBuffer();
    if (destination->buf() == nullptr) return true;
    CompositePixelFormat pixelFormat(*destination, composite.rule(), rows.premultiplied());
    Base base(pixelFormat);
    RowSourcePixels pixels(rows);
    ClampAccessor accessor(pixels);
    TranslatedImageSpan<ClampAccessor> spans(accessor, dx, dy, alphaByte(composite.alpha()),
                                             rows.premultiplied());
    const int top = int(std::max<int64_t>(y0, base.ymin()));
    const int bottom = int(std::min<int64_t>(y1 - 1, base.ymax()));
    const int left = int(std::max<int64_t>(x0, base.xmin()));
    const int right = int(std::min<int64_t>(x1 - 1, base.xmax()));
    if (left > right) return true;
    const unsigned len = unsigned(right - left + 1);
    if (validRule(composite.rule()) == CompositeRule::SrcOver) {
        const unsigned alpha = unsigned(alphaByte(composite.alpha()));
        if (alpha == 255 && len < narrowCopy) {
            if (rows.premultiplied()) {
                overNarrowRows<true>(*destination, accessor, left - dx, left, top, bottom, len, dy);
            } else {
                overNarrowRows<false>(*destination, accessor, left - dx, left, top, bottom, len,
                                      dy);
            }
        } else {
            overImageRows(*destination, accessor, rows.premultiplied(), alpha, left - dx, left, top,
                          bottom, len, dy);
        }
        return true;
    }
    agg::span_allocator<agg::rgba8> allocator;
    agg::rgba8* colours = allocator.allocate(len);
    for (int y = top; y <= bottom; ++y) {
        spans.generate(colours, left, y, len);
        base.blend_color_hspan(left, y, int(len), colours, nullptr, agg::cover_full);
    }
    return true;
}

void renderTexture(const TexturePaint& paint, GraphicsState& state, RenderTarget& target) {
    ImageDescriptor image;
    if (!describeRenderTarget(paint.source(), image)) return;
    image.transform = paint.transform();
    renderImage(state, target, image, paint.wrapX(), paint.wrapY());
}

}  // namespace lumo
