#pragma once

#include "context/Graphics.h"
#include "core/HandleRegistry.h"
#include "core/NativeImage.h"

#include <jni.h>

namespace lumo {

// The drawing object behind a handle, or null for 0, stale or foreign ones.
inline Graphics* findGraphics(jint handle) {
    return HandleRegistry::instance().find<Graphics>(handle, HandleKind::Graphics);
}

// The render target behind a handle, or null for 0, stale or foreign ones.
inline NativeImage* findNativeImage(jint handle) {
    return HandleRegistry::instance().find<NativeImage>(handle, HandleKind::NativeImage);
}

// Swaps a newly built counted object into a state field, unless it could not
// be allocated (the field then keeps its object).
template <class T, class U>
void replaceIfBuilt(Ref<T>& field, U* built) {
    if (built != nullptr) field = Ref<T>(built);
}

}  // namespace lumo
