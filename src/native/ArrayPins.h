#pragma once

#include <jni.h>

#include <cstdint>

namespace lumo {

// Length of a Java array, or -1 for a null reference. Read every length before
// the first pin: inside a critical region no other JNI call is allowed.
inline int64_t arrayLength(JNIEnv* env, jarray array) {
    return array == nullptr ? -1 : env->GetArrayLength(array);
}

// True when the array exists and holds at least `needed` elements.
inline bool holds(JNIEnv* env, jarray array, int64_t needed) {
    return needed >= 0 && arrayLength(env, array) >= needed;
}

// Pins Java arrays for one call with GetPrimitiveArrayCritical, in the order
// they are asked for, and releases them in reverse order with JNI_ABORT when
// it goes (writes reach Java through the pinned memory itself). A failed pin
// makes ok() false and every later pin a no-op; the caller then skips its work.
class ArrayPins {
public:
    static constexpr int capacity = 8;

    explicit ArrayPins(JNIEnv* env) : env_(env) {}
    ArrayPins(const ArrayPins&) = delete;
    ArrayPins& operator=(const ArrayPins&) = delete;
    ~ArrayPins() {
        for (int i = count_ - 1; i >= 0; --i) {
            env_->ReleasePrimitiveArrayCritical(arrays_[i], pointers_[i], JNI_ABORT);
        }
    }

    // The array's elements, or null for a null array (which is not a failure)
    // or after a failed pin.
    template <class T>
    T* pin(jarray array) {
        if (array == nullptr || !ok_) return nullptr;
        if (count_ == capacity) {
            ok_ = false;
            return nullptr;
        }
        void* pointer = env_->GetPrimitiveArrayCritical(array, nullptr);
        if (pointer == nullptr) {
            ok_ = false;
            return nullptr;
        }
        arrays_[count_] = array;
        pointers_[count_] = pointer;
        ++count_;
        return static_cast<T*>(pointer);
    }

    bool ok() const { return ok_; }

private:
    JNIEnv* env_;
    jarray arrays_[capacity] = {};
    void* pointers_[capacity] = {};
    int count_ = 0;
    bool ok_ = true;
};

}  // namespace lumo
