#!/usr/bin/env bash
# Configures and builds everything into $BUILD_DIR (default: build/). A new build folder is made
# for the generator CMAKE_GENERATOR names, Ninja unless set; one that exists keeps its own.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/setup.sh"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -G "${CMAKE_GENERATOR:-Ninja}" -S "$ROOT" -B "$BUILD_DIR" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$BUILD_DIR" -j"$(nproc)" "$@"
