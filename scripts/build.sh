#!/usr/bin/env bash
# Configures and builds Tessik: 64-bit with tests into build/, the 32-bit program
# and its own archiver DLLs (ZIP and 7z) into build-i686/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build64=${TESSIK_BUILD_DIR:-$root/build}
build32=${TESSIK_BUILD32_DIR:-$root/build-i686}

cmake -S "$root" -B "$build64" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSIK_BUILD32_DIR="$build32" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
cmake --build "$build64"

if [ "${TESSIK_SKIP_I686:-0}" != 1 ]; then
  cmake -S "$root" -B "$build32" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSIK_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake"
  cmake --build "$build32" --target tessik tessikzip tessik7z tessikshlex_install
fi
