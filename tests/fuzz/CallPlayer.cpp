#include "fuzz/CallPlayer.h"

#include "core/HandleRegistry.h"
#include "native/EntryPoints.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <type_traits>

#define LUMO(name) Java_com_quarn_lumo_internal_LUMO_##name
#define DEVICE(name) Java_com_quarn_lumo_internal_MemoryDevice_##name

namespace lumo::fuzz {

static_assert(interestingIntCount <= tableLimit - smallLimit);
static_assert(interestingDoubleCount <= tableLimit - smallLimit);

namespace {

// clang-format off
const char* const callNames[] = {
    "createDataBuffer", "clearDataBuffer", "deleteDataBuffer", "createNativeImage",
    "deleteNativeImage", "createGraphics", "cloneGraphics", "deleteGraphics", "setHint",
    "setHintValue", "setTransform", "setPaint", "setGradient", "setTexture", "setLinePattern",
    "drawImage", "drawSWTImage", "drawAWTImage(byte[])", "drawAWTImage(int[])",
    "drawAWTImage(short[])", "setClip", "setComposite", "setStroke", "drawLine", "drawRect",
    "fillRect", "drawOval", "fillOval", "drawArc", "fillArc", "drawRoundRect", "fillRoundRect",
    "drawPath", "drawPolygon", "fillPolygon", "drawPolyline", "SetDIBitsToDevice",
    "SetDIBitsToDeviceInt", "SetDIBitsToDeviceByte", "SetDIBitsToDeviceShort",
    "queryPerformanceCounter", "queryPerformanceFrequency", "filterAlpha", "colorMatrix",
    "applyLut", "transColor", "gaussianBlur", "coerceData(int[])", "coerceData(buffer)",
    "convertData", "setData", "copyData", "compose(rule)", "compose(coefficients)",
    "MemoryDevice.create", "MemoryDevice.read", "MemoryDevice.delete", "(fail a pin)",
    "(hand out copies)"};
// clang-format on
static_assert(sizeof callNames / sizeof callNames[0] == callCount);

// xorshift32: elements of pattern-filled arrays.
uint32_t nextRandom(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

constexpr int pointsOf(int type) {
    constexpr int counts[] = {1, 1, 2, 3, 0};
    return type >= 0 && type <= 4 ? counts[type] : 0;
}

}  // namespace

const char* CallPlayer::name(Call call) {
    return callNames[int(call)];
}

CallPlayer::~CallPlayer() {
    // Drawing objects first, then images, buffers and devices; deleting a
    // handle twice or of the wrong kind is harmless, which the calls
    // themselves have shown.
    for (jint id : live_[int(Kind::Graphics)]) LUMO(deleteGraphics)(env_, nullptr, id);
    for (jint id : live_[int(Kind::Image)]) LUMO(deleteNativeImage)(env_, nullptr, id);
    for (jint id : live_[int(Kind::Buffer)]) LUMO(deleteDataBuffer)(env_, nullptr, id);
    for (jint id : live_[int(Kind::Device)]) DEVICE(delete)(env_, nullptr, id);
}

int CallPlayer::play(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    int calls = 0;
    for (; calls < maxCallsPerInput && !in.done(); ++calls) {
        const auto call = Call(in.byte() % callCount);
        arguments_.clear();
        currentCall_ = name(call);
        const auto start = std::chrono::steady_clock::now();
        playOne(in, call);
        const auto took = std::chrono::steady_clock::now() - start;
        if (tracing_) {
            std::fprintf(stderr, "%8.3f ms  %s(%s)\n",
                         std::chrono::duration<double, std::milli>(took).count(), name(call),
                         arguments_.c_str());
        }
        if (took > slowest_) {
            slowest_ = took;
            slowestCall_ = name(call);
        }
    }
    return calls;
}

void CallPlayer::note(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    note(text);
}

void CallPlayer::note(const char* text) {
    if (!arguments_.empty()) arguments_ += ", ";
    arguments_ += text;
}

jint CallPlayer::handle(FuzzInput& in, Kind kind) {
    return noted(chooseHandle(in, kind));
}

jint CallPlayer::chooseHandle(FuzzInput& in, Kind kind) {
    const int s = in.byte();
    const auto& own = live_[int(kind)];
    if (s < ownKindLimit) return own.empty() ? 0 : own[size_t(s) % own.size()];
    if (s < anyKindLimit) {
        return handles_.empty() ? 0 : handles_[size_t(s - ownKindLimit) % handles_.size()].id;
    }
    const jint newest = handles_.empty() ? 1 : handles_.back().id;
    switch (s) {
        case zeroHandle:
            return 0;
        case minusOneHandle:
            return -1;
        case minHandle:
            return std::numeric_limits<jint>::min();
        case maxHandle:
            return std::numeric_limits<jint>::max();
        case nextHandle:
            return newest + 1;
        case otherGeneration:
            return jint(uint32_t(newest) ^ 0x00500000u);
        default:
            return jint(in.u32());
    }
}

void CallPlayer::remember(jint id, Kind kind) {
    if (id == 0) return;
    handles_.push_back({id, kind});
    live_[int(kind)].push_back(id);
}

void CallPlayer::forget(jint id) {
    // Only a handle the call really deleted: a delete of the wrong kind
    // leaves the object alive.
    if (HandleRegistry::instance().find(id, 0xFF).object != nullptr) return;
    for (auto& ids : live_) ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
}

void CallPlayer::budgetSize(jint& width, jint& height) {
    if (width <= 0 || height <= 0) return;
    const int64_t count = int64_t(width) * height;
    if (count > std::numeric_limits<int32_t>::max() / 4) return;  // refused by the library
    const int64_t allowed =
        std::min(maxBufferPixels, std::max<int64_t>(maxPixelsPerInput - pixels_, 1));
    if (count > allowed) {
        if (width >= height) {
            width = jint(std::max<int64_t>(1, allowed / height));
        } else {
            height = jint(std::max<int64_t>(1, allowed / width));
        }
        width = jint(std::min<int64_t>(width, allowed));
        height = jint(std::min<int64_t>(height, allowed / width));
    }
    pixels_ += int64_t(width) * height;
}

int64_t CallPlayer::length(FuzzInput& in, int64_t expected) {
    const int s = in.byte();
    int64_t n;
    if (s < expectedLimit) {
        n = expected;
    } else if (s < literalLimit) {
        n = s - expectedLimit;
    } else if (s < nullLimit) {
        return -1;
    } else if (s < shortLimit) {
        n = expected - (s - nullLimit + 1);
    } else if (s < longLimit) {
        n = expected + 1 + (s - shortLimit) * 7;
    } else {
        n = in.wide();
    }
    n = std::clamp<int64_t>(n, 0, maxArrayLength);
    return std::min(n, std::max<int64_t>(maxArrayElements - arrayElements_, 0));
}

template <class T>
jarray CallPlayer::array(FuzzInput& in, int64_t expected) {
    const int64_t n = length(in, std::max<int64_t>(expected, 0));
    if (n < 0) {
        if (tracing_) note("null");
        return nullptr;
    }
    arrayElements_ += n;
    std::vector<T> values(size_t(n), T(0));
    // Elements are traced as the array, not one by one.
    const bool tracing = tracing_;
    tracing_ = false;
    auto value = [&]() -> T {
        if constexpr (std::is_floating_point_v<T>) {
            return T(real(in));
        } else {
            return T(number(in));
        }
    };
    switch (in.byte() % fillCount) {
        case fillEach:
            for (auto& v : values) v = value();
            break;
        case fillRepeat:
            std::fill(values.begin(), values.end(), value());
            break;
        case fillPattern: {
            uint32_t state = in.u32() | 1u;
            for (auto& v : values) {
                const uint32_t r = nextRandom(state);
                if constexpr (std::is_floating_point_v<T>) {
                    v = T(int32_t(r % 4096u) - 1024) * T(0.25);
                } else {
                    v = T(r);
                }
            }
            break;
        }
        default: {
            const T first = value();
            const T step = value();
            T v = first;
            for (auto& e : values) {
                e = v;
                if constexpr (std::is_floating_point_v<T>) {
                    v = T(v + step);
                } else {
                    v = T(uint32_t(v) + uint32_t(step));  // wraps like Java
                }
            }
        }
    }
    tracing_ = tracing;
    if (tracing_) {
        std::string text = "[" + std::to_string(n) + ":";
        for (size_t i = 0; i < values.size() && i < 32; ++i) {
            char number[32];
            std::snprintf(number, sizeof number, " %.17g", double(values[i]));
            text += number;
        }
        note((text + (values.size() > 32 ? " ...]" : "]")).c_str());
    }
    return jni_.array(values);
}

jbyteArray CallPlayer::pathTypes(FuzzInput& in, int32_t count, int64_t& coordinates) {
    jbyteArray types = bytes(in, std::clamp<int64_t>(count, 0, maxArrayLength));
    coordinates = 0;
    if (types != nullptr) {
        for (jbyte type : jni_.contents<jbyte>(types)) coordinates += 2 * pointsOf(type);
    }
    return types;
}

void CallPlayer::playOne(FuzzInput& in, Call call) {
    if (call <= Call::DeleteGraphics) return playObjects(in, call);
    if (call <= Call::SetLinePattern || call == Call::SetClip || call == Call::SetComposite ||
        call == Call::SetStroke) {
        return playState(in, call);
    }
    if (call <= Call::DrawAwtShorts) return playImages(in, call);
    if (call <= Call::DrawPolyline) return playShapes(in, call);
    if (call <= Call::QueryFrequency ||
        (call >= Call::CreateDevice && call <= Call::DeleteDevice)) {
        return playDevice(in, call);
    }
    if (call <= Call::ComposeCoefficients) return playPixels(in, call);
    if (call == Call::FailPin) {
        jni_.failPin(1 + in.byte() % 4);
    } else {
        jni_.handOutCopies(in.byte() & 1);
    }
}

void CallPlayer::playObjects(FuzzInput& in, Call call) {
    switch (call) {
        case Call::CreateDataBuffer: {
            jint width = number(in), height = number(in);
            budgetSize(width, height);
            remember(LUMO(createDataBuffer)(env_, nullptr, width, height, number(in)),
                     Kind::Buffer);
            break;
        }
        case Call::ClearDataBuffer: {
            // Read in order: the order of evaluating arguments differs
            // between compilers, and an input must play the same calls in
            // the fuzz build (clang) and the test build.
            const jint id = handle(in, Kind::Buffer);
            LUMO(clearDataBuffer)(env_, nullptr, id, number(in));
            break;
        }
        case Call::DeleteDataBuffer: {
            const jint id = handle(in, Kind::Buffer);
            LUMO(deleteDataBuffer)(env_, nullptr, id);
            forget(id);
            break;
        }
        case Call::CreateNativeImage:
            remember(LUMO(createNativeImage)(env_, nullptr, handle(in, Kind::Buffer)), Kind::Image);
            break;
        case Call::DeleteNativeImage: {
            const jint id = handle(in, Kind::Image);
            LUMO(deleteNativeImage)(env_, nullptr, id);
            forget(id);
            break;
        }
        case Call::CreateGraphics:
            remember(LUMO(createGraphics)(env_, nullptr, handle(in, Kind::Image)), Kind::Graphics);
            break;
        case Call::CloneGraphics:
            remember(LUMO(cloneGraphics)(env_, nullptr, handle(in, Kind::Graphics)),
                     Kind::Graphics);
            break;
        default: {
            const jint id = handle(in, Kind::Graphics);
            LUMO(deleteGraphics)(env_, nullptr, id);
            forget(id);
        }
    }
}

void CallPlayer::playState(FuzzInput& in, Call call) {
    const jint g = handle(in, Kind::Graphics);
    switch (call) {
        case Call::SetHint: {
            const jint key = number(in);
            LUMO(setHint)(env_, nullptr, g, key, number(in));
            break;
        }
        case Call::SetHintValue: {
            const jint key = number(in);
            LUMO(setHintValue)(env_, nullptr, g, key, number(in));
            break;
        }
        case Call::SetTransform:
            LUMO(setTransform)(env_, nullptr, g, doubles(in, 6));
            break;
        case Call::SetPaint:
            LUMO(setPaint)(env_, nullptr, g, number(in));
            break;
        case Call::SetGradient: {
            const jint kind = number(in), cycle = number(in);
            jdoubleArray points = doubles(in, 6);
            jintArray positions = ints(in, 2);
            const int64_t stops = positions ? jni_.contents<jint>(positions).size() : 2;
            jintArray colours = ints(in, stops);
            LUMO(setGradient)
            (env_, nullptr, g, kind, cycle, points, positions, colours, doubles(in, 6));
            break;
        }
        case Call::SetTexture: {
            const jint image = handle(in, Kind::Image);
            jdoubleArray matrix = doubles(in, 6);
            LUMO(setTexture)(env_, nullptr, g, image, matrix, number(in));
            break;
        }
        case Call::SetLinePattern: {
            const jint image = handle(in, Kind::Image);
            const double first = real(in), second = real(in);
            LUMO(setLinePattern)(env_, nullptr, g, image, first, second, real(in));
            break;
        }
        case Call::SetClip: {
            const jint count = number(in);
            int64_t coordinates = 0;
            jbyteArray types = pathTypes(in, count, coordinates);
            jdoubleArray coords = doubles(in, coordinates);
            LUMO(setClip)(env_, nullptr, g, count, types, coords, in.byte() & 1);
            break;
        }
        case Call::SetComposite: {
            const jint rule = number(in);
            LUMO(setComposite)(env_, nullptr, g, rule, single(in));
            break;
        }
        default: {
            const float width = single(in);
            const jint cap = number(in), join = number(in);
            const float miter = single(in);
            jfloatArray dash = floats(in, 2);
            LUMO(setStroke)(env_, nullptr, g, width, cap, join, miter, dash, single(in));
        }
    }
}

void CallPlayer::playImages(FuzzInput& in, Call call) {
    const jint g = handle(in, Kind::Graphics);
    if (call == Call::DrawImage) {
        const jint image = handle(in, Kind::Image);
        LUMO(drawImage)(env_, nullptr, g, image, doubles(in, 6));
        return;
    }
    // Info: isDirect, width, height, depth, bytesPerLine, alpha, and the
    // transparent pixel (SWT) or the image kind (AWT).
    jintArray info = ints(in, 7);
    jdoubleArray matrix = doubles(in, 6);
    int64_t width = 0, height = 0, bytesPerLine = 0;
    if (info != nullptr) {
        const auto values = jni_.contents<jint>(info);
        if (values.size() >= 5) {
            width = std::clamp<int64_t>(values[1], 0, maxArrayLength);
            height = std::clamp<int64_t>(values[2], 0, maxArrayLength);
            bytesPerLine = std::clamp<int64_t>(values[4], 0, maxArrayLength);
        }
    }
    const int64_t rows = std::min<int64_t>(bytesPerLine * height, maxArrayLength);
    switch (call) {
        case Call::DrawSwtImage: {
            jbyteArray data = bytes(in, rows);
            jintArray palette = ints(in, 6);
            jbyteArray alpha = bytes(in, std::min<int64_t>(width * height, maxArrayLength));
            LUMO(drawSWTImage)(env_, nullptr, g, info, matrix, data, palette, alpha);
            break;
        }
        case Call::DrawAwtBytes:
            LUMO(drawAWTImage__I_3I_3D_3B)(env_, nullptr, g, info, matrix, bytes(in, rows));
            break;
        case Call::DrawAwtInts:
            LUMO(drawAWTImage__I_3I_3D_3I)(env_, nullptr, g, info, matrix, ints(in, rows / 4));
            break;
        default:
            LUMO(drawAWTImage__I_3I_3D_3S)(env_, nullptr, g, info, matrix, shorts(in, rows / 2));
    }
}

void CallPlayer::playShapes(FuzzInput& in, Call call) {
    const jint g = handle(in, Kind::Graphics);
    if (call == Call::DrawPath) {
        const jint count = number(in);
        int64_t coordinates = 0;
        jbyteArray types = pathTypes(in, count, coordinates);
        jdoubleArray coords = doubles(in, coordinates);
        const jboolean nonZero = in.byte() & 1;
        LUMO(drawPath)(env_, nullptr, g, count, types, coords, nonZero, number(in));
        return;
    }
    if (call >= Call::DrawPolygon) {
        const jint n = number(in);
        jintArray xs = ints(in, n);
        jintArray ys = ints(in, n);
        if (call == Call::DrawPolygon) LUMO(drawPolygon)(env_, nullptr, g, n, xs, ys);
        if (call == Call::FillPolygon) LUMO(fillPolygon)(env_, nullptr, g, n, xs, ys);
        if (call == Call::DrawPolyline) LUMO(drawPolyline)(env_, nullptr, g, n, xs, ys);
        return;
    }
    const bool sixValues = call == Call::DrawArc || call == Call::FillArc ||
                           call == Call::DrawRoundRect || call == Call::FillRoundRect;
    jint v[6] = {};
    for (int i = 0; i < (sixValues ? 6 : 4); ++i) v[i] = number(in);
    switch (call) {
        case Call::DrawLine:
            LUMO(drawLine)(env_, nullptr, g, v[0], v[1], v[2], v[3]);
            break;
        case Call::DrawRect:
            LUMO(drawRect)(env_, nullptr, g, v[0], v[1], v[2], v[3]);
            break;
        case Call::FillRect:
            LUMO(fillRect)(env_, nullptr, g, v[0], v[1], v[2], v[3]);
            break;
        case Call::DrawOval:
            LUMO(drawOval)(env_, nullptr, g, v[0], v[1], v[2], v[3]);
            break;
        case Call::FillOval:
            LUMO(fillOval)(env_, nullptr, g, v[0], v[1], v[2], v[3]);
            break;
        case Call::DrawArc:
            LUMO(drawArc)(env_, nullptr, g, v[0], v[1], v[2], v[3], v[4], v[5]);
            break;
        case Call::FillArc:
            LUMO(fillArc)(env_, nullptr, g, v[0], v[1], v[2], v[3], v[4], v[5]);
            break;
        case Call::DrawRoundRect:
            LUMO(drawRoundRect)(env_, nullptr, g, v[0], v[1], v[2], v[3], v[4], v[5]);
            break;
        default:
            LUMO(fillRoundRect)(env_, nullptr, g, v[0], v[1], v[2], v[3], v[4], v[5]);
    }
}

void CallPlayer::playDevice(FuzzInput& in, Call call) {
    switch (call) {
        case Call::QueryCounter:
            LUMO(queryPerformanceCounter)(env_, nullptr);
            return;
        case Call::QueryFrequency:
            LUMO(queryPerformanceFrequency)(env_, nullptr);
            return;
        case Call::CreateDevice: {
            jint width = number(in), height = number(in);
            budgetSize(width, height);
            remember(DEVICE(create)(env_, nullptr, width, height), Kind::Device);
            return;
        }
        case Call::DeleteDevice: {
            const jint id = handle(in, Kind::Device);
            DEVICE(delete)(env_, nullptr, id);
            forget(id);
            return;
        }
        default:
            break;
    }
    const jint hdc = handle(in, Kind::Device);
    if (call == Call::ReadDevice) {
        DEVICE(read)(env_, nullptr, hdc, ints(in, number(in)));
        return;
    }
    if (call == Call::BlitImage) {
        const jint image = handle(in, Kind::Image);
        jint v[6];
        for (jint& value : v) value = number(in);
        LUMO(SetDIBitsToDevice)(env_, nullptr, hdc, image, v[0], v[1], v[2], v[3], v[4], v[5]);
        return;
    }
    jint v[8];
    for (jint& value : v) value = number(in);
    const int64_t count = std::clamp<int64_t>(int64_t(v[6]) * v[7], 0, maxArrayLength);
    switch (call) {
        case Call::BlitInts:
            LUMO(SetDIBitsToDeviceInt)
            (env_, nullptr, hdc, v[0], v[1], v[2], v[3], v[4], v[5], ints(in, count), v[6], v[7]);
            break;
        case Call::BlitBytes:
            LUMO(SetDIBitsToDeviceByte)
            (env_, nullptr, hdc, v[0], v[1], v[2], v[3], v[4], v[5], bytes(in, count * 4), v[6],
             v[7]);
            break;
        default:
            LUMO(SetDIBitsToDeviceShort)
            (env_, nullptr, hdc, v[0], v[1], v[2], v[3], v[4], v[5], shorts(in, count * 2), v[6],
             v[7]);
    }
}

void CallPlayer::playPixels(FuzzInput& in, Call call) {
    // Regions: x, y, width, height, bufferWidth, bufferHeight.
    switch (call) {
        case Call::CoerceArray: {
            jintArray region = ints(in, 6);
            jintArray pixels = ints(in, number(in));
            LUMO(coerceData___3I_3IZ)(env_, nullptr, pixels, region, in.byte() & 1);
            return;
        }
        case Call::ConvertData: {
            jintArray destination = ints(in, number(in));
            jintArray info = ints(in, 7);
            jbyteArray data = bytes(in, number(in));
            jintArray palette = ints(in, 6);
            LUMO(convertData)
            (env_, nullptr, destination, info, data, palette, bytes(in, number(in)));
            return;
        }
        case Call::CopyData:
        case Call::ComposeRule:
        case Call::ComposeCoefficients: {
            const jint rule = call == Call::ComposeRule ? number(in) : 0;
            const jint source = handle(in, Kind::Buffer), destination = handle(in, Kind::Buffer);
            jintArray sourceRegion = ints(in, 6);
            jintArray destinationRegion = ints(in, 6);
            if (call == Call::CopyData) {
                LUMO(copyData)(env_, nullptr, source, destination, sourceRegion, destinationRegion);
            } else if (call == Call::ComposeRule) {
                LUMO(compose__III_3I_3I)
                (env_, nullptr, rule, source, destination, sourceRegion, destinationRegion);
            } else {
                LUMO(compose__II_3I_3I_3F)
                (env_, nullptr, source, destination, sourceRegion, destinationRegion,
                 floats(in, 4));
            }
            return;
        }
        default:
            break;
    }
    const jint buffer = handle(in, Kind::Buffer);
    jintArray region = ints(in, 6);
    switch (call) {
        case Call::FilterAlpha:
            LUMO(filterAlpha)(env_, nullptr, buffer, region);
            break;
        case Call::ColorMatrix: {
            jfloatArray matrix = floats(in, 20);
            LUMO(colorMatrix)(env_, nullptr, buffer, region, matrix, in.byte() & 1);
            break;
        }
        case Call::ApplyLut: {
            const int flags = in.byte();
            LUMO(applyLut)(env_, nullptr, buffer, region, flags & 1, flags >> 1 & 1);
            break;
        }
        case Call::TransColor: {
            jbyteArray red = bytes(in, 256), green = bytes(in, 256), blue = bytes(in, 256);
            jbyteArray alpha = bytes(in, 256);
            LUMO(transColor)(env_, nullptr, buffer, region, red, green, blue, alpha, in.byte() & 1);
            break;
        }
        case Call::GaussianBlur: {
            const double x = real(in), y = real(in);
            LUMO(gaussianBlur)(env_, nullptr, buffer, region, x, y, in.byte() & 1);
            break;
        }
        case Call::CoerceBuffer:
            LUMO(coerceData__I_3IZ)(env_, nullptr, buffer, region, in.byte() & 1);
            break;
        default:
            LUMO(setData)(env_, nullptr, buffer, region, number(in));
    }
}

}  // namespace lumo::fuzz
