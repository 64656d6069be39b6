#include "context/Clipping.h"

#include "geometry/VertexSource.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

namespace lumo {

namespace {

agg::rect_d targetBox(uint32_t width, uint32_t height) {
    return agg::rect_d(0, 0, width, height);
}

// The part of the box inside the target.
agg::rect_d cutToTarget(const agg::rect_d& box, uint32_t width, uint32_t height) {
    return agg::rect_d(std::max(box.x1, 0.0), std::max(box.y1, 0.0),
                       std::min(box.x2, double(width)), std::min(box.y2, double(height)));
}

// Serials of clip paths, unique for the life of the process.
std::atomic<uint64_t> lastClipSerial{0};

struct PathBounds {
    bool usable = false;
    bool curved = false;
    agg::rect_d box{0, 0, 0, 0};
};

// Bounding box of every point of the path, control points included.
PathBounds analyse(VertexSource& path) {
    PathBounds bounds;
    double x = 0, y = 0;
    path.rewind(0);
    unsigned cmd = path.vertex(&x, &y);
    if (!agg::is_move_to(cmd) || !std::isfinite(x) || !std::isfinite(y)) return bounds;
    bounds.box = agg::rect_d(x, y, x, y);
    while (!agg::is_stop(cmd = path.vertex(&x, &y))) {
        if (!agg::is_vertex(cmd)) continue;
        if (!std::isfinite(x) || !std::isfinite(y)) return PathBounds();
        if (agg::is_curve(cmd)) bounds.curved = true;
        bounds.box.x1 = std::min(bounds.box.x1, x);
        bounds.box.y1 = std::min(bounds.box.y1, y);
        bounds.box.x2 = std::max(bounds.box.x2, x);
        bounds.box.y2 = std::max(bounds.box.y2, y);
    }
    bounds.usable = true;
    return bounds;
}

}  // namespace

void resetClip(GraphicsState& state, uint32_t targetWidth, uint32_t targetHeight) {
    state.clipBox = targetBox(targetWidth, targetHeight);
    state.clipPath.remove_all();
    state.clipFillRule = agg::fill_non_zero;
    state.clipFlags = CLIP_RECT;
}

void setRectangleClip(GraphicsState& state, const agg::rect_d& corners, const uint32_t* targetWidth,
                      const uint32_t* targetHeight) {
    agg::rect_d box = corners;
    if (box.x1 > box.x2) std::swap(box.x1, box.x2);
    if (box.y1 > box.y2) std::swap(box.y1, box.y2);
    if (targetWidth != nullptr && targetHeight != nullptr) {
        box = cutToTarget(box, *targetWidth, *targetHeight);
    }
    state.clipBox = box;
    state.clipFlags = CLIP_RECT;
    state.clipPath.remove_all();
    state.clipFillRule = agg::fill_non_zero;
}

void setPathClip(GraphicsState& state, VertexSource& path, agg::filling_rule_e rule,
                 uint32_t targetWidth, uint32_t targetHeight) {
    state.clipPath.remove_all();
    state.clipFillRule = rule;
    state.clipSerial = ++lastClipSerial;
    const PathBounds bounds = analyse(path);
    if (!bounds.usable) {
        state.clipBox = agg::rect_d(0, 0, 0, 0);
        state.clipFlags |= CLIP_RECT;
        return;
    }
    const agg::rect_d& b = bounds.box;
    const bool exceeds = b.x1 < 0 || b.y1 < 0 || b.x2 > targetWidth || b.y2 > targetHeight;
    // The box is only a bound for the rasteriser: rounded out to whole
    // pixels, so that it never cuts into the clip's own edge coverage.
    const agg::rect_d pixels(std::floor(b.x1), std::floor(b.y1), std::ceil(b.x2), std::ceil(b.y2));
    state.clipBox = cutToTarget(pixels, targetWidth, targetHeight);
    state.clipFlags = (state.clipFlags & ~uint32_t(CLIP_KIND_MASK)) |
                       (bounds.curved ? CLIP_CURVED : 0u) | (exceeds ? CLIP_EXCEEDS : 0u);
    if (state.clipBox.x1 <= state.clipBox.x2 && state.clipBox.y1 <= state.clipBox.y2) {
        state.clipPath.concat_path(path);
    }
}

}  // namespace lumo
