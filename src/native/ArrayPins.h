#pragma once

#include <jni.h>

#include <algorithm>
#include <cstddef>
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

// The Get<Type>ArrayRegion call for each element type read by copy.
inline void copyRegion(JNIEnv* env, jarray a, jsize n, jbyte* out) {
    env->GetByteArrayRegion(static_cast<jbyteArray>(a), 0, n, out);
}
inline void copyRegion(JNIEnv* env, jarray a, jsize n, uint8_t* out) {
    env->GetByteArrayRegion(static_cast<jbyteArray>(a), 0, n, reinterpret_cast<jbyte*>(out));
}
inline void copyRegion(JNIEnv* env, jarray a, jsize n, jshort* out) {
    env->GetShortArrayRegion(static_cast<jshortArray>(a), 0, n, out);
}
// Ints are read as int32_t: jint is a long in the 32-bit Windows headers.
inline void copyRegion(JNIEnv* env, jarray a, jsize n, int32_t* out) {
    static_assert(sizeof(jint) == sizeof(int32_t), "jint holds 32 bits");
    env->GetIntArrayRegion(static_cast<jintArray>(a), 0, n, reinterpret_cast<jint*>(out));
}
inline void copyRegion(JNIEnv* env, jarray a, jsize n, jfloat* out) {
    env->GetFloatArrayRegion(static_cast<jfloatArray>(a), 0, n, out);
}
inline void copyRegion(JNIEnv* env, jarray a, jsize n, jdouble* out) {
    env->GetDoubleArrayRegion(static_cast<jdoubleArray>(a), 0, n, out);
}

// Reads Java arrays for one call. Small arrays the call only reads are copied
// into a buffer inside this object with one Get<Type>ArrayRegion call each, so
// a small draw makes no critical region at all; the others are pinned with
// GetPrimitiveArrayCritical, in the order they are asked for, and released in
// reverse order when it goes. Once an array is pinned, later arrays are
// pinned too, since no copy call is allowed inside a critical region. Pinned
// arrays that are only read are released with JNI_ABORT; arrays the call
// writes into with mode 0, because a JVM may hand out a copy (it does under
// -Xcheck:jni) and only mode 0 copies the results back. A failed pin makes
// ok() false and every later pin a no-op; the caller then skips its work.
class ArrayPins {
public:
    static constexpr int capacity = 8;
    // Bytes of the copy buffer: a path of up to about 30 points with its
    // codes. Measured on HotSpot, copying a few hundred bytes costs less
    // than a pin and its release; from about 650 bytes on it costs more.
    static constexpr size_t copyBytes = 512;

    explicit ArrayPins(JNIEnv* env) : env_(env) {}
    ArrayPins(const ArrayPins&) = delete;
    ArrayPins& operator=(const ArrayPins&) = delete;
    ~ArrayPins() {
        for (int i = count_ - 1; i >= 0; --i) {
            env_->ReleasePrimitiveArrayCritical(arrays_[i], pointers_[i], modes_[i]);
        }
    }

    // The first min(count, length) elements of an array the call only reads,
    // `length` being the array's length as read before: copied when they fit
    // the buffer and nothing is pinned yet, pinned otherwise. Null for a null
    // array (which is not a failure) or after a failed pin; elements beyond
    // those asked for must not be read.
    template <class T>
    const T* read(jarray array, int64_t count, int64_t length) {
        if (array == nullptr || !ok_) return nullptr;
        const int64_t n = std::max<int64_t>(0, std::min(count, length));
        static_assert(alignof(T) <= alignof(double), "copy buffer alignment");
        const size_t start = (used_ + alignof(T) - 1) / alignof(T) * alignof(T);
        if (count_ > 0 || size_t(n) > (copyBytes - std::min(start, copyBytes)) / sizeof(T)) {
            return pin<T>(array);
        }
        T* out = reinterpret_cast<T*>(buffer_ + start);
        if (n > 0) copyRegion(env_, array, jsize(n), out);
        used_ = start + size_t(n) * sizeof(T);
        return out;
    }

    // The elements of an array the call only reads, pinned, or null for a
    // null array (which is not a failure) or after a failed pin.
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

    // Only the first count_ entries and used_ bytes are ever read, so none of
    // the storage is cleared on construction.
    JNIEnv* env_;
    jarray arrays_[capacity];
    void* pointers_[capacity];
    jint modes_[capacity];
    int count_ = 0;
    bool ok_ = true;
    size_t used_ = 0;
    alignas(double) unsigned char buffer_[copyBytes];
};

}  // namespace lumo
