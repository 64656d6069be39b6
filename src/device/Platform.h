#pragma once

#include "device/BitmapInfo.h"

#include <cstdint>

// The few services lumo takes from the operating system: device output and a
// high-resolution timer. Each platform implements them in its own file; the
// same file runs the start-up work when the library is loaded.
namespace lumo::platform {

// Copies bitmap rows to a device context with the semantics of GDI's
// SetDIBitsToDevice; returns the number of scan lines, 0 on failure.
int setDIBitsToDevice(int32_t hdc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                      int startScan, int scanLines, const void* bits, const BitmapInfo& info);

// Ticks of a monotonic counter, and its ticks per second; 0 on failure.
int64_t performanceCounter();
int64_t performanceFrequency();

}  // namespace lumo::platform
