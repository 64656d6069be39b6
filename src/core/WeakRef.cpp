#include "core/WeakRef.h"

namespace lumo {

WeakRef::WeakRef(const WeakRef& other) : control_(other.control_), object_(other.object_) {
    if (control_ != nullptr) control_->hold();
}

WeakRef& WeakRef::operator=(const WeakRef& other) {
    if (other.control_ != nullptr) other.control_->hold();
    dropControl();
    control_ = other.control_;
    object_ = other.object_;
    return *this;
}

void WeakRef::set(SharedObject* object) {
    WeakControl* control = object != nullptr ? object->weakControl() : nullptr;
    if (control != control_) {
        if (control != nullptr) control->hold();
        dropControl();
        control_ = control;
    }
    object_ = control != nullptr ? object : nullptr;
}

void WeakRef::refresh() {
    if (object_ != nullptr && control_->alive.load(std::memory_order_acquire) == 0) {
        dropControl();
        object_ = nullptr;
    }
}

void WeakRef::dropControl() {
    if (control_ != nullptr) {
        control_->drop();
        control_ = nullptr;
    }
}

}  // namespace lumo
