#!/usr/bin/env bash
# Builds lumo and runs its benchmarks. With no argument, all of them:
#   java2d  the seeded scenes drawn by lumo (through LUMO) and by Java 2D in one JVM,
#           table on stdout and build/bench-java2d.csv
#   cairo   the same scenes drawn natively by lumo and by Cairo, build/bench-cairo.csv
#   agg     the shape, path, image and pixel-operation benchmarks against raw AGG
#   blur    the Gaussian blur against Java 2D's ConvolveOp
#   clients Batik (SVG) and JFreeChart painting through Java 2D and through lumo's
#           Graphics2D, build/bench-clients.csv
# Name one or more to run only those, e.g. scripts/bench.sh cairo java2d.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLUMO_BUILD_BENCH=ON -DLUMO_BUILD_JAVA=ON
jobs=$(nproc)

selected=("$@")
[ ${#selected[@]} -eq 0 ] && selected=(java2d cairo agg blur clients)
for name in "${selected[@]}"; do
    case "$name" in
        java2d) cmake --build build -j "$jobs" --target java_scene_bench ;;
        cairo)
            cmake --build build -j "$jobs" --target lumo_cairo_bench
            build/bench/lumo_cairo_bench build/bench-cairo.csv ;;
        agg)
            cmake --build build -j "$jobs" --target lumo_bench
            build/bench/lumo_bench ;;
        blur) cmake --build build -j "$jobs" --target java_bench ;;
        clients) cmake --build build -j "$jobs" --target java_clients_bench ;;
        *) echo "unknown benchmark: $name (java2d, cairo, agg, blur or clients)" >&2; exit 2 ;;
    esac
done
