#include "render/GraphicsState.h"

#include "paint/SolidPaint.h"

namespace lumo {

GraphicsState::GraphicsState(uint32_t targetWidth, uint32_t targetHeight)
    : paint(SolidPaint::create(agg::rgba8(0, 0, 0, 255))),
      stroke(StrokeStyle::createDefault()),
      composite(Composite::create(CompositeRule::SrcOver, 1.0f)),
      clipBox(0, 0, targetWidth, targetHeight) {}

GraphicsState::GraphicsState(const GraphicsState& other)
    : hints(other.hints),
      paint(other.paint),
      stroke(other.stroke),
      composite(other.composite),
      clipPath(other.clipPath),
      clipBox(other.clipBox),
      clipFlags(other.clipFlags),
      clipFillRule(other.clipFillRule),
      clipSerial(other.clipSerial),
      transform(other.transform),
      fillRule(other.fillRule),
      transformKind_(other.transformKind_) {}

void GraphicsState::setHint(int32_t key, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    switch (static_cast<uint32_t>(key)) {
        case HINT_ANTIALIAS:
        case HINT_KEY_2:
        case HINT_CLIP_ANTIALIAS:
        case HINT_DEVICE_STROKE:
            hints = value != 0 ? (hints | uint32_t(key)) : (hints & ~uint32_t(key));
            break;
        case HINT_STROKE_OFFSET:
            hints = (hints & ~uint32_t(HINT_STROKE_OFFSET)) | ((v << 9) & HINT_STROKE_OFFSET);
            break;
        case HINT_IMAGE_FILTER:
            hints = (hints & ~uint32_t(HINT_IMAGE_FILTER)) | ((v << 11) & HINT_IMAGE_FILTER);
            break;
        default:
            break;
    }
}

void GraphicsState::setTransform(const double* m) {
    if (m == nullptr) {
        transform.reset();
    } else {
        transform = agg::trans_affine(m[0], m[1], m[2], m[3], m[4], m[5]);
    }
    transformKind_ = 0;
}

TransformKind GraphicsState::transformKind() {
    if (transformKind_ == 0) transformKind_ = classifyTransform(transform);
    return static_cast<TransformKind>(transformKind_);
}

bool GraphicsState::clipBoxEmpty() const {
    return !(clipBox.x1 <= clipBox.x2 && clipBox.y1 <= clipBox.y2 && clipBox.x1 != clipBox.x2 &&
             clipBox.y1 != clipBox.y2);
}

}  // namespace lumo
