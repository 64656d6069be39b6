#pragma once

// LUMO_ASSERT(condition) checks a precondition that callers keep by
// construction. It is compiled in the sanitizer and fuzz builds, where a
// broken precondition stops the process with its place, and compiled out of
// the release library, where the condition is not even evaluated.
#if defined(LUMO_ASSERTIONS)

#include <cstdio>
#include <cstdlib>

namespace lumo {

[[noreturn]] inline void assertionFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: lumo assertion failed: %s\n", file, line, condition);
    std::abort();
}

}  // namespace lumo

#define LUMO_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : ::lumo::assertionFailed(#condition, __FILE__, __LINE__))

#else

#define LUMO_ASSERT(condition) static_cast<void>(0)

#endif
