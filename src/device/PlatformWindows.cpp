// Windows platform layer: GDI's SetDIBitsToDevice on real device contexts,
// the performance counter, and DllMain for the process-attach hook.
#include "device/DibClip.h"
#include "device/Platform.h"
#include "device/Startup.h"

#include <windows.h>

#include <cstddef>
#include <limits>

namespace lumo {
namespace {

// BitmapInfo is handed to GDI as a BITMAPINFO.
static_assert(sizeof(BitmapInfo) == sizeof(BITMAPINFO), "BitmapInfo must be a BITMAPINFO");
static_assert(offsetof(BitmapInfo, biWidth) == offsetof(BITMAPINFOHEADER, biWidth), "biWidth");
static_assert(offsetof(BitmapInfo, biHeight) == offsetof(BITMAPINFOHEADER, biHeight), "biHeight");
static_assert(offsetof(BitmapInfo, biBitCount) == offsetof(BITMAPINFOHEADER, biBitCount),
              "biBitCount");
static_assert(offsetof(BitmapInfo, biCompression) == offsetof(BITMAPINFOHEADER, biCompression),
              "biCompression");
static_assert(offsetof(BitmapInfo, biClrImportant) == offsetof(BITMAPINFOHEADER, biClrImportant),
              "biClrImportant");
static_assert(offsetof(BitmapInfo, colours) == offsetof(BITMAPINFO, bmiColors), "bmiColors");

bool fitsInt(int64_t value) {
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

}  // namespace
}  // namespace lumo

namespace lumo::platform {

int setDIBitsToDevice(int32_t hdc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                      int startScan, int scanLines, const void* bits, const BitmapInfo& info) {
    if (hdc == 0 || bits == nullptr) return 0;
    // GDI gets the rectangle already clipped to what it would read, so that
    // it only ever sees small coordinates whatever Java passed: near the int
    // limits its own arithmetic could overflow.
    const DibClip clip =
        clipDib(xDest, yDest, width, height, xSrc, ySrc, startScan, scanLines, info);
    if (clip.empty()) return clip.result;
    // The clipped rectangle's lower-left corner, counted from the bottom.
    const int64_t y = startScan + clip.lines - (clip.row + clip.rows);
    // A destination beyond the int range lies off every device.
    if (!fitsInt(clip.xDest) || !fitsInt(clip.yDest) || !fitsInt(y)) return 0;

    // Device contexts are handles with 32 significant bits, which 64-bit
    // Windows sign-extends.
    const HDC dc = reinterpret_cast<HDC>(static_cast<intptr_t>(hdc));
    return SetDIBitsToDevice(dc, int(clip.xDest), int(clip.yDest), DWORD(clip.columns),
                             DWORD(clip.rows), int(clip.column), int(y), UINT(startScan),
                             UINT(scanLines), bits, reinterpret_cast<const BITMAPINFO*>(&info),
                             DIB_RGB_COLORS);
}

int64_t performanceCounter() {
    LARGE_INTEGER count;
    return QueryPerformanceCounter(&count) ? count.QuadPart : 0;
}

int64_t performanceFrequency() {
    LARGE_INTEGER frequency;
    return QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
}

}  // namespace lumo::platform

// The loader calls this when the DLL is mapped into the process, before any
// entry point can run, and again as threads start and end. Only the tables are
// filled, once, at process attach: no other library is loaded under the loader
// lock. Thread notifications stay on (no DisableThreadLibraryCalls), because
// the statically linked C and C++ runtimes rely on them to set up and free
// their per-thread data.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) lumo::startUp();
    return TRUE;
}
