#pragma once

#include "doubles/FakeJni.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzValues.h"

#include <jni.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace lumo::fuzz {

// Decodes fuzzer bytes into calls of the entry points and makes them through
// a fake JNI environment: handles of every kind (live, deleted, of the wrong
// kind, made up), arrays of any length (null, too short, too long), counts
// larger than arrays, out-of-range sizes, codes and regions, and numbers
// from a table of troublemakers (NaN, infinities, limits of ints). Every
// handle it created is deleted when it is destroyed.
class CallPlayer {
public:
    explicit CallPlayer(test::FakeJni& jni) : jni_(jni), env_(jni.env()) {}
    ~CallPlayer();
    CallPlayer(const CallPlayer&) = delete;
    CallPlayer& operator=(const CallPlayer&) = delete;

    // Plays the calls of the input, stopping after maxCallsPerInput calls;
    // returns the number of calls made.
    int play(const uint8_t* data, size_t size);

    // The slowest call so far, and its name.
    std::chrono::steady_clock::duration slowest() const { return slowest_; }
    const char* slowestCall() const { return slowestCall_; }

    static const char* name(Call call);

    // Prints every call, its arguments and its time to stderr.
    void trace(bool on) { tracing_ = on; }
    // While tracing: the call in progress and the arguments read for it.
    const char* currentCall() const { return currentCall_; }
    const std::string& arguments() const { return arguments_; }

private:
    struct Handle {
        jint id;
        Kind kind;
    };

    void playOne(FuzzInput& in, Call call);
    void playObjects(FuzzInput& in, Call call);
    void playState(FuzzInput& in, Call call);
    void playImages(FuzzInput& in, Call call);
    void playShapes(FuzzInput& in, Call call);
    void playDevice(FuzzInput& in, Call call);
    void playPixels(FuzzInput& in, Call call);

    // Values.
    int32_t number(FuzzInput& in) { return noted(in.number()); }
    double real(FuzzInput& in) { return noted(in.real()); }
    float single(FuzzInput& in) { return noted(in.single()); }
    template <class T>
    T noted(T value) {
        if (tracing_) note(double(value));
        return value;
    }
    void note(double value);
    void note(const char* text);
    jint handle(FuzzInput& in, Kind kind);
    jint chooseHandle(FuzzInput& in, Kind kind);
    void remember(jint id, Kind kind);
    void forget(jint id);
    // Width and height for a new buffer or device, kept within the harness's
    // memory budget when the library would accept them.
    void budgetSize(jint& width, jint& height);

    // Arrays: a length from the selector (`expected` is what the call
    // wants), then elements; null for a null length.
    int64_t length(FuzzInput& in, int64_t expected);
    template <class T>
    jarray array(FuzzInput& in, int64_t expected);
    jintArray ints(FuzzInput& in, int64_t expected) {
        return static_cast<jintArray>(array<jint>(in, expected));
    }
    jdoubleArray doubles(FuzzInput& in, int64_t expected) {
        return static_cast<jdoubleArray>(array<jdouble>(in, expected));
    }
    jfloatArray floats(FuzzInput& in, int64_t expected) {
        return static_cast<jfloatArray>(array<jfloat>(in, expected));
    }
    jbyteArray bytes(FuzzInput& in, int64_t expected) {
        return static_cast<jbyteArray>(array<jbyte>(in, expected));
    }
    jshortArray shorts(FuzzInput& in, int64_t expected) {
        return static_cast<jshortArray>(array<jshort>(in, expected));
    }
    // Segment types of a path and the coordinates they need.
    jbyteArray pathTypes(FuzzInput& in, int32_t count, int64_t& coordinates);

    test::FakeJni& jni_;
    JNIEnv* env_;
    std::vector<Handle> handles_;  // every handle made, deleted or not
    std::vector<jint> live_[kindCount];
    int64_t arrayElements_ = 0;
    int64_t pixels_ = 0;
    std::chrono::steady_clock::duration slowest_{};
    const char* slowestCall_ = "";
    bool tracing_ = false;
    const char* currentCall_ = "";
    std::string arguments_;
};

}  // namespace lumo::fuzz
