#!/usr/bin/env bash
# Installs the Debian packages lumo builds and tests with, and any named as
# arguments (run as root).
set -euo pipefail

packages=(
    cmake g++ make binutils pkg-config
    libagg-dev                         # the rendering machinery
    googletest libgtest-dev            # C++ tests
    clang libclang-rt-14-dev           # the fuzz target (libFuzzer)
    libbenchmark-dev                   # benchmarks
    libcairo2-dev                      # the engine lumo_cairo_bench races
    default-jdk-headless junit5        # Java classes, Java tests, demo
    fonts-dejavu-core                  # labels in the demo images
    libswt-gtk-4-java                  # SWT image data for the Java tests
    libbatik-java libjfreechart-java   # real Graphics2D clients: SVG, charts
    libpdfbox2-java                    # and PDF
    bootstrap-icons                    # SVG icons the client tests render
)

missing=()
for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
