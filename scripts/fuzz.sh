#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it on one core for the given number of
# seconds (default 60), from the seed corpus and the corpus the earlier runs
# kept in build-fuzz/corpus. A finding stops the run with a non-zero status
# and is written to build-fuzz/findings/. Then the coverage rasteriser's
# target compares lumo's rasteriser with AGG's on fuzzer-made outlines for
# LUMO_RASTER_FUZZ_SECONDS (default 20), from build-fuzz/raster-corpus, and
# the generators' target compares lumo's curve flattener, dash and stroke
# generators with AGG's for LUMO_GENERATOR_FUZZ_SECONDS (default 20), from
# build-fuzz/generator-corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/deps.sh

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMO_SANITIZE=fuzzer -DLUMO_BUILD_JAVA=OFF -DLUMO_BUILD_BENCH=OFF
cmake --build build-fuzz -j "$(nproc)" --target lumo_fuzz lumo_fuzz_seeds lumo_rasterizer_fuzz \
    lumo_generator_fuzz
mkdir -p build-fuzz/seeds build-fuzz/corpus build-fuzz/findings build-fuzz/raster-corpus \
    build-fuzz/generator-corpus
build-fuzz/tests/lumo_fuzz_seeds build-fuzz/seeds

# -timeout catches a call that never returns; the target itself stops at a
# call slower than LUMO_FUZZ_CALL_MS (5 s by default).
build-fuzz/tests/lumo_fuzz -max_total_time="$seconds" -timeout=300 -rss_limit_mb=4096 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ \
    build-fuzz/corpus build-fuzz/seeds

build-fuzz/tests/lumo_rasterizer_fuzz -max_total_time="${LUMO_RASTER_FUZZ_SECONDS:-20}" \
    -timeout=60 -rss_limit_mb=4096 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/findings/raster- build-fuzz/raster-corpus

build-fuzz/tests/lumo_generator_fuzz -max_total_time="${LUMO_GENERATOR_FUZZ_SECONDS:-20}" \
    -timeout=60 -rss_limit_mb=4096 -max_len=2048 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/findings/generator- build-fuzz/generator-corpus
