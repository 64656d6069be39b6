#!/usr/bin/env bash
# Builds lumo and runs the demo, which writes build/lumo-demo.png and build/java2d-demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLUMO_BUILD_JAVA=ON
cmake --build build -j "$(nproc)" --target demo
