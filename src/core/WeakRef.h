#pragma once

#include "core/SharedObject.h"

namespace lumo {

// A reference that does not keep its object alive but learns when it dies.
// Users call refresh() before looking at the object; a non-null object()
// afterwards may be used for the rest of the call.
class WeakRef {
public:
    WeakRef() = default;
    explicit WeakRef(SharedObject* object) { set(object); }
    // Copies share the control block, so a copy of a reference to a dead
    // object is just as dead (it never touches the object).
    WeakRef(const WeakRef& other);
    WeakRef& operator=(const WeakRef& other);
    ~WeakRef() { dropControl(); }

    // Points at the object (or at nothing when null). If the control block
    // cannot be allocated the reference stays empty.
    void set(SharedObject* object);
    // Forgets the object if it has died since it was set.
    void refresh();
    SharedObject* object() const { return object_; }

private:
    void dropControl();

    WeakControl* control_ = nullptr;
    SharedObject* object_ = nullptr;
};

}  // namespace lumo
