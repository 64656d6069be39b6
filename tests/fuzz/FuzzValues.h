#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

// The encoding of call sequences shared by CallPlayer (which reads them) and
// SeedWriter (which writes them). Each value starts with a selector byte that
// says how the value is made: a small number in the byte itself, an entry of a
// table of values that find faults, a two-byte number, or raw bits.
namespace lumo::fuzz {

// The entry points, one code each; a call's code is its first byte modulo
// the count.
enum class Call : uint8_t {
    CreateDataBuffer,
    ClearDataBuffer,
    DeleteDataBuffer,
    CreateNativeImage,
    DeleteNativeImage,
    CreateGraphics,
    CloneGraphics,
    DeleteGraphics,
    SetHint,
    SetHintValue,
    SetTransform,
    SetPaint,
    SetGradient,
    SetTexture,
    SetLinePattern,
    DrawImage,
    DrawSwtImage,
    DrawAwtBytes,
    DrawAwtInts,
    DrawAwtShorts,
    SetClip,
    SetComposite,
    SetStroke,
    DrawLine,
    DrawRect,
    FillRect,
    DrawOval,
    FillOval,
    DrawArc,
    FillArc,
    DrawRoundRect,
    FillRoundRect,
    DrawPath,
    DrawPolygon,
    FillPolygon,
    DrawPolyline,
    BlitImage,
    BlitInts,
    BlitBytes,
    BlitShorts,
    QueryCounter,
    QueryFrequency,
    FilterAlpha,
    ColorMatrix,
    ApplyLut,
    TransColor,
    GaussianBlur,
    CoerceArray,
    CoerceBuffer,
    ConvertData,
    SetData,
    CopyData,
    ComposeRule,
    ComposeCoefficients,
    CreateDevice,
    ReadDevice,
    DeleteDevice,
    // Not entry points: how the fake JNI environment pins arrays from now on.
    FailPin,
    HandOutCopies,
    Count
};
constexpr int callCount = int(Call::Count);

// What a handle names, for choosing handles of the kind a call wants.
enum class Kind : uint8_t { Buffer, Image, Graphics, Device, Count };
constexpr int kindCount = int(Kind::Count);

// Selector ranges of numbers (ints, floats and doubles alike).
constexpr int smallLimit = 128;  // s < 128: the number s - smallOffset
constexpr int smallOffset = 32;
constexpr int tableLimit = 192;  // s < 192: table entry s - 128
constexpr int wideLimit = 240;   // s < 240: two more bytes (see wideNumber)
                                 // otherwise raw bits (4 or 8 more bytes)

// Selector ranges of handles.
constexpr int ownKindLimit = 128;  // s < 128: the (s mod n)-th handle of the wanted kind
constexpr int anyKindLimit = 192;  // s < 192: the (s mod n)-th handle of any kind, live or not
enum SpecialHandle : uint8_t {     // then: these, raw bits from rawHandle on
    zeroHandle = 192,
    minusOneHandle,
    minHandle,
    maxHandle,
    nextHandle,       // the newest handle + 1: a slot never used
    otherGeneration,  // the newest handle with another generation
    rawHandle
};

// Selector ranges of array lengths.
constexpr int expectedLimit = 128;  // s < 128: the length the call wants
constexpr int literalLimit = 192;   // s < 192: length s - 128
constexpr int nullLimit = 200;      // s < 200: a null array
constexpr int shortLimit = 208;     // s < 208: (s - 199) shorter than wanted
constexpr int longLimit = 216;      // s < 216: longer than wanted
                                    // otherwise two more bytes: any length up to 65535

// How the elements of an array are made, after its length.
enum Fill : uint8_t {
    fillEach,     // every element is a value of its own
    fillRepeat,   // one value repeated
    fillPattern,  // a pseudo-random sequence from a 4-byte seed
    fillRamp,     // a first value and a step
    fillCount
};

// Limits that keep one input's memory and time bounded: they are the
// harness's, not the library's (which accepts far larger buffers).
constexpr int64_t maxArrayLength = 1 << 18;
constexpr int64_t maxArrayElements = 1 << 22;   // all arrays of one input
constexpr int64_t maxBufferPixels = 512 * 512;  // one buffer or device
constexpr int64_t maxPixelsPerInput = 1 << 23;  // all buffers and devices
constexpr int maxCallsPerInput = 400;

// Numbers that find faults: limits of ints, powers of two where fixed-point
// code overflows, sizes whose products overflow, angles, colours, hint keys
// and wrap words.
// clang-format off
constexpr int32_t interestingInts[] = {
    0, 1, -1, 2, 3, 4, 7, 8, 15, 16, 17, 31, 32, 63, 64, 255, 256, 257, 359, 360, -360, 720,
    1000, 4095, 4096, 32767, 32768, 65535, 65536, -65536, 46340, 46341, 1 << 20, 1 << 21,
    1 << 22, 1 << 24, 1 << 30, -(1 << 30), 1000000, -1000000,
    std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(),
    std::numeric_limits<int32_t>::max() - 1, std::numeric_limits<int32_t>::min() + 1,
    int32_t(0xFF000000), int32_t(0x80FF0000), int32_t(0x7F7F7F7F), int32_t(0x00FFFFFF),
    int32_t(0xFFFFFFFF), int32_t(0x01000000), 0x0F00, 0x0101, 0x0202, 0x0303, 0x0404, 0x0110,
    100, 0xF800, 0x600, 0x8000, 0x4000, 0x200, 0x400, 0x0102};
// clang-format on
constexpr int interestingIntCount = int(sizeof interestingInts / sizeof interestingInts[0]);

// clang-format off
constexpr double interestingDoubles[] = {
    0.0, -0.0, 0.5, -0.5, 1.0, -1.0, 0.25, 1.5, 2.0, 3.0, 10.0, 100.0, 255.0, 256.0, 1e-3, 1e-6,
    1e-9, 1e-12, 1e-300, -1e-300, 4.9e-324, 1e3, 1e4, 1e5, 1e6, -1e6, 1e7, 1e8, 1e9, 1e10, 1e12,
    1e15, 1e18, 1e30, 1e100, 1e300, -1e300, 1.7976931348623157e308, -1.7976931348623157e308,
    std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
    std::numeric_limits<double>::quiet_NaN(), 2147483647.0, -2147483648.0, 2147483648.0,
    4294967296.0, 1073741824.0, 4194304.0, 2097152.0, 8388608.0, 16777216.0, 0.7071067811865476,
    3.141592653589793, 6.283185307179586, 0.1, 0.3, 0.9999999, 1.0000001, 127.5, 63.5, 1e-15,
    65536.0, 3.4028234663852886e38, 1e39};
// clang-format on
constexpr int interestingDoubleCount =
    int(sizeof interestingDoubles / sizeof interestingDoubles[0]);

// The two-byte numbers: ints from -4096 to 61439, doubles in 1/64 steps.
constexpr int wideIntOffset = 4096;
constexpr double wideDoubleScale = 1.0 / 64.0;

}  // namespace lumo::fuzz
