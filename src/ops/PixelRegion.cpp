#include "ops/PixelRegion.h"

#include <algorithm>

namespace lumo {

namespace {

// How far the rectangle [start, start + length) must move its start forward
// and its end back to lie within [0, limit).
struct Cut {
    int64_t front;
    int64_t back;
};

Cut cutToLimit(int64_t start, int64_t length, int64_t limit) {
    return {std::max<int64_t>(0, -start), std::max<int64_t>(0, start + length - limit)};
}

}  // namespace

bool layoutFits(const PixelRegion& r, int64_t pixelCount) {
    return r.bufferWidth >= 0 && r.bufferHeight >= 0 &&
           int64_t(r.bufferWidth) * r.bufferHeight <= pixelCount;
}

bool fitRegion(PixelRegion& r, int64_t pixelCount) {
    if (!layoutFits(r, pixelCount) || r.width <= 0 || r.height <= 0) return false;
    const Cut cx = cutToLimit(r.x, r.width, r.bufferWidth);
    const Cut cy = cutToLimit(r.y, r.height, r.bufferHeight);
    const int64_t width = int64_t(r.width) - cx.front - cx.back;
    const int64_t height = int64_t(r.height) - cy.front - cy.back;
    if (width <= 0 || height <= 0) return false;
    r.x = int32_t(r.x + cx.front);
    r.y = int32_t(r.y + cy.front);
    r.width = int32_t(width);
    r.height = int32_t(height);
    return true;
}

bool fitRegionPair(PixelRegion& s, int64_t sourcePixels, PixelRegion& d,
                   int64_t destinationPixels) {
    if (!layoutFits(s, sourcePixels) || !layoutFits(d, destinationPixels)) return false;
    const int64_t w = std::min(s.width, d.width);
    const int64_t h = std::min(s.height, d.height);
    if (w <= 0 || h <= 0) return false;
    const Cut sx = cutToLimit(s.x, w, s.bufferWidth), dx = cutToLimit(d.x, w, d.bufferWidth);
    const Cut sy = cutToLimit(s.y, h, s.bufferHeight), dy = cutToLimit(d.y, h, d.bufferHeight);
    const int64_t front = std::max(sx.front, dx.front), back = std::max(sx.back, dx.back);
    const int64_t top = std::max(sy.front, dy.front), bottom = std::max(sy.back, dy.back);
    const int64_t width = w - front - back;
    const int64_t height = h - top - bottom;
    if (width <= 0 || height <= 0) return false;
    s.x = int32_t(s.x + front);
    d.x = int32_t(d.x + front);
    s.y = int32_t(s.y + top);
    d.y = int32_t(d.y + top);
    s.width = d.width = int32_t(width);
    s.height = d.height = int32_t(height);
    return true;
}

}  // namespace lumo
