#pragma once

#include "device/BitmapInfo.h"

#include <algorithm>
#include <cstdint>

namespace lumo {

// Which pixels GDI's SetDIBitsToDevice reads from a band of scan lines and
// where it puts them, before the device's own clipping. Linux's memory surface
// copies by it; the Windows platform layer hands GDI only rectangles clipped
// by it, so that GDI never sees coordinates near the int limits.
//
// `bits` holds a band of scanLines rows in the bitmap's memory order; the
// band's lowest row is scan line startScan, counted from the bitmap's bottom.
// A bottom-up band ends at the bitmap's top row. Of a top-down band only its
// top rows are read, at most as many as the bitmap has. The source
// rectangle's y is its lower-left corner, counted from the bottom like scan
// lines, for both orientations.
struct DibClip {
    // What SetDIBitsToDevice returns: 0 for bad arguments or a rectangle that
    // misses the readable rows or the bitmap's columns; otherwise the band's
    // lines, of a bottom-up band only those up to the rectangle's top row. A
    // top-down band returns its lines also for a rectangle wholly below it.
    int result = 0;
    // The part of the rectangle that is read: bitmap columns, and rows of
    // `bits` counted down from the band's top row; and where its top-left
    // pixel lands.
    int64_t column = 0;
    int64_t columns = 0;
    int64_t row = 0;
    int64_t rows = 0;
    int64_t xDest = 0;
    int64_t yDest = 0;
    // Rows of the band, and its orientation.
    int64_t lines = 0;
    bool topDown = false;

    bool empty() const { return columns <= 0 || rows <= 0; }
    // The row of `bits`, in memory order, of a row counted from the band's top.
    int64_t memoryRow(int64_t fromTop) const { return topDown ? fromTop : lines - 1 - fromTop; }
};

// Sizes are GDI's unsigned DWORDs; a negative one reads nothing and gives 0.
inline DibClip clipDib(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                       int startScan, int scanLines, const BitmapInfo& info) {
    DibClip clip;
    const int64_t bitmapHeight = info.biHeight < 0 ? -int64_t(info.biHeight) : info.biHeight;
    if (info.biWidth <= 0 || bitmapHeight == 0 || width < 0 || height < 0 || startScan < 0 ||
        scanLines <= 0 || startScan >= bitmapHeight) {
        return clip;
    }
    clip.topDown = info.biHeight < 0;
    clip.lines = clip.topDown ? scanLines : std::min<int64_t>(scanLines, bitmapHeight - startScan);
    // The rectangle's top row, counted from the band's top row.
    const int64_t top = int64_t(startScan) + clip.lines - (int64_t(ySrc) + height);
    int64_t result = clip.lines;
    if (top >= clip.lines) {
        clip.result = clip.topDown ? int(clip.lines) : 0;
        return clip;
    }
    if (top > 0 && !clip.topDown) result -= top;
    const int64_t readable = clip.topDown ? std::min(clip.lines, bitmapHeight) : clip.lines;

    clip.row = std::max<int64_t>(top, 0);
    clip.rows = std::min(top + height, readable) - clip.row;
    clip.column = std::max<int64_t>(xSrc, 0);
    clip.columns = std::min<int64_t>(int64_t(xSrc) + width, info.biWidth) - clip.column;
    if (clip.empty()) return clip;
    clip.xDest = int64_t(xDest) + (clip.column - xSrc);
    clip.yDest = int64_t(yDest) + (clip.row - top);
    clip.result = int(result);
    return clip;
}

}  // namespace lumo
