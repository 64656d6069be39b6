#include "core/SharedObject.h"

#include <new>

namespace lumo {
namespace {

std::atomic<int64_t> liveObjects{0};

}  // namespace

void WeakControl::drop() {
    if (count.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

SharedObject::SharedObject() {
    liveObjects.fetch_add(1, std::memory_order_relaxed);
}

SharedObject::~SharedObject() {
    liveObjects.fetch_sub(1, std::memory_order_relaxed);
    WeakControl* control = control_.load(std::memory_order_acquire);
    if (control != nullptr) {
        control->alive.store(0, std::memory_order_release);
        control->drop();
    }
}

void SharedObject::release() {
    if (count_.fetch_sub(1, std::memory_order_acq_rel) <= 1) delete this;
}

int64_t SharedObject::liveCount() {
    return liveObjects.load(std::memory_order_relaxed);
}

WeakControl* SharedObject::weakControl() {
    WeakControl* control = control_.load(std::memory_order_acquire);
    if (control != nullptr) return control;
    WeakControl* created = new (std::nothrow) WeakControl;
    if (created == nullptr) return nullptr;
    created->hold();  // the object's own hold
    if (!control_.compare_exchange_strong(control, created, std::memory_order_acq_rel)) {
        delete created;  // another thread attached one first
        return control;
    }
    return created;
}

}  // namespace lumo
