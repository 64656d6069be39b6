#include "image/RenderTargetImage.h"

namespace lumo {

bool describeRenderTarget(RenderTarget& source, ImageDescriptor& image) {
    // An empty target has nothing to draw; its width alone may exceed what
    // a row's byte count holds (only width x height is limited).
    if (source.width() <= 0 || source.height() <= 0) return false;
    const Ref<DataBuffer> buffer = source.getDataBuffer();
    if (!buffer) return false;
    buffer->rowBuffer();
    if (buffer->pixels() == nullptr) return false;
    image.kind = IMAGE_RENDER_TARGET;
    image.width = source.width();
    image.height = source.height();
    image.bytesPerLine = source.width() * 4;
    image.depth = 32;
    image.alpha = 1;
    image.isDirect = false;
    image.data = reinterpret_cast<const uint8_t*>(buffer->pixels());
    image.owner = Ref<RenderTarget>(&source);
    return true;
}

}  // namespace lumo
