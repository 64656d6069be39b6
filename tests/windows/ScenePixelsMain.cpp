// Draws the scenes through the Linux library and writes their pixels, read
// back through its memory devices, for the Windows test to compare with:
//   lumo_scene_pixels <liblumo.so> <output file>
#include "windows/Scenes.h"

#include <dlfcn.h>

#include <cstdio>

using namespace lumo::test;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <liblumo.so> <output file>\n", argv[0]);
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    const auto find = [&](const char* name) {
        return reinterpret_cast<SceneApi::AnyFunction>(dlsym(library, name));
    };
    SceneApi api;
    const auto create =
        reinterpret_cast<decltype(&Java_com_quarn_lumo_internal_MemoryDevice_create)>(
            find("Java_com_quarn_lumo_internal_MemoryDevice_create"));
    const auto read = reinterpret_cast<decltype(&Java_com_quarn_lumo_internal_MemoryDevice_read)>(
        find("Java_com_quarn_lumo_internal_MemoryDevice_read"));
    const auto remove =
        reinterpret_cast<decltype(&Java_com_quarn_lumo_internal_MemoryDevice_delete)>(
            find("Java_com_quarn_lumo_internal_MemoryDevice_delete"));
    if (!api.bind(find) || !create || !read || !remove) {
        std::fprintf(stderr, "%s lacks entry points\n", argv[1]);
        return 1;
    }

    // A memory device holds what a top-down 32-bit DIB section would.
    const ReadPixels readPixels = [&](const SceneApi& lumo, jint image) {
        FakeJni jni;
        const jint hdc = create(jni.env(), nullptr, sceneSize, sceneSize);
        lumo.SetDIBitsToDevice(jni.env(), nullptr, hdc, image, 0, 0, sceneSize, sceneSize, 0, 0);
        const jintArray argb = jni.ints(std::vector<jint>(size_t(sceneSize) * sceneSize));
        read(jni.env(), nullptr, hdc, argb);
        remove(jni.env(), nullptr, hdc);
        const std::vector<jint> values = jni.contents<jint>(argb);
        return std::vector<uint32_t>(values.begin(), values.end());
    };
    std::vector<std::vector<uint32_t>> pixels;
    for (const Scene& scene : scenes()) pixels.push_back(drawScene(api, scene, readPixels));
    if (!writeScenePixels(argv[2], pixels)) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%zu scenes written to %s\n", pixels.size(), argv[2]);
    return 0;
}
