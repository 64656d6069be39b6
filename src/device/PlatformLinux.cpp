// Linux platform layer: a registry of memory surfaces stands in for device
// contexts, CLOCK_MONOTONIC for the performance counter, and an ELF load-time
// constructor for the process-attach hook.
#include "core/HandleRegistry.h"
#include "device/MemorySurface.h"
#include "device/Platform.h"
#include "device/Startup.h"

#include <time.h>

namespace lumo::platform {

int setDIBitsToDevice(int32_t hdc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                      int startScan, int scanLines, const void* bits, const BitmapInfo& info) {
    auto* surface = HandleRegistry::instance().find<MemorySurface>(hdc, HandleKind::Device);
    if (surface == nullptr) return 0;
    return surface->setDIBits(xDest, yDest, width, height, xSrc, ySrc, startScan, scanLines, bits,
                              info);
}

int64_t performanceCounter() {
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t performanceFrequency() {
    return 1000000000;
}

}  // namespace lumo::platform

namespace {

__attribute__((constructor)) void onLibraryLoad() {
    lumo::startUp();
}

}  // namespace
