#!/bin/sh
# Builds Wendol.dll and the toolkit into build/, installing the Debian
# packages the build and the tests need when they are missing (as root).
set -eu
cd "$(dirname "$0")/.."

# The last line is Keyman's: Core (libkmnkbp) for the C++ test, KMFL, and
# Keyman for Linux, whose package test runs km-package-install on a session
# bus of its own (dbus-run-session) and lists the package with unzip.
sh scripts/install-packages.sh \
    cmake make zip g++ clang-14 lld-14 llvm-14 libclang-rt-14-dev \
    libgtest-dev libbenchmark-dev libicu-dev libxml2-utils \
    pkg-config libxkbcommon-dev x11-xkb-utils \
    gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 wine wine64 wine32:i386 \
    nlohmann-json3-dev help2man lintian dpkg-dev fakeroot \
    libkmnkbp-dev kmflcomp libkmfl-dev keyman dbus unzip

# Keyman's compilers (tools/keyman/compile.mjs), from the committed lock.
sh scripts/keyman-tools.sh

# Chromium and the fonts: the chart's picture and its rendering test.
sh scripts/chart-deps.sh

# The checked build: the toolkit and its tests under ASan and UBSan.  The
# release preset (build-release/) makes the package and the benchmarks.
cmake --preset checked
cmake --build --preset checked
