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
