#pragma once

// LUMO_SSE2 is 1 where the SSE2 kernels are compiled: on processors with
// SSE2, unless the build asks for the portable kernels alone (the CMake
// option LUMO_PORTABLE). Every SSE2 kernel has a portable twin that is
// always compiled and that tests compare it with.
#if defined(__SSE2__) && !defined(LUMO_PORTABLE)
#define LUMO_SSE2 1
#include <emmintrin.h>
#else
#define LUMO_SSE2 0
#endif

// LUMO_AVX2 is 1 where AVX2 kernels are compiled beside the SSE2 ones (GCC
// and Clang on x86, which build single functions for AVX2 with
// LUMO_TARGET_AVX2); they run only where the processor and the system
// support AVX2 (lumo::cpuHasAvx2, checked once), the SSE2 ones elsewhere.
// Not on Windows: there GCC may spill 32-byte registers to stack slots the
// Windows stack alignment leaves misaligned, which faults.
#if LUMO_SSE2 && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && \
    !defined(_WIN32)
#define LUMO_AVX2 1
#include <immintrin.h>
#define LUMO_TARGET_AVX2 __attribute__((target("avx2")))
namespace lumo {
inline const bool cpuHasAvx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);
}  // namespace lumo
#else
#define LUMO_AVX2 0
#endif
