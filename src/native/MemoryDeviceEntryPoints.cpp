// Natives of com.quarn.lumo.internal.MemoryDevice: memory surfaces that stand
// in for device contexts on platforms without GDI, so Java can see pixels.
#include "core/HandleRegistry.h"
#include "device/MemorySurface.h"
#include "native/ArrayPins.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"

#include <algorithm>

#define MEMORY_DEVICE_ENTRY(returnType, name) \
    extern "C" JNIEXPORT returnType JNICALL Java_com_quarn_lumo_internal_MemoryDevice_##name

using namespace lumo;

MEMORY_DEVICE_ENTRY(jint, create)(JNIEnv*, jclass, jint width, jint height) {
    return guarded<jint>(0, [&]() -> jint {
        auto surface = MemorySurface::create(width, height);
        if (!surface) return 0;
        const jint hdc = HandleRegistry::instance().add(HandleKind::Device, surface.get());
        if (hdc != 0) surface.release();
        return hdc;
    });
}

MEMORY_DEVICE_ENTRY(void, read)(JNIEnv* env, jclass, jint hdc, jintArray argb) {
    guarded([&] {
        auto* surface = HandleRegistry::instance().find<MemorySurface>(hdc, HandleKind::Device);
        if (surface == nullptr) return;
        const size_t count = size_t(surface->width()) * size_t(surface->height());
        if (!holds(env, argb, int64_t(count))) return;
        ArrayPins pins(env);
        auto* target = pins.pinForWriting<jint>(argb);
        if (!pins.ok()) return;
        std::copy_n(reinterpret_cast<const jint*>(surface->pixels()), count, target);
    });
}

MEMORY_DEVICE_ENTRY(void, delete)(JNIEnv*, jclass, jint hdc) {
    guarded([&] {
        const auto entry = HandleRegistry::instance().remove(hdc, kindMask(HandleKind::Device));
        delete static_cast<MemorySurface*>(entry.object);
    });
}
