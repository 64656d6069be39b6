#pragma once

// Scenes drawn through the entry points alone, the same on every platform:
// the Linux library writes their pixels to a file, and the Windows test draws
// them through lumo.dll and compares.
#include "doubles/FakeJni.h"
#include "native/EntryPoints.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumo::test {

// clang-format off
#define LUMO_SCENE_ENTRIES(X)                                                              \
    X(createDataBuffer) X(deleteDataBuffer) X(createNativeImage) X(deleteNativeImage)      \
    X(createGraphics) X(deleteGraphics) X(setHint) X(setTransform) X(setClip) X(setPaint)  \
    X(setGradient) X(setTexture) X(setStroke) X(setComposite) X(fillRect) X(drawRect)      \
    X(fillOval) X(drawOval) X(fillRoundRect) X(drawArc) X(fillArc) X(fillPolygon)         \
    X(drawPolyline) X(drawPolygon) X(drawPath) X(drawImage) X(gaussianBlur)                \
    X(SetDIBitsToDevice)
// clang-format on

// The entry points the scenes call, with the types they are declared with.
struct SceneApi {
#define LUMO_SCENE_POINTER(name) decltype(&Java_com_quarn_lumo_internal_LUMO_##name) name = nullptr;
    LUMO_SCENE_ENTRIES(LUMO_SCENE_POINTER)
#undef LUMO_SCENE_POINTER

    // Every entry point found by `find`, which maps an exported name to its
    // address (null when missing); false when one is missing.
    using AnyFunction = void (*)();
    bool bind(const std::function<AnyFunction(const char*)>& find);
};

// Scenes are this many pixels square.
constexpr int sceneSize = 64;

// What a scene's pixels may differ by where the two AGG versions lumo is
// built with (the stock 2.4 tree for Windows, Debian's 2.6 headers and
// archive on Linux) compute differently: the largest difference of a
// channel and the number of pixels that may differ, and why; zero and null
// for scenes that must match exactly.
struct AggDifference {
    int maxDifference = 0;
    int maxPixels = 0;
    const char* reason = nullptr;
};

struct SceneContext;

struct Scene {
    const char* name;
    void (*draw)(SceneContext&);
    AggDifference aggDifference;
};

const std::vector<Scene>& scenes();

// Reads a render target's pixels through device output: the 32-bit values a
// top-down DIB section of sceneSize x sceneSize holds after
// SetDIBitsToDevice(hdc, image, 0, 0, sceneSize, sceneSize, 0, 0).
using ReadPixels = std::function<std::vector<uint32_t>(const SceneApi&, jint image)>;

// Draws the scene into a new render target and reads its pixels back.
std::vector<uint32_t> drawScene(const SceneApi& api, const Scene& scene,
                                const ReadPixels& readPixels);

// The reference file: for each scene its name on a line, then its pixels.
bool writeScenePixels(const std::string& path, const std::vector<std::vector<uint32_t>>& pixels);
// The pixels of each named scene in the file; empty when it cannot be read.
std::vector<std::pair<std::string, std::vector<uint32_t>>> readScenePixels(const std::string& path);

}  // namespace lumo::test
