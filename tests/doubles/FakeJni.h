#pragma once

#include <jni.h>

#include <cstring>
#include <memory>
#include <vector>

namespace lumo::test {

// A JNIEnv for calling entry points without a JVM. It offers the functions
// the library may call (GetArrayLength, GetPrimitiveArrayCritical,
// ReleasePrimitiveArrayCritical and Get<Type>ArrayRegion for bytes, shorts,
// ints, floats and doubles) and records every call, so tests can check the
// pin and release order, fail the n-th pin, find arrays left pinned, count
// copies and catch JNI calls made inside a critical region. A copy of the
// wrong element type or beyond the array's end (where a JVM would throw) is a
// violation and copies nothing. Like a JVM under
// -Xcheck:jni it can hand out copies of the arrays, which only a release in
// mode 0 or JNI_COMMIT copies back. Any other JNI function is absent and
// would crash the test.
class FakeJni {
public:
    struct Event {
        enum Type { Length, Pin, Release, Copy } type;
        jarray array;
        jint mode;        // release mode; 0 for the others
        jsize count = 0;  // elements asked for by a copy
    };

    FakeJni();
    ~FakeJni();
    FakeJni(const FakeJni&) = delete;
    FakeJni& operator=(const FakeJni&) = delete;

    JNIEnv* env() { return &holder_.env; }

    // Arrays whose storage is exactly their length, so that a sanitizer
    // catches any read or write past the end.
    template <class T>
    jarray array(const std::vector<T>& values) {
        return newArray(values.data(), values.size(), sizeof(T));
    }
    jintArray ints(const std::vector<jint>& values) {
        return static_cast<jintArray>(array(values));
    }
    jbyteArray bytes(const std::vector<jbyte>& values) {
        return static_cast<jbyteArray>(array(values));
    }
    jshortArray shorts(const std::vector<jshort>& values) {
        return static_cast<jshortArray>(array(values));
    }

    template <class T>
    std::vector<T> contents(jarray array) const {
        const Storage& s = storage(array);
        std::vector<T> values(s.length);
        if (s.length > 0) std::memcpy(values.data(), s.data.get(), s.length * sizeof(T));
        return values;
    }

    // The n-th pin from now (1 = the next one) returns null.
    void failPin(int n) { failAt_ = pinCount_ + n; }
    // Pins hand out copies rather than the arrays' own storage.
    void handOutCopies(bool copies) { copies_ = copies; }

    const std::vector<Event>& events() const { return events_; }
    void clearEvents() { events_.clear(); }
    // Recorded events of one type.
    int eventCount(Event::Type type) const {
        int n = 0;
        for (const Event& e : events_) n += e.type == type;
        return n;
    }
    // Arrays pinned and not yet released.
    int pinned() const { return pinned_; }
    // Get<Type>ArrayRegion calls so far.
    int copies() const { return copyCount_; }
    // JNI calls other than pins and releases made while an array was pinned,
    // and releases that did not match the latest pin.
    int violations() const { return violations_; }

private:
    struct Storage {
        std::unique_ptr<unsigned char[]> data;
        size_t length;
        size_t elementSize;
    };
    struct Pin {
        jarray array;
        unsigned char* pointer;
        std::unique_ptr<unsigned char[]> copy;
    };
    struct Env {
        JNIEnv_ env;
        FakeJni* self;
    };

    jarray newArray(const void* values, size_t length, size_t elementSize);
    const Storage& storage(jarray array) const;
    Storage& storage(jarray array);
    static FakeJni& of(JNIEnv* env);

    static jsize JNICALL getArrayLength(JNIEnv* env, jarray array);
    static void* JNICALL getCritical(JNIEnv* env, jarray array, jboolean* isCopy);
    static void JNICALL releaseCritical(JNIEnv* env, jarray array, void* data, jint mode);
    template <class T>
    static void JNICALL copyRegion(JNIEnv* env, jarray array, jsize start, jsize count, T* out);
    template <class T, class A>
    static void JNICALL copyRegionOf(JNIEnv* env, A array, jsize start, jsize count, T* out) {
        copyRegion<T>(env, array, start, count, out);
    }

    JNINativeInterface_ functions_{};
    Env holder_{};
    std::vector<std::unique_ptr<Storage>> arrays_;
    std::vector<Pin> pinStack_;
    std::vector<Event> events_;
    int pinCount_ = 0;
    int copyCount_ = 0;
    int failAt_ = 0;
    int pinned_ = 0;
    int violations_ = 0;
    bool copies_ = false;
};

}  // namespace lumo::test
