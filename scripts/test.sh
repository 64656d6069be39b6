#!/usr/bin/env bash
# Builds lumo and runs every test: the C++ and Java tests of the release
# build, the C++ tests of the portable release build (no SSE2 kernels), then
# the C++ tests again under ThreadSanitizer and under
# AddressSanitizer with UndefinedBehaviorSanitizer (LeakSanitizer on), and a
# minute of fuzzing every entry point.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLUMO_BUILD_TESTS=ON -DLUMO_BUILD_JAVA=ON \
    -DLUMO_BUILD_BENCH=ON
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

# The portable kernels alone, as non-x86 and older targets build them.
cmake -S . -B build-portable -DCMAKE_BUILD_TYPE=Release -DLUMO_PORTABLE=ON \
    -DLUMO_BUILD_JAVA=OFF -DLUMO_BUILD_BENCH=OFF
cmake --build build-portable -j "$jobs"
(cd build-portable && ctest --output-on-failure -j "$jobs")

for sanitizer in thread address; do
    dir="build-$sanitizer"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DLUMO_SANITIZE="$sanitizer" \
        -DLUMO_BUILD_JAVA=OFF -DLUMO_BUILD_BENCH=OFF
    cmake --build "$dir" -j "$jobs"
    # The image span comparisons run one thread through millions of pixels:
    # nothing for ThreadSanitizer to find, and minutes of its time.
    skip=()
    [ "$sanitizer" = thread ] && skip=(-E '^(FilteredSpans|ImageSpans)[.]')
    (cd "$dir" && ctest --output-on-failure -j "$jobs" "${skip[@]}")
done

scripts/fuzz.sh 60

# lumo.dll for Windows, cross-built and checked (under Wine for 64-bit).
scripts/windows.sh
