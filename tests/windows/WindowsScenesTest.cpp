// Draws the scenes (Scenes.cpp) through lumo.dll, loaded as a JVM loads it,
// reads each back through GDI from a 32-bit DIB section, and compares it with
// the pixels the Linux library drew (lumo_scene_pixels):
//   windows_scenes_test <reference file>
// Each scene must match byte for byte, except by what its AggDifference names
// for the AGG versions the two libraries are built with. Prints a table of
// scene, largest channel difference and pixels differing, and exits non-zero
// on a failure. Then threads, each started and ended while the DLL is loaded
// (and so announced to its DllMain), draw every scene at once and must get
// what one thread drew.
#include "windows/Scenes.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

using namespace lumo::test;

namespace {

// The render target blitted onto a top-down 32-bit DIB section in a memory
// device context, as a window's device context would receive it.
std::vector<uint32_t> readThroughGdi(const SceneApi& api, jint image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = sceneSize;
    info.bmiHeader.biHeight = -sceneSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc == nullptr || bitmap == nullptr || bits == nullptr) return {};
    const HGDIOBJ old = SelectObject(dc, bitmap);
    FakeJni jni;
    api.SetDIBitsToDevice(jni.env(), nullptr, jint(reinterpret_cast<intptr_t>(dc)), image, 0, 0,
                          sceneSize, sceneSize, 0, 0);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> result(pixels, pixels + size_t(sceneSize) * sceneSize);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return result;
}

struct Comparison {
    int maxDifference = 0;
    int differing = 0;
};

Comparison compare(const std::vector<uint32_t>& got, const std::vector<uint32_t>& expected) {
    Comparison c;
    for (size_t i = 0; i < got.size(); ++i) {
        int largest = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int a = int(got[i] >> shift & 0xFF), b = int(expected[i] >> shift & 0xFF);
            largest = std::max(largest, std::abs(a - b));
        }
        c.maxDifference = std::max(c.maxDifference, largest);
        if (largest > 0) ++c.differing;
    }
    return c;
}

// A scene whose pixels are all one colour drew nothing, and would match
// whatever the DLL did.
bool uniform(const std::vector<uint32_t>& pixels) {
    return std::all_of(pixels.begin(), pixels.end(),
                       [&](uint32_t p) { return p == pixels.front(); });
}

// The scenes drawn by `threads` threads at once; the number of scenes that
// differ from `drawn`.
int drawnByThreads(const SceneApi& api, const std::vector<std::vector<uint32_t>>& drawn,
                   int threads) {
    std::vector<int> differing(size_t(threads), 0);
    std::vector<std::thread> running;
    for (int t = 0; t < threads; ++t) {
        running.emplace_back([&, t] {
            for (size_t i = 0; i < scenes().size(); ++i) {
                if (drawScene(api, scenes()[i], readThroughGdi) != drawn[i]) ++differing[t];
            }
        });
    }
    int total = 0;
    for (int t = 0; t < threads; ++t) {
        running[t].join();
        total += differing[t];
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: %s <reference file>\n", argv[0]);
        return 2;
    }
    const auto reference = readScenePixels(argv[1]);
    const HMODULE module = LoadLibraryW(L"lumo.dll");
    SceneApi api;
    const bool bound = module != nullptr && api.bind([&](const char* name) {
        return reinterpret_cast<SceneApi::AnyFunction>(GetProcAddress(module, name));
    });
    if (!bound) {
        std::printf("FAILED: lumo.dll does not load or lacks drawing entry points\n");
        return 1;
    }
    if (reference.size() != scenes().size()) {
        std::printf("FAILED: %s holds %zu scenes, not %zu\n", argv[1], reference.size(),
                    scenes().size());
        return 1;
    }

    int failed = 0;
    std::vector<std::vector<uint32_t>> drawn;
    std::printf("| scene | max difference | pixels differing | allowed |\n|---|---|---|---|\n");
    for (size_t i = 0; i < scenes().size(); ++i) {
        const Scene& scene = scenes()[i];
        const std::vector<uint32_t>& expected = reference[i].second;
        drawn.push_back(drawScene(api, scene, readThroughGdi));
        const std::vector<uint32_t>& got = drawn.back();
        std::string problem;
        if (reference[i].first != scene.name) {
            problem = "the reference holds \"" + reference[i].first + "\" here";
        } else if (got.size() != expected.size()) {
            problem = "no pixels read through GDI";
        } else if (uniform(expected)) {
            problem = "the Linux library drew nothing";
        }
        const Comparison c = problem.empty() ? compare(got, expected) : Comparison{};
        const AggDifference& allowed = scene.aggDifference;
        if (problem.empty() &&
            (c.maxDifference > allowed.maxDifference || c.differing > allowed.maxPixels)) {
            problem = "differs by more than allowed";
        }
        std::printf("| %s | %d | %d | %s |\n", scene.name, c.maxDifference, c.differing,
                    allowed.reason == nullptr
                        ? "none"
                        : ("up to " + std::to_string(allowed.maxDifference) + " in " +
                           std::to_string(allowed.maxPixels) + " pixels: " + allowed.reason)
                              .c_str());
        if (!problem.empty()) {
            std::printf("FAILED: %s: %s\n", scene.name, problem.c_str());
            ++failed;
        }
    }
    constexpr int threads = 4;
    const int differing = drawnByThreads(api, drawn, threads);
    if (differing != 0) {
        std::printf("FAILED: %d scenes drawn by %d threads at once differ from one thread's\n",
                    differing, threads);
        ++failed;
    }
    std::printf("%zu scenes, also by %d threads at once; %d failed\n", scenes().size(), threads,
                failed);
    return failed == 0 ? 0 : 1;
}
