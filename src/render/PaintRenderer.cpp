#include "render/PaintRenderer.h"

#include "core/RenderTarget.h"
#include "paint/GradientPaint.h"
#include "paint/SolidPaint.h"
#include "render/GradientRenderer.h"
#include "render/GraphicsState.h"
#include "render/ImageRenderer.h"
#include "render/SolidRenderer.h"

namespace lumo {

void renderPaint(GraphicsState& state, RenderTarget& target) {
    Paint& paint = *state.paint;
    switch (paint.kind()) {
        case PAINT_SOLID:
            renderSolid(static_cast<SolidPaint&>(paint).colour(), state, target);
            break;
        case PAINT_GRADIENT:
            renderGradient(static_cast<GradientPaint&>(paint), state, target);
            break;
        case PAINT_TEXTURE:
        case PAINT_LINE_PATTERN:
            renderTexture(static_cast<TexturePaint&>(paint), state, target);
            break;
        default:
            break;
    }
}

}  // namespace lumo
