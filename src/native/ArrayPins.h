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
// they are asked for, and releases them in reverse order when it goes. Arrays
// that are only read are released with JNI_ABORT; arrays the call writes into
// with mode 0, because a JVM may hand out a copy (it does under -Xcheck:jni)
// and only mode 0 copies the results back. A failed pin makes ok() false and
// every later pin a no-op; the caller then skips its work.
class ArrayPins {
public:
    static constexpr int capacity = 8;

    explicit ArrayPins(JNIEnv* env) : env_(env) {}
    ArrayPins(const ArrayPins&) = delete;
    ArrayPins& operator=(const ArrayPins&) = delete;
    ~ArrayPins() {
        for (int i = count_ - 1; i >= 0; --i) {
            env_->ReleasePrimitiveArrayCritical(arrays_[i], pointers_[i], modes_[i]);
        }
    }

    // The elements of an array the call only reads, or null for a null array
    // (which is not a failure) or after a failed pin.
    template <class T>
    const T* pin(jarray array) {
        return static_cast<const T*>(pinWithMode(array, JNI_ABORT));
    }

    // The elements of an array the call writes into; as pin() otherwise.
    template <class T>
    T* pinForWriting(jarray array) {
        return static_cast<T*>(pinWithMode(array, 0));
    }

    bool ok() const { return ok_; }

private:
    void* pinWithMode(jarray array, jint mode) {
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
        modes_[count_] = mode;
        ++count_;
        return pointer;
    }

    JNIEnv* env_;
    jarray arrays_[capacity] = {};
    void* pointers_[capacity] = {};
    jint modes_[capacity] = {};
    int count_ = 0;
    bool ok_ = true;
};

}  // namespace lumo
