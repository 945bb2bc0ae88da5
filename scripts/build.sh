#!/bin/sh
# Builds Wendol.dll and the toolkit into build/, installing the Debian
# packages the build and the tests need when they are missing (as root).
set -eu
cd "$(dirname "$0")/.."

need() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed" || echo "$1"; }

missing=""
for p in cmake make zip g++ clang-14 lld-14 llvm-14 libclang-rt-14-dev libgtest-dev libbenchmark-dev libicu-dev \
         gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 wine wine64 wine32:i386; do
    missing="$missing $(need "$p")"
done
missing=$(echo $missing)
if [ -n "$missing" ]; then
    echo "installing:$missing"
    if [ "$(id -u)" -ne 0 ]; then
        echo "run as root, or install these Debian packages first:$missing" >&2
        exit 1
    fi
    case " $missing " in *":i386"*) dpkg --add-architecture i386 ;; esac
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
fi

# Chromium and the fonts: the chart's picture and its rendering test.
sh scripts/chart-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
