#!/usr/bin/env bash
# Builds lumo and runs the native benchmarks, then the Java blur benchmark (the library's
# Gaussian blur against Java 2D's ConvolveOp).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLUMO_BUILD_BENCH=ON -DLUMO_BUILD_JAVA=ON
cmake --build build -j "$(nproc)" --target lumo_bench
build/bench/lumo_bench "$@"
cmake --build build -j "$(nproc)" --target java_bench
