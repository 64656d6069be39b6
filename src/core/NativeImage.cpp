#include "core/NativeImage.h"

#include <new>

namespace lumo {

NativeImage* NativeImage::create(DataBuffer* buffer) {
    if (buffer == nullptr) return nullptr;
    return new (std::nothrow) NativeImage(buffer);
}

}  // namespace lumo
