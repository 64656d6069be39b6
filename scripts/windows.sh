#!/usr/bin/env bash
# Builds lumo.dll for 32-bit and 64-bit Windows with MinGW-w64 into
# build-win32/ and build-win64/ and checks both: their export and import
# tables, and, under Wine, the 64-bit DLL blitting into GDI device contexts
# and, when it holds the drawing code, drawing the scenes of
# tests/windows/Scenes.cpp as the Linux library does (32-bit Windows programs
# cannot run here). Arguments go to CMake, e.g.
# -DLUMO_AGG_SOURCE_DIR=/path/to/agg-2.4 to build the drawing code in too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64
jobs=$(nproc)

# The scenes' pixels drawn by the Linux library (build/, as scripts/test.sh
# configures it), for the Wine test to compare with.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs" --target lumo_scene_pixels
build/tests/lumo_scene_pixels build/liblumo.so build/scene-pixels.bin

for target in win32:i686 win64:x86_64; do
    dir="build-${target%%:*}"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/${target##*:}-w64-mingw32.cmake" \
        -DLUMO_SCENE_PIXELS="$PWD/build/scene-pixels.bin" "$@"
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs")
done
