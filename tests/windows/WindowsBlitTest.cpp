// Checks lumo's device output on Windows against MemorySurface, the stand-in
// for a device context that Linux builds use, in three layers:
// - GDI's SetDIBitsToDevice and MemorySurface::setDIBits given the same bitmap
//   and arguments: every bit count, both orientations, scan-line bands and
//   clipped rectangles;
// - lumo.dll loaded as a JVM loads it, its entry points found by name and
//   called through a fake JNIEnv with Java arrays of 32, 24 and 16-bit rows;
// - the objects the DLL is linked from, linked into this program, to blit a
//   render target whose pixels the test writes (no entry point gives a target
//   pixels before drawing exists).
// Each device is a 32-bit DIB section selected into a memory device context.
// Prints "N passed, M failed" and exits non-zero on a failure.
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "device/MemorySurface.h"
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using lumo::BitmapInfo;
using lumo::MemorySurface;

int passed = 0;
int failed = 0;

void check(bool ok, const std::string& what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAILED: %s\n", what.c_str());
    }
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(value));
    return text;
}

// A 32-bit top-down DIB section in a memory device context.
class Device {
public:
    Device(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Device() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool ok() const { return dc_ != nullptr && bits_ != nullptr; }
    HDC dc() const { return dc_; }
    // The device context as Java holds it: a 32-bit int.
    jint handle() const { return jint(reinterpret_cast<intptr_t>(dc_)); }

    std::vector<uint32_t> pixels() const {
        GdiFlush();
        return std::vector<uint32_t>(bits_, bits_ + size_t(width_) * height_);
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const uint32_t* bits_ = nullptr;
};

// The device shows what the stand-in holds after the same calls.
void expectSame(const Device& device, const MemorySurface& surface, const std::string& what) {
    const auto got = device.pixels();
    for (size_t i = 0; i < got.size(); ++i) {
        if (got[i] != surface.pixels()[i]) {
            const int x = int(i % surface.width()), y = int(i / surface.width());
            check(false, what + ": pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                             ") is " + hex(got[i]) + " on GDI, " + hex(surface.pixels()[i]) +
                             " on the stand-in");
            return;
        }
    }
    check(true, what);
}

bool untouched(const Device& device) {
    for (uint32_t pixel : device.pixels()) {
        if (pixel != 0) return false;
    }
    return true;
}

// Distinct 0xAARRGGBB colours by row and column.
uint32_t colour(int row, int column) {
    return 0x80000000u | uint32_t(row * 40 + 7) << 16 | uint32_t(column * 30 + 11) << 8 |
           uint32_t(row * column * 9 + 5);
}

// Writes a colour as a pixel of the bit count; 16-bit pixels are 5-5-5 with
// the unused top bit set on odd pixels, which a device must ignore.
void encode(uint32_t argb, int bitCount, bool odd, uint8_t* out) {
    if (bitCount == 32) {
        std::memcpy(out, &argb, 4);
    } else if (bitCount == 24) {
        out[0] = uint8_t(argb);
        out[1] = uint8_t(argb >> 8);
        out[2] = uint8_t(argb >> 16);
    } else {
        const uint32_t r = (argb >> 19) & 31, g = (argb >> 11) & 31, b = (argb >> 3) & 31;
        const uint16_t v = uint16_t((odd ? 0x8000 : 0) | r << 10 | g << 5 | b);
        std::memcpy(out, &v, 2);
    }
}

// A BI_RGB bitmap: its header and its rows in memory order.
struct Bitmap {
    BitmapInfo info;
    std::vector<uint8_t> bytes;
};

// `rows` rows of `width` pixels in memory order, row m holding colour(m, c),
// each padded with 0xEE; then a row of 0xEE that no device may read.
std::vector<uint8_t> pixelRows(int width, int rows, int bitCount, bool guard) {
    const size_t stride = size_t(lumo::dibStride(width, bitCount));
    std::vector<uint8_t> bytes(stride * (rows + (guard ? 1 : 0)), 0xEE);
    for (int m = 0; m < rows; ++m) {
        for (int c = 0; c < width; ++c) {
            encode(colour(m, c), bitCount, (m + c) % 2 == 1,
                   &bytes[m * stride + c * (bitCount / 8)]);
        }
    }
    return bytes;
}

BitmapInfo header(int width, int height, int bitCount) {
    BitmapInfo info;
    info.biWidth = width;
    info.biHeight = height;
    info.biBitCount = uint16_t(bitCount);
    return info;
}

// A top-down bitmap as Java passes it: row r of the picture is row r in memory.
Bitmap topDownBitmap(int width, int height, int bitCount) {
    return {header(width, -height, bitCount), pixelRows(width, height, bitCount, false)};
}

struct Blit {
    int xDest, yDest, width, height, xSrc, ySrc;
    std::string name() const {
        return "(" + std::to_string(xDest) + ", " + std::to_string(yDest) + ", " +
               std::to_string(width) + ", " + std::to_string(height) + ", " + std::to_string(xSrc) +
               ", " + std::to_string(ySrc) + ")";
    }
};

void gdiMatchesTheStandIn() {
    // A 5 x 4 bitmap onto a 6 x 5 device; source y counts from the bottom.
    const Blit blits[] = {
        {0, 0, 5, 4, 0, 0},    // all of it
        {0, 0, 4, 2, 0, 1},    // two middle rows
        {3, 2, 5, 4, 0, 0},    // hangs off the device's right and bottom
        {-2, -1, 5, 4, 1, 0},  // hangs off its left and top
        {1, 1, 3, 3, 3, -1},   // source partly right of and below the bitmap
        {0, 0, 2, 6, 1, 1},    // source partly above the bitmap
        {0, 0, 2, 2, 7, 0},    // source beside the bitmap
        {0, 0, 3, 2, 0, -3},   // source below the bitmap
        {7, 0, 2, 2, 0, 0},    // destination beside the device
        {0, 0, 0, 3, 0, 0},    // no columns
        {0, 0, 3, 0, 0, 1},    // no rows
    };
    // Bands of scan lines: all, inside, reaching past the top (beyond the
    // bitmap's height, too), and starting at or above the top.
    const int bands[][2] = {{0, 4}, {1, 2}, {0, 1}, {3, 2}, {2, 9}, {0, 9}, {4, 1}};
    for (int bitCount : {32, 24, 16}) {
        for (bool topDown : {false, true}) {
            const BitmapInfo info = header(5, topDown ? -4 : 4, bitCount);
            for (const auto& scans : bands) {
                // The rows a device may read: at most as many as the bitmap
                // has, of a bottom-up band only up to its top row.
                const int rows = std::max(1, std::min(scans[1], topDown ? 4 : 4 - scans[0]));
                const auto bits = pixelRows(5, rows, bitCount, true);
                for (const Blit& b : blits) {
                    const std::string what = std::to_string(bitCount) + " bits, " +
                                             (topDown ? "top-down" : "bottom-up") + ", blit " +
                                             b.name() + ", scan lines " + std::to_string(scans[0]) +
                                             " + " + std::to_string(scans[1]);
                    Device device(6, 5);
                    auto surface = MemorySurface::create(6, 5);
                    const int gdi = SetDIBitsToDevice(
                        device.dc(), b.xDest, b.yDest, DWORD(b.width), DWORD(b.height), b.xSrc,
                        b.ySrc, UINT(scans[0]), UINT(scans[1]), bits.data(),
                        reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
                    const int standIn =
                        surface->setDIBits(b.xDest, b.yDest, b.width, b.height, b.xSrc, b.ySrc,
                                           scans[0], scans[1], bits.data(), info);
                    check(gdi == standIn, what + ": GDI returns " + std::to_string(gdi) +
                                              ", the stand-in " + std::to_string(standIn));
                    expectSame(device, *surface, what);
                }
            }
        }
    }
}

// What a Java blit of a top-down array bitmap does to the stand-in: Java's
// source y counts from the top, the device's from the bottom.
void blitArrayOnStandIn(MemorySurface& surface, const Blit& b, const Bitmap& bitmap) {
    const int bitmapHeight = std::abs(bitmap.info.biHeight);
    surface.setDIBits(b.xDest, b.yDest, b.width, b.height, b.xSrc, bitmapHeight - b.height - b.ySrc,
                      0, bitmapHeight, bitmap.bytes.data(), bitmap.info);
}

#define LUMO_NAME(name) "Java_com_quarn_lumo_internal_LUMO_" #name
#define LUMO_TYPE(name) decltype(&Java_com_quarn_lumo_internal_LUMO_##name)
#define LIBRARY_ENTRY(name) LUMO_TYPE(name) name = find<LUMO_TYPE(name)>(LUMO_NAME(name))

// lumo.dll and its entry points, found by name with the types they are
// declared with.
struct Library {
    template <class F>
    F find(const char* name) {
        const FARPROC address = module ? GetProcAddress(module, name) : nullptr;
        check(address != nullptr, std::string("lumo.dll exports ") + name);
        return reinterpret_cast<F>(reinterpret_cast<void (*)()>(address));
    }

    HMODULE module = LoadLibraryW(L"lumo.dll");
    LIBRARY_ENTRY(createDataBuffer);
    LIBRARY_ENTRY(clearDataBuffer);
    LIBRARY_ENTRY(deleteDataBuffer);
    LIBRARY_ENTRY(createNativeImage);
    LIBRARY_ENTRY(deleteNativeImage);
    LIBRARY_ENTRY(SetDIBitsToDevice);
    LIBRARY_ENTRY(SetDIBitsToDeviceInt);
    LIBRARY_ENTRY(SetDIBitsToDeviceByte);
    LIBRARY_ENTRY(SetDIBitsToDeviceShort);
    LIBRARY_ENTRY(queryPerformanceCounter);
    LIBRARY_ENTRY(queryPerformanceFrequency);

    bool complete() const {
        return createDataBuffer && clearDataBuffer && deleteDataBuffer && createNativeImage &&
               deleteNativeImage && SetDIBitsToDevice && SetDIBitsToDeviceInt &&
               SetDIBitsToDeviceByte && SetDIBitsToDeviceShort && queryPerformanceCounter &&
               queryPerformanceFrequency;
    }
};

// A Java array holding a top-down bitmap's bytes, of the element type the
// entry point for its bit count takes.
jarray javaArray(lumo::test::FakeJni& jni, const Bitmap& bitmap) {
    const auto& bytes = bitmap.bytes;
    if (bitmap.info.biBitCount == 24) {
        // The last row stops after its pixels, as a Java array may.
        const size_t unpadded = bytes.size() - size_t(lumo::dibStride(bitmap.info.biWidth, 24)) +
                                size_t(bitmap.info.biWidth) * 3;
        return jni.bytes(std::vector<jbyte>(bytes.begin(), bytes.begin() + unpadded));
    }
    if (bitmap.info.biBitCount == 16) {
        std::vector<jshort> shorts(bytes.size() / 2);
        std::memcpy(shorts.data(), bytes.data(), bytes.size());
        return jni.shorts(shorts);
    }
    std::vector<jint> ints(bytes.size() / 4);
    std::memcpy(ints.data(), bytes.data(), bytes.size());
    return jni.ints(ints);
}

void arrayBlitsMatchTheStandIn(Library& lumo) {
    // Bitmaps of 4 x 3 (rows without padding) and 3 x 3 (padded 24 and
    // 16-bit rows) onto a 4 x 3 device; source y counts from the top.
    const Blit blits[] = {
        {0, 0, 4, 2, 0, 1},   // source y 1, height 2
        {1, -1, 4, 3, 0, 0},  // reaches outside the device's right and top
        {-2, 1, 3, 3, 1, 1},  // outside its left and bottom, and the bitmap's bottom
        {0, 0, 4, 3, 0, -1},  // starts above the bitmap's top row
    };
    for (int bitCount : {32, 24, 16}) {
        for (int width : {4, 3}) {
            const Bitmap bitmap = topDownBitmap(width, 3, bitCount);
            for (const Blit& b : blits) {
                const std::string what = "lumo.dll, " + std::to_string(bitCount) +
                                         "-bit Java array " + std::to_string(width) +
                                         " x 3, blit " + b.name();
                lumo::test::FakeJni jni;
                jni.handOutCopies(true);
                const jarray bits = javaArray(jni, bitmap);
                Device device(4, 3);
                auto surface = MemorySurface::create(4, 3);
                if (bitCount == 32) {
                    lumo.SetDIBitsToDeviceInt(jni.env(), nullptr, device.handle(), b.xDest, b.yDest,
                                              b.width, b.height, b.xSrc, b.ySrc,
                                              static_cast<jintArray>(bits), width, 3);
                } else if (bitCount == 24) {
                    lumo.SetDIBitsToDeviceByte(jni.env(), nullptr, device.handle(), b.xDest,
                                               b.yDest, b.width, b.height, b.xSrc, b.ySrc,
                                               static_cast<jbyteArray>(bits), width, 3);
                } else {
                    lumo.SetDIBitsToDeviceShort(jni.env(), nullptr, device.handle(), b.xDest,
                                                b.yDest, b.width, b.height, b.xSrc, b.ySrc,
                                                static_cast<jshortArray>(bits), width, 3);
                }
                blitArrayOnStandIn(*surface, b, bitmap);
                expectSame(device, *surface, what);
                check(jni.pinned() == 0 && jni.violations() == 0, what + ": pins released");
            }
        }
    }
}

void badArgumentsLeaveTheDeviceAlone(Library& lumo) {
    lumo::test::FakeJni jni;
    const Bitmap bitmap = topDownBitmap(4, 3, 32);
    const auto bits = static_cast<jintArray>(javaArray(jni, bitmap));
    Device device(4, 3);
    const jint hdc = device.handle();
    constexpr jint maxInt = INT32_MAX, minInt = INT32_MIN;
    const Blit farAway[] = {
        {maxInt, maxInt, maxInt, maxInt, 0, 0},
        {minInt, 0, maxInt, 3, minInt, 0},
        {0, 0, 3, 3, maxInt, minInt},
        {0, 0, 4, 3, 0, maxInt},
        {minInt, minInt, 4, 3, 0, 0},
        {0, 0, -4, 3, 0, 0},
        {0, 0, 4, minInt, 0, 0},
    };
    for (const Blit& b : farAway) {
        lumo.SetDIBitsToDeviceInt(jni.env(), nullptr, hdc, b.xDest, b.yDest, b.width, b.height,
                                  b.xSrc, b.ySrc, bits, 4, 3);
    }
    check(untouched(device), "far-away and empty rectangles copy nothing");

    const auto shortArray = static_cast<jintArray>(jni.ints(std::vector<jint>(11, -1)));
    lumo.SetDIBitsToDeviceInt(jni.env(), nullptr, hdc, 0, 0, 4, 3, 0, 0, shortArray, 4, 3);
    lumo.SetDIBitsToDeviceInt(jni.env(), nullptr, hdc, 0, 0, 4, 3, 0, 0, nullptr, 4, 3);
    lumo.SetDIBitsToDeviceInt(jni.env(), nullptr, hdc, 0, 0, 4, 3, 0, 0, bits, 4, -3);
    check(untouched(device), "short, null and negatively sized arrays copy nothing");

    // Device contexts that are no device context: GDI refuses them.
    for (jint bogus : {jint(0), jint(0x7FFF1234), jint(-2)}) {
        lumo.SetDIBitsToDeviceInt(jni.env(), nullptr, bogus, 0, 0, 4, 3, 0, 0, bits, 4, 3);
    }
    check(untouched(device), "other device contexts are not drawn into");
    check(jni.pinned() == 0 && jni.violations() == 0, "bad arguments: pins released");
}

void renderTargetsWithoutPixelsShowNothing(Library& lumo) {
    Device device(4, 3);
    const jint buffer = lumo.createDataBuffer(nullptr, nullptr, 4, 3, jint(0xFF336699));
    const jint image = lumo.createNativeImage(nullptr, nullptr, buffer);
    check(buffer != 0 && image != 0 && buffer != image, "lumo.dll creates buffers and targets");
    lumo.clearDataBuffer(nullptr, nullptr, buffer, jint(0x80FF0000));
    lumo.SetDIBitsToDevice(nullptr, nullptr, device.handle(), image, 0, 0, 4, 3, 0, 0);
    lumo.SetDIBitsToDevice(nullptr, nullptr, device.handle(), buffer, 0, 0, 4, 3, 0, 0);
    check(untouched(device), "a target whose pixels were never made shows nothing");
    lumo.deleteNativeImage(nullptr, nullptr, image);
    lumo.deleteDataBuffer(nullptr, nullptr, buffer);
    lumo.SetDIBitsToDevice(nullptr, nullptr, device.handle(), image, 0, 0, 4, 3, 0, 0);
    check(untouched(device), "a deleted target shows nothing");
}

void timersCount(Library& lumo) {
    const jlong frequency = lumo.queryPerformanceFrequency(nullptr, nullptr);
    const jlong start = lumo.queryPerformanceCounter(nullptr, nullptr);
    Sleep(20);
    const jlong end = lumo.queryPerformanceCounter(nullptr, nullptr);
    check(frequency > 0, "the counter frequency is positive");
    check(lumo.queryPerformanceFrequency(nullptr, nullptr) == frequency,
          "the counter frequency stays the same");
    check(start != 0 && end - start >= frequency / 100,
          "the counter runs: " + std::to_string(double(end - start) / double(frequency)) +
              " s for a 20 ms sleep");
}

// The render-target blit through the objects the DLL is made of, linked in:
// the test writes the target's pixels, as only drawing code could otherwise.
void renderTargetBlitsMatchTheStandIn() {
    const Blit blits[] = {
        {0, 0, 4, 2, 0, 1},    // source y 1, height 2
        {1, 1, 4, 3, 0, 0},    // reaches outside the device's right and bottom
        {-1, -2, 4, 3, 1, 0},  // outside its left and top
        {0, 0, 4, 3, 0, -1},   // starts above the target's top row
        {0, 0, 4, 2, 0, 2},    // reaches below its bottom row
    };
    const jint buffer =
        Java_com_quarn_lumo_internal_LUMO_createDataBuffer(nullptr, nullptr, 4, 3, 0);
    const jint image =
        Java_com_quarn_lumo_internal_LUMO_createNativeImage(nullptr, nullptr, buffer);
    auto* target = lumo::HandleRegistry::instance().find<lumo::NativeImage>(
        image, lumo::HandleKind::NativeImage);
    if (target == nullptr) {
        check(false, "linked-in objects create a render target");
        return;
    }
    const lumo::Ref<lumo::DataBuffer> pixels = target->getDataBuffer();
    lumo::RowBuffer* rows = pixels->rowBuffer();
    for (int y = 0; y < 3; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(rows->row_ptr(y));
        for (int x = 0; x < 4; ++x) row[x] = colour(y, x);
    }
    BitmapInfo info;  // the buffer's memory: a bottom-up 32-bit DIB
    info.biWidth = 4;
    info.biHeight = 3;
    info.biBitCount = 32;
    for (const Blit& b : blits) {
        Device device(4, 3);
        auto surface = MemorySurface::create(4, 3);
        Java_com_quarn_lumo_internal_LUMO_SetDIBitsToDevice(nullptr, nullptr, device.handle(),
                                                            image, b.xDest, b.yDest, b.width,
                                                            b.height, b.xSrc, b.ySrc);
        surface->setDIBits(b.xDest, b.yDest, b.width, b.height, b.xSrc, 3 - b.height - b.ySrc, 0, 3,
                           pixels->pixels(), info);
        expectSame(device, *surface, "render target 4 x 3, blit " + b.name());
    }
    Java_com_quarn_lumo_internal_LUMO_deleteNativeImage(nullptr, nullptr, image);
    Java_com_quarn_lumo_internal_LUMO_deleteDataBuffer(nullptr, nullptr, buffer);
}

}  // namespace

int main() {
    {
        Device device(1, 1);
        if (!device.ok()) {
            std::printf("No memory device context with a DIB section\n0 passed, 1 failed\n");
            return 1;
        }
    }
    gdiMatchesTheStandIn();
    renderTargetBlitsMatchTheStandIn();
    Library lumo;
    if (lumo.complete()) {
        arrayBlitsMatchTheStandIn(lumo);
        badArgumentsLeaveTheDeviceAlone(lumo);
        renderTargetsWithoutPixelsShowNothing(lumo);
        timersCount(lumo);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
