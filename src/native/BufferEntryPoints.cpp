// Entry points that create, clear and delete pixel buffers and render targets.
#include "core/Colour.h"
#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"
#include "native/EntryGuard.h"
#include "native/EntryPoints.h"

namespace lumo {
namespace {

// Registers a new counted object with one reference held by Java, or destroys
// it when no handle can be had.
jint registerCounted(HandleKind kind, SharedObject* object) {
    object->addRef();
    const jint handle = HandleRegistry::instance().add(kind, object);
    if (handle == 0) object->release();
    return handle;
}

// Drops Java's reference to a pixel buffer or render target; the handle dies
// at once even where the object lives on through other references.
void deleteCounted(jint handle) {
    const auto entry = HandleRegistry::instance().remove(
        handle, kindMask(HandleKind::DataBuffer, HandleKind::NativeImage));
    if (entry.kind == HandleKind::DataBuffer) {
        static_cast<DataBuffer*>(entry.object)->release();
    } else if (entry.kind == HandleKind::NativeImage) {
        static_cast<NativeImage*>(entry.object)->release();
    }
}

}  // namespace
}  // namespace lumo

using namespace lumo;

LUMO_ENTRY(jint, createDataBuffer)(JNIEnv*, jclass, jint width, jint height, jint argb) {
    return guarded<jint>(0, [&]() -> jint {
        DataBuffer* buffer = DataBuffer::create(width, height);
        if (buffer == nullptr) return 0;
        buffer->clear(rgba8FromArgb(argb));
        return registerCounted(HandleKind::DataBuffer, buffer);
    });
}

LUMO_ENTRY(void, clearDataBuffer)(JNIEnv*, jclass, jint handle, jint argb) {
    guarded([&] {
        auto* buffer = HandleRegistry::instance().find<DataBuffer>(handle, HandleKind::DataBuffer);
        if (buffer != nullptr) buffer->clear(rgba8FromArgb(argb));
    });
}

LUMO_ENTRY(void, deleteDataBuffer)(JNIEnv*, jclass, jint handle) {
    guarded([&] { deleteCounted(handle); });
}

LUMO_ENTRY(void, deleteNativeImage)(JNIEnv*, jclass, jint handle) {
    guarded([&] { deleteCounted(handle); });
}

LUMO_ENTRY(jint, createNativeImage)(JNIEnv*, jclass, jint bufferHandle) {
    return guarded<jint>(0, [&]() -> jint {
        auto* buffer =
            HandleRegistry::instance().find<DataBuffer>(bufferHandle, HandleKind::DataBuffer);
        NativeImage* image = NativeImage::create(buffer);
        if (image == nullptr) return 0;
        return registerCounted(HandleKind::NativeImage, image);
    });
}
