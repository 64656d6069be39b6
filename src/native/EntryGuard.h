#pragma once

#include <jni.h>

// Declares an exported JNI entry point of com.quarn.lumo.internal.LUMO.
#define LUMO_ENTRY(returnType, name) \
    extern "C" JNIEXPORT returnType JNICALL Java_com_quarn_lumo_internal_LUMO_##name

namespace lumo {

// Runs an entry point's body so that no C++ exception can reach the JVM: any
// exception (in practice, memory running out inside a container) ends the
// call quietly with the fallback result.
template <class R, class Body>
R guarded(R fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

template <class Body>
void guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace lumo
