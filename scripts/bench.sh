#!/usr/bin/env bash
# Builds lumo and runs the native benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target lumo_bench
build/bench/lumo_bench "$@"
