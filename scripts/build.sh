#!/bin/sh
# Builds Wendol.dll and the toolkit into build/, installing the Debian
# packages the build and the tests need when they are missing (as root).
set -eu
cd "$(dirname "$0")/.."

sh scripts/install-packages.sh \
    cmake make zip g++ clang-14 lld-14 llvm-14 libclang-rt-14-dev \
    libgtest-dev libbenchmark-dev libicu-dev \
    gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 wine wine64 wine32:i386

# Chromium and the fonts: the chart's picture and its rendering test.
sh scripts/chart-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
